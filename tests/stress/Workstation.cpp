#include "tests/stress/Workstation.h"

#include "db/Connection.h"
#include "operations/Item.h"
#include "operations/Operations.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

namespace workstation {

namespace {

struct Known {
    qint64 id;
    bool saled;
    bool payed;
    int shop;
};

const char* const kArts[] = {
    "Пералня Bosch WAN28",
    "Хладилник с фризер Liebherr CNef 4813 NoFrost, бял, модел 2019", // note cut to 50
    "Прахосмукачка Philips",
    "Печка Gorenje с 4 котлона",
    "Телевизор Samsung 43\" O'Neil", // quote and apostrophe
};

class Station {
public:
    Station(const Plan& plan, Database& db) : m_plan(plan), m_db(db), m_rand(plan.seed), m_journal(plan.journal) {}

    bool openJournal() { return m_journal.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered); }

    void runAll() {
        for (int i = 0; i < m_plan.operations; ++i) {
            try {
                one();
            } catch (const DbError& e) {
                // Reading the item list outside an operation failed: the
                // clerk would simply refresh the register.
                write(QStringLiteral("conflict read %1").arg(e.message().simplified().left(80)));
            }
        }
    }

private:
    void write(const QString& line) {
        const QByteArray b = (line + QLatin1Char('\n')).toUtf8();
        m_journal.write(b);
    }

    QList<Known> items() {
        QList<Known> out;
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT Id, Saled, Payed, IdShop FROM resale"));
        while (q.next())
            out.append({q.value(0).toLongLong(), q.value(1).toBool(), q.value(2).toBool(), q.value(3).toInt()});
        return out;
    }

    // Mostly an item in a state that allows the operation, sometimes any
    // item: stale choices are what other workstations race for.
    qint64 pick(const std::function<bool(const Known&)>& fits) {
        QList<Known> all = items();
        if (all.isEmpty())
            return -1;
        QList<Known> good;
        for (const Known& k : all)
            if (fits(k))
                good.append(k);
        const QList<Known>& from = good.isEmpty() || m_rand.bounded(10) == 0 ? all : good;
        return from.at(m_rand.bounded(int(from.size()))).id;
    }

    ops::Context ctx() { return {m_db, m_plan.clerk}; }
    money::Cents price(int lo, int hi) {
        return money::Cents(lo + m_rand.bounded(hi - lo)) * 100 + m_rand.bounded(100);
    }

    // An engine error (busy database, deadlock, serialisation) is retried a
    // few times; what still fails is written as an error.
    template <typename F> ops::Result withRetry(F&& f) {
        ops::Result r;
        for (int attempt = 0; attempt < 6; ++attempt) {
            r = f();
            if (r.status != ops::Status::EngineError)
                return r;
            write(QStringLiteral("conflict engine %1").arg(r.message.simplified().left(80)));
            QThread::msleep(5 + m_rand.bounded(20) * (attempt + 1));
        }
        return r;
    }

    void report(const QString& op, const ops::Result& r, qint64 id, const QString& extra = QString()) {
        const QString status = r.status == ops::Status::Done      ? QStringLiteral("done")
                               : r.status == ops::Status::Refused ? QStringLiteral("refused")
                                                                  : QStringLiteral("error");
        QString line = QStringLiteral("%1 %2 %3").arg(status, op).arg(id);
        if (!extra.isEmpty())
            line += QLatin1Char(' ') + extra;
        if (!r.ok())
            line += QStringLiteral(" | ") + r.message.simplified();
        write(line);
    }

    void one() {
        const int roll = m_rand.bounded(100);
        if (roll < 22 || items().size() < 5)
            return intake();
        if (roll < 44) {
            const qint64 id = pick([](const Known& k) { return !k.saled; });
            write(QStringLiteral("begin sale"));
            // Mostly the price on the label, sometimes one agreed at the till.
            money::Cents p = price(50, 900);
            if (m_rand.bounded(4) != 0)
                if (const auto it = Item::load(m_db, id); it && it->salePrice > 0)
                    p = it->salePrice;
            const auto r = withRetry([&] {
                return ops::sale(ctx(), {id, p, QStringLiteral("Купувач %1").arg(m_plan.clerk), QStringLiteral("София"),
                                         QString(), QString()});
            });
            return report(QStringLiteral("sale"), r, id);
        }
        if (roll < 60) {
            const qint64 id = pick([](const Known& k) { return !k.payed; });
            write(QStringLiteral("begin payout"));
            // The dialog proposes the stored purchase price; the clerk pays it.
            money::Cents amount = 0;
            if (const auto it = Item::load(m_db, id))
                amount = it->dlvPrice;
            const auto r = withRetry([&] { return ops::payout(ctx(), id, amount); });
            return report(QStringLiteral("payout"), r, id);
        }
        if (roll < 66) {
            const qint64 id = pick([](const Known& k) { return !k.saled && !k.payed; });
            write(QStringLiteral("begin return"));
            return report(QStringLiteral("return"), withRetry([&] { return ops::returnItem(ctx(), id); }), id);
        }
        if (roll < 76) {
            const qint64 id = pick([](const Known& k) { return !k.saled; });
            write(QStringLiteral("begin prices"));
            const money::Cents dlv = price(20, 400);
            const auto r = withRetry([&] { return ops::changePrices(ctx(), id, dlv, dlv + price(10, 200)); });
            return report(QStringLiteral("prices"), r, id);
        }
        if (roll < 86) {
            const qint64 id = pick([](const Known& k) { return !k.saled; });
            const int shop = 1 + m_rand.bounded(4);
            write(QStringLiteral("begin transfer"));
            return report(QStringLiteral("transfer"), withRetry([&] { return ops::transfer(ctx(), id, shop); }), id,
                          QString::number(shop));
        }
        const qint64 id = pick([](const Known& k) { return k.saled; });
        write(QStringLiteral("begin annul"));
        report(QStringLiteral("annul"), withRetry([&] { return ops::annul(ctx(), id); }), id);
    }

    void intake() {
        ops::IntakeInput in;
        in.shop = 1 + m_rand.bounded(4);
        in.art = QString::fromUtf8(kArts[m_rand.bounded(int(std::size(kArts)))]);
        in.serial = QStringLiteral("SN%1").arg(m_rand.bounded(100000));
        in.dlvPrice = price(20, 400);
        in.salePrice = in.dlvPrice + price(10, 300);
        in.payNow = m_rand.bounded(3) == 0;
        in.names = QStringLiteral("Доверител %1").arg(m_plan.clerk);
        in.adres = QStringLiteral("Пловдив");
        in.egn = QStringLiteral("7501124567");
        write(QStringLiteral("begin intake"));
        ops::Result r;
        // The proposed number may be taken by another workstation before
        // the intake commits: the clerk is told and takes the next one.
        for (int attempt = 0; attempt < 10; ++attempt) {
            r = withRetry([&] {
                in.dogNo = ops::proposeContractNumber(m_db, in.shop);
                return ops::intake(ctx(), in);
            });
            if (r.status == ops::Status::Refused &&
                r.message == QStringLiteral("Такъв номер на договор вече съществува")) {
                write(QStringLiteral("conflict contract-number"));
                continue;
            }
            break;
        }
        report(in.payNow ? QStringLiteral("intake-paid") : QStringLiteral("intake"), r, r.id,
               QStringLiteral("%1/%2").arg(in.shop).arg(in.dogNo));
    }

    const Plan& m_plan;
    Database& m_db;
    QRandomGenerator m_rand;
    QFile m_journal;
};

} // namespace

int run(const Plan& plan) {
    Connection connection;
    if (connection.open(QString()) != Connection::Status::Ready) {
        QTextStream(stderr) << "workstation: database does not open: " << connection.detail() << '\n';
        return 2;
    }
    Station station(plan, connection.db());
    if (!station.openJournal()) {
        QTextStream(stderr) << "workstation: cannot write the journal " << plan.journal << '\n';
        return 3;
    }
    station.runAll();
    return 0;
}

int transferAndWait(qint64 id, int shop, int clerk) {
    Connection connection;
    QTextStream out(stdout);
    if (connection.open(QString()) != Connection::Status::Ready) {
        out << "not open: " << connection.detail() << Qt::endl;
        return 2;
    }
    const ops::Result r = ops::transfer({connection.db(), clerk}, id, shop);
    out << (r.ok() ? QStringLiteral("committed") : QStringLiteral("failed: ") + r.message) << Qt::endl;
    if (!r.ok())
        return 1;
    QThread::sleep(60);
    return 4;
}

} // namespace workstation
