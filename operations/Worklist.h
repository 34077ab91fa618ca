#pragma once

#include "core/Money.h"

#include <QDate>
#include <QList>
#include <QString>

class Database;

// The owner's worklist: what has waited too long in the shops, and whom the
// shops owe money. Read-only, without widgets, for the window and its print.
namespace worklist {

// The days the worklist starts with until the owner chooses others.
constexpr int kDefaultDays = 90;

// An appliance still unsold, taken in more than the chosen days ago.
struct Waiting {
    qint64 id = 0;
    int shop = 0;
    QString shopName;
    int dogNo = 0;
    QString art;
    QString consignor;
    QDate dateGet;
    int days = 0; // from the intake day to today
    money::Cents dlvPrice = 0, salePrice = 0;
};

// A sold appliance whose consignor has not been paid yet.
struct Owed {
    qint64 id = 0;
    int shop = 0;
    QString shopName;
    int dogNo = 0;
    QString art;
    QString consignor;
    QString address;
    QDate dateSale;
    int days = 0;          // from the sale day to today
    money::Cents owed = 0; // what the consignor is to get: the purchase price
    money::Cents salePrice = 0;
};

// What one shop owes its consignors.
struct ShopOwed {
    int shop = 0;
    QString name;
    int items = 0;
    money::Cents owed = 0;
};

// The appliances not sold yet that were taken in more than days days before
// today (an appliance taken in exactly days days ago is not listed yet),
// the oldest first (then as they were taken in). Throws DbError.
QList<Waiting> waiting(Database& db, const QDate& today, int days);

// The sold appliances not paid out, per shop in the order of the shop
// numbers, within a shop the longest owed first. Throws DbError.
QList<Owed> owed(Database& db, const QDate& today);

// What each shop owes, in the order of the list (shops without an owed
// appliance are left out).
QList<ShopOwed> owedPerShop(const QList<Owed>& owed);

// The intake day before which an appliance counts as waiting too long.
inline QDate waitingBefore(const QDate& today, int days) { return today.addDays(-days); }

} // namespace worklist
