#pragma once

#include "tools/setup/SaveOutcome.h"

#include <QList>
#include <QString>
#include <QVariantMap>
#include <optional>

class Database;

// One of the suite's tables as the set-up edits it: its key column and the
// columns the administrator may change, with their labels.
struct EditedTable {
    struct Field {
        QString column;
        QString label;
    };
    QString table;
    QString key;
    QList<Field> fields;

    QString labelOf(const QString& column) const;
};

// Reads and writes rows of an EditedTable through the db layer. Values come
// back in one form per column type (text: never null, flags and numbers:
// null as false and 0), so that a row read twice compares equal.
class RowStore {
public:
    RowStore(Database& db, const EditedTable& table) : m_db(db), m_table(table) {}

    // Every row, by key.
    QList<QVariantMap> all();
    // One row; with lock, the row is held for the rest of the transaction
    // (PostgreSQL: FOR UPDATE; SQLite holds the whole database already).
    std::optional<QVariantMap> row(qint64 id, bool lock = false);

    // A value in the form rows are read in, for the column's type.
    QVariant normalised(const QString& column, const QVariant& value) const;
    QVariantMap normalised(const QVariantMap& values) const;

    // The next free number for a key the engine does not assign (max + 1);
    // call inside a transaction that holds lockTable().
    qint64 nextKey();
    // Serialises writers of this table until the transaction ends.
    void lockTable();

    // Writes the fields of edited that differ from original over the row as
    // it is now. Fields that another workstation changed meanwhile and this
    // save leaves alone are kept; where both changed a field, this save
    // wins. Tells which in *out (keptTheirs, replacedTheirs); returns the
    // row as it will be, or nothing when the row is gone.
    std::optional<QVariantMap> merge(qint64 id, const QVariantMap& original, const QVariantMap& edited,
                                     QVariantMap* changes, SaveOutcome* out);

private:
    QString selectList() const;
    QVariantMap read(const class QSqlQuery& q) const;

    Database& m_db;
    const EditedTable& m_table;
};
