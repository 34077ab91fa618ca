#include "core/Formats.h"

#include "core/Money.h"

#include <QLocale>
#include <QRegularExpression>

namespace formats {

void applyProcessFormats() {
    QLocale c(QLocale::C);
    c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    QLocale::setDefault(c);
}

QString date(const QDate& d) { return d.isValid() ? d.toString(QString::fromLatin1(kDateFormat)) : QString(); }

QDate parseDate(const QString& s) { return QDate::fromString(s.trimmed(), QString::fromLatin1(kDateFormat)); }

QString time(const QTime& t) { return t.isValid() ? t.toString(QStringLiteral("HH:mm:ss")) : QString(); }

QString moneyCents(qint64 cents) {
    const bool neg = cents < 0;
    const quint64 a = neg ? quint64(-cents) : quint64(cents);
    return QStringLiteral("%1%2.%3")
        .arg(neg ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(a % 100, 2, 10, QLatin1Char('0'));
}

QString money(double leva) { return moneyCents(money::fromLeva(leva)); }

QString moneyGrouped(double leva) {
    QString plain = money(leva);
    const bool neg = plain.startsWith(QLatin1Char('-'));
    if (neg)
        plain.remove(0, 1);
    const int dot = plain.indexOf(QLatin1Char('.'));
    QString intPart = plain.left(dot);
    for (int i = intPart.size() - 3; i > 0; i -= 3)
        intPart.insert(i, QLatin1Char(' '));
    return (neg ? QStringLiteral("-") : QString()) + intPart + plain.mid(dot);
}

bool parseMoney(const QString& text, qint64* cents) {
    QString t = text.trimmed();
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x00A0));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    static const QRegularExpression re(QStringLiteral("^([+-]?)(\\d{1,9})?(?:\\.(\\d{0,2}))?$"));
    const auto m = re.match(t);
    if (!m.hasMatch() || t.isEmpty() || t == QLatin1String(".") || (m.captured(2).isEmpty() && m.captured(3).isEmpty()))
        return false;
    qint64 whole = m.captured(2).isEmpty() ? 0 : m.captured(2).toLongLong();
    QString frac = m.captured(3);
    while (frac.size() < 2)
        frac.append(QLatin1Char('0'));
    qint64 v = whole * 100 + frac.toLongLong();
    if (m.captured(1) == QLatin1String("-"))
        v = -v;
    if (v > money::kMaxCents || v < -money::kMaxCents)
        return false;
    if (cents)
        *cents = v;
    return true;
}

} // namespace formats
