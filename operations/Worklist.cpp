#include "operations/Worklist.h"

#include "db/Database.h"

#include <QHash>
#include <QSqlQuery>

namespace worklist {

namespace {

QHash<int, QString> shopNames(Database& db) {
    QHash<int, QString> out;
    QSqlQuery s = db.exec(QStringLiteral("SELECT ID, Name FROM Shops"));
    while (s.next())
        out.insert(s.value(0).toInt(), s.value(1).toString());
    return out;
}

QString nameOf(const QHash<int, QString>& names, int shop) {
    const QString n = names.value(shop);
    return n.isEmpty() ? QStringLiteral("№%1").arg(shop) : n;
}

QVariant flag(Database& db, bool value) {
    return db.engine() == Engine::SQLite ? QVariant(value ? 1 : 0) : QVariant(value);
}

} // namespace

QList<Waiting> waiting(Database& db, const QDate& today, int days) {
    const QHash<int, QString> names = shopNames(db);
    // Served by the index on (Saled, DateGet): the unsold rows only, already
    // in the order of their intake.
    QSqlQuery q = db.exec(QStringLiteral("SELECT Id, IdShop, DogNo, Art, DlvNames, DateGet, DlvPrice, SalePrice "
                                         "FROM resale WHERE Saled = ? AND DateGet < ? ORDER BY DateGet, Id"),
                          {flag(db, false), db.dateParam(waitingBefore(today, days))});
    QList<Waiting> out;
    while (q.next()) {
        Waiting w;
        w.id = q.value(0).toLongLong();
        w.shop = q.value(1).toInt();
        w.shopName = nameOf(names, w.shop);
        w.dogNo = q.value(2).toInt();
        w.art = q.value(3).toString();
        w.consignor = q.value(4).toString();
        w.dateGet = Database::toDate(q.value(5));
        w.days = int(w.dateGet.daysTo(today));
        w.dlvPrice = money::fromLeva(q.value(6).toDouble());
        w.salePrice = money::fromLeva(q.value(7).toDouble());
        out.append(std::move(w));
    }
    return out;
}

QList<Owed> owed(Database& db, const QDate& today) {
    const QHash<int, QString> names = shopNames(db);
    // Served by the index on (Payed, Saled, IdShop, Datesale).
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT Id, IdShop, DogNo, Art, DlvNames, DlvAdres, Datesale, DlvPrice, SalePrice "
                       "FROM resale WHERE Payed = ? AND Saled = ? ORDER BY IdShop, Datesale, Id"),
        {flag(db, false), flag(db, true)});
    QList<Owed> out;
    while (q.next()) {
        Owed o;
        o.id = q.value(0).toLongLong();
        o.shop = q.value(1).toInt();
        o.shopName = nameOf(names, o.shop);
        o.dogNo = q.value(2).toInt();
        o.art = q.value(3).toString();
        o.consignor = q.value(4).toString();
        o.address = q.value(5).toString();
        o.dateSale = Database::toDate(q.value(6));
        o.days = o.dateSale.isValid() ? int(o.dateSale.daysTo(today)) : 0;
        o.owed = money::fromLeva(q.value(7).toDouble());
        o.salePrice = money::fromLeva(q.value(8).toDouble());
        out.append(std::move(o));
    }
    return out;
}

QList<ShopOwed> owedPerShop(const QList<Owed>& owed) {
    QList<ShopOwed> out;
    for (const Owed& o : owed) {
        if (out.isEmpty() || out.last().shop != o.shop)
            out.append({o.shop, o.shopName, 0, 0});
        ++out.last().items;
        out.last().owed += o.owed;
    }
    return out;
}

} // namespace worklist
