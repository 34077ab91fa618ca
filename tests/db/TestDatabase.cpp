// The table-engine layer on both engines: schema, names in any letter case,
// text cut in characters, dates compared as dates, transactions, bound
// parameters and the item table template.
#include "core/Text.h"
#include "db/Connection.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "tests/support/Engines.h"
#include "tools/SuiteDatabase.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

class TestDatabase : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    Database m_db;

    bool openFresh(const QString& engine) {
        m_db.close();
        m_dir = testenv::tempDir();
        QString location;
        bool skipped = true;
        [&] {
            ENGINE_LOCATION(engine, m_dir, location);
            skipped = false;
        }();
        if (skipped || location.isEmpty())
            return false;
        QString error;
        if (!suite::createDatabase(m_db, location, &error)) {
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
            return false;
        }
        return true;
    }

private slots:
    void initTestCase() { testenv::isolateSettings(); }

    void schemaAndNames_data() { addEngineRows(); }
    void schemaAndNames() {
        QFETCH(QString, engine);
        if (!openFresh(engine))
            return;
        QCOMPARE(m_db.checkSuiteSchema(), QString());
        // Every declared column is there, whatever letter case asks for it.
        for (const schema::Table* t : [] {
                 QList<const schema::Table*> all{&schema::items()};
                 for (const auto& s : schema::suiteTables())
                     all << &s;
                 return all;
             }()) {
            QStringList lower, upper;
            for (const auto& c : t->columns) {
                lower << schema::sqlName(c.name.toLower());
                upper << schema::sqlName(c.name.toUpper());
            }
            QSqlQuery q = m_db.exec(QStringLiteral("SELECT %1, %2 FROM %3").arg(lower.join(','), upper.join(','), t->name.toUpper()));
            QCOMPARE(q.record().count(), 2 * t->columns.size());
        }
        // Values are read by name in any case too.
        m_db.insert(QStringLiteral("SHOPS"), {{QStringLiteral("name"), QStringLiteral("Център")}, {QStringLiteral("ACTIVE"), true}});
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT * FROM shops"));
        QVERIFY(q.next());
        QCOMPARE(q.value(QStringLiteral("NAME")).toString(), QStringLiteral("Център"));
        QCOMPARE(q.value(QStringLiteral("Active")).toBool(), true);
        QCOMPARE(q.value(QStringLiteral("away")).isNull(), true);
        // A column the table does not have is refused before anything is written.
        QVERIFY_THROWS_EXCEPTION(DbError, m_db.insert(QStringLiteral("Shops"), {{QStringLiteral("Nope"), 1}}));
    }

    void textCutInCharacters_data() { addEngineRows(); }
    void textCutInCharacters() {
        QFETCH(QString, engine);
        if (!openFresh(engine))
            return;
        const QString names = QString(40, QChar(0x0416)); // 40 x "Ж": 80 bytes in UTF-8
        const QString note = QStringLiteral("По договор №12 - ") + QString(60, QChar(0x044F));
        const qint64 id = m_db.insert(QStringLiteral("resale"), {{QStringLiteral("DlvNames"), names},
                                                                {QStringLiteral("DlvEGN"), QStringLiteral("12345678901")},
                                                                {QStringLiteral("Art"), QStringLiteral("O'Brien's \"fridge\"")}});
        QVERIFY(id > 0);
        m_db.insert(QStringLiteral("Prihod"), {{QStringLiteral("Note"), note}});
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT DlvNames, DlvEGN, Art FROM resale WHERE Id = ?"), {id});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString(), names.left(35));
        QCOMPARE(q.value(1).toString(), QStringLiteral("1234567890"));
        QCOMPARE(q.value(2).toString(), QStringLiteral("O'Brien's \"fridge\""));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT Note FROM Prihod")).toString(), note.left(50));
        // The apostrophe is data, not SQL.
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT count(*) FROM resale WHERE Art = ?"), {QStringLiteral("O'Brien's \"fridge\"")}).toInt(), 1);
    }

    // A character outside the Basic Multilingual Plane (two UTF-16 units) is
    // one character of the column and is never split by the cut.
    void textCutInWholeCharacters_data() { addEngineRows(); }
    void textCutInWholeCharacters() {
        QFETCH(QString, engine);
        if (!openFresh(engine))
            return;
        const QString face = QString::fromUcs4(U"\U0001F600");
        const QString exactly = QString(24, QLatin1Char('S')) + face;       // 25 characters: fits Serial(25)
        const QString longer = QString(24, QLatin1Char('S')) + face + face; // 26: the last one goes
        const QString twenty = QString(20, QChar(0x0416)) + face;          // the shop's name shown in 20
        const qint64 a = m_db.insert(QStringLiteral("resale"), {{QStringLiteral("Serial"), exactly}});
        const qint64 b = m_db.insert(QStringLiteral("resale"), {{QStringLiteral("Serial"), longer}});
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT Serial FROM resale WHERE Id = ?"), {a}).toString(), exactly);
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT Serial FROM resale WHERE Id = ?"), {b}).toString(), exactly);
        QCOMPARE(text::length(exactly), 25);
        QCOMPARE(text::left(twenty, 20), QString(20, QChar(0x0416)));
        QCOMPARE(text::left(QString(19, QChar(0x0416)) + face + face, 20), QString(19, QChar(0x0416)) + face);
        QCOMPARE(text::left(face + face, 1), face);
        QCOMPARE(text::left(QStringLiteral("абв"), 10), QStringLiteral("абв"));
    }

    void datesCompareAsDates_data() { addEngineRows(); }
    void datesCompareAsDates() {
        QFETCH(QString, engine);
        if (!openFresh(engine))
            return;
        const QList<QDate> days{QDate(2026, 2, 28), QDate(2026, 3, 1), QDate(2026, 3, 31), QDate(2026, 4, 1),
                                QDate(2026, 10, 1), QDate(2025, 12, 31)};
        for (const QDate& d : days)
            m_db.insert(QStringLiteral("resale"), {{QStringLiteral("DateGet"), d}, {QStringLiteral("Art"), d.toString()}});
        m_db.insert(QStringLiteral("KASA"), {{QStringLiteral("Date"), QDate(2026, 3, 1)}, {QStringLiteral("Time"), QTime(9, 5, 7)}});
        // March inclusive of its first and last day, and nothing else.
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT DateGet FROM resale WHERE DateGet >= ? AND DateGet <= ? ORDER BY DateGet"),
                                {m_db.dateParam(QDate(2026, 3, 1)), m_db.dateParam(QDate(2026, 3, 31))});
        QList<QDate> got;
        while (q.next())
            got << Database::toDate(q.value(0));
        QCOMPARE(got, (QList<QDate>{QDate(2026, 3, 1), QDate(2026, 3, 31)}));
        QCOMPARE(Database::toDate(m_db.scalar(QStringLiteral("SELECT max(DateGet) FROM resale"))), QDate(2026, 10, 1));
        QCOMPARE(Database::toTime(m_db.scalar(QStringLiteral("SELECT Time FROM KASA"))), QTime(9, 5, 7));
        QCOMPARE(Database::toDate(m_db.scalar(QStringLiteral("SELECT Date FROM KASA"))), QDate(2026, 3, 1));
    }

    // Dates read back from the embedded engine's ISO text, and what is not
    // a date stays no date.
    void datesFromText_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QDate>("expected");
        QTest::newRow("day") << QVariant(QStringLiteral("2026-03-01")) << QDate(2026, 3, 1);
        QTest::newRow("with a time") << QVariant(QStringLiteral("2024-02-29T10:00:00")) << QDate(2024, 2, 29);
        QTest::newRow("no such day") << QVariant(QStringLiteral("2025-02-29")) << QDate();
        QTest::newRow("month 13") << QVariant(QStringLiteral("2025-13-01")) << QDate();
        QTest::newRow("letters") << QVariant(QStringLiteral("2025-0a-01")) << QDate();
        QTest::newRow("cut short") << QVariant(QStringLiteral("2025-01-1")) << QDate();
        QTest::newRow("empty") << QVariant(QString()) << QDate();
        QTest::newRow("null") << QVariant() << QDate();
        QTest::newRow("a date") << QVariant(QDate(1999, 12, 31)) << QDate(1999, 12, 31);
    }
    void datesFromText() {
        QFETCH(QVariant, value);
        QFETCH(QDate, expected);
        QCOMPARE(Database::toDate(value), expected);
    }

    void transactions_data() { addEngineRows(); }
    void transactions() {
        QFETCH(QString, engine);
        if (!openFresh(engine))
            return;
        auto count = [&] { return m_db.scalar(QStringLiteral("SELECT count(*) FROM KASA")).toInt(); };
        // An exception between two writes leaves neither.
        try {
            Transaction tx(m_db);
            m_db.insert(QStringLiteral("KASA"), {{QStringLiteral("InSum"), 10.0}});
            m_db.exec(QStringLiteral("SELECT no_such_column FROM KASA"));
            m_db.insert(QStringLiteral("KASA"), {{QStringLiteral("InSum"), 20.0}});
            tx.commit();
            QFAIL("the bad statement did not throw");
        } catch (const DbError& e) {
            QVERIFY(!e.message().isEmpty());
        }
        QCOMPARE(count(), 0);
        QVERIFY(!m_db.inTransaction());
        // A committed transaction stays, and the connection is usable again.
        {
            Transaction tx(m_db);
            m_db.insert(QStringLiteral("KASA"), {{QStringLiteral("InSum"), 10.0}});
            tx.commit();
        }
        QCOMPARE(count(), 1);
        // An injected fault at the n-th statement acts like an engine error.
        Database::failStatement(2);
        try {
            Transaction tx(m_db);                                            // statement 1: BEGIN
            m_db.insert(QStringLiteral("KASA"), {{QStringLiteral("InSum"), 5.0}}); // statement 2: fails
            tx.commit();
            QFAIL("the injected fault did not throw");
        } catch (const DbError&) {
        }
        Database::failStatement(0);
        QCOMPARE(count(), 1);
    }

    void itemTableTemplate_data() { addEngineRows(); }
    void itemTableTemplate() {
        QFETCH(QString, engine);
        if (!openFresh(engine))
            return;
        const QString tmpl = m_dir->filePath(QStringLiteral("template/resale.db"));
        QDir().mkpath(QFileInfo(tmpl).path());
        {
            Database t;
            QString error;
            QVERIFY(t.open(QFileInfo(tmpl).path(), &error, true));
            t.exec(schema::createTableSql(schema::items(), Engine::SQLite));
            t.close();
            QFile::rename(QFileInfo(tmpl).path() + QLatin1Char('/') + Database::fileName(), tmpl);
        }
        m_db.exec(QStringLiteral("DROP TABLE resale"));
        QVERIFY(!m_db.hasTable(QStringLiteral("resale")));
        QString error;
        // No template: reported, nothing created.
        QVERIFY(!Connection::ensureItemTable(m_db, tmpl + QStringLiteral(".missing"), &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(Connection::ensureItemTable(m_db, tmpl, &error));
        QCOMPARE(m_db.columns(QStringLiteral("resale")).size(), schema::items().columns.size());
        const qint64 id = m_db.insert(QStringLiteral("resale"), {{QStringLiteral("Art"), QStringLiteral("Пералня")}});
        QVERIFY(id > 0);
        // An existing item table is never replaced.
        QVERIFY(Connection::ensureItemTable(m_db, tmpl, &error));
        QCOMPARE(m_db.scalar(QStringLiteral("SELECT Art FROM resale WHERE Id = ?"), {id}).toString(), QStringLiteral("Пералня"));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "TestDatabase.moc"
