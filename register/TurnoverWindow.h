#pragma once

#include "operations/TurnoverReport.h"

#include <QWidget>

class Database;
class DateEdit;
class GridTableModel;
class GroupingGrid;
class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QListWidget;
class QPainter;
class QPushButton;
class QRectF;
class QTabWidget;

// "Оборот и печалба": the shops' turnover and profit over a period, per day
// or per month, as a table with sums and as a chart, with the days on which
// the daily rows differ from the bookings listed under them. Printable and
// exportable. The figures come from turnover::build; the window only shows
// them.
class TurnoverWindow : public QWidget {
    Q_OBJECT
public:
    TurnoverWindow(Database& db, QWidget* parent = nullptr);

    // Reads the period again and shows it; false when the database failed
    // (the message has been shown).
    bool refresh();
    const turnover::Report& report() const { return m_report; }
    QString title() const;

    // A chart of the report: a bar per shop in each day or month, the line
    // of the whole chain over them.
    static QChart* makeChart(const turnover::Report& report, bool profit);

public slots:
    void print();
    void exportCsv();
    void exportPdf();

private:
    void showReport();
    void showChart();
    void paintCharts(QPainter* painter, const QRectF& area) const; // the printout's last page

    Database& m_db;
    turnover::Report m_report;
    DateEdit* m_fromEdit = nullptr;
    DateEdit* m_toEdit = nullptr;
    QComboBox* m_stepCombo = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QTabWidget* m_tabs = nullptr;
    GroupingGrid* m_grid = nullptr;
    GridTableModel* m_table = nullptr;
    QComboBox* m_chartValueCombo = nullptr;
    QChartView* m_chartView = nullptr;
    QLabel* m_checkLabel = nullptr;
    QListWidget* m_differences = nullptr;
};
