#include "widgets/GroupingModel.h"

#include "core/Formats.h"
#include "core/Money.h"
#include "widgets/GridTableModel.h"

#include <QDate>
#include <QDateTime>
#include <QGuiApplication>
#include <QHash>
#include <QPalette>
#include <algorithm>
#include <limits>

namespace {

QDate toDate(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate();
    case QMetaType::QDateTime:
        return v.toDateTime().date();
    default: {
        const QString s = v.toString();
        if (s.size() >= 10)
            return QDate::fromString(s.left(10), Qt::ISODate);
        return {};
    }
    }
}

// A number that orders values of a non-text column; nulls first.
double orderNumber(GridColumn::Kind kind, const QVariant& v) {
    if (v.isNull())
        return -std::numeric_limits<double>::infinity();
    switch (kind) {
    case GridColumn::Kind::Date: {
        const QDate d = toDate(v);
        return d.isValid() ? double(d.toJulianDay()) : -std::numeric_limits<double>::infinity();
    }
    case GridColumn::Kind::Check:
        return v.toBool() ? 1.0 : 0.0;
    default:
        return v.toDouble();
    }
}

int compareText(const QString& a, const QString& b) {
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c : a.compare(b, Qt::CaseSensitive);
}

} // namespace

GroupingModel::GroupingModel(QObject* parent) : QAbstractItemModel(parent) { m_nodes.resize(1); }

void GroupingModel::setColumns(const QList<GridColumn>& columns) {
    m_columns = columns;
    m_moneyColumns.clear();
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].kind == GridColumn::Kind::Money)
            m_moneyColumns.append(c);
    QList<int> groups;
    for (int c : std::as_const(m_groupColumns))
        if (canGroupBy(c))
            groups.append(c);
    m_groupColumns = groups;
    m_sortKeys.removeIf([this](const SortKey& k) { return k.column < 0 || k.column >= m_columns.size(); });
    rebuild();
}

int GroupingModel::columnByName(const QString& name) const {
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].name == name)
            return c;
    return -1;
}

void GroupingModel::setSourceModel(QAbstractItemModel* source) {
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_table = qobject_cast<GridTableModel*>(source);
    if (m_source) {
        connect(m_source, &QAbstractItemModel::modelReset, this, &GroupingModel::rebuild);
        connect(m_source, &QAbstractItemModel::layoutChanged, this, &GroupingModel::rebuild);
        connect(m_source, &QAbstractItemModel::rowsInserted, this, &GroupingModel::sourceRowsInserted);
        connect(m_source, &QAbstractItemModel::rowsAboutToBeRemoved, this, &GroupingModel::sourceRowsAboutToBeRemoved);
        connect(m_source, &QAbstractItemModel::rowsRemoved, this, &GroupingModel::sourceRowsRemoved);
        connect(m_source, &QAbstractItemModel::dataChanged, this, &GroupingModel::sourceDataChanged);
        connect(m_source, &QObject::destroyed, this, [this] {
            m_table = nullptr;
            rebuild();
        });
    }
    rebuild();
}

bool GroupingModel::canGroupBy(int column) const {
    return column >= 0 && column < m_columns.size() && m_columns[column].groupable;
}

void GroupingModel::setGroupColumns(const QList<int>& columns) {
    QList<int> groups;
    for (int c : columns)
        if (canGroupBy(c) && !groups.contains(c))
            groups.append(c);
    if (groups == m_groupColumns)
        return;
    m_groupColumns = groups;
    rebuild();
}

void GroupingModel::setSortKeys(const QList<SortKey>& keys) {
    QList<SortKey> valid;
    for (const SortKey& k : keys)
        if (k.column >= 0 && k.column < m_columns.size())
            valid.append(k);
    m_sortKeys = valid;
    rebuild();
}

void GroupingModel::setKeyField(int field) {
    if (field == m_keyField)
        return;
    m_keyField = field;
    rebuild();
}

void GroupingModel::setSummaryText(SummaryText text) {
    m_summaryText = std::move(text);
    rebuild();
}

void GroupingModel::setColumnSummaryGroup(int column, const QString& summaryGroup) {
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].summaryGroup = summaryGroup;
    rebuild();
}

QVariant GroupingModel::sourceValue(int row, int field) const {
    if (m_table)
        return field >= 0 && field < m_table->columnCount() ? m_table->value(row, field) : QVariant();
    if (!m_source)
        return {};
    return m_source->data(m_source->index(row, field), Qt::EditRole);
}

const QVariant& GroupingModel::sourceRef(int row, int field, QVariant& scratch) const {
    if (m_table && field >= 0 && field < m_table->columnCount())
        return m_table->value(row, field);
    scratch = sourceValue(row, field);
    return scratch;
}

QString GroupingModel::displayText(int sourceRow, int column) const {
    if (column < 0 || column >= m_columns.size())
        return {};
    const GridColumn& col = m_columns[column];
    QVariant scratch;
    const QVariant& v = sourceRef(sourceRow, col.field, scratch);
    if (v.isNull())
        return {};
    switch (col.kind) {
    case GridColumn::Kind::Text:
        return v.toString();
    case GridColumn::Kind::Integer:
        return QString::number(v.toLongLong());
    case GridColumn::Kind::Date:
        return formats::date(toDate(v));
    case GridColumn::Kind::Money:
        return formats::moneyGrouped(money::toLeva(money::fromLeva(v.toDouble())));
    case GridColumn::Kind::Check:
        return v.toBool() ? QStringLiteral("Да") : QStringLiteral("Не");
    }
    return {};
}

QStringList GroupingModel::widthCandidates(int column, int count) const {
    QStringList out;
    if (column < 0 || column >= m_columns.size() || m_sourceRows == 0)
        return out;
    const GridColumn& col = m_columns[column];
    switch (col.kind) {
    case GridColumn::Kind::Check:
        return {QStringLiteral("Да"), QStringLiteral("Не")};
    case GridColumn::Kind::Date:
        return {formats::date(QDate(2000, 12, 28))};
    case GridColumn::Kind::Integer:
    case GridColumn::Kind::Money: {
        int lo = -1, hi = -1;
        double min = 0, max = 0;
        QVariant scratch;
        for (int r = 0; r < m_sourceRows; ++r) {
            const QVariant& v = sourceRef(r, col.field, scratch);
            if (v.isNull())
                continue;
            const double d = v.toDouble();
            if (lo < 0 || d < min) {
                lo = r;
                min = d;
            }
            if (hi < 0 || d > max) {
                hi = r;
                max = d;
            }
        }
        if (lo >= 0)
            out << displayText(lo, column) << displayText(hi, column);
        return out;
    }
    case GridColumn::Kind::Text: {
        QVector<int> rows; // longest first
        QVector<int> lengths;
        QVariant scratch;
        for (int r = 0; r < m_sourceRows; ++r) {
            const QVariant& v = sourceRef(r, col.field, scratch);
            const int len = v.typeId() == QMetaType::QString ? int(static_cast<const QString*>(v.constData())->size())
                                                               : int(v.toString().size());
            if (rows.size() == count && len <= lengths.last())
                continue;
            int at = 0;
            while (at < lengths.size() && lengths[at] >= len)
                ++at;
            rows.insert(at, r);
            lengths.insert(at, len);
            if (rows.size() > count) {
                rows.removeLast();
                lengths.removeLast();
            }
        }
        for (int r : rows)
            out << displayText(r, column);
        return out;
    }
    }
    return out;
}

QVector<int> GroupingModel::sortedRows() const {
    QVector<int> rows(m_sourceRows);
    for (int i = 0; i < m_sourceRows; ++i)
        rows[i] = i;
    if (m_sortKeys.isEmpty() && m_keyField < 0)
        return rows;

    // Keys are read once per row; comparisons then touch only these arrays.
    struct KeyData {
        bool text = false;
        bool descending = false;
        QVector<QString> texts;
        QVector<double> numbers;
    };
    QVector<KeyData> keys;
    for (const SortKey& k : m_sortKeys) {
        const GridColumn& col = m_columns[k.column];
        KeyData d;
        d.descending = k.order == Qt::DescendingOrder;
        d.text = col.kind == GridColumn::Kind::Text;
        if (d.text) {
            d.texts.resize(m_sourceRows);
            for (int r = 0; r < m_sourceRows; ++r)
                d.texts[r] = sourceValue(r, col.field).toString();
        } else {
            d.numbers.resize(m_sourceRows);
            QVariant scratch;
            for (int r = 0; r < m_sourceRows; ++r)
                d.numbers[r] = orderNumber(col.kind, sourceRef(r, col.field, scratch));
        }
        keys.append(std::move(d));
    }
    if (m_keyField >= 0) {
        KeyData d;
        d.numbers.resize(m_sourceRows);
        QVariant scratch;
        for (int r = 0; r < m_sourceRows; ++r)
            d.numbers[r] = orderNumber(GridColumn::Kind::Integer, sourceRef(r, m_keyField, scratch));
        keys.append(std::move(d));
    }
    const auto less = [&keys](int a, int b) {
        for (const KeyData& k : keys) {
            int c = 0;
            if (k.text)
                c = compareText(k.texts[a], k.texts[b]);
            else if (k.numbers[a] != k.numbers[b])
                c = k.numbers[a] < k.numbers[b] ? -1 : 1;
            if (c != 0)
                return k.descending ? c > 0 : c < 0;
        }
        return false;
    };
    // Rows the engine gives in key order already need no sorting.
    if (!std::is_sorted(rows.begin(), rows.end(), less))
        std::stable_sort(rows.begin(), rows.end(), less);
    return rows;
}

void GroupingModel::readMoney(int row) {
    const int width = int(m_moneyColumns.size());
    QVariant scratch;
    for (int k = 0; k < width; ++k) {
        const QVariant& v = sourceRef(row, m_columns[m_moneyColumns[k]].field, scratch);
        m_rowMoney[row * width + k] = v.isNull() ? 0 : money::fromLeva(v.toDouble());
    }
}

void GroupingModel::addSums(Node& node, int row) const {
    const int width = int(m_moneyColumns.size());
    for (int k = 0; k < width; ++k)
        node.sums[m_moneyColumns[k]] += m_rowMoney[row * width + k];
}

void GroupingModel::buildLevel(int node, const QVector<int>& rows) {
    const int level = m_nodes[node].level;
    m_nodes[node].rowCount = int(rows.size());
    if (level == m_groupColumns.size()) {
        Node& leaf = m_nodes[node];
        leaf.rows = rows;
        for (int i = 0; i < rows.size(); ++i) {
            m_rowLeaf[rows[i]] = node;
            m_rowPos[rows[i]] = i;
            readMoney(rows[i]);
            addSums(leaf, rows[i]);
        }
        return;
    }

    const int column = m_groupColumns[level];
    const GridColumn& col = m_columns[column];
    QHash<QString, int> bucketOf;
    QVector<QVector<int>> buckets;
    QVector<QString> texts;
    QVector<int> sample;
    for (int r : rows) {
        const QString text = displayText(r, column);
        auto it = bucketOf.find(text);
        if (it == bucketOf.end()) {
            it = bucketOf.insert(text, int(buckets.size()));
            buckets.append(QVector<int>());
            texts.append(text);
            sample.append(r);
        }
        buckets[*it].append(r);
    }

    bool descending = false;
    for (const SortKey& k : m_sortKeys)
        if (k.column == column)
            descending = k.order == Qt::DescendingOrder;
    QVector<int> order(buckets.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        int c = 0;
        if (col.kind == GridColumn::Kind::Text) {
            c = compareText(texts[a], texts[b]);
        } else {
            const double x = orderNumber(col.kind, sourceValue(sample[a], col.field));
            const double y = orderNumber(col.kind, sourceValue(sample[b], col.field));
            c = x < y ? -1 : (y < x ? 1 : 0);
        }
        return descending ? c > 0 : c < 0;
    });

    for (int i = 0; i < order.size(); ++i) {
        Node child;
        child.parent = node;
        child.rowInParent = i;
        child.level = level + 1;
        child.column = column;
        child.text = texts[order[i]];
        child.order = col.kind == GridColumn::Kind::Text ? 0 : groupOrder(column, sample[order[i]]);
        child.sums.resize(m_columns.size());
        const int id = int(m_nodes.size());
        m_nodes.append(std::move(child));
        m_nodes[node].children.append(id);
        buildLevel(id, buckets[order[i]]);
        for (int c : m_moneyColumns)
            m_nodes[node].sums[c] += m_nodes[id].sums[c];
    }
}

void GroupingModel::rebuild() {
    beginResetModel();
    m_sourceRows = m_source ? m_source->rowCount() : 0;
    m_nodes.clear();
    Node root;
    root.sums.resize(m_columns.size());
    m_nodes.append(root);
    // New arrays: fill() of Qt 6.4 writes past the end of an array that a
    // change in place has grown at its front.
    m_rowLeaf = QVector<int>(m_sourceRows, 0);
    m_rowPos = QVector<int>(m_sourceRows, 0);
    m_rowMoney = QVector<qint64>(qsizetype(m_sourceRows) * m_moneyColumns.size(), 0);
    if (m_sourceRows > 0)
        buildLevel(0, sortedRows());
    endResetModel();
    emit sumsChanged();
}

qint64 GroupingModel::footerSum(int column) const {
    const QVector<qint64>& totals = m_nodes[0].sums;
    return column >= 0 && column < totals.size() ? totals[column] : 0;
}

QString GroupingModel::footerText(int column) const {
    if (column < 0 || column >= m_columns.size() || !m_columns[column].footerSum)
        return {};
    return formats::moneyGrouped(money::toLeva(footerSum(column)));
}

QString GroupingModel::summaryFor(int node) const {
    if (!m_summaryText)
        return {};
    const Node& n = m_nodes[node];
    GroupSummary s;
    s.column = n.column;
    s.columnName = m_columns[n.column].name;
    s.summaryGroup = m_columns[n.column].summaryGroup;
    s.value = n.text;
    s.rowCount = n.rowCount;
    s.sums = n.sums;
    return m_summaryText(s);
}

QString GroupingModel::groupText(const QModelIndex& index) const {
    const int node = groupNodeOf(index);
    if (node < 0)
        return {};
    const Node& n = m_nodes[node];
    QString text = m_columns[n.column].caption + QStringLiteral(": ") + n.text;
    const QString summary = summaryFor(node);
    if (!summary.isEmpty())
        text += QStringLiteral("   (") + summary + QLatin1Char(')');
    return text;
}

int GroupingModel::groupNodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return -1;
    const int parentNode = int(index.internalId());
    if (isLeafNode(parentNode))
        return -1;
    return m_nodes[parentNode].children.value(index.row(), -1);
}

bool GroupingModel::isGroup(const QModelIndex& index) const { return groupNodeOf(index) >= 0; }

int GroupingModel::sourceRow(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this)
        return -1;
    const int parentNode = int(index.internalId());
    if (!isLeafNode(parentNode))
        return -1;
    return m_nodes[parentNode].rows.value(index.row(), -1);
}

QModelIndex GroupingModel::indexForSourceRow(int sourceRow, int column) const {
    if (sourceRow < 0 || sourceRow >= m_sourceRows || m_rowLeaf[sourceRow] < 0)
        return {};
    return createIndex(m_rowPos[sourceRow], column, quintptr(m_rowLeaf[sourceRow]));
}

QModelIndex GroupingModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column < 0 || column >= m_columns.size())
        return {};
    int node = 0;
    if (parent.isValid()) {
        node = groupNodeOf(parent);
        if (node < 0)
            return {};
    }
    const Node& n = m_nodes[node];
    const int count = isLeafNode(node) ? int(n.rows.size()) : int(n.children.size());
    if (row >= count)
        return {};
    return createIndex(row, column, quintptr(node));
}

QModelIndex GroupingModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    const int node = int(child.internalId());
    if (node == 0)
        return {};
    return createIndex(m_nodes[node].rowInParent, 0, quintptr(m_nodes[node].parent));
}

int GroupingModel::rowCount(const QModelIndex& parent) const {
    int node = 0;
    if (parent.isValid()) {
        if (parent.column() != 0)
            return 0;
        node = groupNodeOf(parent);
        if (node < 0)
            return 0;
    }
    const Node& n = m_nodes[node];
    return isLeafNode(node) ? int(n.rows.size()) : int(n.children.size());
}

int GroupingModel::columnCount(const QModelIndex&) const { return int(m_columns.size()); }

bool GroupingModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant GroupingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int group = groupNodeOf(index);
    if (group >= 0) {
        const Node& n = m_nodes[group];
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == 0 ? groupText(index) : QVariant();
        case Qt::BackgroundRole:
            return QGuiApplication::palette().brush(QPalette::ToolTipBase);
        case Qt::ForegroundRole:
            return QGuiApplication::palette().brush(QPalette::ToolTipText);
        case IsGroupRole:
            return true;
        case SourceRowRole:
            return -1;
        case GroupLevelRole:
            return n.level - 1;
        case GroupColumnRole:
            return n.column;
        case GroupValueRole:
            return n.text;
        case GroupSummaryRole:
            return summaryFor(group);
        default:
            return {};
        }
    }
    const int row = sourceRow(index);
    if (row < 0)
        return {};
    const GridColumn& col = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return displayText(row, index.column());
    case Qt::EditRole:
        return sourceValue(row, col.field);
    case Qt::TextAlignmentRole:
        switch (col.kind) {
        case GridColumn::Kind::Integer:
        case GridColumn::Kind::Money:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        case GridColumn::Kind::Check:
        case GridColumn::Kind::Date:
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    case IsGroupRole:
        return false;
    case SourceRowRole:
        return row;
    default:
        return {};
    }
}

QVariant GroupingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    if (role == Qt::DisplayRole)
        return m_columns[section].caption;
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags GroupingModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

// --- changes in place ---

double GroupingModel::groupOrder(int column, int row) const {
    const GridColumn& col = m_columns[column];
    return orderNumber(col.kind, sourceValue(row, col.field));
}

bool GroupingModel::rowLess(int a, int b) const {
    // The order sortedRows() gives: the sort keys, then the key field, then
    // the source's order.
    for (const SortKey& k : m_sortKeys) {
        const GridColumn& col = m_columns[k.column];
        int c = 0;
        if (col.kind == GridColumn::Kind::Text) {
            c = compareText(sourceValue(a, col.field).toString(), sourceValue(b, col.field).toString());
        } else {
            const double x = orderNumber(col.kind, sourceValue(a, col.field));
            const double y = orderNumber(col.kind, sourceValue(b, col.field));
            c = x < y ? -1 : (y < x ? 1 : 0);
        }
        if (c != 0)
            return k.order == Qt::DescendingOrder ? c > 0 : c < 0;
    }
    if (m_keyField >= 0) {
        const double x = orderNumber(GridColumn::Kind::Integer, sourceValue(a, m_keyField));
        const double y = orderNumber(GridColumn::Kind::Integer, sourceValue(b, m_keyField));
        if (x != y)
            return x < y;
    }
    return a < b;
}

bool GroupingModel::groupBefore(int column, const QString& text, double order, int other) const {
    const Node& o = m_nodes[other];
    int c = 0;
    if (m_columns[column].kind == GridColumn::Kind::Text)
        c = compareText(text, o.text);
    else
        c = order < o.order ? -1 : (o.order < order ? 1 : 0);
    bool descending = false;
    for (const SortKey& k : m_sortKeys)
        if (k.column == column)
            descending = k.order == Qt::DescendingOrder;
    return descending ? c > 0 : c < 0;
}

QModelIndex GroupingModel::nodeIndex(int node) const {
    if (node <= 0)
        return {};
    return createIndex(m_nodes[node].rowInParent, 0, quintptr(m_nodes[node].parent));
}

int GroupingModel::insertGroup(int parent, int column, const QString& text, double order) {
    int pos = 0;
    const int count = int(m_nodes[parent].children.size());
    while (pos < count && !groupBefore(column, text, order, m_nodes[parent].children[pos]))
        ++pos;
    beginInsertRows(nodeIndex(parent), pos, pos);
    Node n;
    n.parent = parent;
    n.rowInParent = pos;
    n.level = m_nodes[parent].level + 1;
    n.column = column;
    n.text = text;
    n.order = order;
    n.sums.resize(m_columns.size());
    const int id = int(m_nodes.size());
    m_nodes.append(std::move(n));
    QVector<int>& children = m_nodes[parent].children;
    children.insert(pos, id);
    for (int i = pos + 1; i < children.size(); ++i)
        m_nodes[children[i]].rowInParent = i;
    endInsertRows();
    return id;
}

void GroupingModel::addToAncestors(int node, int row, int sign) {
    const int width = int(m_moneyColumns.size());
    for (int n = node; n >= 0; n = n == 0 ? -1 : m_nodes[n].parent) {
        m_nodes[n].rowCount += sign;
        for (int k = 0; k < width; ++k)
            m_nodes[n].sums[m_moneyColumns[k]] += sign * m_rowMoney[row * width + k];
    }
}

void GroupingModel::announceGroups(int node) {
    for (int n = node; n > 0; n = m_nodes[n].parent) {
        const QModelIndex idx = nodeIndex(n);
        emit dataChanged(idx, idx.siblingAtColumn(int(m_columns.size()) - 1));
    }
}

void GroupingModel::placeRow(int row) {
    int node = 0;
    for (int level = 0; level < m_groupColumns.size(); ++level) {
        const int column = m_groupColumns[level];
        const QString text = displayText(row, column);
        int child = -1;
        for (int id : std::as_const(m_nodes[node].children))
            if (m_nodes[id].text == text) {
                child = id;
                break;
            }
        if (child < 0) {
            const double order = m_columns[column].kind == GridColumn::Kind::Text ? 0 : groupOrder(column, row);
            child = insertGroup(node, column, text, order);
        }
        node = child;
    }
    const QVector<int>& rows = m_nodes[node].rows;
    const int pos = int(std::lower_bound(rows.begin(), rows.end(), row, [this](int a, int b) { return rowLess(a, b); }) -
                        rows.begin());
    beginInsertRows(nodeIndex(node), pos, pos);
    QVector<int>& leaf = m_nodes[node].rows;
    leaf.insert(pos, row);
    for (int i = pos; i < leaf.size(); ++i)
        m_rowPos[leaf[i]] = i;
    m_rowLeaf[row] = node;
    endInsertRows();
    readMoney(row);
    addToAncestors(node, row, +1);
    announceGroups(node);
}

void GroupingModel::unplaceRow(int row) {
    const int leaf = m_rowLeaf[row];
    if (leaf < 0)
        return;
    addToAncestors(leaf, row, -1);
    // The outermost group that held only this row goes, and the row with it.
    int top = -1;
    for (int n = leaf; n > 0 && m_nodes[n].rowCount == 0; n = m_nodes[n].parent)
        top = n;
    if (top > 0) {
        const int parent = m_nodes[top].parent;
        const int pos = m_nodes[top].rowInParent;
        beginRemoveRows(nodeIndex(parent), pos, pos);
        QVector<int>& children = m_nodes[parent].children;
        children.remove(pos);
        for (int i = pos; i < children.size(); ++i)
            m_nodes[children[i]].rowInParent = i;
        m_nodes[leaf].rows.clear();
        m_rowLeaf[row] = -1;
        endRemoveRows();
        announceGroups(parent);
        return;
    }
    const int pos = m_rowPos[row];
    beginRemoveRows(nodeIndex(leaf), pos, pos);
    QVector<int>& rows = m_nodes[leaf].rows;
    rows.remove(pos);
    for (int i = pos; i < rows.size(); ++i)
        m_rowPos[rows[i]] = i;
    m_rowLeaf[row] = -1;
    endRemoveRows();
    announceGroups(leaf);
}

bool GroupingModel::staysInPlace(int row) const {
    int node = 0;
    for (int level = 0; level < m_groupColumns.size(); ++level) {
        const QString text = displayText(row, m_groupColumns[level]);
        int child = -1;
        for (int id : m_nodes[node].children)
            if (m_nodes[id].text == text) {
                child = id;
                break;
            }
        if (child < 0)
            return false;
        node = child;
    }
    if (node != m_rowLeaf[row])
        return false;
    const QVector<int>& rows = m_nodes[node].rows;
    const int pos = m_rowPos[row];
    return (pos == 0 || rowLess(rows[pos - 1], row)) && (pos + 1 >= rows.size() || rowLess(row, rows[pos + 1]));
}

namespace {
// More rows than this changed at once are cheaper to build anew.
constexpr int kInPlaceLimit = 64;
} // namespace

void GroupingModel::sourceRowsInserted(const QModelIndex& parent, int first, int last) {
    if (parent.isValid())
        return;
    const int count = last - first + 1;
    if (count > kInPlaceLimit || m_sourceRows == 0) {
        rebuild();
        return;
    }
    const int width = int(m_moneyColumns.size());
    if (first < m_sourceRows) {
        // Rows after the new ones move down in the source.
        for (Node& n : m_nodes)
            for (int& r : n.rows)
                if (r >= first)
                    r += count;
    }
    m_rowLeaf.insert(first, count, -1);
    m_rowPos.insert(first, count, 0);
    m_rowMoney.insert(qsizetype(first) * width, qsizetype(count) * width, 0);
    m_sourceRows += count;
    for (int r = first; r <= last; ++r)
        placeRow(r);
    emit sumsChanged();
}

void GroupingModel::sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last) {
    if (parent.isValid() || last - first + 1 > kInPlaceLimit)
        return; // rebuilt when they are gone
    for (int r = first; r <= last; ++r)
        unplaceRow(r);
}

void GroupingModel::sourceRowsRemoved(const QModelIndex& parent, int first, int last) {
    if (parent.isValid())
        return;
    const int count = last - first + 1;
    if (count > kInPlaceLimit) {
        rebuild();
        return;
    }
    const int width = int(m_moneyColumns.size());
    for (Node& n : m_nodes)
        for (int& r : n.rows)
            if (r > last)
                r -= count;
    m_rowLeaf.remove(first, count);
    m_rowPos.remove(first, count);
    m_rowMoney.remove(qsizetype(first) * width, qsizetype(count) * width);
    m_sourceRows -= count;
    emit sumsChanged();
}

void GroupingModel::sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    if (!topLeft.isValid() || topLeft.parent().isValid())
        return;
    const int first = topLeft.row(), last = bottomRight.row();
    if (last - first + 1 > kInPlaceLimit) {
        rebuild();
        return;
    }
    for (int r = first; r <= last && r < m_sourceRows; ++r) {
        if (staysInPlace(r)) {
            const int leaf = m_rowLeaf[r];
            addToAncestors(leaf, r, -1);
            readMoney(r);
            addToAncestors(leaf, r, +1);
            const QModelIndex idx = indexForSourceRow(r, 0);
            emit dataChanged(idx, idx.siblingAtColumn(int(m_columns.size()) - 1));
            announceGroups(leaf);
        } else {
            unplaceRow(r);
            placeRow(r);
        }
    }
    emit sumsChanged();
}

int GroupingModel::firstRowOf(int node) const {
    while (!isLeafNode(node)) {
        if (m_nodes[node].children.isEmpty())
            return -1;
        node = m_nodes[node].children.first();
    }
    return m_nodes[node].rows.isEmpty() ? -1 : m_nodes[node].rows.first();
}

int GroupingModel::lastRowOf(int node) const {
    while (!isLeafNode(node)) {
        if (m_nodes[node].children.isEmpty())
            return -1;
        node = m_nodes[node].children.last();
    }
    return m_nodes[node].rows.isEmpty() ? -1 : m_nodes[node].rows.last();
}

int GroupingModel::neighbourOf(int sourceRow) const {
    if (sourceRow < 0 || sourceRow >= m_sourceRows || m_rowLeaf[sourceRow] < 0)
        return -1;
    const int leaf = m_rowLeaf[sourceRow];
    const int pos = m_rowPos[sourceRow];
    const QVector<int>& rows = m_nodes[leaf].rows;
    if (pos + 1 < rows.size())
        return rows[pos + 1];
    for (int n = leaf; n > 0; n = m_nodes[n].parent) {
        const Node& parent = m_nodes[m_nodes[n].parent];
        const int at = m_nodes[n].rowInParent;
        if (at + 1 < parent.children.size())
            return firstRowOf(parent.children[at + 1]);
    }
    // The last row: the one displayed before it.
    if (pos > 0)
        return rows[pos - 1];
    for (int n = leaf; n > 0; n = m_nodes[n].parent) {
        const Node& parent = m_nodes[m_nodes[n].parent];
        const int at = m_nodes[n].rowInParent;
        if (at > 0)
            return lastRowOf(parent.children[at - 1]);
    }
    return -1;
}
