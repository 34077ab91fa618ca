#include "db/Database.h"
#include "core/Text.h"

#include "db/FileSystem.h"
#include "db/Schema.h"

#include <QAtomicInt>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>

namespace {
int g_failAt = 0; // statement number that fails, 0 = none
int g_run = 0;    // statements run since failStatement()

int g_busyTimeoutMs = 5000;

// The engine's message, with the cases a clerk can act on said in words.
QString engineText(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    if (t.isEmpty())
        t = e.text().trimmed();
    if (t.isEmpty())
        return QStringLiteral("Неизвестна грешка на базата данни");
    const QString code = e.nativeErrorCode();
    const QString lower = t.toLower();
    // SQLite result codes: 5 busy, 6 locked, 8 read-only, 13 full, 10 I/O.
    if (code == QLatin1String("5") || code == QLatin1String("6") || lower.contains(QLatin1String("database is locked")))
        return QStringLiteral(
                   "Базата данни е заета от друго работно място. Нищо не е записано; опитайте отново след малко.\n(%1)")
            .arg(t);
    if (code == QLatin1String("13") || lower.contains(QLatin1String("disk is full")) ||
        lower.contains(QLatin1String("no space left")))
        return QStringLiteral("Няма място на диска с базата данни. Нищо не е записано.\n(%1)").arg(t);
    if (code == QLatin1String("8") || lower.contains(QLatin1String("readonly")) ||
        lower.contains(QLatin1String("read-only")))
        return QStringLiteral("Базата данни е само за четене. Нищо не е записано.\n(%1)").arg(t);
    return t;
}

// SQLite keeps dates and times as ISO text so that they compare as dates.
constexpr auto kIsoDate = "yyyy-MM-dd";
constexpr auto kIsoTime = "HH:mm:ss";
} // namespace

Database::Database() : m_name(QStringLiteral("resale-%1").arg(QUuid::createUuid().toString(QUuid::Id128))) {}

Database::~Database() {
    close();
}

bool Database::isUrl(const QString& location) {
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

bool Database::open(const QString& location, QString* error, bool create) {
    close();
    m_openLocation = location;
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        if (QSqlDatabase::contains(m_name)) {
            QSqlDatabase::database(m_name, false).close();
            QSqlDatabase::removeDatabase(m_name);
        }
        return false;
    };

    if (isUrl(location)) {
        m_engine = Engine::PostgreSQL;
        const QUrl url(location);
        if (!url.isValid() || url.host().isEmpty() || url.path().size() < 2)
            return fail(
                QStringLiteral("Адресът на базата данни е неверен: %1").arg(url.toString(QUrl::RemovePassword)));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        db.setHostName(url.host());
        db.setPort(url.port(5432));
        db.setUserName(url.userName());
        db.setPassword(url.password());
        db.setDatabaseName(url.path().mid(1));
        QStringList options{QStringLiteral("connect_timeout=5")};
        const QUrlQuery q(url);
        for (const auto& item : q.queryItems())
            options << item.first + QLatin1Char('=') + item.second;
        db.setConnectOptions(options.join(QLatin1Char(';')));
        if (!db.open()) {
            const QString why = engineText(db.lastError());
            db = QSqlDatabase();
            return fail(why);
        }
        m_location = url.toString(QUrl::RemovePassword);
        m_journal.clear();
        {
            QSqlQuery q2(db);
            q2.exec(QStringLiteral("SET client_min_messages TO WARNING"));
        }
        return true;
    }

    m_engine = Engine::SQLite;
    QString dir = location;
    if (dir.isEmpty())
        return fail(QStringLiteral("Не е зададена директория на базата данни"));
    const QFileInfo di(dir);
    if (!di.exists() || !di.isDir())
        return fail(QStringLiteral("Директорията %1 не съществува").arg(dir));
    if (!di.isReadable() || !di.isWritable() || !di.isExecutable())
        return fail(QStringLiteral("Нямате права за четене и запис в директорията %1").arg(dir));
    const QString file = QDir(dir).filePath(fileName());
    if (!create && !QFileInfo::exists(file))
        return fail(QStringLiteral("В директорията %1 няма база данни").arg(dir));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(g_busyTimeoutMs));
    if (!db.open()) {
        const QString why = engineText(db.lastError());
        db = QSqlDatabase();
        return fail(why);
    }
    db = QSqlDatabase();
    m_location = QDir::toNativeSeparators(QDir(dir).absolutePath() + QLatin1Char('/'));
    try {
        // A network file system gives no shared memory for the write-ahead log.
        const bool network = fs::isNetworkFileSystem(dir);
        m_journal =
            scalar(network ? QStringLiteral("PRAGMA journal_mode=DELETE") : QStringLiteral("PRAGMA journal_mode=WAL"))
                .toString()
                .toUpper();
        exec(QStringLiteral("PRAGMA synchronous=FULL"));
        exec(QStringLiteral("PRAGMA foreign_keys=OFF"));
        // Reading the schema proves the file is a database at all.
        scalar(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DbError& e) {
        return fail(e.message());
    }
    return true;
}

void Database::close() {
    if (QSqlDatabase::contains(m_name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen() && m_depth > 0) {
                QSqlQuery q(db);
                q.exec(QStringLiteral("ROLLBACK"));
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    m_depth = 0;
}

bool Database::isOpen() const {
    return QSqlDatabase::contains(m_name) && QSqlDatabase::database(m_name, false).isOpen();
}

QString Database::describe() const {
    if (m_engine == Engine::PostgreSQL)
        return QStringLiteral("PostgreSQL, %1").arg(m_location);
    return QStringLiteral("SQLite, журнал %1, %2").arg(m_journal, m_location);
}

QSqlDatabase Database::sql() const {
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery Database::exec(const QString& statement, const QVariantList& params) {
    try {
        return run(statement, params);
    } catch (const DbError&) {
        // A server that restarted or dropped the connection: outside a
        // transaction nothing can be half done, so connect again and retry once.
        if (m_engine != Engine::PostgreSQL || m_depth > 0 || connectionAlive())
            throw;
        reconnect();
        return run(statement, params);
    }
}

bool Database::connectionAlive() {
    QSqlDatabase db = sql();
    if (!db.isOpen())
        return false;
    QSqlQuery q(db);
    return q.exec(QStringLiteral("SELECT 1"));
}

void Database::reconnect() {
    const QString location = m_openLocation;
    QString error;
    if (!open(location, &error))
        throw DbError(QStringLiteral("Няма връзка със сървъра на базата данни. Нищо не е записано.\n(%1)").arg(error));
}

void Database::setBusyTimeout(int ms) {
    g_busyTimeoutMs = ms;
}

QSqlQuery Database::run(const QString& statement, const QVariantList& params) {
    QSqlDatabase db = sql();
    if (!db.isOpen())
        throw DbError(QStringLiteral("Няма връзка с базата данни"));
    ++g_run;
    if (g_failAt > 0 && g_run == g_failAt)
        throw DbError(QStringLiteral("Изкуствена грешка на базата данни (оператор %1)").arg(g_run));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (params.isEmpty()) {
        // Nothing to bind (and some statements, such as BEGIN, cannot be prepared).
        if (!q.exec(statement))
            throw DbError(engineText(q.lastError()));
        return q;
    }
    if (!q.prepare(statement))
        throw DbError(engineText(q.lastError()));
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, params.at(i));
    if (!q.exec())
        throw DbError(engineText(q.lastError()));
    return q;
}

QVariant Database::scalar(const QString& statement, const QVariantList& params) {
    QSqlQuery q = exec(statement, params);
    if (q.next())
        return q.value(0);
    return {};
}

QVariant Database::dateParam(const QDate& d) const {
    if (!d.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return m_engine == Engine::SQLite ? QVariant(d.toString(QLatin1String(kIsoDate))) : QVariant(d);
}

QVariant Database::timeParam(const QTime& t) const {
    if (!t.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return m_engine == Engine::SQLite ? QVariant(t.toString(QLatin1String(kIsoTime))) : QVariant(t);
}

QDate Database::toDate(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QString s = v.toString();
    // The embedded engine keeps dates as ISO text: read "yyyy-MM-dd" digit
    // by digit (a check over a million appliances reads millions of them);
    // anything else goes through the general parser.
    if (s.size() >= 10 && s[4] == QLatin1Char('-') && s[7] == QLatin1Char('-')) {
        auto digits = [&](int from, int count) {
            int n = 0;
            for (int i = from; i < from + count; ++i) {
                const char16_t c = s[i].unicode();
                if (c < u'0' || c > u'9')
                    return -1;
                n = n * 10 + (c - u'0');
            }
            return n;
        };
        const int y = digits(0, 4), m = digits(5, 2), d = digits(8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d);
    }
    return QDate::fromString(s.left(10), QLatin1String(kIsoDate));
}

QTime Database::toTime(const QVariant& v) {
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::QTime)
        return v.toTime();
    const QString s = v.toString();
    return QTime::fromString(s.left(8), QLatin1String(kIsoTime));
}

QVariant Database::bindable(const schema::Table& table, const QString& column, const QVariant& value) const {
    const schema::Column* c = table.column(column);
    if (!c)
        throw DbError(QStringLiteral("Таблицата %1 няма колона %2").arg(table.name, column));
    using schema::Type;
    if (!value.isValid() || value.isNull()) {
        switch (c->type) {
        case Type::Integer:
        case Type::AutoIncrement:
            return QVariant(QMetaType::fromType<int>());
        case Type::Float:
            return QVariant(QMetaType::fromType<double>());
        case Type::Boolean:
            return QVariant(QMetaType::fromType<bool>());
        default:
            return QVariant(QMetaType::fromType<QString>());
        }
    }
    switch (c->type) {
    case Type::String: {
        const QString s = value.toString();
        return c->length > 0 ? text::left(s, c->length) : s;
    }
    case Type::Integer:
    case Type::AutoIncrement:
        return value.toInt();
    case Type::Float:
        return value.toDouble();
    case Type::Boolean:
        return m_engine == Engine::SQLite ? QVariant(value.toBool() ? 1 : 0) : QVariant(value.toBool());
    case Type::Date:
        return dateParam(value.typeId() == QMetaType::QDate ? value.toDate() : toDate(value));
    case Type::Time:
        return timeParam(value.typeId() == QMetaType::QTime ? value.toTime() : toTime(value));
    }
    return value;
}

qint64 Database::insert(const QString& tableName, const QVariantMap& values) {
    const schema::Table* t = schema::find(tableName);
    if (!t)
        throw DbError(QStringLiteral("Непозната таблица %1").arg(tableName));
    QStringList cols, marks;
    QVariantList params;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        params << bindable(*t, it.key(), it.value());
        cols << schema::sqlName(t->column(it.key())->name);
        marks << QStringLiteral("?");
    }
    const schema::Column* key = t->autoIncrement();
    QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(t->name, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (key)
        sql += QStringLiteral(" RETURNING ") + key->name;
    QSqlQuery q = exec(sql, params);
    if (key && q.next())
        return q.value(0).toLongLong();
    return -1;
}

int Database::update(const QString& tableName, const QVariantMap& values, const QString& where,
                     const QVariantList& whereParams) {
    const schema::Table* t = schema::find(tableName);
    if (!t)
        throw DbError(QStringLiteral("Непозната таблица %1").arg(tableName));
    QStringList sets;
    QVariantList params;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        params << bindable(*t, it.key(), it.value());
        sets << schema::sqlName(t->column(it.key())->name) + QStringLiteral(" = ?");
    }
    params << whereParams;
    QSqlQuery q =
        exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(t->name, sets.join(QLatin1Char(',')), where), params);
    return q.numRowsAffected();
}

bool Database::hasTable(const QString& table) {
    if (m_engine == Engine::SQLite)
        return scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                      {table})
            .isValid();
    // Looked up as an unqualified name in a statement is: through the search path.
    return scalar(
               QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE oid = to_regclass(?) AND relkind IN ('r', 'p')"),
               {table})
        .isValid();
}

bool Database::hasIndex(const QString& index) {
    if (m_engine == Engine::SQLite)
        return scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ? COLLATE NOCASE"),
                      {index})
            .isValid();
    return scalar(QStringLiteral("SELECT 1 FROM pg_catalog.pg_class WHERE oid = to_regclass(?) AND relkind = 'i'"),
                  {index})
        .isValid();
}

bool Database::mayInsertInto(const QString& table) {
    if (m_engine == Engine::SQLite)
        return hasTable(table); // whoever may write the file may write every table
    return scalar(QStringLiteral("SELECT has_table_privilege(oid, 'INSERT') FROM pg_catalog.pg_class "
                                 "WHERE oid = to_regclass(?) AND relkind IN ('r', 'p')"),
                  {table})
        .toBool();
}

QStringList Database::columns(const QString& table) {
    QStringList out;
    if (m_engine == Engine::SQLite) {
        QSqlQuery q = exec(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table});
        while (q.next())
            out << q.value(0).toString();
    } else {
        QSqlQuery q = exec(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                          "current_schema() AND table_name = lower(?) ORDER BY ordinal_position"),
                           {table});
        while (q.next())
            out << q.value(0).toString();
    }
    return out;
}

QString Database::checkSuiteSchema() {
    QStringList problems;
    for (const schema::Table& t : schema::suiteTables()) {
        const QStringList have = columns(t.name);
        if (have.isEmpty()) {
            problems << QStringLiteral("липсва таблица %1").arg(t.name);
            continue;
        }
        for (const schema::Column& c : t.columns)
            if (!have.contains(c.name, Qt::CaseInsensitive))
                problems << QStringLiteral("таблица %1 няма колона %2").arg(t.name, c.name);
    }
    return problems.join(QStringLiteral("; "));
}

void Database::createTable(const schema::Table& table) {
    exec(schema::createTableSql(table, m_engine));
    for (const schema::Index& index : schema::indexes(table))
        exec(schema::createIndexSql(table, index));
}

void Database::ensureIndexes(const schema::Table& table) {
    for (const schema::Index& index : schema::indexes(table))
        if (!hasIndex(index.name))
            exec(schema::createIndexSql(table, index));
}

void Database::lockKey(const QString& key) {
    if (m_engine != Engine::PostgreSQL)
        return;
    const QByteArray h = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    qint64 k = 0;
    for (int i = 0; i < 8; ++i)
        k = (k << 8) | quint8(h.at(i));
    exec(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {k});
}

void Database::begin() {
    if (m_depth > 0) {
        ++m_depth;
        return;
    }
    // Outside a transaction, so a lost server connection is re-made here.
    exec(m_engine == Engine::SQLite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
    m_depth = 1;
}

void Database::commit() {
    if (m_depth == 0)
        return;
    if (--m_depth > 0)
        return;
    try {
        exec(QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery q(sql());
        q.exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

void Database::rollback() {
    if (m_depth == 0)
        return;
    m_depth = 0;
    if (isOpen()) {
        QSqlQuery q(sql());
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

void Database::failStatement(int n) {
    g_failAt = n;
    g_run = 0;
}

int Database::statementsRun() {
    return g_run;
}

Transaction::Transaction(Database& db) : m_db(db) {
    m_db.begin();
}

Transaction::~Transaction() {
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit() {
    m_done = true;
    m_db.commit();
}
