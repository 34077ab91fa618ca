// Import of a large shop's old books: 1,000,000 appliances and 100,000 rows
// in each ledger table (cash book, daily profit, turnover, income, expenses),
// written as Paradox tables with pxlib, then imported into SQLite (and into
// PostgreSQL when a server URL is given). Prints the time of each import and
// the process's peak memory, with and without the books' reconciliation.
//   bench_import [items] [ledger rows] [postgresql://... empty database]
#include "db/Database.h"
#include "db/Schema.h"
#include "tests/support/OldBooks.h"
#include "tests/support/ParadoxFixture.h"
#include "tools/import/ParadoxImport.h"
#include "tools/import/Pxlib.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace {

// Peak resident memory of this process so far, in MB (Linux; 0 elsewhere).
double peakMegabytes() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

// Processor time of this process so far, user and system, in seconds (the
// machine may be shared: wall time alone then says little).
double cpuSeconds() {
#ifdef Q_OS_UNIX
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
#else
    return 0;
#endif
}

// Lowers the peak mark to what the process holds now, so that each import's
// peak is its own (Linux: writing 5 to clear_refs).
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

QList<paradoxfixture::Field> declared(const QString& table) {
    QList<paradoxfixture::Field> out;
    for (const schema::Column& c : schema::find(table)->columns)
        out << oldbooks::declaredField(table, c.name);
    return out;
}

void writeTable(const QString& folder, const QString& table, const QList<paradoxfixture::Field>& fields, qint64 rows,
                const std::function<QVariantList(qint64)>& row) {
    paradoxfixture::TableWriter w;
    if (!w.open(QDir(folder).filePath(table + QStringLiteral(".DB")), fields, 1251, true))
        qFatal("%s", qPrintable(w.error()));
    for (qint64 i = 0; i < rows; ++i)
        if (!w.add(row(i)))
            qFatal("%s", qPrintable(w.error()));
    w.close();
}

void writeBooks(const QString& folder, qint64 items, qint64 ledger) {
    QDir().mkpath(folder);
    const QDate start(1960, 1, 1);
    writeTable(folder, QStringLiteral("Shops"), declared(QStringLiteral("Shops")), 4, [](qint64 i) {
        return QVariantList{i + 1, QStringLiteral("Магазин %1").arg(i + 1), QStringLiteral("София"), true};
    });
    writeTable(folder, QStringLiteral("CLERKS"), declared(QStringLiteral("CLERKS")), 1, [](qint64) {
        return QVariantList{QStringLiteral("Администратор"), {}, true, {}, QStringLiteral("vemka"),
                            QStringLiteral("Administrator"), 4, 0, 1};
    });
    // Every appliance in stock and unpaid, so that the books agree.
    QList<paradoxfixture::Field> itemFields = declared(QStringLiteral("resale"));
    itemFields << paradoxfixture::Field{QStringLiteral("Garancia"), pxfLong};
    writeTable(folder, QStringLiteral("resale"), itemFields, items, [&](qint64 i) {
        return QVariantList{i + 1,
                            QStringLiteral("Иван Петров Иванов"),
                            QStringLiteral("София, ж.к. Младост 1, бл. 20"),
                            QStringLiteral("645123987"),
                            QStringLiteral("7501124567"),
                            QStringLiteral("Пералня „Бош“ № %1").arg(i),
                            QStringLiteral("без маркуч"),
                            QStringLiteral("SN%1").arg(i),
                            int(1 + i / 4),
                            false,
                            false,
                            start.addDays(i % 20000),
                            {},
                            {},
                            {},
                            {},
                            {},
                            {},
                            150.25,
                            100.10,
                            int(1 + i % 4),
                            int(i % 24)};
    });
    auto day = [&](qint64 i) { return start.addDays(i / 4); };
    writeTable(folder, QStringLiteral("KASA"), declared(QStringLiteral("KASA")), ledger, [&](qint64 i) {
        return QVariantList{i + 1, day(i), QTime(10, 0), 10.05, {}, {}, 1, QStringLiteral("Наем"), 1, int(1 + i % 4)};
    });
    writeTable(folder, QStringLiteral("Pech"), declared(QStringLiteral("Pech")), ledger, [&](qint64 i) {
        return QVariantList{int(1 + i % 4), 0.0, 1, day(i)};
    });
    writeTable(folder, QStringLiteral("oborot"), declared(QStringLiteral("oborot")), ledger, [&](qint64 i) {
        return QVariantList{day(i), int(1 + i % 4), 0.0};
    });
    for (const QString& t : {QStringLiteral("Prihod"), QStringLiteral("Expenses")})
        writeTable(folder, t, declared(t), ledger, [&](qint64 i) {
            return QVariantList{i + 1, day(i), int(1 + i % 4), 1, 1, 12.34, QStringLiteral("Ток и вода")};
        });
}

void run(const QString& what, const QString& folder, const QString& location, bool checkBooks) {
    resetPeak();
    const double before = peakMegabytes();
    paradoximport::Options options;
    options.checkBooks = checkBooks;
    QElapsedTimer t;
    t.start();
    const double cpu = cpuSeconds();
    const paradoximport::Report r = paradoximport::importFolder(folder, location, {}, options);
    const double seconds = t.elapsed() / 1000.0;
    const double cpuUsed = cpuSeconds() - cpu;
    if (!r.ok)
        qFatal("%s: %s", qPrintable(what), qPrintable(r.error));
    std::printf("  %-40s %7.1f s (processor %6.1f s), peak memory %6.1f MB (%.1f MB before), %lld breaches\n",
                qPrintable(what), seconds, cpuUsed, peakMegabytes(), before, static_cast<long long>(r.breaches.size()));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 items = argc > 1 ? QByteArray(argv[1]).toLongLong() : 1000000;
    const qint64 ledger = argc > 2 ? QByteArray(argv[2]).toLongLong() : 100000;
    const QString pg = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("old"));
    QElapsedTimer t;
    t.start();
    writeBooks(folder, items, ledger);
    std::printf("old books: %lld appliances, %lld rows in each ledger table, written in %.1f s\n",
                static_cast<long long>(items), static_cast<long long>(ledger), t.elapsed() / 1000.0);
    run(QStringLiteral("SQLite, counts and sums checked"), folder, dir.filePath(QStringLiteral("a")), false);
    run(QStringLiteral("SQLite, and the books reconciled"), folder, dir.filePath(QStringLiteral("b")), true);
    if (!pg.isEmpty())
        run(QStringLiteral("PostgreSQL, and the books reconciled"), folder, pg, true);
    return 0;
}
