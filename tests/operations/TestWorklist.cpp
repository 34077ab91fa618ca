// The owner's worklist on a small chain with known answers, on both engines:
// which unsold appliances have waited more than the chosen days (the day
// itself not yet), the oldest first, and what each shop owes its consignors.
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Operations.h"
#include "operations/Worklist.h"
#include "tests/support/DemoSuite.h"
#include "tests/support/Engines.h"
#include "tools/SuiteDatabase.h"

#include <QTest>

namespace {

const QDate kToday(2026, 3, 31);

} // namespace

class TestWorklist : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    QHash<QString, qint64> m_ids; // by art

    // Takes an appliance in on the day, days before today.
    qint64 takeIn(int shop, int daysAgo, const QString& art, money::Cents dlv, bool payNow = false) {
        Clock::set(QDateTime(kToday.addDays(-daysAgo), QTime(10, 0)));
        ops::IntakeInput in;
        in.shop = shop;
        in.dogNo = ops::proposeContractNumber(*m_db, shop);
        in.art = art;
        in.dlvPrice = dlv;
        in.salePrice = dlv * 3 / 2;
        in.payNow = payNow;
        in.names = QStringLiteral("Доверител на ") + art;
        in.adres = QStringLiteral("Адрес на ") + art;
        if (!ops::intake({*m_db, 2}, in).ok())
            return 0;
        const qint64 id = m_db->scalar(QStringLiteral("SELECT max(Id) FROM resale")).toLongLong();
        m_ids.insert(art, id);
        return id;
    }
    bool sell(const QString& art, int daysAgo) {
        Clock::set(QDateTime(kToday.addDays(-daysAgo), QTime(12, 0)));
        const qint64 id = m_ids.value(art);
        const money::Cents price = money::fromLeva(
            m_db->scalar(QStringLiteral("SELECT SalePrice FROM resale WHERE Id = ?"), {id}).toDouble());
        return ops::sale({*m_db, 2}, {id, price, QStringLiteral("Купувач"), {}, {}, {}}).ok();
    }
    bool pay(const QString& art, int daysAgo) {
        Clock::set(QDateTime(kToday.addDays(-daysAgo), QTime(15, 0)));
        const qint64 id = m_ids.value(art);
        const money::Cents dlv = money::fromLeva(
            m_db->scalar(QStringLiteral("SELECT DlvPrice FROM resale WHERE Id = ?"), {id}).toDouble());
        return ops::payout({*m_db, 2}, id, dlv).ok();
    }

    // Shops 1 to 4 of the demo chain. Unsold: taken in 400, 200, 91 (two in
    // one day), 90 and 10 days ago, one of them paid at intake. Sold but
    // unpaid: two of shop 3 and one of shop 1; sold and paid: one.
    bool fixture(const QString& engine) {
        m_ids.clear();
        m_dir = testenv::tempDir();
        m_db = std::make_unique<Database>();
        if (!newDemoSuite(engine, m_dir, *m_db))
            return false;
        const bool ok = takeIn(2, 91, QStringLiteral("Фурна 91 първа"), 4000) &&
                        takeIn(1, 400, QStringLiteral("Пералня 400"), 10000) &&
                        takeIn(4, 90, QStringLiteral("Миксер 90"), 2000) &&
                        takeIn(3, 200, QStringLiteral("Бойлер 200"), 8000, true) &&
                        takeIn(1, 91, QStringLiteral("Ютия 91 втора"), 1500) &&
                        takeIn(2, 10, QStringLiteral("Сешоар 10"), 1000) &&
                        takeIn(3, 500, QStringLiteral("Хладилник продаден"), 20000) &&
                        takeIn(3, 300, QStringLiteral("Телевизор продаден"), 15050) &&
                        takeIn(1, 120, QStringLiteral("Печка продадена"), 7001) &&
                        takeIn(2, 150, QStringLiteral("Климатик платен"), 30000) &&
                        sell(QStringLiteral("Хладилник продаден"), 30) && sell(QStringLiteral("Телевизор продаден"), 60) &&
                        sell(QStringLiteral("Печка продадена"), 5) && sell(QStringLiteral("Климатик платен"), 20) &&
                        pay(QStringLiteral("Климатик платен"), 19);
        Clock::set(QDateTime(kToday, QTime(9, 0)));
        return ok;
    }

private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void cleanup() { Clock::set({}); }

    // More than N days: the day N days ago is not yet listed, the day
    // before it is; the oldest first, one day's appliances as taken in.
    void waitingDays_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("days");
        QTest::addColumn<QStringList>("expected");
        const QStringList all{QStringLiteral("Пералня 400"), QStringLiteral("Бойлер 200"),
                              QStringLiteral("Фурна 91 първа"), QStringLiteral("Ютия 91 втора"),
                              QStringLiteral("Миксер 90"), QStringLiteral("Сешоар 10")};
        for (const char* engine : {"sqlite", "postgresql"}) {
            const QString e = QString::fromLatin1(engine);
            QTest::addRow("%s: 90 days (the default)", engine) << e << worklist::kDefaultDays << all.mid(0, 4);
            QTest::addRow("%s: 89 days", engine) << e << 89 << all.mid(0, 5);
            QTest::addRow("%s: 91 days", engine) << e << 91 << all.mid(0, 2);
            QTest::addRow("%s: 0 days", engine) << e << 0 << all;
            QTest::addRow("%s: 400 days", engine) << e << 400 << QStringList();
            QTest::addRow("%s: 399 days", engine) << e << 399 << all.mid(0, 1);
        }
    }
    void waitingDays() {
        QFETCH(QString, engine);
        QFETCH(int, days);
        QFETCH(QStringList, expected);
        if (!fixture(engine))
            return;
        const QList<worklist::Waiting> list = worklist::waiting(*m_db, kToday, days);
        QStringList arts;
        for (const worklist::Waiting& w : list) {
            arts << w.art;
            QVERIFY2(w.days > days, qPrintable(w.art));
            QCOMPARE(w.dateGet.daysTo(kToday), qint64(w.days));
            QCOMPARE(w.id, m_ids.value(w.art));
            QCOMPARE(w.consignor, QStringLiteral("Доверител на ") + w.art);
            QVERIFY(!w.shopName.isEmpty());
        }
        QCOMPARE(arts, expected);
        if (!list.isEmpty()) {
            QCOMPARE(list.first().days, 400);
            QCOMPARE(list.first().dlvPrice, 10000);
            QCOMPARE(list.first().salePrice, 15000);
            QCOMPARE(list.first().shop, 1);
        }
    }

    // Sold and unpaid, per shop in shop order, the longest owed first; the
    // sums per shop to the stotinka. Paid and unsold appliances are not owed.
    void owedPerShop_data() { addEngineRows(); }
    void owedPerShop() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const QList<worklist::Owed> owed = worklist::owed(*m_db, kToday);
        QStringList arts;
        for (const worklist::Owed& o : owed)
            arts << o.art;
        QCOMPARE(arts, (QStringList{QStringLiteral("Печка продадена"), QStringLiteral("Телевизор продаден"),
                                    QStringLiteral("Хладилник продаден")}));
        QCOMPARE(owed[0].shop, 1);
        QCOMPARE(owed[0].days, 5);
        QCOMPARE(owed[0].owed, 7001);
        QCOMPARE(owed[0].address, QStringLiteral("Адрес на Печка продадена"));
        QCOMPARE(owed[0].consignor, QStringLiteral("Доверител на Печка продадена"));
        QCOMPARE(owed[1].dateSale, kToday.addDays(-60));
        QCOMPARE(owed[1].days, 60);
        const QList<worklist::ShopOwed> shops = worklist::owedPerShop(owed);
        QCOMPARE(shops.size(), 2);
        QCOMPARE(shops[0].shop, 1);
        QCOMPARE(shops[0].items, 1);
        QCOMPARE(shops[0].owed, 7001);
        QCOMPARE(shops[1].shop, 3);
        QCOMPARE(shops[1].items, 2);
        QCOMPARE(shops[1].owed, 35050);
        QVERIFY(!shops[1].name.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestWorklist)
#include "TestWorklist.moc"
