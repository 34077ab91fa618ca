// A busy, full, read-only or lost database engine: the clerk gets a clear
// message, nothing is half booked, and the next try books once.
#include "db/Database.h"
#include "operations/Operations.h"
#include "tests/support/Engines.h"
#include "tools/SuiteDatabase.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class TestEngineFaults : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString newSuite(Database& db, const QString& engine) {
        m_dir = testenv::tempDir();
        QString location;
        bool ready = false;
        [&] {
            ENGINE_LOCATION(engine, m_dir, location);
            ready = true;
        }();
        if (!ready)
            return {};
        QString error;
        if (!suite::createDatabase(db, location, &error)) {
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
            return {};
        }
        suite::fillDemoMasterData(db);
        return location;
    }
    static ops::IntakeInput intake(int dogNo, bool payNow) {
        ops::IntakeInput in;
        in.shop = 1;
        in.dogNo = dogNo;
        in.art = QStringLiteral("Пералня");
        in.dlvPrice = 10000;
        in.salePrice = 15000;
        in.payNow = payNow;
        in.names = QStringLiteral("Иван");
        in.adres = QStringLiteral("София");
        in.egn = QStringLiteral("1234567890");
        return in;
    }
    static QStringList snapshot(Database& db) {
        QStringList out;
        for (const char* t : {"resale", "KASA", "Expenses", "TypeExpense"}) {
            QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
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

private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void cleanup() { Database::setBusyTimeout(5000); }

    // Another workstation holds a long write lock: the operation waits a
    // bounded time, then says so; nothing of it is written.
    void busyEmbeddedEngine() {
        Database::setBusyTimeout(300);
        Database db;
        const QString dir = newSuite(db, QStringLiteral("sqlite"));
        QVERIFY(!dir.isEmpty());
        db.close();
        QVERIFY(db.open(dir, nullptr));
        Database other;
        QVERIFY(other.open(dir, nullptr));
        const QStringList before = snapshot(db);
        other.begin(); // holds the write lock
        other.insert(QStringLiteral("KASA"), {{QStringLiteral("Note"), QStringLiteral("другото място")}});
        QElapsedTimer waited;
        waited.start();
        const ops::Result r = ops::intake({db, 1}, intake(1, true));
        QCOMPARE(r.status, ops::Status::EngineError);
        QVERIFY2(r.message.startsWith(QStringLiteral("Базата данни е заета от друго работно място")),
                 qPrintable(r.message));
        QVERIFY(waited.elapsed() >= 250); // it did wait before giving up
        other.rollback();
        QCOMPARE(snapshot(db), before);
        QVERIFY(ops::intake({db, 1}, intake(1, true)).ok());
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM KASA")).toInt(), 1);
    }

    void fullOrReadOnlyDatabase_data() {
        QTest::addColumn<QString>("pragma");
        QTest::addColumn<QString>("message");
        QTest::newRow("disk full") << "PRAGMA max_page_count = %1"
                                   << "Няма място на диска с базата данни";
        QTest::newRow("read-only") << "PRAGMA query_only = 1"
                                   << "Базата данни е само за четене";
    }
    void fullOrReadOnlyDatabase() {
        QFETCH(QString, pragma);
        QFETCH(QString, message);
        Database db;
        QVERIFY(!newSuite(db, QStringLiteral("sqlite")).isEmpty());
        QVERIFY(ops::intake({db, 1}, intake(1, false)).ok());
        const QStringList before = snapshot(db);
        // No page may be added beyond those the database has now.
        const int pages = db.scalar(QStringLiteral("PRAGMA page_count")).toInt();
        db.exec(pragma.contains(QLatin1String("%1")) ? pragma.arg(pages) : pragma);
        ops::Result r;
        for (int i = 0; i < 200 && (r = ops::intake({db, 1}, intake(2 + i, true))).ok(); ++i) {
        }
        QCOMPARE(r.status, ops::Status::EngineError);
        QVERIFY2(r.message.startsWith(message), qPrintable(r.message));
        // Whatever went in before the engine said no went in whole.
        const int items = db.scalar(QStringLiteral("SELECT count(*) FROM resale")).toInt();
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM KASA")).toInt(), items - 1);
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM Expenses")).toInt(), items - 1);
        if (pragma.contains(QLatin1String("query_only")))
            QCOMPARE(snapshot(db), before);
    }

    // The server dropped the connection (restart, network): the next
    // operation connects again and books once.
    void lostServerConnection() {
        Database db;
        const QString url = newSuite(db, QStringLiteral("postgresql"));
        if (url.isEmpty())
            return;
        QVERIFY(ops::intake({db, 1}, intake(1, false)).ok());
        const qint64 pid = db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        Database admin;
        QVERIFY(admin.open(url, nullptr));
        QVERIFY(admin.scalar(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid}).toBool());
        QTRY_VERIFY(
            !admin.scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = ?"), {pid}).toInt());
        const ops::Result r = ops::intake({db, 1}, intake(2, true));
        QVERIFY2(r.ok(), qPrintable(r.message));
        QCOMPARE(admin.scalar(QStringLiteral("SELECT count(*) FROM resale")).toInt(), 2);
        QCOMPARE(admin.scalar(QStringLiteral("SELECT count(*) FROM KASA")).toInt(), 1);
        // Reads outside an operation reconnect too.
        const qint64 pid2 = db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        QVERIFY(pid2 != pid);
        admin.scalar(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid2});
        QTRY_VERIFY(
            !admin.scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = ?"), {pid2}).toInt());
        QCOMPARE(db.scalar(QStringLiteral("SELECT count(*) FROM resale")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestEngineFaults)
#include "TestEngineFaults.moc"
