#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QVariantMap>
#include <functional>

// A read-only table of rows (column name -> value) for the set-up's lists.
// Each column shows one text made from a row; edits go through the rules
// classes, after which the page gives the model the rows as they are now.
class RecordTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        QString header;
        std::function<QString(const QVariantMap&)> text;
        Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    RecordTableModel(const QString& key, QList<Column> columns, QObject* parent = nullptr);

    void setRows(QList<QVariantMap> rows);
    const QList<QVariantMap>& rows() const { return m_rows; }
    const QVariantMap& rowAt(int row) const { return m_rows.at(row); }
    // Row of the record with this key, or -1.
    int rowOf(const QVariant& key) const;
    // Text of one cell as the list shows it.
    QString text(int row, int column) const;

    // Shown texts of a column kind used by several lists.
    static QString yesNo(bool b);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString m_key;
    QList<Column> m_columns;
    QList<QVariantMap> m_rows;
};
