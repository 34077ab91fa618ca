#pragma once

#include "core/Money.h"
#include "operations/Invariants.h"

#include <QDateTime>
#include <QList>
#include <QString>

class Database;

// The owner's report of the books check: every breach that the
// reconciliation finds, grouped by the shop it concerns, with the number of
// breaches and the money they involve per shop and for the chain. Built
// without widgets, for the command line and the window alike.
namespace booksreport {

struct ShopTotals {
    int shop = 0;
    QString name;
    int breaches = 0;
    money::Cents amount = 0; // the sum of the breaches' amounts
};

struct Report {
    QString location;   // the database, as it was named
    QDateTime checkedAt;
    // What was checked: one shop (0: every shop) and a period (invalid ends:
    // the whole history).
    int shop = 0;
    QString shopName;
    QDate from, to;
    // Per shop in the order of the shop numbers; within a shop as found.
    QList<invariants::Breach> breaches;
    QList<ShopTotals> shops; // the shops with at least one breach

    bool agree() const { return breaches.isEmpty(); }
    money::Cents totalAmount() const;
    // "цялата база", "магазин Център, от 01.03.2026 до 31.03.2026", ...
    QString scope() const;
    // The chain's totals in one line: "5 разминавания за 171.50 лв. в 3 магазина".
    QString totalsText() const;
    // The report as printed: a heading, the breaches per shop with their
    // totals, and the chain's totals at the end.
    QString text() const;
};

// Groups the breaches by shop and counts them.
Report build(const QList<invariants::Breach>& breaches, const QString& location, const QDateTime& checkedAt);

// Runs the reconciliation over the whole database. Throws DbError when the
// database cannot be read.
Report run(Database& db, const QString& location);
// The same for the options' shop and period, reporting its progress through
// them. Throws DbError, or invariants::Cancelled when stopped.
Report run(Database& db, const QString& location, const invariants::Options& options);

// Totals of one shop or the chain in words: "2 разминавания за 50.00 лв.".
QString totalsLine(int breaches, money::Cents amount);

// "1 разминаване", "5 разминавания".
QString breachCount(int n);

} // namespace booksreport
