#pragma once

#include "core/Money.h"

#include <QDate>
#include <QString>

class Database;

// The ledger rows an operation books into the suite's tables. Each runs
// inside the operation's transaction; none commits on its own.
namespace postings {

using money::Cents;

// Which column of the cash book a row fills: takings or a payment.
enum class CashSide { In, Out };

// Cash book: one row holding the amount on its side (any amount, 0 included),
// dated now.
void cashBook(Database& db, int clerk, int shop, CashSide side, Cents amount, const QString& note);

// The id of an income or expense kind by its exact name, added when missing.
// table: "TypePrihod" or "TypeExpense".
int kind(Database& db, const QString& table, const QString& name);

// An income ("Prihod") or expense ("Expenses") entry dated today.
void entry(Database& db, const QString& table, int shop, int kindId, int clerk, Cents sum, const QString& note);

// Adds delta to the day's turnover of the shop, creating the row when missing.
// The stored value is changed by the engine itself (value + delta), so what
// another program wrote meanwhile is kept; a value the program did not write
// in whole stotinki keeps its fraction. Throws DbError when the row could not
// be changed.
void addTurnover(Database& db, const QDate& day, int shop, Cents delta);

// Adds delta to the day's profit of the shop (currency 1), creating the row
// when missing; with dropZero a row whose profit nets to zero is deleted.
void addProfit(Database& db, const QDate& day, int shop, Cents delta, bool dropZero);

} // namespace postings
