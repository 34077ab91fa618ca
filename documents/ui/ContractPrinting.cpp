#include "documents/ui/ContractPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>

#include "documents/RtfReader.h"
#include <memory>

namespace {

// Qt's layout scales font sizes, frame and table distances and tab stops to
// the paint device, but takes a block's left and right margins and its
// first-line indent as pixels of the device itself. Documents are built in
// pixels of the screen (1/96 inch); on a 1200 dpi printer these three would
// shrink to 8% of their size. The copy for the printer gets them in the
// printer's pixels.
void scaleBlockIndents(QTextDocument* doc, qreal factor) {
    if (qFuzzyCompare(factor, 1.0))
        return;
    QTextCursor cursor(doc);
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0)
            continue;
        format.setLeftMargin(format.leftMargin() * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

// A copy of doc laid out for the printer's resolution.
std::unique_ptr<QTextDocument> layoutFor(const QTextDocument& doc, QPrinter* printer) {
    std::unique_ptr<QTextDocument> copy(doc.clone());
    copy->setUndoRedoEnabled(false);
    scaleBlockIndents(copy.get(), printer->logicalDpiX() / 96.0);
    copy->documentLayout()->setPaintDevice(printer);
    copy->setDocumentMargin(0);
    return copy;
}

// A header or footer laid out for one page: its page number fields filled.
std::unique_ptr<QTextDocument> bandFor(const QTextDocument& doc, RtfReader::PageBand which, int page, int pages,
                                       QPrinter* printer, qreal width) {
    const QTextDocument* band = RtfReader::pageBandFor(&doc, which, page);
    if (!band || band->isEmpty())
        return nullptr;
    auto copy = layoutFor(*band, printer);
    QList<QPair<int, int>> fields; // position, length
    QList<int> kinds;
    for (QTextBlock block = copy->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.hasProperty(RtfReader::kPageFieldProperty)) {
                fields.append({it.fragment().position(), it.fragment().length()});
                kinds.append(f.intProperty(RtfReader::kPageFieldProperty));
            }
        }
    }
    // From the end, so that earlier positions stay right.
    for (qsizetype k = fields.size() - 1; k >= 0; --k) {
        QTextCursor c(copy.get());
        c.setPosition(fields.at(k).first);
        c.setPosition(fields.at(k).first + fields.at(k).second, QTextCursor::KeepAnchor);
        c.insertText(QString::number(kinds.at(k) == 2 ? pages : page));
    }
    copy->setTextWidth(width);
    return copy;
}

void drawArea(QPainter& painter, QTextDocument* doc, const QRectF& area);

void drawBand(QPainter& painter, QTextDocument* band, const QPointF& at) {
    if (!band)
        return;
    painter.save();
    painter.translate(at);
    drawArea(painter, band, QRectF(QPointF(0, 0), band->size()));
    painter.restore();
}

void drawArea(QPainter& painter, QTextDocument* doc, const QRectF& area) {
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout draws every block that touches the clip; the first block of
    // the next page starts exactly at this page's bottom edge.
    context.clip = area.adjusted(0, 0, 0, -1);
    context.palette.setColor(QPalette::Text, Qt::black);
    context.palette.setColor(QPalette::WindowText, Qt::black);
    // The rules under headings are drawn in the palette's dark colour.
    context.palette.setColor(QPalette::Dark, Qt::black);
    painter.setClipRect(area);
    doc->documentLayout()->draw(&painter, context);
}

} // namespace

int ContractPrinting::printCopies(const QTextDocument& source, QPrinter* printer, int copies) {
    copies = qMax(1, copies);
    const int savedCopies = printer->copyCount();
    const bool printerCopies = printer->supportsMultipleCopies();
    printer->setCollateCopies(false);
    printer->setCopyCount(printerCopies ? copies : 1);

    auto doc = layoutFor(source, printer);
    const QSizeF paper = printer->pageRect(QPrinter::DevicePixel).size();
    // The template's header and footer on every page, the text between them.
    const qreal gap = printer->resolution() / 25.4 * 2;
    // Room for the taller of the first page's and the other pages' bands.
    auto room = [&](RtfReader::PageBand which) {
        qreal height = 0;
        for (int p : {1, 2})
            if (auto band = bandFor(source, which, p, 2, printer, paper.width()))
                height = qMax(height, band->size().height() + gap);
        return height;
    };
    const qreal top = room(RtfReader::PageBand::Header);
    const qreal bottom = room(RtfReader::PageBand::Footer);
    const QSizeF page(paper.width(), qMax<qreal>(paper.height() / 4, paper.height() - top - bottom));
    doc->setPageSize(page);
    const int pages = doc->pageCount();
    const int sendsPerPage = printerCopies ? 1 : copies;

    QPainter painter;
    if (painter.begin(printer)) {
        bool first = true;
        for (int p = 0; p < pages; ++p) {
            auto pageHeader = bandFor(source, RtfReader::PageBand::Header, p + 1, pages, printer, paper.width());
            auto pageFooter = bandFor(source, RtfReader::PageBand::Footer, p + 1, pages, printer, paper.width());
            for (int c = 0; c < sendsPerPage; ++c) {
                if (!first)
                    printer->newPage();
                first = false;
                drawBand(painter, pageHeader.get(), QPointF(0, 0));
                if (pageFooter)
                    drawBand(painter, pageFooter.get(), QPointF(0, paper.height() - pageFooter->size().height()));
                painter.save();
                const QRectF area(0, p * page.height(), page.width(), page.height());
                painter.translate(0, top - area.top());
                drawArea(painter, doc.get(), area);
                painter.restore();
            }
        }
        painter.end();
    }
    printer->setCopyCount(savedCopies);
    return pages;
}

void ContractPrinting::paintOnOnePage(const QTextDocument& source, QPrinter* printer, const QString& footer,
                                      qreal headerMm, qreal footerMm) {
    QPainter painter;
    if (!painter.begin(printer))
        return;
    const QRectF page(QPointF(0, 0), printer->pageRect(QPrinter::DevicePixel).size());
    const qreal dotsPerMm = printer->resolution() / 25.4;
    const qreal header = headerMm * dotsPerMm;
    const qreal footerBand = footerMm * dotsPerMm;
    // The template's own header and footer, for the one page, take their
    // room at the top and bottom of the space between the bands; the
    // program's footer line stays at the foot of the page.
    const qreal gap = dotsPerMm * 2;
    auto pageHeader = bandFor(source, RtfReader::PageBand::Header, 1, 1, printer, page.width());
    auto pageFooter = bandFor(source, RtfReader::PageBand::Footer, 1, 1, printer, page.width());
    const qreal top = pageHeader ? pageHeader->size().height() + gap : 0;
    const qreal bottom = pageFooter ? pageFooter->size().height() + gap : 0;
    drawBand(painter, pageHeader.get(), QPointF(0, header));
    if (pageFooter)
        drawBand(painter, pageFooter.get(), QPointF(0, page.height() - footerBand - pageFooter->size().height()));
    const QRectF content(0, header + top, page.width(),
                         qMax<qreal>(1, page.height() - header - footerBand - top - bottom));

    auto doc = layoutFor(source, printer);
    doc->setTextWidth(content.width());
    const QSizeF size = doc->size();
    const qreal scale = qMin<qreal>(
        1.0, qMin(content.height() / qMax<qreal>(1, size.height()), content.width() / qMax<qreal>(1, size.width())));
    painter.save();
    painter.translate(content.topLeft());
    painter.scale(scale, scale);
    drawArea(painter, doc.get(), QRectF(QPointF(0, 0), size));
    painter.restore();

    if (!footer.isEmpty()) {
        QFont font;
        font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("sans-serif")});
        font.setPointSizeF(7);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, page.height() - footerBand, page.width(), footerBand),
                         Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, footer);
    }
    painter.end();
}
