#include "documents/SaleContract.h"
#include "core/Text.h"

#include "core/Formats.h"
#include "documents/AmountInWords.h"
#include "documents/RtfReader.h"

#include <QTextCursor>
#include <QTextDocument>

using namespace Qt::StringLiterals;

QString SaleContract::cut(const QString& value) {
    return text::left(value, kMaxValueLength);
}

QList<QPair<QString, QString>> SaleContract::placeholders(const SaleContractValues& v) {
    const QString price = v.price.isEmpty() ? formats::money(v.salePrice) : v.price;
    const QString dogovor = v.dogovor > 0 ? QString::number(v.dogovor) : QString();
    QList<QPair<QString, QString>> list = {
        {u"$date$"_s, formats::date(v.date)},
        {u"$firmname$"_s, v.firmName},
        {u"$firmaddress$"_s, v.firmAddress},
        {u"$mol$"_s, v.mol},
        {u"$ndr$"_s, v.ndr},
        {u"$bulstat$"_s, v.bulstat},
        {u"$shop$"_s, v.shop},
        {u"$clientname$"_s, v.clientName},
        {u"$clientaddress$"_s, v.clientAddress},
        {u"$clientinfo$"_s, v.clientInfo},
        {u"$unitname$"_s, v.unitName},
        {u"$unitserial$"_s, v.unitSerial},
        {u"$unit_opis$"_s, v.unitOpis},
        {u"$more$"_s, v.more},
        {u"$price$"_s, price},
        {u"$pricetext$"_s, AmountInWords(v.salePrice)},
        {u"$salorname$"_s, v.salorName},
        {u"$saloraddress$"_s, v.salorAddress},
        {u"$saloregn$"_s, v.salorEgn},
        {u"$salor_lk$"_s, v.salorLk},
        {u"$dogovor$"_s, dogovor},
    };
    for (auto& p : list)
        p.second = cut(p.second);
    return list;
}

int SaleContract::replace(QTextDocument* doc, const QString& placeholder, const QString& value) {
    // The headers and footers are part of the contract.
    int count = replaceIn(doc, placeholder, value);
    for (QTextDocument* band : RtfReader::pageBands(doc))
        count += replaceIn(band, placeholder, value);
    return count;
}

int SaleContract::replaceIn(QTextDocument* doc, const QString& placeholder, const QString& value) {
    if (placeholder.isEmpty())
        return 0;
    int count = 0;
    QTextCursor found = doc->find(placeholder, 0, QTextDocument::FindCaseSensitively);
    while (!found.isNull()) {
        const int start = found.selectionStart();
        // The format of the placeholder's first character.
        QTextCursor first(doc);
        first.setPosition(start);
        first.setPosition(start + 1, QTextCursor::KeepAnchor);
        const QTextCharFormat format = first.charFormat();
        found.insertText(value, format);
        ++count;
        // Search on after the inserted text, so that a value holding the
        // placeholder itself is not replaced again and again.
        found = doc->find(placeholder, found.position(), QTextDocument::FindCaseSensitively);
    }
    return count;
}

int SaleContract::fill(QTextDocument* doc, const SaleContractValues& values) {
    int count = 0;
    for (const auto& [placeholder, value] : placeholders(values))
        count += replace(doc, placeholder, value);
    return count;
}
