#pragma once

#include "core/Money.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QPair>
#include <QStringList>
#include <functional>

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

// One place where the books disagree.
struct Breach {
    enum class Kind {
        EntryWithoutContract,  // an income or expense of this program names no contract
        SharedContract,        // two appliances of one shop under one contract number
        MovedBetweenRecords,   // a transfer set out from where the one before did not end
        MovedAfterLastRecord,  // the appliance is not where its last transfer left it
        CashRowsMissing,       // the cash book and the ledgers have different numbers of rows
        CashAmountsDiffer,     // ... the same number of rows, other amounts
        SaleWithoutIncome,     // sold appliance, no income for the sale
        AnnulWithoutSale,      // an annulment with no sale of its amount
        IncomeWithoutSale,     // an income for an appliance that is not sold
        PayoutWithoutExpense,  // paid appliance, no expense for the payout
        ExpenseWithoutPayout,  // an expense for an appliance that is not paid
        DailyRowDoubled,       // a shop's day in the turnover or profit in more than one row
        DailySumDiffers,       // a shop's day's turnover or profit differs from the operations
    };
    Kind kind;
    int shop = 0;
    QString shopName;
    QString text;           // in the owner's words, whole
    money::Cents amount = 0; // by how much, where the breach has an amount (never negative)
    QDate date;             // the day it concerns (the sale, the payout, the entry, the day's row)
    qint64 item = 0;        // the appliance it concerns, 0 when none
    QString book;           // the book it was found in, in words ("Касова книга", "Приходи", ...)
};

// What one run of the check covers and how it reports its way.
struct Options {
    int shop = 0;   // only this shop's breaches; 0: every shop
    QDate from, to; // only breaches of days in this period (both ends included); invalid: no limit
    // Called now and then while the check reads and compares, with the work
    // done and the whole work (done reaches total at the end); returning
    // false stops the check, which then throws Cancelled.
    std::function<bool(qint64 done, qint64 total)> progress;
};

// Thrown by findBreaches when its progress callback asked it to stop.
struct Cancelled {};

// The book a kind of breach is found in, in words.
QString bookOf(Breach::Kind kind);

// Every breach, in the order the checks find them. Throws DbError when the
// database cannot be read.
QList<Breach> findBreaches(Database& db);
// The breaches of the options' shop and period. The check still reads the
// whole database, since a sale of one period may be annulled in the next and
// an appliance moves between shops; then it keeps the breaches asked for.
// A breach without a day (an appliance sold without a sale date, say) is
// kept in every period: a fault that cannot be dated is never hidden.
// Throws DbError, or Cancelled when the progress callback stopped it.
QList<Breach> findBreaches(Database& db, const Options& options);

// The breaches' texts alone; empty when the books agree.
QStringList check(Database& db);

// What the daily turnover and profit rows must hold, per shop and day, by the
// sales, payouts and annulments that the ledgers record: the figures the
// check compares those rows with.
struct DailyFigures {
    using Key = QPair<int, QDate>; // shop, day
    QHash<Key, money::Cents> turnover, profit;
    // A payout of another amount than the stored purchase price books the
    // profit with the stored price: a day's profit that is off by exactly
    // this much agrees with its bookings.
    QHash<Key, money::Cents> profitTolerance;
};
// Throws DbError when the database cannot be read.
DailyFigures expectedDaily(Database& db);

} // namespace invariants
