// Turnover and profit per shop and day or month, read from the daily tables
// and checked against the bookings: a small history with known answers on
// both engines, and differences planted in the daily rows.
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Operations.h"
#include "operations/TurnoverReport.h"
#include "tests/support/DemoSuite.h"
#include "tests/support/Engines.h"
#include "tools/SuiteDatabase.h"

#include <QTest>

using turnover::Difference;
using turnover::Step;

namespace {

QDateTime at(int month, int day) { return QDateTime(QDate(2026, month, day), QTime(10, 0)); }

// "shop|period|turnover|profit" per row, to compare whole reports at once.
QStringList rowsText(const turnover::Report& r) {
    QStringList out;
    for (const turnover::Row& row : r.rows)
        out << QStringLiteral("%1|%2|%3|%4")
                   .arg(row.shopName, turnover::periodText(row.period, r.step), QString::number(row.turnover),
                        QString::number(row.profit));
    return out;
}

} // namespace

class TestTurnover : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;

    // Център (1) and Младост (2):
    //  02.11 intake A (Център, 50/90, paid at once), B (Център, 40/70),
    //        C (Младост, 100/150), D (Младост, 20/30);
    //  03.11 A sold for 95 (profit 45), B sold for 70, C sold for 150;
    //  10.11 B paid 40 (profit 30), the sale of C annulled (03.11 back to 0);
    //  01.12 D sold for 30, then paid 25 instead of 20 (profit 10, booked
    //        with the stored price).
    bool fixture(const QString& engine) {
        m_dir = testenv::tempDir();
        m_db = std::make_unique<Database>();
        if (!newDemoSuite(engine, m_dir, *m_db))
            return false;
        const ops::Context c{*m_db, 1};
        auto take = [&](int shop, money::Cents dlv, money::Cents sale, bool payNow) {
            ops::IntakeInput in;
            in.shop = shop;
            in.dogNo = ops::proposeContractNumber(*m_db, shop);
            in.art = QStringLiteral("Уред");
            in.dlvPrice = dlv;
            in.salePrice = sale;
            in.payNow = payNow;
            in.names = in.adres = QStringLiteral("Х");
            in.egn = QStringLiteral("0000000000");
            return ops::intake(c, in).id;
        };
        auto sell = [&](qint64 id, money::Cents price) {
            return ops::sale(c, {id, price, QStringLiteral("К"), QStringLiteral("А"), {}, {}}).ok();
        };
        Clock::set(at(11, 2));
        const qint64 a = take(1, 5000, 9000, true), b = take(1, 4000, 7000, false), cc = take(2, 10000, 15000, false),
                     d = take(2, 2000, 3000, false);
        Clock::set(at(11, 3));
        bool ok = a > 0 && b > 0 && cc > 0 && d > 0 && sell(a, 9500) && sell(b, 7000) && sell(cc, 15000);
        Clock::set(at(11, 10));
        ok = ok && ops::payout(c, b, 4000).ok() && ops::annul(c, cc).ok();
        Clock::set(at(12, 1));
        ok = ok && sell(d, 3000) && ops::payout(c, d, 2500).ok();
        Clock::set({});
        return ok;
    }

private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void cleanup() { Clock::set({}); }

    void perDayAndMonth_data() { addEngineRows(); }
    void perDayAndMonth() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const turnover::Report days = turnover::build(*m_db, QDate(2026, 11, 1), QDate(2026, 12, 31), Step::Day);
        QCOMPARE(rowsText(days), (QStringList{"Младост|03.11.2026|0|0", "Младост|01.12.2026|3000|1000",
                                              "Център|03.11.2026|16500|4500", "Център|10.11.2026|0|3000"}));
        QCOMPARE(days.turnover, 19500);
        QCOMPARE(days.profit, 8500);
        QCOMPARE(days.periods.size(), 61);
        QCOMPARE(days.shops, (QList<int>{2, 1}));
        QCOMPARE(days.chainTurnover(QDate(2026, 11, 3)), 16500);
        QCOMPARE(days.chainProfit(QDate(2026, 12, 1)), 1000);
        // The books agree, the payout of another amount included.
        QVERIFY2(days.differences.isEmpty(), qPrintable(turnover::differenceText(days.differences.value(0))));

        const turnover::Report months = turnover::build(*m_db, QDate(2026, 11, 1), QDate(2026, 12, 31), Step::Month);
        QCOMPARE(rowsText(months),
                 (QStringList{"Младост|11.2026|0|0", "Младост|12.2026|3000|1000", "Център|11.2026|16500|7500"}));
        QCOMPARE(months.periods, (QList<QDate>{QDate(2026, 11, 1), QDate(2026, 12, 1)}));
        QCOMPARE(months.turnover, 19500);

        // A period inside: only its days.
        const turnover::Report one = turnover::build(*m_db, QDate(2026, 11, 4), QDate(2026, 11, 30), Step::Day);
        QCOMPARE(rowsText(one), QStringList{"Център|10.11.2026|0|3000"});
        QVERIFY(one.differences.isEmpty());
    }

    // A daily row that differs from the bookings is named: which shop, which
    // day, what the table holds and what the bookings give.
    void differencesShown_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("plant");
        QTest::addColumn<int>("what");
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QDate>("day");
        QTest::addColumn<qint64>("recorded");
        QTest::addColumn<qint64>("booked");
        for (const QString& engine : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
            auto row = [&](const char* name) { return &(QTest::newRow(qPrintable(engine + ":" + name)) << engine); };
            *row("turnover too high")
                << "UPDATE oborot SET \"1\" = \"1\" + 10 WHERE idShop = 1 AND Date = '2026-11-03'"
                << int(Difference::What::Turnover) << "Център" << QDate(2026, 11, 3) << qint64(17500) << qint64(16500);
            *row("turnover without sales")
                << "INSERT INTO oborot (Date, idShop, \"1\") VALUES ('2026-11-05', 3, 12.34)"
                << int(Difference::What::Turnover) << "Пловдив - Тракия" << QDate(2026, 11, 5) << qint64(1234)
                << qint64(0);
            *row("annulment not taken back")
                << "UPDATE oborot SET \"1\" = 150 WHERE idShop = 2 AND Date = '2026-11-03'"
                << int(Difference::What::Turnover) << "Младост" << QDate(2026, 11, 3) << qint64(15000) << qint64(0);
            *row("profit row missing") << "DELETE FROM Pech WHERE ShopID = 1 AND Date = '2026-11-10'"
                                       << int(Difference::What::Profit) << "Център" << QDate(2026, 11, 10) << qint64(0)
                                       << qint64(3000);
            *row("profit off") << "UPDATE Pech SET Pech = 9.99 WHERE ShopID = 2 AND Date = '2026-12-01'"
                               << int(Difference::What::Profit) << "Младост" << QDate(2026, 12, 1) << qint64(999)
                               << qint64(1000);
            *row("takings off in the cash book")
                << "UPDATE KASA SET InSum = 96 WHERE ShopID = 1 AND InSum = 95" << int(Difference::What::Takings)
                << "Център" << QDate(2026, 11, 3) << qint64(16600) << qint64(16500);
            *row("sale without its takings")
                << "DELETE FROM KASA WHERE ShopID = 2 AND InSum = 30" << int(Difference::What::Takings) << "Младост"
                << QDate(2026, 12, 1) << qint64(0) << qint64(3000);
        }
    }
    void differencesShown() {
        QFETCH(QString, engine);
        QFETCH(QString, plant);
        QFETCH(int, what);
        QFETCH(QString, shop);
        QFETCH(QDate, day);
        QFETCH(qint64, recorded);
        QFETCH(qint64, booked);
        if (!fixture(engine))
            return;
        m_db->exec(plant);
        for (Step step : {Step::Day, Step::Month}) {
            const turnover::Report r = turnover::build(*m_db, QDate(2026, 11, 1), QDate(2026, 12, 31), step);
            QCOMPARE(r.differences.size(), 1);
            const Difference& d = r.differences.first();
            QCOMPARE(int(d.what), what);
            QCOMPARE(d.shopName, shop);
            QCOMPARE(d.day, day);
            QCOMPARE(d.recorded, recorded);
            QCOMPARE(d.booked, booked);
            const QString text = turnover::differenceText(d);
            QVERIFY2(text.contains(shop) && text.contains(day.toString("dd.MM.yyyy")), qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("%1 лв.").arg(double(qAbs(recorded - booked)) / 100, 0, 'f', 2)),
                     qPrintable(text));
            // The table shows what the daily rows hold, not the bookings: the
            // day as recorded, the month as the sum of its recorded days.
            if (what == int(Difference::What::Takings))
                continue; // not a figure of the table
            auto shown = [&](const turnover::Report& report, const QDate& from, const QDate& to) {
                money::Cents sum = 0;
                for (const turnover::Row& row : report.rows)
                    if (row.shopName == shop && row.period >= from && row.period <= to)
                        sum += what == int(Difference::What::Turnover) ? row.turnover : row.profit;
                return sum;
            };
            if (step == Step::Day) {
                QCOMPARE(shown(r, day, day), recorded);
            } else {
                const QDate first = turnover::periodOf(day, step);
                const turnover::Report days =
                    turnover::build(*m_db, QDate(2026, 11, 1), QDate(2026, 12, 31), Step::Day);
                QCOMPARE(shown(r, first, first), shown(days, first, first.addMonths(1).addDays(-1)));
            }
        }
        // Outside the period the difference is not this report's.
        QVERIFY(turnover::build(*m_db, QDate(2027, 1, 1), QDate(2027, 1, 31), Step::Day).differences.isEmpty());
    }

    void differenceInWords() {
        Difference d;
        d.shopName = "Център";
        d.day = QDate(2026, 11, 3);
        d.recorded = 17500;
        d.booked = 16500;
        QCOMPARE(turnover::differenceText(d),
                 QStringLiteral("Магазин Център, 03.11.2026: оборотът в таблицата е 175.00 лв., а според продажбите и "
                                "анулиранията в касовата книга и приходите трябва да е 165.00 лв. (повече с 10.00 лв.)"));
        d.what = Difference::What::Profit;
        d.recorded = 0;
        d.booked = 3000;
        QVERIFY(turnover::differenceText(d).contains("печалбата в таблицата е 0.00 лв."));
        QVERIFY(turnover::differenceText(d).endsWith("(по-малко с 30.00 лв.)"));
        d.what = Difference::What::Takings;
        QCOMPARE(turnover::differenceText(d), QStringLiteral("Магазин Център, 03.11.2026: продажбите в касовата книга са "
                                                             "0.00 лв., а в приходите - 30.00 лв. (в касовата книга "
                                                             "по-малко с 30.00 лв.)"));
    }
};

QTEST_MAIN(TestTurnover)
#include "TestTurnover.moc"
