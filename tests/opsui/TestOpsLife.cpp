// The life of an appliance through the main window's commands and the real
// dialogs: intake, sale, payout, annulment, price change, transfer, return,
// and what each leaves in the item table and the ledgers.
#include "documents/ui/ConsignmentContractWindow.h"
#include "operations/ui/IntakeDialog.h"
#include "operations/ui/MoneyEdit.h"
#include "operations/ui/PayoutDialog.h"
#include "operations/ui/PriceChangeDialog.h"
#include "operations/ui/SaleDialog.h"
#include "operations/ui/ShopChooser.h"
#include "register/MainWindow.h"
#include "tests/opsui/OpsFixture.h"
#include "tests/support/Controls.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/GroupingModel.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

using money::Cents;

namespace {
const QDate kDay1(2026, 3, 10);
const QDate kDay2(2026, 3, 12);
} // namespace

class TestOpsLife : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<MainWindow> m_w;

    Database& db() { return m_w->db(); }
    Item item(qint64 id) { return Item::load(db(), id).value_or(Item{}); }
    int count(const QString& sql, const QVariantList& p = {}) { return db().scalar(sql, p).toInt(); }
    double value(const QString& sql, const QVariantList& p = {}) { return db().scalar(sql, p).toDouble(); }
    double turnover(const QDate& d, int shop) {
        return value(QStringLiteral("SELECT \"1\" FROM oborot WHERE Date = ? AND idShop = ?"),
                     {db().dateParam(d), shop});
    }
    QVariant profit(const QDate& d, int shop) {
        return db().scalar(QStringLiteral("SELECT Pech FROM Pech WHERE Date = ? AND ShopID = ? AND ValID = 1"),
                           {db().dateParam(d), shop});
    }

    // Lists every appliance received this year and makes id the current row.
    bool select(qint64 id) {
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(1);
        ui::control<QDateEdit>(m_w, "FromDate")->setDate(QDate(2026, 1, 1));
        ui::control<QDateEdit>(m_w, "ToDate")->setDate(Clock::today());
        ui::button(m_w, "btnRefresh")->click();
        return m_w->locateItem(id) && m_w->currentItemId() == id;
    }

    // Intake through the toolbar command: shop chosen by name, fields typed.
    qint64 intake(const QString& shop, const QString& art, const QString& dlv, const QString& sale, bool payNow,
                  bool print = false) {
        onModal<ShopChooser>([shop](ShopChooser* d) {
            ui::combo(d, "cmbShop")->setCurrentIndex(ui::combo(d, "cmbShop")->findText(shop));
            ui::button(d, "BitBtn1")->click();
        });
        onModal<IntakeDialog>([=](IntakeDialog* d) {
            ui::edit(d, "eArt")->setText(art);
            ui::edit(d, "eSN")->setText(QStringLiteral("SN-1"));
            ui::edit(d, "eDlvPrice")->setText(dlv);
            ui::edit(d, "eSalePrice")->setText(sale);
            ui::check(d, "chkPayed")->setChecked(payNow);
            ui::edit(d, "eNames")->setText(QStringLiteral("Иван Петров"));
            ui::edit(d, "eAdres")->setText(QStringLiteral("София, ул. Шипка 3"));
            ui::edit(d, "eEGN")->setText(QStringLiteral("7501124567"));
            ui::check(d, "chkPrn")->setChecked(print);
            ui::button(d, "btnOk")->click();
        });
        const qint64 before = m_w->currentItemId();
        m_w->takeInItem();
        const qint64 id = m_w->currentItemId();
        return id == before ? -1 : id;
    }

    void sell(qint64 id, const QString& price) {
        QVERIFY(select(id));
        onModal<SaleDialog>([price](SaleDialog* d) {
            ui::edit(d, "ePrice")->setText(price);
            ui::edit(d, "eNames")->setText(QStringLiteral("Купувач Купувачев"));
            ui::edit(d, "eAdres")->setText(QStringLiteral("Пловдив"));
            ui::check(d, "chkPrn")->setChecked(false);
            ui::button(d, "btnOk")->click();
        });
        m_w->sellCurrentItem();
        QVERIFY(item(id).saled);
    }

    void pay(qint64 id, const QString& amount) {
        QVERIFY(select(id));
        onModal<PayoutDialog>([amount](PayoutDialog* d) {
            ui::edit(d, "ePrice")->setText(amount);
            ui::button(d, "btnOk")->click();
        });
        m_w->payOutCurrentItem();
        QVERIFY(item(id).payed);
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        m_out = testenv::tempDir();
        PrintService::setScripted(true, m_out->path());
    }
    void init() {
        Clock::set(QDateTime(kDay1, QTime(10, 0)));
        MessageService::clearShown();
        m_dir = testenv::tempDir();
        {
            Database fresh;
            QString error;
            QVERIFY2(suite::createDatabase(fresh, m_dir->path(), &error), qPrintable(error));
            suite::fillDemoMasterData(fresh);
        }
        suite::writeSettings(m_dir->path());
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        QVERIFY(m_w->isReady());
        m_w->setLoggedIn(3, QStringLiteral("Петър Димитров"), 0);
        m_w->createDialogs();
        m_w->show();
    }
    void cleanup() {
        Database::failStatement(0);
        m_w.reset();
    }

    void intakeSalePayout() {
        const qint64 id = intake(QStringLiteral("Младост"), QStringLiteral("Пералня Bosch"), "100", "150", false);
        QVERIFY(id > 0);
        const Item in = item(id);
        QCOMPARE(in.idShop, 2);
        QCOMPARE(in.dogNo, 1);
        QCOMPARE(in.dateGet, kDay1);
        QVERIFY(!in.payed && !in.saled);
        QCOMPARE(count("SELECT COUNT(*) FROM KASA"), 0);

        sell(id, "160");
        QCOMPARE(value("SELECT InSum FROM KASA WHERE ShopID = 2"), 160.0);
        QCOMPARE(value("SELECT UserID FROM KASA WHERE ShopID = 2"), 3.0);
        QCOMPARE(turnover(kDay1, 2), 160.0);
        QVERIFY(profit(kDay1, 2).isNull()); // not paid yet

        Clock::set(QDateTime(kDay2, QTime(9, 0)));
        pay(id, "100");
        const Item out = item(id);
        QVERIFY(out.saled && out.payed);
        QCOMPARE(out.datePay, kDay2);
        QCOMPARE(value("SELECT OutSum FROM KASA WHERE OutSum > 0"), 100.0);
        QCOMPARE(value("SELECT Sum FROM Expenses"), 100.0);
        QCOMPARE(profit(kDay2, 2).toDouble(), 60.0); // booked on the payout day
        // Sold and paid: only the annulment is offered.
        QVERIFY(select(id));
        QVERIFY(!ui::action(m_w, "mnSale")->isEnabled() && !ui::action(m_w, "mnPay")->isEnabled() &&
                ui::action(m_w, "mnAnul")->isEnabled());
    }

    void intakeWithImmediatePayoutThenSale() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Хладилник LIEBHERR"), "420", "600", true);
        QVERIFY(id > 0);
        const Item in = item(id);
        QVERIFY(in.payed);
        QCOMPARE(in.datePay, kDay1);
        QCOMPARE(value("SELECT OutSum FROM KASA"), 420.0);
        QCOMPARE(db().scalar("SELECT Note FROM Expenses").toString(),
                 QStringLiteral("По договор №1 - Хладилник LIEBHERR"));
        sell(id, "600");
        QCOMPARE(profit(kDay1, 1).toDouble(), 180.0); // booked by the sale
        QCOMPARE(count("SELECT COUNT(*) FROM KASA"), 2);
    }

    void saleAnnulmentSaleAgain() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Фурна Samsung"), "65.50", "99.99", false);
        sell(id, "99.99");
        QVERIFY(select(id));
        MessageService::queueAnswer(QMessageBox::Yes);
        m_w->annulCurrentSale();
        QCOMPARE(MessageService::shown().last().caption, QStringLiteral("Анулиране"));
        const Item back = item(id);
        QVERIFY(!back.saled);
        QVERIFY(!back.dateSale.isValid());
        QCOMPARE(back.clientNames, QString());
        QCOMPARE(back.salePrice, Cents(9999));
        QCOMPARE(turnover(kDay1, 1), 0.0); // the row stays at 0
        QCOMPARE(db().scalar("SELECT Note FROM Expenses").toString(),
                 QStringLiteral("Анулиране на прод. 2-ра употреба - дог. №1"));
        QVERIFY(select(id));
        QVERIFY(ui::action(m_w, "mnSale")->isEnabled() && !ui::action(m_w, "mnAnul")->isEnabled());
        sell(id, "95");
        QCOMPARE(turnover(kDay1, 1), 95.0);
        QCOMPARE(count("SELECT COUNT(*) FROM Prihod"), 2);
    }

    void annulmentOnALaterDay() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Ютия Rowenta"), "35", "50", true);
        sell(id, "50");
        QCOMPARE(profit(kDay1, 1).toDouble(), 15.0);
        Clock::set(QDateTime(kDay2, QTime(16, 30)));
        QVERIFY(select(id));
        MessageService::queueAnswer(QMessageBox::Yes);
        m_w->annulCurrentSale();
        QCOMPARE(db().scalar("SELECT Date FROM KASA WHERE Note = ?", {ops::annulNote()}).toDate(), kDay2);
        QCOMPARE(turnover(kDay1, 1), 0.0);
        QVERIFY(profit(kDay1, 1).isNull()); // netted to zero: deleted
        QCOMPARE(count("SELECT COUNT(*) FROM oborot WHERE Date = ?", {db().dateParam(kDay2)}), 0);
        QVERIFY(item(id).payed); // the payout stays
    }

    void payoutOfAnotherAmount() {
        const qint64 id = intake(QStringLiteral("Младост"), QStringLiteral("Миксер Tefal"), "20", "30", false);
        sell(id, "30");
        pay(id, "25");
        QCOMPARE(value("SELECT OutSum FROM KASA WHERE OutSum > 0"), 20.0); // as stored before
        QCOMPARE(value("SELECT Sum FROM Expenses"), 25.0);                 // as entered
        QCOMPARE(profit(kDay1, 2).toDouble(), 10.0);                       // with the stored price
        QCOMPARE(item(id).dlvPrice, Cents(2500));
    }

    void payoutCancelledStillRefreshes() {
        const qint64 id = intake(QStringLiteral("Младост"), QStringLiteral("Тостер"), "20", "30", false);
        QVERIFY(select(id));
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(0); // the register goes stale
        QVERIFY(ui::button(m_w, "btnRefresh")->isEnabled());
        onModal<PayoutDialog>([](PayoutDialog* d) { ui::button(d, "btnCancel")->click(); });
        m_w->payOutCurrentItem();
        QVERIFY(!item(id).payed);
        QVERIFY(!ui::button(m_w, "btnRefresh")->isEnabled()); // built again
    }

    void f2WhileSaleIsOff() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Бойлер Елдом"), "100", "150", false);
        sell(id, "150");
        QVERIFY(select(id));
        QVERIFY(!ui::action(m_w, "mnSale")->isEnabled());
        const int kasa = count("SELECT COUNT(*) FROM KASA");
        ui::action(m_w, "keyF2")->trigger(); // no dialog opens: it would block this test
        QCOMPARE(count("SELECT COUNT(*) FROM KASA"), kasa);
        QVERIFY(MessageService::shown().isEmpty());
    }

    void itemGoneFromAnotherWorkstation() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Прахосмукачка"), "40", "60", false);
        QVERIFY(select(id));
        QVERIFY(ops::returnItem(ops::Context{db(), 5}, id).ok()); // the other workstation
        const QStringList before = OpsFixture::snapshotOf(db());
        m_w->sellCurrentItem();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(OpsFixture::snapshotOf(db()), before);
        QVERIFY(!m_w->locateItem(id)); // the register was built again
    }

    void intakeCancelledAtEitherStep() {
        const int items = count("SELECT COUNT(*) FROM resale");
        onModal<ShopChooser>([](ShopChooser* d) { ui::button(d, "BitBtn2")->click(); });
        m_w->takeInItem();
        onModal<ShopChooser>([](ShopChooser* d) { ui::button(d, "BitBtn1")->click(); });
        onModal<IntakeDialog>([](IntakeDialog* d) {
            ui::edit(d, "eArt")->setText(QStringLiteral("Нещо"));
            ui::button(d, "btnCancel")->click();
        });
        m_w->takeInItem();
        QCOMPARE(count("SELECT COUNT(*) FROM resale"), items);
    }

    void intakePrintsAndReprintsTheContract() {
        QString shown;
        onModal<ConsignmentContractWindow>([&shown](ConsignmentContractWindow* d) {
            shown = ui::control<QTextEdit>(d, "RichView1")->toPlainText();
            d->reject();
        });
        const qint64 id =
            intake(QStringLiteral("Пловдив - Тракия"), QStringLiteral("Климатик Daikin"), "300", "450", false, true);
        QVERIFY(id > 0);
        QVERIFY(shown.contains(QStringLiteral("Климатик Daikin")));
        QVERIFY(shown.contains(QStringLiteral("Иван Петров")));
        // A later price change shows in the reprint.
        QVERIFY(select(id));
        onModal<PriceChangeDialog>([](PriceChangeDialog* d) {
            ui::edit(d, "eSalePrice")->setText(QStringLiteral("480"));
            ui::button(d, "btnOk")->click();
        });
        m_w->changeCurrentPrices();
        QCOMPARE(item(id).salePrice, Cents(48000));
        QCOMPARE(m_w->currentItemId(), id); // stays the current row
        shown.clear();
        onModal<ConsignmentContractWindow>([&shown](ConsignmentContractWindow* d) {
            shown = ui::control<QTextEdit>(d, "RichView1")->toPlainText();
            d->reject();
        });
        m_w->reprintContract();
        QVERIFY(shown.contains(QStringLiteral("480.00")));
    }

    // The contract cannot be read (here the firm table cannot be read): the
    // window does not open with an empty contract; the clerk is told why.
    void contractWindowNotOpenedOnAFailedRead() {
        int opened = 0;
        QTimer watch;
        watch.setInterval(5);
        connect(&watch, &QTimer::timeout, [&opened] {
            if (auto* d = qobject_cast<ConsignmentContractWindow*>(QApplication::activeModalWidget())) {
                ++opened;
                d->reject();
            }
        });
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Миялна Beko"), "100", "150", false);
        QVERIFY(id > 0);
        db().exec(QStringLiteral("ALTER TABLE MyInfo RENAME TO MyInfo_away"));
        watch.start();
        QVERIFY(select(id));
        MessageService::clearShown();
        m_w->reprintContract();
        QCOMPARE(opened, 0);
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY2(MessageService::lastText().startsWith(QStringLiteral("Договорът не може да бъде показан")),
                 qPrintable(MessageService::lastText()));

        // The intake is made; only its contract is not shown.
        MessageService::clearShown();
        const qint64 second = intake(QStringLiteral("Център"), QStringLiteral("Фурна Zanussi"), "100", "150", false, true);
        QVERIFY(second > 0);
        QCOMPARE(item(second).art, QStringLiteral("Фурна Zanussi"));
        QCOMPARE(opened, 0);
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(MessageService::lastText().startsWith(QStringLiteral("Договорът не може да бъде показан")));
        db().exec(QStringLiteral("ALTER TABLE MyInfo_away RENAME TO MyInfo"));
        // Readable again: the reprint shows the contract.
        QVERIFY(select(id));
        m_w->reprintContract();
        watch.stop();
        QCOMPARE(opened, 1);
    }

    // After every operation the item stays the current row while the view
    // lists it; once it has left the view, the row that followed it.
    void registerKeepsItsPlace() {
        QList<qint64> ids;
        for (const char* art : {"Ауспух", "Бормашина", "Водна помпа", "Грил", "Дрелка"})
            ids << intake(QStringLiteral("Център"), QString::fromUtf8(art), "100", "150", false);
        for (qint64 id : ids)
            QVERIFY(id > 0);
        // The payout: the paid item is still received in the period.
        QVERIFY(select(ids[1]));
        onModal<PayoutDialog>([](PayoutDialog* d) { ui::button(d, "btnOk")->click(); });
        m_w->payOutCurrentItem();
        QVERIFY(item(ids[1]).payed);
        QCOMPARE(m_w->currentItemId(), ids[1]);
        // A cancelled payout rebuilds the register too, and keeps the place.
        QVERIFY(m_w->locateItem(ids[2]));
        onModal<PayoutDialog>([](PayoutDialog* d) { ui::button(d, "btnCancel")->click(); });
        m_w->payOutCurrentItem();
        QCOMPARE(m_w->currentItemId(), ids[2]);
        // A sale through the dialog to a buyer, without the printed contract.
        auto sell = [this] {
            onModal<SaleDialog>([](SaleDialog* d) {
                ui::edit(d, "eNames")->setText(QStringLiteral("Купувач"));
                ui::edit(d, "eAdres")->setText(QStringLiteral("Пловдив"));
                ui::check(d, "chkPrn")->setChecked(false);
                ui::button(d, "btnOk")->click();
            });
            m_w->sellCurrentItem();
        };
        // Sale and annulment in the same view: the item stays.
        QVERIFY(m_w->locateItem(ids[2]));
        sell();
        QVERIFY(item(ids[2]).saled);
        QCOMPARE(m_w->currentItemId(), ids[2]);
        MessageService::queueAnswer(QMessageBox::Yes);
        m_w->annulCurrentSale();
        QVERIFY(!item(ids[2]).saled);
        QCOMPARE(m_w->currentItemId(), ids[2]);

        // In the view of what is available, a sold item leaves: the next row.
        ui::combo(m_w, "cmbFilter")->setCurrentIndex(0);
        ui::button(m_w, "btnRefresh")->click();
        QVERIFY(m_w->locateItem(ids[2]));
        sell();
        QVERIFY(item(ids[2]).saled);
        QCOMPARE(m_w->currentItemId(), ids[3]);
        // A return: the row that followed; the last row's return, the one before.
        MessageService::queueAnswer(QMessageBox::Yes);
        m_w->returnCurrentItem();
        QVERIFY(!Item::load(db(), ids[3]));
        QCOMPARE(m_w->currentItemId(), ids[4]);
        MessageService::queueAnswer(QMessageBox::Yes);
        m_w->returnCurrentItem();
        QVERIFY(!Item::load(db(), ids[4]));
        QCOMPARE(m_w->currentItemId(), ids[1]);
        // The current row is the item itself, never a group's heading.
        GroupingGrid* grid = ui::control<GroupingGrid>(m_w, "grid");
        QVERIFY(!grid->model()->isGroup(grid->view()->currentIndex()));
    }

    // The return through the main window: the question; No leaves
    // everything as it was; Yes deletes the item and the register is built
    // again without it.
    void returnThroughTheMainWindow() {
        const qint64 id = intake(QStringLiteral("Младост"), QStringLiteral("Прахосмукачка Rowenta"), "40", "60", false);
        QVERIFY(select(id));
        const QStringList before = OpsFixture::snapshotOf(db());
        MessageService::clearShown();
        MessageService::queueAnswer(QMessageBox::No);
        m_w->returnCurrentItem();
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().text,
                 QStringLiteral("Моля потвърдете връщането на уреда.\nСлед потвърждение уредът ще бъде изтрит от базата данни"));
        QCOMPARE(MessageService::shown().first().caption, QStringLiteral("Връщане на уред"));
        QCOMPARE(OpsFixture::snapshotOf(db()), before);
        QCOMPARE(m_w->currentItemId(), id);
        MessageService::queueAnswer(QMessageBox::Yes);
        m_w->returnCurrentItem();
        QVERIFY(!Item::load(db(), id));
        QVERIFY(!m_w->locateItem(id));
        QCOMPARE(count("SELECT COUNT(*) FROM KASA") + count("SELECT COUNT(*) FROM Expenses"), 0);
    }

    // A sale at 0, allowed once the clerk answered Yes to the below-payout
    // question: takings of 0 in the cash book's InSum, turnover 0 added.
    void saleAtPriceZeroAnsweredYes() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Стар телевизор"), "50", "80", true);
        QVERIFY(select(id));
        onModal<SaleDialog>([](SaleDialog* d) {
            ui::edit(d, "ePrice")->setText(QStringLiteral("0"));
            ui::edit(d, "eNames")->setText(QStringLiteral("Купувач"));
            ui::edit(d, "eAdres")->setText(QStringLiteral("Пловдив"));
            ui::check(d, "chkPrn")->setChecked(false);
            MessageService::queueAnswer(QMessageBox::Yes);
            ui::button(d, "btnOk")->click();
        });
        m_w->sellCurrentItem();
        QVERIFY(item(id).saled);
        QCOMPARE(item(id).salePrice, Cents(0));
        QCOMPARE(count("SELECT COUNT(*) FROM KASA WHERE Note = ? AND InSum = 0 AND OutSum IS NULL",
                       {ops::saleKind()}),
                 1);
        QCOMPARE(turnover(kDay1, 1), 0.0);
        QCOMPARE(profit(kDay1, 1).toDouble(), -50.0);
    }

    void transferKeepsTheItemCurrent() {
        const qint64 id = intake(QStringLiteral("Център"), QStringLiteral("Телевизор"), "100", "200", false);
        QVERIFY(select(id));
        onModal<ShopChooser>([](ShopChooser* d) {
            ui::combo(d, "cmbShop")->setCurrentIndex(ui::combo(d, "cmbShop")->findText(QStringLiteral("Младост")));
            ui::button(d, "BitBtn1")->click();
        });
        m_w->transferCurrentItem();
        QCOMPARE(item(id).idShop, 2);
        QCOMPARE(m_w->currentItemId(), id);
    }
};

QTEST_MAIN(TestOpsLife)
#include "TestOpsLife.moc"
