#include "documents/AmountInWords.h"

#include <QStringList>
#include <cmath>

namespace {

const char16_t* const kUnits[10] = {u"",     u"един ", u"два ",   u"три ",  u"четири ",
                                    u"пет ", u"шест ", u"седем ", u"осем ", u"девет "};
const char16_t* const kTeens[10] = {u"десет ",         u"единадесет ",  u"дванадесет ",  u"тринадесет ",
                                    u"четиринадесет ", u"петнадесет ",  u"шестнадесет ", u"седемнадесет ",
                                    u"осемнадесет ",   u"деветнадесет "};
const char16_t* const kTens[10] = {u"",          u"",           u"двадесет ",   u"тридесет ",  u"четиридесет ",
                                   u"петдесет ", u"шестдесет ", u"седемдесет ", u"осемдесет ", u"деветдесет "};
const char16_t* const kHundreds[10] = {u"",           u"сто ",        u"двеста ",      u"триста ",     u"четиристотин ",
                                       u"петстотин ", u"шестстотин ", u"седемстотин ", u"осемстотин ", u"деветстотин "};

const QString kAnd = QStringLiteral("и ");

// One group of 0..999 without sign.
QString groupWords(int value) {
    if (value == 0)
        return QStringLiteral("нула ");
    QString result;
    bool hundredsWritten = false;
    bool tensWritten = false;
    if (value >= 100) {
        result += QString::fromUtf16(kHundreds[value / 100]);
        hundredsWritten = true;
        value %= 100;
    }
    if (value >= 10 && value <= 19) {
        if (hundredsWritten)
            result += kAnd;
        result += QString::fromUtf16(kTeens[value % 10]);
    }
    if (value >= 20) {
        tensWritten = true;
        if (value % 10 == 0 && hundredsWritten)
            result += kAnd;
        result += QString::fromUtf16(kTens[value / 10]);
        value %= 10;
    }
    if (value >= 1 && value <= 9) {
        if (hundredsWritten || tensWritten)
            result += kAnd;
        result += QString::fromUtf16(kUnits[value]);
    }
    return result;
}

// Words for a whole number of 0..999 999 999 in groups of three digits.
QString integerWords(qint64 value) {
    const int units = int(value % 1000);
    const int thousands = int((value / 1000) % 1000);
    const int millions = int(value / 1000000);
    if (millions == 0 && thousands == 0)
        return groupWords(units);

    QString thousandsWords;
    if (thousands == 1) {
        thousandsWords = QStringLiteral("хиляда ");
    } else if (thousands != 0) {
        thousandsWords = groupWords(thousands);
        if (thousands % 10 == 2 && thousandsWords.endsWith(QStringLiteral("а ")))
            thousandsWords[thousandsWords.size() - 2] = QChar(u'е');
        thousandsWords += QStringLiteral("хиляди ");
    }
    QString millionsWords;
    if (millions == 1)
        millionsWords = QStringLiteral("един милион ");
    else if (millions != 0)
        millionsWords = groupWords(millions) + QStringLiteral("милиона ");

    QString unitsWords;
    if (units != 0) {
        unitsWords = groupWords(units);
        if (units < 100)
            unitsWords.prepend(kAnd);
    }
    return millionsWords + thousandsWords + unitsWords;
}

// The amount as decimal text with at most 15 significant digits, no
// exponent, no trailing zeros in the fraction and no separator for whole
// amounts: 250.5 -> "250.5", 100 -> "100", 12.345 -> "12.345".
QString decimalText(double amount) {
    QString text = QString::number(amount, 'g', 15);
    if (text.contains(QLatin1Char('e'))) {
        // Tiny or huge amounts: write out the digits that 15 significant
        // digits give, without the exponent.
        const int exponent = amount == 0 ? 0 : int(std::floor(std::log10(std::fabs(amount))));
        const int decimals = qBound(0, 14 - exponent, 340);
        text = QString::number(amount, 'f', decimals);
        if (text.contains(QLatin1Char('.'))) {
            while (text.endsWith(QLatin1Char('0')))
                text.chop(1);
            if (text.endsWith(QLatin1Char('.')))
                text.chop(1);
        }
    }
    return text;
}

} // namespace

QString TripletInWords(int value) {
    QString sign;
    qint64 v = value;
    if (v < 0) {
        sign = QStringLiteral("минус ");
        v = -v;
    }
    if (v <= 999)
        return sign + groupWords(int(v));
    if (v > 999999999)
        return sign + QString::number(v) + QLatin1Char(' ');
    return sign + integerWords(v);
}

QString AmountInWords(double amount) {
    if (!std::isfinite(amount))
        amount = 0;
    QString text = decimalText(amount);

    bool negative = false;
    if (text.startsWith(QLatin1Char('-'))) {
        negative = true;
        text.remove(0, 1);
    }

    const int separator = text.indexOf(QLatin1Char('.'));
    QString stotinki = QStringLiteral("00");
    QString integerText = text;
    if (separator >= 0) {
        stotinki = text.mid(separator + 1).left(2).leftJustified(2, QLatin1Char('0'));
        integerText = text.left(separator);
    }

    QString words;
    if (integerText.size() > 9) {
        words = integerText + QLatin1Char(' ');
    } else {
        words = integerWords(integerText.toLongLong());
    }
    if (negative)
        words.prepend(QStringLiteral("минус "));

    QString result = words + QStringLiteral("лв. ") + stotinki + QStringLiteral(" ст.");
    result[0] = result.at(0).toUpper();
    return result;
}
