#pragma once

#include "tools/setup/ui/SetupPage.h"

class QLabel;
class QTableView;
class RecordTableModel;

// "Видове приходи и разходи": the kinds of income and expense of the suite
// and how many entries use each. Shown only; the program adds its own two
// kinds when it first books them.
class KindsPage : public SetupPage {
    Q_OBJECT

public:
    explicit KindsPage(QWidget* parent = nullptr);

    void setDatabase(ChainDatabase* db) override;
    void reload() override;

private:
    ChainDatabase* m_db = nullptr;
    RecordTableModel* m_income = nullptr;
    RecordTableModel* m_expense = nullptr;
    QLabel* m_note = nullptr;
};
