#include "operations/Postings.h"

#include "db/Database.h"
#include "operations/Clock.h"

#include <QSqlQuery>
#include <QVariant>

namespace postings {

namespace {
// Identity of one physical row, for tables without a key column.
QString rowKey(const Database& db) { return db.engine() == Engine::SQLite ? QStringLiteral("rowid") : QStringLiteral("ctid"); }
QString rowKeyParam(const Database& db) { return db.engine() == Engine::SQLite ? QStringLiteral("?") : QStringLiteral("?::tid"); }
QVariant rowKeyValue(const Database& db, const QVariant& v) {
    return db.engine() == Engine::SQLite ? QVariant(v.toLongLong()) : QVariant(v.toString());
}
} // namespace

void cashBook(Database& db, int clerk, int shop, CashSide side, Cents amount, const QString& note) {
    const QDateTime now = Clock::now();
    db.insert(QStringLiteral("KASA"), {{QStringLiteral("Date"), now.date()},
                                       {QStringLiteral("Time"), now.time()},
                                       {QStringLiteral("ValID"), 1},
                                       {QStringLiteral("Note"), note},
                                       {QStringLiteral("UserID"), clerk},
                                       {QStringLiteral("ShopID"), shop},
                                       {side == CashSide::In ? QStringLiteral("InSum") : QStringLiteral("OutSum"),
                                        money::toLeva(amount)}});
}

int kind(Database& db, const QString& table, const QString& name) {
    db.lockKey(QStringLiteral("kind|%1|%2").arg(table, name));
    const QVariant id =
        db.scalar(QStringLiteral("SELECT ID FROM %1 WHERE type = ? ORDER BY ID").arg(table), {name});
    if (id.isValid())
        return id.toInt();
    return int(db.insert(table, {{QStringLiteral("type"), name}}));
}

void entry(Database& db, const QString& table, int shop, int kindId, int clerk, Cents sum, const QString& note) {
    db.insert(table, {{QStringLiteral("Date"), Clock::today()},
                      {QStringLiteral("ShopID"), shop},
                      {QStringLiteral("TypeID"), kindId},
                      {QStringLiteral("ClerkID"), clerk},
                      {QStringLiteral("Sum"), money::toLeva(sum)},
                      {QStringLiteral("Note"), note}});
}

void addTurnover(Database& db, const QDate& day, int shop, Cents delta) {
    // Every writer of this day's row takes the same lock first, so two
    // workstations cannot both read the old value.
    db.lockKey(QStringLiteral("oborot|%1|%2").arg(day.toString(Qt::ISODate)).arg(shop));
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1, \"1\" FROM oborot WHERE Date = ? AND idShop = ? ORDER BY %1")
                              .arg(rowKey(db)),
                          {db.dateParam(day), shop});
    if (q.next()) {
        const QVariant key = rowKeyValue(db, q.value(0));
        const Cents value = money::fromLeva(q.value(1).toDouble()) + delta;
        q.finish();
        db.exec(QStringLiteral("UPDATE oborot SET \"1\" = ? WHERE %1 = %2").arg(rowKey(db), rowKeyParam(db)),
                {money::toLeva(value), key});
        return;
    }
    db.insert(QStringLiteral("oborot"), {{QStringLiteral("Date"), day},
                                         {QStringLiteral("idShop"), shop},
                                         {QStringLiteral("1"), money::toLeva(delta)}});
}

void addProfit(Database& db, const QDate& day, int shop, Cents delta, bool dropZero) {
    db.lockKey(QStringLiteral("pech|%1|%2").arg(day.toString(Qt::ISODate)).arg(shop));
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT %1, Pech FROM Pech WHERE Date = ? AND ValID = 1 AND ShopID = ? ORDER BY %1")
                    .arg(rowKey(db)),
                {db.dateParam(day), shop});
    if (q.next()) {
        const QVariant key = rowKeyValue(db, q.value(0));
        const Cents value = money::fromLeva(q.value(1).toDouble()) + delta;
        q.finish();
        if (dropZero && value == 0)
            db.exec(QStringLiteral("DELETE FROM Pech WHERE %1 = %2").arg(rowKey(db), rowKeyParam(db)), {key});
        else
            db.exec(QStringLiteral("UPDATE Pech SET Pech = ? WHERE %1 = %2").arg(rowKey(db), rowKeyParam(db)),
                    {money::toLeva(value), key});
        return;
    }
    if (dropZero && delta == 0)
        return;
    db.insert(QStringLiteral("Pech"), {{QStringLiteral("Date"), day},
                                       {QStringLiteral("ValID"), 1},
                                       {QStringLiteral("ShopID"), shop},
                                       {QStringLiteral("Pech"), money::toLeva(delta)}});
}

} // namespace postings
