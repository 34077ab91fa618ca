#pragma once

#include "operations/BooksReport.h"

#include <QDialog>
#include <memory>

class Database;
class DateEdit;
class GridTableModel;
class GroupingGrid;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

// "Проверка на книгите": the owner runs the books check over the whole
// database or one shop and a period, and reads every breach under its shop
// with the shop's totals; prints it or saves it as PDF. The check runs on a
// thread of its own with its own connection, so that the window stays alive,
// shows its progress and can stop it.
class BooksCheckWindow : public QDialog {
    Q_OBJECT
public:
    // location opens the check's own connection (password and all); shown
    // names the database for the report. db lists the shops.
    BooksCheckWindow(Database& db, const QString& location, const QString& shown, QWidget* parent = nullptr);
    ~BooksCheckWindow() override;

    bool isRunning() const;
    const booksreport::Report& report() const { return m_report; }

public slots:
    // Starts the check of what the window's choices say.
    void startCheck();
    // Asks the running check to stop; it ends at its next step.
    void cancelCheck();
    void printReport();
    void saveAsPdf();

signals:
    // The check has ended: finished, stopped or failed.
    void checkEnded();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    struct Run;
    void loadShops();
    void showProgress();
    void finishCheck();
    void showReport();
    void updateButtons();
    QString printTitle() const;

    Database& m_db;
    QString m_location, m_shown;
    booksreport::Report m_report;
    bool m_haveReport = false;
    std::shared_ptr<Run> m_run;
    QThread* m_thread = nullptr;
    QTimer* m_progressTimer = nullptr;

    QComboBox* m_shopCombo = nullptr;
    QCheckBox* m_periodCheck = nullptr;
    DateEdit* m_fromEdit = nullptr;
    DateEdit* m_toEdit = nullptr;
    QPushButton* m_checkButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_summary = nullptr;
    GridTableModel* m_table = nullptr;
    GroupingGrid* m_grid = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_pdfButton = nullptr;
};
