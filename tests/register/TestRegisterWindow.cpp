// The register in the main window: views, period, grid, availability, find,
// printing, data reset and the window's own commands, on a real database.
#include "core/ProgramSettings.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "register/AboutDialog.h"
#include "register/FindWindow.h"
#include "register/MainWindow.h"
#include "tests/support/Accessibility.h"
#include "tests/support/Controls.h"
#include "tests/support/Engines.h"
#include "tests/support/TestEnv.h"
#include "tests/widgets/PdfText.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"
#include "widgets/ColumnChooser.h"
#include "widgets/DesktopService.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QAccessible>
#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

namespace {

struct Item {
    int shop;
    int dogNo;
    QString art;
    QString serial;
    QString names;
    bool saled;
    bool payed;
    QDate dateGet;
    QDate datesale;
    QDate datepay;
    double dlv;
    double sale;
    QString clientNames;
    QString clientInfo;
};

const QDate kToday(2026, 3, 20);

} // namespace

class TestRegisterWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_w;
    QHash<QString, qint64> m_ids; // by art

    qint64 add(Database& db, const Item& i) {
        QVariantMap v{{"IdShop", i.shop},     {"DogNo", i.dogNo},       {"Art", i.art},
                      {"Serial", i.serial},   {"DlvNames", i.names},    {"DlvAdres", "София"},
                      {"DlvEGN", "7501124567"}, {"Saled", i.saled},     {"Payed", i.payed},
                      {"DateGet", i.dateGet}, {"DlvPrice", i.dlv},      {"SalePrice", i.sale},
                      {"ClientNames", i.clientNames}, {"ClientInfo", i.clientInfo}};
        if (i.datesale.isValid())
            v.insert("Datesale", i.datesale);
        if (i.datepay.isValid())
            v.insert("Datepay", i.datepay);
        const qint64 id = db.insert("resale", v);
        m_ids.insert(i.art, id);
        return id;
    }

    // A suite database with shops and items in every state, and the main
    // window logged in and shown on it.
    bool open(const QString& engine) {
        m_w.reset();
        m_ids.clear();
        m_dir = testenv::tempDir();
        QString location;
        bool ready = false;
        [&] {
            ENGINE_LOCATION(engine, m_dir, location);
            ready = true;
        }();
        if (!ready)
            return false;
        {
            Database db;
            QString error;
            if (!suite::createDatabase(db, location, &error)) {
                QTest::qFail(qPrintable(error), __FILE__, __LINE__);
                return false;
            }
            suite::fillDemoMasterData(db);
            const QDate d1(2026, 3, 1), d31(2026, 3, 31);
            add(db, {1, 1, "Пералня Bosch", "12", "Иван О'Нийл", false, false, d1, {}, {}, 280, 400, {}, {}});
            add(db, {1, 2, "хладилник LIEBHERR", "123", "Мария Петрова", false, true, QDate(2026, 3, 20), {}, d1,
                     420, 600, {}, {}});
            add(db, {2, 3, "Фурна Samsung", "12-A", "Георги Колев", true, false, QDate(2026, 2, 28), QDate(2026, 3, 1),
                     {}, 65.5, 99.99, "Николай Тодоров", "тел. 0888 100%"});
            add(db, {2, 4, "Ютия Rowenta", "A12", "Елена Маринова", true, true, QDate(2026, 2, 1), QDate(2026, 3, 20),
                     QDate(2026, 3, 20), 35, 50, "Десислава Петкова", "ЕГН_8001"});
            add(db, {4, 5, "Миксер Tefal", "HT41", "Петър Христов", false, false, QDate(2026, 2, 15), {}, {}, 20, 30,
                     {}, {}});
            add(db, {999, 6, "Сешоар без магазин", "", "Стоян Стоянов", false, false, QDate(2026, 1, 5), {}, {}, 10, 15,
                     {}, {}});
            add(db, {5, 7, "Бойлер Елдом", "", "Иван Иванов", false, false, d31.addMonths(-2), {}, {}, 100, 150, {}, {}});
        }
        suite::writeSettings(location);
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        if (!m_w->isReady()) {
            QTest::qFail("main window did not open the database", __FILE__, __LINE__);
            return false;
        }
        m_w->setLoggedIn(1, QStringLiteral("Администратор"), 0);
        m_w->createDialogs();
        m_w->show();
        return true;
    }

    // The demo chain with its appliances in every state, the window on it.
    bool openDemo() {
        m_w.reset();
        m_ids.clear();
        m_dir = testenv::tempDir();
        {
            Database db;
            QString error;
            if (!suite::createDatabase(db, m_dir->path(), &error)) {
                QTest::qFail(qPrintable(error), __FILE__, __LINE__);
                return false;
            }
            suite::fillDemoMasterData(db);
            Clock::set({});
            suite::fillDemoItems(db);
        }
        suite::writeSettings(m_dir->path());
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        if (!m_w->isReady()) {
            QTest::qFail("main window did not open the database", __FILE__, __LINE__);
            return false;
        }
        m_w->setLoggedIn(1, QStringLiteral("Администратор"), 0);
        m_w->createDialogs();
        m_w->show();
        return true;
    }

    GroupingGrid* grid() const { return ui::control<GroupingGrid>(m_w, "grid"); }
    // The register's rows, as the query read them.
    GridTableModel* table() const { return qobject_cast<GridTableModel*>(grid()->model()->sourceModel()); }
    QStringList listedArts() const {
        QStringList arts;
        const int col = table()->columnIndex("Art");
        for (int r = 0; r < table()->rowCount(); ++r)
            arts << table()->value(r, col).toString();
        arts.sort();
        return arts;
    }
    QStringList groups() const {
        QStringList out;
        GroupingModel* m = grid()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data(GroupingModel::GroupValueRole).toString();
        return out;
    }
    QString commands() const {
        return QString(ui::action(m_w, "mnSale")->isEnabled() ? "S" : "-") +
               (ui::action(m_w, "mnPay")->isEnabled() ? "P" : "-") +
               (ui::action(m_w, "mnBack")->isEnabled() ? "B" : "-") +
               (ui::action(m_w, "mnPrices")->isEnabled() ? "R" : "-") +
               (ui::action(m_w, "mnMove")->isEnabled() ? "M" : "-") +
               (ui::action(m_w, "mnAnul")->isEnabled() ? "A" : "-");
    }
    void showView(int view, const QDate& from = {}, const QDate& to = {}) {
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(view);
        if (to.isValid())
            ui::control<QDateEdit>(m_w, "ToDate")->setDate(to);
        if (from.isValid())
            ui::control<QDateEdit>(m_w, "FromDate")->setDate(from);
        ui::button(m_w, "btnRefresh")->click();
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        m_out = testenv::tempDir();
        PrintService::setScripted(true, m_out->path());
        DesktopService::setScripted(true);
        Clock::set(QDateTime(kToday, QTime(11, 0)));
    }
    void init() {
        MessageService::clearShown();
        // Every window starts as at the first start, not as the last test left it.
        QFile::remove(ProgramSettings::location());
    }
    void cleanup() {
        m_w.reset();
        Clock::set(QDateTime(kToday, QTime(11, 0))); // the demo moves its items by the real clock
    }

    void startState() {
        if (!open("sqlite"))
            return;
        QCOMPARE(ui::combo(m_w, "cmbFilter")->currentIndex(), 0);
        QVERIFY(!ui::control<QDateEdit>(m_w, "FromDate")->isEnabled());
        QVERIFY(!ui::control<QDateEdit>(m_w, "ToDate")->isEnabled());
        QCOMPARE(ui::control<QDateEdit>(m_w, "FromDate")->date(), QDate(2026, 3, 1));
        QCOMPARE(ui::control<QDateEdit>(m_w, "ToDate")->date(), kToday);
        QVERIFY(!ui::button(m_w, "btnRefresh")->isEnabled());
        QCOMPARE(listedArts(), QStringList({"Бойлер Елдом", "Миксер Tefal", "Пералня Bosch", "Сешоар без магазин",
                                            "хладилник LIEBHERR"}));
        // Shops by name; the unknown shop under an empty name; long names cut
        // to 20 characters; the inactive shop like any other.
        QCOMPARE(groups(), QStringList({"", "Битова техника Варна", "Бургас", "Център"}));
        QCOMPARE(grid()->model()->index(3, 0).data(GroupingModel::GroupSummaryRole).toString(),
                 QStringLiteral("Сума по изкупни цени: 700.00, Сума по продажни цени: 1 000.00"));
        QCOMPARE(grid()->model()->footerText(grid()->columnByName("gridDPrice")), QStringLiteral("830.00"));
        // The first item of the first shop group is the current row (the item
        // the commands act on, not the group's heading), every group open.
        QCOMPARE(grid()->view()->currentIndex().parent(), grid()->model()->index(0, 0));
        QCOMPARE(grid()->view()->currentIndex().row(), 0);
        QVERIFY(!grid()->model()->isGroup(grid()->view()->currentIndex()));
        QCOMPARE(m_w->currentItemId(), m_ids.value(QStringLiteral("Сешоар без магазин")));
        QVERIFY(grid()->view()->isExpanded(grid()->model()->index(3, 0)));
        QVERIFY(grid()->view()->hasFocus() || !QGuiApplication::focusWindow());
        // Columns as the clerk sees them.
        QVERIFY(!grid()->isColumnVisible(grid()->columnByName("gridShop")));
        QCOMPARE(grid()->model()->headerData(grid()->columnByName("gridDatePay"), Qt::Horizontal).toString(),
                 QStringLiteral("Плащане"));
    }

    void views_data() {
        addEngineRows();
    }
    void views() {
        QFETCH(QString, engine);
        if (!open(engine))
            return;
        const QDate from(2026, 3, 1), to(2026, 3, 20);
        showView(1, from, to); // the first and the last day belong to the period
        QCOMPARE(listedArts(), QStringList({"Пералня Bosch", "хладилник LIEBHERR"}));
        QVERIFY(!ui::button(m_w, "btnRefresh")->isEnabled());
        showView(2, from, to);
        QCOMPARE(listedArts(), QStringList({"Фурна Samsung", "Ютия Rowenta"}));
        showView(3);
        QCOMPARE(listedArts(), QStringList({"Фурна Samsung"}));
        QVERIFY(!ui::control<QDateEdit>(m_w, "FromDate")->isEnabled());
        showView(4, from, to);
        QCOMPARE(listedArts(), QStringList({"Ютия Rowenta", "хладилник LIEBHERR"}));
        showView(5);
        QCOMPARE(listedArts().size(), 5);
        showView(2, QDate(2026, 3, 2), QDate(2026, 3, 19));
        QCOMPARE(listedArts(), QStringList());
        QCOMPARE(commands(), QStringLiteral("------"));
        QVERIFY(ui::combo(m_w, "cmbFilter")->hasFocus() || !QGuiApplication::focusWindow());
    }

    void periodEditors() {
        if (!open("sqlite"))
            return;
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(1);
        QVERIFY(ui::control<QDateEdit>(m_w, "FromDate")->isEnabled() &&
                ui::control<QDateEdit>(m_w, "ToDate")->isEnabled() && ui::button(m_w, "btnRefresh")->isEnabled());
        ui::control<QDateEdit>(m_w, "ToDate")->setDate(kToday.addDays(5));
        QCOMPARE(ui::control<QDateEdit>(m_w, "ToDate")->date(), kToday);
        ui::control<QDateEdit>(m_w, "FromDate")->setDate(QDate(2026, 3, 25));
        QCOMPARE(ui::control<QDateEdit>(m_w, "FromDate")->date(), kToday);
        ui::control<QDateEdit>(m_w, "FromDate")->setDate(QDate(2026, 3, 10));
        ui::control<QDateEdit>(m_w, "ToDate")->setDate(QDate(2026, 3, 5));
        QCOMPARE(ui::control<QDateEdit>(m_w, "ToDate")->date(), QDate(2026, 3, 10));
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(3);
        QVERIFY(!ui::control<QDateEdit>(m_w, "FromDate")->isEnabled() &&
                !ui::control<QDateEdit>(m_w, "ToDate")->isEnabled());
    }

    // A date typed key by key is kept as typed: the period rules wait for the
    // finished date (Enter, Tab), and then only a date outside them changes.
    void typedDatesKept_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("finish"); // "tab" or "enter"
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("listed"); // after the refresh Enter runs; empty: not refreshed
        // The period starts 01.02.2026; today is 20.03.2026.
        QTest::newRow("end, Tab") << "ToDate" << "28.02.2026" << "tab" << QDate(2026, 2, 1) << QDate(2026, 2, 28)
                                  << QStringList();
        QTest::newRow("end, Enter refreshes with it")
            << "ToDate" << "28.02.2026" << "enter" << QDate(2026, 2, 1) << QDate(2026, 2, 28)
            << QStringList{"Ютия Rowenta", "Миксер Tefal", "Фурна Samsung"};
        QTest::newRow("end, digits only") << "ToDate" << "15032026" << "tab" << QDate(2026, 2, 1)
                                          << QDate(2026, 3, 15) << QStringList();
        QTest::newRow("start, Tab") << "FromDate" << "28.02.2026" << "tab" << QDate(2026, 2, 28) << kToday
                                    << QStringList();
        QTest::newRow("start, Enter refreshes with it")
            << "FromDate" << "15.02.2026" << "enter" << QDate(2026, 2, 15) << kToday
            << QStringList{"Миксер Tefal", "Пералня Bosch", "Фурна Samsung", "хладилник LIEBHERR"};
        // The rules of the period still hold for the finished date.
        QTest::newRow("end after today") << "ToDate" << "28.03.2026" << "tab" << QDate(2026, 2, 1) << kToday
                                         << QStringList();
        QTest::newRow("end before the start") << "ToDate" << "15.01.2026" << "tab" << QDate(2026, 2, 1)
                                              << QDate(2026, 2, 1) << QStringList();
        QTest::newRow("start after the end") << "FromDate" << "25.03.2026" << "tab" << kToday << kToday
                                             << QStringList();
    }
    void typedDatesKept() {
        QFETCH(QString, editor);
        QFETCH(QString, typed);
        QFETCH(QString, finish);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, listed);
        if (!open("sqlite"))
            return;
        showView(1, QDate(2026, 2, 1), kToday);
        auto* fromEdit = ui::control<QDateEdit>(m_w, "FromDate");
        auto* toEdit = ui::control<QDateEdit>(m_w, "ToDate");
        QDateEdit* typedInto = editor == QStringLiteral("ToDate") ? toEdit : fromEdit;
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        typedInto->setFocus(Qt::TabFocusReason); // the day is selected, as a Tab into the field does
        QCOMPARE(typedInto->currentSection(), QDateTimeEdit::DaySection);
        QTest::keyClicks(typedInto, typed);
        QTest::keyClick(typedInto, finish == QStringLiteral("enter") ? Qt::Key_Return : Qt::Key_Tab);
        QCOMPARE(fromEdit->date(), from);
        QCOMPARE(toEdit->date(), to);
        // RESALE_SHOTS_DIR keeps the filter bar as the clerk sees it.
        if (qEnvironmentVariableIsSet("RESALE_SHOTS_DIR"))
            ui::control<QWidget>(m_w, "pFilter")
                ->grab()
                .save(qEnvironmentVariable("RESALE_SHOTS_DIR") + QStringLiteral("/period-%1.png")
                                                                     .arg(QString::fromLatin1(QTest::currentDataTag())
                                                                              .replace(QLatin1Char(' '), QLatin1Char('-'))
                                                                              .remove(QLatin1Char(','))));
        if (!listed.isEmpty()) {
            listed.sort();
            QCOMPARE(listedArts(), listed);
            QVERIFY(!ui::button(m_w, "btnRefresh")->isEnabled());
        }
    }

    // The calendar of "до дата" has a button for today; that of the start has none.
    void todayButton() {
        if (!open("sqlite"))
            return;
        showView(1, QDate(2026, 2, 1), QDate(2026, 2, 10));
        auto* toEdit = ui::control<QDateEdit>(m_w, "ToDate");
        QCalendarWidget* calendar = toEdit->calendarWidget();
        QVERIFY(calendar);
        auto* today = calendar->findChild<QPushButton*>(QStringLiteral("btnToday"));
        QVERIFY(today);
        QCOMPARE(today->text(), QStringLiteral("Днес"));
        today->click();
        QCOMPARE(toEdit->date(), kToday);
        QVERIFY(ui::button(m_w, "btnRefresh")->isEnabled());
        QVERIFY(ui::control<QDateEdit>(m_w, "FromDate")->calendarWidget()->findChildren<QPushButton*>().isEmpty());
    }

    void availabilityFollowsTheRow_data() {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("on");
        QTest::newRow("in stock, not paid") << "Пералня Bosch" << "SPBRM-";
        QTest::newRow("in stock, paid") << "хладилник LIEBHERR" << "S--RM-";
        QTest::newRow("sold, not paid") << "Фурна Samsung" << "-P---A";
        QTest::newRow("sold and paid") << "Ютия Rowenta" << "-----A";
    }
    void availabilityFollowsTheRow() {
        QFETCH(QString, art);
        QFETCH(QString, on);
        if (!open("sqlite"))
            return;
        showView(5);
        showView(1, QDate(2026, 1, 1), kToday);
        QVERIFY(m_w->locateItem(m_ids.value(art)));
        QCOMPARE(m_w->currentItemId(), m_ids.value(art));
        QCOMPARE(commands(), on);
        QCOMPARE(m_w->detailText("DlvEGN"), QStringLiteral("7501124567"));
        // F2 stays bound to the sale whatever the toolbar item shows.
        QVERIFY(ui::action(m_w, "keyF2")->isEnabled());
    }

    void refusedStatement() {
        if (!open("sqlite"))
            return;
        m_w->db().exec("alter table resale rename to resale_gone");
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(5);
        ui::button(m_w, "btnRefresh")->click();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().last().caption, QStringLiteral("Грешка"));
        QVERIFY(MessageService::lastText().contains("resale"));
        QCOMPARE(table()->rowCount(), 0);
        QVERIFY(ui::button(m_w, "btnRefresh")->isEnabled());
        QCOMPARE(commands(), QStringLiteral("------"));
    }

    void find_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("arts");
        for (const char* e : {"sqlite", "postgresql"}) {
            auto row = [e](const char* name) { return &QTest::newRow((QByteArray(e) + ": " + name).constData()); };
            *row("serial begins") << e << 1 << 0 << "12" << QStringList{"Пералня Bosch", "Фурна Samsung", "хладилник LIEBHERR"};
            *row("serial contains") << e << 1 << 1 << "12"
                                    << QStringList{"Пералня Bosch", "Ютия Rowenta", "Фурна Samsung", "хладилник LIEBHERR"};
            *row("Cyrillic, other case") << e << 0 << 0 << "ХЛАДИЛНИК" << QStringList{"хладилник LIEBHERR"};
            *row("Latin, other case") << e << 0 << 1 << "liebherr" << QStringList{"хладилник LIEBHERR"};
            *row("mixed case Latin") << e << 0 << 1 << "sAmSUNG" << QStringList{"Фурна Samsung"};
            *row("mixed case Cyrillic") << e << 0 << 0 << "фУрНа" << QStringList{"Фурна Samsung"};
            *row("apostrophe") << e << 2 << 1 << "о'нийл" << QStringList{"Пералня Bosch"};
            *row("percent is a wildcard") << e << 0 << 0 << "П%Bosch" << QStringList{"Пералня Bosch"};
            *row("underscore is a wildcard") << e << 1 << 0 << "12_A" << QStringList{"Фурна Samsung"};
            *row("any shop or state") << e << 3 << 0 << "75" << QStringList{"Бойлер Елдом", "Миксер Tefal", "Пералня Bosch",
                                                                         "Сешоар без магазин", "Ютия Rowenta",
                                                                         "Фурна Samsung", "хладилник LIEBHERR"};
            *row("spaces only") << e << 2 << 1 << "   " << QStringList{};
            *row("200 characters") << e << 0 << 1 << QString(200, QChar(0x0416)) << QStringList{};
            *row("quote and statement") << e << 5 << 1 << "'; delete from resale; --" << QStringList{};
            *row("10000 characters") << e << 0 << 1 << QString(10000, QChar(0x042F)) << QStringList{};
            *row("control characters") << e << 0 << 1 << QStringLiteral("\x01\x02\x7f") << QStringList{};
            *row("outside code page 1251") << e << 4 << 1 << QStringLiteral("洗衣机 🚀") << QStringList{};
            *row("right-to-left") << e << 0 << 1 << QStringLiteral("غسالة") << QStringList{};
            *row("backslash") << e << 0 << 1 << QStringLiteral("\\%") << QStringList{};
        }
    }
    void find() {
        QFETCH(QString, engine);
        QFETCH(int, field);
        QFETCH(int, way);
        QFETCH(QString, text);
        QFETCH(QStringList, arts);
        if (!open(engine))
            return;
        ui::action(m_w, "mnFind")->trigger();
        FindWindow* f = ui::control<FindWindow>(m_w, "TfrmFind");
        QVERIFY(f->isVisible());
        QVERIFY(!ui::control<QWidget>(m_w, "pFilter")->isEnabled() && !ui::combo(m_w, "cmbFilter")->isEnabled() &&
                !ui::action(m_w, "mnGet")->isEnabled());
        QCOMPARE(ui::combo(f, "cmbField")->currentIndex(), 0);
        QCOMPARE(ui::combo(f, "cmbWay")->currentIndex(), 0);
        QVERIFY(ui::edit(f, "eString")->text().isEmpty());
        ui::combo(f, "cmbField")->setCurrentIndex(field);
        ui::combo(f, "cmbWay")->setCurrentIndex(way);
        ui::edit(f, "eString")->setText(text);
        ui::button(f, "btnFind")->click();
        QStringList sorted = arts;
        sorted.sort();
        QCOMPARE(listedArts(), sorted);
        QVERIFY(!ui::button(m_w, "btnRefresh")->isEnabled());
        if (arts.isEmpty()) {
            QCOMPARE(MessageService::lastText(), QStringLiteral("Търсеният текст не е намерен!"));
            QCOMPARE(MessageService::shown().last().caption, QStringLiteral("Съобщение"));
            QCOMPARE(MessageService::shown().last().icon, QMessageBox::Warning);
            QCOMPARE(ui::edit(f, "eString")->selectedText(), text);
            QCOMPARE(commands(), QStringLiteral("------"));
        } else {
            QVERIFY(MessageService::shown().isEmpty());
        }
        // Nothing was deleted by any text.
        QCOMPARE(m_w->db().scalar("select count(*) from resale").toInt(), 7);

        // The toggle closes the window: filter back, result kept, Stale.
        ui::action(m_w, "mnFind")->trigger();
        QVERIFY(!f->isVisible());
        QVERIFY(ui::control<QWidget>(m_w, "pFilter")->isEnabled() && ui::combo(m_w, "cmbFilter")->isEnabled() &&
                ui::action(m_w, "mnGet")->isEnabled());
        QVERIFY(ui::button(m_w, "btnRefresh")->isEnabled());
        QCOMPARE(listedArts(), sorted);
    }

    // Enter in the find window searches, once: a text not found shows its
    // message once.
    void enterInTheFindWindowSearchesOnce() {
        if (!open("sqlite"))
            return;
        ui::action(m_w, "mnFind")->trigger();
        FindWindow* f = ui::control<FindWindow>(m_w, "TfrmFind");
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QLineEdit* text = ui::edit(f, "eString");
        text->setText(QStringLiteral("няма такъв"));
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::lastText(), QStringLiteral("Търсеният текст не е намерен!"));
        MessageService::clearShown();
        text->setText(QStringLiteral("фурна"));
        QTest::keyClick(text, Qt::Key_Enter);
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(listedArts(), QStringList{QStringLiteral("Фурна Samsung")});
        f->close();
        // Enter in the main window presses "Обновяване" again.
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        QVERIFY(ui::button(m_w, "btnRefresh")->isEnabled());
        QTest::keyClick(ui::combo(m_w, "cmbFilter"), Qt::Key_Return);
        QVERIFY(!ui::button(m_w, "btnRefresh")->isEnabled());
        QCOMPARE(listedArts().size(), 5);
    }

    // A search the engine refuses shows the engine's message only.
    void searchRefusedByTheEngineShowsOneMessage() {
        if (!open("sqlite"))
            return;
        ui::action(m_w, "mnFind")->trigger();
        FindWindow* f = ui::control<FindWindow>(m_w, "TfrmFind");
        ui::edit(f, "eString")->setText(QStringLiteral("12"));
        Database::failStatement(1);
        ui::button(f, "btnFind")->click();
        Database::failStatement(0);
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY2(MessageService::lastText().startsWith(QStringLiteral("Изкуствена грешка")),
                 qPrintable(MessageService::lastText()));
        QCOMPARE(ui::edit(f, "eString")->selectedText(), QStringLiteral("12"));
        f->close();
    }

    // The detail panel: amounts as the register writes them, every caption
    // whole at the default size and when the window is made larger, every
    // control named for a screen reader; the current row is the item the
    // commands act on, not a shop's heading.
    void detailPanelAndNames() {
        if (!open("sqlite"))
            return;
        m_w->db().exec(QStringLiteral("UPDATE resale SET SalePrice = 1234.5, DlvPrice = 1000 WHERE Art = ?"),
                       {QStringLiteral("Пералня Bosch")});
        ui::button(m_w, "btnRefresh")->setEnabled(true);
        ui::button(m_w, "btnRefresh")->click();
        QVERIFY(QTest::qWaitForWindowExposed(m_w.get()));
        GroupingModel* model = grid()->model();
        QVERIFY(grid()->view()->currentIndex().isValid());
        QVERIFY(!model->isGroup(grid()->view()->currentIndex()));
        QCOMPARE(grid()->currentSourceRow() >= 0, true);
        QVERIFY(m_w->locateItem(m_ids.value(QStringLiteral("Пералня Bosch"))));
        QCOMPARE(ui::edit(m_w, "SalePrice")->text(), QStringLiteral("1 234.50"));
        QCOMPARE(ui::edit(m_w, "DlvPrice")->text(), QStringLiteral("1 000.00"));
        QWidget* details = ui::control<QWidget>(m_w, "pDetails");
        for (const QSize size : {m_w->size(), m_w->size() + QSize(400, 300)}) {
            m_w->resize(size);
            QApplication::processEvents();
            for (QLabel* l : details->findChildren<QLabel*>()) {
                if (l->text().trimmed().isEmpty())
                    continue;
                QVERIFY2(l->contentsRect().width() >= l->fontMetrics().horizontalAdvance(l->text()),
                         qPrintable(l->text()));
            }
        }
        QCOMPARE(unnamedControls(m_w.get()), QStringList());
        ui::action(m_w, "mnFind")->trigger();
        FindWindow* find = ui::control<FindWindow>(m_w, "TfrmFind");
        QCOMPARE(unnamedControls(find), QStringList());
        // Pictures to look at, when asked for (RESALE_SHOTS_DIR).
        if (qEnvironmentVariableIsSet("RESALE_SHOTS_DIR")) {
            const QString dir = qEnvironmentVariable("RESALE_SHOTS_DIR");
            m_w->resize(m_w->size() - QSize(400, 300));
            QVERIFY(m_w->locateItem(m_ids.value(QStringLiteral("Пералня Bosch"))));
            QApplication::processEvents();
            QVERIFY(m_w->grab().save(dir + QStringLiteral("/main-window.png")));
            ui::edit(find, "eString")->setText(QStringLiteral("пералня"));
            QApplication::processEvents();
            QVERIFY(find->grab().save(dir + QStringLiteral("/find-window.png")));
        }
        ui::action(m_w, "mnFind")->trigger();
    }

    void findWindowOpensFreshAndCloseBoxReleases() {
        if (!open("sqlite"))
            return;
        ui::action(m_w, "mnFind")->trigger();
        FindWindow* f = ui::control<FindWindow>(m_w, "TfrmFind");
        ui::combo(f, "cmbField")->setCurrentIndex(3);
        ui::combo(f, "cmbWay")->setCurrentIndex(1);
        ui::edit(f, "eString")->setText("x");
        ui::edit(f, "eString")->clear();
        ui::button(f, "btnFind")->click(); // empty text: nothing searched
        QVERIFY(MessageService::shown().isEmpty());
        QCOMPARE(listedArts().size(), 5);
        f->close(); // the close box
        QVERIFY(!ui::action(m_w, "mnFind")->isChecked());
        QVERIFY(ui::control<QWidget>(m_w, "pFilter")->isEnabled() && ui::action(m_w, "mnGet")->isEnabled());
        ui::action(m_w, "mnFind")->trigger();
        QCOMPARE(ui::combo(f, "cmbField")->currentIndex(), 0);
        QCOMPARE(ui::combo(f, "cmbWay")->currentIndex(), 0);
        QVERIFY(ui::edit(f, "eString")->text().isEmpty());
        // Placed at the main window's right edge, below the toolbar.
        QVERIFY(f->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        f->close();
        QVERIFY(!f->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void printing_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("title");
        QTest::newRow("view 0") << 0 << "Само наличните уреди в магазина";
        QTest::newRow("view 1") << 1 << "Всички приети уреди за период от 01.01.2026 до 20.03.2026";
    }
    void printing() {
        QFETCH(int, view);
        QFETCH(QString, title);
        if (!open("sqlite"))
            return;
        showView(view, QDate(2026, 1, 1), kToday);
        const int before = PrintService::previewCount();
        ui::action(m_w, "mnPrintGrid")->trigger();
        QCOMPARE(PrintService::previewCount(), before + 1);
        if (pdftext::available()) {
            const QString text = pdftext::text(PrintService::lastPreviewPdf());
            QVERIFY2(text.contains(title), qPrintable(text));
            QVERIFY(text.contains(QStringLiteral("стр. 1 от 1")));
            QVERIFY(text.contains(QStringLiteral("Магазин: Център")));
            // The shop groups print without their sums.
            QVERIFY(!text.contains(QStringLiteral("Сума по изкупни цени")));
        } else if (!qEnvironmentVariable("CI").isEmpty()) {
            QFAIL("pdftotext (poppler-utils) is needed to read printed reports");
        }
        // And show them again afterwards.
        const QModelIndex centre = grid()->model()->index(grid()->model()->rowCount() - 1, 0);
        QVERIFY(grid()->model()->groupText(centre).contains(QStringLiteral("Сума по изкупни цени: ")));
        QVERIFY(grid()->model()->groupText(centre).contains(QStringLiteral(", Сума по продажни цени: ")));
        QVERIFY(grid()->view()->isExpanded(centre));
    }

    // The printed register of the demo chain cuts nothing: every contract
    // number, amount and date of every row and both totals print whole.
    void printedRegisterWhole_data() {
        QTest::addColumn<int>("view");
        for (int view = 0; view < 6; ++view)
            QTest::newRow(qPrintable(QStringLiteral("view %1").arg(view))) << view;
    }
    void printedRegisterWhole() {
        QFETCH(int, view);
        if (!pdftext::available())
            QSKIP("pdftotext (poppler-utils) is not installed");
        if (!openDemo())
            return;
        showView(view, QDate(2000, 1, 1), Clock::today());
        GroupingModel* model = grid()->model();
        QVERIFY(model->dataRowCount() > 0);
        ui::action(m_w, "mnPrintGrid")->trigger();
        if (qEnvironmentVariableIsSet("RESALE_SHOTS_DIR"))
            QFile::copy(PrintService::lastPreviewPdf(),
                        qEnvironmentVariable("RESALE_SHOTS_DIR") + QStringLiteral("/demo-view-%1.pdf").arg(view));
        const QString text = pdftext::text(PrintService::lastPreviewPdf());
        QVERIFY(!text.contains(QChar(0x2026)));
        int numbers = 0;
        for (int c : grid()->visibleColumns()) {
            const GridColumn& col = model->columns()[c];
            if ((col.kind != GridColumn::Kind::Money && col.kind != GridColumn::Kind::Date &&
                                 col.kind != GridColumn::Kind::Integer))
                continue;
            for (int r = 0; r < model->dataRowCount(); ++r) {
                const QString t = model->displayText(r, c);
                QVERIFY2(text.contains(t), qPrintable(col.caption + QStringLiteral(": ") + t));
                ++numbers;
            }
            if (col.footerSum)
                QVERIFY2(text.contains(model->footerText(c)), qPrintable(model->footerText(c)));
        }
        QVERIFY(numbers > 0);
        // Every article prints whole too, wrapped where its column is narrow.
        const int art = model->columnByName(QStringLiteral("gridArt"));
        // (Ligatures as the PDF keeps them, "ﬁ" for "fi", read as letters.)
        const QString flat = text.normalized(QString::NormalizationForm_KC).simplified();
        for (int r = 0; r < model->dataRowCount(); ++r)
            for (const QString& word : model->displayText(r, art).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                QVERIFY2(flat.contains(word), qPrintable(word));
    }

    void emptyRegisterPrintsNothing() {
        if (!open("sqlite"))
            return;
        showView(2, QDate(2026, 3, 2), QDate(2026, 3, 3));
        const int before = PrintService::previewCount();
        ui::action(m_w, "mnPrintGrid")->trigger();
        QCOMPARE(PrintService::previewCount(), before);
    }

    void dataReset_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("left");
        QTest::newRow("default answer") << int(QMessageBox::NoButton) << 7;
        QTest::newRow("no") << int(QMessageBox::No) << 7;
        QTest::newRow("yes") << int(QMessageBox::Yes) << 0;
    }
    void dataReset() {
        QFETCH(int, answer);
        QFETCH(int, left);
        if (!open("sqlite"))
            return;
        const int cash = m_w->db().scalar("select count(*) from KASA").toInt();
        if (answer != QMessageBox::NoButton)
            MessageService::queueAnswer(QMessageBox::StandardButton(answer));
        ui::action(m_w, "TBItem3")->trigger();
        const auto& shown = MessageService::shown().first();
        QCOMPARE(shown.caption, QStringLiteral("Изтриване"));
        QCOMPARE(shown.defaultButton, QMessageBox::No);
        QCOMPARE(shown.icon, QMessageBox::Question);
        QVERIFY(shown.text.startsWith(QStringLiteral("ВНИМАНИЕ! Всички данни за приетите и")));
        QCOMPARE(m_w->db().scalar("select count(*) from resale").toInt(), left);
        QCOMPARE(m_w->db().scalar("select count(*) from KASA").toInt(), cash);
        if (left == 0) {
            for (int view : {0, 5, 3}) {
                showView(view);
                QCOMPARE(table()->rowCount(), 0);
            }
            QCOMPARE(commands(), QStringLiteral("------"));
        }
    }

    void resetRefusedWhileAnotherHoldsTheTable() {
        if (!open("sqlite"))
            return;
        // Another workstation in the middle of writing the item table.
        Database other;
        QString error;
        QVERIFY2(other.open(m_dir->path(), &error), qPrintable(error));
        other.exec("PRAGMA busy_timeout=0");
        other.begin();
        other.exec("update resale set Art = Art");
        m_w->db().exec("PRAGMA busy_timeout=50");
        MessageService::queueAnswer(QMessageBox::Yes);
        ui::action(m_w, "TBItem3")->trigger();
        QCOMPARE(MessageService::shown().size(), 2);
        QCOMPARE(MessageService::shown().last().caption, QStringLiteral("Грешка"));
        other.rollback();
        QCOMPARE(m_w->db().scalar("select count(*) from resale").toInt(), 7);
        QCOMPARE(table()->rowCount(), 5); // the register keeps its rows
    }

    // Tab goes through the window's controls in their visual order and
    // passes the read-only detail fields by.
    void tabOrder() {
        if (!open("sqlite"))
            return;
        showView(1, QDate(2026, 2, 1), kToday);
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        auto tabStops = [this] {
            ui::combo(m_w, "cmbFilter")->setFocus(Qt::TabFocusReason);
            QStringList stops;
            for (int i = 0; i < 20; ++i) {
                QWidget* w = QApplication::focusWidget();
                if (!w)
                    break;
                // A control inside the grid counts as the grid.
                QWidget* named = w;
                while (named && named != m_w.get() && named->objectName() != QStringLiteral("grid") &&
                       named->objectName().isEmpty())
                    named = named->parentWidget();
                const QString name = named ? named->objectName() : QString();
                // Tab steps through a date's day, month and year first.
                if (stops.isEmpty() || stops.last() != name)
                    stops << name;
                if (stops.size() > 1 && name == QStringLiteral("cmbFilter"))
                    break;
                QTest::keyClick(w, Qt::Key_Tab);
            }
            return stops;
        };
        // "Обновяване" is passed by while it is disabled, after the refresh.
        QCOMPARE(tabStops(), (QStringList{"cmbFilter", "FromDate", "ToDate", "gridView", "cmbFilter"}));
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(2);
        QCOMPARE(tabStops(), (QStringList{"cmbFilter", "FromDate", "ToDate", "btnRefresh", "gridView", "cmbFilter"}));
    }

    // Every toolbar command is reached from the keyboard: Alt and the
    // underlined letter; F2 stays the sale's key and the captions their texts.
    void toolbarFromTheKeyboard() {
        if (!open("sqlite"))
            return;
        auto* bar = ui::control<QToolBar>(m_w, "pButtons");
        auto* exitBar = ui::control<QToolBar>(m_w, "pRight");
        QSet<QKeySequence> keys;
        const QList<std::pair<const char*, const char*>> captions{
            {"TBSubmenuItem1", "Система"}, {"mnGet", "Приемане на уред"}, {"mnSale", "Продажба   F2"},
            {"mnOp", "Операции"},          {"mnFind", "Търсене"},          {"chkCustomize", "Видими колони"},
            {"mnPrintGrid", "Печат"},      {"mnExport", "Експорт"},        {"mnExit", "Изход "}};
        for (const auto& [name, caption] : captions) {
            QAction* a = ui::action(m_w, name);
            QCOMPARE(a->text(), QString::fromUtf8(caption));
            auto* b = qobject_cast<QToolButton*>((QString::fromLatin1(name) == QStringLiteral("mnExit") ? exitBar : bar)
                                                     ->widgetForAction(a));
            QVERIFY2(b, name);
            const QKeySequence key = QKeySequence::mnemonic(b->text());
            QVERIFY2(!key.isEmpty(), name);
            QVERIFY2(!keys.contains(key), name);
            keys.insert(key);
            QCOMPARE(QString(b->text()).remove(QLatin1Char('&')), QString::fromUtf8(caption));
            QCOMPARE(b->accessibleName().isEmpty() ? QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name)
                                                   : b->accessibleName(),
                     QString::fromUtf8(caption));
        }
        QCOMPARE(ui::action(m_w, "keyF2")->shortcut(), QKeySequence(Qt::Key_F2));
        // Alt and a Cyrillic letter, as a Bulgarian keyboard gives it.
        auto altKey = [this](char16_t letter) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : m_w.get();
            const auto key = Qt::Key(QChar(letter).unicode());
            const QString text(QChar(letter).toLower());
            QTest::sendKeyEvent(QTest::Press, target, key, text, Qt::AltModifier);
            QTest::sendKeyEvent(QTest::Release, target, key, text, Qt::AltModifier);
        };
        // Alt+Т opens the find window, Escape closes it.
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        FindWindow* f = ui::control<FindWindow>(m_w, "TfrmFind");
        altKey(u'Т');
        QTRY_VERIFY(f->isVisible());
        QVERIFY(ui::action(m_w, "mnFind")->isChecked());
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!f->isVisible());
        QVERIFY(!ui::action(m_w, "mnFind")->isChecked());
        QVERIFY(ui::combo(m_w, "cmbFilter")->isEnabled() && ui::action(m_w, "mnGet")->isEnabled());
        // Alt+В shows the column chooser, Alt+Ч the printed register.
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        altKey(u'В');
        QTRY_VERIFY(ui::action(m_w, "chkCustomize")->isChecked());
        QVERIFY(grid()->isColumnChooserOpen());
        ui::action(m_w, "chkCustomize")->trigger();
        m_w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_w.get()));
        const int before = PrintService::previewCount();
        altKey(u'Ч');
        QTRY_COMPARE(PrintService::previewCount(), before + 1);
    }

    // Through accessibility, the toggles do what a click does.
    void accessibleToggles() {
        if (!open("sqlite"))
            return;
        auto* bar = ui::control<QToolBar>(m_w, "pButtons");
        auto* find = qobject_cast<QToolButton*>(bar->widgetForAction(ui::action(m_w, "mnFind")));
        auto* columns = qobject_cast<QToolButton*>(bar->widgetForAction(ui::action(m_w, "chkCustomize")));
        QVERIFY(find && columns);
        FindWindow* f = ui::control<FindWindow>(m_w, "TfrmFind");
        auto act = [](QWidget* w, const QString& action) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
            QVERIFY(iface && iface->actionInterface());
            QVERIFY2(iface->actionInterface()->actionNames().contains(action), qPrintable(action));
            iface->actionInterface()->doAction(action);
        };
        act(find, QAccessibleActionInterface::toggleAction());
        QTRY_VERIFY(f->isVisible());
        QVERIFY(ui::action(m_w, "mnFind")->isChecked() && find->isChecked());
        QVERIFY(!ui::combo(m_w, "cmbFilter")->isEnabled());
        act(find, QAccessibleActionInterface::toggleAction());
        QTRY_VERIFY(!f->isVisible());
        QVERIFY(!ui::action(m_w, "mnFind")->isChecked() && !find->isChecked());
        QVERIFY(ui::combo(m_w, "cmbFilter")->isEnabled());
        // A click still opens and closes it once each.
        find->click();
        QVERIFY(f->isVisible() && ui::action(m_w, "mnFind")->isChecked());
        find->click();
        QVERIFY(!f->isVisible() && !ui::action(m_w, "mnFind")->isChecked());
        act(columns, QAccessibleActionInterface::toggleAction());
        QTRY_VERIFY(grid()->isColumnChooserOpen());
        act(columns, QAccessibleActionInterface::toggleAction());
        QTRY_VERIFY(!grid()->isColumnChooserOpen());
        QVERIFY(!ui::action(m_w, "chkCustomize")->isChecked());
    }

    void columnChooserToggle() {
        if (!open("sqlite"))
            return;
        ui::action(m_w, "chkCustomize")->trigger();
        QVERIFY(ui::action(m_w, "chkCustomize")->isChecked());
        QVERIFY(grid()->isColumnChooserOpen());
        ui::action(m_w, "chkCustomize")->trigger();
        QVERIFY(!grid()->isColumnChooserOpen());
        ui::action(m_w, "chkCustomize")->trigger();
        grid()->columnChooser()->close(); // its close box
        QVERIFY(!ui::action(m_w, "chkCustomize")->isChecked());
    }

    void aboutAndManual() {
        if (!open("sqlite"))
            return;
        QTimer::singleShot(0, m_w.get(), [this] {
            QVERIFY(ui::control<AboutDialog>(m_w, "frmAbout")->isVisible());
            const QString text = ui::control<AboutDialog>(m_w, "frmAbout")->text();
            QVERIFY(text.contains(QStringLiteral("1.39")));
            QVERIFY(text.contains(QString::fromLatin1(qVersion())));
            QVERIFY(text.contains(QStringLiteral("SQLite")));
            QVERIFY2(text.contains(QStringLiteral("Файлове на програмата: ") +
                                   QDir::toNativeSeparators(QCoreApplication::applicationDirPath())),
                     qPrintable(text));
            ui::control<AboutDialog>(m_w, "frmAbout")->accept();
        });
        ui::action(m_w, "TBItem5")->trigger();
        QVERIFY(!ui::control<AboutDialog>(m_w, "frmAbout")->isVisible());

        ui::action(m_w, "TBItem6")->trigger();
        QVERIFY(!DesktopService::opened().isEmpty());
        const QString manual = DesktopService::opened().last().toLocalFile();
        QVERIFY(manual.endsWith(QStringLiteral("/doc_resale.html")));
        QVERIFY2(QFile::exists(manual), qPrintable(manual));
    }

    // A program whose folder lacks the manual says which file it lacks and
    // where it looked, and opens nothing.
    void missingManualIsNamed() {
        if (!open("sqlite"))
            return;
        m_w.reset();
        auto folder = testenv::tempDir();
        m_w = std::make_unique<MainWindow>(folder->path());
        QVERIFY(m_w->isReady());
        MessageService::clearShown();
        DesktopService::setScripted(true);
        ui::action(m_w, "TBItem6")->trigger();
        QVERIFY(DesktopService::opened().isEmpty());
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::lastText(),
                 programfiles::missingText(QStringLiteral("doc_resale.html"), QCoreApplication::applicationDirPath()));
        QCOMPARE(MessageService::shown().last().caption, QStringLiteral("Съобщение"));
        m_w.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_out;
};

QTEST_MAIN(TestRegisterWindow)
#include "TestRegisterWindow.moc"
