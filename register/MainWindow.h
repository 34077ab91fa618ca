#pragma once

#include "core/ProgramFiles.h"
#include "db/Connection.h"

#include <QMainWindow>
#include <QPointer>
#include <QVariantList>
#include <memory>

class BooksCheckWindow;
class ProgramSettings;
class WorklistWindow;
class WindowSizeMemory;
class QAction;
class QComboBox;
class DateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class QWidget;
class TurnoverWindow;
struct RegisterParts;
struct RegisterStatement;
// Deletes the register's parts where their type is known.
struct RegisterPartsDeleter {
    void operator()(RegisterParts* p) const;
};

// The main window: owns the database connection for the whole run, shows the
// register of appliances and carries every command.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // Creating the window locates and opens the database; isReady() tells
    // whether it succeeded (a failure has already been shown to the clerk).
    // programDir holds the template, the manual and the contract template.
    explicit MainWindow(const QString& programDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    static QString versionText() { return programfiles::version(); }
    static QString titleText() { return QStringLiteral("Продажби ВТОРА УПОТРЕБА - версия ") + versionText(); }

    bool isReady() const { return m_conn.isReady(); }
    Connection& connection() { return m_conn; }
    Database& db() { return m_conn.db(); }
    QString programDir() const { return m_programDir; }

    // --- state the login leaves ---
    // shopId 0: not bound to one shop. rightsLevel is the clerk's Prefs: the
    // owner's commands in "Система" are there for level 4 only.
    void setLoggedIn(int clerkId, const QString& clerkName, int filterShopId, int rightsLevel = 0);
    int userId() const;
    // The clerk's rights level (CLERKS.Prefs); level 4 sees the owner's
    // tools in "Система".
    void setRightsLevel(int level);
    int rightsLevel() const { return m_rightsLevel; }
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
    // Makes the item current, switching to the view that lists it (sold:
    // "Само продадените,  но неизплатени уреди", otherwise "Само наличните
    // уреди в магазина") when the register shown does not; false, and the
    // clerk told, when no such view lists it any more.
    bool showItemInRegister(qint64 id, bool sold);
    // Runs the register's present statement again (a search result stays)
    // and puts the current row back on id; then expands all groups. When id
    // has left the list, the row that followed it becomes current.
    void rerunKeeping(qint64 id);
    // Builds the register of the chosen view again and keeps the place the
    // same way.
    void refreshKeeping(qint64 id);
    // A new item has been taken in: the register lists it (when its view
    // does) as the current row.
    void refreshShowing(qint64 id);
    // Whether the three above change only the item's row in the register
    // (read with the register's own statement limited to that item), instead
    // of running the whole statement again; on by default. A view change, the
    // period and "Обновяване" always run the whole statement.
    void setInPlaceUpdates(bool on);
    bool inPlaceUpdates() const;
    // The consignor's data as the detail panel shows it for the current row:
    // keys "DlvNames", "DlvAdres", "DlvEGN", "DlvLK".
    QString detailText(const QString& column) const;

    // Closes the connection (the marker goes with it). Safe to call twice.
    void closeConnection();

    // Creates the dialogs the commands reuse (after a successful login).
    void createDialogs();

    // --- what the find window asks of the register ---
    // Shows the appliances the statement finds (a search result stays until
    // the next refresh); tells the clerk when it finds none.
    void search(const RegisterStatement& statement);
    // The find window has closed: the filter bar and the intake come back,
    // and the register is marked to be refreshed.
    void findWindowClosed();

signals:
    // The window has been shown for the first time and its register built.
    void firstShown();

public slots:
    // Builds the register of the chosen view and period.
    void refreshRegister();
    // item commands
    void takeInItem();
    void sellCurrentItem();
    void payOutCurrentItem();
    void returnCurrentItem();
    void changeCurrentPrices();
    void transferCurrentItem();
    void annulCurrentSale();
    void reprintContract();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private slots:
    // register
    void showStartView();
    void showCurrentItem();
    void updateCommands();
    void updateFilterBar();
    void clampFromDate();
    void clampToDate();
    void toggleFindWindow();
    // the window's own commands
    void resetData();
    void openManual();
    void showAbout();
    void toggleColumnChooser();
    void uncheckColumnsToggle();
    void printRegister();
    // "Архивиране": a checked copy of the database into the backup folder.
    void backUpDatabase();
    // The daily backup at the first start of the day, when it is switched on.
    void backUpIfDue();
    // the register's view to a file (MainWindowTurnover.cpp)
    void exportRegisterCsv();
    void exportRegisterPdf();
    // "Оборот и печалба", for rights level 4
    void showTurnoverWindow();
    // the owner's windows (MainWindowOwner.cpp)
    void showBooksCheck();
    void showWorklist();

private:
    // How the clerk left the window, kept in the program's own settings
    // (MainWindowMemory.cpp): the window's placement per user of the
    // computer, the register's arrangement, view and period per clerk.
    void placeWindow();
    void rememberWindow();
    void restoreRegister();
    void rememberRegister();
    QString clerkKey(const QString& name) const;
    // Ctrl+F: opens the find window, or goes to its search text when open.
    void goToFind();

    void buildToolbars();
    void buildFilterBar(QWidget* host);
    // The register area (grid and detail panels) inside host.
    void buildRegisterArea(QWidget* host);
    // The register's own windows (find, about), made once after login.
    void createRegisterDialogs();
    void openDatabase();
    // Loads the statement into the register; false (the grid empty, the
    // error shown) when the engine refuses it.
    bool runStatement(const RegisterStatement& s);
    // Runs the find statement in the hidden statement field.
    void runSearch();
    // Whether Enter in this window presses "Обновяване".
    void setEnterRefreshes(bool on);
    // Id of the item displayed after id (before it, when id is the last).
    qint64 neighbourId(qint64 id) const;
    // Every group open, the first row current, the columns fitted.
    void showFirstRow();
    // The statement of the chosen view and period.
    RegisterStatement viewStatement();
    // How the register shows an operation's result.
    enum class AfterOperation {
        Refresh, // as the refresh of the chosen view does
        Rerun,   // as the present statement (a find result too) run again
    };
    // The register after an operation on item id, changed in place: false,
    // with nothing changed, where the whole statement must run instead (the
    // register shows another statement than the refresh would run, its last
    // run failed, or the engine fails to read the item). newItem: a new item
    // (it becomes current when listed, else the first row).
    bool updateInPlace(qint64 id, AfterOperation how, bool newItem);

    QString m_programDir;
    Connection m_conn;
    int m_filterShopId = 0;
    int m_rightsLevel = 0;
    QPointer<BooksCheckWindow> m_booksCheck;
    QPointer<WorklistWindow> m_worklist;
    bool m_shopFilterCompleted = false;
    bool m_shown = false;
    QTimer* m_formatTimer = nullptr;
    std::unique_ptr<ProgramSettings> m_settings;
    WindowSizeMemory* m_sizeMemory = nullptr; // goes before m_settings
    QTimer* m_rememberTimer = nullptr; // the register's arrangement, shortly after the clerk changed it
    bool m_placedAsLeft = false;       // the window stands where the clerk left it

    // Controls; their object names are the ones the clerks' manual and
    // support know them by.
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_exitBar = nullptr;
    QAction* m_systemAction = nullptr; // "Система"
    QAction* m_manualAction = nullptr; // "Упътване за работа"
    QAction* m_aboutAction = nullptr;  // "За програмата"
    QAction* m_resetAction = nullptr;  // "Нулиране на данните"
    QAction* m_backupAction = nullptr; // "Архивиране"
    QAction* m_ownerSeparator = nullptr;
    QAction* m_quitAction = nullptr;   // "Изход от програмата"
    QAction* m_booksCheckAction = nullptr; // "Проверка на книгите" (rights level 4)
    QAction* m_worklistAction = nullptr;   // "Чакащи" (rights level 4)
    QAction* m_intakeAction = nullptr;
    QAction* m_saleAction = nullptr;
    QAction* m_operationsAction = nullptr; // "Операции"
    QAction* m_priceChangeAction = nullptr;
    QAction* m_transferAction = nullptr;
    QAction* m_annulAction = nullptr;
    QAction* m_payoutAction = nullptr;
    QAction* m_returnAction = nullptr;
    QAction* m_reprintAction = nullptr; // the consignment contract again
    QAction* m_findAction = nullptr;
    QAction* m_columnsAction = nullptr; // "Видими колони"
    QAction* m_printAction = nullptr;   // the register on paper
    QAction* m_exportAction = nullptr;  // "Експорт": the register to CSV or PDF
    QAction* m_turnoverAction = nullptr; // "Оборот и печалба"
    TurnoverWindow* m_turnoverWindow = nullptr;
    QAction* m_exitAction = nullptr;    // "Изход " at the right
    QAction* m_saleKeyAction = nullptr; // F2
    QAction* m_findKeyAction = nullptr; // Ctrl+F
    QWidget* m_filterBar = nullptr;
    QComboBox* m_viewCombo = nullptr;
    DateEdit* m_fromDateEdit = nullptr;
    DateEdit* m_toDateEdit = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QWidget* m_registerHost = nullptr;
    QStatusBar* m_statusBar = nullptr;
    QLabel* m_statusText = nullptr; // the status bar's one panel
    // hidden fields
    QLineEdit* m_clerkIdField = nullptr;
    QLineEdit* m_basePathField = nullptr;
    QLineEdit* m_markerField = nullptr;
    QLineEdit* m_searchStatementField = nullptr;

    // The register's own parts (grid, model, panels, find window, query).
    std::unique_ptr<RegisterParts, RegisterPartsDeleter> m_register;
};
