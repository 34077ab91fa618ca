#include "operations/BooksReport.h"

#include "core/Formats.h"
#include "db/Database.h"
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

} // namespace

QString totalsLine(int breaches, money::Cents amount) {
    QString line = breachCount(breaches);
    if (amount != 0)
        line += QStringLiteral(" за %1 лв.").arg(formats::moneyCents(amount));
    return line;
}

QString Report::scope() const {
    QStringList parts;
    if (shop != 0)
        parts << QStringLiteral("магазин %1").arg(shopName.isEmpty() ? QStringLiteral("№%1").arg(shop) : shopName);
    if (from.isValid() && to.isValid())
        parts << QStringLiteral("от %1 до %2").arg(formats::date(from), formats::date(to));
    else if (from.isValid())
        parts << QStringLiteral("от %1").arg(formats::date(from));
    else if (to.isValid())
        parts << QStringLiteral("до %1").arg(formats::date(to));
    return parts.isEmpty() ? QStringLiteral("цялата база") : parts.join(QStringLiteral(", "));
}

QString Report::totalsText() const {
    return QStringLiteral("%1 в %2").arg(totalsLine(int(breaches.size()), totalAmount()), shopCount(int(shops.size())));
}

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

Report run(Database& db, const QString& location, const invariants::Options& options) {
    Report r = build(invariants::findBreaches(db, options), location, Clock::now());
    r.shop = options.shop;
    r.from = options.from;
    r.to = options.to;
    if (options.shop != 0)
        r.shopName = db.scalar(QStringLiteral("SELECT Name FROM Shops WHERE ID = ?"), {options.shop}).toString();
    return r;
}

QString Report::text() const {
    QString out = QStringLiteral("Проверка на книгите\n");
    out += QStringLiteral("База данни: %1\n").arg(location);
    if (shop != 0 || from.isValid() || to.isValid())
        out += QStringLiteral("Проверени: %1\n").arg(scope());
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
    out += QStringLiteral("Общо: %1.\n").arg(totalsText());
    return out;
}

} // namespace booksreport
