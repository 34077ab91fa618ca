#include "widgets/GridTableModel.h"

GridTableModel::GridTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void GridTableModel::reset(const QStringList& columns, QVector<QVariant> values) {
    beginResetModel();
    m_columns = columns;
    m_values = std::move(values);
    m_rows = m_columns.isEmpty() ? 0 : int(m_values.size() / m_columns.size());
    endResetModel();
}

void GridTableModel::clear() {
    beginResetModel();
    m_values.clear();
    m_rows = 0;
    endResetModel();
}

int GridTableModel::appendRow(QVector<QVariant> values) {
    const int width = int(m_columns.size());
    values.resize(width);
    beginInsertRows(QModelIndex(), m_rows, m_rows);
    m_values.append(values);
    ++m_rows;
    endInsertRows();
    return m_rows - 1;
}

void GridTableModel::setRow(int row, const QVector<QVariant>& values) {
    if (row < 0 || row >= m_rows)
        return;
    const int width = int(m_columns.size());
    for (int c = 0; c < width; ++c)
        m_values[row * width + c] = c < values.size() ? values[c] : QVariant();
    emit dataChanged(index(row, 0), index(row, width - 1));
}

void GridTableModel::removeRow(int row) {
    if (row < 0 || row >= m_rows)
        return;
    const int width = int(m_columns.size());
    beginRemoveRows(QModelIndex(), row, row);
    m_values.remove(qsizetype(row) * width, width);
    --m_rows;
    endRemoveRows();
}

int GridTableModel::findRow(int column, const QVariant& value) const {
    if (column < 0 || column >= m_columns.size())
        return -1;
    const int width = int(m_columns.size());
    for (int r = 0; r < m_rows; ++r)
        if (m_values.at(r * width + column) == value)
            return r;
    return -1;
}

int GridTableModel::columnIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant GridTableModel::value(int row, const QString& column) const {
    const int c = columnIndex(column);
    if (c < 0 || row < 0 || row >= m_rows)
        return {};
    return value(row, c);
}

int GridTableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows; }

int GridTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_columns.size()); }

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return value(index.row(), index.column());
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < m_columns.size())
        return m_columns.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
