// Register benchmark: builds item tables of 100 000 and 1 000 000 appliances
// over 20 shops (about 5% in stock) with the suite stand-in, then measures the
// register refresh (query, model and grid ready to paint, offscreen) for view 0
// and for view 1 over one month, and find "contains" over all appliances; each
// beside the same rows fetched through the SQLite C API. Prints the ratios and
// the process's peak memory.
//
//   bench_register [work-dir] [sizes...]     default sizes: 100000 1000000
#include "db/Database.h"
#include "register/CaseFolding.h"
#include "register/FindStatement.h"
#include "register/FindWindow.h"
#include "register/MainWindow.h"
#include "register/RegisterView.h"
#include "tests/support/Controls.h"
#include "tools/SuiteDatabase.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

const char* kArts[] = {"Пералня Bosch", "Хладилник Liebherr", "Микровълнова фурна Samsung", "Прахосмукачка Philips",
                       "Телевизор LG", "Съдомиялна Whirlpool", "Бойлер Елдом", "Кафемашина DeLonghi",
                       "Климатик Daikin", "Готварска печка Gorenje", "Сешоар Remington", "Миксер Tefal", "Ютия Rowenta"};
const QDate kFirstDay(2021, 1, 1);
const QDate kLastDay(2025, 12, 31);

// Fills a new suite database at dir with n appliances.
void build(const QString& dir, int n) {
    Database db;
    QString error;
    if (!suite::createDatabase(db, dir, &error))
        qFatal("create: %s", qPrintable(error));
    suite::fillDemoMasterData(db);
    for (int s = db.scalar("select count(*) from Shops").toInt(); s < 20; ++s)
        db.insert("Shops", {{"Name", QStringLiteral("Магазин %1").arg(s + 1)}, {"Active", true}, {"Away", false}});
    QRandomGenerator rng(42);
    const int days = kFirstDay.daysTo(kLastDay);
    db.begin();
    QSqlQuery q(db.sql());
    q.prepare("insert into resale (DlvNames, DlvAdres, DlvLK, DlvEGN, Art, ArtNote, Serial, DogNo, Payed, Saled, "
              "DateGet, Datepay, Datesale, SaleInfo, ClientNames, ClientAdres, ClientInfo, SalePrice, DlvPrice, IdShop) "
              "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    for (int i = 0; i < n; ++i) {
        const int shop = 1 + i % 20;
        const QDate get = kFirstDay.addDays(rng.bounded(days));
        const bool inStock = rng.bounded(100) < 5;
        const bool payed = !inStock || rng.bounded(3) == 0;
        const QDate sale = inStock ? QDate() : get.addDays(rng.bounded(30));
        const QDate pay = payed ? (inStock ? get : sale.addDays(rng.bounded(10))) : QDate();
        const double dlv = 20 + rng.bounded(500);
        auto date = [](const QDate& d) { return d.isValid() ? QVariant(d.toString(Qt::ISODate)) : QVariant(QMetaType::fromType<QString>()); };
        q.addBindValue(QStringLiteral("Иван Петров Иванов %1").arg(i % 997));
        q.addBindValue(QStringLiteral("София, ж.к. Люлин %1").arg(i % 10));
        q.addBindValue(QStringLiteral("64512%1").arg(i % 9999, 4, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("75%1").arg(i % 99999999, 8, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1 #%2").arg(QString::fromUtf8(kArts[i % 13])).arg(i));
        q.addBindValue(i % 3 == 0 ? QStringLiteral("с дистанционно") : QString());
        q.addBindValue(QStringLiteral("SN%1").arg(i, 8, 10, QLatin1Char('0')));
        q.addBindValue(1 + i / 20);
        q.addBindValue(payed ? 1 : 0);
        q.addBindValue(inStock ? 0 : 1);
        q.addBindValue(date(get));
        q.addBindValue(date(pay));
        q.addBindValue(date(sale));
        q.addBindValue(inStock ? QString() : QStringLiteral("гаранция 1 месец"));
        q.addBindValue(inStock ? QString() : QStringLiteral("Николай Тодоров Ангелов"));
        q.addBindValue(inStock ? QString() : QStringLiteral("София, ул. Шипка 31"));
        q.addBindValue(inStock ? QString() : QStringLiteral("тел. 0888 123 456"));
        q.addBindValue(dlv * 1.25);
        q.addBindValue(dlv);
        q.addBindValue(shop);
        if (!q.exec())
            qFatal("insert failed");
    }
    db.commit();
    db.close();
}

// Fetches every row and column of the statement through the C API, reading
// each value as the register does (numbers as numbers, text as text).
double rawFetch(const QString& file, const RegisterStatement& s, bool fold, int* rows) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    if (fold)
        CaseFolding::installOnHandle(h);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = s.sql.toUtf8();
    if (sqlite3_prepare_v2(h, sql.constData(), -1, &st, nullptr) != SQLITE_OK)
        qFatal("raw prepare: %s", sqlite3_errmsg(h));
    for (int i = 0; i < s.params.size(); ++i) {
        const QVariant& p = s.params[i];
        if (p.typeId() == QMetaType::Int || p.typeId() == QMetaType::Bool) {
            sqlite3_bind_int(st, i + 1, p.toInt());
        } else {
            const QByteArray text = p.toString().toUtf8();
            sqlite3_bind_text(st, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
    int n = 0;
    volatile qint64 sink = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        const int cols = sqlite3_column_count(st);
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                sink += sqlite3_column_int64(st, c);
                break;
            case SQLITE_FLOAT:
                sink += qint64(sqlite3_column_double(st, c));
                break;
            case SQLITE_TEXT:
                sink += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) != nullptr);
                break;
            default:
                break;
            }
        }
        ++n;
    }
    const double ms = t.nsecsElapsed() / 1e6;
    sqlite3_finalize(st);
    sqlite3_close(h);
    *rows = n;
    return ms;
}

long peakKb() {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

template <typename F> double bestOf(int runs, F f) {
    double best = 1e18;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, f());
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && QByteArray(argv[1]) == "--build") {
        QCoreApplication app(argc, argv);
        build(QString::fromLocal8Bit(argv[2]), atoi(argv[3]));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir tmp;
    const QString work = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QList<int> sizes;
    for (int i = 2; i < argc; ++i)
        sizes << atoi(argv[i]);
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    qputenv("XDG_CONFIG_HOME", QDir(work).filePath("config").toUtf8());
    MessageService::setScripted(true);

    std::printf("%-10s %-28s %8s %10s %10s %7s\n", "items", "measure", "rows", "ours ms", "raw ms", "ratio");
    for (int n : sizes) {
        const QString dir = QDir(work).filePath(QStringLiteral("items-%1").arg(n));
        const QString file = QDir(dir).filePath(Database::fileName());
        if (!QFile::exists(file)) {
            // Built in a child process so that its memory does not count here.
            QDir().mkpath(dir);
            if (QProcess::execute(QCoreApplication::applicationFilePath(),
                                  {"--build", dir, QString::number(n)}) != 0)
                qFatal("building the item table failed");
        }
        suite::writeSettings(dir);
        MainWindow w(QCoreApplication::applicationDirPath());
        if (!w.isReady())
            qFatal("the main window could not open %s", qPrintable(dir));
        w.setLoggedIn(1, QStringLiteral("Администратор"), 0);
        w.createDialogs();
        w.resize(1024, 700);
        w.show();
        QApplication::processEvents();

        auto* grid = ui::control<GroupingGrid>(&w, "grid");
        auto* table = qobject_cast<GridTableModel*>(grid->model()->sourceModel());
        auto refresh = [&](int view, const QDate& from, const QDate& to) {
            ui::combo(&w, "cmbFilter")->setCurrentIndex(view);
            ui::control<QDateEdit>(&w, "ToDate")->setDate(to);
            ui::control<QDateEdit>(&w, "FromDate")->setDate(from);
            QElapsedTimer t;
            t.start();
            w.refreshRegister();
            grid->grab(); // laid out and painted once
            return t.nsecsElapsed() / 1e6;
        };
        auto report = [&](const char* what, int rows, double ours, double raw) {
            std::printf("%-10d %-28s %8d %10.1f %10.1f %7.2f\n", n, what, rows, ours, raw, ours / raw);
            std::fflush(stdout);
        };
        const QDate monthFrom(2024, 5, 1), monthTo(2024, 5, 31);
        for (int view : {0, 1}) {
            const QDate from = view == 1 ? monthFrom : kFirstDay, to = view == 1 ? monthTo : kLastDay;
            const double ours = bestOf(7, [&] { return refresh(view, from, to); });
            int rows = 0;
            const RegisterStatement s = RegisterView::statement(view, from, to, Engine::SQLite);
            const double raw = bestOf(7, [&] { return rawFetch(file, s, false, &rows); });
            if (rows != table->rowCount())
                qFatal("row counts differ: %d against %d", rows, int(table->rowCount()));
            report(view == 0 ? "refresh view 0" : "refresh view 1, one month", rows, ours, raw);
        }
        // Find: "contains", Cyrillic in another letter case, over every appliance.
        ui::action(&w, "mnFind")->trigger();
        FindWindow* f = ui::control<FindWindow>(&w, "TfrmFind");
        ui::combo(f, "cmbField")->setCurrentIndex(0);
        ui::combo(f, "cmbWay")->setCurrentIndex(FindStatement::Contains);
        ui::edit(f, "eString")->setText(QStringLiteral("ютия ROWENTA #1"));
        const double ours = bestOf(7, [&] {
            QElapsedTimer t;
            t.start();
            f->search();
            grid->grab();
            return t.nsecsElapsed() / 1e6;
        });
        int rows = 0;
        const RegisterStatement s =
            FindStatement::build(0, FindStatement::Contains, ui::edit(f, "eString")->text(), {});
        const double raw = bestOf(7, [&] { return rawFetch(file, s, true, &rows); });
        if (rows != table->rowCount())
            qFatal("find row counts differ: %d against %d", rows, int(table->rowCount()));
        report("find contains, all items", rows, ours, raw);
        ui::action(&w, "mnFind")->trigger();
        w.closeConnection();
        w.hide();
    }
    std::printf("peak memory (VmHWM): %.1f MB\n", peakKb() / 1024.0);
    return 0;
}
