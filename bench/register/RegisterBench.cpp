// Register benchmark: builds item tables of 100 000 and 1 000 000 appliances
// over 20 shops (about 5% in stock) with n / 10 rows in each ledger table, on
// SQLite and (when a server is named) on PostgreSQL, then measures, medians:
//  - the refresh of view 0 (query, model and grid painted once, offscreen)
//    beside the same rows fetched through the engine's C API (sqlite3, libpq),
//    and where its time goes (fetch and conversion, grouping, sums, column
//    fitting, the view);
//  - the refresh of view 1 over one month (a view change);
//  - each of the seven operations from the OK of its dialog to the register
//    painted with the change, the register changed in place against the
//    whole statement run again (the way before), in the same run;
//  - find "contains" over all appliances (SQLite).
// Prints the ratios and the process's peak memory.
//
//   bench_register [work-dir] [sizes...]     default sizes: 100000 1000000
//   env RESALE_BENCH_PG_URL=postgresql://user:pw@host:port/postgres  also on
//       PostgreSQL, in the database bench_items_<n> (made when missing)
//   bench_register --build <dir or URL of an empty database> <n>   the generator alone
#include "db/Database.h"
#include "register/CaseFolding.h"
#include "register/FindStatement.h"
#include "register/FindWindow.h"
#include "register/MainWindow.h"
#include "register/RegisterLoader.h"
#include "operations/ui/IntakeDialog.h"
#include "operations/ui/PayoutDialog.h"
#include "operations/ui/PriceChangeDialog.h"
#include "operations/ui/SaleDialog.h"
#include "operations/ui/ShopChooser.h"
#include "register/RegisterView.h"
#include "tests/support/Controls.h"
#include "tools/SuiteDatabase.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/MessageService.h"

#include <QAction>
#include <QCheckBox>
#include <QSqlError>
#include <QTimer>
#include <QUrl>
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
#include <QTime>
#include <cstdio>
#include <algorithm>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace {

const char* kArts[] = {"Пералня Bosch", "Хладилник Liebherr", "Микровълнова фурна Samsung", "Прахосмукачка Philips",
                       "Телевизор LG", "Съдомиялна Whirlpool", "Бойлер Елдом", "Кафемашина DeLonghi",
                       "Климатик Daikin", "Готварска печка Gorenje", "Сешоар Remington", "Миксер Tefal", "Ютия Rowenta"};
const QDate kFirstDay(2021, 1, 1);
const QDate kLastDay(2025, 12, 31);

// Rows written many to a statement (both engines take a few thousand values
// per statement), inside the caller's transaction.
class BulkInsert {
public:
    BulkInsert(Database& db, const QString& table, const QStringList& columns, int perStatement = 100)
        : m_db(db), m_table(table), m_columns(columns), m_per(perStatement) {}
    ~BulkInsert() { flush(); }
    void add(const QVariantList& row) {
        m_values += row;
        if (++m_rows == m_per)
            flush();
    }
    void flush() {
        if (m_rows == 0)
            return;
        const QString one = QLatin1Char('(') + QStringList(m_columns.size(), QStringLiteral("?")).join(',') + QLatin1Char(')');
        QString sql = QStringLiteral("insert into %1 (%2) values ").arg(m_table, m_columns.join(','));
        sql += QStringList(m_rows, one).join(',');
        m_db.exec(sql, m_values);
        m_values.clear();
        m_rows = 0;
    }

private:
    Database& m_db;
    QString m_table;
    QStringList m_columns;
    int m_per;
    QVariantList m_values;
    int m_rows = 0;
};

// Fills a new suite database at location (a directory, or the URL of an empty
// PostgreSQL database) with n appliances and, in each ledger table (cash book,
// income, expenses, turnover, profit), n / 10 rows.
void build(const QString& location, int n) {
    Database db;
    QString error;
    if (!suite::createDatabase(db, location, &error))
        qFatal("create: %s", qPrintable(error));
    suite::fillDemoMasterData(db);
    const Engine engine = db.engine();
    auto flag = [engine](bool b) { return RegisterView::boolParam(b, engine); };
    for (int s = db.scalar("select count(*) from Shops").toInt(); s < 20; ++s)
        db.insert("Shops", {{"Name", QStringLiteral("Магазин %1").arg(s + 1)}, {"Active", true}, {"Away", false}});
    QRandomGenerator rng(42);
    const int days = kFirstDay.daysTo(kLastDay);
    db.begin();
    {
        BulkInsert items(db, "resale",
                         {"DlvNames", "DlvAdres", "DlvLK", "DlvEGN", "Art", "ArtNote", "Serial", "DogNo", "Payed",
                          "Saled", "DateGet", "Datepay", "Datesale", "SaleInfo", "ClientNames", "ClientAdres",
                          "ClientInfo", "SalePrice", "DlvPrice", "IdShop"});
        for (int i = 0; i < n; ++i) {
            const int shop = 1 + i % 20;
            const QDate get = kFirstDay.addDays(rng.bounded(days));
            const bool inStock = rng.bounded(100) < 5;
            const bool payed = !inStock || rng.bounded(3) == 0;
            const QDate sale = inStock ? QDate() : get.addDays(rng.bounded(30));
            const QDate pay = payed ? (inStock ? get : sale.addDays(rng.bounded(10))) : QDate();
            const double dlv = 20 + rng.bounded(500);
            items.add({QStringLiteral("Иван Петров Иванов %1").arg(i % 997), QStringLiteral("София, ж.к. Люлин %1").arg(i % 10),
                       QStringLiteral("64512%1").arg(i % 9999, 4, 10, QLatin1Char('0')),
                       QStringLiteral("75%1").arg(i % 99999999, 8, 10, QLatin1Char('0')),
                       QStringLiteral("%1 #%2").arg(QString::fromUtf8(kArts[i % 13])).arg(i),
                       i % 3 == 0 ? QStringLiteral("с дистанционно") : QString(),
                       QStringLiteral("SN%1").arg(i, 8, 10, QLatin1Char('0')), 1 + i / 20, flag(payed), flag(!inStock),
                       db.dateParam(get), db.dateParam(pay), db.dateParam(sale),
                       inStock ? QString() : QStringLiteral("гаранция 1 месец"),
                       inStock ? QString() : QStringLiteral("Николай Тодоров Ангелов"),
                       inStock ? QString() : QStringLiteral("София, ул. Шипка 31"),
                       inStock ? QString() : QStringLiteral("тел. 0888 123 456"), dlv * 1.25, dlv, shop});
        }
    }
    // The ledgers: one row per shop and day (turnover, profit) going back
    // from the last day, the cash book and the entries spread over the days.
    const int ledger = n / 10;
    {
        BulkInsert kasa(db, "KASA", {"Date", "Time", "InSum", "OutSum", "ValID", "Note", "UserID", "ShopID"});
        BulkInsert income(db, "Prihod", {"Date", "ShopID", "TypeID", "ClerkID", "Sum", "Note"});
        BulkInsert expense(db, "Expenses", {"Date", "ShopID", "TypeID", "ClerkID", "Sum", "Note"});
        BulkInsert turnover(db, "oborot", {"Date", "idShop", "\"1\""});
        BulkInsert profit(db, "Pech", {"Date", "ValID", "ShopID", "Pech"});
        for (int i = 0; i < ledger; ++i) {
            const int shop = 1 + i % 20;
            const QDate day = kLastDay.addDays(-(i / 20));
            const QDate any = kFirstDay.addDays(rng.bounded(days));
            const double sum = 20 + rng.bounded(500);
            const bool in = i % 2 == 0;
            kasa.add({db.dateParam(any), db.timeParam(QTime(9 + i % 9, i % 60)), in ? QVariant(sum) : QVariant(),
                      in ? QVariant() : QVariant(sum), 1, in ? QStringLiteral("Продажба на уред") : QStringLiteral("Изплащане на уред"),
                      1, shop});
            income.add({db.dateParam(any), shop, 1, 1, sum, QStringLiteral("Продажба на уред")});
            expense.add({db.dateParam(any), shop, 1, 1, sum * 0.8, QStringLiteral("Изплащане на уред")});
            turnover.add({db.dateParam(day), shop, sum * 3});
            profit.add({db.dateParam(day), 1, shop, sum * 0.6});
        }
    }
    db.commit();
    db.exec("analyze");
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

// The libpq connection string of a postgresql:// URL.
QByteArray conninfo(const QString& url) {
    const QUrl u(url);
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 password=%5")
        .arg(u.host())
        .arg(u.port(5432))
        .arg(u.path().mid(1), u.userName(), u.password())
        .toUtf8();
}

// "?" placeholders as libpq numbers them.
QByteArray numbered(const QString& sql) {
    QString out;
    int n = 0;
    bool quoted = false;
    for (QChar c : sql) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (c == QLatin1Char('?') && !quoted)
            out += QStringLiteral("$%1").arg(++n);
        else
            out += c;
    }
    return out.toUtf8();
}

// The same through libpq: every row and column of the result read as text.
double rawFetchPg(const QString& url, const RegisterStatement& s, int* rows) {
    PGconn* c = PQconnectdb(conninfo(url).constData());
    if (PQstatus(c) != CONNECTION_OK)
        qFatal("libpq: %s", PQerrorMessage(c));
    QList<QByteArray> texts;
    for (const QVariant& p : s.params) {
        if (p.typeId() == QMetaType::Bool)
            texts << (p.toBool() ? "true" : "false");
        else if (p.typeId() == QMetaType::QDate)
            texts << p.toDate().toString(Qt::ISODate).toUtf8();
        else
            texts << p.toString().toUtf8();
    }
    QVector<const char*> values;
    for (const QByteArray& t : texts)
        values << t.constData();
    const QByteArray sql = numbered(s.sql);
    QElapsedTimer t;
    t.start();
    PGresult* r = PQexecParams(c, sql.constData(), int(values.size()), nullptr, values.constData(), nullptr, nullptr, 0);
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        qFatal("libpq: %s", PQresultErrorMessage(r));
    volatile qint64 sink = 0;
    const int n = PQntuples(r), f = PQnfields(r);
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < f; ++k)
            if (!PQgetisnull(r, i, k))
                sink += PQgetlength(r, i, k) + (*PQgetvalue(r, i, k) != 0);
    const double ms = t.nsecsElapsed() / 1e6;
    PQclear(r);
    PQfinish(c);
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

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

template <typename F> double medianOf(int runs, F f) {
    QList<double> times;
    for (int i = 0; i < runs; ++i)
        times << f();
    return median(times);
}

// Runs action on the next modal dialog of type T once it is up.
template <class T> void onModal(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, action]() {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(d);
        }
    });
    timer->start();
}

// A PostgreSQL database for n items on the server, built when missing.
QString pgDatabase(const QString& server, int n) {
    const QString name = QStringLiteral("bench_items_%1").arg(n);
    QUrl url(server);
    url.setPath(QLatin1Char('/') + name);
    bool ready = false;
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("bench-admin"));
        admin.setHostName(url.host());
        admin.setPort(url.port(5432));
        admin.setUserName(url.userName());
        admin.setPassword(url.password());
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open())
            qFatal("PostgreSQL: %s", qPrintable(admin.lastError().text()));
        QSqlQuery q(admin);
        q.exec(QStringLiteral("select 1 from pg_database where datname = '%1'").arg(name));
        if (q.next()) {
            // Built to the end: the generator's last statement analyses the tables.
            Database db;
            QString error;
            ready = db.open(url.toString(), &error) && db.hasTable(QStringLiteral("resale")) &&
                    db.scalar(QStringLiteral("select count(*) from resale")).toInt() >= n &&
                    db.scalar(QStringLiteral("select count(*) from Pech")).toInt() >= n / 10;
            db.close();
            if (!ready)
                q.exec(QStringLiteral("drop database %1").arg(name));
        }
        if (!ready && !q.exec(QStringLiteral("create database %1 encoding 'UTF8' template template0").arg(name)))
            qFatal("PostgreSQL: %s", qPrintable(q.lastError().text()));
        admin.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-admin"));
    if (!ready && QProcess::execute(QCoreApplication::applicationFilePath(),
                                    {"--build", url.toString(), QString::number(n)}) != 0)
        qFatal("building the item table failed");
    return url.toString();
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
    const QString pgServer = qEnvironmentVariable("RESALE_BENCH_PG_URL");
    const int runs = qEnvironmentVariableIsSet("RESALE_BENCH_RUNS") ? qEnvironmentVariableIntValue("RESALE_BENCH_RUNS") : 7;

    std::printf("%-10s %-10s %-34s %8s %10s %10s %7s\n", "engine", "items", "measure", "rows", "ours ms", "base ms",
                "ratio");
    for (const QString& engine : {QStringLiteral("sqlite"), QStringLiteral("postgresql")}) {
        if (engine == QLatin1String("postgresql") && pgServer.isEmpty())
            continue;
        for (int n : sizes) {
            QString location, file;
            if (engine == QLatin1String("sqlite")) {
                location = QDir(work).filePath(QStringLiteral("items-%1").arg(n));
                file = QDir(location).filePath(Database::fileName());
                if (!QFile::exists(file)) {
                    // Built in a child process so that its memory does not count here.
                    QDir().mkpath(location);
                    if (QProcess::execute(QCoreApplication::applicationFilePath(),
                                          {"--build", location, QString::number(n)}) != 0)
                        qFatal("building the item table failed");
                }
            } else {
                location = pgDatabase(pgServer, n);
            }
            const Engine eng = engine == QLatin1String("sqlite") ? Engine::SQLite : Engine::PostgreSQL;
            suite::writeSettings(location);
            MainWindow w(QCoreApplication::applicationDirPath());
            if (!w.isReady())
                qFatal("the main window could not open %s", qPrintable(location));
            w.setLoggedIn(1, QStringLiteral("Администратор"), 0);
            w.createDialogs();
            w.resize(1024, 700);
            w.show();
            QApplication::processEvents();

            auto* grid = ui::control<GroupingGrid>(&w, "grid");
            auto* table = qobject_cast<GridTableModel*>(grid->model()->sourceModel());
            auto setView = [&](int view, const QDate& from, const QDate& to) {
                ui::combo(&w, "cmbFilter")->setCurrentIndex(view);
                ui::control<QDateEdit>(&w, "ToDate")->setDate(to);
                ui::control<QDateEdit>(&w, "FromDate")->setDate(from);
            };
            auto refresh = [&](int view, const QDate& from, const QDate& to) {
                setView(view, from, to);
                QElapsedTimer t;
                t.start();
                w.refreshRegister();
                grid->grab(); // laid out and painted once
                return t.nsecsElapsed() / 1e6;
            };
            auto report = [&](const QString& what, int rows, double ours, double base) {
                std::printf("%-10s %-10d %-34s %8d %10.1f %10.1f %7.2f\n", qPrintable(engine), n, qPrintable(what),
                            rows, ours, base, base > 0 ? ours / base : 0.0);
                std::fflush(stdout);
            };
            auto raw = [&](const RegisterStatement& s, int* rows) {
                return eng == Engine::SQLite ? rawFetch(file, s, false, rows) : rawFetchPg(location, s, rows);
            };
            const QDate monthFrom(2024, 5, 1), monthTo(2024, 5, 31);

            // --- refresh of view 0, and where its time goes ---
            {
                const RegisterStatement s = RegisterView::statement(0, kFirstDay, kLastDay, eng);
                QList<double> ours, base;
                int rows = 0;
                for (int i = 0; i < runs; ++i) { // alternately, so that both see the same machine
                    ours << refresh(0, kFirstDay, kLastDay);
                    base << raw(s, &rows);
                }
                if (rows != table->rowCount())
                    qFatal("row counts differ: %d against %d", rows, int(table->rowCount()));
                report(QStringLiteral("refresh view 0 / raw fetch"), rows, median(ours), median(base));
                {
                    // The columns the register loads for every row (the others
                    // are read for the current item only).
                    QList<double> listed;
                    int listedRows = 0;
                    for (int i = 0; i < runs; ++i)
                        listed << raw(RegisterLoader::listStatement(s), &listedRows);
                    report(QStringLiteral("refresh view 0 / raw, listed cols"), rows, median(ours), median(listed));
                }
                const double whole = median(ours), fetched = median(base);
                // The parts, each on its own.
                GridTableModel loose;
                const double load = medianOf(runs, [&] {
                    QElapsedTimer t;
                    t.start();
                    RegisterLoader::load(w.db(), s, &loose);
                    return t.nsecsElapsed() / 1e6;
                });
                auto grouping = [&](bool sums) {
                    GroupingModel m;
                    QList<GridColumn> columns = grid->model()->columns();
                    if (!sums)
                        for (GridColumn& c : columns)
                            if (c.kind == GridColumn::Kind::Money)
                                c.kind = GridColumn::Kind::Integer;
                    m.setColumns(columns);
                    m.setGroupColumns(grid->model()->groupColumns());
                    m.setKeyField(RegisterLoader::column(QStringLiteral("Id")));
                    m.setSourceModel(&loose);
                    return medianOf(runs, [&] {
                        QElapsedTimer t;
                        t.start();
                        m.rebuild();
                        return t.nsecsElapsed() / 1e6;
                    });
                };
                const double grouped = grouping(true), unsummed = grouping(false);
                const double fit = medianOf(runs, [&] {
                    QElapsedTimer t;
                    t.start();
                    grid->fitColumns();
                    return t.nsecsElapsed() / 1e6;
                });
                auto part = [&](const char* what, double ms) {
                    std::printf("%-10s %-10d   %-32s %8s %10.1f %10s %6.0f%%\n", qPrintable(engine), n, what, "", ms,
                                "", 100.0 * ms / whole);
                };
                part("engine fetch (raw)", fetched);
                part("conversion (load - raw)", load - fetched);
                part("grouping", unsummed);
                part("sums", grouped - unsummed);
                part("column fitting", fit);
                part("view: open groups, paint", whole - load - grouped - fit);
            }
            // --- a view change: one month's intakes ---
            {
                const RegisterStatement s = RegisterView::statement(1, monthFrom, monthTo, eng);
                QList<double> ours, base;
                int rows = 0;
                for (int i = 0; i < runs; ++i) {
                    refresh(0, kFirstDay, kLastDay);
                    ours << refresh(1, monthFrom, monthTo);
                    base << raw(s, &rows);
                }
                report(QStringLiteral("view change to one month / raw"), rows, median(ours), median(base));
            }

            // --- the seven operations: in place against the whole statement ---
            // Time from the dialog's OK (or the answered question) to the
            // register painted with the change.
            QElapsedTimer clock;
            auto ok = [&](QPushButton* b) {
                clock.start();
                b->click();
            };
            auto finish = [&] {
                grid->grab();
                return clock.nsecsElapsed() / 1e6;
            };
            const int idCol = RegisterLoader::column(QStringLiteral("Id"));
            const int payedCol = RegisterLoader::column(QStringLiteral("Payed"));
            // An item of the register not paid yet (every operation but the
            // annulment may take it), a different one each time.
            int pick = 0;
            auto nextUnpaid = [&] {
                for (int tries = 0; tries < table->rowCount(); ++tries) {
                    const int r = (pick += 97) % table->rowCount();
                    if (!table->value(r, payedCol).toBool())
                        return table->value(r, idCol).toLongLong();
                }
                qFatal("no unpaid item left");
            };
            auto nextAny = [&] { return table->value((pick += 97) % table->rowCount(), idCol).toLongLong(); };
            struct Op {
                const char* name;
                int view; // the register it runs in
                std::function<double()> run;
            };
            const QList<Op> ops = {
                {"intake", 0,
                 [&] {
                     onModal<ShopChooser>([](ShopChooser* d) { ui::button(d, "BitBtn1")->click(); });
                     onModal<IntakeDialog>([&](IntakeDialog* d) {
                         ui::edit(d, "eArt")->setText(QStringLiteral("Пералня Candy"));
                         ui::edit(d, "eSN")->setText(QStringLiteral("C-1"));
                         ui::edit(d, "eDlvPrice")->setText(QStringLiteral("100"));
                         ui::edit(d, "eSalePrice")->setText(QStringLiteral("150"));
                         ui::edit(d, "eNames")->setText(QStringLiteral("Иван Петров"));
                         ui::edit(d, "eAdres")->setText(QStringLiteral("София"));
                         ui::edit(d, "eEGN")->setText(QStringLiteral("7501124567"));
                         ui::check(d, "chkPrn")->setChecked(false);
                         ok(ui::button(d, "btnOk"));
                     });
                     w.takeInItem();
                     return finish();
                 }},
                {"sale", 0,
                 [&] {
                     w.locateItem(nextUnpaid());
                     onModal<SaleDialog>([&](SaleDialog* d) {
                         ui::edit(d, "eNames")->setText(QStringLiteral("Купувач"));
                         ui::edit(d, "eAdres")->setText(QStringLiteral("Пловдив"));
                         ui::check(d, "chkPrn")->setChecked(false);
                         ok(ui::button(d, "btnOk"));
                     });
                     w.sellCurrentItem();
                     return finish();
                 }},
                {"payout", 0,
                 [&] {
                     w.locateItem(nextUnpaid());
                     onModal<PayoutDialog>([&](PayoutDialog* d) { ok(ui::button(d, "btnOk")); });
                     w.payOutCurrentItem();
                     return finish();
                 }},
                {"price change", 0,
                 [&] {
                     w.locateItem(nextAny());
                     onModal<PriceChangeDialog>([&](PriceChangeDialog* d) {
                         ui::edit(d, "eSalePrice")->setText(QStringLiteral("777"));
                         ok(ui::button(d, "btnOk"));
                     });
                     w.changeCurrentPrices();
                     return finish();
                 }},
                {"transfer", 0,
                 [&] {
                     w.locateItem(nextAny());
                     const int row = table->findRow(idCol, QVariant(qlonglong(w.currentItemId())));
                     const QString shop = table->value(row, RegisterLoader::column(QStringLiteral("Shop"))).toString();
                     onModal<ShopChooser>([&, shop](ShopChooser* d) {
                         QComboBox* shops = ui::combo(d, "cmbShop");
                         int to = (pick / 97) % shops->count();
                         while (shops->itemText(to).left(20) == shop)
                             to = (to + 1) % shops->count();
                         shops->setCurrentIndex(to);
                         ok(ui::button(d, "BitBtn1"));
                     });
                     w.transferCurrentItem();
                     return finish();
                 }},
                {"return", 0,
                 [&] {
                     w.locateItem(nextUnpaid());
                     MessageService::queueAnswer(QMessageBox::Yes);
                     clock.start();
                     w.returnCurrentItem();
                     return finish();
                 }},
                {"annulment", 2,
                 [&] {
                     w.locateItem(nextAny());
                     MessageService::queueAnswer(QMessageBox::Yes);
                     clock.start();
                     w.annulCurrentSale();
                     return finish();
                 }},
            };
            // The register's own part: the step every operation ends with,
            // on an item nothing changed (the operation's commit left out).
            {
                refresh(0, kFirstDay, kLastDay);
                const int rows = table->rowCount();
                QList<double> inPlace, whole;
                for (int i = 0; i < runs; ++i) {
                    for (bool on : {true, false}) {
                        w.setInPlaceUpdates(on);
                        w.locateItem(nextAny());
                        const qint64 id = w.currentItemId();
                        QElapsedTimer t;
                        t.start();
                        w.refreshKeeping(id);
                        grid->grab();
                        (on ? inPlace : whole) << t.nsecsElapsed() / 1e6;
                    }
                }
                w.setInPlaceUpdates(true);
                report(QStringLiteral("register step alone: in place / whole"), rows, median(inPlace), median(whole));
            }
            const int opRuns = qMax(3, runs / 2);
            for (const Op& op : ops) {
                if (op.view == 0)
                    refresh(0, kFirstDay, kLastDay);
                else
                    refresh(op.view, monthFrom, monthTo);
                const int rows = table->rowCount();
                QList<double> inPlace, whole;
                for (int i = 0; i < opRuns; ++i) {
                    w.setInPlaceUpdates(true);
                    inPlace << op.run();
                    w.setInPlaceUpdates(false);
                    whole << op.run();
                }
                w.setInPlaceUpdates(true);
                report(QStringLiteral("%1: in place / whole").arg(QLatin1String(op.name)), rows, median(inPlace),
                       median(whole));
            }

            // --- find, as before (SQLite) ---
            if (eng == Engine::SQLite) {
                ui::action(&w, "mnFind")->trigger();
                FindWindow* f = ui::control<FindWindow>(&w, "TfrmFind");
                ui::combo(f, "cmbField")->setCurrentIndex(0);
                ui::combo(f, "cmbWay")->setCurrentIndex(FindStatement::Contains);
                ui::edit(f, "eString")->setText(QStringLiteral("ютия ROWENTA #1"));
                const double ours = medianOf(runs, [&] {
                    QElapsedTimer t;
                    t.start();
                    f->search();
                    grid->grab();
                    return t.nsecsElapsed() / 1e6;
                });
                int rows = 0;
                const RegisterStatement s =
                    FindStatement::build(0, FindStatement::Contains, ui::edit(f, "eString")->text(), {});
                const double base = medianOf(runs, [&] { return rawFetch(file, s, true, &rows); });
                if (rows != table->rowCount())
                    qFatal("find row counts differ: %d against %d", rows, int(table->rowCount()));
                report(QStringLiteral("find contains / raw"), rows, ours, base);
                ui::action(&w, "mnFind")->trigger();
            }
            w.closeConnection();
            w.hide();
        }
    }
    std::printf("peak memory (VmHWM): %.1f MB\n", peakKb() / 1024.0);
    return 0;
}
