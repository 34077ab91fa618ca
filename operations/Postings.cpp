#include "operations/Postings.h"

#include "db/Database.h"
#include "db/DbError.h"
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

// The first row that matches (as a locate finds it), locked on the server
// until the transaction ends, so that no other program changes it between
// here and the update. Invalid when no row matches.
QVariant firstRow(Database& db, const QString& table, const QString& where, const QVariantList& params) {
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %1 LIMIT 1").arg(rowKey(db), table, where);
    if (db.engine() == Engine::PostgreSQL)
        sql += QStringLiteral(" FOR UPDATE");
    const QVariant key = db.scalar(sql, params);
    return key.isValid() ? rowKeyValue(db, key) : QVariant();
}

// The column plus an amount, computed by the engine from the value it holds.
// A value in whole stotinki stays in whole stotinki (no drift of floats over
// many bookings); any other value gets the amount added as it is.
// Parameters: the amount in stotinki, then in leva.
QString increased(const QString& column) {
    const QString v = QStringLiteral("coalesce(%1, 0)").arg(column);
    return QStringLiteral("CASE WHEN abs(%1 * 100 - round(%1 * 100)) < 0.000001 THEN round(%1 * 100 + ?) / 100 "
                          "ELSE %1 + ? END")
        .arg(v);
}

// Adds delta to the column of one row; the row must still be there (it is
// locked), anything else is a failure of the whole operation. Returns the
// row's identity after the change (a changed row moves on PostgreSQL).
QVariant addToRow(Database& db, const QString& table, const QString& column, const QVariant& key, Cents delta) {
    QSqlQuery q = db.exec(QStringLiteral("UPDATE %1 SET %2 = %3 WHERE %4 = %5 RETURNING %4")
                              .arg(table, column, increased(column), rowKey(db), rowKeyParam(db)),
                          {double(delta), money::toLeva(delta), key});
    if (!q.next())
        throw DbError(QStringLiteral("Редът от таблицата %1 не беше намерен при записа (променен от друга програма). "
                                     "Нищо не е записано; опитайте отново.")
                          .arg(table));
    return rowKeyValue(db, q.value(0));
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
    // Every writer of this program takes the same lock first, so two of its
    // workstations cannot both find the row missing and both insert it.
    db.lockKey(QStringLiteral("oborot|%1|%2").arg(day.toString(Qt::ISODate)).arg(shop));
    const QVariant key = firstRow(db, QStringLiteral("oborot"), QStringLiteral("Date = ? AND idShop = ?"),
                                  {db.dateParam(day), shop});
    if (key.isValid()) {
        addToRow(db, QStringLiteral("oborot"), QStringLiteral("\"1\""), key, delta);
        return;
    }
    db.insert(QStringLiteral("oborot"), {{QStringLiteral("Date"), day},
                                         {QStringLiteral("idShop"), shop},
                                         {QStringLiteral("1"), money::toLeva(delta)}});
}

void addProfit(Database& db, const QDate& day, int shop, Cents delta, bool dropZero) {
    db.lockKey(QStringLiteral("pech|%1|%2").arg(day.toString(Qt::ISODate)).arg(shop));
    const QVariant key = firstRow(db, QStringLiteral("Pech"), QStringLiteral("Date = ? AND ValID = 1 AND ShopID = ?"),
                                  {db.dateParam(day), shop});
    if (key.isValid()) {
        const QVariant changed = addToRow(db, QStringLiteral("Pech"), QStringLiteral("Pech"), key, delta);
        if (dropZero)
            db.exec(QStringLiteral("DELETE FROM Pech WHERE %1 = %2 AND Pech = 0").arg(rowKey(db), rowKeyParam(db)),
                    {changed});
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
