#pragma once

#include "tests/support/ParadoxFixture.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

// A shop's old books as the suite keeps them: a folder of Paradox tables,
// one per table of the program, written with pxlib's writer. The books come
// from demo data moved through their life by the program's own operations,
// with the cases an import must keep: the longest Cyrillic texts with „“ and
// №, blanks in every kind of field, month and year ends, amounts with
// stotinki, columns the program does not declare, file names in mixed
// letter case, and one known breach (one day's turnover 10 leva too high).
namespace oldbooks {

struct Table {
    QString name; // as the program names it
    QString file; // as written in the folder
    QList<paradoxfixture::Field> fields;
    QList<QVariantList> rows;
    int declaredCount = 0; // fields beyond it are undeclared extras
    int field(const QString& name) const;
};

struct Books {
    QList<Table> tables;
    qint64 unsoldItemId = 0;   // an appliance in stock, not paid, with stotinki
    qint64 longestItemId = 0;  // the appliance with the longest texts and blanks
    QDate breachDay;           // the day whose turnover is wrong
    int breachShop = 0;        // in this shop
    qint64 expensesCounter = 0; // the autoincrement counter in Expenses.DB's header, past its last row
    double breachTurnover = 0; // as the old books hold it: 10 leva more than the sales
    const Table* find(const QString& name) const;
};

// Writes the books into folder; false with *error.
bool write(const QString& folder, Books* books, QString* error);

// The Paradox field kind the suite uses for a declared column of the table.
paradoxfixture::Field declaredField(const QString& table, const QString& column);

} // namespace oldbooks
