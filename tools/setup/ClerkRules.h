#pragma once

#include "tools/setup/RowStore.h"
#include "tools/setup/SaveOutcome.h"

#include <QList>
#include <QVariantMap>
#include <optional>

class Database;

// The chain's clerks (table CLERKS): the login's user name and password,
// full name, rights level, own shop and the active flag. Passwords are
// stored as the suite stores them (plain text, compared exactly by the
// login) and are never read back for showing.
class ClerkRules {
public:
    explicit ClerkRules(Database& db) : m_db(db) {}

    static const EditedTable& table();
    static constexpr int kNickLength = 15;
    static constexpr int kPasswordLength = 10;
    // Key of the repeated password in an edited row (not a column).
    static QString repeatKey() { return QStringLiteral("PasswordRepeat"); }

    // Every clerk by number: ID, Nick, Name, Prefs, ShopID, Active, Info; no password.
    QList<QVariantMap> list();

    // On an empty clerks table, writes the login's default clerk (marked
    // active); true when it did.
    bool ensureDefaultClerk();
    // Whether a clerk still has the password of the login's default clerk.
    bool hasDefaultPassword(qint64 id);

    // Checks that need no database. A new clerk needs a password; an edited
    // one keeps the stored password unless edited holds "Password".
    static std::optional<Refusal> check(const QVariantMap& edited, bool isNew, const QVariantMap& original = {});

    // Adds (id 0) or edits a clerk in one transaction: the user name must
    // stay unique (letter case aside), the own shop must exist, and at least
    // one active clerk with full rights must remain.
    SaveOutcome save(qint64 id, const QVariantMap& original, const QVariantMap& edited);

    // Whether the row counts as a clerk with full rights who can log in.
    static bool isActiveAdministrator(const QVariantMap& row, bool hasPassword);

private:
    Database& m_db;
};
