// The backup of a large database (1,000,000 appliances and 100,000 rows in
// each ledger table) against a plain copy of its file made in the same run:
// the checked backup, the check of a backup file alone, the restore; and an
// intake booked by another connection while the backup's snapshot is held.
//   bench_backup [item count] [ledger rows]
#include "db/Backup.h"
#include "db/Database.h"
#include "operations/Operations.h"
#include "tools/SuiteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

void bulkFill(Database& db, int items, int ledgerRows) {
    Transaction tx(db);
    for (int i = 0; i < items; ++i) {
        const bool sold = i % 20 != 0;
        db.exec(QStringLiteral("INSERT INTO resale (DlvNames, DlvAdres, DlvEGN, Art, Serial, DogNo, Payed, Saled, "
                               "DateGet, Datesale, SalePrice, DlvPrice, IdShop) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                {QStringLiteral("Иван Петров"), QStringLiteral("София"), QStringLiteral("7501124567"),
                 QStringLiteral("Пералня %1").arg(i), QStringLiteral("SN%1").arg(i), 1000000 + i / 4, sold ? 1 : 0,
                 sold ? 1 : 0, db.dateParam(QDate(2020, 1, 1).addDays(i % 2000)),
                 sold ? db.dateParam(QDate(2020, 1, 2).addDays(i % 2000)) : QVariant(), 150.0 + (i % 100) / 100.0,
                 100.0, 1 + i % 4});
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
    }
    tx.commit();
}

double seconds(QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int items = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 1000000;
    const int ledger = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100000;
    QTemporaryDir dir;
    const QString shop = dir.filePath(QStringLiteral("shop"));
    Database db;
    QString error;
    if (!suite::createDatabase(db, shop, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    suite::fillDemoMasterData(db);
    QElapsedTimer t;
    t.start();
    bulkFill(db, items, ledger);
    db.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const qint64 size = QFileInfo(QDir(shop).filePath(Database::fileName())).size();
    std::printf("filled %d appliances, %d rows per ledger in %.1f s; database file %.1f MB\n", items, ledger,
                seconds(t), size / 1048576.0);

    // Baseline: the file copied as it lies (what a copy without the engine
    // would cost, and would not be consistent while others write).
    t.restart();
    QFile::copy(QDir(shop).filePath(Database::fileName()), dir.filePath(QStringLiteral("plain.db")));
    const double plain = seconds(t);
    std::printf("plain file copy:                     %7.3f s\n", plain);

    Database other;
    if (!other.open(shop, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    double intakeWhileHeld = -1;
    t.restart();
    const backup::Outcome o = backup::backupSqlite(db, dir.filePath(QStringLiteral("archive")), 5,
                                                   QDateTime::currentDateTime(), [&] {
                                                       QElapsedTimer i;
                                                       i.start();
                                                       ops::IntakeInput in;
                                                       in.shop = 1;
                                                       in.dogNo = ops::proposeContractNumber(other, 1);
                                                       in.art = QStringLiteral("Уред по време на архива");
                                                       in.dlvPrice = 10000;
                                                       in.salePrice = 15000;
                                                       if (ops::intake({other, 1}, in).ok())
                                                           intakeWhileHeld = seconds(i);
                                                   });
    const double made = seconds(t);
    if (!o.ok) {
        std::fprintf(stderr, "%s\n", qPrintable(o.message));
        return 1;
    }
    std::printf("checked backup (copy, check, name):  %7.3f s  (%.1f x the plain copy), %.1f MB\n", made, made / plain,
                o.bytes / 1048576.0);
    std::printf("an intake on another connection while the snapshot is held: %.1f ms\n", intakeWhileHeld * 1000);

    t.restart();
    const backup::Check c = backup::checkBackup(o.file);
    std::printf("check of the backup file alone:      %7.3f s  (%s)\n", seconds(t), c.ok ? "ok" : qPrintable(c.message));

    t.restart();
    const backup::RestoreOutcome r = backup::restore(o.file, dir.filePath(QStringLiteral("restored")), shop);
    std::printf("restore into a new folder:           %7.3f s  (%s)\n", seconds(t), r.ok() ? "ok" : qPrintable(r.message));
    return o.ok && c.ok && r.ok() ? 0 : 1;
}
