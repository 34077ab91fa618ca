#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// Brings a shop's old books over: the suite's Paradox tables of one folder
// into a new database of either engine, in one transaction, then proves that
// nothing was lost. No widgets; the command line and the set-up window show
// its progress and its report.
namespace paradoximport {

// The tables read, by the names the program gives them. resale and Shops
// must be there; a missing other one is created empty.
QStringList tableNames();
bool isRequired(const QString& table);

// What the check found for one table.
struct MoneySum {
    QString column;
    qint64 source = 0; // stotinki, added up from the Paradox file
    qint64 target = 0; // stotinki, added up by the new database
};

struct TableCheck {
    QString table;          // as the program names it
    QString file;           // the Paradox file's name, empty when absent
    qint64 sourceRows = 0;  // counted in the Paradox file
    qint64 targetRows = 0;  // counted in the new database
    QList<MoneySum> sums;   // every money column
    QStringList extraColumns; // columns the program does not declare, kept
    bool agrees() const;
};

struct Report {
    bool ok = false;
    QString error;          // why nothing was imported, in words
    QString folder;
    QString location;
    QList<TableCheck> tables;
    QStringList notes;      // what the import had to decide (missing tables, widened columns)
    QStringList breaches;   // what the program's reconciliation says of the old books
    bool booksChecked = false;
    double seconds = 0;

    // The whole report as text for the owner; savable as it is.
    QString text() const;
    // Writes text() as UTF-8; false with *error.
    bool save(const QString& path, QString* error) const;
};

// "1 несъответствие", "3 несъответствия".
QString breachCount(int n);

struct Progress {
    // A line for the owner ("Таблица KASA.DB: 1200 реда").
    std::function<void(const QString& line)> message;
    // Rows done of one table (called every few thousand rows and at its
    // end); returning false interrupts the import, which then leaves the
    // target as it was.
    std::function<bool(const QString& table, qint64 done, qint64 total)> rows;
};

struct Options {
    // Runs the program's reconciliation of the books after the counts and
    // sums agree.
    bool checkBooks = true;
    // A target whose only row is the login's default clerk (which the
    // set-up window writes into a new database) counts as empty: that row
    // gives way to the old books' clerks.
    bool acceptDefaultClerk = false;
};

// Imports the Paradox tables of folder into location (a folder for the
// embedded database, or a postgresql:// URL of an empty database). A target
// that already holds rows is refused and left untouched; any failure rolls
// everything back and names the table, the row and the reason.
Report importFolder(const QString& folder, const QString& location, const Progress& progress = {},
                    const Options& options = {});

} // namespace paradoximport
