#pragma once

#include "widgets/GroupingModel.h"

#include <QHeaderView>

// The grid's column header: a click sorts (with shift: adds the column to the
// sort), dragging a header away starts a drag to the group panel or the column
// chooser, and dropping a column on the header places or shows it there.
class GridHeaderView : public QHeaderView {
    Q_OBJECT
public:
    explicit GridHeaderView(const QObject* owner, QWidget* parent = nullptr);

    void setSortKeys(const QList<GroupingModel::SortKey>& keys);
    // Width the column's caption needs.
    int captionWidth(int column) const { return sectionSizeFromContents(column).width(); }

signals:
    void sortClicked(int column, bool addToSort);
    void columnDropped(int column, int visualIndex); // from the header itself or the chooser
    void groupDropped(int column);                   // a group-panel chip let go over the header
    void resizedByHand(); // the clerk dragged or double-clicked a column's edge

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool nearSectionEdge(int x) const;

    const QObject* m_owner;
    QList<GroupingModel::SortKey> m_sortKeys;
    int m_pressed = -1;
    bool m_edgePressed = false; // a press on a column's edge: a resize by hand may follow
    bool m_resizedByHand = false;
    QPoint m_pressPos;
};
