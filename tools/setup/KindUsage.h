#pragma once

#include <QList>
#include <QString>

class Database;

// The kinds of income (TypePrihod) and expense (TypeExpense) and how many
// entries of Prihod and Expenses use each; shown, never changed, by the set-up.
class KindUsage {
public:
    struct Kind {
        qint64 id = 0; // 0: entries whose kind is in no row of the kinds table
        QString name;
        qint64 entries = 0;
        bool program = false; // a kind this program books
    };

    explicit KindUsage(Database& db) : m_db(db) {}

    QList<Kind> income();
    QList<Kind> expense();

private:
    QList<Kind> read(const QString& kinds, const QString& entries, const QString& programKind);
    Database& m_db;
};
