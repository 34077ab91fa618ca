#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class GroupingGrid;
class QPainter;
class QPrinter;
class QRectF;
class QWidget;

// Prints a grouping grid as a report: A4 portrait, a centred title in the page
// header, the column headers and grid lines on every page, group rows shaded,
// the footer sums after the last row (on the page of the last rows), and the
// date and time printed with "стр. N от M" in the page footer. A printed
// number, date or sum is never cut: such columns are as wide as their widest
// text, and text columns wrap into the width left; when even that does not
// fit, the font shrinks, and the preview turns the page to landscape when
// portrait would need too small a font. Big reports show their progress and
// can be cancelled.
class GridPrinter {
public:
    // Called after each page; return false to stop printing.
    using Progress = std::function<bool(int page, int pages)>;

    explicit GridPrinter(GroupingGrid* grid);

    void setTitle(const QString& title) { m_title = title; }
    const QString& title() const { return m_title; }
    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Reports with more rows than this show a progress window (when no
    // progress callback is set).
    void setProgressThreshold(int rows) { m_progressThreshold = rows; }
    // The moment printed in the footer; the current time when not set.
    void setPrintedAt(const QDateTime& at) { m_printedAt = at; }
    // One more page after the report, under the same title and footer, for
    // what the grid cannot show (a chart): painted into the area between the
    // page's header and footer.
    using Appendix = std::function<void(QPainter* painter, const QRectF& area)>;
    void setAppendix(Appendix appendix) { m_appendix = std::move(appendix); }

    // A4 portrait with margins left 17.7 mm, right, top and bottom 12.7 mm.
    static void setupPage(QPrinter* printer);

    int pageCount(QPrinter* printer) const;
    // Landscape when portrait would need a font smaller than the report's
    // smallest; portrait otherwise.
    void fitOrientation(QPrinter* printer) const;
    // The point size of the report's body on this printer's page.
    double bodyPointSize(QPrinter* printer) const;
    // Paints every page; false when the clerk cancelled.
    bool print(QPrinter* printer);
    // The modal print preview of the report.
    void preview(QWidget* parent);

    static QString footerPageText(int page, int pages);

private:
    struct Line {
        int level = 0;
        int sourceRow = -1; // -1: a group row
        QString text;       // group rows
    };
    struct Layout;

    QList<Line> collectLines() const;
    Layout layoutFor(QPrinter* printer, const QList<Line>& lines) const;
    void setFonts(Layout& l, QPrinter* printer, double points) const;
    // Fits the columns into the page; false when even wrapped text columns
    // do not fit, with *scale the font's factor that would make them fit.
    bool fitColumns(QPrinter* printer, Layout& l, double* scale) const;
    void paginate(QPrinter* printer, Layout& l, const QList<Line>& lines) const;

    GroupingGrid* m_grid;
    QString m_title;
    Progress m_progress;
    int m_progressThreshold = 3000;
    QDateTime m_printedAt;
    Appendix m_appendix;
};
