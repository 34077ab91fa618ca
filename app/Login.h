#pragma once

#include <QString>
#include <QVariantMap>

class Database;

// Checks a clerk's name and password against the suite's clerks and decides
// the clerk's access to this program and shop filter.
namespace login {

enum class Outcome { NoMatch, Refused, Granted };

struct Result {
    Outcome outcome = Outcome::NoMatch;
    int clerkId = 0;
    QString name;
    int prefs = 0;
    int filterShopId = 0; // 0: all active shops that are not away
};

// The clerk row the login writes into an empty clerks table: ID 1,
// "Администратор", Administrator / vemka, level 4, no shop of its own.
QVariantMap defaultClerk();

// Writes the default clerk into an empty clerks table; returns true when it did.
bool ensureDefaultClerk(Database& db);

// Exact match of name and password (letter case, blanks and all); the first
// matching clerk in table order decides. Throws DbError.
Result check(Database& db, const QString& nick, const QString& password);

// Access by rights level: 0 and 2 are refused, every other level granted.
bool levelGranted(int prefs);
// Shop filter by level: levels 1 and 3 are bound to their own shop, if any.
int filterShopFor(int prefs, int shopId);

} // namespace login
