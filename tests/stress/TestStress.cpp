// Several workstations on one database, as separate processes, and
// workstations killed in the middle of their operations: the books stay whole.
//
// The same executable is the coordinator (a Qt Test) and, started with the
// argument "workstation", one workstation process.
#include "core/Formats.h"
#include "db/Connection.h"
#include "db/ConnectionMarker.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Invariants.h"
#include "operations/Operations.h"
#include "tests/stress/Workstation.h"
#include "tests/support/DemoSuite.h"
#include "tests/support/Engines.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

namespace {

int envInt(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

// What the workstations' journals say happened. A "done" line is written
// after the commit, so it proves the operation is booked; a workstation killed
// between its commit and that line leaves an operation that began and never
// ended, counted as cut off. Nothing checked here needs a line that a killed
// workstation may not have written: the books check reads the database alone.
struct Tally {
    QMap<QString, int> done, refused, failed, begun;
    QMap<QString, int> conflicts; // kind -> times met
    QMap<QString, int> refusals;  // message -> times
    int ended = 0;

    void read(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QString head = line.section(QStringLiteral(" | "), 0, 0);
            const QStringList w = head.split(QLatin1Char(' '));
            if (w.size() < 2)
                continue;
            const QString& op = w[1];
            if (w[0] == QLatin1String("begin")) {
                ++begun[op.startsWith(QLatin1String("intake")) ? QStringLiteral("intake") : op];
            } else if (w[0] == QLatin1String("conflict")) {
                static const QRegularExpression digits(QStringLiteral("\\d+"));
                conflicts[line.mid(9).left(60).replace(digits, QStringLiteral("N"))]++;
            } else if (w.size() >= 3) {
                ++ended;
                if (w[0] == QLatin1String("done")) {
                    ++done[op];
                } else if (w[0] == QLatin1String("refused")) {
                    ++refused[op];
                    ++refusals[line.section(QStringLiteral(" | "), 1)];
                } else {
                    ++failed[op];
                }
            }
        }
    }
    int total(const QMap<QString, int>& m) const {
        int n = 0;
        for (int v : m)
            n += v;
        return n;
    }
    int beganTotal() const { return total(begun); }
    // Operations that began and never ended, by kind (intakes with and
    // without payout as one, as their "begin" line has them).
    QMap<QString, int> cutOff() const {
        QMap<QString, int> out = begun;
        for (const QMap<QString, int>* ends : {&done, &refused, &failed})
            for (auto e = ends->cbegin(); e != ends->cend(); ++e)
                out[e.key().startsWith(QLatin1String("intake")) ? QStringLiteral("intake") : e.key()] -= e.value();
        out.removeIf([](const auto& kind) { return kind.value() == 0; });
        return out;
    }
};

} // namespace

class TestStress : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_journals;
    std::unique_ptr<Database> m_db;
    QString m_location;
    int m_seeded = 0;
    int m_seededPaid = 0;

    // A fresh suite database with demo shops and clerks and a few items, and
    // the suite's settings pointing at it (the workstations inherit them).
    bool fixture(const QString& engine) {
        m_dir = testenv::tempDir();
        m_journals = testenv::tempDir();
        m_db = std::make_unique<Database>();
        if (!newDemoSuite(engine, m_dir, *m_db, &m_location))
            return false;
        suite::writeSettings(m_location, QStringLiteral("Administrator"));
        m_seeded = m_seededPaid = 0;
        for (int i = 0; i < 12; ++i) {
            ops::IntakeInput in;
            in.shop = 1 + i % 4;
            in.dogNo = ops::proposeContractNumber(*m_db, in.shop);
            in.art = QStringLiteral("Уред %1").arg(i);
            in.dlvPrice = 5000 + i * 100;
            in.salePrice = 9000 + i * 100;
            in.payNow = i % 3 == 0;
            if (!ops::intake({*m_db, 1}, in).ok())
                return false;
            ++m_seeded;
            m_seededPaid += in.payNow ? 1 : 0;
        }
        return true;
    }

    QProcess* startWorkstation(int clerk, int operations, quint32 seed, const QString& journal) {
        auto* p = new QProcess(this);
        p->setProgram(QCoreApplication::applicationFilePath());
        p->setArguments({QStringLiteral("workstation"), QString::number(clerk), QString::number(operations),
                         QString::number(seed), journal});
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start();
        return p;
    }

    int count(const QString& sql) { return m_db->scalar(sql).toInt(); }
    int ledgerSales() {
        return count(
            QStringLiteral("SELECT count(*) FROM Prihod p JOIN TypePrihod t ON t.ID = p.TypeID WHERE t.type = '") +
            ops::saleKind() + QStringLiteral("'"));
    }
    int ledgerPayouts() {
        return count(QStringLiteral("SELECT count(*) FROM Expenses WHERE Note LIKE 'По договор №%'"));
    }
    int ledgerAnnuls() {
        return count(QStringLiteral("SELECT count(*) FROM Expenses WHERE Note LIKE 'Анулиране на прод.%'"));
    }
    int cashRows() { return count(QStringLiteral("SELECT count(*) FROM KASA")); }
    int itemRows() { return count(QStringLiteral("SELECT count(*) FROM resale")); }

    static QStringList markers(const QString& dir) {
        return QDir(dir).entryList({ConnectionMarker::prefix() + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase() { testenv::isolateSettings(); }

    // Invariants on a hand-made history: a clean one passes; each injected
    // fault is named.
    void invariantsNameBreaches_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        QTest::newRow("clean") << QString() << QString();
        QTest::newRow("sale without income")
            << QStringLiteral("DELETE FROM Prihod") << QStringLiteral("е продаден, но в приходите няма приход");
        QTest::newRow("sale without cash") << QStringLiteral("DELETE FROM KASA WHERE InSum > 0")
                                           << QStringLiteral("в касовата книга има 0 реда за продажба");
        QTest::newRow("payout without expense") << QStringLiteral("DELETE FROM Expenses WHERE Note LIKE 'По договор%'")
                                                << QStringLiteral("е изплатен, но в разходите няма разход");
        QTest::newRow("turnover changed")
            << QStringLiteral("UPDATE oborot SET \"1\" = \"1\" + 1") << QStringLiteral("оборотът е");
        QTest::newRow("turnover doubled row")
            << QStringLiteral("INSERT INTO oborot (Date, idShop, \"1\") SELECT Date, idShop, 0 FROM oborot")
            << QStringLiteral("реда вместо в един");
        QTest::newRow("profit lost") << QStringLiteral("DELETE FROM Pech") << QStringLiteral("печалбата е 0.00 лв.");
        QTest::newRow("item sold by hand") << QStringLiteral("UPDATE resale SET Saled = TRUE, Datesale = DateGet")
                                           << QStringLiteral("е продаден, но в приходите няма приход");
        QTest::newRow("item deleted") << QStringLiteral("DELETE FROM resale")
                                      << QStringLiteral("е за уред, който не е продаден");
        QTest::newRow("duplicate contract")
            << QStringLiteral("UPDATE resale SET DogNo = 1, IdShop = 1") << QStringLiteral("с един и същ договор 1");
        // A transfer of which no record is left looks like a second intake
        // under a number the shop already has.
        QTest::newRow("transfer record lost")
            << QStringLiteral("DELETE FROM resale_moves") << QStringLiteral("В магазин Пловдив - Тракия уредите №");
        QTest::newRow("moved without a record")
            << QStringLiteral("UPDATE resale SET IdShop = 4 WHERE Id IN (SELECT IdItem FROM resale_moves)")
            << QStringLiteral("оттам е преместен без запис");
        QTest::newRow("record of another road") << QStringLiteral("UPDATE resale_moves SET FromShop = 4, ToShop = 1")
                                                << QStringLiteral("последното записано прехвърляне");
    }
    void invariantsNameBreaches() {
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        if (!fixture(QStringLiteral("sqlite")))
            return;
        const ops::Context c{*m_db, 2};
        // Sold then paid, paid then sold, sold and annulled, paid, sold,
        // annulled after the profit was booked on a later day.
        QSqlQuery q = m_db->exec(QStringLiteral("SELECT Id, Payed FROM resale ORDER BY Id"));
        QList<QPair<qint64, bool>> items;
        while (q.next())
            items.append({q.value(0).toLongLong(), q.value(1).toBool()});
        QVERIFY(items.size() >= 8);
        QVERIFY(ops::sale(c, {items[0].first, 12000, QStringLiteral("К"), {}, {}, {}}).ok()); // paid at intake
        QVERIFY(ops::sale(c, {items[1].first, 11000, QStringLiteral("К"), {}, {}, {}}).ok());
        QVERIFY(ops::payout(c, items[1].first, 4000).ok()); // amount other than stored
        QVERIFY(ops::sale(c, {items[2].first, 13000, QStringLiteral("К"), {}, {}, {}}).ok());
        QVERIFY(ops::annul(c, items[2].first).ok());
        QVERIFY(ops::sale(c, {items[3].first, 14000, QStringLiteral("К"), {}, {}, {}}).ok()); // paid at intake
        QVERIFY(ops::annul(c, items[3].first).ok());
        QVERIFY(ops::sale(c, {items[3].first, 15000, QStringLiteral("К"), {}, {}, {}}).ok());
        QVERIFY(ops::payout(c, items[4].first, 5400).ok());
        // Now shares its number with an item of shop 3, and comes back there
        // after a round through shop 4.
        QVERIFY(ops::transfer(c, items[5].first, 3).ok());
        QVERIFY(ops::transfer(c, items[5].first, 4).ok());
        QVERIFY(ops::transfer(c, items[5].first, 3).ok());
        QVERIFY(ops::changePrices(c, items[7].first, 6000, 9900).ok());
        QVERIFY(ops::returnItem(c, items[8].first).ok());
        const QStringList clean = invariants::check(*m_db);
        QVERIFY2(clean.isEmpty(), qPrintable(clean.join(QLatin1Char('\n'))));
        if (fault.isEmpty())
            return;
        m_db->exec(fault);
        const QStringList breaches = invariants::check(*m_db);
        QVERIFY2(!breaches.isEmpty(), qPrintable(fault));
        QVERIFY2(breaches.join(QLatin1Char('\n')).contains(expected), qPrintable(breaches.join(QLatin1Char('\n'))));
    }

    // The annulment of a sale whose profit was booked on a later payout day
    // takes the profit back on the sale day; the checker follows the days.
    void invariantsFollowDays_data() { addEngineRows(); }
    void invariantsFollowDays() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const ops::Context c{*m_db, 2};
        const qint64 id =
            m_db->scalar(QStringLiteral("SELECT min(Id) FROM resale WHERE DogNo = 1 AND IdShop = 2")).toLongLong();
        QVERIFY(id > 0);
        Clock::set(QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
        QVERIFY(ops::sale(c, {id, 20000, QStringLiteral("К"), {}, {}, {}}).ok());
        Clock::set(QDateTime(QDate(2026, 3, 5), QTime(10, 0)));
        QVERIFY(ops::payout(c, id, 5100).ok());
        Clock::set(QDateTime(QDate(2026, 3, 9), QTime(10, 0)));
        QVERIFY(ops::annul(c, id).ok());
        QVERIFY(ops::sale(c, {id, 21000, QStringLiteral("К"), {}, {}, {}}).ok());
        Clock::set({});
        QCOMPARE(invariants::check(*m_db), QStringList());
        m_db->exec(QStringLiteral("UPDATE Pech SET Pech = Pech + 1"));
        QVERIFY(!invariants::check(*m_db).isEmpty());
    }

    // The demo shops' history, made over many days by the operations
    // themselves, reconciles.
    void invariantsHoldOnDemoHistory_data() { addEngineRows(); }
    void invariantsHoldOnDemoHistory() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        QVERIFY(suite::fillDemoItems(*m_db) > 20);
        QVERIFY(count(QStringLiteral("SELECT count(*) FROM resale_moves")) > 0);
        const QStringList breaches = invariants::check(*m_db);
        QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join(QLatin1Char('\n'))));
        m_db->exec(QStringLiteral("DELETE FROM KASA WHERE Id = (SELECT max(Id) FROM KASA)"));
        QVERIFY(!invariants::check(*m_db).isEmpty());
    }

    // A workstation killed right after its transfer committed has written
    // nothing more; the books check still knows the appliance was moved, so
    // the contract number it shares with an item of its new shop is no fault.
    void killedAfterTransfer_data() { addEngineRows(); }
    void killedAfterTransfer() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        // Shop 2's contract 1 goes to shop 3, which has a contract 1 of its own.
        const qint64 moved =
            m_db->scalar(QStringLiteral("SELECT Id FROM resale WHERE IdShop = 2 AND DogNo = 1")).toLongLong();
        QVERIFY(moved > 0);
        QVERIFY(ops::contractNumberUsed(*m_db, 3, 1));
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        QProcess p;
        p.setProgram(QCoreApplication::applicationFilePath());
        p.setArguments(
            {QStringLiteral("transfer-and-wait"), QString::number(moved), QStringLiteral("3"), QStringLiteral("5")});
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start();
        QVERIFY(p.waitForStarted());
        QByteArray said;
        while (!said.contains('\n') && p.waitForReadyRead(30000))
            said += p.readAllStandardOutput();
        QCOMPARE(said.trimmed(), QByteArray("committed"));
        QCOMPARE(p.state(), QProcess::Running);
        p.kill(); // SIGKILL: nothing after the commit gets written
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        const QDateTime after = QDateTime::currentDateTime().addSecs(1);

        QCOMPARE(m_db->scalar(QStringLiteral("SELECT IdShop FROM resale WHERE Id = ?"), {moved}).toInt(), 3);
        QSqlQuery q = m_db->exec(
            QStringLiteral("SELECT IdItem, FromShop, ToShop, Date, Time, ClerkID FROM resale_moves ORDER BY Id"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), moved);
        QCOMPARE(q.value(1).toInt(), 2);
        QCOMPARE(q.value(2).toInt(), 3);
        const QDateTime at(Database::toDate(q.value(3)), Database::toTime(q.value(4)));
        QVERIFY2(at >= before && at <= after, qPrintable(at.toString(Qt::ISODate)));
        QCOMPARE(q.value(5).toInt(), 5);
        QVERIFY(!q.next());
        const QStringList breaches = invariants::check(*m_db);
        QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join(QLatin1Char('\n'))));
    }

    // What the books check says of transfers it has no record of (made
    // before the program kept one): only a shared contract number shows, as
    // a second intake under that number in the shop, naming both appliances
    // and their intake days; a move that shares no number goes unseen.
    void untracedTransfer_data() { addEngineRows(); }
    void untracedTransfer() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        auto idOf = [&](int shop, int dogNo) {
            return m_db->scalar(QStringLiteral("SELECT Id FROM resale WHERE IdShop = ? AND DogNo = ?"), {shop, dogNo})
                .toLongLong();
        };
        ops::IntakeInput in;
        in.shop = 1;
        in.dogNo = 50; // no other shop has it
        in.art = QStringLiteral("Бойлер");
        in.dlvPrice = 4000;
        QVERIFY(ops::intake({*m_db, 1}, in).ok());
        const qint64 moved = idOf(2, 2), resident = idOf(3, 2), alone = idOf(1, 50);
        QVERIFY(moved > 0 && resident > 0 && alone > 0);
        // As the program did it before: only the item's shop changes.
        m_db->exec(QStringLiteral("UPDATE resale SET IdShop = 3 WHERE Id = ?"), {moved});
        m_db->exec(QStringLiteral("UPDATE resale SET IdShop = 4 WHERE Id = ?"), {alone});
        const QString day = formats::date(QDate::currentDate());
        const QStringList expected{QStringLiteral("В магазин Пловдив - Тракия уредите №%1 (приет на %3), №%2 (приет на "
                                                  "%3) са приети с един и същ договор 2")
                                       .arg(qMin(moved, resident))
                                       .arg(qMax(moved, resident))
                                       .arg(day)};
        QCOMPARE(invariants::check(*m_db), expected);
        // Moved back and forth by the program since: the record clears it.
        QVERIFY(ops::transfer({*m_db, 1}, moved, 1).ok());
        QVERIFY(ops::transfer({*m_db, 1}, moved, 3).ok());
        QCOMPARE(invariants::check(*m_db), QStringList());
    }

    // N workstations, M random operations each, all on the same items.
    void severalWorkstations_data() { addEngineRows(); }
    void severalWorkstations() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const int n = envInt("RESALE_STRESS_N", 4), m = envInt("RESALE_STRESS_M", 100);
        QElapsedTimer clock;
        clock.start();
        QList<QProcess*> stations;
        QStringList journals;
        for (int i = 0; i < n; ++i) {
            journals << m_journals->filePath(QStringLiteral("ws%1.log").arg(i));
            stations << startWorkstation(1 + i % 8, m, 1000 + i, journals.last());
        }
        for (QProcess* p : stations) {
            QVERIFY(p->waitForFinished(-1));
            QCOMPARE(p->exitStatus(), QProcess::NormalExit);
            QCOMPARE(p->exitCode(), 0);
        }
        const double seconds = clock.elapsed() / 1000.0;
        Tally t;
        for (const QString& j : journals)
            t.read(j);
        QCOMPARE(t.ended, n * m);

        // Every success is in the ledgers once; every failure left nothing.
        QCOMPARE(ledgerSales(), t.done.value(QStringLiteral("sale")));
        QCOMPARE(ledgerAnnuls(), t.done.value(QStringLiteral("annul")));
        QCOMPARE(ledgerPayouts(),
                 m_seededPaid + t.done.value(QStringLiteral("payout")) + t.done.value(QStringLiteral("intake-paid")));
        QCOMPARE(cashRows(), m_seededPaid + t.done.value(QStringLiteral("sale")) +
                                 t.done.value(QStringLiteral("payout")) + t.done.value(QStringLiteral("intake-paid")) +
                                 t.done.value(QStringLiteral("annul")));
        QCOMPARE(itemRows(), m_seeded + t.done.value(QStringLiteral("intake")) +
                                 t.done.value(QStringLiteral("intake-paid")) - t.done.value(QStringLiteral("return")));
        // A transfer to another shop leaves one record; one to the same shop none.
        const int moves = count(QStringLiteral("SELECT count(*) FROM resale_moves"));
        QVERIFY2(moves > 0 && moves <= t.done.value(QStringLiteral("transfer")), qPrintable(QString::number(moves)));
        QCOMPARE(count(QStringLiteral("SELECT count(*) FROM resale_moves WHERE FromShop = ToShop OR ClerkID NOT "
                                      "BETWEEN 1 AND 8 OR Date IS NULL OR Time IS NULL")),
                 0);
        QElapsedTimer checking;
        checking.start();
        const QStringList breaches = invariants::check(*m_db);
        const qint64 checkMs = checking.elapsed();

        qInfo().noquote() << QStringLiteral("%1: %2 workstations x %3 operations in %4 s = %5 operations/s")
                                 .arg(engine)
                                 .arg(n)
                                 .arg(m)
                                 .arg(seconds, 0, 'f', 1)
                                 .arg(n * m / seconds, 0, 'f', 1);
        qInfo().noquote() << "  done:" << t.done << " refused:" << t.refused << " failed after retries:" << t.failed;
        for (auto it = t.conflicts.cbegin(); it != t.conflicts.cend(); ++it)
            qInfo().noquote() << QStringLiteral("  conflict, retried: %1 x %2").arg(it.value()).arg(it.key());
        for (auto it = t.refusals.cbegin(); it != t.refusals.cend(); ++it)
            qInfo().noquote() << QStringLiteral("  refused with a message: %1 x %2").arg(it.value()).arg(it.key());
        qInfo().noquote() << QStringLiteral("  breaches: %1 (reconciling %2 items took %3 ms)")
                                 .arg(breaches.size())
                                 .arg(itemRows())
                                 .arg(checkMs);
        QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join(QLatin1Char('\n'))));
        QVERIFY(t.done.value(QStringLiteral("sale")) > 0 && t.done.value(QStringLiteral("payout")) > 0);
    }

    // Workstations killed with SIGKILL in the middle of their work, many
    // times; then the program opens the database as usual.
    void killedWorkstations_data() { addEngineRows(); }
    void killedWorkstations() {
        QFETCH(QString, engine);
        if (!fixture(engine))
            return;
        const int kills = envInt("RESALE_STRESS_KILLS", 20);
        QRandomGenerator rand(77);
        QStringList journals;
        auto start = [&](int i) {
            journals << m_journals->filePath(QStringLiteral("ws%1.log").arg(journals.size()));
            return startWorkstation(2 + i, 1000000, 500 + journals.size(), journals.last());
        };
        QList<QProcess*> running{start(0), start(1)};
        for (QProcess* p : running)
            QVERIFY(p->waitForStarted());
        for (int k = 0; k < kills; ++k) {
            QThread::msleep(150 + rand.bounded(500));
            const int victim = rand.bounded(2);
            QProcess* p = running[victim];
            QCOMPARE(p->state(), QProcess::Running); // still working, not ended on its own
            p->kill();                               // SIGKILL
            QVERIFY(p->waitForFinished(10000));
            running[victim] = start(victim);
            QVERIFY(running[victim]->waitForStarted());
        }
        QThread::msleep(300);
        for (QProcess* p : running) {
            p->kill();
            QVERIFY(p->waitForFinished(10000));
        }
        m_db->close();
        if (engine == QLatin1String("sqlite"))
            QVERIFY(!markers(m_location).isEmpty()); // left behind by the killed copies

        Connection program;
        QCOMPARE(program.open(QString()), Connection::Status::Ready);
        if (engine == QLatin1String("sqlite")) {
            QCOMPARE(markers(m_location), QStringList{QFileInfo(program.markerPath()).fileName()});
        }
        Tally t;
        for (const QString& j : journals)
            t.read(j);
        const int inFlight = t.beganTotal() - t.ended;
        QVERIFY(inFlight >= 0 && inFlight <= kills + 2);
        Database& db = program.db();
        const QStringList breaches = invariants::check(db);
        QVERIFY2(breaches.isEmpty(), qPrintable(breaches.join(QLatin1Char('\n'))));
        // Whatever was cut off is either wholly there or wholly absent; what
        // reported success is there.
        m_db.reset();
        auto between = [&](int have, int done) { return have >= done && have <= done + inFlight; };
        auto scalar = [&](const QString& sql) { return db.scalar(sql).toInt(); };
        const int sales = scalar(QStringLiteral("SELECT count(*) FROM Prihod"));
        QVERIFY2(between(sales, t.done.value(QStringLiteral("sale"))), qPrintable(QString::number(sales)));
        const int annuls =
            scalar(QStringLiteral("SELECT count(*) FROM Expenses WHERE Note LIKE 'Анулиране на прод.%'"));
        QVERIFY(between(annuls, t.done.value(QStringLiteral("annul"))));
        const int items = scalar(QStringLiteral("SELECT count(*) FROM resale"));
        const int intakes =
            m_seeded + t.done.value(QStringLiteral("intake")) + t.done.value(QStringLiteral("intake-paid"));
        const int returns = t.done.value(QStringLiteral("return"));
        QVERIFY(items >= intakes - returns - inFlight && items <= intakes - returns + inFlight);
        const int moves = scalar(QStringLiteral("SELECT count(*) FROM resale_moves"));
        QVERIFY(moves <= t.done.value(QStringLiteral("transfer")) + inFlight);
        qInfo().noquote() << QStringLiteral("%1: %2 kills, %3 operations finished, %4 cut off; breaches: 0")
                                 .arg(engine)
                                 .arg(kills)
                                 .arg(t.ended)
                                 .arg(inFlight);
        qInfo().noquote() << "  cut off:" << t.cutOff() << " transfers recorded:" << moves
                          << " reported done:" << t.done.value(QStringLiteral("transfer"));
        // And the program goes on working after the crashes.
        ops::IntakeInput in;
        in.shop = 1;
        in.dogNo = ops::proposeContractNumber(db, 1);
        in.art = QStringLiteral("След срива");
        in.dlvPrice = 1000;
        QVERIFY(ops::intake({db, 1}, in).ok());
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && QByteArray(argv[1]) == "transfer-and-wait")
        return workstation::transferAndWait(QByteArray(argv[2]).toLongLong(), QByteArray(argv[3]).toInt(),
                                            QByteArray(argv[4]).toInt());
    if (argc >= 6 && QByteArray(argv[1]) == "workstation") {
        workstation::Plan plan;
        plan.clerk = QByteArray(argv[2]).toInt();
        plan.operations = QByteArray(argv[3]).toInt();
        plan.seed = QByteArray(argv[4]).toUInt();
        plan.journal = QString::fromLocal8Bit(argv[5]);
        return workstation::run(plan);
    }
    TestStress test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestStress.moc"
