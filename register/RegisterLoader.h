#pragma once

#include "register/RegisterStatement.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

class Database;
class GridTableModel;

// Runs a register statement and loads every row at once into a flat table:
// the item table's columns, typed (flags as booleans, dates as dates, prices
// as numbers), plus the looked-up shop name "Shop", cut to 20 characters.
// The columns that only the detail panels show (consignor, buyer, notes) are
// left empty in the table and read for the current item alone (details()).
class RegisterLoader {
public:
    static QStringList columns(); // item columns in table order, then "Shop"
    static int column(const QString& name);

    // Shop names by ID, cut to 20 characters. Throws DbError.
    static QHash<int, QString> shopNames(Database& db);
    // Replaces the model's rows with the statement's result. Throws DbError
    // (the model is then left empty).
    static void load(Database& db, const RegisterStatement& statement, GridTableModel* model);
    // The one row of item id as the statement gives it (its columns and
    // conditions), or none when the statement does not list that item.
    // Throws DbError.
    static std::optional<QVector<QVariant>> loadItem(Database& db, const RegisterStatement& statement, qint64 id);
    // The columns shown for the current item only, and whether a column is
    // loaded for every row.
    static QStringList detailColumns();
    static bool isListed(const QString& name);
    // Those columns of one item as text, by name; empty when it is gone.
    // Throws DbError.
    static QHash<QString, QString> details(Database& db, qint64 id);
    // The statement's rows with the columns the list loads (what load() runs).
    static RegisterStatement listStatement(const RegisterStatement& statement);
    // The statement limited to one item.
    static RegisterStatement itemStatement(const RegisterStatement& statement, qint64 id);
};
