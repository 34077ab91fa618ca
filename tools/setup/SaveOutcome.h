#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// A field the administrator must put right: its column and why, in words.
struct Refusal {
    QString field;
    QString message;
};

// What became of one save in the chain's set-up. Every save is one
// transaction: Saved wrote all of it, anything else wrote nothing.
struct SaveOutcome {
    enum class Status {
        Saved,
        Refused,     // input or a rule of the chain refused it (field, message)
        Gone,        // the row was deleted at another workstation meanwhile
        EngineError, // the database failed (message is the engine's)
    };

    Status status = Status::Saved;
    QString field;
    QString message;
    qint64 id = 0;
    // Labels of fields that another workstation changed since this row was
    // read: kept as they are now (keptTheirs), or changed by this save too,
    // whose value now stands (replacedTheirs).
    QStringList keptTheirs;
    QStringList replacedTheirs;

    bool ok() const { return status == Status::Saved; }
    bool changedMeanwhile() const { return !keptTheirs.isEmpty() || !replacedTheirs.isEmpty(); }
    // What happened meanwhile, for the administrator; empty when nothing did.
    QString notice() const;

    static SaveOutcome refused(const Refusal& r) { return {Status::Refused, r.field, r.message}; }
    static SaveOutcome refused(const QString& field, const QString& message) {
        return {Status::Refused, field, message};
    }
    static SaveOutcome gone(const QString& message) { return {Status::Gone, {}, message}; }
    static SaveOutcome engineError(const QString& message) { return {Status::EngineError, {}, message}; }
};
