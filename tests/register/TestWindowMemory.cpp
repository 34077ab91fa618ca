// The main window remembers how the clerk left it: closed and opened again,
// it comes back with its place, size and maximised state, the register's
// arrangement, view and period; a settings file that is corrupt, foreign or
// cannot be used gives the defaults; the column chooser goes back to the
// default arrangement; every command's tooltip names its key.
//
// The program runs here on two screens side by side (1280 x 1024 and
// 1920 x 1080), and on its own settings file in a temporary folder.
#include "core/ProgramSettings.h"
#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "register/FindWindow.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "tools/SuiteDatabase.h"
#include "widgets/ColumnChooser.h"
#include "widgets/GridHeaderView.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QToolBar>
#include <QtTest>

namespace {

const QDate kToday(2026, 3, 20);

// Counts the settings' log lines.
int g_settingsLines = 0;
QtMessageHandler g_previousHandler = nullptr;
void countSettingsLines(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (context.category && QByteArray(context.category) == "resale.settings")
        ++g_settingsLines;
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

// What the settings file holds, written as another program or version
// would have left it.
void writeFile(const QByteArray& content) {
    QDir().mkpath(QFileInfo(ProgramSettings::location()).absolutePath());
    QFile f(ProgramSettings::location());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

} // namespace

class TestWindowMemory : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<MainWindow> m_w;
    QString m_location;

    // A suite database with a few items in several shops.
    void makeDatabase() {
        m_dir = testenv::tempDir();
        m_location = m_dir->path();
        Database db;
        QString error;
        QVERIFY2(suite::createDatabase(db, m_location, &error), qPrintable(error));
        suite::fillDemoMasterData(db);
        auto add = [&db](int shop, int dogNo, const char* art, const char* serial, bool saled, QDate got) {
            db.insert("resale", QVariantMap{{"IdShop", shop},
                                            {"DogNo", dogNo},
                                            {"Art", QString::fromUtf8(art)},
                                            {"Serial", QString::fromUtf8(serial)},
                                            {"DlvNames", QStringLiteral("Иван Петров")},
                                            {"Saled", saled},
                                            {"Payed", false},
                                            {"DateGet", got},
                                            {"Datesale", saled ? QVariant(got.addDays(2)) : QVariant()},
                                            {"DlvPrice", 100.0 + dogNo},
                                            {"SalePrice", 150.0 + dogNo}});
        };
        add(1, 1, "Пералня Bosch", "12", false, QDate(2026, 3, 1));
        add(1, 2, "Хладилник LIEBHERR с дълго име на уреда", "123", true, QDate(2026, 3, 5));
        add(2, 3, "Фурна Samsung", "12-A", false, QDate(2026, 2, 28));
        add(2, 4, "Ютия Rowenta", "A12", true, QDate(2026, 3, 10));
        add(4, 5, "Миксер Tefal", "HT41", false, QDate(2026, 2, 15));
        suite::writeSettings(m_location);
    }

    // The program as it starts: the main window, the clerk logged in, shown.
    void start(int clerk = 1) {
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        QVERIFY(m_w->isReady());
        m_w->setLoggedIn(clerk, QStringLiteral("Администратор"), 0);
        m_w->createDialogs();
        m_w->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
    }

    // The clerk closes the program ("Yes" to the question).
    void closeProgram() {
        MessageService::queueAnswer(QMessageBox::Yes);
        QVERIFY(m_w->close());
        m_w.reset();
    }

    GroupingGrid* grid() const { return ui::control<GroupingGrid>(m_w, "grid"); }
    QScreen* screenNamed(const QString& name) const {
        for (QScreen* s : QGuiApplication::screens())
            if (s->name() == name)
                return s;
        return nullptr;
    }

    // The first-start default on the 1280 x 1024 screen: four fifths of it,
    // centred, not maximised.
    void verifyDefaultPlacement() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(m_w->isMaximized(), false);
        QCOMPARE(m_w->size(), QSize(area.width() * 4 / 5, area.height() * 4 / 5));
        QCOMPARE(m_w->geometry().center(), area.center());
    }
    void verifyDefaultRegister() {
        QCOMPARE(grid()->arrangement(), grid()->defaultArrangement());
        QVERIFY(!grid()->hasOwnWidths());
        QCOMPARE(ui::combo(m_w, "cmbFilter")->currentIndex(), 0);
        QCOMPARE(ui::control<QDateEdit>(m_w, "FromDate")->date(), QDate(2026, 3, 1));
        QCOMPARE(ui::control<QDateEdit>(m_w, "ToDate")->date(), kToday);
    }

    // Drags the right edge of a column's header by dx, as the clerk does.
    void dragColumnEdge(int column, int dx) {
        GridHeaderView* h = grid()->header();
        QWidget* vp = h->viewport();
        const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) - 1, h->height() / 2);
        auto send = [vp](QEvent::Type type, const QPoint& p, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent e(type, p, vp->mapToGlobal(p), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(vp, &e);
        };
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        for (int step = 1; step <= 4; ++step)
            send(QEvent::MouseMove, at + QPoint(dx * step / 4, 0), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, at + QPoint(dx, 0), Qt::LeftButton, Qt::NoButton);
    }

    // The clerk's own arrangement: the serial hidden, the shop shown, the
    // appliance first, the contract number widened by hand, grouped by shop
    // and then by "Продаден", sorted by intake date newest first.
    void arrangeAsTheClerk() {
        GroupingGrid* g = grid();
        ColumnChooser* chooser = g->columnChooser();
        emit chooser->hideRequested(g->columnByName("gridSerial"));
        emit chooser->showRequested(g->columnByName("gridShop"));
        g->moveColumn(g->columnByName("gridArt"), 0);
        const int dogNo = g->columnByName("gridDogNo");
        const int before = g->header()->sectionSize(dogNo);
        dragColumnEdge(dogNo, 60);
        QVERIFY(g->hasOwnWidths());
        QCOMPARE(g->header()->sectionSize(dogNo), before + 60);
        QVERIFY(g->groupBy(g->columnByName("gridSaled")));
        g->sortByColumn(g->columnByName("gridDateGet"), false);
        g->sortByColumn(g->columnByName("gridDateGet"), false); // second click: newest first
    }

private slots:
    void initTestCase() {
        MessageService::setScripted(true);
        m_out = testenv::tempDir();
        PrintService::setScripted(true, m_out->path());
        Clock::set(QDateTime(kToday, QTime(11, 0)));
        g_previousHandler = qInstallMessageHandler(countSettingsLines);
        QCOMPARE(QGuiApplication::screens().size(), 2);
        // Never the real user's files, and never the suite's.
        QVERIFY(ProgramSettings::location().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
        QVERIFY(ProgramSettings::location() != SuiteSettings::location());
    }
    void init() {
        QFile::remove(ProgramSettings::location());
        QDir(QFileInfo(ProgramSettings::location()).absolutePath()).removeRecursively();
        ProgramSettings::resetFailureLog();
        g_settingsLines = 0;
        Clock::set(QDateTime(kToday, QTime(11, 0)));
        makeDatabase();
    }
    void cleanup() {
        m_w.reset();
        QFile::setPermissions(ProgramSettings::location(), QFile::ReadOwner | QFile::WriteOwner);
    }
    void cleanupTestCase() { qInstallMessageHandler(g_previousHandler); }

    void firstStartIsTheDefault() {
        start();
        verifyDefaultPlacement();
        verifyDefaultRegister();
        // The shop column is hidden and groups the list, as at any first start.
        QVERIFY(!grid()->isColumnVisible(grid()->columnByName("gridShop")));
        QCOMPARE(grid()->arrangement().groups, QStringList{"gridShop"});
        QCOMPARE(g_settingsLines, 0);
    }

    void closeAndReopen_data() {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void closeAndReopen() {
        QFETCH(bool, maximised);
        start();
        const QRect placed(140, 90, 960, 700);
        m_w->setGeometry(placed);
        arrangeAsTheClerk();
        const GridArrangement arranged = grid()->arrangement();
        QVERIFY(arranged != grid()->defaultArrangement());
        auto* view = ui::combo(m_w, "cmbFilter");
        view->setCurrentIndex(2); // sold in a period
        ui::control<QDateEdit>(m_w, "FromDate")->setDate(QDate(2026, 3, 4));
        ui::button(m_w, "btnRefresh")->click();
        if (maximised)
            m_w->showMaximized();
        QTRY_COMPARE(m_w->isMaximized(), maximised);
        closeProgram();

        start();
        QCOMPARE(m_w->isMaximized(), maximised);
        if (maximised)
            QCOMPARE(m_w->normalGeometry(), placed);
        else
            QCOMPARE(m_w->geometry(), placed);
        QCOMPARE(m_w->screen()->name(), QStringLiteral("Left"));
        QCOMPARE(grid()->arrangement(), arranged);
        QVERIFY(grid()->hasOwnWidths());
        // The refresh at start keeps the clerk's widths instead of fitting.
        QCOMPARE(grid()->header()->sectionSize(grid()->columnByName("gridDogNo")), arranged.widths.value("gridDogNo"));
        QVERIFY(!grid()->isColumnVisible(grid()->columnByName("gridSerial")));
        QCOMPARE(grid()->visibleColumns().first(), grid()->columnByName("gridArt"));
        QCOMPARE(ui::combo(m_w, "cmbFilter")->currentIndex(), 2);
        QVERIFY(ui::control<QDateEdit>(m_w, "FromDate")->isEnabled());
        QCOMPARE(ui::control<QDateEdit>(m_w, "FromDate")->date(), QDate(2026, 3, 4));
        QCOMPARE(ui::control<QDateEdit>(m_w, "ToDate")->date(), kToday);
        // The register is built with that view: only the sold items, in
        // shop and then "Продаден" groups.
        QCOMPARE(grid()->rowCount(), 2);
        QCOMPARE(grid()->groupColumns().size(), 2);
        QCOMPARE(g_settingsLines, 0);
        // The suite's settings hold only what they held.
        QCOMPARE(QSettings(SuiteSettings::location(), QSettings::NativeFormat).allKeys(),
                 QStringList({"BasePath", "Installed"}));
    }

    void anotherClerkHasTheDefaultRegister() {
        start(1);
        arrangeAsTheClerk();
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(5);
        ui::button(m_w, "btnRefresh")->click();
        closeProgram();
        start(2);
        verifyDefaultRegister();
        closeProgram();
        start(1);
        QCOMPARE(ui::combo(m_w, "cmbFilter")->currentIndex(), 5);
        QVERIFY(grid()->hasOwnWidths());
    }

    void aPeriodThatEndedStartsAtTodaysMonth() {
        start();
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(1);
        ui::control<QDateEdit>(m_w, "FromDate")->setDate(QDate(2026, 2, 10));
        ui::button(m_w, "btnRefresh")->click();
        closeProgram();
        // The next day the period 10.02.-20.03. has ended.
        Clock::set(QDateTime(kToday.addDays(1), QTime(8, 0)));
        start();
        QCOMPARE(ui::combo(m_w, "cmbFilter")->currentIndex(), 1);
        QCOMPARE(ui::control<QDateEdit>(m_w, "FromDate")->date(), QDate(2026, 3, 1));
        QCOMPARE(ui::control<QDateEdit>(m_w, "ToDate")->date(), kToday.addDays(1));
    }

    void aCrashLosesAtMostTheLastChange() {
        start();
        const QRect placed(200, 100, 900, 650);
        m_w->setGeometry(placed);
        arrangeAsTheClerk();
        // Written shortly after the change, without closing the window.
        QTRY_VERIFY(QSettings(ProgramSettings::location(), QSettings::IniFormat)
                        .value("Clerks/1/Register/Hidden")
                        .toStringList()
                        .contains("gridSerial"));
        const GridArrangement arranged = grid()->arrangement();
        m_w.reset(); // no close: the program died
        start();
        QCOMPARE(grid()->arrangement(), arranged);
    }

    void screenNoLongerThere_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("kept");
        QTest::newRow("right screen") << "Right" << QRect(1500, 200, 900, 600) << true;
        QTest::newRow("screen unplugged") << "HDMI-9" << QRect(1500, 200, 900, 600) << false;
        QTest::newRow("beside every screen") << "Right" << QRect(5000, 3000, 900, 600) << false;
    }
    void screenNoLongerThere() {
        QFETCH(QString, screen);
        QFETCH(QRect, geometry);
        QFETCH(bool, kept);
        {
            QSettings s(ProgramSettings::location(), QSettings::IniFormat);
            s.setValue("Window/Screen", screen);
            s.setValue("Window/Geometry", geometry);
            s.setValue("Window/Maximised", false);
        }
        start();
        if (kept) {
            QCOMPARE(m_w->geometry(), geometry);
            QCOMPARE(m_w->screen(), screenNamed(screen));
        } else {
            verifyDefaultPlacement();
        }
    }

    void corruptOrForeignFileGivesDefaults_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("logLines");
        // Every value of the wrong kind or for columns of another version.
        QTest::newRow("foreign values") << QByteArray("[Window]\nGeometry=banana\nScreen=42\nMaximised=maybe\n"
                                                      "[Clerks]\n1\\View=17\n1\\From=yesterday\n1\\To=\n"
                                                      "1\\Register\\Order=a, b, c\n")
                                        << 0;
        QTest::newRow("another program's file")
            << QByteArray("[General]\nBasePath=/srv/kalvina\nUser=Иван\n[MainWindow]\nstate=@ByteArray(xyz)\n") << 0;
        QTest::newRow("binary garbage") << QByteArray("\x00\x01[\xff\xfe]=\n\x89PNG\r\n\x1a\n\x00\x00=\x01", 24) << 0;
        // A newer version with a column this one does not know, and an older
        // one that lacked a column.
        const QByteArray order = "gridShop, gridDogNo, gridArt, gridSerial, gridDateGet, gridDPrice, gridPayed, "
                                 "gridDatePay, gridSPrice, gridSaled, gridDatesale";
        QTest::newRow("unknown column") << QByteArray("[Clerks]\n1\\Register\\Order=" + order +
                                                      ", gridWarranty\n"
                                                      "1\\Register\\Hidden=gridShop\n1\\Register\\Groups=gridShop\n")
                                        << 0;
        QTest::newRow("column missing") << QByteArray(
                                               "[Clerks]\n1\\Register\\Order=" + order.left(order.lastIndexOf(',')) +
                                               "\n1\\Register\\Widths=gridDogNo:90\n")
                                        << 0;
        QTest::newRow("grouped by a column that cannot group")
            << QByteArray("[Clerks]\n1\\Register\\Order=" + order + "\n1\\Register\\Groups=gridDPrice\n") << 0;
        QTest::newRow("width out of range")
            << QByteArray("[Clerks]\n1\\Register\\Order=" + order + "\n1\\Register\\Widths=gridDogNo:-5\n") << 0;
    }
    void corruptOrForeignFileGivesDefaults() {
        QFETCH(QByteArray, content);
        QFETCH(int, logLines);
        writeFile(content);
        start();
        verifyDefaultPlacement();
        verifyDefaultRegister();
        QCOMPARE(grid()->rowCount(), 3); // the view "in stock" was built
        QCOMPARE(g_settingsLines, logLines);
        // The program goes on, and what it writes next is sound again.
        closeProgram();
        start();
        verifyDefaultPlacement();
        verifyDefaultRegister();
    }

    void unusableFileGivesDefaultsAndOneLogLine_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("a folder where the file belongs") << "folder";
        QTest::newRow("a link to a folder that is not there") << "link";
    }
    void unusableFileGivesDefaultsAndOneLogLine() {
        QFETCH(QString, how);
        const QString file = ProgramSettings::location();
        const QString parent = QFileInfo(file).absolutePath();
        if (how == "folder") {
            QVERIFY(QDir().mkpath(file));
        } else {
            QVERIFY(QDir().mkpath(parent));
            QVERIFY(QFile::link(m_dir->filePath("gone/Resale.ini"), file));
        }
        start();
        verifyDefaultPlacement();
        verifyDefaultRegister();
        arrangeAsTheClerk();
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(3);
        ui::button(m_w, "btnRefresh")->click();
        closeProgram();
        // Reading and every failed write: one line in the log for the run.
        QCOMPARE(g_settingsLines, 1);
        QCOMPARE(ProgramSettings::failureLogged(), true);
        start();
        verifyDefaultPlacement();
        verifyDefaultRegister();
        QCOMPARE(g_settingsLines, 1);
        m_w.reset();
        if (how == "folder")
            QDir(file).removeRecursively();
        else
            QFile::remove(file);
    }

    void columnChooserGoesBackToTheDefault() {
        start();
        arrangeAsTheClerk();
        QAction* columns = ui::action(m_w, "chkCustomize");
        columns->trigger();
        ColumnChooser* chooser = grid()->columnChooser();
        QVERIFY(chooser->isVisible());
        QCOMPARE(chooser->list()->count(), 1); // the serial number
        QPushButton* reset = ui::button(chooser, "btnDefaultLayout");
        reset->click();
        QCOMPARE(grid()->arrangement(), grid()->defaultArrangement());
        QVERIFY(!grid()->hasOwnWidths());
        QCOMPARE(chooser->list()->count(), 1); // the shop column, hidden again
        QCOMPARE(chooser->list()->item(0)->text(), QStringLiteral("Магазин"));
        // Fitted to the contents again, as after a refresh.
        const int dogNo = grid()->columnByName("gridDogNo");
        const int fitted = grid()->header()->sectionSize(dogNo);
        grid()->fitColumns();
        QCOMPARE(grid()->header()->sectionSize(dogNo), fitted);
        // The chooser stays open, the toggle checked.
        QVERIFY(chooser->isVisible());
        QVERIFY(columns->isChecked());
        closeProgram();
        start();
        verifyDefaultRegister();
    }

    void printingKeepsTheClerksWidths() {
        start();
        arrangeAsTheClerk();
        const GridArrangement arranged = grid()->arrangement();
        ui::action(m_w, "mnPrintGrid")->trigger();
        QCOMPARE(PrintService::previewCount(), 1);
        QCOMPARE(grid()->arrangement(), arranged);
    }

    void resizableWindowsKeepTheirSize() {
        start();
        QAction* find = ui::action(m_w, "mnFind");
        find->trigger();
        auto* window = ui::control<FindWindow>(m_w, "TfrmFind");
        QVERIFY(window->isVisible());
        window->resize(420, 90);
        find->trigger();
        QVERIFY(!window->isVisible());
        ui::action(m_w, "chkCustomize")->trigger();
        ColumnChooser* chooser = grid()->columnChooser();
        chooser->resize(260, 330);
        ui::action(m_w, "chkCustomize")->trigger();
        closeProgram();

        start();
        find = ui::action(m_w, "mnFind");
        find->trigger();
        window = ui::control<FindWindow>(m_w, "TfrmFind");
        QCOMPARE(window->size(), QSize(420, 90));
        // Still at the main window's right edge, placed with its kept width
        // (its frame, which it has only once shown, aside).
        QCOMPARE(window->frameGeometry().right() - (window->frameGeometry().width() - window->width()),
                 m_w->frameGeometry().right() - 10);
        find->trigger();
        ui::action(m_w, "chkCustomize")->trigger();
        QCOMPARE(grid()->columnChooser()->size(), QSize(260, 330));
    }

    void onlyResizableWindowsAreKept() {
        start();
        auto showAndHide = [this](const char* name, std::function<void(QDialog&)> setUp) {
            QDialog d(m_w.get());
            d.setObjectName(QString::fromLatin1(name));
            setUp(d);
            d.show();
            const QSize shown = d.size();
            d.hide();
            return shown;
        };
        showAndHide("dlgFree", [](QDialog& d) { d.resize(500, 400); });
        showAndHide("dlgFixed", [](QDialog& d) { d.setFixedSize(300, 200); });
        showAndHide("", [](QDialog& d) { d.resize(500, 400); });
        QSettings file(ProgramSettings::location(), QSettings::IniFormat);
        QCOMPARE(file.value("Windows/dlgFree/Size").toSize(), QSize(500, 400));
        QVERIFY(!file.contains("Windows/dlgFixed/Size"));
        QCOMPARE(file.allKeys().filter("/Size").size(), 1); // nothing for the nameless one
        // The same dialog, made anew, opens at the kept size.
        QCOMPARE(showAndHide("dlgFree", [](QDialog& d) { d.resize(200, 150); }), QSize(500, 400));
    }

    void tooltipsNameTheirKeys() {
        start();
        QList<QAction*> commands;
        for (QToolBar* bar : m_w->findChildren<QToolBar*>())
            for (QAction* a : bar->actions())
                if (!a->isSeparator() && !a->text().isEmpty()) {
                    commands << a;
                    if (a->menu()) {
                        QVERIFY(a->menu()->toolTipsVisible());
                        for (QAction* item : a->menu()->actions())
                            if (!item->isSeparator())
                                commands << item;
                    }
                }
        // 8 + 1 on the toolbars, 5 + 9 + 2 in the three menus ("Система" holds the
        // owner's four, shown to the full rights level only)
        QCOMPARE(commands.size(), 25);
        for (QAction* a : std::as_const(commands)) {
            QVERIFY2(!a->toolTip().isEmpty(), qPrintable(a->objectName()));
            if (!a->shortcut().isEmpty())
                QVERIFY2(a->toolTip().contains(a->shortcut().toString(QKeySequence::NativeText)),
                         qPrintable(a->objectName()));
            // Alt and the underlined letter, where the button has one.
            const QKeySequence alt = QKeySequence::mnemonic(a->iconText());
            if (!alt.isEmpty())
                QVERIFY2(a->toolTip().contains(alt.toString(QKeySequence::NativeText)), qPrintable(a->objectName()));
        }
        QCOMPARE(ui::action(m_w, "mnSale")->toolTip(), QStringLiteral("Продажба на избрания уред (F2, Alt+Д)"));
        QCOMPARE(ui::action(m_w, "mnFind")->toolTip(), QStringLiteral("Търсене на уред по текст (Ctrl+F, Alt+Т)"));
        QCOMPARE(ui::action(m_w, "mnPrintGrid")->toolTip(), QStringLiteral("Печат на регистъра (Ctrl+P, Alt+Ч)"));
        QCOMPARE(ui::action(m_w, "mnExit")->toolTip(), QStringLiteral("Изход от програмата (Alt+F4, Alt+И)"));
        QCOMPARE(ui::action(m_w, "TBItem4")->toolTip(), QStringLiteral("Изход от програмата (Alt+F4)"));
        // The captions stay as they are.
        QCOMPARE(ui::action(m_w, "mnSale")->text(), QStringLiteral("Продажба   F2"));
        QCOMPARE(ui::action(m_w, "mnGet")->toolTip(), QStringLiteral("Приемане на уред на консигнация (Alt+П)"));
        QCOMPARE(ui::action(m_w, "mnFind")->text(), QStringLiteral("Търсене"));
    }

    void keysFindAndPrint() {
        start();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        auto* window = ui::control<FindWindow>(m_w, "TfrmFind");
        // Ctrl+F opens the find window like its toolbar button...
        QTest::keyClick(grid()->view(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QVERIFY(ui::action(m_w, "mnFind")->isChecked());
        QVERIFY(!ui::combo(m_w, "cmbFilter")->isEnabled());
        // ...and, pressed again in the main window, goes to its text instead
        // of closing it.
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        QTest::keyClick(grid()->view(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(window->isVisible());
        QVERIFY(ui::action(m_w, "mnFind")->isChecked());
        QTRY_COMPARE(QApplication::focusWidget(), ui::edit(window, "eString"));
        ui::action(m_w, "mnFind")->trigger();
        QVERIFY(!window->isVisible());
        // Ctrl+P prints the register.
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        const int previews = PrintService::previewCount();
        QTest::keyClick(grid()->view(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(PrintService::previewCount(), previews + 1);
    }
};

int main(int argc, char** argv) {
    testenv::isolateSettings();
    // Two screens side by side, as the offscreen platform can be told.
    QTemporaryDir config;
    const QString file = config.filePath(QStringLiteral("screens.json"));
    {
        QFile f(file);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(R"({"screens": [
            {"name": "Left", "x": 0, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
            {"name": "Right", "x": 1280, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
        ]})");
    }
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toUtf8());
    QApplication app(argc, argv);
    TestWindowMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestWindowMemory.moc"
