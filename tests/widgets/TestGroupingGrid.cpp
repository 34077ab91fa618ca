// The grouping grid as a clerk uses it: group panel drops, header sorting,
// typing to search, the column chooser, and the printed report.
#include "tests/support/TestEnv.h"
#include "tests/widgets/PdfText.h"
#include "widgets/ColumnChooser.h"
#include "widgets/GridDrag.h"
#include "widgets/GridFooter.h"
#include "widgets/GridHeaderView.h"
#include "widgets/GridPrinter.h"
#include "widgets/GridTableModel.h"
#include "widgets/GridTreeView.h"
#include "widgets/GroupPanel.h"
#include "widgets/GroupingGrid.h"
#include "widgets/PrintService.h"

#include <QListWidget>
#include <QMimeData>
#include <QPrinter>
#include <QProcess>
#include <QtTest>

namespace {

QList<GridColumn> columns() {
    using K = GridColumn::Kind;
    return {
        {"gridShop", "Магазин", 0, K::Text, false, true, false, "sums"},
        {"gridDogNo", "№ договор", 1, K::Integer, true, false},
        {"gridArt", "Артикул", 2, K::Text, true, false},
        {"gridDPrice", "Изк.цена", 3, K::Money, true, false, true},
        {"gridSaled", "Продаден", 4, K::Check},
    };
}

void fill(GridTableModel& table, int rows) {
    static const QStringList shops = {"Център", "Бояна", "Люлин"};
    static const QStringList arts = {"Пералня Bosch", "хладилник Liebherr", "Фурна", "ЮТИЯ Philips"};
    QVector<QVariant> v;
    for (int i = 0; i < rows; ++i)
        v << shops[i % shops.size()] << (i + 1) << arts[i % arts.size()] << (10.0 + i) << (i % 2 == 0);
    table.reset({"Shop", "DogNo", "Art", "DlvPrice", "Saled"}, v);
}

// The register's columns, as the main window shows them.
QList<GridColumn> registerColumns() {
    using K = GridColumn::Kind;
    return {
        {"gridShop", "Магазин", 0, K::Text, false, true, false, "sums"},
        {"gridDogNo", "№ договор", 1, K::Integer, true, false},
        {"gridArt", "Артикул", 2, K::Text, true, false},
        {"gridSerial", "Сериен №", 3, K::Text, true, false},
        {"gridDateGet", "Приемане", 4, K::Date, true, false},
        {"gridDPrice", "Изк.цена", 5, K::Money, true, false, true},
        {"gridPayed", "Изплатен", 6, K::Check},
        {"gridDatePay", "Плащане", 7, K::Date},
        {"gridSPrice", "Прод.цена", 8, K::Money, true, false, true},
        {"gridSaled", "Продаден", 9, K::Check},
        {"gridDatesale", "Продажба", 10, K::Date, true, false},
    };
}

// Appliances with long names and serial numbers and amounts of six and seven
// digits, all sold and paid on the last day of October.
void fillLarge(GridTableModel& table, int rows) {
    static const QStringList shops = {"Център", "Бояна"};
    static const QStringList arts = {"Автоматична пералня Bosch WAN28263BY 8 кг, бяла",
                                     "Хладилник с фризер Liebherr CNel 4813 NoFrost",
                                     "Климатик Daikin FTXM35R инверторен"};
    QVector<QVariant> v;
    const QDate day(2026, 10, 31);
    for (int i = 0; i < rows; ++i)
        v << shops[i % shops.size()] << (100000 + i) << arts[i % arts.size()]
          << QStringLiteral("SN-%1/WAN28263BY-01").arg(4587123 + i) << day << (1234567.0 + 1000.0 * i) << true << day
          << (1534567.5 + 1000.0 * i) << true << day;
    table.reset({"Shop", "DogNo", "Art", "Serial", "DateGet", "DlvPrice", "Payed", "Datepay", "SalePrice", "Saled",
                 "Datesale"},
                v);
}

// Delivers a drop of mime to a widget, as the end of a drag does.
bool drop(QWidget* target, QMimeData* mime, QPoint at = QPoint(5, 5)) {
    QDragEnterEvent enter(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        delete mime;
        return false;
    }
    QDropEvent dropEvent(QPointF(at), Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
    delete mime;
    return dropEvent.isAccepted();
}

} // namespace

class TestGroupingGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        testenv::isolateSettings();
        m_out = testenv::tempDir();
        PrintService::setScripted(true, m_out->path());
    }

    void groupPanelTakesOnlyGroupableColumns_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("taken");
        QTest::newRow("check column") << 4 << true;
        QTest::newRow("contract number") << 1 << false;
        QTest::newRow("money") << 3 << false;
    }
    void groupPanelTakesOnlyGroupableColumns() {
        QFETCH(int, column);
        QFETCH(bool, taken);
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 9);
        grid.groupBy(0);
        grid.resize(600, 400);
        grid.show();
        QCOMPARE(drop(grid.groupPanel(), GridDrag::make(GridDrag::Kind::Column, &grid, column), QPoint(590, 10)),
                 taken);
        QCOMPARE(grid.groupColumns(), taken ? QList<int>({0, column}) : QList<int>({0}));
        // Another grid's columns are never taken.
        GroupingGrid other;
        QVERIFY(!drop(grid.groupPanel(), GridDrag::make(GridDrag::Kind::Column, &other, 4)));
    }

    void chipDroppedOnHeaderUngroups() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 9);
        grid.groupBy(0);
        grid.groupBy(4);
        grid.show();
        QVERIFY(drop(grid.header()->viewport(), GridDrag::make(GridDrag::Kind::Group, &grid, 0)));
        QCOMPARE(grid.groupColumns(), QList<int>({4}));
        QCOMPARE(grid.groupPanel()->groups(), QList<int>({4}));
        // Groups stay open after regrouping.
        QVERIFY(grid.view()->isExpanded(grid.model()->index(0, 0)));
    }

    void headerClickSortsShiftAdds() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 6);
        using Key = GroupingModel::SortKey;
        grid.sortByColumn(2, false);
        QCOMPARE(grid.model()->sortKeys(), QList<Key>({{2, Qt::AscendingOrder}}));
        grid.sortByColumn(2, false);
        QCOMPARE(grid.model()->sortKeys(), QList<Key>({{2, Qt::DescendingOrder}}));
        grid.sortByColumn(1, true);
        QCOMPARE(grid.model()->sortKeys(), QList<Key>({{2, Qt::DescendingOrder}, {1, Qt::AscendingOrder}}));
        grid.sortByColumn(1, true);
        QCOMPARE(grid.model()->sortKeys(), QList<Key>({{2, Qt::DescendingOrder}, {1, Qt::DescendingOrder}}));
        grid.sortByColumn(3, false);
        QCOMPARE(grid.model()->sortKeys(), QList<Key>({{3, Qt::AscendingOrder}}));

        // The header's own click reports shift.
        grid.resize(600, 300);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy spy(grid.header(), &GridHeaderView::sortClicked);
        const int x = grid.header()->sectionViewportPosition(2) + grid.header()->sectionSize(2) / 2;
        QTest::mouseClick(grid.header()->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(x, 5));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].toInt(), 2);
        QCOMPARE(spy[0][1].toBool(), true);
    }

    void typingSearchesTheCurrentColumn() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 12);
        grid.groupBy(0);
        grid.expandAll();
        grid.focusFirstRow();
        auto* view = grid.view();
        view->setCurrentIndex(grid.model()->indexForSourceRow(0, 2));
        // Mixed-case Cyrillic and Latin text, found whatever the letter case.
        view->keyboardSearch(QStringLiteral("ютия p"));
        QCOMPARE(grid.model()->displayText(grid.currentSourceRow(), 2), QStringLiteral("ЮТИЯ Philips"));
        view->clearSearch();
        view->keyboardSearch(QStringLiteral("ХЛАДИЛНИК"));
        QCOMPARE(grid.model()->displayText(grid.currentSourceRow(), 2), QStringLiteral("хладилник Liebherr"));
        const int before = grid.currentSourceRow();
        view->clearSearch();
        view->keyboardSearch(QStringLiteral("няма такъв"));
        QCOMPARE(grid.currentSourceRow(), before);
    }

    void columnChooser() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 3);
        grid.show();
        QSignalSpy closed(&grid, &GroupingGrid::columnChooserClosed);
        grid.showColumnChooser();
        QVERIFY(grid.isColumnChooserOpen());
        QListWidget* list = grid.columnChooser()->list();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Магазин"));

        // A header dragged into the chooser hides its column.
        QVERIFY(drop(grid.columnChooser(), GridDrag::make(GridDrag::Kind::Column, &grid, 2)));
        QVERIFY(!grid.isColumnVisible(2));
        QCOMPARE(list->count(), 2);
        // Double-click shows it again.
        emit list->itemDoubleClicked(list->item(1));
        QVERIFY(grid.isColumnVisible(2));
        // A column from the chooser dropped on the header shows it.
        QVERIFY(drop(grid.header()->viewport(), GridDrag::make(GridDrag::Kind::Column, &grid, 0)));
        QVERIFY(grid.isColumnVisible(0));
        QCOMPARE(list->count(), 0);

        grid.closeColumnChooser();
        QVERIFY(!grid.isColumnChooserOpen());
        QCOMPARE(closed.size(), 0);
        grid.showColumnChooser();
        grid.columnChooser()->close(); // the window's close box
        QCOMPARE(closed.size(), 1);
        // Escape in it closes it the same way.
        grid.showColumnChooser();
        QTest::keyClick(grid.columnChooser()->list(), Qt::Key_Escape);
        QVERIFY(!grid.isColumnChooserOpen());
        QCOMPARE(closed.size(), 2);
    }

    void arrangementComesBackInAnotherGrid() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 6);
        grid.groupBy(0);
        grid.keepAsDefaultArrangement();
        const GridArrangement initial = grid.arrangement();
        QCOMPARE(initial.order, QStringList({"gridShop", "gridDogNo", "gridArt", "gridDPrice", "gridSaled"}));
        QCOMPARE(initial.hidden, QStringList{"gridShop"});
        QCOMPARE(initial.groups, QStringList{"gridShop"});
        QVERIFY(initial.widths.isEmpty() && initial.sort.isEmpty());

        // Each of the clerk's changes is reported.
        QSignalSpy changed(&grid, &GroupingGrid::arrangementChanged);
        grid.setColumnVisible(2, false);
        grid.moveColumn(3, 1);
        grid.groupBy(4);
        grid.sortByColumn(1, false);
        grid.sortByColumn(3, true);
        grid.sortByColumn(3, true); // the price now descending
        QCOMPARE(changed.size(), 6);
        const GridArrangement a = grid.arrangement();
        QCOMPARE(a.order, QStringList({"gridShop", "gridDPrice", "gridDogNo", "gridArt", "gridSaled"}));
        QCOMPARE(a.hidden, QStringList({"gridShop", "gridArt"}));
        QCOMPARE(a.groups, QStringList({"gridShop", "gridSaled"}));
        QCOMPARE(a.sort, (QList<GridArrangement::SortKey>{{"gridDogNo", false}, {"gridDPrice", true}}));

        GroupingGrid other;
        GridTableModel otherTable;
        other.setColumns(columns());
        other.setSourceModel(&otherTable);
        fill(otherTable, 6);
        other.groupBy(0);
        other.keepAsDefaultArrangement();
        QSignalSpy otherChanged(&other, &GroupingGrid::arrangementChanged);
        GridArrangement withWidths = a;
        withWidths.widths = {{"gridDogNo", 77}, {"gridDPrice", 133}, {"gridSaled", 41}};
        QVERIFY(other.arrange(withWidths));
        QCOMPARE(other.arrangement(), withWidths);
        QVERIFY(other.hasOwnWidths());
        QCOMPARE(other.header()->sectionSize(3), 133);
        QCOMPARE(other.model()->groupColumns(), QList<int>({0, 4}));
        QCOMPARE(otherChanged.size(), 0); // not the clerk's change
        QCOMPARE(other.columnChooser()->list()->count(), 2);

        other.resetArrangement();
        QCOMPARE(other.arrangement(), initial);
        QVERIFY(!other.hasOwnWidths());
        QCOMPARE(otherChanged.size(), 1); // the clerk's own command
    }

    void arrangementThatDoesNotFitIsRefused_data() {
        QTest::addColumn<QString>("fault");
        for (const char* f :
             {"unknown column", "column missing", "column twice", "hidden unknown", "hidden twice", "grouped by a sum",
              "grouped unknown", "sorted unknown", "sorted twice", "width zero", "width huge", "width of unknown"})
            QTest::newRow(f) << QString::fromLatin1(f);
    }
    void arrangementThatDoesNotFitIsRefused() {
        QFETCH(QString, fault);
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 4);
        grid.groupBy(0);
        const GridArrangement before = grid.arrangement();
        GridArrangement a{{"gridShop", "gridDogNo", "gridArt", "gridDPrice", "gridSaled"},
                          {"gridArt"},
                          {{"gridDogNo", 50}},
                          {"gridShop"},
                          {{"gridArt", false}}};
        QVERIFY(grid.arrange(a)); // sound as it stands
        QVERIFY(grid.arrange(before));
        if (fault == "unknown column")
            a.order.append("gridWarranty");
        else if (fault == "column missing")
            a.order.removeLast();
        else if (fault == "column twice")
            a.order[4] = "gridDogNo";
        else if (fault == "hidden unknown")
            a.hidden.append("gridWarranty");
        else if (fault == "hidden twice")
            a.hidden.append("gridArt");
        else if (fault == "grouped by a sum")
            a.groups.append("gridDPrice");
        else if (fault == "grouped unknown")
            a.groups.append("gridWarranty");
        else if (fault == "sorted unknown")
            a.sort.append({"gridWarranty", true});
        else if (fault == "sorted twice")
            a.sort.append({"gridArt", true});
        else if (fault == "width zero")
            a.widths["gridArt"] = 0;
        else if (fault == "width huge")
            a.widths["gridArt"] = 100000;
        else if (fault == "width of unknown")
            a.widths["gridWarranty"] = 60;
        QVERIFY(!grid.arrange(a));
        QCOMPARE(grid.arrangement(), before);
    }

    void footerShowsSums() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 200); // 10 + 11 + ... + 209
        QCOMPARE(grid.footer()->text(3), QStringLiteral("21 900.00"));
        QCOMPARE(grid.footer()->text(2), QString());
    }

    void printsReport() {
        if (!pdftext::available()) {
            if (!qEnvironmentVariable("CI").isEmpty())
                QFAIL("pdftotext (poppler-utils) is needed to read printed reports");
            QSKIP("pdftotext (poppler-utils) is not installed");
        }
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.model()->setSummaryText([](const GroupingModel::GroupSummary& s) {
            return s.summaryGroup.isEmpty() ? QString() : QStringLiteral("Сума: %1").arg(s.sums[3]);
        });
        grid.setSourceModel(&table);
        fill(table, 300);
        grid.groupBy(0);
        grid.expandAll();
        grid.fitColumns();
        GridPrinter printer(&grid);
        printer.setTitle(QStringLiteral("Всички приети уреди за период от 01.03.2005 до 31.03.2005"));
        printer.setPrintedAt(QDateTime(QDate(2005, 4, 2), QTime(9, 5, 7)));
        printer.preview(nullptr);
        const QString pdf = PrintService::lastPreviewPdf();
        const QString text = pdftext::text(pdf);
        QPrinter probe(QPrinter::HighResolution);
        GridPrinter::setupPage(&probe);
        const int pages = printer.pageCount(&probe);
        QVERIFY(pages > 1);
        QCOMPARE(pdftext::pages(pdf), pages);
        QVERIFY(text.contains(QStringLiteral("Всички приети уреди за период от 01.03.2005 до 31.03.2005")));
        QVERIFY(text.contains(QStringLiteral("02.04.2005 09:05:07")));
        QVERIFY(text.contains(QStringLiteral("стр. 1 от %1").arg(pages)));
        QVERIFY(text.contains(QStringLiteral("стр. %1 от %1").arg(pages)));
        QVERIFY(text.contains(QStringLiteral("Магазин: Бояна")));
        QVERIFY(text.contains(QStringLiteral("№ договор")));
        QVERIFY(text.contains(QStringLiteral("хладилник Liebherr")));
        QVERIFY(text.contains(QStringLiteral("47 850.00"))); // footer sum of 300 rows
    }

    // A printed number is never cut: every amount, date and contract number
    // and both totals print whole, and nothing is cut short with "…".
    void printedNumbersWhole_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("grouped");
        QTest::newRow("13 rows, grouped") << 13 << true;
        QTest::newRow("200 rows") << 200 << false;
    }
    void printedNumbersWhole() {
        QFETCH(int, rows);
        QFETCH(bool, grouped);
        if (!pdftext::available())
            QSKIP("pdftotext (poppler-utils) is not installed");
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(registerColumns());
        grid.setSourceModel(&table);
        fillLarge(table, rows);
        if (grouped)
            grid.groupBy(0);
        grid.expandAll();
        GridPrinter printer(&grid);
        printer.setTitle(QStringLiteral("Само изплатените уреди за период от 01.10.2026 до 30.11.2026"));
        printer.preview(nullptr);
        // RESALE_SHOTS_DIR keeps the printout to look at.
        if (qEnvironmentVariableIsSet("RESALE_SHOTS_DIR"))
            QFile::copy(PrintService::lastPreviewPdf(), qEnvironmentVariable("RESALE_SHOTS_DIR") +
                                                            QStringLiteral("/register-%1-rows.pdf").arg(rows));
        const QString text = pdftext::text(PrintService::lastPreviewPdf());
        QVERIFY(!text.contains(QChar(0x2026)));
        GroupingModel* model = grid.model();
        for (int c : {5, 8}) {
            const QString sum = model->footerText(c);
            QVERIFY(sum.size() >= 13); // eight digits and more
            QVERIFY2(text.contains(sum), qPrintable(sum));
        }
        for (int r = 0; r < rows; ++r)
            for (int c : {1, 5, 8}) {
                const QString t = model->displayText(r, c);
                QVERIFY2(text.contains(t), qPrintable(t));
            }
        QCOMPARE(text.count(QStringLiteral("31.10.2026")), 3 * rows);
    }

    // The totals are never alone on the last page: the last row goes with them.
    void totalsStayWithTheLastRows() {
        if (!pdftext::available())
            QSKIP("pdftotext (poppler-utils) is not installed");
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(registerColumns());
        grid.setSourceModel(&table);
        GridPrinter printer(&grid);
        QPrinter probe(QPrinter::HighResolution);
        GridPrinter::setupPage(&probe);
        // The first count of rows whose totals no longer fit on the pages of the rows.
        int rows = 20, pages = 0;
        fillLarge(table, rows);
        pages = printer.pageCount(&probe);
        for (;; ++rows) {
            QVERIFY(rows < 400);
            fillLarge(table, rows + 1);
            if (printer.pageCount(&probe) > pages)
                break;
        }
        ++rows;
        fillLarge(table, rows);
        pages = printer.pageCount(&probe);
        QVERIFY(pages >= 2);
        printer.preview(nullptr);
        const QString pdf = PrintService::lastPreviewPdf();
        QCOMPARE(pdftext::pages(pdf), pages);
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(pages),
                                              QStringLiteral("-l"), QString::number(pages), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(60000));
        const QString last = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(last.contains(grid.model()->footerText(5)), qPrintable(last));
        QVERIFY2(last.contains(QString::number(100000 + rows - 1)), qPrintable(last)); // the last row
    }

    // Portrait while the register fits it; landscape when portrait would need
    // too small a font; the numbers print whole either way.
    void orientationFitsTheColumns() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(registerColumns());
        grid.setSourceModel(&table);
        fillLarge(table, 20);
        GridPrinter printer(&grid);
        QPrinter p(QPrinter::HighResolution);
        GridPrinter::setupPage(&p);
        printer.fitOrientation(&p);
        QCOMPARE(p.pageLayout().orientation(), QPageLayout::Portrait);
        QVERIFY(printer.bodyPointSize(&p) >= 6.0);

        // Fourteen columns of nine-digit amounts.
        GroupingGrid wide;
        GridTableModel many;
        QList<GridColumn> columns;
        QStringList names;
        QVector<QVariant> values;
        for (int c = 0; c < 14; ++c) {
            columns.append({QStringLiteral("sum%1").arg(c), QStringLiteral("Сума %1").arg(c), c,
                            GridColumn::Kind::Money, true, false, true});
            names << QStringLiteral("S%1").arg(c);
        }
        for (int r = 0; r < 30; ++r)
            for (int c = 0; c < 14; ++c)
                values << 123456789.25 + r + c;
        wide.setColumns(columns);
        wide.setSourceModel(&many);
        many.reset(names, values);
        GridPrinter widePrinter(&wide);
        QPrinter q(QPrinter::HighResolution);
        GridPrinter::setupPage(&q);
        widePrinter.fitOrientation(&q);
        QCOMPARE(q.pageLayout().orientation(), QPageLayout::Landscape);
        if (!pdftext::available())
            return;
        widePrinter.preview(nullptr);
        if (qEnvironmentVariableIsSet("RESALE_SHOTS_DIR"))
            QFile::copy(PrintService::lastPreviewPdf(), qEnvironmentVariable("RESALE_SHOTS_DIR") +
                                                            QStringLiteral("/register-landscape.pdf"));
        const QString text = pdftext::text(PrintService::lastPreviewPdf());
        QVERIFY(!text.contains(QChar(0x2026)));
        for (int c = 0; c < 14; ++c)
            QVERIFY2(text.contains(wide.model()->footerText(c)), qPrintable(wide.model()->footerText(c)));
    }

    void printingCanBeCancelled() {
        GroupingGrid grid;
        GridTableModel table;
        grid.setColumns(columns());
        grid.setSourceModel(&table);
        fill(table, 3000);
        grid.groupBy(0);
        GridPrinter printer(&grid);
        int calls = 0;
        int reportedPages = 0;
        printer.setProgress([&](int page, int pages) {
            ++calls;
            reportedPages = pages;
            return page < 2;
        });
        QPrinter out(QPrinter::HighResolution);
        GridPrinter::setupPage(&out);
        out.setOutputFormat(QPrinter::PdfFormat);
        out.setOutputFileName(m_out->filePath(QStringLiteral("cancelled.pdf")));
        QVERIFY(!printer.print(&out));
        QCOMPARE(calls, 2);
        QVERIFY(reportedPages > 20);
        QCOMPARE(pdftext::pages(out.outputFileName()), 2);
    }

    void pageSetup() {
        QPrinter p(QPrinter::HighResolution);
        GridPrinter::setupPage(&p);
        const QPageLayout l = p.pageLayout();
        QCOMPARE(l.pageSize().id(), QPageSize::A4);
        QCOMPARE(l.orientation(), QPageLayout::Portrait);
        const QMarginsF m = l.margins(QPageLayout::Millimeter);
        QCOMPARE(qRound(m.left() * 10), 177);
        QCOMPARE(qRound(m.right() * 10), 127);
        QCOMPARE(qRound(m.top() * 10), 127);
        QCOMPARE(qRound(m.bottom() * 10), 127);
    }

private:
    std::unique_ptr<QTemporaryDir> m_out;
};

QTEST_MAIN(TestGroupingGrid)
#include "TestGroupingGrid.moc"
