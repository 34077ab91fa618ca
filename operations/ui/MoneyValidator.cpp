#include "operations/ui/MoneyValidator.h"

#include "core/Formats.h"

#include <QRegularExpression>

MoneyValidator::MoneyValidator(QObject* parent) : QValidator(parent) {}

QValidator::State MoneyValidator::validate(QString& input, int& pos) const {
    Q_UNUSED(pos);
    QString t = input;
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x00A0));
    // A sign alone, or nothing yet, may still become an amount.
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+"))
        return Intermediate;
    static const QRegularExpression shape(QStringLiteral("^[+-]?\\d*(?:[.,]\\d{0,2})?$"));
    if (!shape.match(t).hasMatch())
        return Invalid;
    if (t.endsWith(QLatin1Char('.')) || t.endsWith(QLatin1Char(',')) || t == QLatin1String("-.") ||
        t == QLatin1String("+."))
        return formats::parseMoney(t + QLatin1Char('0'), nullptr) ? Intermediate : Invalid;
    return formats::parseMoney(t, nullptr) ? Acceptable : Invalid;
}
