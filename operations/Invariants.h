#pragma once

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
// - no two appliances in one shop share a contract number, unless all but
//   one of them came into that shop by a transfer that the program wrote
//   down (resale_moves);
// - an appliance whose transfers are written down stands where the last of
//   them took it, and each of them set out from where the one before ended;
// - no ledger row stands without its appliance's operation, and no daily row
//   is doubled.
//
// Everything comes from the database itself: transfers from the program's
// record of them, which the transfer writes in its own transaction. A
// transfer made before that record existed (or by a workstation whose user
// may not write it) is unknown to the check.
namespace invariants {

// Throws DbError when the database cannot be read.
QStringList check(Database& db);

} // namespace invariants
