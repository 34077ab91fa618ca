#pragma once

#include <QElapsedTimer>
#include <QTreeView>

class GroupingModel;

// The tree of the grouping grid: group rows are drawn across the whole width
// in the system's tooltip colour; typing searches the current column.
class GridTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit GridTreeView(QWidget* parent = nullptr);

    void setGroupingModel(GroupingModel* model);
    // Moves to the next data row (from the current one on, wrapping) whose text
    // in the current column begins with the typed text; letter case is ignored.
    void keyboardSearch(const QString& search) override;
    int searchColumn() const;
    // The next typed key starts a new search text.
    void clearSearch() { m_searchTimer.invalidate(); }
    QString searchText() const { return m_search; }

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QModelIndex findRow(const QString& text, int column, const QModelIndex& from) const;

    GroupingModel* m_model = nullptr;
    QString m_search;
    QElapsedTimer m_searchTimer;
    int m_lastColumn = -1;
};
