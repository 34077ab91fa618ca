#include "tools/setup/ChainDatabase.h"

#include "core/SuiteSettings.h"
#include "db/Connection.h"
#include "tools/PrivateFiles.h"
#include "tools/SuiteDatabase.h"
#include "tools/setup/ClerkRules.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool fail(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

QString incomplete(const QString& missing) {
    return QStringLiteral("Базата данни не е пълна база на веригата (%1). Изберете друго място.").arg(missing);
}
} // namespace

ChainDatabase::ChainDatabase() : m_db(std::make_unique<Database>()) {}

QString ChainDatabase::shownBasePath() {
    if (!SuiteSettings::exists() || !SuiteSettings::hasValue(QStringLiteral("BasePath")))
        return {};
    const QString value = SuiteSettings::value(QStringLiteral("BasePath")).toString().trimmed();
    return Database::isUrl(value) ? PostgresAddress::fromUrl(value).shown() : value;
}

void ChainDatabase::close() {
    m_db->close();
    m_shown.clear();
    m_wroteDefaultClerk = false;
}

bool ChainDatabase::adopt(std::unique_ptr<Database> next, const QString& basePath, QString* error) {
    bool wrote = false;
    try {
        wrote = ClerkRules(*next).ensureDefaultClerk();
    } catch (const DbError& e) {
        return fail(error, e.message());
    }
    if (!basePath.isEmpty())
        suite::writeSettings(basePath);
    m_db = std::move(next);
    m_wroteDefaultClerk = wrote;
    const QString where = m_db->location();
    m_shown = m_db->engine() == Engine::PostgreSQL ? QStringLiteral("PostgreSQL: %1").arg(where)
                                                   : QStringLiteral("Папка: %1").arg(where);
    return true;
}

bool ChainDatabase::openFromSettings(QString* error) {
    if (error)
        error->clear();
    if (!SuiteSettings::exists() || !SuiteSettings::hasValue(QStringLiteral("BasePath")))
        return false;
    const QVariant raw = SuiteSettings::value(QStringLiteral("BasePath"));
    if (raw.typeId() != QMetaType::QString && raw.typeId() != QMetaType::QByteArray)
        return fail(error, QStringLiteral("Стойността BasePath в настройките не е текст."));
    const QString value = raw.toString().trimmed();
    if (value.isEmpty())
        return false;
    auto next = std::make_unique<Database>();
    QString why;
    if (!next->open(Connection::normalisedBasePath(value), &why))
        return fail(error, QStringLiteral("Базата данни, която настройките посочват, не се отваря: %1").arg(why));
    try {
        if (const QString missing = next->checkSuiteSchema(); !missing.isEmpty())
            return fail(error, incomplete(missing));
    } catch (const DbError& e) {
        return fail(error, e.message());
    }
    return adopt(std::move(next), QString(), error);
}

bool ChainDatabase::useFolder(const QString& dirIn, QString* error, bool* created) {
    const QString typed = dirIn.trimmed();
    if (typed.isEmpty())
        return fail(error, QStringLiteral("Изберете папка за базата данни"));
    const QString dir = QDir::cleanPath(QDir(typed).absolutePath());
    const QFileInfo info(dir);
    if (info.exists() && !info.isDir())
        return fail(error, QStringLiteral("%1 е файл, а не папка").arg(QDir::toNativeSeparators(dir)));
    const QString file = QDir(dir).filePath(Database::fileName());
    bool isNew = !QFileInfo::exists(file);
    QString why;
    if (isNew) {
        // The clerks' passwords are kept as text: the folder and the file are the owner's alone.
        if (!privatefiles::makeFolder(dir, &why))
            return fail(error, why);
        if (!privatefiles::createFile(file))
            return fail(error,
                        QStringLiteral("В папката %1 не може да бъде създадена база данни (няма права за запис?)")
                            .arg(QDir::toNativeSeparators(dir)));
    }
    auto next = std::make_unique<Database>();
    if (!next->open(dir, &why, isNew))
        return fail(error, why);
    try {
        // An empty database file counts as new: the suite's tables go into it.
        if (!isNew && next->scalar(QStringLiteral("SELECT count(*) FROM sqlite_master")).toLongLong() == 0)
            isNew = true;
        if (isNew)
            suite::createTables(*next);
        else if (const QString missing = next->checkSuiteSchema(); !missing.isEmpty())
            return fail(error, incomplete(missing));
    } catch (const DbError& e) {
        return fail(error, e.message());
    }
    if (!adopt(std::move(next), QDir::toNativeSeparators(dir), error))
        return false;
    if (created)
        *created = isNew;
    return true;
}

ChainDatabase::ServerTest ChainDatabase::testServer(const PostgresAddress& address) {
    ServerTest t;
    if (auto r = address.check()) {
        t.message = r->message;
        return t;
    }
    Database db;
    QString why;
    if (!db.open(address.url(), &why)) {
        t.message = QStringLiteral("Няма връзка със сървъра: %1").arg(why);
        return t;
    }
    try {
        if (!db.hasTable(QStringLiteral("Shops"))) {
            t.content = Content::Empty;
            t.message =
                QStringLiteral("Връзката е успешна. Базата „%1“ няма таблици на веригата: те ще бъдат създадени.")
                    .arg(address.database);
        } else if (const QString missing = db.checkSuiteSchema(); missing.isEmpty()) {
            t.content = Content::Suite;
            t.message = QStringLiteral("Връзката е успешна. Базата „%1“ е база на веригата и ще бъде използвана.")
                            .arg(address.database);
        } else {
            t.content = Content::Incomplete;
            t.message = incomplete(missing);
        }
    } catch (const DbError& e) {
        t.content = Content::Unreachable;
        t.message = e.message();
    }
    return t;
}

bool ChainDatabase::useServer(const PostgresAddress& address, QString* error, bool* created) {
    if (auto r = address.check())
        return fail(error, r->message);
    auto next = std::make_unique<Database>();
    QString why;
    if (!next->open(address.url(), &why))
        return fail(error, QStringLiteral("Няма връзка със сървъра: %1").arg(why));
    bool isNew = false;
    try {
        if (!next->hasTable(QStringLiteral("Shops"))) {
            isNew = true;
            suite::createTables(*next);
        } else if (const QString missing = next->checkSuiteSchema(); !missing.isEmpty()) {
            return fail(error, incomplete(missing));
        }
    } catch (const DbError& e) {
        return fail(error, e.message());
    }
    if (!adopt(std::move(next), address.url(), error))
        return false;
    if (created)
        *created = isNew;
    return true;
}
