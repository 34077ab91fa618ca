#include "app/Login.h"

#include "db/Database.h"

#include <QSqlQuery>

namespace login {

QVariantMap defaultClerk() {
    return {{QStringLiteral("ID"), 1},
            {QStringLiteral("Name"), QStringLiteral("Администратор")},
            {QStringLiteral("Nick"), QStringLiteral("Administrator")},
            {QStringLiteral("Password"), QStringLiteral("vemka")},
            {QStringLiteral("Prefs"), 4},
            {QStringLiteral("ShopID"), 0}};
}

bool ensureDefaultClerk(Database& db) {
    Transaction tx(db);
    if (db.scalar(QStringLiteral("SELECT count(*) FROM CLERKS")).toLongLong() > 0)
        return false;
    db.insert(QStringLiteral("CLERKS"), defaultClerk());
    tx.commit();
    return true;
}

bool levelGranted(int prefs) { return prefs != 0 && prefs != 2; }

int filterShopFor(int prefs, int shopId) { return (prefs == 1 || prefs == 3) ? shopId : 0; }

Result check(Database& db, const QString& nick, const QString& password) {
    ensureDefaultClerk(db);
    Result r;
    // The clerks table is small; comparing here keeps the match exact on
    // every engine, whatever its collation.
    QSqlQuery q = db.exec(QStringLiteral("SELECT Nick, Password, Name, ID, Prefs, ShopID FROM CLERKS"));
    while (q.next()) {
        if (q.value(0).toString() != nick || q.value(1).toString() != password)
            continue;
        r.name = q.value(2).toString();
        r.clerkId = q.value(3).toInt();
        r.prefs = q.value(4).toInt();
        r.filterShopId = filterShopFor(r.prefs, q.value(5).toInt());
        r.outcome = levelGranted(r.prefs) ? Outcome::Granted : Outcome::Refused;
        if (r.outcome == Outcome::Refused)
            r.filterShopId = 0;
        return r;
    }
    return r;
}

} // namespace login
