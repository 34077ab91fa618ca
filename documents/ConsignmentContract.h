#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <Qt>
#include <memory>

class QTextCharFormat;
class QTextDocument;

// The own firm as the contracts name it (the active row of the firm table).
struct FirmData {
    QString name;
    QString adres;
    QString mol;
    QString dnum;
    QString bulstat;
};

// Everything the consignment contract shows of one appliance. The main window
// fills it from the item row, its shop and the firm.
struct ConsignmentContractData {
    int dogNo = 0;
    QDate dateGet;
    QString dlvNames;
    QString dlvAdres;
    QString dlvEGN;
    QString dlvLK;
    QString art;
    QString serial;
    QString artNote;
    QString shopName;
    double salePrice = 0;
    FirmData firm;
};

// The consignment contract as a sequence of lines made of styled runs, and
// as a QTextDocument built from them (one block per line; a rule is an empty
// block carrying a horizontal line across the text width).
class ConsignmentContract {
public:
    enum class Style { Normal, Title, Bold };

    struct Run {
        Style style;
        QString text;
    };

    struct Line {
        Qt::Alignment alignment = Qt::AlignLeft;
        bool rule = false;
        QList<Run> runs;
        QString text() const;
    };

    static QList<Line> lines(const ConsignmentContractData& data);

    // Price as the contract writes it in digits: "%8.2f" and " лв.".
    static QString priceInDigits(double salePrice);

    static QTextCharFormat format(Style style);

    // Clears doc and writes the contract into it.
    static void write(QTextDocument* doc, const ConsignmentContractData& data);
    static std::unique_ptr<QTextDocument> build(const ConsignmentContractData& data);
};
