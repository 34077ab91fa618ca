#include "widgets/GroupPanel.h"

#include "widgets/GridDrag.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kMargin = 6;
constexpr int kGap = 10;
constexpr int kPad = 8;
} // namespace

GroupPanel::GroupPanel(const QObject* owner, QWidget* parent) : QFrame(parent), m_owner(owner) {
    setAcceptDrops(true);
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QString GroupPanel::hintText() { return QStringLiteral("Плъзнете тук заглавие на колона, за да групирате по нея"); }

void GroupPanel::setGroups(const QList<int>& columns, const QStringList& captions) {
    m_columns = columns;
    m_captions = captions;
    updateGeometry();
    update();
}

QSize GroupPanel::sizeHint() const {
    const int h = fontMetrics().height() + 2 * kPad + 2 * kMargin;
    return {200, h};
}

QSize GroupPanel::minimumSizeHint() const { return sizeHint(); }

QList<QRect> GroupPanel::chipRects() const {
    QList<QRect> rects;
    const QFontMetrics fm = fontMetrics();
    const int h = fm.height() + kPad;
    int x = kMargin;
    for (int i = 0; i < m_captions.size(); ++i) {
        const int w = fm.horizontalAdvance(m_captions[i]) + 2 * kPad;
        // Deeper levels step down a little, as a tree does.
        rects.append(QRect(x, kMargin + (i > 0 ? 2 : 0), w, h));
        x += w + kGap;
    }
    return rects;
}

void GroupPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QColor shadow = palette().color(QPalette::Dark); // the system's button-shadow colour
    if (m_columns.isEmpty()) {
        p.setPen(shadow);
        p.drawText(rect().adjusted(kMargin + 2, 0, -kMargin, 0), Qt::AlignLeft | Qt::AlignVCenter, hintText());
        return;
    }
    const QList<QRect> rects = chipRects();
    for (int i = 0; i < rects.size(); ++i) {
        const QRect& r = rects[i];
        p.setPen(shadow);
        p.setBrush(palette().color(QPalette::Button));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        if (i > 0) {
            const QRect& prev = rects[i - 1];
            p.drawLine(prev.right() + 1, prev.center().y(), r.left() - 1, prev.center().y());
        }
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(r, Qt::AlignCenter, m_captions[i]);
    }
}

void GroupPanel::mousePressEvent(QMouseEvent* event) {
    m_pressedChip = -1;
    const QList<QRect> rects = chipRects();
    for (int i = 0; i < rects.size(); ++i)
        if (rects[i].contains(event->position().toPoint()))
            m_pressedChip = i;
    m_pressPos = event->position().toPoint();
    QFrame::mousePressEvent(event);
}

void GroupPanel::mouseMoveEvent(QMouseEvent* event) {
    if (m_pressedChip < 0 || !(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    const int column = m_columns.value(m_pressedChip, -1);
    const QRect r = chipRects().value(m_pressedChip);
    m_pressedChip = -1;
    if (column < 0)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(GridDrag::make(GridDrag::Kind::Group, m_owner, column));
    drag->setPixmap(grab(r));
    drag->setHotSpot(m_pressPos - r.topLeft());
    // Let go anywhere that does not take it: the column leaves the grouping.
    if (drag->exec(Qt::MoveAction) == Qt::IgnoreAction)
        emit ungroupRequested(column);
}

int GroupPanel::positionAt(int x) const {
    const QList<QRect> rects = chipRects();
    for (int i = 0; i < rects.size(); ++i)
        if (x < rects[i].center().x())
            return i;
    return int(rects.size());
}

int GroupPanel::acceptedColumn(const QMimeData* data, bool* fromPanel) const {
    int column = GridDrag::column(data, GridDrag::Kind::Group, m_owner);
    *fromPanel = column >= 0;
    if (column < 0)
        column = GridDrag::column(data, GridDrag::Kind::Column, m_owner);
    if (column < 0 || (m_canGroup && !m_canGroup(column)))
        return -1;
    return column;
}

void GroupPanel::dragEnterEvent(QDragEnterEvent* event) {
    bool fromPanel = false;
    if (acceptedColumn(event->mimeData(), &fromPanel) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupPanel::dragMoveEvent(QDragMoveEvent* event) {
    bool fromPanel = false;
    if (acceptedColumn(event->mimeData(), &fromPanel) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void GroupPanel::dropEvent(QDropEvent* event) {
    bool fromPanel = false;
    const int column = acceptedColumn(event->mimeData(), &fromPanel);
    if (column < 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    int position = positionAt(event->position().toPoint().x());
    const int current = m_columns.indexOf(column);
    if (current >= 0 && current < position)
        --position; // the chip leaves its old place first
    emit groupRequested(column, position);
}
