#pragma once

#include "tools/setup/ChainDatabase.h"

#include <QList>
#include <QMainWindow>

class DatabasePage;
class QLabel;
class QListWidget;
class QStackedWidget;
class SetupPage;

// "Настройка на веригата": the window in which an owner or administrator
// sets up the chain, one step after another: the database, the shops, the
// clerks, the own firm, and the kinds of income and expense. Steps other
// than the database are open once a database is. A further step (such as an
// import from an old database) is one more SetupPage given to addPage().
class ChainSetupWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit ChainSetupWindow(QWidget* parent = nullptr);

    // Adds a step at position at among the steps (-1: after the last).
    void addPage(SetupPage* page, int at = -1);
    int pageCount() const { return int(m_pages.size()); }
    SetupPage* page(int i) const { return m_pages.at(i); }
    int currentPage() const;
    // Goes to a step when the step being left allows it (unsaved changes);
    // false when it stays.
    bool showPage(int i);

    ChainDatabase& database() { return m_chain; }
    // Opens the database the settings name, if any, and shows the first
    // step that needs doing.
    void openFromSettings();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void databaseChanged();
    void otherStepChanged();
    void stepChosen(int row);
    bool mayLeaveAll();

    ChainDatabase m_chain;
    QList<SetupPage*> m_pages;
    DatabasePage* m_databasePage = nullptr;
    QListWidget* m_steps = nullptr;
    QStackedWidget* m_stack = nullptr;
    QLabel* m_where = nullptr;
};
