// The register after each operation, changed in place (the item's row read
// with the register's own statement), against what building it anew shows:
// two main windows on one database, one changing its register in place, the
// other running the whole statement as before; after every operation both
// show the same groups, rows, sums, current row and commands.
#include "operations/ui/IntakeDialog.h"
#include "operations/ui/PayoutDialog.h"
#include "operations/ui/PriceChangeDialog.h"
#include "operations/ui/SaleDialog.h"
#include "operations/ui/ShopChooser.h"
#include "register/FindWindow.h"
#include "register/MainWindow.h"
#include "tests/opsui/OpsFixture.h"
#include "tests/support/Controls.h"
#include "tests/support/Engines.h"
#include "widgets/GridTableModel.h"
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
#include <QSignalSpy>
#include <QtTest>

using money::Cents;

namespace {
const QDate kDay1(2026, 3, 10); // the fixture's items
const QDate kDay2(2026, 3, 12); // the operations of the test

GroupingGrid* gridOf(MainWindow* w) { return ui::control<GroupingGrid>(w, "grid"); }

// Everything the register shows: each group row (with its sums, open or
// closed) and data row in display order, the footer, the current row, the
// item commands, "Обновяване" and the detail panels.
QStringList shown(MainWindow* w) {
    GroupingGrid* g = gridOf(w);
    GroupingModel* m = g->model();
    QStringList out;
    std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
        for (int r = 0; r < m->rowCount(parent); ++r) {
            const QModelIndex idx = m->index(r, 0, parent);
            if (m->isGroup(idx)) {
                out << QStringLiteral("group ") + m->groupText(idx) +
                           (g->view()->isExpanded(idx) ? QStringLiteral(" open") : QStringLiteral(" closed"));
                walk(idx);
            } else {
                QStringList cells;
                for (int c = 0; c < m->columnCount(); ++c)
                    cells << m->data(idx.siblingAtColumn(c)).toString();
                out << QStringLiteral("row ") + cells.join(QLatin1Char('|'));
            }
        }
    };
    walk(QModelIndex());
    QStringList footer;
    for (int c = 0; c < m->columnCount(); ++c)
        footer << m->footerText(c);
    out << QStringLiteral("footer ") + footer.join(QLatin1Char('|'));
    const QModelIndex current = g->view()->currentIndex();
    out << QStringLiteral("current %1 %2").arg(w->currentItemId()).arg(m->isGroup(current) ? "group" : "item");
    QString commands;
    for (const char* a : {"mnSale", "mnPay", "mnBack", "mnPrices", "mnMove", "mnAnul"})
        commands += ui::action(w, a)->isEnabled() ? QLatin1Char('+') : QLatin1Char('-');
    out << QStringLiteral("commands ") + commands;
    out << QStringLiteral("refresh %1").arg(ui::button(w, "btnRefresh")->isEnabled());
    for (const char* f : {"DlvNames", "DlvAdres", "DlvEGN", "DlvLK"})
        out << QStringLiteral("detail ") + w->detailText(QString::fromLatin1(f));
    return out;
}

} // namespace

class TestRegisterInPlace : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_out;
    std::unique_ptr<MainWindow> m_inPlace; // changes the register in place
    std::unique_ptr<MainWindow> m_whole;   // runs the whole statement after each operation
    QHash<QString, qint64> m_ids;          // by appliance

    Database& db() { return m_inPlace->db(); }
    Item item(qint64 id) { return Item::load(db(), id).value_or(Item{}); }

    // The demo shops and a few appliances in every state, made by the
    // operations themselves.
    bool fill(const QString& location) {
        Database fresh;
        QString error;
        if (!suite::createDatabase(fresh, location, &error)) {
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
            return false;
        }
        suite::fillDemoMasterData(fresh);
        Clock::set(QDateTime(kDay1, QTime(10, 0)));
        struct Start {
            const char* art;
            int shop;
            bool paid, sold;
        };
        const Start items[] = {
            {"Ауспух", 1, false, false},       {"Бормашина", 1, true, false}, {"Водна помпа", 2, false, false},
            {"Грил", 2, false, true},          {"Дрелка", 3, true, true},     {"Ел. кана", 4, false, false},
            {"Фритюрник", 3, false, true},     {"Гладачна дъска", 1, false, false},
        };
        for (const Start& s : items) {
            ops::IntakeInput in;
            in.shop = s.shop;
            in.dogNo = ops::proposeContractNumber(fresh, s.shop);
            in.art = QString::fromUtf8(s.art);
            in.dlvPrice = 10000 + 1000 * Cents(m_ids.size());
            in.salePrice = in.dlvPrice + 5050;
            in.payNow = s.paid;
            in.names = QStringLiteral("Иван Петров %1").arg(m_ids.size());
            in.adres = QStringLiteral("София, ул. Шипка %1").arg(m_ids.size());
            in.egn = QStringLiteral("750112456%1").arg(m_ids.size());
            in.lk = QStringLiteral("12345678%1").arg(m_ids.size());
            const ops::Result r = ops::intake(ops::Context{fresh, 1}, in);
            if (!r.ok()) {
                QTest::qFail(qPrintable(r.message), __FILE__, __LINE__);
                return false;
            }
            m_ids.insert(in.art, r.id);
            if (s.sold) {
                ops::SaleInput sale;
                sale.id = r.id;
                sale.price = in.salePrice;
                sale.names = QStringLiteral("Купувач");
                sale.adres = QStringLiteral("Пловдив");
                if (!ops::sale(ops::Context{fresh, 1}, sale).ok()) {
                    QTest::qFail("sale failed", __FILE__, __LINE__);
                    return false;
                }
            }
        }
        return true;
    }

    std::unique_ptr<MainWindow> window() {
        auto w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        if (!w->isReady())
            return nullptr;
        w->setLoggedIn(1, QStringLiteral("Администратор"), 0);
        w->createDialogs();
        w->show();
        return w;
    }

    // Both windows show view (and its period) and stand on the same item.
    void showView(int view, const QDate& from = {}, const QDate& to = {}) {
        for (MainWindow* w : {m_inPlace.get(), m_whole.get()}) {
            ui::combo(w, "cmbFilter")->setCurrentIndex(view);
            if (to.isValid())
                ui::control<QDateEdit>(w, "ToDate")->setDate(to);
            if (from.isValid())
                ui::control<QDateEdit>(w, "FromDate")->setDate(from);
            ui::button(w, "btnRefresh")->click();
        }
    }
    bool select(const QString& art) {
        const qint64 id = m_ids.value(art, -1);
        return m_inPlace->locateItem(id) && m_whole->locateItem(id) && m_inPlace->currentItemId() == id;
    }

    // One operation through the in-place window's own command (its dialogs
    // answered), then the other window's way of showing the same result;
    // both must show the same, and the first must not have read the whole
    // statement again.
    enum class Shown { Refresh, Rerun, NewItem };
    void operate(const QString& what, const std::function<void()>& command, Shown how) {
        const QStringList before = shown(m_inPlace.get());
        QCOMPARE(shown(m_whole.get()), before);
        const qint64 id = m_inPlace->currentItemId();
        auto* table = qobject_cast<GridTableModel*>(gridOf(m_inPlace.get())->model()->sourceModel());
        QSignalSpy resets(table, &QAbstractItemModel::modelReset);
        command();
        QVERIFY2(resets.isEmpty(), qPrintable(what + QStringLiteral(": the register was built anew")));
        switch (how) {
        case Shown::Refresh:
            m_whole->refreshKeeping(id);
            break;
        case Shown::Rerun:
            m_whole->rerunKeeping(id);
            break;
        case Shown::NewItem:
            m_whole->refreshShowing(db().scalar(QStringLiteral("SELECT MAX(Id) FROM resale")).toLongLong());
            break;
        }
        const QStringList after = shown(m_inPlace.get());
        if (after != shown(m_whole.get())) {
            qWarning() << what << "in place:" << after;
            qWarning() << what << "anew:    " << shown(m_whole.get());
        }
        QCOMPARE(after, shown(m_whole.get()));
        if (after == before)
            qWarning() << what << "unchanged:" << after;
        QVERIFY2(after != before || what.startsWith(QStringLiteral("unchanged")),
                 qPrintable(what + QStringLiteral(": nothing changed; ") + MessageService::lastText()));
    }

    // --- the seven operations, through the window's commands ---
    void intake(const QString& shop, const QString& art, bool listed = true) {
        operate(QString::fromUtf8(listed ? "intake " : "unchanged after the intake of ") + art,
                [&] {
                    onModal<ShopChooser>([shop](ShopChooser* d) {
                        ui::combo(d, "cmbShop")->setCurrentIndex(ui::combo(d, "cmbShop")->findText(shop));
                        ui::button(d, "BitBtn1")->click();
                    });
                    onModal<IntakeDialog>([art](IntakeDialog* d) {
                        ui::edit(d, "eArt")->setText(art);
                        ui::edit(d, "eSN")->setText(QStringLiteral("SN-9"));
                        ui::edit(d, "eDlvPrice")->setText(QStringLiteral("70"));
                        ui::edit(d, "eSalePrice")->setText(QStringLiteral("99.90"));
                        ui::check(d, "chkPayed")->setChecked(false);
                        ui::edit(d, "eNames")->setText(QStringLiteral("Нов Доверител"));
                        ui::edit(d, "eAdres")->setText(QStringLiteral("Русе"));
                        ui::edit(d, "eEGN")->setText(QStringLiteral("7501124567"));
                        ui::check(d, "chkPrn")->setChecked(false);
                        ui::button(d, "btnOk")->click();
                    });
                    m_inPlace->takeInItem();
                },
                Shown::NewItem);
        m_ids.insert(art, db().scalar(QStringLiteral("SELECT MAX(Id) FROM resale")).toLongLong());
        QCOMPARE(item(m_ids.value(art)).art, art);
    }
    void sell(const QString& art) {
        QVERIFY(select(art));
        operate(QStringLiteral("sale ") + art,
                [&] {
                    onModal<SaleDialog>([](SaleDialog* d) {
                        ui::edit(d, "ePrice")->setText(QStringLiteral("180"));
                        ui::edit(d, "eNames")->setText(QStringLiteral("Купувач Купувачев"));
                        ui::edit(d, "eAdres")->setText(QStringLiteral("Пловдив"));
                        ui::check(d, "chkPrn")->setChecked(false);
                        ui::button(d, "btnOk")->click();
                    });
                    m_inPlace->sellCurrentItem();
                },
                Shown::Refresh);
        QVERIFY(item(m_ids.value(art)).saled);
    }
    void pay(const QString& art) {
        QVERIFY(select(art));
        operate(QStringLiteral("payout ") + art,
                [&] {
                    onModal<PayoutDialog>([](PayoutDialog* d) { ui::button(d, "btnOk")->click(); });
                    m_inPlace->payOutCurrentItem();
                },
                Shown::Refresh);
        QVERIFY(item(m_ids.value(art)).payed);
    }
    void annul(const QString& art) {
        QVERIFY(select(art));
        operate(QStringLiteral("annulment ") + art,
                [&] {
                    MessageService::queueAnswer(QMessageBox::Yes);
                    m_inPlace->annulCurrentSale();
                },
                Shown::Refresh);
        QVERIFY(!item(m_ids.value(art)).saled);
    }
    void giveBack(const QString& art) {
        QVERIFY(select(art));
        operate(QStringLiteral("return ") + art,
                [&] {
                    MessageService::queueAnswer(QMessageBox::Yes);
                    m_inPlace->returnCurrentItem();
                },
                Shown::Refresh);
        QVERIFY(!Item::load(db(), m_ids.value(art)));
    }
    void changePrices(const QString& art, const QString& dlv, const QString& sale) {
        QVERIFY(select(art));
        operate(QStringLiteral("price change ") + art,
                [&] {
                    onModal<PriceChangeDialog>([dlv, sale](PriceChangeDialog* d) {
                        if (ui::edit(d, "eDlvPrice")->isEnabled())
                            ui::edit(d, "eDlvPrice")->setText(dlv);
                        ui::edit(d, "eSalePrice")->setText(sale);
                        ui::button(d, "btnOk")->click();
                    });
                    m_inPlace->changeCurrentPrices();
                },
                Shown::Rerun);
        QCOMPARE(item(m_ids.value(art)).salePrice, money::fromLeva(sale.toDouble()));
    }
    void transfer(const QString& art, const QString& shop) {
        QVERIFY(select(art));
        operate(QStringLiteral("transfer ") + art,
                [&] {
                    onModal<ShopChooser>([shop](ShopChooser* d) {
                        QComboBox* shops = ui::combo(d, "cmbShop");
                        if (shops->findText(shop) < 0)
                            qWarning() << "no" << shop << "among the shops";
                        shops->setCurrentIndex(shops->findText(shop));
                        ui::button(d, "BitBtn1")->click();
                    });
                    m_inPlace->transferCurrentItem();
                },
                Shown::Rerun);
        QCOMPARE(db().scalar(QStringLiteral("SELECT Name FROM Shops WHERE ID = ?"), {item(m_ids.value(art)).idShop})
                     .toString(),
                 shop);
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        m_out = testenv::tempDir();
        PrintService::setScripted(true, m_out->path());
    }
    void init() { MessageService::clearShown(); }
    void cleanup() {
        m_inPlace.reset();
        m_whole.reset();
        m_ids.clear();
    }

    void inPlaceEqualsFullRefresh_data() { addEngineRows(); }
    void inPlaceEqualsFullRefresh() {
        QFETCH(QString, engine);
        m_dir = testenv::tempDir();
        QString location;
        ENGINE_LOCATION(engine, m_dir, location);
        QVERIFY(fill(location));
        suite::writeSettings(location);
        m_inPlace = window();
        m_whole = window();
        QVERIFY(m_inPlace && m_whole);
        m_whole->setInPlaceUpdates(false);
        QVERIFY(m_inPlace->inPlaceUpdates());
        Clock::set(QDateTime(kDay2, QTime(11, 0)));
        const QString center = QStringLiteral("Център"), mladost = QStringLiteral("Младост"),
                      plovdiv = QStringLiteral("Пловдив - Тракия");

        // The unsold items: a new item enters; a transfer takes the only
        // item of a shop to another one (its group goes); a sale takes the
        // item out, the row that followed becomes current; a return too.
        showView(0);
        intake(plovdiv, QStringLiteral("Абажур"));
        changePrices(QStringLiteral("Ауспух"), QStringLiteral("95"), QStringLiteral("140"));
        transfer(QStringLiteral("Ел. кана"), mladost);
        transfer(QStringLiteral("Водна помпа"), plovdiv);
        pay(QStringLiteral("Ауспух"));
        sell(QStringLiteral("Ауспух"));
        giveBack(QStringLiteral("Водна помпа"));
        giveBack(QStringLiteral("Абажур")); // its shop's only unsold item: the group goes
        // The last row of the register leaves: the one before it follows.
        {
            GroupingModel* m = gridOf(m_inPlace.get())->model();
            const QModelIndex lastGroup = m->index(m->rowCount() - 1, 0);
            const QModelIndex last = m->index(m->rowCount(lastGroup) - 1, 0, lastGroup);
            const int row = m->sourceRow(last);
            auto* table = qobject_cast<GridTableModel*>(m->sourceModel());
            const qint64 id = table->value(row, table->columnIndex(QStringLiteral("Id"))).toLongLong();
            QVERIFY(m_inPlace->locateItem(id));
            QVERIFY(m_whole->locateItem(id));
            operate(QStringLiteral("sale of the last row"),
                    [&] {
                        onModal<SaleDialog>([](SaleDialog* d) {
                            ui::edit(d, "eNames")->setText(QStringLiteral("Купувач"));
                            ui::edit(d, "eAdres")->setText(QStringLiteral("Варна"));
                            ui::check(d, "chkPrn")->setChecked(false);
                            ui::button(d, "btnOk")->click();
                        });
                        m_inPlace->sellCurrentItem();
                    },
                    Shown::Refresh);
        }

        // Every item taken in this year: all seven operations keep their item
        // listed except the return; a new shop group appears with a transfer.
        showView(1, QDate(2026, 1, 1), kDay2);
        intake(center, QStringLiteral("Бойлер"));
        sell(QStringLiteral("Бойлер"));
        pay(QStringLiteral("Бойлер"));
        annul(QStringLiteral("Бойлер"));
        changePrices(QStringLiteral("Бойлер"), QStringLiteral("60"), QStringLiteral("85.50"));
        transfer(QStringLiteral("Бойлер"), QStringLiteral("Битова техника Варна Приморски"));
        transfer(QStringLiteral("Бормашина"), mladost);
        intake(mladost, QStringLiteral("Кафеварка"));
        giveBack(QStringLiteral("Кафеварка"));
        // A cancelled payout shows the register as it was.
        QVERIFY(select(QStringLiteral("Гладачна дъска"))); // sold, not paid
        operate(QStringLiteral("unchanged after a cancelled payout"),
                [&] {
                    onModal<PayoutDialog>([](PayoutDialog* d) { ui::button(d, "btnCancel")->click(); });
                    m_inPlace->payOutCurrentItem();
                },
                Shown::Refresh);
        // A new item in a period that ends before today is not listed: the
        // first row is current, as after building the register anew.
        showView(1, QDate(2026, 1, 1), kDay1);
        intake(center, QStringLiteral("Вентилатор"), false);

        // Sold in a period: the annulment takes the item out of it.
        showView(2, kDay1, kDay2);
        annul(QStringLiteral("Грил"));
        pay(QStringLiteral("Фритюрник"));
        annul(QStringLiteral("Фритюрник"));

        // Not paid: the payout takes the item out; the sale keeps it.
        showView(5);
        sell(QStringLiteral("Грил"));
        pay(QStringLiteral("Грил"));
        sell(QStringLiteral("Вентилатор"));
        annul(QStringLiteral("Вентилатор"));

        // Grouped by shop and, inside, by "Изплатен": the payout moves its
        // row to the other inner group (made for it), a sale sorted by price.
        showView(1, QDate(2026, 1, 1), kDay2);
        for (MainWindow* w : {m_inPlace.get(), m_whole.get()}) {
            GroupingGrid* g = gridOf(w);
            QVERIFY(g->groupBy(g->columnByName(QStringLiteral("gridPayed"))));
            g->sortByColumn(g->columnByName(QStringLiteral("gridSPrice")), false);
        }
        pay(QStringLiteral("Вентилатор"));
        sell(QStringLiteral("Бойлер"));
        changePrices(QStringLiteral("Ел. кана"), QStringLiteral("5"), QStringLiteral("7"));
        for (MainWindow* w : {m_inPlace.get(), m_whole.get()}) {
            GroupingGrid* g = gridOf(w);
            g->resetArrangement(); // grouped by shop alone, in the default order
        }

        // A find result stays after a price change and a transfer.
        showView(0);
        for (MainWindow* w : {m_inPlace.get(), m_whole.get()}) {
            ui::action(w, "mnFind")->trigger();
            auto* f = ui::control<FindWindow>(w, "TfrmFind");
            ui::combo(f, "cmbField")->setCurrentIndex(0);
            ui::combo(f, "cmbWay")->setCurrentIndex(1);
            ui::edit(f, "eString")->setText(QStringLiteral("кана"));
            f->search();
        }
        changePrices(QStringLiteral("Ел. кана"), QStringLiteral("6"), QStringLiteral("8"));
        transfer(QStringLiteral("Ел. кана"), center);
        QCOMPARE(gridOf(m_inPlace.get())->rowCount(), 1);
    }

    // Where the register shows something else than the chosen view would
    // give (the view changed, "Обновяване" not pressed), the operation
    // builds it anew, as before.
    void staleViewIsBuiltAnew() {
        m_dir = testenv::tempDir();
        QVERIFY(fill(m_dir->path()));
        suite::writeSettings(m_dir->path());
        m_inPlace = window();
        QVERIFY(m_inPlace);
        Clock::set(QDateTime(kDay2, QTime(11, 0)));
        QVERIFY(m_inPlace->locateItem(m_ids.value(QStringLiteral("Ауспух"))));
        ui::combo(m_inPlace, "cmbFilter")->setCurrentIndex(5);
        auto* table = qobject_cast<GridTableModel*>(gridOf(m_inPlace.get())->model()->sourceModel());
        QSignalSpy resets(table, &QAbstractItemModel::modelReset);
        onModal<PayoutDialog>([](PayoutDialog* d) { ui::button(d, "btnOk")->click(); });
        m_inPlace->payOutCurrentItem();
        QVERIFY(!resets.isEmpty());
        QVERIFY(!ui::button(m_inPlace, "btnRefresh")->isEnabled());
        // The unpaid items, without the one just paid.
        QVERIFY(!m_inPlace->locateItem(m_ids.value(QStringLiteral("Ауспух"))));
        QVERIFY(m_inPlace->locateItem(m_ids.value(QStringLiteral("Грил"))));
    }
};

QTEST_MAIN(TestRegisterInPlace)
#include "TestRegisterInPlace.moc"
