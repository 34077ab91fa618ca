#pragma once

#include "widgets/GridArrangement.h"
#include "widgets/GridColumn.h"
#include "widgets/GroupingModel.h"

#include <QWidget>

class ColumnChooser;
class GridFooter;
class GridHeaderView;
class GridTreeView;
class GroupPanel;

// A data grid with grouping: group panel on top, the grouped tree in the
// middle, the footer sums below, and a column chooser window. It knows only
// columns and values, nothing of what the rows stand for.
class GroupingGrid : public QWidget {
    Q_OBJECT
public:
    explicit GroupingGrid(QWidget* parent = nullptr);
    ~GroupingGrid() override;

    void setColumns(const QList<GridColumn>& columns);
    int columnByName(const QString& name) const { return m_model->columnByName(name); }
    void setSourceModel(QAbstractItemModel* source);

    GroupingModel* model() const { return m_model; }
    GridTreeView* view() const { return m_view; }
    GridHeaderView* header() const { return m_header; }
    GroupPanel* groupPanel() const { return m_panel; }
    GridFooter* footer() const { return m_footer; }
    ColumnChooser* columnChooser() const { return m_chooser; }

    // Grouping; position -1 appends as the innermost level.
    bool groupBy(int column, int position = -1);
    void ungroup(int column);
    const QList<int>& groupColumns() const { return m_model->groupColumns(); }

    // What a header click does: sort by that column alone (a second click
    // turns the order round), or with add, append it to the sort.
    void sortByColumn(int column, bool add);

    void setColumnVisible(int column, bool visible);
    bool isColumnVisible(int column) const;
    void moveColumn(int column, int visualIndex);
    QList<int> visibleColumns() const; // in display order

    void showColumnChooser();
    void closeColumnChooser(); // without the closed-by-clerk signal
    bool isColumnChooserOpen() const;

    void setColumnSummaryGroup(const QString& columnName, const QString& summaryGroup);

    // --- the clerk's arrangement ---
    GridArrangement arrangement() const;
    // Applies an arrangement; false, with nothing changed, when it does not
    // fit these columns (a column unknown, missing or named twice, a width
    // out of range, a grouping the column does not allow).
    bool arrange(const GridArrangement& a);
    // The arrangement as it stands becomes the one resetArrangement() goes
    // back to (with widths fitted to the contents).
    void keepAsDefaultArrangement();
    GridArrangement defaultArrangement() const { return m_default; }
    // Back to the default arrangement; reported as the clerk's change.
    void resetArrangement();
    // Whether the clerk has set the widths by hand (then a refresh keeps
    // them instead of fitting the columns to their contents).
    bool hasOwnWidths() const { return m_ownWidths; }

    void expandAll();
    void fitColumns();
    // After one row changed in place: a column its texts (or the footer's
    // sums) no longer fit widens; no column narrows. -1: the footer only.
    void widenColumnsFor(int sourceRow);
    // The first data row in display order becomes current (inside the first
    // group when the grid is grouped), not a group's heading.
    void focusFirstRow();
    int currentSourceRow() const;
    // The data row displayed after sourceRow, or the one before it when it is
    // the last; -1 when it is the only row or not in the grid.
    int neighbourOfSourceRow(int sourceRow) const;
    bool selectSourceRow(int sourceRow);
    int rowCount() const { return m_model->dataRowCount(); }

signals:
    void currentRowChanged(); // the focused row changed
    void columnChooserClosed(); // closed by its own close box
    // The clerk changed the arrangement: widths, order, visibility, grouping
    // or sort (or went back to the default).
    void arrangementChanged();

private:
    void syncPanel();
    void syncChooser();
    void restoreAfterRebuild(int sourceRow);
    void changedByClerk();

    GroupingModel* m_model;
    GroupPanel* m_panel;
    GridTreeView* m_view;
    GridHeaderView* m_header;
    GridFooter* m_footer;
    ColumnChooser* m_chooser;
    GridArrangement m_default;
    bool m_ownWidths = false;
    int m_arranging = 0; // inside arrange(): the changes are not the clerk's
};
