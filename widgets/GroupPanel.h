#pragma once

#include <QFrame>
#include <QList>
#include <QRect>
#include <QStringList>
#include <functional>

class QMimeData;

// The strip above the grid that shows what the list is grouped by. The clerk
// drags a column header here to group by it (only columns that allow it) and
// drags a chip out again to stop grouping by it.
class GroupPanel : public QFrame {
    Q_OBJECT
public:
    explicit GroupPanel(const QObject* owner, QWidget* parent = nullptr);

    void setGroups(const QList<int>& columns, const QStringList& captions);
    const QList<int>& groups() const { return m_columns; }
    void setCanGroup(std::function<bool(int)> canGroup) { m_canGroup = std::move(canGroup); }
    static QString hintText();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void groupRequested(int column, int position); // position among the groups
    void ungroupRequested(int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QList<QRect> chipRects() const;
    int positionAt(int x) const;
    int acceptedColumn(const QMimeData* data, bool* fromPanel) const;

    const QObject* m_owner;
    QList<int> m_columns;
    QStringList m_captions;
    std::function<bool(int)> m_canGroup;
    int m_pressedChip = -1;
    QPoint m_pressPos;
};
