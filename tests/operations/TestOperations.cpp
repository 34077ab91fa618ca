// What each operation leaves in the item table and the suite's ledgers, on
// both engines; refusals and engine failures leave nothing.
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Item.h"
#include "operations/Operations.h"
#include "tests/support/DemoSuite.h"
#include "tests/support/Engines.h"
#include "tools/SuiteDatabase.h"

#include <QSemaphore>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>
#include <thread>

using money::Cents;

class TestOperations : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Database> m_db;
    const QDateTime m_day1{QDate(2026, 3, 10), QTime(10, 15, 0)};

    bool fixture(const QString& engine) {
        m_db = std::make_unique<Database>();
        m_dir = testenv::tempDir();
        if (!newDemoSuite(engine, m_dir, *m_db))
            return false;
        Clock::set(m_day1);
        return true;
    }
    ops::Context ctx() { return {*m_db, 3}; }

    qint64 takeIn(int shop, Cents dlv, Cents sale, bool payNow, const QString& art = QStringLiteral("Пералня Bosch")) {
        ops::IntakeInput in;
        in.shop = shop;
        in.dogNo = ops::proposeContractNumber(*m_db, shop);
        in.art = art;
        in.dlvPrice = dlv;
        in.salePrice = sale;
        in.payNow = payNow;
        in.names = QStringLiteral("Иван Петров");
        in.adres = QStringLiteral("София");
        in.egn = QStringLiteral("7501124567");
        const auto r = ops::intake(ctx(), in);
        if (!r.ok())
            qFatal("intake: %s", qPrintable(r.message));
        return r.id;
    }
    ops::Result sell(qint64 id, Cents price) {
        return ops::sale(ctx(), {id, price, QStringLiteral("Купувач"), QStringLiteral("Адрес"), QString(), QString()});
    }

    // Every row of every table the operations touch, as text.
    QStringList snapshot() {
        QStringList out;
        for (const char* t :
             {"resale", "resale_moves", "KASA", "Prihod", "Expenses", "TypePrihod", "TypeExpense", "oborot", "Pech"}) {
            QSqlQuery q = m_db->exec(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << q.value(i).toString();
                out << QLatin1String(t) + QLatin1Char(':') + cells.join(QLatin1Char('|'));
            }
        }
        out.sort();
        return out;
    }
    double sum(const QString& sql, const QVariantList& p = {}) { return m_db->scalar(sql, p).toDouble(); }
    int count(const QString& table) { return m_db->scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt(); }

private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void cleanup() {
        Clock::set({});
        Database::failStatement(0);
    }

    // An optional text left empty is stored as a blank (null), as the
    // annulment leaves it: "no serial number" is one thing in every query.
    void emptyOptionalTextsAreNull_data() { addEngineRows(); }
    void emptyOptionalTextsAreNull() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 empty = takeIn(1, 10000, 15000, false); // no identity card, note or serial
        QVERIFY(sell(empty, 15000).ok());                     // no buyer's data or sale note
        ops::IntakeInput in;
        in.shop = 1;
        in.dogNo = ops::proposeContractNumber(*m_db, 1);
        in.art = QStringLiteral("Фурна");
        in.artNote = QStringLiteral("без скара");
        in.serial = QStringLiteral("SN 1");
        in.lk = QStringLiteral("645123987");
        in.names = QStringLiteral("Иван Петров");
        in.adres = QStringLiteral("София");
        in.egn = QStringLiteral("7501124567");
        const auto typed = ops::intake(ctx(), in);
        QVERIFY(typed.ok());
        QVERIFY(ops::sale(ctx(), {typed.id, 9000, QStringLiteral("Купувач"), QStringLiteral("Адрес"),
                                  QStringLiteral("0888 123456"), QStringLiteral("с гаранция")})
                    .ok());
        const QString columns = QStringLiteral("DlvLK, ArtNote, Serial, ClientInfo, SaleInfo");
        QSqlQuery q = m_db->exec(QStringLiteral("SELECT %1 FROM resale WHERE Id = ?").arg(columns), {empty});
        QVERIFY(q.next());
        for (int i = 0; i < 5; ++i)
            QVERIFY2(q.value(i).isNull(), qPrintable(columns.split(QStringLiteral(", "))[i]));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM resale WHERE Serial IS NULL")).toInt(), 1);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT count(*) FROM resale WHERE Serial = ''")).toInt(), 0);
        // What was typed is stored as typed.
        q = m_db->exec(QStringLiteral("SELECT %1 FROM resale WHERE Id = ?").arg(columns), {typed.id});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("645123987"));
        QCOMPARE(q.value(1).toString(), QStringLiteral("без скара"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("SN 1"));
        QCOMPARE(q.value(3).toString(), QStringLiteral("0888 123456"));
        QCOMPARE(q.value(4).toString(), QStringLiteral("с гаранция"));
    }

    void intakeBooks_data() { addEngineRows(); }
    void intakeBooks() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const QString longArt = QStringLiteral("Хладилник с фризер Liebherr CNef 4813 NoFrost бял");
        const qint64 plain = takeIn(1, 10000, 15000, false);
        QCOMPARE(count(QStringLiteral("KASA")) + count(QStringLiteral("Expenses")), 0);
        const qint64 paid = takeIn(1, 28050, 35000, true, longArt);
        const auto a = Item::load(*m_db, plain), b = Item::load(*m_db, paid);
        QCOMPARE(a->dogNo, 1);
        QCOMPARE(b->dogNo, 2);
        QVERIFY(!a->payed && !a->saled && !a->datePay.isValid());
        QVERIFY(b->payed && !b->saled);
        QCOMPARE(b->dateGet, m_day1.date());
        QCOMPARE(b->datePay, m_day1.date());
        QCOMPARE(b->shop, QStringLiteral("Център"));
        QSqlQuery k = m_db->exec(QStringLiteral("SELECT InSum, OutSum, Nal, ValID, Note, UserID, ShopID, Date, Time FROM KASA"));
        QVERIFY(k.next());
        QVERIFY(k.value(0).isNull());
        QCOMPARE(k.value(1).toDouble(), 280.5);
        QVERIFY(k.value(2).isNull());
        QCOMPARE(k.value(3).toInt(), 1);
        QCOMPARE(k.value(4).toString(), QStringLiteral("Изплащане 2-ра употреба"));
        QCOMPARE(k.value(5).toInt(), 3);
        QCOMPARE(k.value(6).toInt(), 1);
        QCOMPARE(Database::toDate(k.value(7)), m_day1.date());
        QCOMPARE(Database::toTime(k.value(8)), m_day1.time());
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Note FROM Expenses")).toString(),
                 (QStringLiteral("По договор №2 - ") + longArt).left(50));
        QCOMPARE(sum(QStringLiteral("SELECT Sum FROM Expenses")), 280.5);
        QCOMPARE(count(QStringLiteral("TypeExpense")), 1);
        QCOMPARE(count(QStringLiteral("Prihod")) + count(QStringLiteral("oborot")) + count(QStringLiteral("Pech")), 0);
        // Contract numbers are per shop; a taken number is refused.
        QCOMPARE(ops::proposeContractNumber(*m_db, 2), 1);
        QCOMPARE(ops::proposeContractNumber(*m_db, 1), 3);
        ops::IntakeInput dup;
        dup.shop = 1;
        dup.dogNo = 2;
        dup.art = QStringLiteral("x");
        const QStringList before = snapshot();
        const auto r = ops::intake(ctx(), dup);
        QCOMPARE(r.status, ops::Status::Refused);
        QCOMPARE(r.message, QStringLiteral("Такъв номер на договор вече съществува"));
        QCOMPARE(snapshot(), before);
        dup.shop = 2;
        QVERIFY(ops::intake(ctx(), dup).ok());
        // A returned item's number is free again.
        QVERIFY(ops::returnItem(ctx(), paid).status == ops::Status::Refused); // paid: cannot be returned
        QVERIFY(ops::returnItem(ctx(), plain).ok());
        QVERIFY(!Item::load(*m_db, plain));
        QVERIFY(!ops::contractNumberUsed(*m_db, 1, 1));
    }

    // The profit is booked once, on the day the item becomes both sold and paid.
    void saleAndPayoutInEitherOrder_data() { addEngineRows(); }
    void saleAndPayoutInEitherOrder() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 first = takeIn(1, 10000, 15000, false); // sold first, paid later
        const qint64 second = takeIn(1, 20000, 26000, true); // paid first, sold later
        QVERIFY(sell(first, 14990).ok());
        QCOMPARE(count(QStringLiteral("Pech")), 0);
        QVERIFY(sell(second, 25000).ok());
        // One turnover row for the day and shop, holding both prices.
        QCOMPARE(count(QStringLiteral("oborot")), 1);
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot")), 399.9);
        QCOMPARE(sum(QStringLiteral("SELECT Pech FROM Pech")), 50.0);
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Note FROM Prihod ORDER BY Id")).toString(), QStringLiteral("По договор №1 - Пералня Bosch"));
        QCOMPARE(count(QStringLiteral("TypePrihod")), 1);
        QCOMPARE(sum(QStringLiteral("SELECT sum(InSum) FROM KASA")), 399.9);
        // Paying more than the sale price is refused; another amount is booked as entered.
        Clock::set(m_day1.addDays(2));
        QCOMPARE(ops::payout(ctx(), first, 15000).status, ops::Status::Refused);
        QVERIFY(ops::payout(ctx(), first, 9500).ok());
        QCOMPARE(ops::payout(ctx(), first, 9500).status, ops::Status::Refused); // paid once only
        // Cash book: the stored price; expense: the amount entered; profit with the stored price.
        QCOMPARE(sum(QStringLiteral("SELECT OutSum FROM KASA WHERE Date = ?"), {m_db->dateParam(m_day1.date().addDays(2))}), 100.0);
        QCOMPARE(sum(QStringLiteral("SELECT Sum FROM Expenses WHERE Date = ?"), {m_db->dateParam(m_day1.date().addDays(2))}), 95.0);
        QCOMPARE(sum(QStringLiteral("SELECT Pech FROM Pech WHERE Date = ?"), {m_db->dateParam(m_day1.date().addDays(2))}), 49.9);
        const auto item = Item::load(*m_db, first);
        QVERIFY(item->payed && item->saled);
        QCOMPARE(item->dlvPrice, Cents(9500));
        QCOMPARE(item->datePay, m_day1.date().addDays(2));
        QCOMPARE(sell(first, 100).status, ops::Status::Refused); // never sold twice
    }

    void annulment_data() { addEngineRows(); }
    void annulment() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 paid = takeIn(2, 10000, 12345, true);
        const qint64 unpaid = takeIn(2, 5000, 7000, false);
        QVERIFY(sell(paid, 12345).ok());
        QVERIFY(sell(unpaid, 7000).ok());
        const QDate saleDay = m_day1.date();
        Clock::set(m_day1.addDays(5)); // annulled on a later day
        QVERIFY(ops::annul(ctx(), paid).ok());
        QCOMPARE(ops::annul(ctx(), paid).status, ops::Status::Refused);
        // Profit of the sale day back to exactly zero: the row is gone.
        QCOMPARE(count(QStringLiteral("Pech")), 0);
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot WHERE Date = ?"), {m_db->dateParam(saleDay)}), 70.0);
        QVERIFY(ops::annul(ctx(), unpaid).ok());
        // The turnover row stays at 0.
        QCOMPARE(count(QStringLiteral("oborot")), 1);
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot")), 0.0);
        QSqlQuery q = m_db->exec(QStringLiteral("SELECT OutSum, Note, Date FROM KASA WHERE OutSum IS NOT NULL AND Note = ? ORDER BY Id"),
                                 {ops::annulNote()});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 123.45);
        QCOMPARE(Database::toDate(q.value(2)), saleDay.addDays(5));
        QCOMPARE(m_db->scalar(QStringLiteral("SELECT Note FROM Expenses WHERE Sum = ?"), {123.45}).toString(),
                 QStringLiteral("Анулиране на прод. 2-ра употреба - дог. №1"));
        QCOMPARE(count(QStringLiteral("TypeExpense")), 1);
        const auto item = Item::load(*m_db, paid);
        QVERIFY(!item->saled && item->payed);
        QVERIFY(!item->dateSale.isValid());
        QVERIFY(item->clientNames.isEmpty());
        QCOMPARE(item->salePrice, Cents(12345));
        // Sold again: the profit comes at once since the consignor is paid.
        QVERIFY(sell(paid, 13000).ok());
        QCOMPARE(sum(QStringLiteral("SELECT Pech FROM Pech")), 30.0);
    }

    // Sold on one day, paid on another: the profit sits on the payout day.
    // Annulling then finds no profit row on the sale day; the correction is
    // booked on the sale day so the shop's profit nets to zero, and the
    // payout day's row is not touched.
    void annulmentWithoutSaleDayProfit_data() { addEngineRows(); }
    void annulmentWithoutSaleDayProfit() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 id = takeIn(1, 10000, 15000, false);
        QVERIFY(sell(id, 15000).ok());
        Clock::set(m_day1.addDays(1));
        QVERIFY(ops::payout(ctx(), id, 10000).ok());
        Clock::set(m_day1.addDays(2));
        QVERIFY(ops::annul(ctx(), id).ok());
        QCOMPARE(sum(QStringLiteral("SELECT Pech FROM Pech WHERE Date = ?"), {m_db->dateParam(m_day1.date().addDays(1))}), 50.0);
        QCOMPARE(sum(QStringLiteral("SELECT Pech FROM Pech WHERE Date = ?"), {m_db->dateParam(m_day1.date())}), -50.0);
        QCOMPARE(sum(QStringLiteral("SELECT sum(Pech) FROM Pech")), 0.0);
        QCOMPARE(count(QStringLiteral("Pech")), 2);
    }

    // A sale at 0 (allowed once the clerk confirmed it) is still takings:
    // its cash-book row holds 0 in InSum, none in OutSum.
    void saleAtPriceZeroIsTakings_data() { addEngineRows(); }
    void saleAtPriceZeroIsTakings() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 id = takeIn(1, 10000, 15000, true);
        QVERIFY(sell(id, 0).ok());
        QSqlQuery k = m_db->exec(QStringLiteral("SELECT InSum, OutSum FROM KASA WHERE Note = ?"), {ops::saleKind()});
        QVERIFY(k.next());
        QVERIFY(!k.value(0).isNull());
        QCOMPARE(k.value(0).toDouble(), 0.0);
        QVERIFY(k.value(1).isNull());
        QVERIFY(!k.next());
        QCOMPARE(sum(QStringLiteral("SELECT Pech FROM Pech")), -100.0);
    }

    // The daily rows are changed by adding to what they hold: a value that
    // another program wrote keeps its fraction of a stotinka.
    void dailyRowsKeepWhatOthersWrote_data() { addEngineRows(); }
    void dailyRowsKeepWhatOthersWrote() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const QDate day = m_day1.date();
        m_db->insert(QStringLiteral("oborot"), {{QStringLiteral("Date"), day}, {QStringLiteral("idShop"), 1}, {QStringLiteral("1"), 100.005}});
        m_db->insert(QStringLiteral("Pech"), {{QStringLiteral("Date"), day}, {QStringLiteral("ValID"), 1}, {QStringLiteral("ShopID"), 1},
                                              {QStringLiteral("Pech"), 10.125}});
        const qint64 id = takeIn(1, 10000, 15000, true);
        QVERIFY(sell(id, 15000).ok());
        QCOMPARE(count(QStringLiteral("oborot")), 1);
        QVERIFY(qAbs(sum(QStringLiteral("SELECT \"1\" FROM oborot")) - 250.005) < 1e-9);
        QVERIFY(qAbs(sum(QStringLiteral("SELECT Pech FROM Pech")) - 60.125) < 1e-9);
        QVERIFY(ops::annul(ctx(), id).ok());
        QVERIFY(qAbs(sum(QStringLiteral("SELECT \"1\" FROM oborot")) - 100.005) < 1e-9);
        QVERIFY(qAbs(sum(QStringLiteral("SELECT Pech FROM Pech")) - 10.125) < 1e-9);
        QCOMPARE(count(QStringLiteral("Pech")), 1);
    }

    // Another program (the suite's main program) adds to the day's turnover
    // while a sale is being booked: both additions stay.
    void dailyRowChangedMeanwhileByAnotherProgram() {
        QString url;
        FRESH_PG_DATABASE(url);
        m_db = std::make_unique<Database>();
        QString error;
        QVERIFY2(suite::createDatabase(*m_db, url, &error), qPrintable(error));
        suite::fillDemoMasterData(*m_db);
        Clock::set(m_day1);
        const qint64 first = takeIn(1, 1000, 2000, false), second = takeIn(1, 1000, 3000, false);
        QVERIFY(sell(first, 2000).ok());

        QSemaphore changed, done;
        std::thread other([&] {
            Database suiteProgram;
            QString e;
            if (!suiteProgram.open(url, &e))
                qFatal("%s", qPrintable(e));
            suiteProgram.begin();
            suiteProgram.exec(QStringLiteral("UPDATE oborot SET \"1\" = \"1\" + 5"));
            changed.release();
            QThread::msleep(700); // the sale waits for this row meanwhile
            suiteProgram.commit();
            suiteProgram.close();
            done.release();
        });
        changed.acquire();
        const ops::Result r = sell(second, 3000);
        done.acquire();
        other.join();
        QVERIFY2(r.ok(), qPrintable(r.message));
        QCOMPARE(count(QStringLiteral("oborot")), 1);
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot")), 55.0);
    }

    // The turnover row of the sale day is gone (the suite's main program may
    // delete rows) when the sale is annulled: the take-back is booked on a
    // new row of that day and shop, and no other row changes.
    void annulmentWithoutSaleDayTurnover_data() { addEngineRows(); }
    void annulmentWithoutSaleDayTurnover() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 id = takeIn(1, 10000, 15000, false);
        const qint64 other = takeIn(2, 1000, 2000, false);
        QVERIFY(sell(id, 15000).ok());
        QVERIFY(sell(other, 2000).ok());
        m_db->exec(QStringLiteral("DELETE FROM oborot WHERE idShop = 1"));
        Clock::set(m_day1.addDays(3));
        QVERIFY(ops::annul(ctx(), id).ok());
        QCOMPARE(count(QStringLiteral("oborot")), 2);
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot WHERE idShop = 1 AND Date = ?"), {m_db->dateParam(m_day1.date())}), -150.0);
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot WHERE idShop = 2 AND Date = ?"), {m_db->dateParam(m_day1.date())}), 20.0);
        QCOMPARE(count(QStringLiteral("Pech")), 0);
    }

    void centsNeverDrift_data() { addEngineRows(); }
    void centsNeverDrift() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        QList<qint64> ids;
        for (int i = 0; i < 10; ++i) {
            ids << takeIn(3, 5, 10, true);
            QVERIFY(sell(ids.last(), 10 + (i % 3) * 10).ok()); // 0.10, 0.20, 0.30 ...
        }
        const double turnover = sum(QStringLiteral("SELECT \"1\" FROM oborot"));
        QCOMPARE(money::fromLeva(turnover), Cents(190));
        QCOMPARE(turnover, 1.9);
        for (qint64 id : ids)
            QVERIFY(ops::annul(ctx(), id).ok());
        QCOMPARE(sum(QStringLiteral("SELECT \"1\" FROM oborot")), 0.0);
        QCOMPARE(count(QStringLiteral("Pech")), 0);
    }

    void pricesAndTransfer_data() { addEngineRows(); }
    void pricesAndTransfer() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const qint64 unpaid = takeIn(1, 10000, 15000, false);
        const qint64 paid = takeIn(1, 10000, 15000, true);
        const QStringList ledgersBefore = snapshot().filter(QRegularExpression(QStringLiteral("^(?!resale)")));
        QCOMPARE(count(QStringLiteral("resale_moves")), 0);
        QVERIFY(ops::changePrices(ctx(), unpaid, 9000, 12000).ok());
        QVERIFY(ops::changePrices(ctx(), paid, 1, 9000).ok()); // a paid item keeps the amount paid
        QCOMPARE(Item::load(*m_db, unpaid)->dlvPrice, Cents(9000));
        QCOMPARE(Item::load(*m_db, paid)->dlvPrice, Cents(10000));
        QCOMPARE(Item::load(*m_db, paid)->salePrice, Cents(9000));
        QVERIFY(ops::transfer(ctx(), unpaid, 2).ok());
        const auto moved = Item::load(*m_db, unpaid);
        QCOMPARE(moved->idShop, 2);
        QCOMPARE(moved->dogNo, 1); // the number moves with it
        // The move is written down: which item, from where to where, when, by whom.
        QSqlQuery m =
            m_db->exec(QStringLiteral("SELECT IdItem, FromShop, ToShop, Date, Time, ClerkID FROM resale_moves"));
        QVERIFY(m.next());
        QCOMPARE(m.value(0).toLongLong(), unpaid);
        QCOMPARE(m.value(1).toInt(), 1);
        QCOMPARE(m.value(2).toInt(), 2);
        QCOMPARE(Database::toDate(m.value(3)), m_day1.date());
        QCOMPARE(Database::toTime(m.value(4)), m_day1.time());
        QCOMPARE(m.value(5).toInt(), 3);
        QVERIFY(!m.next());
        QVERIFY(ops::transfer(ctx(), paid, 1).ok()); // same shop: nothing changes, nothing written down
        QCOMPARE(count(QStringLiteral("resale_moves")), 1);
        QCOMPARE(snapshot().filter(QRegularExpression(QStringLiteral("^(?!resale)"))), ledgersBefore);
        QVERIFY(sell(paid, 9000).ok());
        QCOMPARE(ops::changePrices(ctx(), paid, 100, 200).status, ops::Status::Refused);
        QCOMPARE(ops::transfer(ctx(), paid, 2).status, ops::Status::Refused);
        QCOMPARE(ops::sale(ctx(), {999999, 100, QStringLiteral("a"), QStringLiteral("b"), {}, {}}).status, ops::Status::Refused);
    }

    // Whichever statement of an operation fails, nothing of it stays, and
    // the retry books once.
    void engineFailureLeavesNothing_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("op");
        for (const char* e : {"sqlite", "postgresql"})
            for (const char* op : {"intake", "sale", "payout", "annul", "return", "prices", "transfer"})
                QTest::addRow("%s %s", e, op) << QString::fromLatin1(e) << QString::fromLatin1(op);
    }
    void engineFailureLeavesNothing() {
        QFETCH(QString, engine);
        QFETCH(QString, op);
        if (!fixture(engine))
            return;
        const qint64 id = takeIn(1, 10000, 15000, op == QLatin1String("annul"));
        if (op == QLatin1String("annul") || op == QLatin1String("payout"))
            QVERIFY(sell(id, 15000).ok());
        auto run = [&]() -> ops::Result {
            if (op == QLatin1String("intake")) {
                ops::IntakeInput in;
                in.shop = 1;
                in.dogNo = 7;
                in.art = QStringLiteral("Фурна");
                in.dlvPrice = 100;
                in.salePrice = 200;
                in.payNow = true;
                return ops::intake(ctx(), in);
            }
            if (op == QLatin1String("sale"))
                return sell(id, 15000);
            if (op == QLatin1String("payout"))
                return ops::payout(ctx(), id, 10000);
            if (op == QLatin1String("annul"))
                return ops::annul(ctx(), id);
            if (op == QLatin1String("return"))
                return ops::returnItem(ctx(), id);
            if (op == QLatin1String("prices"))
                return ops::changePrices(ctx(), id, 100, 200);
            return ops::transfer(ctx(), id, 2);
        };
        const QStringList before = snapshot();
        int failures = 0;
        for (int n = 1;; ++n) {
            Database::failStatement(n);
            const ops::Result r = run();
            Database::failStatement(0);
            if (r.ok())
                break; // n is past the operation's last statement
            QCOMPARE(r.status, ops::Status::EngineError);
            QVERIFY(!r.message.isEmpty());
            QCOMPARE(snapshot(), before);
            ++failures;
            QVERIFY(n < 100);
        }
        QVERIFY(failures >= 3);
        qInfo().noquote() << engine << op << ":" << failures << "statements failed in turn, each left nothing";
        // It succeeded exactly once: running it again is refused or changes nothing more.
        const QStringList after = snapshot();
        QVERIFY(after != before);
        if (op == QLatin1String("transfer")) {
            // The record of the move came with it: its insert was one of the
            // statements that failed in turn above.
            QCOMPARE(after.filter(QStringLiteral("resale_moves:")).size(), 1);
        }
        if (op == QLatin1String("transfer") || op == QLatin1String("prices")) {
            QVERIFY(run().ok()); // the same shop, the same prices: nothing more
            QCOMPARE(snapshot(), after);
        } else {
            QCOMPARE(run().status, ops::Status::Refused);
            QCOMPARE(snapshot(), after);
        }
    }
};

QTEST_GUILESS_MAIN(TestOperations)
#include "TestOperations.moc"
