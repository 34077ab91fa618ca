// "Оборот и печалба" in the main window: offered to rights level 4 only, as
// the login leaves it; the window shows the table, the chart and the
// differences, prints and exports.
#include "app/LoginDialog.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Operations.h"
#include "register/MainWindow.h"
#include "register/TurnoverWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "tests/widgets/PdfText.h"
#include "tools/SuiteDatabase.h"
#include "widgets/DateEdit.h"
#include "widgets/FileDialogService.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QAction>
#include <QBarSeries>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

class TestTurnoverWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_w;

    // The demo chain; with sales, two in Център and one in Младост on
    // 03.11.2026, one of them paid before.
    bool open(bool withSales) {
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
            if (withSales) {
                const ops::Context c{db, 1};
                Clock::set(QDateTime(QDate(2026, 11, 2), QTime(9, 0)));
                QList<qint64> ids;
                for (int i = 0; i < 3; ++i) {
                    ops::IntakeInput in;
                    in.shop = i < 2 ? 1 : 2;
                    in.dogNo = ops::proposeContractNumber(db, in.shop);
                    in.art = QStringLiteral("Уред %1").arg(i);
                    in.dlvPrice = 5000;
                    in.salePrice = 8000;
                    in.payNow = i == 0;
                    in.names = in.adres = QStringLiteral("Х");
                    in.egn = QStringLiteral("0000000000");
                    ids << ops::intake(c, in).id;
                }
                Clock::set(QDateTime(QDate(2026, 11, 3), QTime(9, 0)));
                for (qint64 id : ids)
                    if (!ops::sale(c, {id, 8000, QStringLiteral("К"), QStringLiteral("А"), {}, {}}).ok())
                        return false;
            }
        }
        suite::writeSettings(m_dir->path());
        Clock::set(QDateTime(QDate(2026, 11, 20), QTime(9, 0)));
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        return m_w->isReady();
    }

    TurnoverWindow* openTurnover() {
        m_w->setLoggedIn(1, QStringLiteral("Администратор"), 0);
        m_w->setRightsLevel(4);
        m_w->createDialogs();
        m_w->show();
        ui::action(m_w, "mnTurnover")->trigger();
        return m_w->findChild<TurnoverWindow*>(QStringLiteral("frmTurnover"));
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        FileDialogService::setScripted(true);
    }
    void init() { PrintService::setScripted(true, testenv::tempDir().release()->path()); }
    void cleanup() {
        m_w.reset();
        Clock::set({});
    }

    // The login hands the clerk's level to the main window; only level 4
    // has the entry, and only level 4 opens the window.
    void entryForLevelFourOnly_data() {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("level");
        QTest::newRow("Administrator") << "Administrator" << "vemka" << 4;
        QTest::newRow("nikolay, 4 with a shop") << "nikolay" << "5555" << 4;
        QTest::newRow("maria, 1") << "maria" << "1111" << 1;
        QTest::newRow("petar, 1") << "petar" << "2222" << 1;
        QTest::newRow("elena, 3") << "elena" << "3333" << 3;
        QTest::newRow("stoyan, 3") << "stoyan" << "4444" << 3;
    }
    void entryForLevelFourOnly() {
        QFETCH(QString, nick);
        QFETCH(QString, password);
        QFETCH(int, level);
        QVERIFY(open(false));
        LoginDialog login(m_w.get(), QString());
        ui::edit(&login, "Edit1")->setText(nick);
        ui::edit(&login, "Edit2")->setText(password);
        login.logIn();
        QCOMPARE(login.result(), LoginDialog::kLoggedIn);
        QCOMPARE(m_w->rightsLevel(), level);
        QAction* entry = ui::action(m_w, "mnTurnover");
        QCOMPARE(entry->isVisible(), level == 4);
        QCOMPARE(entry->text(), QStringLiteral("Оборот и печалба"));
        QVERIFY(ui::action(m_w, "TBSubmenuItem1")->menu()->actions().contains(entry));
        m_w->createDialogs();
        m_w->show();
        entry->trigger();
        auto* window = m_w->findChild<TurnoverWindow*>(QStringLiteral("frmTurnover"));
        QCOMPARE(window != nullptr && window->isVisible(), level == 4);
    }

    // The window opens on this month; the period of the sales shows them
    // per shop with sums, the chart has a bar set per shop and the chain's
    // line, and the books agree.
    void windowShowsPeriod() {
        QVERIFY(open(true));
        TurnoverWindow* w = openTurnover();
        QVERIFY(w);
        QVERIFY(w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("Оборот и печалба"));
        auto* from = ui::control<DateEdit>(w, "eFromDate");
        auto* to = ui::control<DateEdit>(w, "eToDate");
        QCOMPARE(from->date(), QDate(2026, 11, 1));
        QCOMPARE(to->date(), QDate(2026, 11, 20));
        auto* grid = ui::control<GroupingGrid>(w, "gridTurnover");
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->model()->footerText(grid->columnByName("gridTurnover")), QStringLiteral("240.00"));
        QCOMPARE(grid->model()->footerText(grid->columnByName("gridProfit")), QStringLiteral("30.00"));
        QCOMPARE(grid->groupColumns(), QList<int>{grid->columnByName("gridShop")});
        QVERIFY(ui::label(w, "lblCheck")->text().startsWith(QStringLiteral("Оборотът и печалбата съвпадат")));
        QCOMPARE(ui::control<QListWidget>(w, "lstDifferences")->count(), 0);
        QChart* chart = ui::control<QChartView>(w, "chartTurnover")->chart();
        QCOMPARE(chart->series().size(), 2);
        auto* bars = qobject_cast<QBarSeries*>(chart->series().first());
        QVERIFY(bars);
        QCOMPARE(bars->count(), 2); // Младост, Център
        QCOMPARE(chart->series().last()->name(), QStringLiteral("Веригата"));

        // A planted difference is shown with its day, shop and amount.
        m_w->db().exec(QStringLiteral("UPDATE oborot SET \"1\" = \"1\" - 5 WHERE idShop = 2"));
        ui::button(w, "btnRefresh")->click();
        QVERIFY(ui::label(w, "lblCheck")->text().startsWith(QStringLiteral("Разлики")));
        auto* list = ui::control<QListWidget>(w, "lstDifferences");
        QCOMPARE(list->count(), 1);
        QVERIFY2(list->item(0)->text().contains(QStringLiteral("Младост, 03.11.2026")) &&
                     list->item(0)->text().contains(QStringLiteral("по-малко с 5.00 лв.")),
                 qPrintable(list->item(0)->text()));

        // Per month: one row per shop. Enter refreshes, as in the main window.
        ui::combo(w, "cmbStep")->setCurrentIndex(1);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_Return);
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->model()->columns()[grid->columnByName("gridPeriod")].caption, QStringLiteral("Месец"));

        // Opened again, the same window reads what was booked meanwhile.
        w->close();
        m_w->db().exec(QStringLiteral("UPDATE oborot SET \"1\" = \"1\" - 5 WHERE idShop = 2"));
        ui::action(m_w, "mnTurnover")->trigger();
        QCOMPARE(m_w->findChild<TurnoverWindow*>(QStringLiteral("frmTurnover")), w);
        QVERIFY(w->isVisible());
        QVERIFY2(list->item(0)->text().contains(QStringLiteral("по-малко с 10.00 лв.")), qPrintable(list->item(0)->text()));
    }

    // The printout: the table, then the charts on a page of their own; the
    // exports: the CSV of the table, the PDF of the printout.
    void printsAndExports() {
        if (!pdftext::available())
            QSKIP("pdftotext is not installed");
        QVERIFY(open(true));
        TurnoverWindow* w = openTurnover();
        QVERIFY(w);
        const int previews = PrintService::previewCount();
        ui::button(w, "btnPrint")->click();
        QCOMPARE(PrintService::previewCount(), previews + 1);
        const QString printed = pdftext::text(PrintService::lastPreviewPdf());
        QCOMPARE(pdftext::pages(PrintService::lastPreviewPdf()), 2);
        for (const char* t : {"Оборот и печалба от 01.11.2026 до 20.11.2026 (по дни)", "Магазин: Център", "Оборот",
                              "Печалба", "240.00", "Веригата", "стр. 2 от 2"})
            QVERIFY2(printed.contains(QString::fromUtf8(t)), t);

        const QString csv = m_dir->filePath("oborot.csv");
        FileDialogService::queueAnswer(csv);
        ui::button(w, "btnExportCsv")->click();
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll().mid(3));
        // As shown: the shop is the groups' heading, not a column.
        QVERIFY(text.startsWith(QStringLiteral("Дата;Оборот;Печалба\r\n")));
        QVERIFY(text.contains(
            QStringLiteral("\r\nМагазин: Център   (оборот 160.00 лв., печалба 30.00 лв.);;\r\n03.11.2026;160,00;30,00\r\n")));
        QVERIFY(text.endsWith(QStringLiteral("Общо;240,00;30,00\r\n")));

        const QString pdf = m_dir->filePath("oborot.pdf");
        FileDialogService::queueAnswer(pdf);
        ui::button(w, "btnExportPdf")->click();
        QCOMPARE(pdftext::pages(pdf), 2);
        QVERIFY(pdftext::text(pdf).contains(QStringLiteral("Веригата")));
        QVERIFY(!pdftext::text(pdf).contains(QStringLiteral("Разлики")));

        // A difference is on the printout too, before the charts.
        m_w->db().exec(QStringLiteral("UPDATE Pech SET Pech = 29.5 WHERE ShopID = 1"));
        ui::button(w, "btnRefresh")->click();
        ui::button(w, "btnPrint")->click();
        const QString withDifference = pdftext::text(PrintService::lastPreviewPdf()).simplified();
        QVERIFY2(withDifference.contains(QStringLiteral("Разлики с касовата книга и дневниците: 1")), qPrintable(withDifference));
        QVERIFY(withDifference.contains(QStringLiteral("Магазин Център, 03.11.2026: печалбата в таблицата е 29.50 лв.")));
        QVERIFY(withDifference.indexOf(QStringLiteral("Разлики")) < withDifference.indexOf(QStringLiteral("Веригата")));

        // Cancelled: nothing written, nothing said.
        const int shown = int(MessageService::shown().size());
        ui::button(w, "btnExportCsv")->click();
        QCOMPARE(int(MessageService::shown().size()), shown);
    }

    // The register's own export, beside its print command: what the grid
    // shows, in CSV and PDF.
    void registerExports() {
        if (!pdftext::available())
            QSKIP("pdftotext is not installed");
        QVERIFY(open(true));
        m_w->setLoggedIn(2, QStringLiteral("Мария"), 1);
        m_w->setRightsLevel(1);
        m_w->createDialogs();
        m_w->show();
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(2); // sold in a period
        ui::control<DateEdit>(m_w, "FromDate")->setDate(QDate(2026, 11, 1));
        ui::button(m_w, "btnRefresh")->click();
        auto* grid = m_w->findChild<GroupingGrid*>();
        QVERIFY(grid);
        QCOMPARE(grid->rowCount(), 3);
        const QString csv = m_dir->filePath("register.csv");
        FileDialogService::queueAnswer(csv);
        ui::action(m_w, "mnExportCsv")->trigger();
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll().mid(3)).split(QStringLiteral("\r\n"));
        QStringList captions;
        for (int c : grid->visibleColumns())
            captions << grid->model()->columns()[c].caption;
        QCOMPARE(lines.first(), captions.join(u';'));
        QVERIFY(lines.value(1).startsWith(QStringLiteral("Магазин: Младост")));
        QCOMPARE(lines.size(), 1 + 2 + 3 + 1 + 1); // headers, 2 groups, 3 rows, sums, the last line's end

        const QString pdf = m_dir->filePath("register.pdf");
        FileDialogService::queueAnswer(pdf);
        ui::action(m_w, "mnExportPdf")->trigger();
        const QString text = pdftext::text(pdf);
        QVERIFY(text.contains(QStringLiteral("Магазин: Център")));
        QVERIFY(text.contains(captions.value(1)));
    }
};

QTEST_MAIN(TestTurnoverWindow)
#include "TestTurnoverWindow.moc"
