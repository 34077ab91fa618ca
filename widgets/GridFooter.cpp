#include "widgets/GridFooter.h"

#include "widgets/GroupingModel.h"

#include <QHeaderView>
#include <QPainter>

GridFooter::GridFooter(QHeaderView* header, GroupingModel* model, QWidget* parent)
    : QWidget(parent), m_header(header), m_model(model) {
    setObjectName(QStringLiteral("gridFooter"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto repaint = [this] { update(); };
    connect(header, &QHeaderView::sectionResized, this, repaint);
    connect(header, &QHeaderView::sectionMoved, this, repaint);
    connect(header, &QHeaderView::geometriesChanged, this, repaint);
    connect(model, &QAbstractItemModel::modelReset, this, repaint);
    connect(model, &GroupingModel::sumsChanged, this, repaint);
}

QString GridFooter::text(int column) const { return m_model->footerText(column); }

QSize GridFooter::sizeHint() const { return {100, fontMetrics().height() + 8}; }

void GridFooter::setLeftOffset(int offset) {
    m_leftOffset = offset;
    update();
}

void GridFooter::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(rect().topLeft(), rect().topRight());
    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(palette().color(QPalette::ButtonText));
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (m_header->isSectionHidden(c))
            continue;
        const QString t = text(c);
        if (t.isEmpty())
            continue;
        const QRect cell(m_leftOffset + m_header->sectionViewportPosition(c), 0, m_header->sectionSize(c), height());
        p.drawText(cell.adjusted(2, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, t);
    }
}
