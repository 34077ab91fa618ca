#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

class QTextDocument;

// The values the sale contract template's placeholders receive. The sale
// fills them from the firm, the item row, its own fields and the main
// window's detail panel.
struct SaleContractValues {
    QDate date;            // $date$ (today)
    QString firmName;      // $firmname$
    QString firmAddress;   // $firmaddress$
    QString mol;           // $mol$
    QString ndr;           // $ndr$
    QString bulstat;       // $bulstat$
    QString shop;          // $shop$
    QString clientName;    // $clientname$
    QString clientAddress; // $clientaddress$
    QString clientInfo;    // $clientinfo$
    QString unitName;      // $unitname$
    QString unitSerial;    // $unitserial$
    QString unitOpis;      // $unit_opis$
    QString more;          // $more$
    QString price;         // $price$ as the sale dialog shows it; empty: the sale price formatted
    double salePrice = 0;  // $pricetext$ in words
    QString salorName;     // $salorname$
    QString salorAddress;  // $saloraddress$
    QString salorEgn;      // $saloregn$
    QString salorLk;       // $salor_lk$
    int dogovor = 0;       // $dogovor$; 0 or less gives empty text
};

class SaleContract {
public:
    // Longest text a placeholder receives.
    static constexpr int kMaxValueLength = 255;

    // The 21 placeholders with their values, in the order they are replaced.
    static QList<QPair<QString, QString>> placeholders(const SaleContractValues& values);

    // Replaces every occurrence of placeholder (exact letter case) in doc and
    // its headers and footers by value; the inserted text takes the format of the placeholder's first
    // character. Text just inserted is never searched again, so a value that
    // contains its own placeholder ends the replacement. Returns the number
    // of occurrences replaced.
    static int replace(QTextDocument* doc, const QString& placeholder, const QString& value);

    // Fills all placeholders in order; returns the number of replacements.
    static int fill(QTextDocument* doc, const SaleContractValues& values);

    // value cut to kMaxValueLength characters (never inside a surrogate pair).
    static QString cut(const QString& value);

private:
    static int replaceIn(QTextDocument* doc, const QString& placeholder, const QString& value);
};
