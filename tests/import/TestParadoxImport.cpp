// Bringing the old books over: the suite's Paradox tables, written here with
// pxlib's own writer, imported into both engines; every cell compared, the
// check's figures and breaches, the refusals that leave the target as it
// was, and the imported database used by the program.
#include "app/Login.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "operations/Operations.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/Engines.h"
#include "tests/support/OldBooks.h"
#include "tests/support/TestEnv.h"
#include "tools/SuiteDatabase.h"
#include "tools/import/ParadoxImport.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/GroupingModel.h"
#include "widgets/MessageService.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QtTest>
#include "tools/import/Pxlib.h"

using oldbooks::Books;

namespace {

// A cell as text, the same for what was written and what was read back.
QString cell(char kind, const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return QStringLiteral("<blank>");
    switch (kind) {
    case pxfDate:
        return Database::toDate(v).toString(Qt::ISODate);
    case pxfTime:
        return Database::toTime(v).toString(QStringLiteral("HH:mm:ss"));
    case pxfLogical:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case pxfCurrency:
    case pxfNumber:
        return QString::number(v.toDouble(), 'g', 17);
    case pxfAlpha:
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    default:
        return QString::number(v.toLongLong());
    }
}

QString columnSql(const oldbooks::Table& t, int i, Engine e) {
    const QString name = t.fields.at(i).name;
    if (i < t.declaredCount)
        return schema::sqlName(name);
    return QLatin1Char('"') + (e == Engine::PostgreSQL && name.at(0).unicode() < 128 ? name.toLower() : name) +
           QLatin1Char('"');
}

// Every row of the table, each as one line of its cells, sorted.
QStringList writtenRows(const oldbooks::Table& t) {
    QStringList out;
    for (const QVariantList& r : t.rows) {
        QStringList cells;
        for (int i = 0; i < t.fields.size(); ++i)
            cells << cell(t.fields.at(i).kind, r.value(i));
        out << cells.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

QStringList importedRows(Database& db, const oldbooks::Table& t) {
    QStringList cols;
    for (int i = 0; i < t.fields.size(); ++i)
        cols << columnSql(t, i, db.engine());
    QSqlQuery q = db.exec(QStringLiteral("SELECT %1 FROM %2").arg(cols.join(QLatin1Char(',')), t.name));
    QStringList out;
    while (q.next()) {
        QStringList cells;
        for (int i = 0; i < t.fields.size(); ++i)
            cells << cell(t.fields.at(i).kind, q.value(i));
        out << cells.join(QLatin1Char('|'));
    }
    out.sort();
    return out;
}

// What a target holds, to prove a refused import left it alone.
QString targetState(const QString& location) {
    if (!Database::isUrl(location)) {
        if (!QFileInfo::exists(location))
            return QStringLiteral("no folder");
        if (!QFileInfo::exists(QDir(location).filePath(Database::fileName())))
            return QStringLiteral("folder: ") + QDir(location).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).join(',');
    }
    Database db;
    QString error;
    if (!db.open(location, &error))
        return QStringLiteral("cannot open: ") + error;
    QStringList out;
    QSqlQuery q = db.exec(db.engine() == Engine::SQLite
                              ? QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")
                              : QStringLiteral("SELECT tablename FROM pg_tables WHERE schemaname = current_schema() "
                                               "ORDER BY tablename"));
    QStringList tables;
    while (q.next())
        tables << q.value(0).toString();
    for (const QString& t : tables)
        out << QStringLiteral("%1=%2").arg(t, db.scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(t)).toString());
    return out.join(',');
}

QString shownAmount(double leva) {
    QString s = QString::number(leva, 'f', 2);
    for (int i = s.indexOf('.') - 3; i > (s.startsWith('-') ? 1 : 0); i -= 3)
        s.insert(i, ' ');
    return s;
}

} // namespace

class TestParadoxImport : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_books; // the old books, written once
    Books m_written;

    QString folder() const { return m_books->path() + QStringLiteral("/old"); }

    // A copy of the old books to spoil.
    QString copyOfBooks(QTemporaryDir& dir) {
        const QString to = dir.path() + QStringLiteral("/copy");
        QDir().mkpath(to);
        for (const QString& f : QDir(folder()).entryList(QDir::Files))
            QFile::copy(QDir(folder()).filePath(f), to + QLatin1Char('/') + f);
        return to;
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        m_books = testenv::tempDir();
        QString error;
        QVERIFY2(oldbooks::write(folder(), &m_written, &error), qPrintable(error));
        QVERIFY(m_written.breachDay.isValid());
        // The names as the folder holds them, in their mixed letter cases.
        const QStringList files = QDir(folder()).entryList(QDir::Files);
        QVERIFY(files.contains("Kasa.db") && files.contains("OBOROT.DB") && files.contains("typeexpense.DB"));
    }

    void everyCellArrives_data() { addEngineRows(); }
    void everyCellArrives() {
        QFETCH(QString, engine);
        auto dir = testenv::tempDir();
        QString location;
        ENGINE_LOCATION(engine, dir, location);
        if (!Database::isUrl(location))
            location += QStringLiteral("/new");
        QStringList lines;
        QStringList tablesDone;
        paradoximport::Progress progress;
        progress.message = [&](const QString& l) { lines << l; };
        progress.rows = [&](const QString& t, qint64 done, qint64 total) {
            if (done == total)
                tablesDone << t;
            return true;
        };
        const paradoximport::Report report = paradoximport::importFolder(folder(), location, progress);
        QVERIFY2(report.ok, qPrintable(report.text()));
        QCOMPARE(tablesDone.size(), 11);

        Database db;
        QString error;
        QVERIFY2(db.open(location, &error), qPrintable(error));
        for (const oldbooks::Table& t : m_written.tables) {
            const QStringList want = writtenRows(t), got = importedRows(db, t);
            QCOMPARE(got.size(), want.size());
            for (int i = 0; i < want.size(); ++i)
                QVERIFY2(got.at(i) == want.at(i), qPrintable(t.file + ":\n got  " + got.at(i) + "\n want " + want.at(i)));
        }
        // The program's own check of the tables passes on the new database.
        QCOMPARE(db.checkSuiteSchema(), QString());

        // The check: each table's rows and money sums, both sides.
        QCOMPARE(report.tables.size(), 11);
        for (const paradoximport::TableCheck& t : report.tables) {
            QVERIFY2(t.agrees(), qPrintable(t.table));
            const oldbooks::Table* w = m_written.find(t.table);
            QCOMPARE(t.sourceRows, qint64(w->rows.size()));
            QCOMPARE(t.file, w->file);
            for (const paradoximport::MoneySum& s : t.sums) {
                qint64 expected = 0;
                for (const QVariantList& r : w->rows)
                    expected += qRound64(r.value(w->field(s.column)).toDouble() * 100);
                QCOMPARE(s.source, expected);
            }
        }
        const paradoximport::TableCheck& cash = *std::find_if(report.tables.cbegin(), report.tables.cend(),
                                                              [](const auto& t) { return t.table == "KASA"; });
        QCOMPARE(cash.sums.size(), 3); // InSum, OutSum, Nal
        QCOMPARE(cash.extraColumns, QStringList{QStringLiteral("Смяна")});
        // One known breach in the old books, told in the owner's words; the import still succeeds.
        QVERIFY(report.booksChecked);
        QVERIFY2(report.breaches.size() == 1, qPrintable(report.breaches.join("\n")));
        const QString breach = report.breaches.first();
        QVERIFY2(breach.contains(m_written.breachDay.toString(QStringLiteral("dd.MM.yyyy"))) &&
                     breach.contains(QStringLiteral("оборотът е %1 лв.").arg(shownAmount(m_written.breachTurnover))) &&
                     breach.contains(QStringLiteral("трябва да е %1 лв.").arg(shownAmount(m_written.breachTurnover - 10))),
                 qPrintable(breach));
        const QString text = report.text();
        QVERIFY(text.contains(QStringLiteral("Kasa.db: %1 → %1 реда — съвпада").arg(cash.sourceRows)));
        QVERIFY(text.contains(report.breaches.first()));
        QVERIFY(text.contains(QStringLiteral("Garancia")));
        QVERIFY(lines.contains(QStringLiteral("Таблица resale.db: %1 реда…").arg(m_written.find("resale")->rows.size())));

        // The report saves as text.
        const QString saved = dir->path() + QStringLiteral("/report.txt");
        QVERIFY(report.save(saved, &error));
        QFile f(saved);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(f.readAll()), text);

        // Numbering continues after the highest number the old books used.
        const qint64 next = db.insert(QStringLiteral("resale"), {{QStringLiteral("Art"), QStringLiteral("нов")}});
        QCOMPARE(next, m_written.unsoldItemId + 1);
        qint64 maxCash = 0;
        for (const QVariantList& r : m_written.find("KASA")->rows)
            maxCash = qMax(maxCash, r.at(0).toLongLong());
        QCOMPARE(db.insert(QStringLiteral("KASA"), {{QStringLiteral("Note"), QStringLiteral("x")}}), maxCash + 1);
        // ... or after the table's own counter, where that is higher.
        QCOMPARE(db.insert(QStringLiteral("Expenses"), {{QStringLiteral("Note"), QStringLiteral("x")}}),
                 m_written.expensesCounter + 1);
    }

    void refusalsLeaveTargetAlone_data() {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QString>("message");
        for (const char* e : {"sqlite", "postgresql"}) {
            QTest::addRow("%s: target not empty", e)
                << e << "full" << "не е празна (таблица CLERKS има записи)";
            QTest::addRow("%s: truncated table", e) << e << "truncate" << "Kasa.db: файлът е непълен";
            QTest::addRow("%s: no item table", e) << e << "missing" << "няма таблица resale.db";
            QTest::addRow("%s: declared column of another kind", e)
                << e << "kind" << "колоната InSum е „текст“ в старата база, а програмата я води като „число (сума)“";
            QTest::addRow("%s: a row the database refuses", e)
                << e << "duplicate" << "Таблица resale.db, ред ";
            QTest::addRow("%s: interrupted", e) << e << "cancel" << "Вносът е прекъснат";
        }
    }
    void refusalsLeaveTargetAlone() {
        QFETCH(QString, engine);
        QFETCH(QString, spoil);
        QFETCH(QString, message);
        auto dir = testenv::tempDir();
        QString location;
        ENGINE_LOCATION(engine, dir, location);
        if (!Database::isUrl(location))
            location += QStringLiteral("/new");
        const QString books = copyOfBooks(*dir);
        if (spoil == "full") {
            Database db;
            QString error;
            QVERIFY2(suite::createDatabase(db, location, &error), qPrintable(error));
            db.insert(QStringLiteral("CLERKS"), {{QStringLiteral("ID"), 1}, {QStringLiteral("Name"), QStringLiteral("Иван")}});
        } else if (spoil == "truncate") {
            QFile f(books + QStringLiteral("/Kasa.db"));
            QVERIFY(f.resize(f.size() - 700));
        } else if (spoil == "missing") {
            QVERIFY(QFile::remove(books + QStringLiteral("/resale.db")));
        } else if (spoil == "kind") {
            oldbooks::Table t = *m_written.find("KASA");
            const int in = t.field("InSum");
            t.fields[in] = {QStringLiteral("InSum"), pxfAlpha, 12};
            for (QVariantList& r : t.rows)
                r[in] = r[in].isNull() ? QVariant() : QVariant(QString::number(r[in].toDouble(), 'f', 2));
            QString error;
            QVERIFY(paradoxfixture::writeTable(books + "/Kasa.db", t.fields, t.rows, &error));
        } else if (spoil == "duplicate") {
            oldbooks::Table t = *m_written.find("resale");
            t.rows << t.rows.at(3); // the same number twice
            QString error;
            QVERIFY(paradoxfixture::writeTable(books + "/resale.db", t.fields, t.rows, &error));
            message += QString::number(t.rows.size());
        }
        const QString before = targetState(location);
        paradoximport::Progress progress;
        progress.rows = [&](const QString& table, qint64, qint64) { return !(spoil == "cancel" && table == "KASA"); };
        const paradoximport::Report report = paradoximport::importFolder(books, location, progress);
        QVERIFY(!report.ok);
        QVERIFY2(report.error.contains(message), qPrintable(report.error));
        QVERIFY(report.text().contains(report.error));
        QCOMPARE(targetState(location), before);
    }

    // The imported books in the program: an imported clerk logs in, the
    // register lists the imported appliances with their sums, and an
    // imported appliance in stock is sold.
    void programWorksOnImport() {
        auto dir = testenv::tempDir();
        const QString location = dir->path() + QStringLiteral("/new");
        const paradoximport::Report report = paradoximport::importFolder(folder(), location);
        QVERIFY2(report.ok, qPrintable(report.text()));

        {
            Database db;
            QString error;
            QVERIFY(db.open(location, &error));
            const login::Result who = login::check(db, QStringLiteral("maria"), QStringLiteral("1111"));
            QCOMPARE(int(who.outcome), int(login::Outcome::Granted));
            QCOMPARE(who.name, QStringLiteral("Мария Петрова"));
        }

        suite::writeSettings(location);
        auto w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        QVERIFY(w->isReady());
        w->setLoggedIn(2, QStringLiteral("Мария Петрова"), 1);
        w->createDialogs();
        w->show();
        auto* grid = ui::control<GroupingGrid>(w.get(), "grid");
        auto* table = qobject_cast<GridTableModel*>(grid->model()->sourceModel());
        // The view of appliances in stock: every imported unsold one, with its sum.
        const oldbooks::Table& items = *m_written.find("resale");
        QStringList want;
        double dlv = 0;
        for (const QVariantList& r : items.rows)
            if (!r.at(items.field("Saled")).toBool()) {
                want << r.at(items.field("Art")).toString();
                dlv += r.at(items.field("DlvPrice")).toDouble();
            }
        QStringList got;
        for (int r = 0; r < table->rowCount(); ++r)
            got << table->value(r, table->columnIndex("Art")).toString();
        want.sort();
        got.sort();
        QCOMPARE(got, want);
        QCOMPARE(grid->model()->footerText(grid->columnByName("gridDPrice")), shownAmount(dlv));
        w.reset();

        Database db;
        QString error;
        QVERIFY(db.open(location, &error));
        const ops::Result sold = ops::sale({db, 2}, {m_written.unsoldItemId, 140000, QStringLiteral("Купувач Купувачев"),
                                                     QStringLiteral("София"), QString(), QString()});
        QVERIFY2(sold.ok(), qPrintable(sold.message));
        QCOMPARE(db.scalar("SELECT Saled FROM resale WHERE Id = ?", {m_written.unsoldItemId}).toBool(), true);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM Prihod WHERE Note = ?",
                           {ops::contractNote(90002, QStringLiteral("Пералня Индезит ЕВ-1200"))})
                     .toInt(),
                 1);
    }

    // kalvina-suite --import: progress per table, the report, exit status.
    void commandLine() {
        auto dir = testenv::tempDir();
        const QString exe = QCoreApplication::applicationDirPath() + QStringLiteral("/kalvina-suite");
        QProcess p;
        p.start(exe, {QStringLiteral("--import"), folder(), dir->path() + "/new", QStringLiteral("--no-settings"),
                      QStringLiteral("--report"), dir->path() + "/report.txt"});
        QVERIFY(p.waitForFinished(120000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(p.exitCode() == 0, qPrintable(out + QString::fromUtf8(p.readAllStandardError())));
        for (const char* file : {"resale.db", "Shops.DB", "Kasa.db", "OBOROT.DB", "typeexpense.DB"})
            QVERIFY2(out.contains(QStringLiteral("Таблица %1: ").arg(file)), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("Проверка на книгите: 1 несъответствие")));
        QVERIFY(QFileInfo::exists(dir->path() + "/report.txt"));

        // Into the same, now full, database: refused, non-zero.
        p.start(exe, {QStringLiteral("--import"), folder(), dir->path() + "/new", QStringLiteral("--no-settings")});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("не е празна")));
    }
};

QTEST_MAIN(TestParadoxImport)
#include "TestParadoxImport.moc"
