#include "db/Connection.h"

#include "core/SuiteSettings.h"
#include "db/Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {
Q_LOGGING_CATEGORY(lcConnection, "resale.db")
} // namespace

QString Connection::normalisedBasePath(const QString& value) {
    if (value.isEmpty() || Database::isUrl(value))
        return value;
    const QChar last = value.at(value.size() - 1);
    if (last == QLatin1Char('/') || last == QLatin1Char('\\'))
        return value;
    return value + QDir::separator();
}

Connection::Status Connection::open(const QString& programDir) {
    close();
    m_detail.clear();
    if (!SuiteSettings::exists() || !SuiteSettings::hasValue(QStringLiteral("BasePath")))
        return Status::NoPath;
    const QVariant raw = SuiteSettings::value(QStringLiteral("BasePath"));
    if (raw.typeId() != QMetaType::QString && raw.typeId() != QMetaType::QByteArray) {
        m_detail = QStringLiteral("Стойността BasePath в настройките (%1) не е текст.").arg(SuiteSettings::location());
        return Status::BadPathValue;
    }
    const QString value = raw.toString().trimmed();
    if (value.isEmpty())
        return Status::NoPath;
    m_basePath = normalisedBasePath(value);

    QString error;
    if (!m_db.open(m_basePath, &error)) {
        m_detail = error;
        return Status::OpenFailed;
    }
    if (m_db.engine() == Engine::SQLite && !m_marker.place(m_basePath, &error)) {
        m_detail = error;
        m_db.close();
        return Status::OpenFailed;
    }
    try {
        const QString missing = m_db.checkSuiteSchema();
        if (!missing.isEmpty()) {
            m_detail = QStringLiteral("Базата данни е непълна: %1").arg(missing);
            close();
            return Status::OpenFailed;
        }
        // A missing template only shows when the register first reads the items.
        QString templateError;
        ensureItemTable(m_db, QDir(programDir).filePath(templateFileName()), &templateError);
        ensureMovesTable(m_db);
    } catch (const DbError& e) {
        m_detail = e.message();
        close();
        return Status::OpenFailed;
    }
    m_ready = true;
    return Status::Ready;
}

void Connection::close() {
    m_ready = false;
    m_db.close();
    m_marker.remove();
}

namespace {
schema::Type typeFromDeclared(const QString& declared, bool pk, int* length) {
    const QString t = declared.toUpper();
    static const QRegularExpression varchar(QStringLiteral("^(VAR)?CHAR\\((\\d+)\\)$"));
    const auto m = varchar.match(t);
    if (m.hasMatch()) {
        *length = m.captured(2).toInt();
        return schema::Type::String;
    }
    if (t.startsWith(QLatin1String("INT")))
        return pk ? schema::Type::AutoIncrement : schema::Type::Integer;
    if (t == QLatin1String("BOOLEAN"))
        return schema::Type::Boolean;
    if (t == QLatin1String("DATE"))
        return schema::Type::Date;
    if (t == QLatin1String("TIME"))
        return schema::Type::Time;
    return schema::Type::Float;
}
} // namespace

bool Connection::ensureItemTable(Database& db, const QString& templatePath, QString* error) {
    const schema::Table& items = schema::items();
    if (db.hasTable(items.name)) {
        try {
            db.ensureIndexes(items);
        } catch (const DbError& e) {
            // Only the table's owner may add an index; the program works
            // without it, a little slower on a large table.
            qCWarning(lcConnection).noquote()
                << QStringLiteral("Индексите на таблицата %1 не могат да бъдат създадени: %2")
                       .arg(items.name, e.message());
        }
        return true;
    }
    if (!QFileInfo::exists(templatePath)) {
        if (error)
            *error = QStringLiteral("Липсва празната таблица %1").arg(QDir::toNativeSeparators(templatePath));
        return false;
    }
    schema::Table table{items.name, {}};
    const QString name = QStringLiteral("template-%1").arg(QUuid::createUuid().toString(QUuid::Id128));
    {
        QSqlDatabase t = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        t.setDatabaseName(templatePath);
        t.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (t.open()) {
            QSqlQuery q(t);
            if (q.exec(QStringLiteral("SELECT name, type, pk FROM pragma_table_info('resale')")))
                while (q.next()) {
                    int length = 0;
                    const auto type = typeFromDeclared(q.value(1).toString(), q.value(2).toInt() > 0, &length);
                    table.columns.append({q.value(0).toString(), type, length});
                }
            else if (error)
                *error = q.lastError().text();
            t.close();
        } else if (error) {
            *error = t.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (table.columns.isEmpty()) {
        if (error && error->isEmpty())
            *error = QStringLiteral("Празната таблица %1 е повредена").arg(QDir::toNativeSeparators(templatePath));
        return false;
    }
    Transaction tx(db);
    db.createTable(table);
    tx.commit();
    return true;
}

bool Connection::ensureMovesTable(Database& db) {
    const schema::Table& moves = schema::moves();
    QString why;
    // The catalogue first: a user who does not own the table must never be
    // asked to create what is already there.
    if (!db.hasTable(moves.name)) {
        try {
            Transaction tx(db);
            db.createTable(moves);
            tx.commit();
        } catch (const DbError& e) {
            why = e.message();
        }
        // Another workstation may have created it at the same moment.
        if (!db.hasTable(moves.name)) {
            qCWarning(lcConnection).noquote()
                << QStringLiteral("Таблицата %1 липсва и не може да бъде създадена (%2). Програмата работи, но "
                                  "прехвърлянията към други магазини няма да бъдат записвани в нея, докато тя не бъде "
                                  "създадена при следващо стартиране от потребител на базата с право на това.")
                       .arg(moves.name, why.simplified());
            return false;
        }
    } else {
        try {
            db.ensureIndexes(moves);
        } catch (const DbError& e) {
            qCWarning(lcConnection).noquote()
                << QStringLiteral("Индексите на таблицата %1 не могат да бъдат създадени: %2")
                       .arg(moves.name, e.message());
        }
    }
    if (!db.mayInsertInto(moves.name)) {
        qCWarning(lcConnection).noquote()
            << QStringLiteral("Потребителят на базата няма право да добавя редове в таблицата %1. Програмата работи, "
                              "но прехвърлянията към други магазини няма да бъдат записвани в нея.")
                   .arg(moves.name);
        return false;
    }
    return true;
}
