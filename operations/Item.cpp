#include "operations/Item.h"
#include "core/Text.h"

#include "db/Database.h"

#include <QSqlQuery>
#include <QVariant>

QString shopDisplayName(const QString& name) { return text::left(name, 20); }

std::optional<Item> Item::load(Database& db, qint64 id) {
    QSqlQuery q = db.exec(QStringLiteral("SELECT r.Id, r.DlvNames, r.DlvAdres, r.DlvLK, r.DlvEGN, r.Art, r.ArtNote, r.Serial, "
                                         "r.DogNo, r.Payed, r.Saled, r.DateGet, r.Datepay, r.Datesale, r.SaleInfo, "
                                         "r.ClientNames, r.ClientAdres, r.ClientInfo, r.SalePrice, r.DlvPrice, r.IdShop, "
                                         "s.Name FROM resale r LEFT JOIN Shops s ON s.ID = r.IdShop WHERE r.Id = ?"),
                          {id});
    if (!q.next())
        return std::nullopt;
    Item it;
    int i = 0;
    it.id = q.value(i++).toLongLong();
    it.dlvNames = q.value(i++).toString();
    it.dlvAdres = q.value(i++).toString();
    it.dlvLK = q.value(i++).toString();
    it.dlvEGN = q.value(i++).toString();
    it.art = q.value(i++).toString();
    it.artNote = q.value(i++).toString();
    it.serial = q.value(i++).toString();
    it.dogNo = q.value(i++).toInt();
    it.payed = q.value(i++).toBool();
    it.saled = q.value(i++).toBool();
    it.dateGet = Database::toDate(q.value(i++));
    it.datePay = Database::toDate(q.value(i++));
    it.dateSale = Database::toDate(q.value(i++));
    it.saleInfo = q.value(i++).toString();
    it.clientNames = q.value(i++).toString();
    it.clientAdres = q.value(i++).toString();
    it.clientInfo = q.value(i++).toString();
    it.salePrice = money::fromLeva(q.value(i++).toDouble());
    it.dlvPrice = money::fromLeva(q.value(i++).toDouble());
    it.idShop = q.value(i++).toInt();
    it.shop = shopDisplayName(q.value(i++).toString());
    return it;
}
