#include "operations/TurnoverReport.h"

#include "core/Formats.h"
#include "db/Database.h"
#include "operations/Invariants.h"
#include "operations/Operations.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>
#include <cstdlib>

namespace turnover {

namespace {

using Key = invariants::DailyFigures::Key;

// The daily rows of one table inside the period, summed per shop and day (a
// day written twice counts once with both rows' sum: the check names the
// doubled row itself).
QHash<Key, Cents> dailyRows(Database& db, const QString& sql, const QDate& from, const QDate& to,
                            QVariantList params = {}) {
    QHash<Key, Cents> out;
    params << db.dateParam(from) << db.dateParam(to);
    QSqlQuery q = db.exec(sql, params);
    while (q.next()) {
        const Key key{q.value(0).toInt(), Database::toDate(q.value(1))};
        out[key] += money::fromLeva(q.value(2).toDouble());
    }
    return out;
}

} // namespace

QDate periodOf(const QDate& day, Step step) {
    return step == Step::Day ? day : QDate(day.year(), day.month(), 1);
}

QString periodText(const QDate& period, Step step) {
    return step == Step::Day ? formats::date(period) : period.toString(QStringLiteral("MM.yyyy"));
}

QString differenceText(const Difference& d) {
    const bool turnover = d.what == Difference::What::Turnover;
    const Cents off = d.off();
    if (d.what == Difference::What::Takings)
        return QStringLiteral("Магазин %1, %2: продажбите в касовата книга са %3 лв., а в приходите - %4 лв. "
                              "(в касовата книга %5 с %6 лв.)")
            .arg(d.shopName, formats::date(d.day), formats::moneyCents(d.recorded), formats::moneyCents(d.booked),
                 off > 0 ? QStringLiteral("повече") : QStringLiteral("по-малко"),
                 formats::moneyCents(off < 0 ? -off : off));
    return QStringLiteral("Магазин %1, %2: %3 в таблицата е %4 лв., а според %5 трябва да е %6 лв. (%7 с %8 лв.)")
        .arg(d.shopName, formats::date(d.day), turnover ? QStringLiteral("оборотът") : QStringLiteral("печалбата"),
             formats::moneyCents(d.recorded),
             turnover ? QStringLiteral("продажбите и анулиранията в касовата книга и приходите")
                      : QStringLiteral("продажбите, изплащанията и анулиранията"),
             formats::moneyCents(d.booked),
             off > 0 ? QStringLiteral("повече") : QStringLiteral("по-малко"), formats::moneyCents(off < 0 ? -off : off));
}

Cents Report::chainTurnover(const QDate& period) const {
    Cents sum = 0;
    for (const Row& r : rows)
        if (r.period == period)
            sum += r.turnover;
    return sum;
}

Cents Report::chainProfit(const QDate& period) const {
    Cents sum = 0;
    for (const Row& r : rows)
        if (r.period == period)
            sum += r.profit;
    return sum;
}

QString Report::shopName(int shop) const {
    for (const Row& r : rows)
        if (r.shop == shop)
            return r.shopName;
    return {};
}

Report build(Database& db, const QDate& from, const QDate& to, Step step) {
    Report report;
    report.from = from;
    report.to = to;
    report.step = step;

    QHash<int, QString> names;
    QSqlQuery s = db.exec(QStringLiteral("SELECT ID, Name FROM Shops"));
    while (s.next())
        names.insert(s.value(0).toInt(), s.value(1).toString());
    auto nameOf = [&](int shop) {
        const QString n = names.value(shop);
        return n.isEmpty() ? QStringLiteral("№%1").arg(shop) : n;
    };

    const QHash<Key, Cents> turnover = dailyRows(
        db, QStringLiteral("SELECT idShop, Date, \"1\" FROM oborot WHERE Date >= ? AND Date <= ?"), from, to);
    const QHash<Key, Cents> profit = dailyRows(
        db, QStringLiteral("SELECT ShopID, Date, Pech FROM Pech WHERE ValID = 1 AND Date >= ? AND Date <= ?"), from,
        to);

    // Per shop and period.
    QMap<QPair<int, QDate>, Row> byPeriod;
    auto rowFor = [&](const Key& day) -> Row& {
        const QPair<int, QDate> key{day.first, periodOf(day.second, step)};
        Row& r = byPeriod[key];
        r.shop = day.first;
        r.shopName = nameOf(day.first);
        r.period = key.second;
        return r;
    };
    for (auto it = turnover.cbegin(); it != turnover.cend(); ++it)
        rowFor(it.key()).turnover += it.value();
    for (auto it = profit.cbegin(); it != profit.cend(); ++it)
        rowFor(it.key()).profit += it.value();
    for (const Row& r : std::as_const(byPeriod)) {
        report.rows.append(r);
        report.turnover += r.turnover;
        report.profit += r.profit;
    }
    std::stable_sort(report.rows.begin(), report.rows.end(), [](const Row& a, const Row& b) {
        const int c = a.shopName.compare(b.shopName, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.period < b.period;
    });
    for (const Row& r : std::as_const(report.rows))
        if (!report.shops.contains(r.shop))
            report.shops.append(r.shop);
    for (QDate p = periodOf(from, step); p.isValid() && p <= to; p = step == Step::Day ? p.addDays(1) : p.addMonths(1))
        report.periods.append(p);

    // Day by day against the bookings.
    const invariants::DailyFigures expected = invariants::expectedDaily(db);
    auto compare = [&](Difference::What what, const QHash<Key, Cents>& recorded, const QHash<Key, Cents>& booked,
                       const QHash<Key, Cents>& tolerated) {
        QSet<Key> keys;
        for (auto it = recorded.cbegin(); it != recorded.cend(); ++it)
            keys.insert(it.key());
        for (auto it = booked.cbegin(); it != booked.cend(); ++it)
            if (it.key().second >= from && it.key().second <= to)
                keys.insert(it.key());
        for (const Key& k : std::as_const(keys)) {
            const Cents off = recorded.value(k) - booked.value(k);
            const Cents tolerance = tolerated.value(k);
            if (off == 0 || off == tolerance)
                continue;
            // Where a payout of another amount makes two readings possible,
            // the difference is told from the nearer one.
            Cents shouldBe = booked.value(k);
            if (tolerance != 0 && std::abs(off - tolerance) < std::abs(off))
                shouldBe += tolerance;
            report.differences.append({what, k.first, nameOf(k.first), k.second, recorded.value(k), shouldBe});
        }
    };
    compare(Difference::What::Turnover, turnover, expected.turnover, {});
    compare(Difference::What::Profit, profit, expected.profit, expected.profitTolerance);
    // The takings of the sales in the cash book against their income entries.
    const QHash<Key, Cents> takings =
        dailyRows(db, QStringLiteral("SELECT ShopID, Date, InSum FROM KASA WHERE Note = ? AND Date >= ? AND Date <= ?"),
                  from, to, {ops::saleKind()});
    const QHash<Key, Cents> income = dailyRows(
        db,
        QStringLiteral("SELECT ShopID, Date, Sum FROM Prihod WHERE TypeID IN (SELECT ID FROM TypePrihod WHERE type = ?) "
                       "AND Date >= ? AND Date <= ?"),
        from, to, {ops::saleKind()});
    compare(Difference::What::Takings, takings, income, {});
    std::sort(report.differences.begin(), report.differences.end(), [](const Difference& a, const Difference& b) {
        if (a.day != b.day)
            return a.day < b.day;
        const int c = a.shopName.compare(b.shopName, Qt::CaseInsensitive);
        if (c != 0)
            return c < 0;
        return int(a.what) < int(b.what);
    });
    return report;
}

} // namespace turnover
