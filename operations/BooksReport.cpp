#include "operations/BooksReport.h"

#include "core/Formats.h"
#include "operations/Clock.h"

#include <QMap>
#include <algorithm>

namespace booksreport {

QString breachCount(int n) {
    return n == 1 ? QStringLiteral("1 разминаване") : QStringLiteral("%1 разминавания").arg(n);
}

namespace {

QString shopCount(int n) {
    return n == 1 ? QStringLiteral("1 магазин") : QStringLiteral("%1 магазина").arg(n);
}

QString totalsLine(int breaches, money::Cents amount) {
    QString line = breachCount(breaches);
    if (amount != 0)
        line += QStringLiteral(" за %1 лв.").arg(formats::moneyCents(amount));
    return line;
}

} // namespace

money::Cents Report::totalAmount() const {
    money::Cents sum = 0;
    for (const ShopTotals& s : shops)
        sum += s.amount;
    return sum;
}

Report build(const QList<invariants::Breach>& breaches, const QString& location, const QDateTime& checkedAt) {
    Report r;
    r.location = location;
    r.checkedAt = checkedAt;
    r.breaches = breaches;
    std::stable_sort(r.breaches.begin(), r.breaches.end(),
                     [](const invariants::Breach& a, const invariants::Breach& b) { return a.shop < b.shop; });
    for (const invariants::Breach& b : std::as_const(r.breaches)) {
        if (r.shops.isEmpty() || r.shops.last().shop != b.shop)
            r.shops.append({b.shop, b.shopName, 0, 0});
        ++r.shops.last().breaches;
        r.shops.last().amount += b.amount;
    }
    return r;
}

Report run(Database& db, const QString& location) {
    return build(invariants::findBreaches(db), location, Clock::now());
}

QString Report::text() const {
    QString out = QStringLiteral("Проверка на книгите\n");
    out += QStringLiteral("База данни: %1\n").arg(location);
    out += QStringLiteral("Проверена на: %1 %2\n\n").arg(formats::date(checkedAt.date()), checkedAt.time().toString(QStringLiteral("HH:mm")));
    if (agree()) {
        out += QStringLiteral("Книгите са в ред: уредите, касовата книга, приходите, разходите, оборотът и "
                              "печалбата съвпадат.\n");
        return out;
    }
    qsizetype next = 0;
    for (const ShopTotals& s : shops) {
        out += QStringLiteral("Магазин %1: %2\n").arg(s.name, totalsLine(s.breaches, s.amount));
        for (int i = 1; i <= s.breaches; ++i, ++next)
            out += QStringLiteral("  %1. %2\n").arg(i).arg(breaches.at(next).text);
        out += QLatin1Char('\n');
    }
    out += QStringLiteral("Общо по магазини:\n");
    for (const ShopTotals& s : shops)
        out += QStringLiteral("  %1: %2\n").arg(s.name, totalsLine(s.breaches, s.amount));
    out += QStringLiteral("Общо: %1 в %2.\n")
               .arg(totalsLine(int(breaches.size()), totalAmount()), shopCount(int(shops.size())));
    return out;
}

} // namespace booksreport
