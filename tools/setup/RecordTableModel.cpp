#include "tools/setup/RecordTableModel.h"

RecordTableModel::RecordTableModel(const QString& key, QList<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), m_key(key), m_columns(std::move(columns)) {}

void RecordTableModel::setRows(QList<QVariantMap> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int RecordTableModel::rowOf(const QVariant& key) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows.at(i).value(m_key) == key)
            return i;
    return -1;
}

QString RecordTableModel::text(int row, int column) const {
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    return m_columns.at(column).text(m_rows.at(row));
}

QString RecordTableModel::yesNo(bool b) {
    return b ? QStringLiteral("Да") : QStringLiteral("Не");
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns.at(index.column()).alignment);
    case Qt::UserRole:
        return m_rows.at(index.row()).value(m_key);
    default:
        return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return {};
    return m_columns.at(section).header;
}
