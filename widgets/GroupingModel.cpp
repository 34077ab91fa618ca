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
        connect(m_source, &QAbstractItemModel::rowsInserted, this, &GroupingModel::rebuild);
        connect(m_source, &QAbstractItemModel::rowsRemoved, this, &GroupingModel::rebuild);
        connect(m_source, &QAbstractItemModel::dataChanged, this, &GroupingModel::rebuild);
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

QString GroupingModel::displayText(int sourceRow, int column) const {
    if (column < 0 || column >= m_columns.size())
        return {};
    const GridColumn& col = m_columns[column];
    const QVariant v = sourceValue(sourceRow, col.field);
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
        for (int r = 0; r < m_sourceRows; ++r) {
            const QVariant v = sourceValue(r, col.field);
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
        for (int r = 0; r < m_sourceRows; ++r) {
            const int len = int(sourceValue(r, col.field).toString().size());
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
    if (m_sortKeys.isEmpty())
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
            for (int r = 0; r < m_sourceRows; ++r)
                d.numbers[r] = orderNumber(col.kind, sourceValue(r, col.field));
        }
        keys.append(std::move(d));
    }
    std::stable_sort(rows.begin(), rows.end(), [&keys](int a, int b) {
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
    });
    return rows;
}

void GroupingModel::addSums(Node& node, int row) const {
    for (int c : m_moneyColumns) {
        const QVariant v = sourceValue(row, m_columns[c].field);
        if (!v.isNull())
            node.sums[c] += money::fromLeva(v.toDouble());
    }
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
    m_rowLeaf.fill(0, m_sourceRows);
    m_rowPos.fill(0, m_sourceRows);
    if (m_sourceRows > 0)
        buildLevel(0, sortedRows());
    m_totals = m_nodes[0].sums;
    endResetModel();
}

qint64 GroupingModel::footerSum(int column) const {
    return column >= 0 && column < m_totals.size() ? m_totals[column] : 0;
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
    if (sourceRow < 0 || sourceRow >= m_sourceRows)
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
