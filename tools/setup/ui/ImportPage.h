#pragma once

#include "tools/import/ParadoxImport.h"
#include "tools/setup/ui/SetupPage.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// "Импорт от стара база": brings a shop's old books (the suite's Paradox
// tables in a folder) into the database this window works on, while it is
// still new and empty, with a progress bar and the check's report, which
// can be saved as text.
class ImportPage : public SetupPage {
    Q_OBJECT

public:
    explicit ImportPage(QWidget* parent = nullptr);

    void setDatabase(ChainDatabase* db) override;
    bool mayLeave() override;

    // The last import's report (empty before the first).
    const paradoximport::Report& report() const { return m_report; }

public slots:
    void chooseFolder();
    void startImport();
    void cancelImport();
    void saveReport();

private:
    bool showProgress(const QString& table, qint64 done, qint64 total);
    QString targetLocation() const;

    ChainDatabase* m_db = nullptr;
    paradoximport::Report m_report;
    bool m_running = false;
    bool m_cancelled = false;
    QLineEdit* m_folderEdit = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_stage = nullptr;
    QPlainTextEdit* m_reportView = nullptr;
};
