#pragma once

#include <QSet>
#include <QStringList>

class Database;

// Reconciliation of the item table with the suite's ledgers. Reads the whole
// database and tells, in words for the shop owner, every place where the
// bookings and the appliances disagree. An empty list means the books agree.
//
// What must hold:
// - a sold appliance has its sale's takings in the cash book, its income
//   entry and its part of the day's turnover;
// - a paid appliance has its payout's expense and cash-book payment;
// - every income and expense entry of this program has its cash-book row
//   (same shop, day and amount) and the other way round;
// - per shop and day the turnover equals the sales booked that day less the
//   annulments of those sales, and the profit equals what the sales and
//   payouts booked for the appliances that became both sold and paid that
//   day, less the annulments (taken back on the sale day);
// - no two appliances in one shop share a contract number, unless one of them
//   came in by a transfer;
// - no ledger row stands without its appliance's operation, and no daily row
//   is doubled.
namespace invariants {

struct Options {
    // Items known to have come into their shop by a transfer: a shared
    // contract number is no fault for them.
    QSet<qint64> transferred;
};

// Throws DbError when the database cannot be read.
QStringList check(Database& db, const Options& options = {});

} // namespace invariants
