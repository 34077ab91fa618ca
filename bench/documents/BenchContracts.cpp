// Measures loading and filling a 20-page sale contract template with 200
// placeholders, and building the consignment contract.
#include "documents/ConsignmentContract.h"
#include "documents/RtfReader.h"
#include "documents/SaleContract.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double kTargetMs = 100.0;

QByteArray longTemplate(int pages, int placeholders) {
    const auto names = SaleContract::placeholders(SaleContractValues{});
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}}"
                     "{\\colortbl;\\red0\\green0\\blue128;}\\f0\\fs22 ";
    const int linesPerPage = 45;
    const int totalLines = pages * linesPerPage;
    int placed = 0;
    for (int line = 0; line < totalLines; ++line) {
        rtf += "\\pard\\qj\\sa60 {\\b \\'d2\\'ee\\'f7\\'ea\\'e0 " + QByteArray::number(line) +
               ".} \\'c4\\'ee\\'e3\\'ee\\'e2\\'ee\\'f0\\'ed\\'e8\\'f2\\'e5 \\'f1\\'f2\\'f0\\'e0\\'ed\\'e8 "
               "\\'f1\\'e5 \\'f1\\'fa\\'e3\\'eb\\'e0\\'f1\\'ff\\'e2\\'e0\\'f2 \\'e7\\'e0 \\'f1\\'eb\\'e5\\'e4\\'ed"
               "\\'ee\\'f2\\'ee. ";
        // Spread the placeholders evenly over the lines.
        while (placed < placeholders && placed * totalLines < (line + 1) * placeholders) {
            rtf += "{\\cf1 " + names.at(placed % names.size()).first.toLatin1() + "} ";
            ++placed;
        }
        rtf += "\\par\n";
        if (line % linesPerPage == linesPerPage - 1)
            rtf += "\\page\n";
    }
    rtf += "}";
    return rtf;
}

// The same template laid out as a shop's word processor writes a designed
// contract: a header and a footer with page numbers, and on every page a
// bordered table with a merged header row, tab-stop signature lines and a
// signature line drawn as a paragraph border.
QByteArray designedTemplate(int pages, int placeholders) {
    QByteArray rtf = longTemplate(pages, placeholders);
    rtf.chop(1);
    QByteArray head = "{\\header\\pard\\qr\\caps $firmname$\\par}"
                      "{\\footer\\pard\\qc {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} / "
                      "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}";
    rtf.insert(rtf.indexOf("\\f0\\fs22 "), head);
    const QByteArray box = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
    QByteArray page;
    page += "\\trowd\\trgaph108\\trleft567" + box + "\\clmgf\\cellx3402" + box + "\\clmrg\\cellx9638"
            "\\pard\\intbl\\qc\\b $unitname$\\b0\\cell\\cell\\row ";
    for (int r = 0; r < 5; ++r)
        page += "\\trowd\\trgaph108\\trleft567" + box + "\\cellx3402" + box + "\\clcbpat1\\cellx9638"
                "\\pard\\intbl \\'cd\\'e0\\'e8\\'ec\\'e5\\cell $price$\\cell\\row ";
    page += "\\pard\\tldot\\tx4000\\tqr\\tlul\\tx9000 \\'cf\\'f0\\'ee\\'e4\\'e0\\'e2\\'e0\\'f7:\\tab\\tab\\par "
            "\\pard\\li5000\\brdrb\\brdrs\\brdrw10\\par\\pard\\li5000\\qc ($clientname$)\\par ";
    qsizetype at = 0;
    for (int p = 0; p < pages; ++p) {
        at = rtf.indexOf("\\page\n", at);
        if (at < 0)
            break;
        rtf.insert(at, page);
        at += page.size() + 6;
    }
    rtf += "}";
    return rtf;
}

template <typename F> double medianMs(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* what, double ms) {
    std::printf("%-52s %8.2f ms   ratio to target %.2f\n", what, ms, ms / kTargetMs);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    SaleContractValues values;
    values.date = QDate(2026, 5, 14);
    values.firmName = QStringLiteral("Орвел ООД");
    values.clientName = QStringLiteral("Петър Стоянов");
    values.unitName = QStringLiteral("Пералня Bosch");
    values.salePrice = 320;
    values.dogovor = 4711;

    const QByteArray rtf = longTemplate(20, 200);
    int replaced = 0;
    int pages = 0;
    const double load = medianMs(15, [&] {
        QTextDocument doc;
        RtfReader::read(rtf, &doc);
    });
    const double loadFill = medianMs(15, [&] {
        QTextDocument doc;
        RtfReader::read(rtf, &doc);
        replaced = SaleContract::fill(&doc, values);
    });
    {
        QTextDocument doc;
        RtfReader::read(rtf, &doc);
        doc.setPageSize(QSizeF(794, 1123)); // A4 at 96 dpi
        pages = doc.pageCount();
    }
    std::printf("template: %lld bytes, %d pages as laid out, %d placeholders replaced\n",
                static_cast<long long>(rtf.size()), pages, replaced);
    report("load 20-page template", load);
    report("load and fill 20-page template, 200 placeholders", loadFill);

    const QByteArray designed = designedTemplate(20, 200);
    const double designedLoad = medianMs(15, [&] {
        QTextDocument doc;
        RtfReader::read(designed, &doc);
    });
    report("load designed 20-page template (tables)", designedLoad);
    const double designedLoadFill = medianMs(15, [&] {
        QTextDocument doc;
        RtfReader::read(designed, &doc);
        replaced = SaleContract::fill(&doc, values);
    });
    std::printf("designed template: %lld bytes, %d placeholders replaced\n", static_cast<long long>(designed.size()),
                replaced);
    report("load and fill designed 20-page template (tables)", designedLoadFill);

    ConsignmentContractData data;
    data.dogNo = 318;
    data.dateGet = QDate(2026, 2, 3);
    data.dlvNames = QStringLiteral("Иван Петров Иванов");
    data.art = QStringLiteral("Хладилник Gorenje");
    data.salePrice = 150;
    const double consignment = medianMs(50, [&] { ConsignmentContract::build(data); });
    const double consignmentLaidOut = medianMs(50, [&] {
        auto doc = ConsignmentContract::build(data);
        doc->setTextWidth(620);
        (void)doc->size();
    });
    report("build consignment contract", consignment);
    report("build and lay out consignment contract", consignmentLaidOut);
    return 0;
}
