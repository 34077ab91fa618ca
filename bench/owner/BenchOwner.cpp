// The owner's tools on a large chain: the books check ("Проверка на
// книгите") and the worklist ("Чакащи") over 1 000 000 appliances in 20
// shops, on SQLite and (given a server) on PostgreSQL.
//
// The appliances come from the register benchmark's generator
// (bench_register --build), about 5% in stock; one sold appliance in a
// hundred is then left unpaid, so that the shops owe something, and every
// sale and payout is booked into the ledgers (cash book, income, expenses,
// turnover, profit) with the engine's own INSERT ... SELECT, so that the
// books agree and the check goes through all of its work. On PostgreSQL the
// same rows are copied in from the SQLite database.
//
// Each figure is the best of a few runs, beside a baseline measured in the
// same run: for the check, reading every row and column the check reads with
// a plain query; for the worklist, the same rows fetched with a plain query.
//
//   bench_owner [work-dir] [items] [postgresql://... database, empty or filled by an earlier run]
#include "db/Database.h"
#include "operations/BooksReport.h"
#include "operations/Clock.h"
#include "operations/Operations.h"
#include "operations/Worklist.h"
#include "operations/ui/WorklistWindow.h"
#include "tools/SuiteDatabase.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

namespace {

// The generator's appliances are taken in up to the end of 2025.
const QDate kToday(2026, 3, 31);

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

template <typename F> double bestOf(int runs, F f) {
    double best = 1e18;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, f());
    return best;
}

void exec(Database& db, const QString& sql, const QVariantList& params = {}) {
    db.exec(sql, params);
}

// One sold appliance in a hundred unpaid, then every sale and payout booked.
void bookLedgers(Database& db) {
    const bool pg = db.engine() == Engine::PostgreSQL;
    const QVariant yes = pg ? QVariant(true) : QVariant(1), no = pg ? QVariant(false) : QVariant(0);
    db.begin();
    exec(db, QStringLiteral("UPDATE resale SET Payed = ?, Datepay = NULL WHERE Saled = ? AND Id % 100 = 0"), {no, yes});
    const int saleKind = int(db.insert(QStringLiteral("TypePrihod"), {{QStringLiteral("type"), ops::saleKind()}}));
    const int payoutKind = int(db.insert(QStringLiteral("TypeExpense"), {{QStringLiteral("type"), ops::payoutKind()}}));
    const QString note = QStringLiteral("substr('По договор №' || DogNo || ' - ' || substr(Art, 1, 50), 1, 50)");
    exec(db, QStringLiteral("INSERT INTO Prihod (Date, ShopID, TypeID, ClerkID, Sum, Note) "
                            "SELECT Datesale, IdShop, ?, 1, SalePrice, %1 FROM resale WHERE Saled = ? ORDER BY Id")
                 .arg(note),
         {saleKind, yes});
    exec(db, QStringLiteral("INSERT INTO KASA (Date, ValID, Note, UserID, ShopID, InSum) "
                            "SELECT Datesale, 1, ?, 1, IdShop, SalePrice FROM resale WHERE Saled = ? ORDER BY Id"),
         {ops::saleKind(), yes});
    exec(db, QStringLiteral("INSERT INTO Expenses (Date, ShopID, TypeID, ClerkID, Sum, Note) "
                            "SELECT Datepay, IdShop, ?, 1, DlvPrice, %1 FROM resale WHERE Payed = ? ORDER BY Id")
                 .arg(note),
         {payoutKind, yes});
    exec(db, QStringLiteral("INSERT INTO KASA (Date, ValID, Note, UserID, ShopID, OutSum) "
                            "SELECT Datepay, 1, ?, 1, IdShop, DlvPrice FROM resale WHERE Payed = ? ORDER BY Id"),
         {ops::payoutKind(), yes});
    exec(db, QStringLiteral("INSERT INTO oborot (Date, idShop, \"1\") SELECT Datesale, IdShop, "
                            "round(SUM(round(SalePrice * 100))) / 100.0 FROM resale WHERE Saled = ? "
                            "GROUP BY Datesale, IdShop"),
         {yes});
    const QString day = pg ? QStringLiteral("GREATEST(Datesale, Datepay)") : QStringLiteral("max(Datesale, Datepay)");
    exec(db, QStringLiteral("INSERT INTO Pech (Date, ValID, ShopID, Pech) SELECT %1, 1, IdShop, "
                            "round(SUM(round(SalePrice * 100) - round(DlvPrice * 100))) / 100.0 FROM resale "
                            "WHERE Saled = ? AND Payed = ? GROUP BY %1, IdShop")
                 .arg(day),
         {yes, yes});
    db.commit();
}

// The generator's shops and appliances copied into the PostgreSQL database.
void copyToServer(Database& from, Database& to) {
    suite::fillDemoMasterData(to);
    exec(to, QStringLiteral("DELETE FROM Shops"));
    QSqlQuery shops = from.exec(QStringLiteral("SELECT ID, Name, Active, Away FROM Shops ORDER BY ID"));
    while (shops.next())
        to.insert(QStringLiteral("Shops"), {{QStringLiteral("ID"), shops.value(0)},
                                            {QStringLiteral("Name"), shops.value(1)},
                                            {QStringLiteral("Active"), shops.value(2).toBool()},
                                            {QStringLiteral("Away"), shops.value(3).toBool()}});
    const QStringList cols{"Id", "DlvNames", "DlvAdres", "DlvLK", "DlvEGN", "Art", "ArtNote", "Serial", "DogNo",
                           "Payed", "Saled", "DateGet", "Datepay", "Datesale", "SaleInfo", "ClientNames",
                           "ClientAdres", "ClientInfo", "SalePrice", "DlvPrice", "IdShop"};
    const int perStatement = 400;
    QSqlQuery rows = from.exec(QStringLiteral("SELECT %1 FROM resale ORDER BY Id").arg(cols.join(QStringLiteral(", "))));
    rows.setForwardOnly(true);
    const QString one = QStringLiteral("(") + QStringList(cols.size(), QStringLiteral("?")).join(QLatin1Char(',')) +
                        QStringLiteral(")");
    to.begin();
    QVariantList params;
    int pending = 0;
    auto flush = [&] {
        if (pending == 0)
            return;
        exec(to, QStringLiteral("INSERT INTO resale (%1) VALUES %2")
                     .arg(cols.join(QStringLiteral(", ")), QStringList(pending, one).join(QLatin1Char(','))),
             params);
        params.clear();
        pending = 0;
    };
    while (rows.next()) {
        for (int c = 0; c < cols.size(); ++c) {
            QVariant v = rows.value(c);
            if (c == 9 || c == 10)
                v = v.toBool();
            else if (c >= 11 && c <= 13)
                v = v.isNull() || v.toString().isEmpty() ? QVariant(QMetaType::fromType<QDate>())
                                                         : QVariant(Database::toDate(v));
            params << v;
        }
        if (++pending == perStatement)
            flush();
    }
    flush();
    exec(to, QStringLiteral("SELECT setval(pg_get_serial_sequence('resale', 'id'), (SELECT max(Id) FROM resale))"));
    to.commit();
}

// Every row and column that the check reads, through a plain query.
double readAll(Database& db) {
    QElapsedTimer t;
    t.start();
    volatile qint64 sink = 0;
    const QStringList statements{
        QStringLiteral("SELECT Id, DogNo, Art, Payed, Saled, Datepay, Datesale, SalePrice, DlvPrice, IdShop, DateGet "
                       "FROM resale ORDER BY Id"),
        QStringLiteral("SELECT Id, Date, ShopID, Sum, Note, TypeID FROM Prihod ORDER BY Id"),
        QStringLiteral("SELECT Id, Date, ShopID, Sum, Note, TypeID FROM Expenses ORDER BY Id"),
        QStringLiteral("SELECT Date, ShopID, InSum, OutSum, Note FROM KASA ORDER BY Id"),
        QStringLiteral("SELECT idShop, Date, \"1\" FROM oborot"),
        QStringLiteral("SELECT ShopID, Date, Pech FROM Pech WHERE ValID = 1")};
    for (const QString& s : statements) {
        QSqlQuery q(db.sql());
        q.setForwardOnly(true);
        q.exec(s);
        const int cols = q.record().count();
        while (q.next())
            for (int c = 0; c < cols; ++c)
                sink += q.value(c).isNull() ? 0 : 1;
    }
    return ms(t);
}

// The same rows as the worklist's, through a plain query.
double fetch(Database& db, const QString& sql, const QVariantList& params, int* rows) {
    QElapsedTimer t;
    t.start();
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& p : params)
        q.addBindValue(p);
    q.exec();
    int n = 0;
    volatile qint64 sink = 0;
    const int cols = q.record().count();
    while (q.next()) {
        for (int c = 0; c < cols; ++c)
            sink += q.value(c).isNull() ? 0 : 1;
        ++n;
    }
    *rows = n;
    return ms(t);
}

void measure(const char* engine, Database& db, const QString& location, int items) {
    auto report = [&](const char* what, qint64 rows, double ours, double base) {
        std::printf("%-10s %8d  %-34s %9lld %10.1f %10.1f %7.2f\n", engine, items, what, (long long)rows, ours, base,
                    ours / base);
        std::fflush(stdout);
    };
    // The books check, whole database, as the window runs it.
    int calls = 0;
    invariants::Options options;
    options.progress = [&](qint64, qint64) {
        ++calls;
        return true;
    };
    booksreport::Report r;
    double checkCpu = 1e18;
    const double check = bestOf(3, [&] {
        calls = 0;
        const std::clock_t cpu = std::clock();
        QElapsedTimer t;
        t.start();
        r = booksreport::run(db, location, options);
        checkCpu = std::min(checkCpu, (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
        return ms(t);
    });
    const int callsPerRun = calls;
    if (!r.agree())
        std::printf("  (the books do not agree: %s)\n", qPrintable(r.totalsText()));
    double readCpu = 1e18;
    const double read = bestOf(3, [&] {
        const std::clock_t cpu = std::clock();
        const double wall = readAll(db);
        readCpu = std::min(readCpu, (std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
        return wall;
    });
    report("books check, whole database", r.breaches.size(), check, read);
    std::printf("%-10s %8d  %-34s %9s %10.1f %10.1f %7.2f\n", engine, items, "  the same, CPU time of the process", "",
                checkCpu, readCpu, checkCpu / readCpu);
    // One shop and one month: the check reads as much.
    options.shop = 3;
    options.from = QDate(2024, 5, 1);
    options.to = QDate(2024, 5, 31);
    const double part = bestOf(3, [&] {
        QElapsedTimer t;
        t.start();
        r = booksreport::run(db, location, options);
        return ms(t);
    });
    report("books check, one shop, one month", r.breaches.size(), part, read);
    // Stopped at once: how soon the window's "Прекъсване" takes.
    options.progress = [&](qint64 done, qint64) { return done == 0; };
    QElapsedTimer t;
    t.start();
    try {
        booksreport::run(db, location, options);
    } catch (const invariants::Cancelled&) {
    }
    std::printf("%-10s %8d  %-34s %9s %10.1f  (progress reported %d times per run)\n", engine, items,
                "books check, cancelled at once", "", ms(t), callsPerRun);

    // The worklist's two lists, as the library reads them.
    const bool pg = db.engine() == Engine::PostgreSQL;
    const QVariant yes = pg ? QVariant(true) : QVariant(1), no = pg ? QVariant(false) : QVariant(0);
    QList<worklist::Waiting> waiting;
    const double w = bestOf(7, [&] {
        QElapsedTimer tt;
        tt.start();
        waiting = worklist::waiting(db, kToday, worklist::kDefaultDays);
        return ms(tt);
    });
    int rows = 0;
    const double wBase = bestOf(7, [&] {
        return fetch(db,
                     QStringLiteral("SELECT Id, IdShop, DogNo, Art, DlvNames, DateGet, DlvPrice, SalePrice FROM resale "
                                    "WHERE Saled = ? AND DateGet < ?"),
                     {no, db.dateParam(worklist::waitingBefore(kToday, worklist::kDefaultDays))}, &rows);
    });
    if (rows != waiting.size())
        qFatal("waiting: %d rows against %d", rows, int(waiting.size()));
    report("worklist: waiting > 90 days", waiting.size(), w, wBase);
    QList<worklist::Owed> owed;
    const double o = bestOf(7, [&] {
        QElapsedTimer tt;
        tt.start();
        owed = worklist::owed(db, kToday);
        return ms(tt);
    });
    const double oBase = bestOf(7, [&] {
        return fetch(db,
                     QStringLiteral("SELECT Id, IdShop, DogNo, Art, DlvNames, DlvAdres, Datesale, DlvPrice, SalePrice "
                                    "FROM resale WHERE Payed = ? AND Saled = ?"),
                     {no, yes}, &rows);
    });
    if (rows != owed.size())
        qFatal("owed: %d rows against %d", rows, int(owed.size()));
    report("worklist: sold, unpaid", owed.size(), o, oBase);

    // The window: both lists read, the grids filled, laid out and painted.
    WorklistWindow window(db, nullptr, QString());
    window.resize(1200, 800);
    window.show();
    QApplication::processEvents();
    const double shown = bestOf(5, [&] {
        QElapsedTimer tt;
        tt.start();
        window.refresh();
        window.waitingGrid()->grab();
        window.owedGrid()->grab();
        return ms(tt);
    });
    report("worklist window refresh, painted", waiting.size() + owed.size(), shown, wBase + oBase);
    window.hide();
}

bool openOrFail(Database& db, const QString& location) {
    QString error;
    if (!db.open(location, &error)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(location), qPrintable(error));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    const int items = argc > 2 ? atoi(argv[2]) : 1000000;
    const QString pgUrl = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    qputenv("XDG_CONFIG_HOME", QDir(work).filePath("config").toUtf8());
    MessageService::setScripted(true);
    Clock::set(QDateTime(kToday, QTime(9, 0)));

    const QString dir = QDir(work).filePath(QStringLiteral("owner-%1").arg(items));
    if (!QFile::exists(QDir(dir).filePath(Database::fileName()))) {
        QElapsedTimer t;
        t.start();
        QDir().mkpath(dir);
        const QString generator = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench_register"));
        if (QProcess::execute(generator, {QStringLiteral("--build"), dir, QString::number(items)}) != 0)
            qFatal("the register benchmark's generator failed");
        Database db;
        if (!openOrFail(db, dir))
            return 1;
        bookLedgers(db);
        exec(db, QStringLiteral("ANALYZE"));
        std::printf("SQLite database of %d appliances built and booked in %.1f s\n", items, ms(t) / 1000);
    }
    std::printf("%-10s %8s  %-34s %9s %10s %10s %7s\n", "engine", "items", "measure", "rows", "ours ms", "base ms",
                "ratio");
    {
        Database db;
        if (!openOrFail(db, dir))
            return 1;
        measure("SQLite", db, db.location(), items);
    }
    if (!pgUrl.isEmpty()) {
        Database pg;
        if (!openOrFail(pg, pgUrl))
            return 1;
        const bool filled = pg.hasTable(QStringLiteral("resale")) &&
                            pg.scalar(QStringLiteral("SELECT COUNT(*) FROM resale")).toLongLong() == items;
        if (!filled) {
            QElapsedTimer t;
            t.start();
            if (!pg.hasTable(QStringLiteral("resale")))
                suite::createTables(pg);
            Database from;
            if (!openOrFail(from, dir))
                return 1;
            copyToServer(from, pg);
            from.close();
            // As the one with the most sold appliances first, the booking
            // reads the copied rows.
            bookLedgers(pg);
            exec(pg, QStringLiteral("ANALYZE"));
            std::printf("PostgreSQL database of %d appliances copied and booked in %.1f s\n", items, ms(t) / 1000);
        }
        measure("PostgreSQL", pg, pg.location(), items);
    }
    return 0;
}
