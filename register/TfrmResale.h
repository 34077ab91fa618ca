#pragma once

#include "db/Connection.h"

#include <QMainWindow>
#include <QVariantList>
#include <memory>

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
struct RegisterParts;
// Deletes the register's parts where their type is known.
struct RegisterPartsDeleter {
    void operator()(RegisterParts* p) const;
};

// The main window: owns the database connection for the whole run, shows the
// register of appliances and carries every command.
class TfrmResale : public QMainWindow {
    Q_OBJECT

public:
    // Creating the window locates and opens the database; isReady() tells
    // whether it succeeded (a failure has already been shown to the clerk).
    // programDir holds the template, the manual and the contract template.
    explicit TfrmResale(const QString& programDir, QWidget* parent = nullptr);
    ~TfrmResale() override;

    static QString versionText() { return QStringLiteral("1.39"); }
    static QString titleText() { return QStringLiteral("Продажби ВТОРА УПОТРЕБА - версия ") + versionText(); }

    bool isReady() const { return m_conn.isReady(); }
    Connection& connection() { return m_conn; }
    Database& db() { return m_conn.db(); }
    QString programDir() const { return m_programDir; }

    // --- state the login leaves ---
    // shopId 0: not bound to one shop.
    void setLoggedIn(int clerkId, const QString& clerkName, int filterShopId);
    int userId() const;
    int filterShopId() const { return m_filterShopId; }
    // The shop filter as text: "ID=3 and active=true and away=false" or
    // "active=true and away=false" once the window has been shown.
    QString shopFilterText() const;
    bool shopFilterCompleted() const { return m_shopFilterCompleted; }

    // Id of the register's current appliance, or -1 when the register is empty.
    qint64 currentItemId() const;
    // Makes the item with this id the register's current row when the
    // register lists it; false (position unchanged) otherwise.
    bool locateItem(qint64 id);
    // Runs the register's present statement again (a search result stays)
    // and puts the current row back on id; then expands all groups.
    void rerunKeeping(qint64 id);
    // The consignor's data as the detail panel shows it for the current row:
    // keys "DlvNames", "DlvAdres", "DlvEGN", "DlvLK".
    QString detailText(const QString& column) const;

    // Closes the connection (the marker goes with it). Safe to call twice.
    void closeConnection();

    // Creates the dialogs the commands reuse (after a successful login).
    void createDialogs();

signals:
    // The window has been shown for the first time and its register built.
    void firstShown();

public slots:
    // register
    void FormShow();
    void btnRefreshClick();
    void btnCheckClick();
    void gridChangeNode();
    void cmbFilterChange();
    void FromDateChange();
    void ToDateChange();
    void mnFindClick();
    void bExecClick();
    // the window's own commands
    void TBItem3Click();
    void TBItem6Click();
    void TBItem5Click();
    void TBItem4Click();
    void mnExitClick();
    void chkCustomizeClick();
    void gridEndColumnsCustomizing();
    void mnPrintGridClick();
    // item commands
    void mnGetClick();
    void mnSaleClick();
    void mnPayClick();
    void mnBackClick();
    void mnPricesClick();
    void mnMoveClick();
    void mnAnulClick();
    void mnPrintClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void buildToolbars();
    void buildFilterBar(QWidget* host);
    // The register area (grid and detail panels) inside pMain.
    void buildRegisterArea(QWidget* pMain);
    // The register's own windows (find, about), made once after login.
    void createRegisterDialogs();
    void openDatabase();

    QString m_programDir;
    Connection m_conn;
    int m_filterShopId = 0;
    bool m_shopFilterCompleted = false;
    bool m_shown = false;
    QTimer* m_formatTimer = nullptr;

public:
    // Controls, named as the clerks' manual and the tests know them.
    QToolBar* pButtons = nullptr;
    QToolBar* pRight = nullptr;
    QAction* TBSubmenuItem1 = nullptr;
    QAction* TBItem6 = nullptr;
    QAction* TBItem5 = nullptr;
    QAction* TBItem3 = nullptr;
    QAction* TBItem4 = nullptr;
    QAction* mnGet = nullptr;
    QAction* mnSale = nullptr;
    QAction* mnOp = nullptr;
    QAction* mnPrices = nullptr;
    QAction* mnMove = nullptr;
    QAction* mnAnul = nullptr;
    QAction* mnPay = nullptr;
    QAction* mnBack = nullptr;
    QAction* mnPrint = nullptr;
    QAction* mnFind = nullptr;
    QAction* chkCustomize = nullptr;
    QAction* mnPrintGrid = nullptr;
    QAction* mnExit = nullptr;
    QAction* keyF2 = nullptr;
    QWidget* pFilter = nullptr;
    QComboBox* cmbFilter = nullptr;
    QDateEdit* FromDate = nullptr;
    QDateEdit* ToDate = nullptr;
    QPushButton* btnRefresh = nullptr;
    QWidget* pMain = nullptr;
    QStatusBar* stBar = nullptr;
    QLabel* stBarText = nullptr; // the status bar's one panel
    // hidden fields
    QLineEdit* UserID = nullptr;
    QLineEdit* PathBases = nullptr;
    QLineEdit* eConFile = nullptr;
    QLineEdit* qStr = nullptr;

    // The register's own parts (grid, model, panels, find window, query).
    std::unique_ptr<RegisterParts, RegisterPartsDeleter> reg;
};
