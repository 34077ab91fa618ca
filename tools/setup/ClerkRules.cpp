#include "tools/setup/ClerkRules.h"

#include "app/Login.h"
#include "db/Database.h"
#include "tools/setup/FieldText.h"
#include "tools/setup/RightsLevels.h"

#include <QSqlQuery>

namespace {
const QString kClerks = QStringLiteral("CLERKS");
const QString kNick = QStringLiteral("Nick");
const QString kName = QStringLiteral("Name");
const QString kPassword = QStringLiteral("Password");
const QString kPrefs = QStringLiteral("Prefs");
const QString kShop = QStringLiteral("ShopID");
const QString kActive = QStringLiteral("Active");

QString fullRightsWords() {
    return RightsLevels::words(RightsLevels::kFullRights);
}
} // namespace

const EditedTable& ClerkRules::table() {
    static const EditedTable t{kClerks,
                               QStringLiteral("ID"),
                               {{kNick, QStringLiteral("Потребител")},
                                {kName, QStringLiteral("Име")},
                                {kPrefs, QStringLiteral("Права")},
                                {kShop, QStringLiteral("Магазин")},
                                {kActive, QStringLiteral("Активен")},
                                {QStringLiteral("Info"), QStringLiteral("Бележка")}}};
    return t;
}

QList<QVariantMap> ClerkRules::list() {
    return RowStore(m_db, table()).all();
}

bool ClerkRules::ensureDefaultClerk() {
    Transaction tx(m_db);
    RowStore(m_db, table()).lockTable();
    if (!login::ensureDefaultClerk(m_db))
        return false;
    m_db.update(kClerks, {{kActive, true}}, QStringLiteral("ID = ?"),
                {login::defaultClerk().value(QStringLiteral("ID"))});
    tx.commit();
    return true;
}

bool ClerkRules::hasDefaultPassword(qint64 id) {
    const QVariantMap d = login::defaultClerk();
    return m_db.scalar(QStringLiteral("SELECT count(*) FROM CLERKS WHERE ID = ? AND Nick = ? AND Password = ?"),
                       {id, d.value(kNick), d.value(kPassword)})
               .toLongLong() > 0;
}

bool ClerkRules::isActiveAdministrator(const QVariantMap& row, bool hasPassword) {
    return RightsLevels::isFullRights(row.value(kPrefs).toInt()) && row.value(kActive).toBool() &&
           !row.value(kNick).toString().isEmpty() && hasPassword;
}

std::optional<Refusal> ClerkRules::check(const QVariantMap& edited, bool isNew, const QVariantMap& original) {
    if (isNew || edited.contains(kNick)) {
        const QString nick = fieldtext::clean(edited.value(kNick).toString());
        if (nick.isEmpty())
            return Refusal{kNick, QStringLiteral("Въведете потребителско име")};
        if (nick.size() > kNickLength)
            return Refusal{kNick, QStringLiteral("Потребителското име може да е най-много %1 знака").arg(kNickLength)};
    }
    if (isNew || edited.contains(kName)) {
        if (fieldtext::clean(edited.value(kName).toString()).isEmpty())
            return Refusal{kName, QStringLiteral("Въведете имената на служителя")};
    }
    const bool passwordGiven = edited.contains(kPassword) && !edited.value(kPassword).toString().isEmpty();
    const bool repeatGiven = edited.contains(repeatKey()) && !edited.value(repeatKey()).toString().isEmpty();
    if (isNew || passwordGiven || repeatGiven) {
        const QString pw = edited.value(kPassword).toString();
        if (pw.isEmpty())
            return Refusal{kPassword, QStringLiteral("Въведете парола")};
        if (pw.size() > kPasswordLength)
            return Refusal{kPassword, QStringLiteral("Паролата може да е най-много %1 знака").arg(kPasswordLength)};
        if (fieldtext::hasControl(pw))
            return Refusal{kPassword, QStringLiteral("Паролата съдържа непозволени знаци")};
        if (pw.front().isSpace() || pw.back().isSpace())
            return Refusal{kPassword, QStringLiteral("Паролата не може да започва или да завършва с интервал")};
        if (edited.value(repeatKey()).toString() != pw)
            return Refusal{repeatKey(),
                           QStringLiteral("Двете пароли не съвпадат: въведете една и съща парола два пъти")};
    }
    if (isNew || edited.contains(kPrefs)) {
        bool ok = false;
        const int level = edited.value(kPrefs).toInt(&ok);
        const bool unchanged = !isNew && original.contains(kPrefs) && original.value(kPrefs).toInt() == level;
        if (!ok || (!RightsLevels::isKnown(level) && !unchanged))
            return Refusal{kPrefs, QStringLiteral("Изберете права от списъка")};
    }
    if (edited.contains(kShop) && edited.value(kShop).toLongLong() < 0)
        return Refusal{kShop, QStringLiteral("Изберете магазин от списъка")};
    return std::nullopt;
}

SaveOutcome ClerkRules::save(qint64 id, const QVariantMap& original, const QVariantMap& editedIn) {
    const bool isNew = id == 0;
    QVariantMap edited;
    for (auto it = editedIn.cbegin(); it != editedIn.cend(); ++it) {
        const bool text = it.value().typeId() == QMetaType::QString;
        // Passwords are taken exactly as typed (the login compares them so).
        if (text && it.key() != kPassword && it.key() != repeatKey())
            edited.insert(it.key(), it.key() == kNick ? fieldtext::clean(it.value().toString())
                                                      : fieldtext::forColumn(kClerks, it.key(), it.value().toString()));
        else
            edited.insert(it.key(), it.value());
    }
    if (isNew && !edited.contains(kActive))
        edited.insert(kActive, true);
    if (auto r = check(edited, isNew, original))
        return SaveOutcome::refused(*r);
    const QString password = edited.value(kPassword).toString();
    edited.remove(kPassword);
    edited.remove(repeatKey());

    try {
        RowStore store(m_db, table());
        Transaction tx(m_db);
        store.lockTable();
        SaveOutcome out;
        QVariantMap changes;
        QVariantMap before, after;
        bool hadPassword = !password.isEmpty();
        if (isNew) {
            // The first clerk of an empty table is the login's default clerk.
            if (m_db.scalar(QStringLiteral("SELECT count(*) FROM CLERKS")).toLongLong() == 0)
                ensureDefaultClerk();
            changes = store.normalised(edited);
            after = changes;
        } else {
            const auto now = store.row(id, true);
            if (!now)
                return SaveOutcome::gone(
                    QStringLiteral("Служителят е изтрит от друго работно място междувременно. Нищо не е записано."));
            before = *now;
            hadPassword =
                !m_db.scalar(QStringLiteral("SELECT Password FROM CLERKS WHERE ID = ?"), {id}).toString().isEmpty();
            after = *store.merge(id, original, edited, &changes, &out);
        }

        if (changes.contains(kNick)) {
            const QString nick = changes.value(kNick).toString();
            QSqlQuery q = m_db.exec(QStringLiteral("SELECT Nick FROM CLERKS WHERE ID <> ? OR ID IS NULL"), {id});
            while (q.next())
                if (q.value(0).toString().compare(nick, Qt::CaseInsensitive) == 0)
                    return SaveOutcome::refused(
                        kNick, QStringLiteral("Вече има служител с потребителско име „%1“").arg(q.value(0).toString()));
        }
        if (changes.contains(kShop) && changes.value(kShop).toLongLong() != 0 &&
            m_db.scalar(QStringLiteral("SELECT count(*) FROM Shops WHERE ID = ?"), {changes.value(kShop)})
                    .toLongLong() == 0)
            return SaveOutcome::refused(kShop, QStringLiteral("Няма такъв магазин: изберете магазин от списъка"));

        // The last clerk with full rights who can log in stays so.
        const bool hasPasswordAfter = hadPassword || !password.isEmpty();
        if (!isNew && isActiveAdministrator(before, hadPassword) && !isActiveAdministrator(after, hasPasswordAfter)) {
            qint64 others = 0;
            QSqlQuery q =
                m_db.exec(QStringLiteral("SELECT Prefs, Active, Nick, Password FROM CLERKS WHERE ID <> ?"), {id});
            while (q.next()) {
                const QVariantMap r{
                    {kPrefs, q.value(0)}, {kActive, store.normalised(kActive, q.value(1))}, {kNick, q.value(2)}};
                others += isActiveAdministrator(r, !q.value(3).toString().isEmpty()) ? 1 : 0;
            }
            if (others == 0)
                return SaveOutcome::refused(
                    changes.contains(kPrefs) ? kPrefs : kActive,
                    QStringLiteral("Трябва да остане поне един активен служител с права „%1“: иначе никой няма да "
                                   "може да управлява веригата.")
                        .arg(fullRightsWords()));
        }

        if (!password.isEmpty())
            changes.insert(kPassword, password);
        if (isNew) {
            out.id = store.nextKey();
            changes.insert(QStringLiteral("ID"), out.id);
            m_db.insert(kClerks, changes);
        } else {
            out.id = id;
            if (!changes.isEmpty())
                m_db.update(kClerks, changes, QStringLiteral("ID = ?"), {id});
        }
        tx.commit();
        return out;
    } catch (const DbError& e) {
        return SaveOutcome::engineError(e.message());
    }
}
