#include "widgets/GroupingGrid.h"

#include "widgets/ColumnChooser.h"
#include "widgets/GridFooter.h"
#include "widgets/GridHeaderView.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupPanel.h"

#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <functional>

GroupingGrid::GroupingGrid(QWidget* parent)
    : QWidget(parent), m_model(new GroupingModel(this)), m_panel(new GroupPanel(this, this)),
      m_view(new GridTreeView(this)), m_header(new GridHeaderView(this, m_view)), m_footer(nullptr),
      m_chooser(new ColumnChooser(this, this)) {
    m_view->setHeader(m_header);
    m_view->setGroupingModel(m_model);
    m_footer = new GridFooter(m_header, m_model, this);
    m_panel->setObjectName(QStringLiteral("gridGroupPanel"));
    m_view->setObjectName(QStringLiteral("gridView"));
    m_panel->setCanGroup([this](int column) { return m_model->canGroupBy(column); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_panel);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_footer);
    setFocusProxy(m_view);

    connect(m_panel, &GroupPanel::groupRequested, this, [this](int column, int position) {
        QList<int> groups = m_model->groupColumns();
        groups.removeAll(column);
        groups.insert(qBound(0, position, int(groups.size())), column);
        const int row = currentSourceRow();
        m_model->setGroupColumns(groups);
        restoreAfterRebuild(row);
        changedByClerk();
    });
    connect(m_panel, &GroupPanel::ungroupRequested, this, &GroupingGrid::ungroup);
    connect(m_header, &GridHeaderView::groupDropped, this, &GroupingGrid::ungroup);
    connect(m_header, &GridHeaderView::sortClicked, this, &GroupingGrid::sortByColumn);
    connect(m_header, &GridHeaderView::columnDropped, this, [this](int column, int visual) {
        if (!isColumnVisible(column))
            setColumnVisible(column, true);
        moveColumn(column, visual);
    });
    connect(m_chooser, &ColumnChooser::showRequested, this, [this](int c) { setColumnVisible(c, true); });
    connect(m_chooser, &ColumnChooser::hideRequested, this, [this](int c) { setColumnVisible(c, false); });
    connect(m_chooser, &ColumnChooser::closedByUser, this, &GroupingGrid::columnChooserClosed);
    connect(m_chooser, &ColumnChooser::resetRequested, this, &GroupingGrid::resetArrangement);
    connect(m_header, &GridHeaderView::resizedByHand, this, [this] {
        m_ownWidths = true;
        changedByClerk();
    });
    connect(m_view->horizontalScrollBar(), &QScrollBar::valueChanged, m_footer, qOverload<>(&QWidget::update));
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        syncPanel();
        m_footer->setLeftOffset(m_view->viewport()->x());
    });
}

GroupingGrid::~GroupingGrid() = default;

void GroupingGrid::setColumns(const QList<GridColumn>& columns) {
    m_model->setColumns(columns);
    for (int c = 0; c < columns.size(); ++c)
        m_header->setSectionHidden(c, !columns[c].visible);
    syncChooser();
}

void GroupingGrid::setSourceModel(QAbstractItemModel* source) {
    m_model->setSourceModel(source);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &GroupingGrid::currentRowChanged, Qt::UniqueConnection);
}

bool GroupingGrid::groupBy(int column, int position) {
    if (!m_model->canGroupBy(column))
        return false;
    QList<int> groups = m_model->groupColumns();
    groups.removeAll(column);
    if (position < 0 || position > groups.size())
        position = int(groups.size());
    groups.insert(position, column);
    const int row = currentSourceRow();
    m_model->setGroupColumns(groups);
    restoreAfterRebuild(row);
    changedByClerk();
    return true;
}

void GroupingGrid::ungroup(int column) {
    QList<int> groups = m_model->groupColumns();
    if (!groups.removeAll(column))
        return;
    const int row = currentSourceRow();
    m_model->setGroupColumns(groups);
    restoreAfterRebuild(row);
    changedByClerk();
}

void GroupingGrid::sortByColumn(int column, bool add) {
    QList<GroupingModel::SortKey> keys = m_model->sortKeys();
    int at = -1;
    for (int i = 0; i < keys.size(); ++i)
        if (keys[i].column == column)
            at = i;
    if (add) {
        if (at >= 0)
            keys[at].order = keys[at].order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        else
            keys.append({column, Qt::AscendingOrder});
    } else {
        const Qt::SortOrder order = (at >= 0 && keys[at].order == Qt::AscendingOrder && keys.size() == 1)
                                        ? Qt::DescendingOrder
                                        : Qt::AscendingOrder;
        keys = {{column, order}};
    }
    const int row = currentSourceRow();
    m_model->setSortKeys(keys);
    m_header->setSortKeys(keys);
    restoreAfterRebuild(row);
    changedByClerk();
}

void GroupingGrid::setColumnVisible(int column, bool visible) {
    if (column < 0 || column >= m_model->columnCount())
        return;
    m_header->setSectionHidden(column, !visible);
    if (visible && m_header->sectionSize(column) < 20)
        m_view->resizeColumnToContents(column);
    syncChooser();
    m_footer->update();
    changedByClerk();
}

bool GroupingGrid::isColumnVisible(int column) const { return !m_header->isSectionHidden(column); }

void GroupingGrid::moveColumn(int column, int visualIndex) {
    const int from = m_header->visualIndex(column);
    if (from < 0)
        return;
    int to = qBound(0, visualIndex, m_header->count() - 1);
    if (to > from)
        --to;
    m_header->moveSection(from, to);
    changedByClerk();
}

QList<int> GroupingGrid::visibleColumns() const {
    QList<int> result;
    for (int v = 0; v < m_header->count(); ++v) {
        const int logical = m_header->logicalIndex(v);
        if (!m_header->isSectionHidden(logical))
            result.append(logical);
    }
    return result;
}

GridArrangement GroupingGrid::arrangement() const {
    GridArrangement a;
    const QList<GridColumn>& columns = m_model->columns();
    for (int v = 0; v < m_header->count(); ++v)
        a.order.append(columns[m_header->logicalIndex(v)].name);
    for (int c = 0; c < columns.size(); ++c) {
        if (m_header->isSectionHidden(c))
            a.hidden.append(columns[c].name);
        else if (m_ownWidths)
            a.widths.insert(columns[c].name, m_header->sectionSize(c));
    }
    for (int c : m_model->groupColumns())
        a.groups.append(columns[c].name);
    for (const auto& key : m_model->sortKeys())
        a.sort.append({columns[key.column].name, key.order == Qt::DescendingOrder});
    return a;
}

bool GroupingGrid::arrange(const GridArrangement& a) {
    const int count = m_model->columnCount();
    // Every name once, and only names of these columns.
    auto indexes = [this](const QStringList& names, QList<int>* out) {
        for (const QString& n : names) {
            const int c = m_model->columnByName(n);
            if (c < 0 || out->contains(c))
                return false;
            out->append(c);
        }
        return true;
    };
    QList<int> order, hidden, groups, sortColumns;
    if (!indexes(a.order, &order) || order.size() != count || !indexes(a.hidden, &hidden) ||
        !indexes(a.groups, &groups))
        return false;
    for (int c : groups)
        if (!m_model->canGroupBy(c))
            return false;
    QList<GroupingModel::SortKey> sort;
    for (const auto& key : a.sort) {
        const int c = m_model->columnByName(key.column);
        if (c < 0 || sortColumns.contains(c))
            return false;
        sortColumns.append(c);
        sort.append({c, key.descending ? Qt::DescendingOrder : Qt::AscendingOrder});
    }
    constexpr int kWidest = 4000;
    for (auto it = a.widths.cbegin(); it != a.widths.cend(); ++it)
        if (m_model->columnByName(it.key()) < 0 || it.value() < 1 || it.value() > kWidest)
            return false;

    ++m_arranging;
    const int row = currentSourceRow();
    for (int v = 0; v < order.size(); ++v) {
        const int from = m_header->visualIndex(order[v]);
        if (from != v)
            m_header->moveSection(from, v);
    }
    for (int c = 0; c < count; ++c)
        m_header->setSectionHidden(c, hidden.contains(c));
    m_ownWidths = !a.widths.isEmpty();
    for (auto it = a.widths.cbegin(); it != a.widths.cend(); ++it)
        m_header->resizeSection(m_model->columnByName(it.key()), it.value());
    m_model->setGroupColumns(groups);
    m_model->setSortKeys(sort);
    m_header->setSortKeys(sort);
    if (!m_ownWidths)
        fitColumns();
    syncChooser();
    restoreAfterRebuild(row);
    --m_arranging;
    return true;
}

void GroupingGrid::keepAsDefaultArrangement() {
    const bool own = m_ownWidths;
    m_ownWidths = false;
    m_default = arrangement();
    m_ownWidths = own;
}

void GroupingGrid::resetArrangement() {
    arrange(m_default);
    changedByClerk();
}

void GroupingGrid::changedByClerk() {
    if (m_arranging == 0)
        emit arrangementChanged();
}

void GroupingGrid::showColumnChooser() {
    syncChooser();
    if (!m_chooser->isVisible()) {
        const QPoint corner = mapToGlobal(QPoint(width() - m_chooser->width() - 20, height() - m_chooser->height() - 40));
        m_chooser->move(corner);
    }
    m_chooser->show();
    m_chooser->raise();
}

void GroupingGrid::closeColumnChooser() { m_chooser->closeQuietly(); }

bool GroupingGrid::isColumnChooserOpen() const { return m_chooser->isVisible(); }

void GroupingGrid::setColumnSummaryGroup(const QString& columnName, const QString& summaryGroup) {
    const int row = currentSourceRow();
    m_model->setColumnSummaryGroup(m_model->columnByName(columnName), summaryGroup);
    restoreAfterRebuild(row);
}

void GroupingGrid::expandAll() {
    // Only group rows open, and there are few of them: opening each one is
    // far cheaper than QTreeView::expandAll(), which visits every data row.
    std::function<void(const QModelIndex&)> open = [&](const QModelIndex& parent) {
        const int rows = m_model->rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex idx = m_model->index(r, 0, parent);
            if (!m_model->isGroup(idx))
                return; // a group holds either groups or data rows
            m_view->expand(idx);
            open(idx);
        }
    };
    open(QModelIndex());
}

void GroupingGrid::fitColumns() {
    // Measures the likely widest texts instead of every row, so that fitting
    // costs the same for fifty rows and for fifty thousand.
    const QFontMetrics fm(m_view->font());
    const int margin = 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 8;
    const QList<int> visible = visibleColumns();
    for (int c : visible) {
        int w = m_header->captionWidth(c);
        QStringList texts = m_model->widthCandidates(c);
        texts << m_model->footerText(c);
        for (const QString& t : std::as_const(texts))
            w = qMax(w, fm.horizontalAdvance(t) + margin);
        if (!visible.isEmpty() && c == visible.first())
            w += m_view->indentation() * (int(m_model->groupColumns().size()) + 1);
        m_header->resizeSection(c, w);
    }
    m_footer->update();
}

void GroupingGrid::widenColumnsFor(int sourceRow) {
    const QFontMetrics fm(m_view->font());
    const int margin = 2 * (m_view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_view) + 1) + 8;
    const QList<int> visible = visibleColumns();
    for (int c : visible) {
        int need = fm.horizontalAdvance(m_model->footerText(c)) + margin;
        if (sourceRow >= 0)
            need = qMax(need, fm.horizontalAdvance(m_model->displayText(sourceRow, c)) + margin);
        if (c == visible.first())
            need += m_view->indentation() * (int(m_model->groupColumns().size()) + 1);
        if (need > m_header->sectionSize(c))
            m_header->resizeSection(c, need);
    }
    m_footer->update();
}

void GroupingGrid::focusFirstRow() {
    QModelIndex first = m_model->index(0, 0);
    while (first.isValid() && m_model->isGroup(first) && m_model->rowCount(first) > 0) {
        m_view->expand(first);
        first = m_model->index(0, 0, first);
    }
    if (!first.isValid())
        return;
    const QList<int> visible = visibleColumns();
    const QModelIndex target = visible.isEmpty() ? first : first.siblingAtColumn(visible.first());
    m_view->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(target);
}

int GroupingGrid::neighbourOfSourceRow(int sourceRow) const { return m_model->neighbourOf(sourceRow); }

int GroupingGrid::currentSourceRow() const { return m_model->sourceRow(m_view->currentIndex()); }

bool GroupingGrid::selectSourceRow(int sourceRow) {
    const QList<int> visible = visibleColumns();
    const QModelIndex idx = m_model->indexForSourceRow(sourceRow, visible.isEmpty() ? 0 : visible.first());
    if (!idx.isValid())
        return false;
    for (QModelIndex p = idx.parent(); p.isValid(); p = p.parent())
        m_view->expand(p);
    m_view->selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view->scrollTo(idx);
    return true;
}

void GroupingGrid::restoreAfterRebuild(int sourceRow) {
    // The clerk's own regrouping or sorting keeps every group open and the
    // same row current.
    expandAll();
    if (sourceRow < 0 || !selectSourceRow(sourceRow))
        focusFirstRow();
    emit currentRowChanged();
}

void GroupingGrid::syncPanel() {
    QStringList captions;
    for (int c : m_model->groupColumns())
        captions.append(m_model->columns()[c].caption);
    m_panel->setGroups(m_model->groupColumns(), captions);
}

void GroupingGrid::syncChooser() {
    QList<QPair<int, QString>> hidden;
    for (int c = 0; c < m_model->columnCount(); ++c)
        if (m_header->isSectionHidden(c))
            hidden.append({c, m_model->columns()[c].caption});
    m_chooser->setHiddenColumns(hidden);
}
