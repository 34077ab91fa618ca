#pragma once

#include "db/Database.h"
#include "operations/Clock.h"
#include "operations/Item.h"
#include "operations/Operations.h"
#include "tests/support/TestEnv.h"
#include "tools/SuiteDatabase.h"

#include <QApplication>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// A suite database with the demo shops, firm and clerks in a temporary
// directory, and helpers to read what the operations left in it.
struct OpsFixture {
    std::unique_ptr<QTemporaryDir> dir;
    Database db;

    bool open() {
        dir = testenv::tempDir();
        QString error;
        if (!suite::createDatabase(db, dir->path(), &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        suite::fillDemoMasterData(db);
        return true;
    }

    qint64 takeIn(int shop, money::Cents dlv, money::Cents sale, bool payNow = false,
                  const QString& art = QStringLiteral("Пералня Bosch")) {
        ops::IntakeInput in;
        in.shop = shop;
        in.dogNo = ops::proposeContractNumber(db, shop);
        in.art = art;
        in.dlvPrice = dlv;
        in.salePrice = sale;
        in.payNow = payNow;
        in.names = QStringLiteral("Иван Петров");
        in.adres = QStringLiteral("София, ул. Шипка 3");
        in.egn = QStringLiteral("7501124567");
        in.lk = QStringLiteral("123456789");
        const ops::Result r = ops::intake(ops::Context{db, 1}, in);
        return r.ok() ? r.id : -1;
    }

    Item item(qint64 id) { return Item::load(db, id).value_or(Item{}); }
    int count(const QString& table) { return db.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toInt(); }
    double sum(const QString& sql, const QVariantList& p = {}) { return db.scalar(sql, p).toDouble(); }

    QStringList snapshot() { return snapshotOf(db); }

    // Every row of every table the operations touch, as text.
    static QStringList snapshotOf(Database& db) {
        QStringList out;
        for (const char* t : {"resale", "KASA", "Prihod", "Expenses", "TypePrihod", "TypeExpense", "oborot", "Pech"}) {
            QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << q.value(i).toString();
                out << QLatin1String(t) + QLatin1Char(':') + cells.join(QLatin1Char('|'));
            }
        }
        out.sort();
        return out;
    }
};

// Runs action on the next modal dialog of type T once it is up (a modal
// dialog blocks the test in its own event loop). Gives up after a while, so a
// dialog that never comes cannot leave a timer behind for a later test.
template <class T> void onModal(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action]() {
        if (auto* d = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(d);
        } else if (++*tries > 2000) {
            timer->stop();
            timer->deleteLater();
            qWarning("expected dialog did not open");
        }
    });
    timer->start();
}
