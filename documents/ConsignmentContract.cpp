#include "documents/ConsignmentContract.h"

#include "core/Formats.h"
#include "documents/AmountInWords.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

namespace {

// A blank field of the item or the firm prints as nothing.
QString clean(const QString& value) {
    return value.trimmed().isEmpty() ? QString() : value;
}

} // namespace

QString ConsignmentContract::Line::text() const {
    QString t;
    for (const Run& r : runs)
        t += r.text;
    return t;
}

QString ConsignmentContract::priceInDigits(double salePrice) {
    return formats::money(salePrice).rightJustified(8, QLatin1Char(' ')) + u" лв."_s;
}

QList<ConsignmentContract::Line> ConsignmentContract::lines(const ConsignmentContractData& d) {
    QList<Line> result;
    auto line = [&result](Qt::Alignment alignment, const QList<Run>& runs) {
        Line l;
        l.alignment = alignment;
        for (const Run& r : runs)
            if (!r.text.isEmpty())
                l.runs.append(r);
        result.append(l);
    };
    auto rule = [&result]() {
        Line l;
        l.rule = true;
        result.append(l);
    };
    const QString no = QString::number(d.dogNo);
    const QString date = formats::date(d.dateGet);
    const QString priceDigits = priceInDigits(d.salePrice);
    const QString priceWords = AmountInWords(d.salePrice);

    line(Qt::AlignHCenter, {{Style::Title, u"Договор за консигнация №"_s + no}});
    line(Qt::AlignLeft, {{Style::Normal, u" "_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"        Днес, "_s + date + u", се сключи настоящия договор между:"_s}});
    line(Qt::AlignLeft,
         {{Style::Normal, u"фирма: "_s},
          {Style::Bold, clean(d.firm.name)},
          {Style::Normal, u", aдрес: "_s + clean(d.firm.adres) + u", МОЛ: "_s + clean(d.firm.mol) +
                              u", номер по НДР: "_s + clean(d.firm.dnum) + u", Булстат: "_s + clean(d.firm.bulstat)}});
    line(Qt::AlignLeft, {{Style::Normal, u"магазин: "_s}, {Style::Bold, clean(d.shopName)}});
    line(Qt::AlignLeft, {{Style::Normal, u"наричан за краткост ДОВЕРЕНИК и от друга страна"_s}});
    line(Qt::AlignLeft,
         {{Style::Bold, clean(d.dlvNames)}, {Style::Normal, u", aдрес: "_s + clean(d.dlvAdres) + u","_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"наричан за краткост ДОВЕРИТЕЛ за следното:"_s}});
    line(Qt::AlignHCenter, {{Style::Bold, u"1. ПРЕДМЕТ НА ДОГОВОРА И ЦЕНИ"_s}});
    line(Qt::AlignLeft,
         {{Style::Bold, u"1.1. "_s}, {Style::Normal, u"ДОВЕРИТЕЛЯ оставя за продажба на ДОВЕРЕНИКА следното:"_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"      Уред: "_s}, {Style::Bold, clean(d.art)}});
    line(Qt::AlignLeft, {{Style::Normal, u"      Сериен номер: "_s}, {Style::Bold, clean(d.serial)}});
    line(Qt::AlignLeft, {{Style::Normal, u"      Доп. описание: "_s}, {Style::Bold, clean(d.artNote)}});
    line(Qt::AlignLeft, {{Style::Normal, u"Обявената продажна цена е "_s},
                         {Style::Bold, priceDigits},
                         {Style::Normal, u" словом: "_s},
                         {Style::Bold, priceWords}});
    line(Qt::AlignLeft,
         {{Style::Normal, u"Сменената цена по искане на ДОВЕРИТЕЛЯ е ........ словом ............................"_s}});
    line(Qt::AlignLeft,
         {{Style::Normal, u"Сменената цена по искане на ДОВЕРИТЕЛЯ е ........ словом ............................"_s}});
    line(Qt::AlignLeft,
         {{Style::Normal, u"Сменената цена по искане на ДОВЕРИТЕЛЯ е ........ словом ............................"_s}});
    line(
        Qt::AlignLeft,
        {{Style::Normal,
          u"При смяна на цената комисионната от 10% за магазина се променя съответно с промяната на продажната цена на уреда"_s}});
    line(Qt::AlignHCenter, {{Style::Bold, u"2. ПРАВА И ЗАДЪЛЖЕНИЯ НА ДОВЕРИТЕЛЯ"_s}});
    line(
        Qt::AlignLeft,
        {{Style::Bold, u"2.1. "_s},
         {Style::Normal,
          u"ДОВЕРИТЕЛЯ има право да получи своите вещи обратно само след представяне на втория екземпляр на договора и лична карта"_s}});
    line(Qt::AlignLeft,
         {{Style::Bold, u"2.2. "_s},
          {Style::Normal,
           u"ДОВЕРИТЕЛЯ има право да промени цената само след нанасяне на новата цена в т.1 на настоящия договор."_s}});
    line(
        Qt::AlignLeft,
        {{Style::Bold, u"2.3. "_s},
         {Style::Normal,
          u"След продажбата на оставените на консигнация вещи, ДОВЕРИТЕЛЯТ е длъжен да си получи дължимата сума в едноседмичен срок от уведомяването му, че продажбата е извършена."_s}});
    line(Qt::AlignHCenter, {{Style::Bold, u"3. ПРАВА И ЗАДЪЛЖЕНИЯ НА ДОВЕРЕНИКА"_s}});
    line(
        Qt::AlignLeft,
        {{Style::Bold, u"3.1. "_s},
         {Style::Normal,
          u"ДОВЕРЕНИКЪТ приема да продаде личните вещи на ДОВЕРИТЕЛЯ срещу 10% комисионна, включена в общата продажна цена в т.1 от настоящия договор."_s}});
    line(
        Qt::AlignLeft,
        {{Style::Bold, u"3.2. "_s},
         {Style::Normal,
          u"ДОВЕРЕНИКЪТ носи отговорност за предадените му вещи и при констатиране на разлика от описа на вещите съгласно т.1 да изплати на ДОВЕРИТЕЛЯ дължимата му сума независимо дали оставените от него вещи са продадени."_s}});
    line(Qt::AlignHCenter, {{Style::Bold, u"4. ДРУГИ УСЛОВИЯ"_s}});
    line(
        Qt::AlignLeft,
        {{Style::Bold, u"4.1. "_s},
         {Style::Normal,
          u"За оставени и непотърсени вещи след едногодишен срок, ДОВЕРЕНИКЪТ не носи отговорност за тяхната цялост, частично унищожение или липси."_s}});
    line(Qt::AlignLeft,
         {{Style::Bold, u"4.2. "_s},
          {Style::Normal,
           u"Получаването на сумите се извършва в работен ден между 15.00 ч. и 19.00 ч. от магазина."_s}});
    line(Qt::AlignLeft,
         {{Style::Bold, u"4.3. "_s}, {Style::Normal, u"За неуредените въпроси по този договор се прилага ЗЗД."_s}});
    line(
        Qt::AlignLeft,
        {{Style::Bold, u"4.4. "_s},
         {Style::Normal,
          u"За дефекти, не открити и не описани в договора при предаването на стоката, магазинът  не носи отговорност."_s}});
    line(Qt::AlignLeft,
         {{Style::Normal, u"Договорът се съставя в два еднообразни екземпляра  - по един за всяка от страните."_s}});
    line(Qt::AlignHCenter, {{Style::Normal, u"  "_s}});
    line(Qt::AlignHCenter, {{Style::Normal, u"  "_s}});
    line(Qt::AlignHCenter,
         {{Style::Bold, u"ДОВЕРЕНИК: .................                          ДОВЕРИТЕЛ:..................."_s}});
    rule();
    line(Qt::AlignHCenter, {{Style::Bold, u"ДЕКЛАРАЦИЯ"_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"Oт : "_s + clean(d.dlvNames) + u", адрес: "_s + clean(d.dlvAdres)}});
    line(Qt::AlignLeft, {{Style::Normal, u"EГН: "_s + clean(d.dlvEGN) + u" л.к. No: "_s + clean(d.dlvLK)}});
    line(Qt::AlignLeft,
         {{Style::Bold, u"Декларирам, че уредът, предмет на настоящия договор, е моя лична собственост."_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"  "_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"Дата: "_s + date + u"          Подпис:............"_s}});
    line(Qt::AlignHCenter, {{Style::Normal, u"  "_s}});
    rule();
    line(Qt::AlignHCenter, {{Style::Bold, u"РАЗПИСКА"_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"Oт : "_s + clean(d.dlvNames) + u", адрес: "_s + clean(d.dlvAdres)}});
    line(Qt::AlignLeft, {{Style::Normal, u"EГН: "_s + clean(d.dlvEGN) + u" л.к. No: "_s + clean(d.dlvLK)}});
    line(Qt::AlignLeft, {{Style::Bold, u"Получих [договорената сума] [оставеният от мен уред] по договор No"_s + no +
                                           u" и нямам претенции по изпълнението на договора."_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"  "_s}});
    line(Qt::AlignLeft, {{Style::Normal, u"Дата: ..........          Подпис:............"_s}});
    return result;
}

QTextCharFormat ConsignmentContract::format(Style style) {
    QTextCharFormat f;
    f.setFontFamilies({u"Courier New"_s, u"Liberation Mono"_s, u"Courier"_s, u"monospace"_s});
    f.setFontFixedPitch(true);
    f.setFontPointSize(style == Style::Title ? 12 : 9);
    f.setForeground(style == Style::Title ? QColor(0, 0, 0x80) : QColor(Qt::black));
    f.setFontWeight(style == Style::Normal ? QFont::Normal : QFont::Bold);
    f.setFontUnderline(style == Style::Title);
    return f;
}

void ConsignmentContract::write(QTextDocument* doc, const ConsignmentContractData& data) {
    doc->clear();
    QTextOption option = doc->defaultTextOption();
    option.setWrapMode(QTextOption::WordWrap);
    doc->setDefaultTextOption(option);
    doc->setDefaultFont(format(Style::Normal).font());

    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    bool first = true;
    for (const Line& line : lines(data)) {
        QTextBlockFormat block;
        block.setAlignment(line.alignment);
        if (line.rule)
            block.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                              QTextLength(QTextLength::PercentageLength, 100));
        if (first) {
            cursor.setBlockFormat(block);
            cursor.setBlockCharFormat(format(Style::Normal));
            first = false;
        } else {
            cursor.insertBlock(block, format(Style::Normal));
        }
        for (const Run& run : line.runs)
            cursor.insertText(run.text, format(run.style));
    }
    cursor.endEditBlock();
}

std::unique_ptr<QTextDocument> ConsignmentContract::build(const ConsignmentContractData& data) {
    auto doc = std::make_unique<QTextDocument>();
    write(doc.get(), data);
    return doc;
}
