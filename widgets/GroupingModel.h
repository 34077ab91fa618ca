#pragma once

#include "widgets/GridColumn.h"

#include <QAbstractItemModel>
#include <QList>
#include <QPointer>
#include <QVector>
#include <functional>

class GridTableModel;

// A tree over a flat table: data rows grouped by one or more columns (groups
// sorted by their value), sorted by any number of columns inside their groups,
// with money sums per group and for all rows. The whole tree is computed when
// the source is reset or the grouping/sorting changes; rows the source inserts,
// changes or removes one at a time are put in, moved or taken out in place
// (a group made or dropped as needed, the sums adjusted), so that a view over
// it keeps its open groups and its current row. data() only reads memory.
class GroupingModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        IsGroupRole = Qt::UserRole + 1, // bool
        SourceRowRole,                  // int, -1 for group rows
        GroupLevelRole,                 // int, 0 for the outermost groups
        GroupColumnRole,                // int, the grid column a group row groups by
        GroupValueRole,                 // QString, the value a group row stands for
        GroupSummaryRole,               // QString, the summary text of a group row
    };

    struct SortKey {
        int column = -1;
        Qt::SortOrder order = Qt::AscendingOrder;
        bool operator==(const SortKey&) const = default;
    };

    // What a summary callback learns about one group.
    struct GroupSummary {
        int column = -1;        // grid column grouped by
        QString columnName;     // its name
        QString summaryGroup;   // the summary set attached to that column
        QString value;          // the group's value as shown
        int rowCount = 0;       // data rows in the group
        QVector<qint64> sums;   // per grid column, whole stotinki (Money columns only)
    };
    using SummaryText = std::function<QString(const GroupSummary&)>;

    explicit GroupingModel(QObject* parent = nullptr);

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    int columnByName(const QString& name) const;

    void setSourceModel(QAbstractItemModel* source);
    QAbstractItemModel* sourceModel() const { return m_source; }

    // Grouping, outermost first. Columns that may not be grouped by are ignored.
    void setGroupColumns(const QList<int>& columns);
    const QList<int>& groupColumns() const { return m_groupColumns; }
    bool canGroupBy(int column) const;

    void setSortKeys(const QList<SortKey>& keys);
    const QList<SortKey>& sortKeys() const { return m_sortKeys; }

    // Rows that sort alike stand in the order of this field of the source (a
    // key such as the rows' id), so that the same rows make the same tree in
    // whatever order the source holds them; -1: in source order.
    void setKeyField(int field);

    void setSummaryText(SummaryText text);
    // Attaches a summary set to a column's group rows; empty detaches it.
    void setColumnSummaryGroup(int column, const QString& summaryGroup);

    // Recomputes the tree from the source.
    void rebuild();

    int dataRowCount() const { return m_sourceRows; }
    int groupCount() const { return int(m_nodes.size()) - 1; }
    qint64 footerSum(int column) const;   // whole stotinki
    QString footerText(int column) const; // "# ##0.00" for summed columns, else empty
    QString displayText(int sourceRow, int column) const;
    // A few of the column's texts that are likely the widest, found without
    // formatting every row: the longest texts, the extreme numbers.
    QStringList widthCandidates(int column, int count = 6) const;
    QString groupText(const QModelIndex& index) const;

    bool isGroup(const QModelIndex& index) const;
    int sourceRow(const QModelIndex& index) const; // -1 for groups
    QModelIndex indexForSourceRow(int sourceRow, int column = 0) const;
    // The data row displayed after sourceRow (across groups), or the one
    // before it when it is the last; -1 when it is the only row.
    int neighbourOf(int sourceRow) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The group and footer sums have changed (after a rebuild or a change in place).
    void sumsChanged();

private:
    struct Node {
        int parent = -1;
        int rowInParent = 0;
        int level = 0; // root 0, outermost groups 1
        int column = -1;
        QString text;
        QVector<int> children; // group nodes below, for inner levels
        QVector<int> rows;     // source rows, for the innermost level
        int rowCount = 0;
        QVector<qint64> sums;
        double order = 0; // where a group of a column that is not text sorts
    };

    QVariant sourceValue(int row, int field) const;
    // The value without a copy where the source is a GridTableModel (else in scratch).
    const QVariant& sourceRef(int row, int field, QVariant& scratch) const;
    bool isLeafNode(int node) const { return m_nodes[node].level == m_groupColumns.size(); }
    int groupNodeOf(const QModelIndex& index) const; // node id of a group index, -1 otherwise
    QVector<int> sortedRows() const;
    void buildLevel(int node, const QVector<int>& rows);
    void addSums(Node& node, int row) const;
    QString summaryFor(int node) const;

    // Changes in place, following the source's own signals.
    void sourceRowsInserted(const QModelIndex& parent, int first, int last);
    void sourceRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void sourceRowsRemoved(const QModelIndex& parent, int first, int last);
    void sourceDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    void placeRow(int row);   // into its group, at its sorted place
    void unplaceRow(int row); // out of the tree; a group left empty goes
    bool staysInPlace(int row) const;
    int insertGroup(int parent, int column, const QString& text, double order);
    bool groupBefore(int column, const QString& text, double order, int other) const;
    bool rowLess(int a, int b) const;
    double groupOrder(int column, int row) const;
    void readMoney(int row);
    void addToAncestors(int node, int row, int sign);
    void announceGroups(int node); // the group rows from node up show new sums
    QModelIndex nodeIndex(int node) const;
    int firstRowOf(int node) const;
    int lastRowOf(int node) const;

    QList<GridColumn> m_columns;
    QPointer<QAbstractItemModel> m_source;
    const GridTableModel* m_table = nullptr; // fast path when the source is a GridTableModel
    QList<int> m_groupColumns;
    QList<SortKey> m_sortKeys;
    SummaryText m_summaryText;

    QVector<Node> m_nodes; // [0] is the root
    QVector<int> m_rowLeaf; // per source row: its innermost node
    QVector<int> m_rowPos;  // per source row: its position there
    QVector<qint64> m_rowMoney; // per source row, its value in each money column (stotinki)
    QVector<int> m_moneyColumns;
    int m_keyField = -1;
    int m_sourceRows = 0;
};
