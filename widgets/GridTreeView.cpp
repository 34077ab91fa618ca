#include "widgets/GridTreeView.h"

#include "widgets/GroupingModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>

GridTreeView::GridTreeView(QWidget* parent) : QTreeView(parent) {
    setUniformRowHeights(true);
    setAlternatingRowColors(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAllColumnsShowFocus(true);
    setIndentation(16);
    setFrameShape(QFrame::StyledPanel);
}

void GridTreeView::setGroupingModel(GroupingModel* model) {
    m_model = model;
    setModel(model);
}

void GridTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (current.isValid() && m_model && !m_model->isGroup(current) && !header()->isSectionHidden(current.column()))
        m_lastColumn = current.column();
}

int GridTreeView::searchColumn() const {
    const QModelIndex current = currentIndex();
    if (current.isValid() && m_model && !m_model->isGroup(current) && !header()->isSectionHidden(current.column()))
        return current.column();
    if (m_lastColumn >= 0 && !header()->isSectionHidden(m_lastColumn))
        return m_lastColumn;
    for (int v = 0; v < header()->count(); ++v) {
        const int logical = header()->logicalIndex(v);
        if (!header()->isSectionHidden(logical))
            return logical;
    }
    return 0;
}

QModelIndex GridTreeView::findRow(const QString& text, int column, const QModelIndex& from) const {
    // Data rows in display order; the search starts at `from` and wraps.
    QList<QModelIndex> order;
    order.reserve(m_model->dataRowCount());
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        const int rows = m_model->rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex idx = m_model->index(r, 0, parent);
            if (m_model->isGroup(idx))
                walk(idx);
            else
                order.append(idx);
        }
    };
    walk(QModelIndex());
    if (order.isEmpty())
        return {};
    int start = 0;
    const int fromRow = m_model->sourceRow(from);
    if (fromRow >= 0) {
        for (int i = 0; i < order.size(); ++i)
            if (m_model->sourceRow(order[i]) == fromRow) {
                start = i;
                break;
            }
    }
    for (int k = 0; k < order.size(); ++k) {
        const QModelIndex idx = order[(start + k) % order.size()];
        const QString cell = m_model->displayText(m_model->sourceRow(idx), column);
        if (cell.startsWith(text, Qt::CaseInsensitive))
            return idx.siblingAtColumn(column);
    }
    return {};
}

void GridTreeView::keyboardSearch(const QString& search) {
    if (!m_model || search.isEmpty())
        return;
    // Keys typed in quick succession extend the search text.
    const bool extend = m_searchTimer.isValid() && m_searchTimer.elapsed() < QApplication::keyboardInputInterval();
    m_searchTimer.start();
    const QString previous = m_search;
    m_search = extend ? m_search + search : search;
    const int column = searchColumn();
    QModelIndex found = findRow(m_search, column, currentIndex());
    if (!found.isValid() && extend) {
        // Keep the last match when the longer text finds nothing.
        m_search = previous;
        return;
    }
    if (!found.isValid())
        return;
    expand(found.parent());
    setCurrentIndex(found);
    scrollTo(found);
}

void GridTreeView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!m_model || !m_model->isGroup(index)) {
        QTreeView::drawRow(painter, option, index);
        return;
    }
    const int level = index.data(GroupingModel::GroupLevelRole).toInt();
    const QRect row(0, option.rect.top(), viewport()->width(), option.rect.height());
    painter->save();
    painter->fillRect(row, palette().brush(QPalette::ToolTipBase));
    const bool current = currentIndex().isValid() && currentIndex().siblingAtColumn(0) == index.siblingAtColumn(0);
    if (current && hasFocus())
        painter->fillRect(row, palette().brush(QPalette::Highlight));
    painter->setPen(palette().color(QPalette::Dark));
    painter->drawLine(row.bottomLeft(), row.bottomRight());

    const int indent = indentation();
    const int x0 = level * indent - header()->offset();
    QStyleOption branch;
    branch.rect = QRect(x0, row.top(), indent, row.height());
    branch.palette = palette();
    branch.state = QStyle::State_Children | QStyle::State_Item;
    if (isExpanded(index))
        branch.state |= QStyle::State_Open;
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &branch, painter, this);

    QFont f = font();
    f.setBold(true);
    painter->setFont(f);
    painter->setPen(current && hasFocus() ? palette().color(QPalette::HighlightedText)
                                          : palette().color(QPalette::ToolTipText));
    const QRect textRect(x0 + indent + 2, row.top(), row.width() - x0 - indent - 4, row.height());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, m_model->groupText(index));
    painter->restore();
}
