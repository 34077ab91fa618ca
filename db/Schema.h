#pragma once

#include "db/Engine.h"

#include <QList>
#include <QString>

// Every table and column the program uses, with the suite's names and types.
namespace schema {

enum class Type { AutoIncrement, Integer, Float, Boolean, Date, Time, String };

struct Column {
    QString name;
    Type type;
    int length = 0; // characters, for String
    bool required = false;
};

struct Table {
    QString name; // as the suite names it, without file extension
    QList<Column> columns;

    const Column* column(const QString& name) const; // case-insensitive
    const Column* autoIncrement() const;
};

// The item table of this program.
const Table& items();
// The program's own record of transfers: one row per appliance moved from one
// shop to another, written in the transfer's transaction. The suite knows
// nothing of it.
const Table& moves();
// The suite's tables: Shops, KASA, CLERKS, MyInfo, Pech, oborot, TypePrihod,
// Prihod, TypeExpense, Expenses.
const QList<Table>& suiteTables();
// Any of the above by name, case-insensitive; nullptr when unknown.
const Table* find(const QString& name);

// A column name as it is written in SQL ("1" to "8" are quoted).
QString sqlName(const QString& column);
QString createTableSql(const Table& table, Engine engine);

// Indexes that keep every lookup of the program independent of table size.
struct Index {
    QString name; // unique in the database, in lower case
    QString columns;
};
QList<Index> indexes(const Table& table);
QString createIndexSql(const Table& table, const Index& index);

} // namespace schema
