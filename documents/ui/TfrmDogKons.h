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
class TfrmDogKons : public QDialog {
    Q_OBJECT
public:
    using DataSource = std::function<ConsignmentContractData()>;

    explicit TfrmDogKons(QWidget* parent = nullptr);

    // Called at every show to get the appliance's current data.
    void setDataSource(DataSource source);
    // Shorthand for a fixed set of data.
    void setData(const ConsignmentContractData& data);

    void FormShow();
    void CorelButton1Click(); // "Печат"
    void CorelButton2Click(); // "Изход"

    QTextEdit* richView() const { return m_richView; }
    QSpinBox* copies() const { return m_spCopies; }

    // Page set-up of the printout: margins 20 left, 10 right, 20 top and
    // bottom (mm), job "Contract", copies not collated.
    static void setupPrinter(QPrinter* printer, int copies);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QSpinBox* m_spCopies;
    QPushButton* m_btnPrint;
    QPushButton* m_btnClose;
    QTextEdit* m_richView;
    QStatusBar* m_statusBar;
    DataSource m_source;
};
