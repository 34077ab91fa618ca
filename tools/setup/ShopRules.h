#pragma once

#include "tools/setup/RowStore.h"
#include "tools/setup/SaveOutcome.h"

#include <QList>
#include <QVariantMap>
#include <optional>

class Database;

// The chain's shops (table Shops): list, add, edit, and delete only a shop
// that nothing names. The suite's own columns ("1" to "8", ExpNo) are left
// as they are.
class ShopRules {
public:
    explicit ShopRules(Database& db) : m_db(db) {}

    static const EditedTable& table();
    // Characters of a shop's name that the register and the contracts show.
    static constexpr int kShownName = 20;

    // Every shop by number: ID, Name, Address, ShopPhone, Active, Away.
    QList<QVariantMap> list();

    // Checks that need no database: the name is required.
    static std::optional<Refusal> check(const QVariantMap& edited);
    // Adds (id 0) or edits a shop in one transaction. A name is refused when
    // another shop shows the same in the register (first 20 characters,
    // letter case aside).
    SaveOutcome save(qint64 id, const QVariantMap& original, const QVariantMap& edited);

    // What names a shop: appliances, ledger rows, the record of transfers,
    // clerks bound to it.
    struct Usage {
        qint64 items = 0;
        qint64 ledgerRows = 0;
        qint64 transfers = 0;
        qint64 clerks = 0;
        bool any() const { return items + ledgerRows + transfers + clerks > 0; }
        QString words() const;
    };
    Usage usage(qint64 id);

    struct Removal {
        enum class Status { Removed, InUse, Gone, EngineError };
        Status status = Status::Removed;
        Usage usage;
        QString message;
    };
    // Deletes a shop that no appliance, ledger row, transfer or clerk names; the check
    // and the delete are one transaction that the program's operations wait for.
    Removal remove(qint64 id);
    // Marks a shop inactive (not offered for intake or transfer any more).
    SaveOutcome deactivate(qint64 id);

private:
    Database& m_db;
};
