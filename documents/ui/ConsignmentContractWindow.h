#pragma once

#include "documents/ConsignmentContract.h"

#include <QDialog>
#include <functional>

class QPrinter;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTextEdit;

// "Преглед и печат на договор за консигнация": shows the consignment contract
// of one appliance and prints it in 1 to 4 copies. Created once and reused;
// the document is rebuilt from the data source every time it is shown.
class ConsignmentContractWindow : public QDialog {
    Q_OBJECT
public:
    using DataSource = std::function<ConsignmentContractData()>;

    explicit ConsignmentContractWindow(QWidget* parent = nullptr);

    // Called at every show to get the appliance's current data.
    void setDataSource(DataSource source);
    // Shorthand for a fixed set of data.
    void setData(const ConsignmentContractData& data);

    // Builds the contract afresh from the data source (every show does).
    void rebuild();
    // "Печат": the print dialog, then the chosen number of copies.
    void print();

    // Page set-up of the printout: margins 20 left, 10 right, 20 top and
    // bottom (mm), job "Contract", copies not collated.
    static void setupPrinter(QPrinter* printer, int copies);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSpinBox* m_copiesSpin;
    QPushButton* m_printButton;
    QPushButton* m_closeButton;
    QTextEdit* m_contractView;
    QStatusBar* m_statusBar;
    DataSource m_source;
};
