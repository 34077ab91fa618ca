#include "operations/ui/ContractData.h"

#include "core/Money.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "operations/Item.h"

namespace contractdata {

FirmData activeFirm(Database& db) {
    FirmData firm;
    // With several firms marked active, the one with the lowest ID (rows
    // without an ID after those, in the order they were written), the same
    // on both engines.
    const QString rowOrder = db.engine() == Engine::SQLite ? QStringLiteral("rowid") : QStringLiteral("ctid");
    QSqlQuery q = db.exec(QStringLiteral("select Name, Adres, MOL, DNUM, BULSTAT from MyInfo where Active = ? "
                                         "order by ID is null, ID, %1")
                              .arg(rowOrder),
                          {true});
    if (q.next()) {
        firm.name = q.value(0).toString();
        firm.adres = q.value(1).toString();
        firm.mol = q.value(2).toString();
        firm.dnum = q.value(3).toString();
        firm.bulstat = q.value(4).toString();
    }
    return firm;
}

ConsignmentContractData consignment(const Item& item, const FirmData& firm) {
    ConsignmentContractData d;
    d.dogNo = item.dogNo;
    d.dateGet = item.dateGet;
    d.dlvNames = item.dlvNames;
    d.dlvAdres = item.dlvAdres;
    d.dlvEGN = item.dlvEGN;
    d.dlvLK = item.dlvLK;
    d.art = item.art;
    d.serial = item.serial;
    d.artNote = item.artNote;
    d.shopName = item.shop;
    d.salePrice = money::toLeva(item.salePrice);
    d.firm = firm;
    return d;
}

std::optional<ConsignmentContractData> loadConsignment(Database& db, qint64 id) {
    const std::optional<Item> item = Item::load(db, id);
    if (!item)
        return std::nullopt;
    return consignment(*item, activeFirm(db));
}

std::optional<ConsignmentContractData> consignmentToShow(Database& db, qint64 id, QString* why) {
    try {
        if (auto data = loadConsignment(db, id))
            return data;
        *why = QStringLiteral("Уредът не е намерен в базата данни (вероятно е върнат или изтрит от друго работно "
                              "място). Договорът не може да бъде показан.");
    } catch (const DbError& e) {
        *why = QStringLiteral("Договорът не може да бъде показан:\n%1").arg(e.message());
    }
    return std::nullopt;
}

SaleContractValues saleValues(const Item& item, const FirmData& firm, const QDate& today) {
    SaleContractValues v;
    v.date = today;
    v.firmName = firm.name;
    v.firmAddress = firm.adres;
    v.mol = firm.mol;
    v.ndr = firm.dnum;
    v.bulstat = firm.bulstat;
    v.shop = item.shop;
    v.unitName = item.art;
    v.unitSerial = item.serial;
    v.unitOpis = item.artNote;
    v.salePrice = money::toLeva(item.salePrice);
    v.salorName = item.dlvNames;
    v.salorAddress = item.dlvAdres;
    v.salorEgn = item.dlvEGN;
    v.salorLk = item.dlvLK;
    v.dogovor = item.dogNo;
    return v;
}

} // namespace contractdata
