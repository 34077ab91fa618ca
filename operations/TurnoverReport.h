#pragma once

#include "core/Money.h"

#include <QDate>
#include <QList>
#include <QString>

class Database;

// Turnover and profit of the chain's shops over a period, per day or per
// month, as the suite's daily tables hold them (oborot column "1", Pech in
// currency 1), checked day by day against what the sales, payouts and
// annulments in the cash book and the ledgers say those rows must hold.
namespace turnover {

using money::Cents;

enum class Step { Day, Month };

// One shop's turnover and profit in one day or month.
struct Row {
    int shop = 0;
    QString shopName;
    QDate period;    // the day, or the first day of the month
    Cents turnover = 0;
    Cents profit = 0;
};

// A day on which a shop's daily row differs from its bookings, or the
// cash book's takings from sales differ from the sales' income entries.
struct Difference {
    enum class What { Turnover, Profit, Takings };
    What what = What::Turnover;
    int shop = 0;
    QString shopName;
    QDate day;
    Cents recorded = 0; // what the daily table (for takings: the cash book) holds
    Cents booked = 0;   // what the sales, payouts and annulments (the income entries) give
    Cents off() const { return recorded - booked; }
};

struct Report {
    QDate from, to;
    Step step = Step::Day;
    QList<Row> rows;               // by shop name, then period
    QList<Difference> differences; // by day, then shop name, turnover first
    QList<QDate> periods;          // every day or month of the period, in order
    QList<int> shops;              // the shops that have rows, by name
    Cents turnover = 0, profit = 0; // of the whole chain

    // The chain's turnover or profit in one period (a value of periods).
    Cents chainTurnover(const QDate& period) const;
    Cents chainProfit(const QDate& period) const;
    QString shopName(int shop) const;
};

// The day itself, or the first of its month.
QDate periodOf(const QDate& day, Step step);
// "05.12.2026", or the month as "12.2026".
QString periodText(const QDate& period, Step step);
// The difference in the owner's words: which shop, which day, what the table
// holds, what the bookings give and by how much they differ.
QString differenceText(const Difference& d);

// Reads the period [from, to]. Throws DbError when the database cannot be read.
Report build(Database& db, const QDate& from, const QDate& to, Step step);

} // namespace turnover
