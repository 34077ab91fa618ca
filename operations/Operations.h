#pragma once

#include "core/Money.h"

#include <QList>
#include <QString>

class Database;

// The consignment operations. Each one is a single transaction: the item
// row and all its ledger rows are written, or none are. None of them shows
// anything; a refusal or an engine error comes back as text for the clerk.
namespace ops {

using money::Cents;

enum class Status {
    Done,
    Refused,     // the clerk's input or the item's state does not allow it (message says why)
    EngineError, // the database failed; nothing was written (message is the engine's)
};

struct Result {
    Status status = Status::Done;
    QString message;
    qint64 id = -1; // intake: the new item's id
    bool ok() const { return status == Status::Done; }
};

// Who books and where: the logged-in clerk's number.
struct Context {
    Database& db;
    int clerk = 0;
};

// The shops offered for intake and transfer: active, not away, and only the
// clerk's own shop when the clerk is bound to one (filterShop != 0); ordered
// by name.
struct Shop {
    int id = 0;
    QString name;
};
QList<Shop> offeredShops(Database& db, int filterShop);

// --- intake ---
struct IntakeInput {
    int shop = 0;
    int dogNo = 0;
    QString art, artNote, serial;
    Cents dlvPrice = 0;
    Cents salePrice = 0;
    bool payNow = false; // "Незабавно изплащане"
    QString names, adres, egn, lk;
};
// One more than the shop's highest contract number, 1 for a shop without items.
int proposeContractNumber(Database& db, int shop);
// Whether the shop already holds an item under this contract number.
bool contractNumberUsed(Database& db, int shop, int dogNo);
// Posts the new item (and, with payNow, its cash-book row and expense). The
// duplicate-number check runs in the same transaction as the insert. Texts
// are expected already trimmed and validated; a duplicate number comes back
// Refused with "Такъв номер на договор вече съществува".
Result intake(Context ctx, const IntakeInput& in);

// --- sale ---
struct SaleInput {
    qint64 id = -1;
    Cents price = 0;
    QString names, adres, info, saleInfo;
};
// Books the takings, income, turnover (and profit when already paid) and
// marks the item sold. Refused when the item is gone or already sold.
Result sale(Context ctx, const SaleInput& in);

// --- payout ---
// Books the expense (amount entered), the cash-book row (purchase price as
// stored), the profit when already sold, and marks the item paid with the
// amount entered as its purchase price. Refused when gone or already paid.
Result payout(Context ctx, qint64 id, Cents amount);

// --- return to the consignor: deletes an item neither sold nor paid ---
Result returnItem(Context ctx, qint64 id);

// --- price change of an unsold item (the purchase price only while unpaid) ---
Result changePrices(Context ctx, qint64 id, Cents dlvPrice, Cents salePrice);

// --- transfer of an unsold item to another shop; the same shop changes nothing ---
Result transfer(Context ctx, qint64 id, int shop);

// --- annulment of a sale ---
Result annul(Context ctx, qint64 id);

// Ledger texts.
QString saleKind();     // "Продажба 2-ра употреба"
QString payoutKind();   // "Изплащане 2-ра употреба"
QString annulNote();    // "Анулиране продажба 2-ра употреба"
QString contractNote(int dogNo, const QString& art);   // "По договор №12 - Пералня"
QString annulExpenseNote(int dogNo);                    // "Анулиране на прод. 2-ра употреба - дог. №12"

} // namespace ops
