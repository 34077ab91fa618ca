#include "operations/Invariants.h"
#include "core/Text.h"

#include "core/Formats.h"
#include "core/Money.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "operations/Operations.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

namespace invariants {

namespace {

using money::Cents;

struct ItemRow {
    qint64 id = 0;
    int dogNo = 0;
    QString note; // "По договор №12 - ..." as its sale and payout wrote it; sold or paid only
    bool payed = false, saled = false;
    QDate dateGet, datePay, dateSale;
    Cents salePrice = 0, dlvPrice = 0;
    int shop = 0;
};

// An income or expense entry of this program, tied to its contract by its note.
struct Entry {
    qint64 id = 0;
    QDate date;
    int shop = 0;
    Cents sum = 0;
    QString note;
    int dogNo = 0;
};

// One transfer as the program wrote it down.
struct Move {
    int from = 0, to = 0;
    QDate date;
};

struct Cash {
    QDate date;
    int shop = 0;
    Cents sum = 0;
};

using DayKey = QPair<int, QDate>; // shop, day

class Checker {
public:
    Checker(Database& db, const Options& options) : m_db(db), m_options(options) {}

    QList<Breach> run() {
        countWork();
        load();
        checkContractNumbers();
        checkMoves();
        checkCashAgainstEntries(m_saleCash, m_sales, QStringLiteral("продажба"), true);
        checkCashAgainstEntries(m_annulCash, m_annuls, QStringLiteral("анулиране на продажба"), true);
        checkCashAgainstEntries(m_payoutCash, m_payouts, QStringLiteral("изплащане"), false);
        checkSales();
        checkPayouts();
        compareDaily(QStringLiteral("oborot"), QStringLiteral("SELECT idShop, Date, \"1\" FROM oborot"), m_turnover, {},
                     QStringLiteral("оборотът"));
        compareDaily(QStringLiteral("Pech"), QStringLiteral("SELECT ShopID, Date, Pech FROM Pech WHERE ValID = 1"),
                     m_profit, payoutDifferences(), QStringLiteral("печалбата"));
        m_done = m_total;
        report();
        return m_breaches;
    }

    DailyFigures expectedDaily() {
        load();
        checkSales();
        return {m_turnover, m_profit, payoutDifferences()};
    }

private:
    // The work is counted in rows: each table's rows read once, and the
    // appliances once more by each check that goes through them.
    void countWork() {
        QSqlQuery q = m_db.exec(QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM resale), (SELECT COUNT(*) FROM Prihod), (SELECT COUNT(*) FROM Expenses), "
            "(SELECT COUNT(*) FROM KASA), (SELECT COUNT(*) FROM oborot), (SELECT COUNT(*) FROM Pech)"));
        if (q.next()) {
            m_itemCount = q.value(0).toLongLong();
            m_total = 5 * m_itemCount;
            for (int i = 1; i < 6; ++i)
                m_total += q.value(i).toLongLong();
        }
        m_stride = std::max<qint64>(1, m_total / 200);
        m_nextReport = 0;
        report();
    }
    // One row of work done; now and then the caller hears of it.
    void step() {
        if (++m_done >= m_nextReport)
            report();
    }
    void report() {
        m_nextReport = m_done + m_stride;
        if (m_options.progress && !m_options.progress(std::min(m_done, m_total), m_total))
            throw Cancelled{};
    }

    QString shopName(int shop) const {
        const QString n = m_shops.value(shop);
        return n.isEmpty() ? QStringLiteral("№%1").arg(shop) : n;
    }
    QString itemText(const ItemRow& it) const {
        return QStringLiteral("Уред №%1 (договор %2, магазин %3)").arg(it.id).arg(it.dogNo).arg(shopName(it.shop));
    }
    QString entryText(const Entry& e) const {
        return QStringLiteral("\"%1\" от %2 в магазин %3 за %4 лв.")
            .arg(e.note, formats::date(e.date), shopName(e.shop), formats::moneyCents(e.sum));
    }
    void breach(Breach::Kind kind, int shop, const QString& s, Cents amount, const QDate& date, qint64 item = 0,
                const QString& book = QString()) {
        m_breaches.append({kind, shop, shopName(shop), s, amount < 0 ? -amount : amount, date, item,
                           book.isEmpty() ? bookOf(kind) : book});
    }

    static QSet<int> ids(Database& db, const QString& table, const QString& name) {
        QSet<int> out;
        QSqlQuery q = db.exec(QStringLiteral("SELECT ID FROM %1 WHERE type = ?").arg(table), {name});
        while (q.next())
            out.insert(q.value(0).toInt());
        return out;
    }

    void load() {
        QSqlQuery s = m_db.exec(QStringLiteral("SELECT ID, Name FROM Shops"));
        while (s.next())
            m_shops.insert(s.value(0).toInt(), s.value(1).toString());

        // Room for every appliance at once: a large table (an imported
        // shop's history) is not copied over while it grows.
        m_items.reserve(m_itemCount);
        QSqlQuery q = m_db.exec(QStringLiteral("SELECT Id, DogNo, Art, Payed, Saled, Datepay, Datesale, SalePrice, "
                                               "DlvPrice, IdShop, DateGet FROM resale ORDER BY Id"));
        while (q.next()) {
            ItemRow it;
            it.id = q.value(0).toLongLong();
            it.dogNo = q.value(1).toInt();
            it.payed = q.value(3).toBool();
            it.saled = q.value(4).toBool();
            // The text only ties a sale's or payout's entries to the appliance.
            if (it.payed || it.saled)
                it.note = text::left(ops::contractNote(it.dogNo, q.value(2).toString()), 50);
            it.datePay = Database::toDate(q.value(5));
            it.dateSale = Database::toDate(q.value(6));
            it.salePrice = money::fromLeva(q.value(7).toDouble());
            it.dlvPrice = money::fromLeva(q.value(8).toDouble());
            it.shop = q.value(9).toInt();
            it.dateGet = Database::toDate(q.value(10));
            m_items.append(it);
            step();
        }

        // In the order they were made: the moves of one appliance are made
        // one after the other under its lock.
        if (m_db.hasTable(schema::moves().name)) {
            QSqlQuery m = m_db.exec(
                QStringLiteral("SELECT IdItem, FromShop, ToShop, Date FROM %1 ORDER BY Id").arg(schema::moves().name));
            while (m.next())
                m_moves[m.value(0).toLongLong()].append(
                    {m.value(1).toInt(), m.value(2).toInt(), Database::toDate(m.value(3))});
        }

        static const QRegularExpression contract(QStringLiteral("^По договор №(\\d+) - "));
        static const QRegularExpression annul(QStringLiteral("^Анулиране на прод\\. 2-ра употреба - дог\\. №(\\d+)$"));
        const QSet<int> saleKinds = ids(m_db, QStringLiteral("TypePrihod"), ops::saleKind());
        const QSet<int> payoutKinds = ids(m_db, QStringLiteral("TypeExpense"), ops::payoutKind());
        auto readEntries = [&](const QString& table, const QSet<int>& kinds, bool expenses) {
            QSqlQuery e =
                m_db.exec(QStringLiteral("SELECT Id, Date, ShopID, Sum, Note, TypeID FROM %1 ORDER BY Id").arg(table));
            while (e.next()) {
                step();
                if (!kinds.contains(e.value(5).toInt()))
                    continue; // the suite's own entries
                Entry en;
                en.id = e.value(0).toLongLong();
                en.date = Database::toDate(e.value(1));
                en.shop = e.value(2).toInt();
                en.sum = money::fromLeva(e.value(3).toDouble());
                en.note = e.value(4).toString();
                // The program's own notes are read without the regular
                // expression; any other text goes through it.
                if (const int n = contractNumber(en.note); n >= 0) {
                    en.dogNo = n;
                    (expenses ? m_payouts : m_sales).append(en);
                    continue;
                }
                const auto c = contract.match(en.note);
                const auto a = annul.match(en.note);
                if (c.hasMatch()) {
                    en.dogNo = c.captured(1).toInt();
                    (expenses ? m_payouts : m_sales).append(en);
                } else if (expenses && a.hasMatch()) {
                    en.dogNo = a.captured(1).toInt();
                    m_annuls.append(en);
                } else {
                    breach(Breach::Kind::EntryWithoutContract, en.shop,
                           QStringLiteral("Запис %1 не посочва договор: не може да се свърже с уред").arg(entryText(en)),
                           en.sum, en.date, 0, expenses ? QStringLiteral("Разходи") : QStringLiteral("Приходи"));
                }
            }
        };
        readEntries(QStringLiteral("Prihod"), saleKinds, false);
        readEntries(QStringLiteral("Expenses"), payoutKinds, true);
        for (const Entry& e : std::as_const(m_payouts))
            m_payoutsByNote[e.note].append(e);

        QSqlQuery k = m_db.exec(QStringLiteral("SELECT Date, ShopID, InSum, OutSum, Note FROM KASA ORDER BY Id"));
        while (k.next()) {
            step();
            const QString note = k.value(4).toString();
            Cash c{Database::toDate(k.value(0)), k.value(1).toInt(), 0};
            if (note == ops::saleKind()) {
                c.sum = money::fromLeva(k.value(2).toDouble());
                m_saleCash.append(c);
            } else if (note == ops::payoutKind()) {
                c.sum = money::fromLeva(k.value(3).toDouble());
                m_payoutCash.append(c);
            } else if (note == ops::annulNote()) {
                c.sum = money::fromLeva(k.value(3).toDouble());
                m_annulCash.append(c);
            }
        }
    }

    // The contract number of a note "По договор №12 - ...", written with
    // ASCII digits as the program writes it; -1 for any other note.
    static int contractNumber(const QString& note) {
        static const QString prefix = QStringLiteral("По договор №");
        if (!note.startsWith(prefix))
            return -1;
        qsizetype i = prefix.size();
        qint64 n = 0;
        const qsizetype first = i;
        while (i < note.size() && note[i] >= QLatin1Char('0') && note[i] <= QLatin1Char('9') && i - first < 9)
            n = n * 10 + (note[i++].unicode() - u'0');
        if (i == first || note.mid(i, 3) != QLatin1String(" - "))
            return -1;
        return int(n);
    }

    // Whether the appliance came into the shop it is in by a transfer that
    // was written down.
    bool cameByTransfer(const ItemRow& it) const {
        const auto moves = m_moves.constFind(it.id);
        if (moves == m_moves.cend())
            return false;
        return std::any_of(moves->cbegin(), moves->cend(), [&](const Move& m) { return m.to == it.shop; });
    }

    void checkContractNumbers() {
        // The appliances ordered by shop and contract number (then as they
        // were taken in): one pointer each, however large the table.
        std::vector<const ItemRow*> byNumber;
        byNumber.reserve(size_t(m_items.size()));
        for (const ItemRow& it : m_items)
            byNumber.push_back(&it);
        std::stable_sort(byNumber.begin(), byNumber.end(), [](const ItemRow* a, const ItemRow* b) {
            return std::pair(a->shop, a->dogNo) < std::pair(b->shop, b->dogNo);
        });
        for (size_t first = 0; first < byNumber.size();) {
            size_t end = first + 1;
            while (end < byNumber.size() && byNumber[end]->shop == byNumber[first]->shop &&
                   byNumber[end]->dogNo == byNumber[first]->dogNo)
                ++end;
            for (size_t i = first; i < end; ++i)
                step();
            const size_t count = end - first;
            if (count >= 2) {
                size_t transferred = 0;
                QStringList list;
                QDate last;
                for (size_t i = first; i < end; ++i) {
                    last = std::max(last, byNumber[i]->dateGet);
                    transferred += cameByTransfer(*byNumber[i]) ? 1 : 0;
                    list << QStringLiteral("№%1 (приет на %2)").arg(byNumber[i]->id).arg(formats::date(byNumber[i]->dateGet));
                }
                if (transferred < count - 1)
                    breach(Breach::Kind::SharedContract, byNumber[first]->shop,
                           QStringLiteral("В магазин %1 уредите %2 са приети с един и същ договор %3")
                               .arg(shopName(byNumber[first]->shop), list.join(QStringLiteral(", ")))
                               .arg(byNumber[first]->dogNo),
                           0, last);
            }
            first = end;
        }
    }

    // The written-down moves of each appliance that is still there form one
    // road that ends in its shop; a break means it was moved without a record.
    void checkMoves() {
        for (const ItemRow& it : m_items) {
            step();
            const auto moves = m_moves.constFind(it.id);
            if (moves == m_moves.cend())
                continue;
            for (qsizetype i = 1; i < moves->size(); ++i) {
                const Move &before = moves->at(i - 1), &m = moves->at(i);
                if (m.from != before.to)
                    breach(Breach::Kind::MovedBetweenRecords, it.shop,
                           QStringLiteral("%1: прехвърлен е от магазин %2 на %3, а предишното записано прехвърляне "
                                          "го е оставило в магазин %4; между двете е преместен без запис")
                               .arg(itemText(it), shopName(m.from), formats::date(m.date), shopName(before.to)),
                           0, m.date, it.id);
            }
            const Move& last = moves->last();
            if (last.to != it.shop)
                breach(Breach::Kind::MovedAfterLastRecord, it.shop,
                       QStringLiteral("%1: последното записано прехвърляне (на %2) го е оставило в магазин %3; "
                                      "оттам е преместен без запис")
                           .arg(itemText(it), formats::date(last.date), shopName(last.to)),
                       0, last.date, it.id);
        }
    }

    // Every entry has its cash-book row of the same shop and day (and amount,
    // when the two must agree), and the other way round.
    void checkCashAgainstEntries(const QList<Cash>& cash, const QList<Entry>& entries, const QString& what,
                                 bool sameAmount) {
        QMap<DayKey, QList<Cents>> fromCash, fromEntries;
        for (const Cash& c : cash)
            fromCash[{c.shop, c.date}].append(sameAmount ? c.sum : 0);
        for (const Entry& e : entries)
            fromEntries[{e.shop, e.date}].append(sameAmount ? e.sum : 0);
        QSet<DayKey> keys;
        for (auto it = fromCash.cbegin(); it != fromCash.cend(); ++it)
            keys.insert(it.key());
        for (auto it = fromEntries.cbegin(); it != fromEntries.cend(); ++it)
            keys.insert(it.key());
        for (const DayKey& key : keys) {
            QList<Cents> a = fromCash.value(key), b = fromEntries.value(key);
            std::sort(a.begin(), a.end());
            std::sort(b.begin(), b.end());
            if (a == b)
                continue;
            const QString day = formats::date(key.second), shop = shopName(key.first);
            Cents off = 0;
            for (Cents c : a)
                off += c;
            for (Cents c : b)
                off -= c;
            if (a.size() != b.size())
                breach(Breach::Kind::CashRowsMissing, key.first,
                    QStringLiteral("Магазин %1, %2: в касовата книга има %3 реда за %4, а в приходите и разходите - %5")
                        .arg(shop, day)
                        .arg(a.size())
                        .arg(what)
                        .arg(b.size()),
                    off, key.second);
            else
                breach(Breach::Kind::CashAmountsDiffer, key.first,
                    QStringLiteral("Магазин %1, %2: сумите за %3 в касовата книга не съвпадат с приходите и разходите")
                        .arg(shop, day, what),
                    off, key.second);
        }
    }

    // Sales and their annulments per shop and contract (a transfer may bring
    // a second item with the same number into a shop). Each sold item claims
    // its sale; every other sale must have been taken back by an annulment of
    // the same amount, not before the sale day.
    void checkSales() {
        QHash<QPair<int, int>, QList<Entry>> open;
        open.reserve(m_sales.size());
        for (const Entry& e : m_sales) {
            open[{e.shop, e.dogNo}].append(e);
            m_turnover[{e.shop, e.date}] += e.sum;
        }
        for (const ItemRow& it : m_items) {
            step();
            if (!it.saled)
                continue;
            QList<Entry>& candidates = open[{it.shop, it.dogNo}];
            const QString& note = it.note;
            int found = -1;
            for (int i = 0; i < candidates.size(); ++i) {
                const Entry& e = candidates[i];
                if (e.note == note && e.sum == it.salePrice && e.date == it.dateSale)
                    found = i; // the latest such sale
            }
            if (found < 0) {
                breach(Breach::Kind::SaleWithoutIncome, it.shop,
                       QStringLiteral("%1 е продаден, но в приходите няма приход за продажбата").arg(itemText(it)),
                       it.salePrice, it.dateSale, it.id);
                continue;
            }
            candidates.removeAt(found);
            if (it.payed) {
                const QDate day = std::max(it.dateSale, it.datePay);
                m_profit[{it.shop, day}] += it.salePrice - it.dlvPrice;
            }
        }
        for (const Entry& an : m_annuls) {
            QList<Entry>& candidates = open[{an.shop, an.dogNo}];
            const auto sale = std::find_if(candidates.begin(), candidates.end(),
                                           [&](const Entry& e) { return e.sum == an.sum && e.date <= an.date; });
            if (sale == candidates.end()) {
                breach(Breach::Kind::AnnulWithoutSale, an.shop,
                       QStringLiteral("Анулиране %1 без продажба на тази сума, която да анулира").arg(entryText(an)),
                       an.sum, an.date);
                continue;
            }
            m_turnover[{sale->shop, sale->date}] -= an.sum;
            annulledProfit(*sale, an);
            candidates.erase(sale);
        }
        // What is left, in the order of shop and contract number.
        QList<QPair<int, int>> left;
        for (auto it = open.cbegin(); it != open.cend(); ++it)
            if (!it.value().isEmpty())
                left.append(it.key());
        std::sort(left.begin(), left.end());
        for (const auto& key : std::as_const(left))
            for (const Entry& e : open.value(key))
                breach(Breach::Kind::IncomeWithoutSale, e.shop,
                       QStringLiteral("Приход %1 е за уред, който не е продаден").arg(entryText(e)), e.sum, e.date);
    }

    // The profit of an annulled sale: booked when the item became both sold
    // and paid, taken back on the sale day when it was paid at the annulment.
    void annulledProfit(const Entry& sale, const Entry& annul) {
        const Entry* payout = nullptr;
        for (const Entry& p : m_payoutsByNote[sale.note]) {
            if (p.id > annul.id)
                continue;
            if (!payout || (p.shop == sale.shop && payout->shop != sale.shop))
                payout = &p;
        }
        if (!payout)
            return;
        const Cents profit = sale.sum - payout->sum;
        m_profit[{sale.shop, std::max(sale.date, payout->date)}] += profit;
        m_profit[{sale.shop, sale.date}] -= profit;
    }

    void checkPayouts() {
        // The last to need them: each payout is taken from here as it is matched.
        QHash<QString, QList<Entry>>& byNote = m_payoutsByNote;
        for (const ItemRow& it : m_items) {
            step();
            if (!it.payed)
                continue;
            const QString& note = it.note;
            QList<Entry>& pool = byNote[note];
            auto match = [&](bool sameShop) {
                return std::find_if(pool.begin(), pool.end(), [&](const Entry& e) {
                    return e.note == note && e.sum == it.dlvPrice && e.date == it.datePay &&
                           (!sameShop || e.shop == it.shop);
                });
            };
            auto found = match(true);
            if (found == pool.end())
                found = match(false);
            if (found == pool.end()) {
                breach(Breach::Kind::PayoutWithoutExpense, it.shop,
                       QStringLiteral("%1 е изплатен, но в разходите няма разход за изплащането").arg(itemText(it)),
                       it.dlvPrice, it.datePay, it.id);
                continue;
            }
            pool.erase(found);
        }
        for (const QList<Entry>& pool : std::as_const(byNote))
            for (const Entry& e : pool)
                breach(Breach::Kind::ExpenseWithoutPayout, e.shop,
                       QStringLiteral("Разход %1 е за изплащане на уред, който не е изплатен").arg(entryText(e)),
                       e.sum, e.date);
    }

    // A payout books the purchase price as stored in the cash book but the
    // amount entered as the expense, and the profit with the stored price.
    // The item keeps only the amount entered, so where the two differ on a
    // day the profit may be off from the items' figures by that difference.
    QHash<DayKey, Cents> payoutDifferences() const {
        QHash<DayKey, Cents> out;
        for (const Entry& e : m_payouts)
            out[{e.shop, e.date}] += e.sum;
        for (const Cash& c : m_payoutCash)
            out[{c.shop, c.date}] -= c.sum;
        return out;
    }

    void compareDaily(const QString& table, const QString& sql, const QHash<DayKey, Cents>& expected,
                      const QHash<DayKey, Cents>& tolerated, const QString& what) {
        QHash<DayKey, Cents> actual;
        QHash<DayKey, int> rows;
        QSqlQuery q = m_db.exec(sql);
        while (q.next()) {
            step();
            const DayKey key{q.value(0).toInt(), Database::toDate(q.value(1))};
            actual[key] += money::fromLeva(q.value(2).toDouble());
            ++rows[key];
        }
        QSet<DayKey> keys;
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            keys.insert(it.key());
        for (auto it = actual.cbegin(); it != actual.cend(); ++it)
            keys.insert(it.key());
        QList<DayKey> sorted(keys.cbegin(), keys.cend());
        std::sort(sorted.begin(), sorted.end());
        const QString book = table == QLatin1String("oborot") ? QStringLiteral("Оборот") : QStringLiteral("Печалба");
        for (const DayKey& key : sorted) {
            const QString shop = shopName(key.first), day = formats::date(key.second);
            if (rows.value(key) > 1)
                breach(Breach::Kind::DailyRowDoubled, key.first,
                       QStringLiteral("Магазин %1, %2: %3 е записан(а) в %4 реда вместо в един (таблица %5)")
                           .arg(shop, day, what)
                           .arg(rows.value(key))
                           .arg(table),
                       0, key.second, 0, book);
            const Cents off = actual.value(key) - expected.value(key);
            if (off != 0 && off != tolerated.value(key))
                breach(Breach::Kind::DailySumDiffers, key.first,
                       QStringLiteral("Магазин %1, %2: %3 е %4 лв., а според продажбите, изплащанията и анулиранията "
                                      "трябва да е %5 лв.")
                           .arg(shop, day, what, formats::moneyCents(actual.value(key)),
                                formats::moneyCents(expected.value(key))),
                       off, key.second, 0, book);
        }
    }

    Database& m_db;
    const Options& m_options;
    qint64 m_itemCount = 0;
    qint64 m_done = 0, m_total = 0, m_stride = 1, m_nextReport = 0;
    QList<Breach> m_breaches;
    QHash<int, QString> m_shops;
    QList<ItemRow> m_items;
    QHash<qint64, QList<Move>> m_moves;
    QList<Entry> m_sales, m_payouts, m_annuls;
    QHash<QString, QList<Entry>> m_payoutsByNote;
    QList<Cash> m_saleCash, m_payoutCash, m_annulCash;
    QHash<DayKey, Cents> m_turnover, m_profit;
};

} // namespace

QString bookOf(Breach::Kind kind) {
    using K = Breach::Kind;
    switch (kind) {
    case K::EntryWithoutContract:
        return QStringLiteral("Приходи и разходи");
    case K::SharedContract:
        return QStringLiteral("Уреди");
    case K::MovedBetweenRecords:
    case K::MovedAfterLastRecord:
        return QStringLiteral("Прехвърляния");
    case K::CashRowsMissing:
    case K::CashAmountsDiffer:
        return QStringLiteral("Касова книга");
    case K::SaleWithoutIncome:
    case K::IncomeWithoutSale:
        return QStringLiteral("Приходи");
    case K::AnnulWithoutSale:
    case K::PayoutWithoutExpense:
    case K::ExpenseWithoutPayout:
        return QStringLiteral("Разходи");
    case K::DailyRowDoubled:
    case K::DailySumDiffers:
        return QStringLiteral("Оборот и печалба");
    }
    return {};
}

QList<Breach> findBreaches(Database& db) {
    return findBreaches(db, Options{});
}

QList<Breach> findBreaches(Database& db, const Options& options) {
    QList<Breach> all = Checker(db, options).run();
    if (options.shop == 0 && !options.from.isValid() && !options.to.isValid())
        return all;
    QList<Breach> kept;
    for (const Breach& b : std::as_const(all)) {
        if (options.shop != 0 && b.shop != options.shop)
            continue;
        if (b.date.isValid() && ((options.from.isValid() && b.date < options.from) ||
                                 (options.to.isValid() && b.date > options.to)))
            continue;
        kept.append(b);
    }
    return kept;
}

DailyFigures expectedDaily(Database& db) {
    return Checker(db, Options{}).expectedDaily();
}

QStringList check(Database& db) {
    QStringList out;
    for (const Breach& b : findBreaches(db))
        out << b.text;
    return out;
}

} // namespace invariants
