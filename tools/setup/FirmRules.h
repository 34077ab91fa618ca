#pragma once

#include "tools/setup/RowStore.h"
#include "tools/setup/SaveOutcome.h"

#include <QList>
#include <QVariantMap>
#include <optional>

class Database;

// The own firm (table MyInfo) whose data every contract prints: exactly one
// row is active. Making a firm active makes every other one inactive in the
// same transaction; the active firm stops being so only when another becomes it.
class FirmRules {
public:
    explicit FirmRules(Database& db) : m_db(db) {}

    static const EditedTable& table();

    // Every firm by number: ID, Name, BULSTAT, DNUM, MOL, Adres, Info, DDS, Active.
    QList<QVariantMap> list();
    qint64 activeCount();

    // Checks that need no database: name, person responsible and address
    // are required; the registry code is 9 or 13 digits, the tax number digits.
    static std::optional<Refusal> check(const QVariantMap& edited, bool isNew);
    // Adds (id 0) or edits a firm in one transaction. The first firm of an
    // empty table is active.
    SaveOutcome save(qint64 id, const QVariantMap& original, const QVariantMap& edited);

private:
    Database& m_db;
};
