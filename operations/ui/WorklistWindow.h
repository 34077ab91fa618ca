#pragma once

#include <QDialog>

class Database;
class GridTableModel;
class GroupingGrid;
class ProgramSettings;
class QLabel;
class QModelIndex;
class QPushButton;
class QSpinBox;

// "Чакащи": the owner's worklist. The appliances unsold for more than the
// chosen number of days, the oldest first, and the sold appliances whose
// consignors wait for their money, per shop with what each shop owes. Both
// are grids like the register's (grouping, sums, printing). A double-click
// on an appliance asks the register to make it current.
class WorklistWindow : public QDialog {
    Q_OBJECT
public:
    // The chosen number of days is kept in settings under daysKey.
    WorklistWindow(Database& db, ProgramSettings* settings, const QString& daysKey, QWidget* parent = nullptr);

    int days() const;
    GroupingGrid* waitingGrid() const { return m_waitingGrid; }
    GroupingGrid* owedGrid() const { return m_owedGrid; }

public slots:
    // Reads both lists again.
    void refresh();
    void printWaiting();
    void printOwed();

signals:
    // The clerk double-clicked an appliance: sold tells which list it is in.
    void itemChosen(qint64 id, bool sold);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void chooseFrom(GroupingGrid* grid, GridTableModel* table, const QModelIndex& index, bool sold);
    void rememberDays();

    Database& m_db;
    ProgramSettings* m_settings;
    QString m_daysKey;
    QSpinBox* m_daysEdit = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QLabel* m_waitingHeading = nullptr;
    QLabel* m_owedHeading = nullptr;
    GridTableModel* m_waitingTable = nullptr;
    GridTableModel* m_owedTable = nullptr;
    GroupingGrid* m_waitingGrid = nullptr;
    GroupingGrid* m_owedGrid = nullptr;
};
