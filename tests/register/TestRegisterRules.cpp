// The register's rules without windows: views, period, availability, find.
#include "register/CommandAvailability.h"
#include "register/FindStatement.h"
#include "register/PeriodRules.h"
#include "register/RegisterView.h"
#include "tests/support/TestEnv.h"

#include <QtTest>

class TestRegisterRules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testenv::isolateSettings(); }

    void views_data() {
        QTest::addColumn<int>("view");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("period");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QVariantList>("sqliteParams");
        QTest::newRow("0") << 0 << "Само наличните уреди в магазина" << false << "saled=?" << QVariantList{0};
        QTest::newRow("1") << 1 << "Всички приети уреди за период" << true << "dateget>=? and dateget<=?"
                           << QVariantList{"2005-03-01", "2005-03-31"};
        QTest::newRow("2") << 2 << "Само продадените уреди за период" << true
                           << "saled=? and datesale>=? and datesale<=?" << QVariantList{1, "2005-03-01", "2005-03-31"};
        QTest::newRow("3") << 3 << "Само продадените,  но неизплатени уреди" << false << "saled=? and payed=?"
                           << QVariantList{1, 0};
        QTest::newRow("4") << 4 << "Само изплатените уреди за период" << true << "payed=? and datepay>=? and datepay<=?"
                           << QVariantList{1, "2005-03-01", "2005-03-31"};
        QTest::newRow("5") << 5 << "Само неизплатените уреди" << false << "payed=?" << QVariantList{0};
    }
    void views() {
        QFETCH(int, view);
        QFETCH(QString, text);
        QFETCH(bool, period);
        QFETCH(QString, condition);
        QFETCH(QVariantList, sqliteParams);
        const QDate from(2005, 3, 1), to(2005, 3, 31);
        QCOMPARE(RegisterView::texts().size(), RegisterView::kCount);
        QCOMPARE(RegisterView::text(view), text);
        QCOMPARE(RegisterView::usesPeriod(view), period);
        const RegisterStatement s = RegisterView::statement(view, from, to, Engine::SQLite);
        QCOMPARE(s.sql, QStringLiteral("select * from resale where ") + condition);
        QCOMPARE(s.params, sqliteParams);
        QCOMPARE(s.sql.count(QLatin1Char('?')), s.params.size());
        // PostgreSQL gets real booleans and dates.
        const RegisterStatement pg = RegisterView::statement(view, from, to, Engine::PostgreSQL);
        QCOMPARE(pg.sql, s.sql);
        for (const QVariant& p : pg.params)
            QVERIFY(p.typeId() == QMetaType::Bool || p.typeId() == QMetaType::QDate);
        // The printed title names the period only where the view uses one.
        QCOMPARE(RegisterView::printTitle(view, from, to),
                 period ? text + QStringLiteral(" от 01.03.2005 до 31.03.2005") : text);
    }

    void period_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("newTo");
        QTest::addColumn<QDate>("newFrom");
        const QDate today(2026, 3, 10);
        QTest::newRow("inside") << QDate(2026, 3, 1) << QDate(2026, 3, 5) << today << QDate(2026, 3, 5) << QDate(2026, 3, 1);
        QTest::newRow("to in the future") << QDate(2026, 3, 1) << QDate(2027, 1, 1) << today << today << QDate(2026, 3, 1);
        QTest::newRow("to today") << QDate(2026, 3, 1) << today << today << today << QDate(2026, 3, 1);
        QTest::newRow("to before from") << QDate(2026, 3, 5) << QDate(2026, 3, 2) << today << QDate(2026, 3, 5)
                                        << QDate(2026, 3, 2);
        QTest::newRow("from after to") << QDate(2026, 3, 9) << QDate(2026, 3, 8) << today << QDate(2026, 3, 9)
                                       << QDate(2026, 3, 8);
        QTest::newRow("one day") << today << today << today << today << today;
    }
    void period() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QDate, today);
        QFETCH(QDate, newTo);
        QFETCH(QDate, newFrom);
        QCOMPARE(PeriodRules::clampTo(to, from, today), newTo);
        QCOMPARE(PeriodRules::clampFrom(from, to), newFrom);
        QCOMPARE(PeriodRules::initialFrom(today), QDate(2026, 3, 1));
    }

    void restoredPeriod_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QDate>("newFrom");
        QTest::addColumn<QDate>("newTo");
        const QDate today(2026, 3, 20);
        QTest::newRow("running to today: kept") << QDate(2026, 2, 10) << today << QDate(2026, 2, 10) << today;
        QTest::newRow("one day: today") << today << today << today << today;
        QTest::newRow("ended yesterday: today's month")
            << QDate(2026, 3, 2) << QDate(2026, 3, 19) << QDate(2026, 3, 1) << today;
        QTest::newRow("last year's: today's month")
            << QDate(2025, 1, 1) << QDate(2025, 12, 31) << QDate(2026, 3, 1) << today;
        // The clock was turned back since: the period ends today.
        QTest::newRow("ends in the future") << QDate(2026, 3, 5) << QDate(2026, 4, 30) << QDate(2026, 3, 5) << today;
        QTest::newRow("starts in the future") << QDate(2026, 4, 1) << QDate(2026, 4, 30) << today << today;
        QTest::newRow("start after end") << QDate(2026, 3, 20) << QDate(2026, 3, 1) << QDate(2026, 3, 1) << today;
        QTest::newRow("none saved") << QDate() << QDate() << QDate(2026, 3, 1) << today;
    }
    void restoredPeriod() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QDate, newFrom);
        QFETCH(QDate, newTo);
        const auto [f, t] = PeriodRules::restored(from, to, QDate(2026, 3, 20));
        QCOMPARE(f, newFrom);
        QCOMPARE(t, newTo);
    }

    void availability_data() {
        QTest::addColumn<bool>("rows");
        QTest::addColumn<bool>("saled");
        QTest::addColumn<bool>("payed");
        QTest::addColumn<QString>("on"); // sale pay back prices move anul
        QTest::newRow("no rows") << false << false << false << "------";
        QTest::newRow("no rows, flags ignored") << false << true << true << "------";
        QTest::newRow("in stock, not paid") << true << false << false << "SPBRM-";
        QTest::newRow("in stock, paid") << true << false << true << "S--RM-";
        QTest::newRow("sold, not paid") << true << true << false << "-P---A";
        QTest::newRow("sold and paid") << true << true << true << "-----A";
    }
    void availability() {
        QFETCH(bool, rows);
        QFETCH(bool, saled);
        QFETCH(bool, payed);
        QFETCH(QString, on);
        const CommandAvailability a = CommandAvailability::forRow(rows, saled, payed);
        const QString got = QString(a.sale ? "S" : "-") + (a.pay ? "P" : "-") + (a.back ? "B" : "-") +
                            (a.prices ? "R" : "-") + (a.move ? "M" : "-") + (a.anul ? "A" : "-");
        QCOMPARE(got, on);
    }

    void findStatements_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sqliteSql");
        QTest::addColumn<QString>("sqliteParam");
        QTest::addColumn<QString>("pgSql");
        QTest::addColumn<QString>("pgParam");
        const QString sel = QStringLiteral("select * from resale where ");
        QTest::newRow("begins with") << 0 << 0 << "ABC" << sel + "resale_fold(art) like ?" << "abc%"
                                     << sel + "lower(art collate \"und-x-icu\") like lower(? collate \"und-x-icu\") escape ''"
                                     << "ABC%";
        QTest::newRow("contains") << 1 << 1 << "12" << sel + "resale_fold(serial) like ?" << "%12%"
                                  << sel + "lower(serial collate \"und-x-icu\") like lower(? collate \"und-x-icu\") escape ''"
                                  << "%12%";
        QTest::newRow("apostrophe bound") << 2 << 1 << "О'Нийл" << sel + "resale_fold(DlvNames) like ?" << "%о'нийл%"
                                          << sel + "lower(DlvNames collate \"und-x-icu\") like lower(? collate \"und-x-icu\") escape ''"
                                          << "%О'Нийл%";
        QTest::newRow("wildcards stay") << 3 << 0 << "75%1_" << sel + "resale_fold(DlvEGN) like ?" << "75%1_%"
                                        << sel + "lower(DlvEGN collate \"und-x-icu\") like lower(? collate \"und-x-icu\") escape ''"
                                        << "75%1_%";
        QTest::newRow("spaces only") << 4 << 0 << "   " << sel + "resale_fold(ClientNames) like ?" << "   %"
                                     << sel + "lower(ClientNames collate \"und-x-icu\") like lower(? collate \"und-x-icu\") escape ''"
                                     << "   %";
        QTest::newRow("statement text never holds the text")
            << 5 << 1 << "'; drop table resale; --" << sel + "resale_fold(ClientInfo) like ?" << "%'; drop table resale; --%"
            << sel + "lower(ClientInfo collate \"und-x-icu\") like lower(? collate \"und-x-icu\") escape ''"
            << "%'; drop table resale; --%";
    }
    void findStatements() {
        QFETCH(int, field);
        QFETCH(int, way);
        QFETCH(QString, text);
        QFETCH(QString, sqliteSql);
        QFETCH(QString, sqliteParam);
        QFETCH(QString, pgSql);
        QFETCH(QString, pgParam);
        FindStatement::Dialect lite;
        const RegisterStatement s = FindStatement::build(field, way, text, lite);
        QCOMPARE(s.sql, sqliteSql);
        QCOMPARE(s.params, QVariantList{sqliteParam});
        FindStatement::Dialect pg{Engine::PostgreSQL, false, true};
        const RegisterStatement p = FindStatement::build(field, way, text, pg);
        QCOMPARE(p.sql, pgSql);
        QCOMPARE(p.params, QVariantList{pgParam});
    }

    void findTexts() {
        QCOMPARE(FindStatement::fieldTexts(),
                 QStringList({"Уред", "Сериен номер на уред", "Име на продавач", "ЕГН на продавач", "Име на купувач",
                              "Доп. инфо на купувач"}));
        QCOMPARE(FindStatement::wayTexts(), QStringList({"Започва с", "Съдържа"}));
        QCOMPARE(FindStatement::pattern(FindStatement::BeginsWith, QString(200, QLatin1Char('x'))).size(), 201);
    }
};

QTEST_MAIN(TestRegisterRules)
#include "TestRegisterRules.moc"
