// Who may log in, and with which shop filter and clerk number.
#include "app/Login.h"
#include "db/Database.h"
#include "tests/support/TestEnv.h"
#include "tools/SuiteDatabase.h"

#include <QTest>

class TestLogin : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    Database m_db;

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        m_dir = testenv::tempDir();
        QString error;
        QVERIFY2(suite::createDatabase(m_db, m_dir->path(), &error), qPrintable(error));
        suite::fillDemoMasterData(m_db);
        auto clerk = [&](int id, const char* name, const char* nick, const char* pw, int prefs, int shop) {
            m_db.insert(QStringLiteral("CLERKS"), {{QStringLiteral("ID"), id}, {QStringLiteral("Name"), QString::fromUtf8(name)},
                                                   {QStringLiteral("Nick"), QString::fromUtf8(nick)},
                                                   {QStringLiteral("Password"), QString::fromUtf8(pw)},
                                                   {QStringLiteral("Prefs"), prefs}, {QStringLiteral("ShopID"), shop}});
        };
        clerk(20, "Първи двойник", "twin", "pw", 3, 4);
        clerk(21, "Втори двойник", "twin", "pw", 4, 0);
        clerk(22, "Странно ниво", "odd", "pw", 7, 2);
        clerk(23, "Кирилица", "Мария", "парола", 1, 0);
    }

    void cases_data() {
        QTest::addColumn<QString>("nick");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<int>("clerk");
        QTest::addColumn<int>("shop");
        const int G = int(login::Outcome::Granted), R = int(login::Outcome::Refused), N = int(login::Outcome::NoMatch);
        QTest::newRow("administrator") << "Administrator" << "vemka" << G << 1 << 0;
        QTest::newRow("name in capitals") << "ADMINISTRATOR" << "vemka" << N << 0 << 0;
        QTest::newRow("trailing space") << "Administrator " << "vemka" << N << 0 << 0;
        QTest::newRow("password case") << "Administrator" << "VEMKA" << N << 0 << 0;
        QTest::newRow("level 1 with shop") << "maria" << "1111" << G << 2 << 1;
        QTest::newRow("level 1 without shop") << "petar" << "2222" << G << 3 << 0;
        QTest::newRow("level 3 with shop") << "elena" << "3333" << G << 4 << 2;
        QTest::newRow("level 3 without shop") << "stoyan" << "4444" << G << 5 << 0;
        QTest::newRow("level 4 with shop is not bound") << "nikolay" << "5555" << G << 6 << 0;
        QTest::newRow("level 2 refused") << "desi" << "6666" << R << 7 << 0;
        QTest::newRow("level 0 refused") << "guest" << "0000" << R << 8 << 0;
        QTest::newRow("other level granted") << "odd" << "pw" << G << 22 << 0;
        QTest::newRow("first of two equal rows decides") << "twin" << "pw" << G << 20 << 4;
        QTest::newRow("cyrillic name") << "Мария" << "парола" << G << 23 << 0;
        QTest::newRow("wrong password") << "maria" << "111" << N << 0 << 0;
    }
    void cases() {
        QFETCH(QString, nick);
        QFETCH(QString, password);
        QFETCH(int, outcome);
        QFETCH(int, clerk);
        QFETCH(int, shop);
        const login::Result r = login::check(m_db, nick, password);
        QCOMPARE(int(r.outcome), outcome);
        if (r.outcome != login::Outcome::NoMatch)
            QCOMPARE(r.clerkId, clerk);
        QCOMPARE(r.filterShopId, shop);
    }

    void emptyClerksGetTheAdministrator() {
        m_db.exec(QStringLiteral("DELETE FROM CLERKS"));
        QCOMPARE(login::check(m_db, QStringLiteral("x"), QStringLiteral("y")).outcome, login::Outcome::NoMatch);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT count(*) FROM CLERKS")).toInt(), 1);
        const login::Result r = login::check(m_db, QStringLiteral("Administrator"), QStringLiteral("vemka"));
        QCOMPARE(r.outcome, login::Outcome::Granted);
        QCOMPARE(r.prefs, 4);
        QCOMPARE(r.name, QStringLiteral("Администратор"));
        QCOMPARE(r.filterShopId, 0);
        QVERIFY(!login::ensureDefaultClerk(m_db)); // only into an empty table
    }
};

QTEST_GUILESS_MAIN(TestLogin)
#include "TestLogin.moc"
