#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// How the clerk has arranged a GroupingGrid, by column names, so that it can
// be kept between runs: the order of the columns, which are hidden, their
// widths, the grouping and the sort.
struct GridArrangement {
    struct SortKey {
        QString column;
        bool descending = false;
        bool operator==(const SortKey&) const = default;
    };

    QStringList order;         // every column's name, in display order
    QStringList hidden;        // the hidden columns
    QMap<QString, int> widths; // by column name; empty: fitted to the contents at every refresh
    QStringList groups;        // grouped by, outermost first
    QList<SortKey> sort;       // inside the groups, first key first

    bool operator==(const GridArrangement&) const = default;
};
