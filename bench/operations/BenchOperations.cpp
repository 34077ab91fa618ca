// Time of each operation from OK to committed, on SQLite, with a small item
// table (1,000 appliances) and a large one (1,000,000 appliances and 100,000
// rows in each ledger table and in the record of transfers). Prints the
// medians and the large/small ratio.
//   bench_operations [large item count]
#include "db/Database.h"
#include "operations/Operations.h"
#include "tools/SuiteDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>

namespace {

void bulkFill(Database& db, int items, int ledgerRows) {
    Transaction tx(db);
    for (int i = 0; i < items; ++i) {
        const int shop = 1 + i % 4;
        const bool sold = i % 20 != 0; // about 5% in stock
        db.exec(QStringLiteral("INSERT INTO resale (DlvNames, DlvAdres, DlvEGN, Art, Serial, DogNo, Payed, Saled, DateGet, "
                               "Datesale, SalePrice, DlvPrice, IdShop) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {QStringLiteral("Иван Петров"), QStringLiteral("София"), QStringLiteral("7501124567"),
                 QStringLiteral("Пералня %1").arg(i), QStringLiteral("SN%1").arg(i), 1000000 + i / 4, sold ? 1 : 0,
                 sold ? 1 : 0, db.dateParam(QDate(2020, 1, 1).addDays(i % 2000)),
                 sold ? db.dateParam(QDate(2020, 1, 2).addDays(i % 2000)) : QVariant(), 150.0, 100.0, shop});
    }
    for (int i = 0; i < ledgerRows; ++i) {
        const QVariant day = db.dateParam(QDate(2015, 1, 1).addDays(i / 4));
        db.exec(QStringLiteral("INSERT INTO KASA (Date, Time, InSum, ValID, Note, UserID, ShopID) VALUES (?,?,?,?,?,?,?)"),
                {day, QStringLiteral("10:00:00"), 10.0, 1, QStringLiteral("x"), 1, 1 + i % 4});
        db.exec(QStringLiteral("INSERT INTO Prihod (Date, ShopID, TypeID, ClerkID, Sum, Note) VALUES (?,?,?,?,?,?)"),
                {day, 1 + i % 4, 1, 1, 10.0, QStringLiteral("x")});
        db.exec(QStringLiteral("INSERT INTO Expenses (Date, ShopID, TypeID, ClerkID, Sum, Note) VALUES (?,?,?,?,?,?)"),
                {day, 1 + i % 4, 1, 1, 10.0, QStringLiteral("x")});
        db.exec(QStringLiteral("INSERT INTO oborot (Date, idShop, \"1\") VALUES (?,?,?)"), {day, 1 + i % 4, 10.0});
        db.exec(QStringLiteral("INSERT INTO Pech (Date, ValID, ShopID, Pech) VALUES (?,?,?,?)"), {day, 1, 1 + i % 4, 5.0});
        db.exec(QStringLiteral("INSERT INTO resale_moves (IdItem, FromShop, ToShop, Date, Time, ClerkID) "
                               "VALUES (?,?,?,?,?,?)"),
                {1 + i % qMax(items, 1), 1 + i % 4, 1 + (i + 1) % 4, day, QStringLiteral("10:00:00"), 1});
    }
    tx.commit();
    db.exec(QStringLiteral("ANALYZE"));
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

std::map<QString, double> measure(int items, int ledgerRows) {
    QTemporaryDir dir;
    Database db;
    QString error;
    if (!suite::createDatabase(db, dir.path(), &error))
        qFatal("%s", qPrintable(error));
    suite::fillDemoMasterData(db);
    QElapsedTimer fill;
    fill.start();
    bulkFill(db, items, ledgerRows);
    std::printf("  filled %d appliances and %d rows per ledger and of transfers in %.1f s\n", items, ledgerRows,
                fill.elapsed() / 1000.0);
    const ops::Context ctx{db, 1};
    const int runs = 41;
    std::map<QString, std::vector<double>> t;
    auto time = [&](const QString& name, const std::function<ops::Result()>& f) {
        QElapsedTimer e;
        e.start();
        const ops::Result r = f();
        t[name].push_back(e.nsecsElapsed() / 1e6);
        if (!r.ok())
            qFatal("%s: %s", qPrintable(name), qPrintable(r.message));
        return r;
    };
    for (int i = 0; i < runs; ++i) {
        ops::IntakeInput in;
        in.shop = 1 + i % 4;
        in.art = QStringLiteral("Хладилник %1").arg(i);
        in.dlvPrice = 10000;
        in.salePrice = 15000;
        in.names = QStringLiteral("Мария");
        in.adres = QStringLiteral("София");
        in.egn = QStringLiteral("8001011234");
        QElapsedTimer e;
        e.start();
        in.dogNo = ops::proposeContractNumber(db, in.shop);
        const qint64 a = time(QStringLiteral("intake"), [&] { return ops::intake(ctx, in); }).id;
        in.dogNo = ops::proposeContractNumber(db, in.shop);
        in.payNow = true;
        const qint64 b = time(QStringLiteral("intake + payout"), [&] { return ops::intake(ctx, in); }).id;
        in.dogNo = ops::proposeContractNumber(db, in.shop);
        in.payNow = false;
        const qint64 c = ops::intake(ctx, in).id;
        time(QStringLiteral("price change"), [&] { return ops::changePrices(ctx, a, 9000, 14000); });
        time(QStringLiteral("transfer"), [&] { return ops::transfer(ctx, a, 1 + (i + 1) % 4); });
        time(QStringLiteral("sale"), [&] { return ops::sale(ctx, {a, 14000, QStringLiteral("К"), QStringLiteral("А"), {}, {}}); });
        time(QStringLiteral("payout"), [&] { return ops::payout(ctx, a, 9000); });
        time(QStringLiteral("annulment"), [&] { return ops::annul(ctx, a); });
        time(QStringLiteral("sale of a paid item"), [&] { return ops::sale(ctx, {b, 15000, QStringLiteral("К"), QStringLiteral("А"), {}, {}}); });
        time(QStringLiteral("return"), [&] { return ops::returnItem(ctx, c); });
    }
    std::map<QString, double> out;
    for (auto& [k, v] : t)
        out[k] = median(v);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int large = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    std::printf("small: 1000 appliances\n");
    const auto small = measure(1000, 1000);
    std::printf("large: %d appliances\n", large);
    const auto big = measure(large, 100000);
    std::printf("\n%-22s %12s %12s %8s\n", "operation (median)", "1000 [ms]", QString::number(large).toLatin1().constData(), "ratio");
    for (const auto& [k, v] : small)
        std::printf("%-22s %12.2f %12.2f %8.2f\n", k.toUtf8().constData(), v, big.at(k), big.at(k) / v);
    return 0;
}
