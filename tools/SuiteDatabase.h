#pragma once

#include <QString>

class Database;

// Stands in for the suite's main program: creates a suite database with all
// its tables, writes BasePath and User into the settings, and fills demo
// data. Tests build their fixtures with the same code.
namespace suite {

// Creates every table of the suite (and the item table) in an open, empty
// database. Throws DbError.
void createTables(Database& db);

// Creates a new suite database at location (a directory, created when
// missing, or a postgresql:// URL of an existing empty database) and leaves
// db open on it. False with *error set on failure.
bool createDatabase(Database& db, const QString& location, QString* error);

// Writes BasePath (and User, when not empty) into the suite's settings.
void writeSettings(const QString& basePath, const QString& user = QString());

struct DemoFigures {
    int shops = 0;
    int clerks = 0;
};

// Shops (one inactive, one away, one with a long name), the own firm and
// clerks of every rights level, with and without a shop of their own.
DemoFigures fillDemoMasterData(Database& db);

} // namespace suite
