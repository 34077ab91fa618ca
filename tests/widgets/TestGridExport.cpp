// A grid's view exported: the CSV read back by a reader of its own gives the
// grid's shown headers, groups, cells and sums; the PDF holds the report.
#include "tests/support/TestEnv.h"
#include "tests/widgets/PdfText.h"
#include "widgets/GridExport.h"
#include "widgets/GridHeaderView.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GroupingGrid.h"

#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

using K = GridColumn::Kind;

QList<GridColumn> columns() {
    return {
        {"gridShop", "Магазин", 0, K::Text, false, true, false, "sums"},
        {"gridDogNo", "№ договор", 1, K::Integer, true, false},
        {"gridArt", "Артикул", 2, K::Text, true, false},
        {"gridDateGet", "Приемане", 3, K::Date, true, false},
        {"gridDPrice", "Изк.цена", 4, K::Money, true, false, true},
        {"gridSaled", "Продаден", 5, K::Check},
        {"gridNote", "Бележка", 6, K::Text, true, false},
    };
}

// Texts that a CSV must carry whole: the separator, quotes, a line break,
// blanks at the ends, a formula, a leading minus.
const QStringList kArts = {
    QStringLiteral("Пералня; бяла"),
    QStringLiteral("Фурна \"Гореня\" 60 см"),
    QStringLiteral("Хладилник\nс фризер"),
    QStringLiteral("  прахосмукачка "),
    QStringLiteral("=SUM(A1:A9)"),
    QStringLiteral("-20% отстъпка"),
    QStringLiteral("Обикновен текст"),
};

void fill(GridTableModel& table) {
    static const QStringList shops = {"Център", "Бояна", "Люлин"};
    QVector<QVariant> v;
    for (int i = 0; i < kArts.size() * 2; ++i)
        v << shops[i % shops.size()] << (i + 1) << kArts[i % kArts.size()] << QDate(2026, 11, 1 + i)
          << (i == 3 ? 1234567.5 : 10.25 * (i + 1) - (i == 5 ? 200 : 0)) << (i % 2 == 0)
          << (i == 4 ? QVariant() : QVariant(QStringLiteral("б%1").arg(i)));
    table.reset({"Shop", "DogNo", "Art", "DateGet", "DlvPrice", "Saled", "Note"}, v);
}

// RFC 4180 with ";" between fields, read independently of the writer.
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == u';') {
            row << field;
            field.clear();
            wasQuoted = false;
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

// What a spreadsheet cell shows for a CSV field: the formula guard taken off.
QString cellText(const QString& field) {
    return field.startsWith(u'\'') ? field.mid(1) : field;
}

} // namespace

class TestGridExport : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

private slots:
    void init() { m_dir = testenv::tempDir(); }

    // The file read back is the grid's view: visible columns in the order
    // they stand, each group heading, each row's shown cells, the sums.
    void csvRoundTrip() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table);
        grid.model()->setSummaryText([](const GroupingModel::GroupSummary& s) {
            return QStringLiteral("%1 бр., %2 лв.").arg(s.rowCount).arg(double(s.sums[4]) / 100, 0, 'f', 2);
        });
        grid.groupBy(grid.columnByName("gridShop"));
        grid.setColumnVisible(grid.columnByName("gridSaled"), false);
        grid.moveColumn(grid.columnByName("gridDPrice"), 1);
        grid.sortByColumn(grid.columnByName("gridDogNo"), false);
        grid.sortByColumn(grid.columnByName("gridDogNo"), false); // descending

        const QString path = m_dir->filePath("export.csv");
        QString error;
        QVERIFY2(gridexport::writeCsv(grid, path, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QString text = QString::fromUtf8(bytes.mid(3));
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        const QList<QStringList> rows = parseCsv(text);

        // The columns as the header shows them, read from the header itself.
        QList<int> shown;
        for (int v = 0; v < grid.header()->count(); ++v) {
            const int logical = grid.header()->logicalIndex(v);
            if (!grid.header()->isSectionHidden(logical))
                shown << logical;
        }
        QStringList captions;
        for (int c : shown)
            captions << grid.model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(rows.value(0), captions);
        QVERIFY(captions.indexOf("Изк.цена") < captions.indexOf("№ договор"));
        QVERIFY(!captions.contains("Продаден"));

        // Every line of the grid's tree, groups and rows, in display order.
        QList<QStringList> expected;
        GroupingModel* m = grid.model();
        std::function<void(const QModelIndex&)> walk = [&](const QModelIndex& parent) {
            for (int r = 0; r < m->rowCount(parent); ++r) {
                const QModelIndex first = m->index(r, 0, parent);
                if (m->data(first, GroupingModel::IsGroupRole).toBool()) {
                    QStringList line(shown.size());
                    line[0] = m->data(first, Qt::DisplayRole).toString();
                    expected << line;
                    walk(first);
                    continue;
                }
                QStringList line;
                for (int c : shown) {
                    QString t = m->data(m->index(r, c, parent), Qt::DisplayRole).toString();
                    if (m->columns()[c].kind == K::Money)
                        t = t.remove(u' ').replace(u'.', u',');
                    line << t;
                }
                expected << line;
            }
        };
        walk(QModelIndex());
        QStringList sums;
        for (int c : shown)
            sums << (m->footerText(c).isEmpty() ? QString() : m->footerText(c).remove(u' ').replace(u'.', u','));
        if (sums[0].isEmpty())
            sums[0] = "Общо"; // the label goes only where no sum stands
        expected << sums;

        QCOMPARE(rows.size(), expected.size() + 1);
        for (int i = 0; i < expected.size(); ++i) {
            QStringList got;
            for (const QString& field : rows[i + 1])
                got << cellText(field);
            QCOMPARE(got, expected[i]);
        }
        QCOMPARE(expected.size(), 3 + kArts.size() * 2 + 1);
        QVERIFY(rows[1][0].startsWith("Магазин: Бояна"));
        // The tricky texts, whole.
        const int artColumn = int(captions.indexOf("Артикул"));
        for (const QString& art : kArts)
            QVERIFY2(std::any_of(rows.cbegin(), rows.cend(),
                                 [&](const QStringList& r) { return cellText(r.value(artColumn)) == art; }),
                     qPrintable(art));
        // Amounts as numbers with a decimal comma; the formula made text.
        QVERIFY(text.contains(QStringLiteral("\r\n1234567,50;")));
        QVERIFY(text.contains(QStringLiteral("\r\n-138,50;")));
        QVERIFY(text.contains(QStringLiteral(";'=SUM(A1:A9);")));
        QVERIFY(text.contains(QStringLiteral(";\"Хладилник\nс фризер\";")));
        QVERIFY(text.contains(QStringLiteral(";\"Фурна \"\"Гореня\"\" 60 см\";")));
        QVERIFY(text.contains(QStringLiteral(";\"  прахосмукачка \";")));
    }

    // An ungrouped grid without sums writes its rows and nothing more.
    void csvWithoutGroupsOrSums() {
        GroupingGrid grid;
        GridTableModel table;
        QList<GridColumn> cols = {{"a", "Текст", 0, K::Text}, {"b", "Брой", 1, K::Integer}};
        grid.setColumns(cols);
        grid.setSourceModel(&table);
        table.reset({"A", "B"}, {QStringLiteral("едно"), 1, QStringLiteral("две"), 2});
        const QString out = QString::fromUtf8(gridexport::csv(gridexport::snapshot(grid)).mid(3));
        QCOMPARE(out, QStringLiteral("Текст;Брой\r\nедно;1\r\nдве;2\r\n"));
    }

    void csvNumbers_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "0.50" << "0,50";
        QTest::newRow("groups") << "1 234 567.00" << "1234567,00";
        QTest::newRow("negative") << "-1 000.10" << "-1000,10";
        QTest::newRow("empty") << "" << "";
    }
    void csvNumbers() {
        QFETCH(QString, shown);
        QFETCH(QString, written);
        QCOMPARE(gridexport::csvNumber(shown), written);
    }

    void unwritablePlaceIsTold() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table);
        QString error;
        const QString path = m_dir->filePath("no-such-folder/export.csv");
        QVERIFY(!gridexport::writeCsv(grid, path, &error));
        QVERIFY(error.contains(path));
        error.clear();
        QVERIFY(!gridexport::writePdf(grid, "Регистър", m_dir->filePath("no-such-folder/export.pdf"), &error));
        QVERIFY(error.contains("не може да бъде записан"));
    }

    // LibreOffice Calc with the Bulgarian language reads the file's amounts
    // as numbers, its dates as dates and its texts whole (skipped where
    // LibreOffice is not installed).
    void readByCalc() {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (soffice.isEmpty())
            QSKIP("LibreOffice is not installed");
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table);
        grid.setColumnVisible(grid.columnByName("gridShop"), false);
        grid.setColumnVisible(grid.columnByName("gridSaled"), false);
        const QString csv = m_dir->filePath("calc.csv");
        QVERIFY(gridexport::writeCsv(grid, csv, nullptr));
        QProcess p;
        p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + m_dir->filePath("profile"),
                          QStringLiteral("--headless"),
                          // ";" between fields, '"' around texts, UTF-8, from line 1, Bulgarian
                          QStringLiteral("--infilter=CSV:59,34,76,1,,1026"), QStringLiteral("--convert-to"),
                          QStringLiteral("fods"), QStringLiteral("--outdir"), m_dir->path(), csv});
        QVERIFY(p.waitForFinished(180000));
        QFile f(m_dir->filePath("calc.fods"));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(QString::fromUtf8(p.readAllStandardError())));
        const QString doc = QString::fromUtf8(f.readAll());
        // Each cell as type and value: "float 1234567.5", "date 2026-11-01", "string <text>".
        QStringList cells;
        static const QRegularExpression cell(QStringLiteral("<table:table-cell([^>]*[^/])>(.*?)</table:table-cell>"),
                                             QRegularExpression::DotMatchesEverythingOption);
        static const QRegularExpression type(QStringLiteral("office:value-type=\"(\\w+)\""));
        static const QRegularExpression value(QStringLiteral("office:(?:date-)?value=\"([^\"]*)\""));
        static const QRegularExpression para(QStringLiteral("<text:p>(.*?)</text:p>"),
                                             QRegularExpression::DotMatchesEverythingOption);
        for (auto m = cell.globalMatch(doc); m.hasNext();) {
            const auto c = m.next();
            const QString t = type.match(c.captured(1)).captured(1);
            if (t == QLatin1String("string")) {
                QStringList lines;
                for (auto q = para.globalMatch(c.captured(2)); q.hasNext();)
                    lines << q.next().captured(1);
                QString text = lines.join(u'\n');
                // Runs of blanks are kept as <text:s text:c="N"/>.
                static const QRegularExpression blanks(QStringLiteral("<text:s(?: text:c=\"(\\d+)\")?/>"));
                for (auto b = blanks.match(text); b.hasMatch(); b = blanks.match(text))
                    text.replace(b.capturedStart(), b.capturedLength(),
                                 QString(b.captured(1).isEmpty() ? 1 : b.captured(1).toInt(), u' '));
                text.replace("&apos;", "'").replace("&quot;", "\"").replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
                cells << "string " + text;
            } else {
                cells << t + " " + value.match(c.captured(1)).captured(1);
            }
        }
        QVERIFY(cells.contains("float 1234567.5"));
        QVERIFY(cells.contains("float -138.5"));
        QVERIFY(cells.contains("date 2026-11-01"));
        QVERIFY(cells.contains("date 2026-11-14"));
        QVERIFY(cells.contains("string Изк.цена"));
        QVERIFY(cells.contains("string Общо"));
        for (const QString& art : kArts) {
            const QString shown = art.startsWith(u'=') || art.startsWith(u'-') ? u'\'' + art : art;
            QVERIFY2(cells.contains("string " + shown), qPrintable(art));
        }
        // The sum, as a number too.
        double total = 0;
        for (int r = 0; r < table.rowCount(); ++r)
            total += std::round(table.value(r, 4).toDouble() * 100) / 100;
        QVERIFY2(cells.contains(QStringLiteral("float %1").arg(total, 0, 'g', 12)), qPrintable(cells.mid(cells.size() - 6).join(" | ")));
    }

    // The PDF is the printed report: title, column headers, groups, sums.
    void pdfHoldsTheReport() {
        if (!pdftext::available())
            QSKIP("pdftotext is not installed");
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table);
        grid.groupBy(grid.columnByName("gridShop"));
        grid.setColumnVisible(grid.columnByName("gridNote"), false);
        const QString path = m_dir->filePath("export.pdf");
        QString error;
        QVERIFY2(gridexport::writePdf(grid, "Регистър за ноември", path, &error), qPrintable(error));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.read(5) == "%PDF-");
        const QString text = pdftext::text(path);
        for (const char* t : {"Регистър за ноември", "Магазин: Бояна", "Магазин: Център", "№ договор", "Артикул",
                              "Приемане", "Изк.цена", "Продаден", "1 234 567.50"})
            QVERIFY2(text.contains(QString::fromUtf8(t)), t);
        QVERIFY(!text.contains("Бележка"));
    }

    // The report's extra page comes after its last, numbered with them.
    void appendixPage() {
        if (!pdftext::available())
            QSKIP("pdftotext is not installed");
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table);
        GridPrinter report(&grid);
        report.setTitle("Отчет");
        QRectF painted;
        report.setAppendix([&](QPainter* p, const QRectF& area) {
            painted = area;
            p->drawText(area, Qt::AlignCenter, "Графика на оборота");
        });
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = m_dir->filePath("appendix.pdf");
        printer.setOutputFileName(path);
        GridPrinter::setupPage(&printer);
        QCOMPARE(report.pageCount(&printer), 2);
        QVERIFY(report.print(&printer));
        QCOMPARE(pdftext::pages(path), 2);
        QVERIFY(painted.height() > painted.width());
        const QString text = pdftext::text(path);
        QVERIFY(text.contains("Графика на оборота"));
        QVERIFY(text.contains(GridPrinter::footerPageText(2, 2)));
        QVERIFY(text.indexOf("Артикул") < text.indexOf("Графика на оборота"));
    }
};

QTEST_MAIN(TestGridExport)
#include "TestGridExport.moc"
