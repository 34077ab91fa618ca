#include "widgets/GridPrinter.h"

#include "core/Formats.h"
#include "widgets/GridHeaderView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/PrintService.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kBandMm = 6.35;

QFont reportFont(double points, bool bold = false) {
    QFont f(QStringLiteral("Tahoma"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Tahoma of the given height in screen pixels (96 per inch), in points.
double pixelsToPoints(double pixels) { return pixels * 72.0 / 96.0; }

// Word wrap, and a break inside a word only when one word is wider than the cell.
int wrapFlags(const QFontMetricsF& fm, const QString& text, double width) {
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (fm.horizontalAdvance(word) > width)
            return Qt::TextWrapAnywhere;
    return Qt::TextWordWrap;
}

} // namespace

constexpr double kBodyPoints = 7.5;
constexpr double kSmallestPoints = 6.0;
constexpr double kWrapPoints = 6.5; // the font shrinks to this before text wraps

struct GridPrinter::Layout {
    QRectF page;           // paint area inside the margins, device pixels
    double band = 0;       // header and footer band height
    double rowHeight = 0;  // one line of the body with its padding
    double lineSpacing = 0; // one more wrapped line
    double pad = 0;        // left and right inside a cell
    double indent = 0;     // per group level
    double points = kBodyPoints;
    QList<int> columns;    // visible columns, display order
    QList<double> widths;  // their widths on paper
    QList<bool> wraps;     // text columns whose texts may wrap
    double unwrappedScale = 1; // the font's factor at which nothing would wrap
    QList<double> heights; // per body line, the footer sums last
    QList<int> pageStarts; // the first body line of each page
    int lines = 0;         // body lines, footer sums included
    int pages = 1;
    QFont body, bold, title, footer;
};

GridPrinter::GridPrinter(GroupingGrid* grid) : m_grid(grid) {}

void GridPrinter::setupPage(QPrinter* printer) {
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(QMarginsF(17.7, 12.7, 12.7, 12.7), QPageLayout::Millimeter);
}

QString GridPrinter::footerPageText(int page, int pages) {
    return QStringLiteral("стр. %1 от %2").arg(page).arg(pages);
}

QList<GridPrinter::Line> GridPrinter::collectLines() const {
    QList<Line> lines;
    GroupingModel* model = m_grid->model();
    lines.reserve(model->dataRowCount() + model->groupCount());
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int level) {
        const int rows = model->rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex idx = model->index(r, 0, parent);
            if (model->isGroup(idx)) {
                lines.append({level, -1, model->groupText(idx)});
                walk(idx, level + 1);
            } else {
                lines.append({level, model->sourceRow(idx), {}});
            }
        }
    };
    walk(QModelIndex(), 0);
    return lines;
}

void GridPrinter::setFonts(Layout& l, QPrinter* printer, double points) const {
    l.points = points;
    l.body = reportFont(points);
    l.bold = reportFont(points, true);
    const QFontMetricsF fm(l.body, printer);
    l.lineSpacing = fm.lineSpacing();
    l.rowHeight = std::ceil(fm.height() * 1.45);
    l.pad = std::ceil(l.rowHeight * 0.2);
}

bool GridPrinter::fitColumns(QPrinter* printer, Layout& l, double* scale) const {
    // Numbers, dates, check marks and the sums keep their whole width; text
    // columns take what is left and wrap when it is less than their texts.
    GroupingModel* model = m_grid->model();
    const QFontMetricsF body(l.body, printer);
    const QFontMetricsF bold(l.bold, printer);
    const double pad = 2 * l.pad + 2;
    const double minText = body.averageCharWidth() * 10 + pad;
    const double maxWord = body.averageCharWidth() * 22 + pad;
    const int rows = model->dataRowCount();
    QList<double> natural, least;
    double fixed = 0, text = 0, textLeast = 0;
    for (int c : l.columns) {
        const GridColumn& col = model->columns()[c];
        double w = bold.horizontalAdvance(col.caption) + pad;
        double word = 0; // the widest word, so that wrapping breaks between words
        if (col.kind == GridColumn::Kind::Check) {
            w = qMax(w, l.rowHeight + pad);
        } else if (col.kind == GridColumn::Kind::Text) {
            // Every text is measured: its widest word decides where wrapping
            // may break it without cutting a word.
            for (int r = 0; r < rows; ++r) {
                const QString t = model->displayText(r, c);
                const double full = body.horizontalAdvance(t) + pad;
                w = qMax(w, full);
                if (full <= word)
                    continue;
                for (const QString& part : t.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    word = qMax(word, body.horizontalAdvance(part) + pad);
            }
        } else {
            for (const QString& t : model->widthCandidates(c, 8))
                w = qMax(w, body.horizontalAdvance(t) + pad);
            const QString sum = model->footerText(c);
            if (!sum.isEmpty())
                w = qMax(w, bold.horizontalAdvance(sum) + pad);
        }
        w = std::ceil(w);
        natural.append(w);
        if (col.kind == GridColumn::Kind::Text) {
            const double m =
                qMin(w, std::max({bold.horizontalAdvance(col.caption) + pad, minText, qMin(word, maxWord)}));
            least.append(m);
            text += w;
            textLeast += m;
        } else {
            least.append(w);
            fixed += w;
        }
    }
    const double page = l.page.width();
    l.widths = natural;
    l.wraps = QList<bool>(natural.size(), false);
    l.unwrappedScale = fixed + text > 0 ? page / (fixed + text) : 1;
    if (natural.isEmpty())
        return true;
    if (fixed + text <= page) {
        // Room to spare: text columns share it, or every column when there is none.
        const double spare = page - fixed - text;
        for (int i = 0; i < l.widths.size(); ++i) {
            if (text > 0) {
                if (model->columns()[l.columns[i]].kind == GridColumn::Kind::Text)
                    l.widths[i] += spare * natural[i] / text;
            } else {
                l.widths[i] *= page / fixed;
            }
        }
        return true;
    }
    if (fixed + textLeast <= page) {
        // Text columns between their least and their natural width, wrapped.
        const double room = page - fixed - textLeast;
        const double wanted = text - textLeast;
        for (int i = 0; i < l.widths.size(); ++i) {
            if (model->columns()[l.columns[i]].kind != GridColumn::Kind::Text)
                continue;
            l.widths[i] = least[i] + (wanted > 0 ? room * (natural[i] - least[i]) / wanted : 0);
            l.wraps[i] = l.widths[i] < natural[i];
        }
        return true;
    }
    *scale = page / (fixed + textLeast);
    return false;
}

void GridPrinter::paginate(QPrinter* printer, Layout& l, const QList<Line>& lines) const {
    GroupingModel* model = m_grid->model();
    const QFontMetricsF fm(l.body, printer);
    l.lines = int(lines.size()) + 1;
    l.heights = QList<double>(l.lines, l.rowHeight);
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].sourceRow < 0)
            continue;
        for (int k = 0; k < l.columns.size(); ++k) {
            if (!l.wraps[k])
                continue;
            const double inner = l.widths[k] - 2 * l.pad;
            const QString t = model->displayText(lines[i].sourceRow, l.columns[k]);
            if (fm.horizontalAdvance(t) <= inner)
                continue;
            const QRectF r = fm.boundingRect(QRectF(0, 0, inner, 1e6), wrapFlags(fm, t, inner), t);
            l.heights[i] = qMax(l.heights[i], r.height() + (l.rowHeight - l.lineSpacing));
        }
    }
    // Lines fill a page below its column headers. The footer sums never
    // stand alone on a page: the last row goes with them; nor does a group
    // heading end a page: it goes with its first rows.
    const double room = l.page.height() - 2 * l.band - l.rowHeight;
    l.pageStarts = {0};
    double used = 0;
    for (int i = 0; i < l.lines; ++i) {
        const double h = qMin(l.heights[i], room);
        if (used + h <= room || i == l.pageStarts.last()) {
            used += h;
            continue;
        }
        int start = i;
        if (i == l.lines - 1 && start - 1 > l.pageStarts.last())
            --start;
        while (start - 1 > l.pageStarts.last() && lines[start - 1].sourceRow < 0)
            --start;
        l.pageStarts.append(start);
        used = 0;
        for (int k = start; k <= i; ++k)
            used += qMin(l.heights[k], room);
    }
    l.pages = int(l.pageStarts.size());
}

GridPrinter::Layout GridPrinter::layoutFor(QPrinter* printer, const QList<Line>& lines) const {
    Layout l;
    l.page = printer->pageLayout().paintRectPixels(printer->resolution()).toRectF();
    l.page.moveTopLeft(QPointF(0, 0));
    const double mm = printer->resolution() / 25.4;
    l.band = kBandMm * mm;
    l.title = reportFont(pixelsToPoints(13), true);
    l.footer = reportFont(pixelsToPoints(11));
    l.indent = 4 * mm;
    l.columns = m_grid->visibleColumns();

    // Before text columns wrap, the font gives a little; then it shrinks
    // until the columns fit. Widths follow the font's size nearly in
    // proportion, so a few tries settle it.
    double points = kBodyPoints;
    setFonts(l, printer, points);
    double scale = 1;
    if (fitColumns(printer, l, &scale) && l.wraps.contains(true))
        points = qMax(kWrapPoints, points * l.unwrappedScale * 0.99);
    for (int attempt = 0;; ++attempt) {
        setFonts(l, printer, points);
        scale = 1;
        if (fitColumns(printer, l, &scale))
            break;
        if (attempt == 4) {
            // Nothing left to give: every column shrinks alike.
            double total = 0;
            for (double w : l.widths)
                total += w;
            for (double& w : l.widths)
                w *= l.page.width() / total;
            break;
        }
        points = qMax(3.0, points * qMin(scale, 0.99) * 0.99);
    }
    paginate(printer, l, lines);
    return l;
}

double GridPrinter::bodyPointSize(QPrinter* printer) const {
    return layoutFor(printer, {}).points;
}

void GridPrinter::fitOrientation(QPrinter* printer) const {
    printer->setPageOrientation(QPageLayout::Portrait);
    if (bodyPointSize(printer) < kSmallestPoints)
        printer->setPageOrientation(QPageLayout::Landscape);
}

int GridPrinter::pageCount(QPrinter* printer) const {
    return layoutFor(printer, collectLines()).pages + (m_appendix ? 1 : 0);
}

bool GridPrinter::print(QPrinter* printer) {
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    const QList<Line> lines = collectLines();
    const Layout l = layoutFor(printer, lines);
    GroupingModel* model = m_grid->model();
    const QDateTime at = m_printedAt.isValid() ? m_printedAt : QDateTime::currentDateTime();
    const QString printed = formats::date(at.date()) + QLatin1Char(' ') + formats::time(at.time());

    std::unique_ptr<QProgressDialog> progressWindow;
    Progress progress = m_progress;
    if (!progress && model->dataRowCount() > m_progressThreshold && !PrintService::isScripted()) {
        progressWindow = std::make_unique<QProgressDialog>(QStringLiteral("Подготовка на страниците за печат..."),
                                                           QStringLiteral("Отказ"), 0, l.pages,
                                                           QApplication::activeWindow());
        progressWindow->setWindowTitle(QStringLiteral("Печат"));
        progressWindow->setWindowModality(Qt::ApplicationModal);
        progressWindow->setMinimumDuration(0);
        progress = [&progressWindow](int page, int pages) {
            progressWindow->setMaximum(pages);
            progressWindow->setValue(page);
            return !progressWindow->wasCanceled();
        };
    }

    const QColor lineColour(96, 96, 96);
    const QColor headerShade(210, 210, 210);
    const QColor groupShade(232, 232, 232);
    const double pad = l.pad;
    const double top = l.band;
    const QFontMetricsF boldMetrics(l.bold, printer);
    const QFontMetricsF fm(l.body, printer);

    auto cellRects = [&](double y, double height) {
        QList<QRectF> rects;
        double x = 0;
        for (double w : l.widths) {
            rects.append(QRectF(x, y, w, height));
            x += w;
        }
        return rects;
    };

    const int pages = l.pages + (m_appendix ? 1 : 0);
    auto pageFrame = [&](int page) {
        // Page header: the title.
        painter.setFont(l.title);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, l.page.width(), l.band), Qt::AlignHCenter | Qt::AlignVCenter, m_title);
        // Page footer: printed at, page N of M.
        painter.setFont(l.footer);
        const QRectF footerBand(0, l.page.height() - l.band, l.page.width(), l.band);
        painter.drawText(footerBand, Qt::AlignLeft | Qt::AlignVCenter, printed);
        painter.drawText(footerBand, Qt::AlignRight | Qt::AlignVCenter, footerPageText(page, pages));
    };

    bool cancelled = false;
    for (int page = 1; page <= l.pages; ++page) {
        if (page > 1)
            printer->newPage();
        pageFrame(page);

        // Column headers.
        double y = top;
        painter.setFont(l.bold);
        const QList<QRectF> headerCells = cellRects(y, l.rowHeight);
        for (int i = 0; i < headerCells.size(); ++i) {
            painter.fillRect(headerCells[i], headerShade);
            painter.setPen(lineColour);
            painter.drawRect(headerCells[i]);
            painter.setPen(Qt::black);
            const QString caption = model->columns()[l.columns[i]].caption;
            painter.drawText(headerCells[i].adjusted(pad, 0, -pad, 0), Qt::AlignCenter,
                             boldMetrics.elidedText(caption, Qt::ElideRight, headerCells[i].width() - 2 * pad));
        }
        y += l.rowHeight;

        const int first = l.pageStarts[page - 1];
        const int last = page < l.pages ? l.pageStarts[page] : l.lines;
        for (int line = first; line < last; y += l.heights[line], ++line) {
            const double height = l.heights[line];
            if (line >= lines.size()) {
                // Footer sums after the last row, whole.
                painter.setFont(l.bold);
                const QList<QRectF> cells = cellRects(y, height);
                painter.setPen(lineColour);
                painter.drawLine(QPointF(0, y), QPointF(l.page.width(), y));
                painter.setPen(Qt::black);
                for (int i = 0; i < cells.size(); ++i) {
                    const QString sum = model->footerText(l.columns[i]);
                    if (!sum.isEmpty())
                        painter.drawText(cells[i].adjusted(pad, 0, -pad, 0),
                                         Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, sum);
                }
                continue;
            }
            const Line& ln = lines[line];
            if (ln.sourceRow < 0) {
                const QRectF row(0, y, l.page.width(), height);
                painter.fillRect(row, groupShade);
                painter.setPen(lineColour);
                painter.drawRect(row);
                painter.setPen(Qt::black);
                painter.setFont(l.bold);
                painter.drawText(row.adjusted(pad + ln.level * l.indent, 0, -pad, 0), Qt::AlignLeft | Qt::AlignVCenter,
                                 ln.text);
                continue;
            }
            painter.setFont(l.body);
            const QList<QRectF> cells = cellRects(y, height);
            for (int i = 0; i < cells.size(); ++i) {
                const int column = l.columns[i];
                const GridColumn& col = model->columns()[column];
                painter.setPen(lineColour);
                painter.drawRect(cells[i]);
                painter.setPen(Qt::black);
                const QString text = model->displayText(ln.sourceRow, column);
                if (col.kind == GridColumn::Kind::Check && !text.isEmpty()) {
                    // A flat check box.
                    const double s = l.rowHeight * 0.55;
                    const QRectF box(cells[i].center().x() - s / 2, cells[i].center().y() - s / 2, s, s);
                    painter.drawRect(box);
                    if (text == QStringLiteral("Да")) {
                        QPen pen(Qt::black, s * 0.14);
                        painter.setPen(pen);
                        painter.drawPolyline(QList<QPointF>{{box.left() + s * 0.2, box.top() + s * 0.5},
                                                            {box.left() + s * 0.42, box.top() + s * 0.75},
                                                            {box.left() + s * 0.8, box.top() + s * 0.25}});
                    }
                    continue;
                }
                const QRectF inner = cells[i].adjusted(pad, 0, -pad, 0);
                if (col.kind == GridColumn::Kind::Text) {
                    if (l.wraps[i]) {
                        const QRectF textArea = inner.adjusted(0, (l.rowHeight - l.lineSpacing) / 2, 0,
                                                               -(l.rowHeight - l.lineSpacing) / 2);
                        painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter |
                                                       wrapFlags(fm, text, inner.width()), text);
                    } else {
                        painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter,
                                         fm.elidedText(text, Qt::ElideRight, inner.width()));
                    }
                    continue;
                }
                // Numbers and dates are never cut: their columns are as wide as their widest text.
                const Qt::Alignment align = col.kind == GridColumn::Kind::Date ? Qt::AlignHCenter | Qt::AlignVCenter
                                                                               : Qt::AlignRight | Qt::AlignVCenter;
                painter.drawText(inner, align | Qt::TextDontClip, text);
            }
        }
        if (progress && !progress(page, pages)) {
            cancelled = true;
            break;
        }
    }
    if (m_appendix && !cancelled) {
        printer->newPage();
        pageFrame(pages);
        painter.save();
        m_appendix(&painter, QRectF(0, l.band, l.page.width(), l.page.height() - 2 * l.band));
        painter.restore();
    }
    painter.end();
    return !cancelled;
}

void GridPrinter::preview(QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    setupPage(&printer);
    fitOrientation(&printer);
    printer.setDocName(m_title);
    PrintService::preview(
        &printer, parent, [this](QPrinter* p) { print(p); }, m_title);
}
