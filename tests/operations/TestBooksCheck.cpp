// The books check for the owner: the reconciliation names each kind of
// breach planted in a small history, the report groups them by shop with
// totals, the demo shops' books agree, and kalvina-suite --check answers a
// nightly job with its exit code.
#include "db/Database.h"
#include "operations/BooksReport.h"
#include "operations/Invariants.h"
#include "operations/Operations.h"
#include "tests/support/DemoSuite.h"
#include "tests/support/Engines.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>

using Kind = invariants::Breach::Kind;
Q_DECLARE_METATYPE(Kind)

namespace {

bool hasKind(const QList<invariants::Breach>& breaches, Kind kind) {
    return std::any_of(breaches.cbegin(), breaches.cend(), [&](const invariants::Breach& b) { return b.kind == kind; });
}

QString texts(const QList<invariants::Breach>& breaches) {
    QStringList out;
    for (const invariants::Breach& b : breaches)
        out << b.text;
    return out.join(QLatin1Char('\n'));
}

} // namespace

class TestBooksCheck : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    QString m_location;
    qint64 m_sold = 0, m_paid = 0, m_moved = 0, m_untouched = 0;

    // Demo shops and clerks and a dozen appliances over four shops, then a
    // sale of a paid one, a sale and payout, a sale annulled, a payout and
    // an appliance moved to shop 3, on to 4 and back to 3.
    bool fixture(const QString& engine, bool withHistory = true) {
        m_dir = testenv::tempDir();
        m_db = std::make_unique<Database>();
        if (!newDemoSuite(engine, m_dir, *m_db, &m_location))
            return false;
        if (!withHistory)
            return true;
        const ops::Context c{*m_db, 2};
        QList<qint64> items;
        for (int i = 0; i < 12; ++i) {
            ops::IntakeInput in;
            in.shop = 1 + i % 4;
            in.dogNo = ops::proposeContractNumber(*m_db, in.shop);
            in.art = QStringLiteral("Уред %1").arg(i);
            in.dlvPrice = 5000 + i * 100;
            in.salePrice = 9000 + i * 100;
            in.payNow = i % 3 == 0;
            if (!ops::intake(c, in).ok())
                return false;
            items << m_db->scalar(QStringLiteral("SELECT max(Id) FROM resale")).toLongLong();
        }
        const bool ok = ops::sale(c, {items[0], 12000, QStringLiteral("К"), {}, {}, {}}).ok() &&
                        ops::sale(c, {items[1], 11000, QStringLiteral("К"), {}, {}, {}}).ok() &&
                        ops::payout(c, items[1], 5100).ok() &&
                        ops::sale(c, {items[2], 13000, QStringLiteral("К"), {}, {}, {}}).ok() &&
                        ops::annul(c, items[2]).ok() && ops::payout(c, items[4], 5400).ok() &&
                        ops::transfer(c, items[5], 3).ok() && ops::transfer(c, items[5], 4).ok() &&
                        ops::transfer(c, items[5], 3).ok();
        m_sold = items[1];
        m_paid = items[4];
        m_moved = items[5];
        m_untouched = items[6];
        return ok;
    }

    QString plant(QString sql) const {
        return sql.replace(QStringLiteral("{sold}"), QString::number(m_sold))
            .replace(QStringLiteral("{paid}"), QString::number(m_paid))
            .replace(QStringLiteral("{moved}"), QString::number(m_moved))
            .replace(QStringLiteral("{untouched}"), QString::number(m_untouched));
    }

    static QString suiteExe() { return QCoreApplication::applicationDirPath() + QStringLiteral("/kalvina-suite"); }

    static int runSuite(const QStringList& args, QString* out = nullptr, QString* err = nullptr) {
        QProcess p;
        p.start(suiteExe(), args);
        if (!p.waitForFinished(120000))
            return -1;
        if (out)
            *out = QString::fromUtf8(p.readAllStandardOutput());
        if (err)
            *err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private slots:
    void initTestCase() { testenv::isolateSettings(); }

    // One row per kind of breach the check knows, on both engines.
    void findsEachKind_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Kind>("kind");
        struct Row {
            const char* name;
            const char* fault;
            Kind kind;
        };
        const Row rows[] = {
            {"entry without contract", "UPDATE Prihod SET Note = 'Продажба' WHERE Id = (SELECT max(Id) FROM Prihod)",
             Kind::EntryWithoutContract},
            {"shared contract", "UPDATE resale SET DogNo = 1, IdShop = 1", Kind::SharedContract},
            {"moved between records",
             "UPDATE resale_moves SET FromShop = 1 WHERE Id = (SELECT max(Id) FROM resale_moves)",
             Kind::MovedBetweenRecords},
            {"moved after last record", "UPDATE resale SET IdShop = 2 WHERE Id = {moved}", Kind::MovedAfterLastRecord},
            {"cash row missing", "DELETE FROM KASA WHERE Id = (SELECT max(Id) FROM KASA WHERE InSum > 0)",
             Kind::CashRowsMissing},
            {"cash amount differs", "UPDATE KASA SET InSum = InSum + 1 WHERE Id = (SELECT max(Id) FROM KASA WHERE InSum > 0)",
             Kind::CashAmountsDiffer},
            {"sale without income",
             "UPDATE resale SET Saled = TRUE, Datesale = DateGet WHERE Id = {untouched}",
             Kind::SaleWithoutIncome},
            {"annulment without sale", "UPDATE Expenses SET Sum = Sum + 1 WHERE Note LIKE 'Анулиране%'",
             Kind::AnnulWithoutSale},
            {"income without sale", "DELETE FROM resale WHERE Id = {sold}", Kind::IncomeWithoutSale},
            {"payout without expense", "DELETE FROM Expenses WHERE Note LIKE 'По договор%'", Kind::PayoutWithoutExpense},
            {"expense without payout", "UPDATE resale SET Payed = FALSE WHERE Id = {paid}", Kind::ExpenseWithoutPayout},
            {"daily row doubled", "INSERT INTO oborot (Date, idShop, \"1\") SELECT Date, idShop, 0 FROM oborot",
             Kind::DailyRowDoubled},
            {"daily sum differs", "UPDATE Pech SET Pech = Pech + 1", Kind::DailySumDiffers},
        };
        for (const char* engine : {"sqlite", "postgresql"})
            for (const Row& r : rows)
                QTest::addRow("%s: %s", engine, r.name)
                    << QString::fromLatin1(engine) << QString::fromUtf8(r.fault) << r.kind;
    }
    void findsEachKind() {
        QFETCH(QString, engine);
        QFETCH(QString, fault);
        QFETCH(Kind, kind);
        if (!fixture(engine))
            return;
        const auto clean = invariants::findBreaches(*m_db);
        QVERIFY2(clean.isEmpty(), qPrintable(texts(clean)));
        QVERIFY(booksreport::run(*m_db, m_location).agree());
        m_db->exec(plant(fault));
        const auto breaches = invariants::findBreaches(*m_db);
        QVERIFY2(hasKind(breaches, kind), qPrintable(texts(breaches)));
        for (const invariants::Breach& b : breaches) {
            QVERIFY(!b.text.isEmpty());
            QVERIFY(!b.shopName.isEmpty());
            QVERIFY(b.amount >= 0);
        }
        // The report holds every breach once, under its shop.
        const booksreport::Report report = booksreport::run(*m_db, m_location);
        QVERIFY(!report.agree());
        QCOMPARE(report.breaches.size(), breaches.size());
        const QString text = report.text();
        for (const invariants::Breach& b : breaches)
            QVERIFY2(text.contains(b.text), qPrintable(text));
        int counted = 0;
        for (const booksreport::ShopTotals& s : report.shops) {
            counted += s.breaches;
            QVERIFY2(text.contains(QStringLiteral("Магазин %1: %2").arg(s.name, booksreport::breachCount(s.breaches))),
                     qPrintable(text));
        }
        QCOMPARE(counted, int(breaches.size()));
        QCOMPARE(invariants::check(*m_db).size(), breaches.size());
    }

    // Breaches of several shops: grouped per shop in shop order, counted and
    // summed per shop and for the chain.
    void groupsPerShop() {
        using invariants::Breach;
        const QList<Breach> found{
            {Kind::SaleWithoutIncome, 3, QStringLiteral("Тракия"), QStringLiteral("a"), 12000},
            {Kind::DailyRowDoubled, 1, QStringLiteral("Център"), QStringLiteral("b"), 0},
            {Kind::DailySumDiffers, 3, QStringLiteral("Тракия"), QStringLiteral("c"), 150},
            {Kind::CashRowsMissing, 1, QStringLiteral("Център"), QStringLiteral("d"), 5000},
            {Kind::SharedContract, 2, QStringLiteral("Юг"), QStringLiteral("e"), 0},
        };
        const auto r = booksreport::build(found, QStringLiteral("/x"), QDateTime(QDate(2026, 12, 11), QTime(3, 0)));
        QCOMPARE(r.shops.size(), 3);
        QCOMPARE(r.shops[0].shop, 1);
        QCOMPARE(r.shops[0].breaches, 2);
        QCOMPARE(r.shops[0].amount, 5000);
        QCOMPARE(r.shops[1].shop, 2);
        QCOMPARE(r.shops[1].amount, 0);
        QCOMPARE(r.shops[2].breaches, 2);
        QCOMPARE(r.shops[2].amount, 12150);
        QCOMPARE(r.totalAmount(), 17150);
        QStringList order;
        for (const Breach& b : r.breaches)
            order << b.text;
        QCOMPARE(order, (QStringList{"b", "d", "e", "a", "c"}));
        const QString text = r.text();
        QVERIFY(text.contains(QStringLiteral("Проверена на: 11.12.2026 03:00")));
        QVERIFY2(text.contains(QStringLiteral("Магазин Център: 2 разминавания за 50.00 лв.\n  1. b\n  2. d\n")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Магазин Юг: 1 разминаване\n  1. e\n")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Общо: 5 разминавания за 171.50 лв. в 3 магазина.")), qPrintable(text));
        const auto none = booksreport::build({}, QStringLiteral("/x"), QDateTime::currentDateTime());
        QVERIFY(none.agree());
        QVERIFY(none.text().contains(QStringLiteral("Книгите са в ред")));
    }

    // The check tells how far it has got, from nothing to all of it, and
    // stops at the first step after it was asked to, with nothing reported.
    void progressAndCancel_data() { addEngineRows(); }
    void progressAndCancel() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        m_db->exec(QStringLiteral("UPDATE Pech SET Pech = Pech + 1"));
        QList<QPair<qint64, qint64>> calls;
        invariants::Options options;
        options.progress = [&](qint64 done, qint64 total) {
            calls.append({done, total});
            return true;
        };
        const auto all = invariants::findBreaches(*m_db, options);
        QVERIFY(!all.isEmpty());
        QVERIFY2(calls.size() >= 3, qPrintable(QString::number(calls.size())));
        const qint64 total = calls.first().second;
        QVERIFY(total > 12 * 5); // every appliance is gone through more than once
        QCOMPARE(calls.first().first, 0);
        QCOMPARE(calls.last(), qMakePair(total, total));
        for (qsizetype i = 1; i < calls.size(); ++i) {
            QCOMPARE(calls[i].second, total);
            QVERIFY(calls[i].first >= calls[i - 1].first);
        }
        QCOMPARE(all.size(), invariants::findBreaches(*m_db).size());

        for (int stopAt : {1, 2, int(calls.size())}) {
            int seen = 0;
            options.progress = [&](qint64, qint64) { return ++seen < stopAt; };
            bool cancelled = false;
            try {
                invariants::findBreaches(*m_db, options);
            } catch (const invariants::Cancelled&) {
                cancelled = true;
            }
            QVERIFY2(cancelled, qPrintable(QString::number(stopAt)));
            QCOMPARE(seen, stopAt); // not asked again once it said stop
            bool reportCancelled = false;
            seen = 0;
            try {
                booksreport::run(*m_db, m_location, options);
            } catch (const invariants::Cancelled&) {
                reportCancelled = true;
            }
            QVERIFY(reportCancelled);
        }
    }

    // One shop, a period, or both: only the breaches of that shop and of
    // days in the period (both ends included); a breach without a day is in
    // every period; the report says what it covered.
    void shopAndPeriod_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("shop");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QStringList>("expected"); // the breaches' days, "none" for the undated one
        for (const char* engine : {"sqlite", "postgresql"}) {
            const QString e = QString::fromLatin1(engine);
            QTest::addRow("%s: everything", engine)
                << e << 0 << QDate() << QDate()
                << QStringList{"none", "06.01.2020", "15.03.2020", "10.02.2020", "29.02.2020"};
            QTest::addRow("%s: shop 1", engine)
                << e << 1 << QDate() << QDate() << QStringList{"none", "06.01.2020", "15.03.2020"};
            QTest::addRow("%s: February", engine) << e << 0 << QDate(2020, 2, 1) << QDate(2020, 2, 29)
                                                  << QStringList{"none", "10.02.2020", "29.02.2020"};
            QTest::addRow("%s: the period's ends", engine)
                << e << 0 << QDate(2020, 1, 6) << QDate(2020, 2, 10)
                << QStringList{"none", "06.01.2020", "10.02.2020"};
            QTest::addRow("%s: shop 2 in March", engine)
                << e << 2 << QDate(2020, 3, 1) << QDate(2020, 3, 31) << QStringList{};
            QTest::addRow("%s: shop 1 in March", engine)
                << e << 1 << QDate(2020, 3, 1) << QDate(2020, 3, 31) << QStringList{"none", "15.03.2020"};
        }
    }
    void shopAndPeriod() {
        QFETCH(QString, engine);
        QFETCH(int, shop);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QStringList, expected);
        if (!fixture(engine, false))
            return;
        // A stotinka of turnover on days without sales, and an appliance of
        // shop 1 marked sold without a day or a sale.
        const QList<QPair<int, QDate>> days{{1, QDate(2020, 1, 6)}, {2, QDate(2020, 2, 10)},
                                            {1, QDate(2020, 3, 15)}, {2, QDate(2020, 2, 29)}};
        for (const auto& [s, d] : days)
            m_db->insert(QStringLiteral("oborot"),
                         {{QStringLiteral("Date"), d}, {QStringLiteral("idShop"), s}, {QStringLiteral("1"), 0.01}});
        const qint64 undated = m_db->insert(QStringLiteral("resale"), {{QStringLiteral("IdShop"), 1},
                                                                       {QStringLiteral("DogNo"), 7},
                                                                       {QStringLiteral("Art"), QStringLiteral("Уред")},
                                                                       {QStringLiteral("Saled"), true},
                                                                       {QStringLiteral("Payed"), false},
                                                                       {QStringLiteral("SalePrice"), 12.5},
                                                                       {QStringLiteral("DateGet"), QDate(2019, 12, 1)}});
        invariants::Options options;
        options.shop = shop;
        options.from = from;
        options.to = to;
        const auto report = booksreport::run(*m_db, m_location, options);
        QStringList got;
        for (const invariants::Breach& b : report.breaches) {
            got << (b.date.isValid() ? b.date.toString(QStringLiteral("dd.MM.yyyy")) : QStringLiteral("none"));
            if (!b.date.isValid()) {
                QCOMPARE(b.kind, Kind::SaleWithoutIncome);
                QCOMPARE(b.item, undated);
                QCOMPARE(b.book, QStringLiteral("Приходи"));
                QCOMPARE(b.amount, 1250);
            } else {
                QCOMPARE(b.kind, Kind::DailySumDiffers);
                QCOMPARE(b.book, QStringLiteral("Оборот"));
                QCOMPARE(b.amount, 1);
            }
        }
        QCOMPARE(got, expected);
        const QString text = report.text();
        if (shop != 0)
            QVERIFY2(text.contains(QStringLiteral("Проверени: магазин %1").arg(report.shopName)), qPrintable(text));
        if (from.isValid())
            QVERIFY2(text.contains(QStringLiteral("от %1 до %2")
                                       .arg(from.toString(QStringLiteral("dd.MM.yyyy")),
                                            to.toString(QStringLiteral("dd.MM.yyyy")))),
                     qPrintable(text));
        if (shop == 0 && !from.isValid())
            QVERIFY(!text.contains(QStringLiteral("Проверени:")));
        QCOMPARE(report.agree(), expected.isEmpty());
    }

    // The demo shops' database, as kalvina-suite --demo fills it, agrees.
    void demoAgrees_data() { addEngineRows(); }
    void demoAgrees() {
        QFETCH(QString, engine);
        if (!fixture(engine, false))
            return;
        QVERIFY(suite::fillDemoItems(*m_db) > 20);
        const auto report = booksreport::run(*m_db, m_location);
        QVERIFY2(report.agree(), qPrintable(report.text()));
    }

    // kalvina-suite --check: 0 with the report when the books agree, 1 when
    // they do not, 2 on wrong arguments or a database that does not open.
    void commandExitCodes_data() { addEngineRows(); }
    void commandExitCodes() {
        QFETCH(QString, engine);
        m_dir = testenv::tempDir();
        QString location;
        ENGINE_LOCATION(engine, m_dir, location);
        QString out, err;
        QCOMPARE(runSuite({QStringLiteral("--demo"), QStringLiteral("--no-settings"), location}, &out, &err), 0);
        const QString reportFile = m_dir->filePath(QStringLiteral("отчет.txt"));
        QCOMPARE(runSuite({QStringLiteral("--check"), location, QStringLiteral("--report"), reportFile}, &out, &err), 0);
        QVERIFY2(out.contains(QStringLiteral("Книгите са в ред")), qPrintable(out + err));
        QFile saved(reportFile);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), out);

        {
            Database db;
            QString error;
            QVERIFY2(db.open(location, &error), qPrintable(error));
            // A turnover of one stotinka on a day without sales.
            db.insert(QStringLiteral("oborot"), {{QStringLiteral("Date"), QDate(2020, 1, 6)},
                                                 {QStringLiteral("idShop"), 1},
                                                 {QStringLiteral("1"), 0.01}});
        }
        QCOMPARE(runSuite({QStringLiteral("--check"), location}, &out, &err), 1);
        QVERIFY2(out.contains(QStringLiteral("06.01.2020: оборотът е 0.01 лв.")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("Общо: 1 разминаване за 0.01 лв. в 1 магазин.")), qPrintable(out));

        if (engine != QLatin1String("sqlite"))
            return;
        QCOMPARE(runSuite({QStringLiteral("--check")}, &out, &err), 2);
        QVERIFY2(err.contains(QStringLiteral("--check иска едно място")), qPrintable(err));
        QCOMPARE(runSuite({QStringLiteral("--check"), QStringLiteral("--no-such-option"), location}, &out, &err), 2);
        QCOMPARE(runSuite({QStringLiteral("--check"), QStringLiteral("--demo"), location}, &out, &err), 2);
        const QString missing = m_dir->filePath(QStringLiteral("няма"));
        QCOMPARE(runSuite({QStringLiteral("--check"), missing}, &out, &err), 2);
        QVERIFY2(err.contains(QStringLiteral("не може да се отвори")), qPrintable(err));
        QVERIFY(!QFileInfo::exists(missing));
    }
};

QTEST_GUILESS_MAIN(TestBooksCheck)
#include "TestBooksCheck.moc"
