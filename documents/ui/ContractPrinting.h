#pragma once

#include <QMarginsF>
#include <QString>

class QPrinter;
class QTextDocument;

// Puts contracts on paper: page by page in a number of copies, or scaled
// down to fit one page.
class ContractPrinting {
public:
    // Lays doc out on the printer's pages and prints it in copies copies,
    // not collated. A printer that makes copies itself gets each page once
    // and the number of copies; otherwise each page goes out once per copy
    // before the next page. The printer's copy count is restored afterwards.
    // Returns the number of pages of the document.
    static int printCopies(const QTextDocument& doc, QPrinter* printer, int copies);

    // Paints doc on one page: bands of headerMm and footerMm are kept free at
    // the top and bottom of the printable area, the text is laid out to the
    // page width and scaled down, if need be, until it fits the rest of the
    // page. footer is written at the bottom left of the footer band.
    static void paintOnOnePage(const QTextDocument& doc, QPrinter* printer, const QString& footer, qreal headerMm,
                               qreal footerMm);
};
