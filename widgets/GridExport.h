#pragma once

#include "widgets/GridColumn.h"
#include "widgets/GridPrinter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class GroupingGrid;
class GroupingModel;

// A grid's present view written to a file: the visible columns in the order
// they stand, each group's heading line as the grid shows it, the rows under
// their groups, and the footer sums. Every row of every group is written,
// as the printed report has them, whether a group is open on screen or not.
namespace gridexport {

// The view as lines of shown texts.
struct Snapshot {
    enum class LineKind { Group, Row, Sums };
    struct Line {
        LineKind kind = LineKind::Row;
        int level = 0;      // group depth, 0 outermost
        QStringList cells;  // one per column; a group line has its heading in the first
    };
    QStringList headers;             // the captions as shown
    QList<GridColumn::Kind> kinds;   // per column
    QList<Line> lines;
};

// What the grid shows now.
Snapshot snapshot(const GroupingGrid& grid);
// The same from a model and the columns to write, in their order.
Snapshot snapshot(const GroupingModel& model, const QList<int>& columns);

// The word in the first cell of the sums line, when that column has no sum.
QString sumsLabel(); // "Общо"

// The snapshot as a CSV file for a spreadsheet with Bulgarian regional
// settings: UTF-8 with a byte-order mark (Excel then reads UTF-8 without
// asking), ";" between fields (the Bulgarian list separator, so Excel splits
// the columns on opening), lines ended by CR LF, a field that holds ";", a
// quote, a line break or leading or trailing blanks quoted with its quotes
// doubled. Amounts are written without digit groups and with a decimal comma
// ("1234,50"), so that the spreadsheet reads them as numbers; dates stay
// "dd.MM.yyyy", which it reads as dates. A text that a spreadsheet would take
// for a formula (it begins with "=", "+", "-", "@", a tab or a CR) gets an
// apostrophe in front, so that opening the file never runs anything.
QByteArray csv(const Snapshot& s);

// A shown amount ("1 234.50", "-0.50") as the CSV writes it ("1234,50").
QString csvNumber(const QString& shown);

// Writes the grid's view as CSV; false with *error in Bulgarian when the
// file cannot be written.
bool writeCsv(const GroupingGrid& grid, const QString& path, QString* error);

// Writes the grid's view as a PDF report with the title, laid out as the
// printed report (GridPrinter), with the appendix page when one is given;
// false with *error when it cannot.
bool writePdf(GroupingGrid& grid, const QString& title, const QString& path, QString* error,
              const GridPrinter::Appendix& appendix = {});

} // namespace gridexport
