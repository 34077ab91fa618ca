#include "tools/import/ParadoxImport.h"

#include "app/Login.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "operations/Invariants.h"
#include "tools/PrivateFiles.h"
#include "tools/import/ParadoxTable.h"
#include "tools/import/SourceFigures.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <cmath>
#include <memory>

namespace paradoximport {

namespace {

using Kind = ParadoxTable::Kind;

// How a column is stored in the new database.
enum class Store { Identity, Integer, Float, Boolean, Date, Time, Timestamp, Text, LongText, Bytes, Numeric };

struct TargetColumn {
    QString name;    // as written in SQL
    QString label;   // as the owner reads it
    Store store = Store::Text;
    int source = -1; // Paradox field, -1 when the old table lacks it
    bool declared = true;
};

// Refusals and failures travel as this; the import turns it into the report's error.
struct Failure {
    QString message;
};

QString fileLabel(const QString& path) {
    return QFileInfo(path).fileName();
}

bool isPlainIdentifier(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

// An undeclared column's name in SQL: always quoted (it may be a reserved
// word), and in PostgreSQL in the lower case that the program's unquoted
// names fold to.
QString extraColumnSql(const QString& name, Engine engine) {
    QString n = name;
    if (engine == Engine::PostgreSQL && isPlainIdentifier(n))
        n = n.toLower();
    n.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

QString sqlTypeOf(Store s, int length, Engine e) {
    const bool lite = e == Engine::SQLite;
    switch (s) {
    case Store::Identity:
    case Store::Integer:
        return QStringLiteral("INTEGER");
    case Store::Float:
        return lite ? QStringLiteral("REAL") : QStringLiteral("DOUBLE PRECISION");
    case Store::Boolean:
        return QStringLiteral("BOOLEAN");
    case Store::Date:
        return QStringLiteral("DATE");
    case Store::Time:
        return QStringLiteral("TIME");
    case Store::Timestamp:
        return QStringLiteral("TIMESTAMP");
    case Store::Text:
        return QStringLiteral("VARCHAR(%1)").arg(qMax(length, 1));
    case Store::LongText:
        return QStringLiteral("TEXT");
    case Store::Bytes:
        return lite ? QStringLiteral("BLOB") : QStringLiteral("BYTEA");
    case Store::Numeric:
        return QStringLiteral("NUMERIC");
    }
    return {};
}

// The store of a column the program does not declare, from its Paradox kind.
Store storeOfKind(char kind) {
    switch (kind) {
    case Kind::Alpha:
        return Store::Text;
    case Kind::Date:
        return Store::Date;
    case Kind::Time:
        return Store::Time;
    case Kind::Timestamp:
        return Store::Timestamp;
    case Kind::Short:
    case Kind::Long:
    case Kind::AutoIncrement:
        return Store::Integer;
    case Kind::Currency:
    case Kind::Number:
        return Store::Float;
    case Kind::Logical:
        return Store::Boolean;
    case Kind::Memo:
    case Kind::FormattedMemo:
        return Store::LongText;
    case Kind::Bcd:
        return Store::Numeric;
    default:
        return Store::Bytes;
    }
}

Store storeOfDeclared(schema::Type t) {
    switch (t) {
    case schema::Type::AutoIncrement:
        return Store::Identity;
    case schema::Type::Integer:
        return Store::Integer;
    case schema::Type::Float:
        return Store::Float;
    case schema::Type::Boolean:
        return Store::Boolean;
    case schema::Type::Date:
        return Store::Date;
    case schema::Type::Time:
        return Store::Time;
    case schema::Type::String:
        return Store::Text;
    }
    return Store::Text;
}

QString declaredTypeName(schema::Type t) {
    switch (t) {
    case schema::Type::AutoIncrement:
        return QStringLiteral("пореден номер");
    case schema::Type::Integer:
        return QStringLiteral("цяло число");
    case schema::Type::Float:
        return QStringLiteral("число (сума)");
    case schema::Type::Boolean:
        return QStringLiteral("да/не");
    case schema::Type::Date:
        return QStringLiteral("дата");
    case schema::Type::Time:
        return QStringLiteral("час");
    case schema::Type::String:
        return QStringLiteral("текст");
    }
    return {};
}

// Whether a Paradox field of this kind holds what the declared column keeps,
// without losing anything.
bool fits(schema::Type declared, char kind) {
    switch (declared) {
    case schema::Type::AutoIncrement:
    case schema::Type::Integer:
        return kind == Kind::AutoIncrement || kind == Kind::Long || kind == Kind::Short;
    case schema::Type::Float:
        return kind == Kind::Currency || kind == Kind::Number || kind == Kind::Long || kind == Kind::Short;
    case schema::Type::Boolean:
        return kind == Kind::Logical;
    case schema::Type::Date:
        return kind == Kind::Date;
    case schema::Type::Time:
        return kind == Kind::Time;
    case schema::Type::String:
        return kind == Kind::Alpha;
    }
    return false;
}

bool isMoney(char kind) {
    return kind == Kind::Currency || kind == Kind::Number;
}

// One table to bring over: the Paradox file, the program's declaration and
// the columns of the new table.
struct Plan {
    schema::Table declared;       // lengths widened where the old table's are longer
    QString path;                 // empty when the old books lack the table
    std::unique_ptr<ParadoxTable> source;
    QList<TargetColumn> columns;  // declared ones first, in declared order, then the extras
    QList<TargetColumn> extras;
    QStringList widened;          // "Name (30 → 40)"
    QStringList lacking;          // declared columns the old table lacks
};

void planTable(Plan& plan, QStringList* notes) {
    const QString file = fileLabel(plan.path);
    ParadoxTable& src = *plan.source;
    QList<bool> used(src.fields().size(), false);
    for (schema::Column& c : plan.declared.columns) {
        TargetColumn tc;
        tc.name = schema::sqlName(c.name);
        tc.label = c.name;
        tc.store = storeOfDeclared(c.type);
        for (int i = 0; i < src.fields().size(); ++i) {
            const ParadoxTable::Field& f = src.fields().at(i);
            if (f.name.trimmed().compare(c.name, Qt::CaseInsensitive) != 0)
                continue;
            if (!fits(c.type, f.kind))
                throw Failure{QStringLiteral("Таблица %1: колоната %2 е „%3“ в старата база, а програмата я води като "
                                             "„%4“. Нищо не е внесено.")
                                  .arg(file, f.name, ParadoxTable::kindName(f.kind), declaredTypeName(c.type))};
            if (c.type == schema::Type::String && f.length > c.length) {
                plan.widened << QStringLiteral("%1 (%2 → %3 знака)").arg(c.name).arg(c.length).arg(f.length);
                c.length = f.length;
            }
            tc.source = i;
            used[i] = true;
            break;
        }
        if (tc.source < 0)
            plan.lacking << c.name;
        plan.columns << tc;
    }
    for (int i = 0; i < src.fields().size(); ++i) {
        if (used.at(i))
            continue;
        const ParadoxTable::Field& f = src.fields().at(i);
        TargetColumn tc;
        tc.label = f.name;
        tc.store = storeOfKind(f.kind);
        tc.source = i;
        tc.declared = false;
        plan.extras << tc;
    }
    if (!plan.widened.isEmpty())
        notes->append(QStringLiteral("%1: по-дълги текстови колони от обичайното, запазени изцяло: %2")
                          .arg(file, plan.widened.join(QStringLiteral(", "))));
    if (!plan.lacking.isEmpty())
        notes->append(QStringLiteral("%1: в старата таблица няма колони %2; оставени са празни")
                          .arg(file, plan.lacking.join(QStringLiteral(", "))));
}

QVariant nullOf(Store s) {
    switch (s) {
    case Store::Identity:
    case Store::Integer:
        return QVariant(QMetaType::fromType<int>());
    case Store::Float:
        return QVariant(QMetaType::fromType<double>());
    case Store::Boolean:
        return QVariant(QMetaType::fromType<bool>());
    case Store::Bytes:
        return QVariant(QMetaType::fromType<QByteArray>());
    default:
        return QVariant(QMetaType::fromType<QString>());
    }
}

QVariant bindValue(const Database& db, Store s, const QVariant& v) {
    if (v.isNull())
        return nullOf(s);
    const bool lite = db.engine() == Engine::SQLite;
    switch (s) {
    case Store::Identity:
    case Store::Integer:
        return v.toLongLong();
    case Store::Float:
        return v.toDouble();
    case Store::Boolean:
        return lite ? QVariant(v.toBool() ? 1 : 0) : QVariant(v.toBool());
    case Store::Date:
        return db.dateParam(v.toDate());
    case Store::Time:
        if (!lite)
            return v.toTime();
        return v.toTime().toString(v.toTime().msec() ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
    case Store::Timestamp:
        return lite ? QVariant(v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"))) : QVariant(v.toDateTime());
    case Store::Bytes:
        return v.toByteArray();
    default:
        return v.toString();
    }
}

// The first table of the target that holds rows (other than skip); empty when none does.
QString firstTableWithRows(Database& db, const QString& skip = QString()) {
    QStringList tables;
    QSqlQuery q = db.exec(db.engine() == Engine::SQLite
                              ? QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                               "'sqlite_%' ORDER BY name")
                              : QStringLiteral("SELECT tablename FROM pg_catalog.pg_tables WHERE schemaname = "
                                               "current_schema() ORDER BY tablename"));
    while (q.next())
        tables << q.value(0).toString();
    for (const QString& t : tables) {
        if (t.compare(skip, Qt::CaseInsensitive) == 0)
            continue;
        QString quoted = t;
        quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        if (db.scalar(QStringLiteral("SELECT 1 FROM \"%1\" LIMIT 1").arg(quoted)).isValid()) {
            const schema::Table* known = schema::find(t);
            return known ? known->name : t;
        }
    }
    return {};
}

// Removes what the import made of a new embedded database when it fails.
struct EmbeddedCleanup {
    QString folder;
    bool madeFolder = false;
    bool madeFile = false;

    void undo() const {
        if (folder.isEmpty())
            return;
        const QDir dir(folder);
        if (madeFile)
            for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
                QFile::remove(dir.filePath(Database::fileName() + suffix));
        if (madeFolder)
            QDir().rmdir(folder);
    }
};

class Importer {
public:
    Importer(const QString& folder, const QString& location, const Progress& progress, const Options& options,
             Report& report)
        : m_folder(folder), m_location(location), m_progress(progress), m_options(options), m_report(report) {}

    void run() {
        say(QStringLiteral("Старата база: %1").arg(QDir::toNativeSeparators(m_folder)));
        readSources();
        openTarget();
        Transaction tx(m_db);
        if (m_dropDefaultClerk)
            m_db.exec(QStringLiteral("DELETE FROM CLERKS"));
        for (Plan& p : m_plans)
            createTable(p);
        if (!m_db.hasTable(schema::moves().name))
            m_db.createTable(schema::moves());
        for (Plan& p : m_plans)
            if (p.source)
                copyRows(p);
        check();
        if (m_options.checkBooks) {
            say(QStringLiteral("Проверка на книгите…"));
            m_report.breaches = invariants::check(m_db);
            m_report.booksChecked = true;
        }
        tx.commit();
        m_committed = true;
    }

    void abandon() {
        m_db.rollback();
        m_db.close();
        if (!m_committed)
            m_cleanup.undo();
    }

private:
    void say(const QString& line) {
        if (m_progress.message)
            m_progress.message(line);
    }

    void readSources() {
        const QFileInfo fi(m_folder);
        if (!fi.exists() || !fi.isDir())
            throw Failure{QStringLiteral("Папката със старата база %1 не съществува.").arg(QDir::toNativeSeparators(m_folder))};
        for (const QString& name : tableNames()) {
            Plan p;
            p.declared = *schema::find(name);
            p.path = findParadoxFile(m_folder, name);
            if (p.path.isEmpty()) {
                if (isRequired(name))
                    throw Failure{QStringLiteral("В папката %1 няма таблица %2.db: без нея старата база не може да се "
                                                 "внесе. Нищо не е внесено.")
                                      .arg(QDir::toNativeSeparators(m_folder), name)};
                m_report.notes << QStringLiteral("Таблица %1 липсва в старата база; създадена е празна.").arg(name);
            } else {
                p.source = std::make_unique<ParadoxTable>();
                QString why;
                if (!p.source->open(p.path, &why))
                    throw Failure{QStringLiteral("Таблица %1: %2. Нищо не е внесено.").arg(name, why)};
                planTable(p, &m_report.notes);
            }
            m_plans.push_back(std::move(p));
        }
    }

    void openTarget() {
        QString error;
        if (!Database::isUrl(m_location)) {
            const QDir dir(m_location);
            m_cleanup.folder = dir.absolutePath();
            m_cleanup.madeFolder = !dir.exists();
            QString why;
            if (!privatefiles::makeFolder(m_location, &why))
                throw Failure{QStringLiteral("Папката %1 не може да се създаде (%2).").arg(m_location, why)};
            const QString file = dir.filePath(Database::fileName());
            m_cleanup.madeFile = !QFileInfo::exists(file);
            if (m_cleanup.madeFile && !privatefiles::createFile(file))
                throw Failure{QStringLiteral("Файлът %1 не може да се създаде.").arg(file)};
        }
        if (!m_db.open(m_location, &error, true))
            throw Failure{QStringLiteral("Новата база не може да се отвори: %1").arg(error)};
        const QString full = firstTableWithRows(m_db);
        if (!full.isEmpty() && m_options.acceptDefaultClerk && onlyDefaultClerk()) {
            m_dropDefaultClerk = true;
            return;
        }
        if (!full.isEmpty())
            throw Failure{QStringLiteral("Базата данни %1 не е празна (таблица %2 има записи). Старата база се внася "
                                         "само в нова, празна база; нищо не е променено.")
                              .arg(m_db.location(), full)};
    }

    bool onlyDefaultClerk() {
        if (!firstTableWithRows(m_db, QStringLiteral("CLERKS")).isEmpty() ||
            m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLERKS")).toInt() != 1)
            return false;
        const QVariantMap d = login::defaultClerk();
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID, Nick, Password FROM CLERKS"));
        return q.next() && q.value(0).toInt() == d.value(QStringLiteral("ID")).toInt() &&
               q.value(1).toString() == d.value(QStringLiteral("Nick")).toString() &&
               q.value(2).toString() == d.value(QStringLiteral("Password")).toString();
    }

    void createTable(Plan& p) {
        const Engine e = m_db.engine();
        if (!m_db.hasTable(p.declared.name)) {
            m_db.createTable(p.declared);
        } else if (e == Engine::PostgreSQL) {
            // An empty table made beforehand: its text columns widened where the old ones are longer.
            const schema::Table* usual = schema::find(p.declared.name);
            for (const schema::Column& c : p.declared.columns)
                if (c.type == schema::Type::String && c.length > usual->column(c.name)->length)
                    m_db.exec(QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE VARCHAR(%3)")
                                  .arg(p.declared.name, schema::sqlName(c.name))
                                  .arg(qMax(c.length, 1)));
        }
        const QStringList existing = m_db.columns(p.declared.name);
        for (TargetColumn& x : p.extras) {
            x.name = extraColumnSql(x.label, e);
            bool there = false;
            for (const QString& c : existing)
                there = there || c.compare(x.label, Qt::CaseInsensitive) == 0;
            if (!there)
                m_db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                              .arg(p.declared.name, x.name,
                                   sqlTypeOf(x.store, p.source->fields().at(x.source).length, e)));
        }
        if (!p.extras.isEmpty()) {
            QStringList names;
            for (const TargetColumn& x : p.extras)
                names << QStringLiteral("%1 (%2)").arg(x.label, ParadoxTable::kindName(p.source->fields().at(x.source).kind));
            m_report.notes << QStringLiteral("%1: колони извън описанието на програмата, запазени: %2")
                                  .arg(fileLabel(p.path), names.join(QStringLiteral(", ")));
        }
    }

    QString insertSql(const Plan& p, const QList<const TargetColumn*>& cols, int rows) const {
        QStringList names;
        for (const TargetColumn* c : cols)
            names << c->name;
        QString one = QStringLiteral("(") + QStringLiteral("?,").repeated(cols.size());
        one.chop(1);
        one += QLatin1Char(')');
        QStringList all;
        for (int i = 0; i < rows; ++i)
            all << one;
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(p.declared.name, names.join(QLatin1Char(',')), all.join(QLatin1Char(',')));
    }

    void copyRows(Plan& p) {
        ParadoxTable& src = *p.source;
        const QString file = fileLabel(p.path);
        const qint64 total = src.recordCount();
        say(QStringLiteral("Таблица %1: %2 реда…").arg(file).arg(total));
        QList<const TargetColumn*> cols;
        for (const TargetColumn& c : p.columns)
            if (c.source >= 0)
                cols << &c;
        for (const TargetColumn& c : p.extras)
            cols << &c;
        const TargetColumn* identity = nullptr;
        for (const TargetColumn* c : cols)
            if (c->store == Store::Identity)
                identity = c;

        // Rows go in batches, each under a savepoint, so that a batch the
        // engine refuses is tried again row by row to name the row at fault.
        // (SQLite looks each bound value up by its place, a cost that grows
        // with the statement: there the batches stay small.)
        const int perBatch = m_db.engine() == Engine::SQLite ? qMax(1, 256 / qMax<int>(1, cols.size()))
                                                             : qMax(1, qMin(200, 30000 / qMax<int>(1, cols.size())));
        QSqlQuery batch(m_db.sql());
        if (!batch.prepare(insertSql(p, cols, perBatch)))
            throw Failure{QStringLiteral("Таблица %1: %2").arg(file, batch.lastError().text())};
        QVariantList values;
        values.reserve(perBatch * cols.size());
        qint64 firstRow = 1;
        qint64 highest = 0;
        auto flush = [&](int rows) {
            if (rows == 0)
                return;
            QSqlQuery* q = &batch;
            QSqlQuery tail(m_db.sql());
            if (rows != perBatch) {
                if (!tail.prepare(insertSql(p, cols, rows)))
                    throw Failure{QStringLiteral("Таблица %1: %2").arg(file, tail.lastError().text())};
                q = &tail;
            }
            for (int i = 0; i < values.size(); ++i)
                q->bindValue(i, values.at(i));
            m_db.exec(QStringLiteral("SAVEPOINT import_batch"));
            if (!q->exec()) {
                const QString batchError = q->lastError().databaseText().trimmed();
                m_db.exec(QStringLiteral("ROLLBACK TO SAVEPOINT import_batch"));
                findFaultyRow(p, cols, values, rows, firstRow, batchError);
            }
            m_db.exec(QStringLiteral("RELEASE SAVEPOINT import_batch"));
            values.clear();
            firstRow += rows;
        };
        int inBatch = 0;
        for (qint64 n = 0; n < total; ++n) {
            QString why;
            if (!src.read(int(n), &why))
                throw Failure{QStringLiteral("Таблица %1, ред %2: %3. Нищо не е внесено.").arg(file).arg(n + 1).arg(why)};
            for (const TargetColumn* c : cols) {
                const QVariant v = src.value(c->source);
                if (c == identity) {
                    if (v.isNull())
                        throw Failure{QStringLiteral("Таблица %1, ред %2: празен пореден номер в колона %3. Нищо не е "
                                                     "внесено.")
                                          .arg(file)
                                          .arg(n + 1)
                                          .arg(c->label)};
                    highest = qMax(highest, v.toLongLong());
                }
                values << bindValue(m_db, c->store, v);
            }
            if (++inBatch == perBatch) {
                flush(inBatch);
                inBatch = 0;
            }
            if ((n + 1) % 5000 == 0 && m_progress.rows && !m_progress.rows(p.declared.name, n + 1, total))
                throw Failure{QStringLiteral("Вносът е прекъснат при таблица %1, ред %2; новата база е оставена "
                                             "както беше.")
                                  .arg(file)
                                  .arg(n + 1)};
        }
        flush(inBatch);
        if (m_progress.rows && !m_progress.rows(p.declared.name, total, total))
            throw Failure{QStringLiteral("Вносът е прекъснат след таблица %1; новата база е оставена както беше.").arg(file)};
        if (identity)
            continueNumbering(p, *identity, qMax(highest, src.autoIncrementCounter()));
    }

    void findFaultyRow(const Plan& p, const QList<const TargetColumn*>& cols, const QVariantList& values, int rows,
                       qint64 firstRow, const QString& batchError) {
        const QString file = fileLabel(p.path);
        QSqlQuery one(m_db.sql());
        one.prepare(insertSql(p, cols, 1));
        for (int r = 0; r < rows; ++r) {
            for (int i = 0; i < cols.size(); ++i)
                one.bindValue(i, values.at(r * cols.size() + i));
            m_db.exec(QStringLiteral("SAVEPOINT import_row"));
            if (!one.exec()) {
                QString why = one.lastError().databaseText().trimmed();
                if (why.isEmpty())
                    why = one.lastError().text();
                m_db.exec(QStringLiteral("ROLLBACK TO SAVEPOINT import_row"));
                throw Failure{QStringLiteral("Таблица %1, ред %2: новата база не приема реда (%3). Нищо не е внесено.")
                                  .arg(file)
                                  .arg(firstRow + r)
                                  .arg(why)};
            }
            m_db.exec(QStringLiteral("RELEASE SAVEPOINT import_row"));
        }
        throw Failure{QStringLiteral("Таблица %1, редове %2–%3: новата база не приема редовете (%4). Нищо не е внесено.")
                          .arg(file)
                          .arg(firstRow)
                          .arg(firstRow + rows - 1)
                          .arg(batchError)};
    }

    // New rows of the program get numbers after the highest the old books used.
    void continueNumbering(const Plan& p, const TargetColumn& identity, qint64 highest) {
        if (highest <= 0)
            return;
        if (m_db.engine() == Engine::PostgreSQL) {
            m_db.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?)"),
                      {p.declared.name.toLower(), identity.label.toLower(), highest});
            return;
        }
        const QVariant seq = m_db.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?"), {p.declared.name});
        if (!seq.isValid())
            m_db.exec(QStringLiteral("INSERT INTO sqlite_sequence (name, seq) VALUES (?, ?)"), {p.declared.name, highest});
        else if (seq.toLongLong() < highest)
            m_db.exec(QStringLiteral("UPDATE sqlite_sequence SET seq = ? WHERE name = ?"), {highest, p.declared.name});
    }

    // Row counts and money sums of the new tables against the same figures
    // read afresh from the Paradox files by pxlib's own value reader.
    void check() {
        say(QStringLiteral("Сверка на редовете и сумите…"));
        QStringList mismatches;
        const QString bigint = m_db.engine() == Engine::SQLite ? QStringLiteral("INTEGER") : QStringLiteral("BIGINT");
        for (const Plan& p : m_plans) {
            TableCheck tc;
            tc.table = p.declared.name;
            tc.file = p.source ? fileLabel(p.path) : QString();
            for (const TargetColumn& x : p.extras)
                tc.extraColumns << x.label;
            QList<const TargetColumn*> money;
            if (p.source) {
                QString why;
                const SourceFigures f = sourceFigures(p.path, &why);
                if (!f.ok)
                    throw Failure{QStringLiteral("Таблица %1: сверката не може да прочете файла (%2).").arg(tc.file, why)};
                tc.sourceRows = f.rows;
                for (const TargetColumn& c : p.columns)
                    if (c.source >= 0 && isMoney(p.source->fields().at(c.source).kind))
                        money << &c;
                for (const TargetColumn& c : p.extras)
                    if (isMoney(p.source->fields().at(c.source).kind))
                        money << &c;
                for (const TargetColumn* c : money)
                    tc.sums << MoneySum{c->label, f.stotinki.value(c->source), 0};
            }
            QStringList exprs{QStringLiteral("COUNT(*)")};
            for (const TargetColumn* c : money)
                exprs << QStringLiteral("COALESCE(SUM(CAST(ROUND(%1 * 100) AS %2)), 0)").arg(c->name, bigint);
            QSqlQuery q = m_db.exec(QStringLiteral("SELECT %1 FROM %2").arg(exprs.join(QLatin1Char(',')), p.declared.name));
            if (q.next()) {
                tc.targetRows = q.value(0).toLongLong();
                for (int i = 0; i < tc.sums.size(); ++i)
                    tc.sums[i].target = q.value(i + 1).toLongLong();
            }
            if (!tc.agrees())
                mismatches << (tc.file.isEmpty() ? tc.table : tc.file);
            m_report.tables << tc;
        }
        if (!mismatches.isEmpty())
            throw Failure{QStringLiteral("Сверката не съвпада за %1: вносът е отменен, новата база е оставена както "
                                         "беше.")
                              .arg(mismatches.join(QStringLiteral(", ")))};
    }

    QString m_folder, m_location;
    const Progress& m_progress;
    const Options& m_options;
    Report& m_report;
    Database m_db;
    std::vector<Plan> m_plans;
    EmbeddedCleanup m_cleanup;
    bool m_committed = false;
    bool m_dropDefaultClerk = false;
};

QString money(qint64 stotinki) {
    const bool negative = stotinki < 0;
    const qint64 a = negative ? -stotinki : stotinki;
    QString leva = QString::number(a / 100);
    for (int i = leva.size() - 3; i > 0; i -= 3)
        leva.insert(i, QLatin1Char(' '));
    return QStringLiteral("%1%2.%3").arg(negative ? QStringLiteral("-") : QString(), leva).arg(a % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

QString breachCount(int n) {
    return n == 1 ? QStringLiteral("1 несъответствие") : QStringLiteral("%1 несъответствия").arg(n);
}

QStringList tableNames() {
    return {QStringLiteral("Shops"), QStringLiteral("CLERKS"), QStringLiteral("MyInfo"), QStringLiteral("resale"),
            QStringLiteral("KASA"), QStringLiteral("Pech"), QStringLiteral("oborot"), QStringLiteral("TypePrihod"),
            QStringLiteral("Prihod"), QStringLiteral("TypeExpense"), QStringLiteral("Expenses")};
}

bool isRequired(const QString& table) {
    return table.compare(QLatin1String("resale"), Qt::CaseInsensitive) == 0 ||
           table.compare(QLatin1String("Shops"), Qt::CaseInsensitive) == 0;
}

bool TableCheck::agrees() const {
    if (sourceRows != targetRows)
        return false;
    for (const MoneySum& s : sums)
        if (s.source != s.target)
            return false;
    return true;
}

Report importFolder(const QString& folder, const QString& location, const Progress& progress, const Options& options) {
    Report report;
    report.folder = folder;
    report.location = location;
    QElapsedTimer timer;
    timer.start();
    Importer importer(folder, location, progress, options, report);
    try {
        importer.run();
        report.ok = true;
    } catch (const Failure& f) {
        report.error = f.message;
    } catch (const DbError& e) {
        report.error = QStringLiteral("Грешка на новата база: %1. Нищо не е внесено.").arg(e.message());
    }
    if (!report.ok)
        importer.abandon();
    report.seconds = timer.elapsed() / 1000.0;
    return report;
}

QString Report::text() const {
    QStringList out;
    out << QStringLiteral("Внос от стара база");
    out << QStringLiteral("Стара база (Paradox): %1").arg(QDir::toNativeSeparators(folder));
    out << QStringLiteral("Нова база: %1").arg(Database::isUrl(location) ? QUrl(location).toString(QUrl::RemovePassword)
                                                                         : QDir::toNativeSeparators(location));
    out << QString();
    if (!ok) {
        out << QStringLiteral("ВНОСЪТ НЕ Е НАПРАВЕН.");
        out << error;
    } else {
        out << QStringLiteral("Вносът е направен за %1 с.").arg(seconds, 0, 'f', 1);
    }
    if (!tables.isEmpty()) {
        out << QString();
        out << QStringLiteral("Сверка по таблици (стара база → нова база):");
        for (const TableCheck& t : tables) {
            out << QStringLiteral("  %1: %2 → %3 реда%4")
                       .arg(t.file.isEmpty() ? t.table + QStringLiteral(" (липсва)") : t.file)
                       .arg(t.sourceRows)
                       .arg(t.targetRows)
                       .arg(t.agrees() ? QStringLiteral(" — съвпада") : QStringLiteral(" — НЕ СЪВПАДА"));
            for (const MoneySum& s : t.sums)
                out << QStringLiteral("      сума %1: %2 → %3%4")
                           .arg(s.column, money(s.source), money(s.target),
                                s.source == s.target ? QString() : QStringLiteral("  НЕ СЪВПАДА"));
        }
    }
    if (!notes.isEmpty()) {
        out << QString();
        out << QStringLiteral("Бележки:");
        for (const QString& n : notes)
            out << QStringLiteral("  - ") + n;
    }
    if (booksChecked) {
        out << QString();
        if (breaches.isEmpty()) {
            out << QStringLiteral("Проверка на книгите: няма несъответствия.");
        } else {
            out << QStringLiteral("Проверка на книгите: %1 в старите книги (внесени са такива, каквито са):")
                       .arg(breachCount(int(breaches.size())));
            int i = 0;
            for (const QString& b : breaches)
                out << QStringLiteral("  %1. %2").arg(++i).arg(b);
        }
    }
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool Report::save(const QString& path, QString* error) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    f.write(text().toUtf8());
    if (!f.commit()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace paradoximport
