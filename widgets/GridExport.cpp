#include "widgets/GridExport.h"

#include "widgets/GridPrinter.h"
#include "widgets/GroupingGrid.h"
#include "widgets/GroupingModel.h"

#include <QFile>
#include <QPrinter>
#include <QSaveFile>
#include <functional>

namespace gridexport {

namespace {

bool needsQuotes(const QString& field) {
    if (field.isEmpty())
        return false;
    if (field.front().isSpace() || field.back().isSpace())
        return true;
    for (QChar c : field)
        if (c == QLatin1Char(';') || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    return false;
}

QString csvField(const QString& field) {
    if (!needsQuotes(field))
        return field;
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// A text that a spreadsheet would take for a formula keeps its text.
QString safeText(const QString& text) {
    if (text.isEmpty())
        return text;
    const QChar first = text.front();
    if (first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') ||
        first == QLatin1Char('@') || first == QLatin1Char('\t') || first == QLatin1Char('\r'))
        return QLatin1Char('\'') + text;
    return text;
}

} // namespace

QString sumsLabel() { return QStringLiteral("Общо"); }

Snapshot snapshot(const GroupingModel& model, const QList<int>& columns) {
    Snapshot s;
    for (int c : columns) {
        s.headers << model.columns()[c].caption;
        s.kinds << model.columns()[c].kind;
    }
    s.lines.reserve(model.dataRowCount() + model.groupCount() + 1);
    std::function<void(const QModelIndex&, int)> walk = [&](const QModelIndex& parent, int level) {
        const int rows = model.rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex idx = model.index(r, 0, parent);
            Snapshot::Line line;
            line.level = level;
            if (model.isGroup(idx)) {
                line.kind = Snapshot::LineKind::Group;
                line.cells = QStringList(columns.size());
                if (!line.cells.isEmpty())
                    line.cells[0] = model.groupText(idx);
                s.lines.append(line);
                walk(idx, level + 1);
                continue;
            }
            const int row = model.sourceRow(idx);
            for (int c : columns)
                line.cells << model.displayText(row, c);
            s.lines.append(line);
        }
    };
    walk(QModelIndex(), 0);

    Snapshot::Line sums;
    sums.kind = Snapshot::LineKind::Sums;
    bool any = false;
    for (int c : columns) {
        sums.cells << model.footerText(c);
        any = any || !sums.cells.last().isEmpty();
    }
    if (any) {
        if (sums.cells.first().isEmpty())
            sums.cells.first() = sumsLabel();
        s.lines.append(sums);
    }
    return s;
}

Snapshot snapshot(const GroupingGrid& grid) { return snapshot(*grid.model(), grid.visibleColumns()); }

QString csvNumber(const QString& shown) {
    QString n = shown;
    n.remove(QLatin1Char(' '));
    n.remove(QChar(0x00A0));
    n.replace(QLatin1Char('.'), QLatin1Char(','));
    return n;
}

QByteArray csv(const Snapshot& s) {
    auto lineOf = [](const QStringList& fields) {
        QStringList out;
        out.reserve(fields.size());
        for (const QString& f : fields)
            out << csvField(f);
        return out.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    };
    QString text;
    text += lineOf(s.headers);
    for (const Snapshot::Line& line : s.lines) {
        QStringList fields = line.cells;
        for (int i = 0; i < fields.size() && i < s.kinds.size(); ++i) {
            if (line.kind == Snapshot::LineKind::Group)
                fields[i] = safeText(fields[i]);
            else if (s.kinds[i] == GridColumn::Kind::Money && !(line.kind == Snapshot::LineKind::Sums && i == 0 &&
                                                                fields[i] == sumsLabel()))
                fields[i] = csvNumber(fields[i]);
            else if (s.kinds[i] == GridColumn::Kind::Text)
                fields[i] = safeText(fields[i]);
        }
        text += lineOf(fields);
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

bool writeCsv(const GroupingGrid& grid, const QString& path, QString* error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(csv(snapshot(grid))) < 0 || !f.commit()) {
        if (error)
            *error = QStringLiteral("Файлът \"%1\" не може да бъде записан:\r%2").arg(path, f.errorString());
        return false;
    }
    return true;
}

bool writePdf(GroupingGrid& grid, const QString& title, const QString& path, QString* error,
              const GridPrinter::Appendix& appendix) {
    {
        // QPrinter says nothing of why a file cannot be written; a plain
        // open does.
        QFile probe(path);
        const bool existed = probe.exists();
        if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) {
            if (error)
                *error = QStringLiteral("Файлът \"%1\" не може да бъде записан:\r%2").arg(path, probe.errorString());
            return false;
        }
        probe.close();
        if (!existed)
            probe.remove();
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setDocName(title);
    printer.setCreator(QStringLiteral("Уреди втора употреба"));
    GridPrinter report(&grid);
    report.setTitle(title);
    report.setAppendix(appendix);
    GridPrinter::setupPage(&printer);
    report.fitOrientation(&printer);
    if (!report.print(&printer)) {
        if (error)
            *error = QStringLiteral("Файлът \"%1\" не може да бъде записан.").arg(path);
        return false;
    }
    return true;
}

} // namespace gridexport
