// The owner's windows, thinly: the "Система" menu offers them to the full
// rights level only, they open on the demo chain, the worklist's
// double-click makes the appliance current in the register (switching to
// the view that lists it), its days are kept, and the books check runs to
// its report and saves it as PDF. Their logic is tested without windows
// (test_worklist, test_books_check).
#include "core/ProgramSettings.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/ui/BooksCheckWindow.h"
#include "operations/ui/WorklistWindow.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "tests/widgets/PdfText.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"
#include "widgets/FileDialogService.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QComboBox>
#include <QMenu>
#include <QSpinBox>
#include <QtTest>

class TestOwnerWindows : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir, m_out;
    std::unique_ptr<MainWindow> m_w;
    QString m_outPath;

    bool openDemo(int rights) {
        m_w.reset();
        m_dir = testenv::tempDir();
        {
            Database db;
            QString error;
            if (!suite::createDatabase(db, m_dir->path(), &error)) {
                QTest::qFail(qPrintable(error), __FILE__, __LINE__);
                return false;
            }
            suite::fillDemoMasterData(db);
            suite::fillDemoItems(db);
        }
        suite::writeSettings(m_dir->path());
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        if (!m_w->isReady()) {
            QTest::qFail("main window did not open the database", __FILE__, __LINE__);
            return false;
        }
        m_w->setLoggedIn(1, QStringLiteral("Администратор"), 0, rights);
        m_w->createDialogs();
        m_w->show();
        return true;
    }

    template <class W> W* window(const char* name) const { return m_w->findChild<W*>(QString::fromLatin1(name)); }

    // Double-clicks the data row of the grid that holds the item.
    static void doubleClickRow(GroupingGrid* grid, int sourceRow) {
        grid->expandAll();
        const QModelIndex index = grid->model()->indexForSourceRow(sourceRow, 1);
        QVERIFY(index.isValid());
        QVERIFY(QTest::qWaitForWindowExposed(grid->window()));
        grid->view()->scrollTo(index);
        QCoreApplication::processEvents();
        const QRect r = grid->view()->visualRect(index);
        QVERIFY(grid->view()->viewport()->rect().contains(r.center()));
        QCOMPARE(grid->view()->indexAt(r.center()), index);
        // A double-click as the desktop sends it: press, release, then the
        // second press as a double-click.
        QTest::mouseClick(grid->view()->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(grid->view()->viewport(), Qt::LeftButton, {}, r.center());
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        FileDialogService::setScripted(true);
        m_out = testenv::tempDir();
        // RESALE_TEST_OUTPUT_DIR keeps the printed pages for a person to look at.
        m_outPath = qEnvironmentVariableIsEmpty("RESALE_TEST_OUTPUT_DIR") ? m_out->path()
                                                                          : qEnvironmentVariable("RESALE_TEST_OUTPUT_DIR");
        PrintService::setScripted(true, m_outPath);
    }
    void cleanup() {
        m_w.reset();
        MessageService::clearShown();
    }

    // Only a clerk with the full rights level sees and reaches the owner's
    // windows in the "Система" menu.
    void menuForFullRightsOnly_data() {
        QTest::addColumn<int>("rights");
        QTest::newRow("sales") << 1;
        QTest::newRow("sales and delivery") << 3;
        QTest::newRow("administrator") << 4;
    }
    void menuForFullRightsOnly() {
        QFETCH(int, rights);
        if (!openDemo(rights))
            return;
        QMenu* system = ui::action(m_w, "TBSubmenuItem1")->menu();
        QVERIFY(system);
        for (const char* name : {"mnBooksCheck", "mnWaiting"}) {
            QAction* a = ui::action(m_w, name);
            QVERIFY(system->actions().contains(a));
            QCOMPARE(a->isVisible(), rights == 4);
            a->trigger();
        }
        auto* check = window<BooksCheckWindow>("frmBooksCheck");
        auto* worklist = window<WorklistWindow>("frmWaiting");
        QCOMPARE(check != nullptr && check->isVisible(), rights == 4);
        QCOMPARE(worklist != nullptr && worklist->isVisible(), rights == 4);
    }

    // A double-click in either list makes the appliance current in the
    // register; when the register's view does not list it, the view that
    // does is chosen first.
    void doubleClickShowsInRegister() {
        if (!openDemo(4))
            return;
        ui::action(m_w, "mnWaiting")->trigger();
        auto* w = window<WorklistWindow>("frmWaiting");
        QVERIFY(w && w->isVisible());
        auto* days = ui::control<QSpinBox>(w, "eDays");
        QCOMPARE(days->value(), 90);
        days->setValue(0);
        ui::button(w, "btnRefresh")->click();

        GroupingGrid* waiting = ui::control<GroupingGrid>(w, "gridWaiting");
        auto* waitingTable = qobject_cast<GridTableModel*>(waiting->model()->sourceModel());
        QVERIFY(waitingTable->rowCount() >= 2);
        const int last = waitingTable->rowCount() - 1;
        const qint64 id = waitingTable->value(last, QStringLiteral("Id")).toLongLong();
        auto* view = ui::combo(m_w, "cmbFilter");
        view->setCurrentIndex(2); // sold in the period: the unsold appliance is not there
        m_w->refreshRegister();
        QSignalSpy chosen(w, &WorklistWindow::itemChosen);
        doubleClickRow(waiting, last);
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.first().at(0).toLongLong(), id);
        QVERIFY2(MessageService::shown().isEmpty(), qPrintable(MessageService::lastText()));
        QCOMPARE(m_w->currentItemId(), id);
        QCOMPARE(view->currentIndex(), 0);

        GroupingGrid* owed = ui::control<GroupingGrid>(w, "gridOwed");
        auto* owedTable = qobject_cast<GridTableModel*>(owed->model()->sourceModel());
        QVERIFY(owedTable->rowCount() >= 1);
        const qint64 owedId = owedTable->value(0, QStringLiteral("Id")).toLongLong();
        doubleClickRow(owed, 0);
        QCOMPARE(m_w->currentItemId(), owedId);
        QCOMPARE(view->currentIndex(), 3);
        // Already listed: the view stays.
        doubleClickRow(waiting, last);
        QCOMPARE(m_w->currentItemId(), id);
        QCOMPARE(view->currentIndex(), 0);
        QVERIFY(MessageService::shown().isEmpty());

        // The days are kept for the clerk, and the next window starts with them.
        days->setValue(30);
        ui::button(w, "btnRefresh")->click();
        m_w.reset();
        QCOMPARE(ProgramSettings().value(QStringLiteral("Clerks/1/Worklist/Days")).toInt(), 30);
        if (!openDemo(4))
            return;
        ui::action(m_w, "mnWaiting")->trigger();
        QCOMPARE(ui::control<QSpinBox>(window<WorklistWindow>("frmWaiting"), "eDays")->value(), 30);
    }

    // Both lists print as the register does, each shop of the owed list
    // with its sum.
    void worklistPrints() {
        if (!openDemo(4))
            return;
        ui::action(m_w, "mnWaiting")->trigger();
        auto* w = window<WorklistWindow>("frmWaiting");
        ui::control<QSpinBox>(w, "eDays")->setValue(20);
        ui::button(w, "btnRefresh")->click();
        QVERIFY(w->waitingGrid()->rowCount() > 0);
        QVERIFY(w->owedGrid()->rowCount() > 0);
        ui::button(w, "btnPrintWaiting")->click();
        const QString waiting = PrintService::lastPreviewPdf();
        ui::button(w, "btnPrintOwed")->click();
        const QString owed = PrintService::lastPreviewPdf();
        QVERIFY(QFileInfo::exists(waiting) && QFileInfo::exists(owed) && waiting != owed);
        if (!pdftext::available())
            return;
        const QString wt = pdftext::text(waiting), ot = pdftext::text(owed);
        QVERIFY2(wt.contains(QStringLiteral("Непродадени повече от 20 дни")), qPrintable(wt));
        QVERIFY2(ot.contains(QStringLiteral("Продадени, но неизплатени уреди")), qPrintable(ot));
        QVERIFY2(ot.contains(QStringLiteral("дължимо на доверителите")), qPrintable(ot));
    }

    // The books check runs to its report off the window's thread; a breach
    // shows under its shop and goes into the saved PDF.
    void booksCheckRunsAndSaves() {
        if (!openDemo(4))
            return;
        ui::action(m_w, "mnBooksCheck")->trigger();
        auto* w = window<BooksCheckWindow>("frmBooksCheck");
        QVERIFY(w && w->isVisible());
        QVERIFY(!ui::button(w, "btnPrint")->isEnabled());
        QSignalSpy ended(w, &BooksCheckWindow::checkEnded);
        ui::button(w, "btnCheck")->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
        QVERIFY2(ui::label(w, "lblSummary")->text().contains(QStringLiteral("Книгите са в ред")),
                 qPrintable(ui::label(w, "lblSummary")->text()));
        QCOMPARE(ui::control<GroupingGrid>(w, "gridBreaches")->rowCount(), 0);

        m_w->db().insert(QStringLiteral("oborot"), {{QStringLiteral("Date"), QDate(2020, 1, 6)},
                                                    {QStringLiteral("idShop"), 1},
                                                    {QStringLiteral("1"), 0.5}});
        ui::button(w, "btnCheck")->click();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 2, 60000);
        QCOMPARE(ui::control<GroupingGrid>(w, "gridBreaches")->rowCount(), 1);
        QVERIFY2(ui::label(w, "lblSummary")->text().contains(QStringLiteral("1 разминаване за 0.50 лв. в 1 магазин")),
                 qPrintable(ui::label(w, "lblSummary")->text()));
        QVERIFY(ui::button(w, "btnPdf")->isEnabled());
        const QString pdf = QDir(m_outPath).filePath(QStringLiteral("проверка.pdf"));
        FileDialogService::queueAnswer(pdf);
        ui::button(w, "btnPdf")->click();
        QVERIFY(QFileInfo::exists(pdf));
        if (pdftext::available()) {
            const QString text = pdftext::text(pdf);
            QVERIFY2(text.contains(QStringLiteral("06.01.2020")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("Проверка на книгите")), qPrintable(text));
        }
        // Closing stops any check still running and lets go of its connection.
        ui::button(w, "btnCheck")->click();
        w->close();
        QVERIFY(!w->isRunning());
    }
};

QTEST_MAIN(TestOwnerWindows)
#include "TestOwnerWindows.moc"
