#pragma once

#include "documents/ConsignmentContract.h"
#include "documents/SaleContract.h"

#include <optional>

class Database;
struct Item;

// What the two contracts read from the database: the firm in use, the
// appliance and its shop.
namespace contractdata {

// The firm in use: the first row of the firm table marked active; empty
// texts when there is none. Throws DbError.
FirmData activeFirm(Database& db);

ConsignmentContractData consignment(const Item& item, const FirmData& firm);
// The consignment contract of the appliance with this id as it stands now;
// nullopt when it is gone. Throws DbError.
std::optional<ConsignmentContractData> loadConsignment(Database& db, qint64 id);
// The same for a window about to show it: nullopt with *why, in words for the
// clerk, when the appliance is gone or cannot be read.
std::optional<ConsignmentContractData> consignmentToShow(Database& db, qint64 id, QString* why);

// The sale contract's values that come from the firm and the item row; the
// sale fills in the buyer, the note, the price and the consignor.
SaleContractValues saleValues(const Item& item, const FirmData& firm, const QDate& today);

} // namespace contractdata
