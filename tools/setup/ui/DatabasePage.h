#pragma once

#include "tools/setup/PostgresAddress.h"
#include "tools/setup/ui/SetupPage.h"

#include <functional>

class ChainDatabase;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "База данни": which database the chain works on. Shows the one the
// settings name, and makes a new one (or takes an existing one) in a folder
// or on a PostgreSQL server, tested with a connection first; the settings
// then name it. A stored server password is never shown.
class DatabasePage : public SetupPage {
    Q_OBJECT

public:
    explicit DatabasePage(ChainDatabase& chain, QWidget* parent = nullptr);

    bool needsDatabase() const override { return false; }
    void setDatabase(ChainDatabase* db) override;
    void reload() override;
    // Asked before the database changes (other steps may hold unsaved work).
    void setLeaveCheck(std::function<bool()> check) { m_leaveCheck = std::move(check); }
    // Shows why the database the settings name did not open.
    void showOpenProblem(const QString& text);

public slots:
    void chooseFolder();
    void useFolder();
    void testServer();
    void useServer();

signals:
    // The window works on another database now (or on none).
    void databaseChanged();

private:
    PostgresAddress typedAddress() const;
    bool confirmSwitch(const QString& shownNew);
    void showMessage(QLabel* label, const QString& text, bool good);
    void showState();

    ChainDatabase& m_chain;
    std::function<bool()> m_leaveCheck;
    PostgresAddress m_stored; // from the settings; its password is never shown
    QLabel* m_current = nullptr;
    QLabel* m_state = nullptr;
    QLineEdit* m_folderEdit = nullptr;
    QLabel* m_folderMessage = nullptr;
    QLineEdit* m_hostEdit = nullptr;
    QSpinBox* m_portSpin = nullptr;
    QLineEdit* m_databaseEdit = nullptr;
    QLineEdit* m_userEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLabel* m_serverMessage = nullptr;
    QString m_openProblem;
};
