#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <QVariant>
#include <QVector>

// A flat, read-only table held wholly in memory: all rows are loaded at once
// and data() is a plain array read. Column names are matched without regard
// to case.
class GridTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridTableModel(QObject* parent = nullptr);

    // Replaces the whole content; values are row-major, columns.size() per row.
    void reset(const QStringList& columns, QVector<QVariant> values);
    void clear();

    // One row changed in place, each with the signals of a standard model, so
    // that a view over the table follows without being reset. values holds
    // one value per column.
    int appendRow(QVector<QVariant> values); // the new row's index
    void setRow(int row, const QVector<QVariant>& values);
    void removeRow(int row);
    // The first row whose value in column equals value, or -1.
    int findRow(int column, const QVariant& value) const;

    int columnIndex(const QString& name) const; // -1 when absent
    const QStringList& columnNames() const { return m_columns; }
    const QVariant& value(int row, int column) const { return m_values.at(row * m_columns.size() + column); }
    QVariant value(int row, const QString& column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_columns;
    QVector<QVariant> m_values;
    int m_rows = 0;
};
