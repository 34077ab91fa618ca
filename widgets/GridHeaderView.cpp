#include "widgets/GridHeaderView.h"

#include "widgets/GridDrag.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

GridHeaderView::GridHeaderView(const QObject* owner, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_owner(owner) {
    setSectionsClickable(false);
    setSectionsMovable(false);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    setAcceptDrops(true);
    setDefaultAlignment(Qt::AlignCenter);
    connect(this, &QHeaderView::sectionResized, this, [this] {
        if (m_edgePressed)
            m_resizedByHand = true;
    });
    // A double click on an edge fits the column to its contents.
    connect(this, &QHeaderView::sectionHandleDoubleClicked, this, &GridHeaderView::resizedByHand);
}

void GridHeaderView::setSortKeys(const QList<GroupingModel::SortKey>& keys) {
    m_sortKeys = keys;
    viewport()->update();
}

bool GridHeaderView::nearSectionEdge(int x) const {
    const int section = logicalIndexAt(x);
    if (section < 0)
        return false;
    const int left = sectionViewportPosition(section);
    const int right = left + sectionSize(section);
    constexpr int grip = 5;
    return x - left <= grip || right - x <= grip;
}

void GridHeaderView::mousePressEvent(QMouseEvent* event) {
    m_pressed = -1;
    const int x = event->position().toPoint().x();
    m_edgePressed = event->button() == Qt::LeftButton && nearSectionEdge(x);
    m_resizedByHand = false;
    if (event->button() == Qt::LeftButton && !nearSectionEdge(x)) {
        m_pressed = logicalIndexAt(x);
        m_pressPos = event->position().toPoint();
    }
    QHeaderView::mousePressEvent(event);
}

void GridHeaderView::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressed >= 0 && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
        const int column = m_pressed;
        m_pressed = -1;
        auto* drag = new QDrag(this);
        drag->setMimeData(GridDrag::make(GridDrag::Kind::Column, m_owner, column));
        const QRect r(sectionViewportPosition(column), 0, sectionSize(column), height());
        drag->setPixmap(viewport()->grab(r));
        drag->setHotSpot(m_pressPos - r.topLeft());
        drag->exec(Qt::MoveAction);
        return;
    }
    QHeaderView::mouseMoveEvent(event);
}

void GridHeaderView::mouseReleaseEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (m_pressed >= 0 && event->button() == Qt::LeftButton && logicalIndexAt(x) == m_pressed)
        emit sortClicked(m_pressed, event->modifiers().testFlag(Qt::ShiftModifier));
    m_pressed = -1;
    QHeaderView::mouseReleaseEvent(event);
    const bool resized = m_resizedByHand;
    m_edgePressed = false;
    m_resizedByHand = false;
    if (resized)
        emit resizedByHand();
}

void GridHeaderView::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    for (const auto& key : m_sortKeys) {
        if (key.column != logicalIndex)
            continue;
        // A small flat triangle at the right edge: up for ascending.
        const int s = 4;
        const QPointF c(rect.right() - 8, rect.center().y());
        QPainterPath path;
        if (key.order == Qt::AscendingOrder) {
            path.moveTo(c.x() - s, c.y() + s / 2.0);
            path.lineTo(c.x() + s, c.y() + s / 2.0);
            path.lineTo(c.x(), c.y() - s / 2.0);
        } else {
            path.moveTo(c.x() - s, c.y() - s / 2.0);
            path.lineTo(c.x() + s, c.y() - s / 2.0);
            path.lineTo(c.x(), c.y() + s / 2.0);
        }
        path.closeSubpath();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(path, palette().color(QPalette::Dark));
        painter->restore();
    }
}

void GridHeaderView::dragEnterEvent(QDragEnterEvent* event) {
    if (GridDrag::column(event->mimeData(), GridDrag::Kind::Column, m_owner) >= 0 ||
        GridDrag::column(event->mimeData(), GridDrag::Kind::Group, m_owner) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void GridHeaderView::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void GridHeaderView::dropEvent(QDropEvent* event) {
    const int group = GridDrag::column(event->mimeData(), GridDrag::Kind::Group, m_owner);
    if (group >= 0) {
        event->acceptProposedAction();
        emit groupDropped(group);
        return;
    }
    const int column = GridDrag::column(event->mimeData(), GridDrag::Kind::Column, m_owner);
    if (column < 0)
        return;
    event->acceptProposedAction();
    const int x = event->position().toPoint().x();
    int visual = visualIndexAt(x);
    if (visual < 0)
        visual = count() - 1;
    else if (x > sectionViewportPosition(logicalIndex(visual)) + sectionSize(logicalIndex(visual)) / 2)
        ++visual;
    emit columnDropped(column, visual);
}
