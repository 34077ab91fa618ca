#include "widgets/GridPrinter.h"

#include "core/Formats.h"
#include "widgets/GridHeaderView.h"
#include "widgets/GroupingGrid.h"
#include "widgets/PrintService.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
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

} // namespace

struct GridPrinter::Layout {
    QRectF page;          // paint area inside the margins, device pixels
    double band = 0;      // header and footer band height
    double rowHeight = 0; // one line of the body
    double indent = 0;    // per group level
    QList<int> columns;   // visible columns, display order
    QList<double> widths; // their widths on paper
    int rowsPerPage = 1;
    int lines = 0;        // body lines, footer sums included
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

GridPrinter::Layout GridPrinter::layoutFor(QPrinter* printer, QPainter* painter) const {
    Layout l;
    l.page = printer->pageLayout().paintRectPixels(printer->resolution()).toRectF();
    l.page.moveTopLeft(QPointF(0, 0));
    const double mm = printer->resolution() / 25.4;
    l.band = kBandMm * mm;
    l.body = reportFont(7.5);
    l.bold = reportFont(7.5, true);
    l.title = reportFont(pixelsToPoints(13), true);
    l.footer = reportFont(pixelsToPoints(11));
    painter->setFont(l.body);
    l.rowHeight = std::ceil(QFontMetricsF(l.body, printer).height() * 1.45);
    l.indent = 4 * mm;

    l.columns = m_grid->visibleColumns();
    l.widths = columnWidths(printer, l);
    const double bodyHeight = l.page.height() - 2 * l.band;
    l.rowsPerPage = qMax(1, int((bodyHeight - l.rowHeight) / l.rowHeight)); // less the column headers
    l.lines = m_grid->model()->dataRowCount() + m_grid->model()->groupCount() + 1;
    l.pages = qMax(1, (l.lines + l.rowsPerPage - 1) / l.rowsPerPage);
    return l;
}

QList<double> GridPrinter::columnWidths(QPrinter* printer, const Layout& l) const {
    // Each column as wide as its widest text in the print font; the longest
    // texts by letters are the ones measured.
    GroupingModel* model = m_grid->model();
    const QFontMetricsF body(l.body, printer);
    const QFontMetricsF bold(l.bold, printer);
    const double pad = std::ceil(l.rowHeight * 0.2) * 2 + 2;
    const int rows = model->dataRowCount();
    QList<double> natural;
    for (int c : l.columns) {
        const GridColumn& col = model->columns()[c];
        double w = bold.horizontalAdvance(col.caption) + pad;
        if (col.kind == GridColumn::Kind::Check) {
            natural.append(qMax(w, l.rowHeight + pad));
            continue;
        }
        QList<QString> longest;
        for (int r = 0; r < rows; ++r) {
            QString t = model->displayText(r, c);
            if (longest.size() == 8 && t.size() <= longest.last().size())
                continue;
            auto at = std::lower_bound(longest.begin(), longest.end(), t,
                                       [](const QString& a, const QString& b) { return a.size() > b.size(); });
            longest.insert(at, std::move(t));
            if (longest.size() > 8)
                longest.removeLast();
        }
        for (const QString& t : longest)
            w = qMax(w, body.horizontalAdvance(t) + pad);
        const QString sum = model->footerText(c);
        if (!sum.isEmpty())
            w = qMax(w, bold.horizontalAdvance(sum) + pad);
        natural.append(w);
    }
    // Fitted to the page width: text columns give or take the difference
    // first; when that is not enough, every column shrinks alike.
    double total = 0, text = 0;
    for (int i = 0; i < natural.size(); ++i) {
        total += natural[i];
        if (model->columns()[l.columns[i]].kind == GridColumn::Kind::Text)
            text += natural[i];
    }
    QList<double> widths = natural;
    const double page = l.page.width();
    if (total <= 0)
        return widths;
    const double diff = page - total;
    if (text > 0 && (diff >= 0 || text + diff >= text * 0.4)) {
        for (int i = 0; i < widths.size(); ++i)
            if (model->columns()[l.columns[i]].kind == GridColumn::Kind::Text)
                widths[i] += diff * natural[i] / text;
        return widths;
    }
    for (double& w : widths)
        w *= page / total;
    return widths;
}

int GridPrinter::pageCount(QPrinter* printer) const {
    QPainter painter;
    QImage probe(1, 1, QImage::Format_RGB32);
    painter.begin(&probe);
    const Layout l = layoutFor(printer, &painter);
    painter.end();
    return l.pages;
}

bool GridPrinter::print(QPrinter* printer) {
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    const Layout l = layoutFor(printer, &painter);
    const QList<Line> lines = collectLines();
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
    const double pad = l.rowHeight * 0.2;
    const double top = l.band;

    auto cellRects = [&](double y) {
        QList<QRectF> rects;
        double x = 0;
        for (double w : l.widths) {
            rects.append(QRectF(x, y, w, l.rowHeight));
            x += w;
        }
        return rects;
    };

    int line = 0;
    bool cancelled = false;
    for (int page = 1; page <= l.pages; ++page) {
        if (page > 1)
            printer->newPage();
        // Page header: the title.
        painter.setFont(l.title);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, 0, l.page.width(), l.band), Qt::AlignHCenter | Qt::AlignVCenter, m_title);
        // Page footer: printed at, page N of M.
        painter.setFont(l.footer);
        const QRectF footerBand(0, l.page.height() - l.band, l.page.width(), l.band);
        painter.drawText(footerBand, Qt::AlignLeft | Qt::AlignVCenter, printed);
        painter.drawText(footerBand, Qt::AlignRight | Qt::AlignVCenter, footerPageText(page, l.pages));

        // Column headers.
        double y = top;
        painter.setFont(l.bold);
        const QList<QRectF> headerCells = cellRects(y);
        for (int i = 0; i < headerCells.size(); ++i) {
            painter.fillRect(headerCells[i], headerShade);
            painter.setPen(lineColour);
            painter.drawRect(headerCells[i]);
            painter.setPen(Qt::black);
            const QString caption = model->columns()[l.columns[i]].caption;
            painter.drawText(headerCells[i].adjusted(pad, 0, -pad, 0), Qt::AlignCenter,
                             QFontMetricsF(l.bold, printer).elidedText(caption, Qt::ElideRight,
                                                                        headerCells[i].width() - 2 * pad));
        }
        y += l.rowHeight;

        for (int k = 0; k < l.rowsPerPage && line < l.lines; ++k, ++line, y += l.rowHeight) {
            if (line >= lines.size()) {
                // Footer sums after the last row.
                painter.setFont(l.bold);
                const QList<QRectF> cells = cellRects(y);
                painter.setPen(lineColour);
                painter.drawLine(QPointF(0, y), QPointF(l.page.width(), y));
                painter.setPen(Qt::black);
                for (int i = 0; i < cells.size(); ++i) {
                    const QString sum = model->footerText(l.columns[i]);
                    if (!sum.isEmpty())
                        painter.drawText(cells[i].adjusted(pad, 0, -pad, 0), Qt::AlignRight | Qt::AlignVCenter, sum);
                }
                continue;
            }
            const Line& ln = lines[line];
            if (ln.sourceRow < 0) {
                const QRectF row(0, y, l.page.width(), l.rowHeight);
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
            const QList<QRectF> cells = cellRects(y);
            const QFontMetricsF fm(l.body, printer);
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
                Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
                if (col.kind == GridColumn::Kind::Money || col.kind == GridColumn::Kind::Integer)
                    align = Qt::AlignRight | Qt::AlignVCenter;
                else if (col.kind == GridColumn::Kind::Date)
                    align = Qt::AlignHCenter | Qt::AlignVCenter;
                const QRectF inner = cells[i].adjusted(pad, 0, -pad, 0);
                painter.drawText(inner, align, fm.elidedText(text, Qt::ElideRight, inner.width()));
            }
        }
        if (progress && !progress(page, l.pages)) {
            cancelled = true;
            break;
        }
    }
    painter.end();
    return !cancelled;
}

void GridPrinter::preview(QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    setupPage(&printer);
    printer.setDocName(m_title);
    PrintService::preview(
        &printer, parent, [this](QPrinter* p) { print(p); }, m_title);
}
