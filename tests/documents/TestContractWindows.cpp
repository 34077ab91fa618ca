#include "documents/RtfReader.h"
#include "documents/ui/ConsignmentContractWindow.h"
#include "documents/ui/ContractPrinting.h"
#include "documents/ui/JustifiedTextEdit.h"
#include "documents/ui/SaleContractWindow.h"
#include "tests/documents/SampleConsignment.h"
#include "tests/documents/SampleSaleValues.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMultiHash>
#include <QPageLayout>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

int pdfPageCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(u"/Type\\s*/Page(?!s)"_s);
    return int(QString::fromLatin1(f.readAll()).count(page));
}

// Text of the PDF (one page, or all when page is 0); empty when pdftotext
// is not installed.
QString pdfText(const QString& path, int page = 0) {
    const QString tool = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (tool.isEmpty())
        return {};
    QStringList args{u"-layout"_s};
    if (page > 0)
        args << u"-f"_s << QString::number(page) << u"-l"_s << QString::number(page);
    args << path << u"-"_s;
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Boxes of the words of a PDF page in points, from pdftotext -bbox; empty
// when pdftotext is not installed.
QMultiHash<QString, QRectF> pdfWordBoxes(const QString& path, int page = 1) {
    QMultiHash<QString, QRectF> boxes;
    const QString tool = QStandardPaths::findExecutable(u"pdftotext"_s);
    if (tool.isEmpty())
        return boxes;
    QProcess p;
    p.start(tool, {u"-bbox"_s, u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), path, u"-"_s});
    p.waitForFinished(60000);
    static const QRegularExpression word(
        uR"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"_s);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    for (auto m = word.globalMatch(html); m.hasNext();) {
        const auto w = m.next();
        boxes.insert(w.captured(5), QRectF(QPointF(w.captured(1).toDouble(), w.captured(2).toDouble()),
                                           QPointF(w.captured(3).toDouble(), w.captured(4).toDouble())));
    }
    return boxes;
}

QString writeTemplate(const QTemporaryDir& dir, const QByteArray& rtf) {
    const QString path = QDir(dir.path()).filePath(u"salecontract.rtf"_s);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(rtf);
    return path;
}

bool havePdfToText() {
    return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty();
}

ConsignmentContractData contractData(double price = 150) {
    return sampleConsignment(318, QDate(2026, 2, 3), price);
}


QString shippedTemplate() {
    return testenv::sourceDir() + u"/documents/salecontract.rtf"_s;
}

} // namespace

class TestContractWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void consignmentContractControls();
    void documentRebuiltOnEveryShow();
    void linesShownAsPrinted();
    void printCopies_data();
    void printCopies();
    void cancelledDialogPrintsNothing();
    void uncollatedPageOrder();
    void printedContractText();
    void contractRulesPrintBlack();
    void printerSetup();

    void rtfMissingTemplate();
    void rtfNotRtf();
    void rtfShippedTemplateFilled();
    void rtfLongTemplateOnOnePage();
    void rtfControls();
    void rtfIndentsPrintAtTheirSize();
    void rtfDamagedTemplateWarnsOnce();
    void rtfTabStopsPrintWhereSet();
    void rtfHeaderAndFooterOnThePage();
    void headerAndFooterOnEveryPage();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestContractWindows::initTestCase() {
    m_dir = testenv::tempDir();
    MessageService::setScripted(true);
}

void TestContractWindows::init() {
    PrintService::setScripted(true, m_dir->path());
    MessageService::clearShown();
    // Output of earlier cases must not be mistaken for this one's.
    for (const QString& f : QDir(m_dir->path()).entryList({u"*.pdf"_s}))
        QFile::remove(QDir(m_dir->path()).filePath(f));
}

void TestContractWindows::consignmentContractControls() {
    ConsignmentContractWindow w;
    QCOMPARE(w.windowTitle(), u"Преглед и печат на договор за консигнация"_s);
    auto* spin = w.findChild<QSpinBox*>(u"spCopies"_s);
    QVERIFY(spin);
    QCOMPARE(spin->value(), 2);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 4);
    spin->setValue(0);
    QCOMPARE(spin->value(), 1);
    auto* print = w.findChild<QPushButton*>(u"CorelButton1"_s);
    auto* close = w.findChild<QPushButton*>(u"CorelButton2"_s);
    QVERIFY(print && close);
    QCOMPARE(print->text(), u"Печат"_s);
    QCOMPARE(close->text(), u"Изход"_s);
    QVERIFY(w.findChild<QTextEdit*>(u"RichView1"_s));
    bool labelled = false;
    for (auto* l : w.findChildren<QLabel*>())
        labelled |= l->text() == u"Брой копия"_s && l->buddy() == spin;
    QVERIFY(labelled);
}

// The window breaks the contract's lines where the printed contract does:
// the three lines for a changed price stay whole, dots and all.
void TestContractWindows::linesShownAsPrinted() {
    ConsignmentContractWindow w;
    w.setData(contractData());
    w.show();
    QTextDocument* shown = ui::control<QTextEdit>(&w, "RichView1")->document();
    QApplication::processEvents();
    (void)shown->documentLayout()->documentSize(); // laid out
    QPrinter printer(QPrinter::HighResolution);
    ConsignmentContractWindow::setupPrinter(&printer, 1);
    std::unique_ptr<QTextDocument> printed(shown->clone());
    printed->documentLayout()->setPaintDevice(&printer);
    printed->setDocumentMargin(0);
    printed->setPageSize(printer.pageRect(QPrinter::DevicePixel).size());
    (void)printed->pageCount();
    int changedPriceLines = 0;
    for (QTextBlock a = shown->begin(), b = printed->begin(); a.isValid() && b.isValid(); a = a.next(), b = b.next()) {
        QVERIFY(a.layout() && b.layout());
        if (a.text().startsWith(u"Сменената цена"_s)) {
            ++changedPriceLines;
            QCOMPARE(a.layout()->lineCount(), 1);
        }
        QVERIFY2(a.layout()->lineCount() == b.layout()->lineCount(),
                 qPrintable(u"%1: %2 on screen, %3 printed"_s.arg(a.text().left(40))
                                .arg(a.layout()->lineCount())
                                .arg(b.layout()->lineCount())));
    }
    QCOMPARE(changedPriceLines, 3);
}

void TestContractWindows::documentRebuiltOnEveryShow() {
    ConsignmentContractWindow w;
    double price = 150;
    w.setDataSource([&price]() { return contractData(price); });
    w.show();
    QVERIFY(ui::control<QTextEdit>(&w, "RichView1")->toPlainText().contains(u"  150.00 лв."_s));
    ui::control<QSpinBox>(&w, "spCopies")->setValue(3);
    w.hide();
    price = 275.4;
    w.show();
    const QString text = ui::control<QTextEdit>(&w, "RichView1")->toPlainText();
    QVERIFY(text.contains(u"  275.40 лв. словом: Двеста седемдесет и пет лв. 40 ст."_s));
    QVERIFY(!text.contains(u"150.00"_s));
    QVERIFY(text.contains(u"Днес, 03.02.2026,"_s));
    QCOMPARE(ui::control<QSpinBox>(&w, "spCopies")->value(), 3);
    // Escape closes the window.
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(!w.isVisible());
}

void TestContractWindows::printCopies_data() {
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("expected");
    QTest::newRow("as preset") << -1 << 2;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("four") << 4 << 4;
    QTest::newRow("ten limited to four") << 10 << 4;
}

void TestContractWindows::printCopies() {
    QFETCH(int, chosen);
    QFETCH(int, expected);
    ConsignmentContractWindow w;
    w.setData(contractData());
    w.rebuild();
    PrintService::queueDialogAnswer(true, chosen);
    w.print();
    QCOMPARE(PrintService::dialogCount(), 1);
    QCOMPARE(ui::control<QSpinBox>(&w, "spCopies")->value(), expected);
    const QString pdf = QDir(m_dir->path()).filePath(u"print-1.pdf"_s);
    QVERIFY(QFile::exists(pdf));
    const int pages = pdfPageCount(pdf);
    QVERIFY(pages > 0);
    QCOMPARE(pages % expected, 0);
    QVERIFY(pages / expected >= 1);
}

void TestContractWindows::cancelledDialogPrintsNothing() {
    ConsignmentContractWindow w;
    w.setData(contractData());
    w.rebuild();
    ui::control<QSpinBox>(&w, "spCopies")->setValue(3);
    PrintService::queueDialogAnswer(false, 1);
    w.print();
    QCOMPARE(ui::control<QSpinBox>(&w, "spCopies")->value(), 3);
    QVERIFY(QDir(m_dir->path()).entryList({u"*.pdf"_s}).isEmpty());
}

void TestContractWindows::uncollatedPageOrder() {
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    // A document of three pages, each starting with its own mark.
    QTextDocument doc;
    QTextCursor c(&doc);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) {
            QTextBlockFormat breakBefore;
            breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            c.insertBlock(breakBefore);
        }
        c.insertText(u"PAGEMARK%1"_s.arg(page));
    }
    QPrinter printer(QPrinter::HighResolution);
    ConsignmentContractWindow::setupPrinter(&printer, 2);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QDir(m_dir->path()).filePath(u"order.pdf"_s);
    printer.setOutputFileName(pdf);
    QVERIFY(!printer.supportsMultipleCopies());
    QCOMPARE(ContractPrinting::printCopies(doc, &printer, 2), 3);
    QCOMPARE(printer.copyCount(), 2);
    QCOMPARE(pdfPageCount(pdf), 6);
    const int expected[] = {1, 1, 2, 2, 3, 3};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(pdfText(pdf, i + 1).trimmed(), u"PAGEMARK%1"_s.arg(expected[i]));
}

void TestContractWindows::printedContractText() {
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    ConsignmentContractWindow w;
    w.setData(contractData());
    w.rebuild();
    PrintService::queueDialogAnswer(true, 1);
    w.print();
    const QString text = pdfText(QDir(m_dir->path()).filePath(u"print-1.pdf"_s));
    for (const QString& part : {u"Договор за консигнация №318"_s, u"Днес, 03.02.2026, се сключи"_s,
                                u"150.00 лв. словом: Сто и петдесет лв. 00 ст."_s, u"ДЕКЛАРАЦИЯ"_s, u"РАЗПИСКА"_s,
                                u"по договор No318"_s, u"Хладилник Gorenje"_s})
        QVERIFY2(text.simplified().contains(part), qPrintable(part));
}

// The rules under the contract's headings print in the text's black, not
// in a grey taken from the palette.
void TestContractWindows::contractRulesPrintBlack() {
    if (QStandardPaths::findExecutable(u"pdftoppm"_s).isEmpty())
        QSKIP("pdftoppm is not installed");
    ConsignmentContractWindow w;
    w.setData(contractData());
    w.rebuild();
    PrintService::queueDialogAnswer(true, 1);
    w.print();
    const QString pdf = QDir(m_dir->path()).filePath(u"print-1.pdf"_s);
    const QString stem = QDir(m_dir->path()).filePath(u"rules"_s);
    QProcess p;
    p.start(u"pdftoppm"_s, {u"-r"_s, u"100"_s, u"-gray"_s, u"-f"_s, u"1"_s, u"-l"_s, u"1"_s, u"-png"_s, pdf, stem});
    QVERIFY(p.waitForFinished(60000));
    QDir dir(m_dir->path());
    const QStringList pages = dir.entryList({u"rules*.png"_s});
    QVERIFY(!pages.isEmpty());
    QImage page(dir.filePath(pages.first()));
    QVERIFY(!page.isNull());
    page = page.convertToFormat(QImage::Format_Grayscale8);
    // A rule is a row inked across more than half the page's width.
    int rules = 0;
    for (int y = 0; y < page.height(); ++y) {
        const uchar* line = page.constScanLine(y);
        int inked = 0, darkest = 255;
        for (int x = 0; x < page.width(); ++x)
            if (line[x] < 240) {
                ++inked;
                darkest = qMin<int>(darkest, line[x]);
            }
        if (inked > page.width() / 2) {
            ++rules;
            QVERIFY2(darkest < 60, qPrintable(u"rule at row %1 is grey (%2)"_s.arg(y).arg(darkest)));
        }
    }
    QVERIFY(rules > 0);
}

void TestContractWindows::printerSetup() {
    QPrinter printer(QPrinter::HighResolution);
    ConsignmentContractWindow::setupPrinter(&printer, 3);
    const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
    QCOMPARE(qRound(m.left()), 20);
    QCOMPARE(qRound(m.right()), 10);
    QCOMPARE(qRound(m.top()), 20);
    QCOMPARE(qRound(m.bottom()), 20);
    QCOMPARE(printer.docName(), u"Contract"_s);
    QVERIFY(!printer.collateCopies());
    QCOMPARE(printer.copyCount(), 3);

    QPrinter a4(QPrinter::HighResolution);
    SaleContractWindow::setupPage(&a4);
    QCOMPARE(a4.pageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(a4.pageLayout().orientation(), QPageLayout::Portrait);
    const QMarginsF r = a4.pageLayout().margins(QPageLayout::Millimeter);
    QCOMPARE(qRound(r.left()), 15);
    QCOMPARE(qRound(r.top()), 10);
    QCOMPARE(qRound(r.right()), 10);
    QCOMPARE(qRound(r.bottom()), 10);
}

void TestContractWindows::rtfMissingTemplate() {
    auto empty = testenv::tempDir();
    SaleContractWindow w;
    w.setTemplateDir(empty->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    QCOMPARE(MessageService::shown().size(), 1);
    const auto shown = MessageService::shown().first();
    QCOMPARE(shown.text, u"Не е намерен RTF-файла с договора за продажба."_s);
    QCOMPARE(shown.caption, u"Съобщение"_s);
    QCOMPARE(shown.icon, QMessageBox::Critical);
    QVERIFY(!w.isLoaded());
    w.preview();
    QCOMPARE(PrintService::previewCount(), 0);
}

void TestContractWindows::rtfNotRtf() {
    auto dir = testenv::tempDir();
    QFile f(QDir(dir->path()).filePath(u"salecontract.rtf"_s));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 this is a docx saved under the wrong name");
    f.close();
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.loadTemplate();
    QCOMPARE(MessageService::lastText(), u"Файлът с договора не е във формат RTF."_s);
    w.preview();
    QCOMPARE(PrintService::previewCount(), 0);
}

void TestContractWindows::rtfShippedTemplateFilled() {
    auto dir = testenv::tempDir();
    QVERIFY(QFile::copy(shippedTemplate(), QDir(dir->path()).filePath(u"salecontract.rtf"_s)));
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    QVERIFY(MessageService::shown().isEmpty());
    QVERIFY(w.isLoaded());
    const QString text = ui::control<JustifiedTextEdit>(&w, "RichEdit")->toPlainText();
    QVERIFY2(!text.contains(u'$'), qPrintable(text));
    QVERIFY(w.replacedCount() >= 21);
    QVERIFY(text.contains(u"Петър Стоянов"_s));
    QVERIFY(text.contains(u"Триста и двадесет лв. 00 ст."_s));
    w.preview();
    QCOMPARE(PrintService::previewCount(), 1);
    const QString pdf = PrintService::lastPreviewPdf();
    QCOMPARE(pdfPageCount(pdf), 1);
    if (havePdfToText()) {
        const QString printed = pdfText(pdf).simplified();
        QVERIFY(printed.contains(u"ДОГОВОР ЗА ПОКУПКО-ПРОДАЖБА"_s));
        QVERIFY(printed.contains(u"Петър Стоянов"_s));
        QVERIFY(printed.contains(u"Продажби ВТОРА УПОТРЕБА"_s));
    }
}

void TestContractWindows::rtfLongTemplateOnOnePage() {
    auto dir = testenv::tempDir();
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 Times New Roman;}}\\f0\\fs24 ";
    for (int page = 1; page <= 30; ++page) {
        rtf += "\\pard\\qc\\b Page " + QByteArray::number(page) + " $clientname$\\b0\\par ";
        for (int i = 0; i < 40; ++i)
            rtf += "\\pard\\qj \\'d2\\'e5\\'ea\\'f1\\'f2 line " + QByteArray::number(i) + " of the contract.\\par ";
        rtf += "\\page ";
    }
    rtf += "}";
    QFile f(QDir(dir->path()).filePath(u"salecontract.rtf"_s));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(rtf);
    f.close();
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    QVERIFY(w.isLoaded());
    QCOMPARE(w.replacedCount(), 30);
    w.preview();
    QCOMPARE(pdfPageCount(PrintService::lastPreviewPdf()), 1);
}

void TestContractWindows::rtfControls() {
    SaleContractWindow w;
    QCOMPARE(w.windowTitle(), u"Печат"_s);
    auto* edit = w.findChild<JustifiedTextEdit*>(u"RichEdit"_s);
    QVERIFY(edit);
    QCOMPARE(edit->toPlainText(), u"RichEdit"_s);
    QVERIFY(w.findChild<QPushButton*>(u"btnLoadRTF"_s));
    QCOMPARE(w.findChild<QPushButton*>(u"btnPrint"_s)->text(), u"Печат"_s);
    QVERIFY(w.findChild<QPushButton*>(u"btnReplace"_s)->isHidden());
    QCOMPARE(w.templatePath(), QDir(QCoreApplication::applicationDirPath()).filePath(u"salecontract.rtf"_s));
    edit->setupJustification();
    QCOMPARE(edit->document()->begin().blockFormat().alignment(), Qt::AlignJustify);
    QVERIFY(!edit->textCursor().hasSelection());
    QCOMPARE(edit->textCursor().position(), 0);
}

void TestContractWindows::rtfIndentsPrintAtTheirSize() {
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    // A 1-inch left indent, a 1 cm first-line indent, a 2-inch right indent
    // on a right-aligned paragraph, a block 1 inch below its predecessor and
    // a table row indented by half an inch, measured from the unindented
    // paragraph's left edge.
    auto dir = testenv::tempDir();
    writeTemplate(*dir, "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 "
                        "\\pard Basemark\\par "
                        "\\pard\\li1440 Leftmark\\par "
                        "\\pard\\fi567 Firstmark\\par "
                        "\\pard\\qr\\ri2880 Rightmark\\par "
                        "\\pard Abovemark\\par \\pard\\sb1440 Belowmark\\par "
                        "\\trowd\\trleft720\\cellx3000\\pard\\intbl Cellmark\\cell\\row "
                        "\\pard Endmark\\par }");
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    QVERIFY(w.isLoaded());
    w.preview();
    const auto boxes = pdfWordBoxes(PrintService::lastPreviewPdf());
    for (const char* word : {"Basemark", "Leftmark", "Firstmark", "Rightmark", "Abovemark", "Belowmark", "Cellmark"})
        QVERIFY2(boxes.contains(QString::fromLatin1(word)), word);
    const qreal base = boxes.value(u"Basemark"_s).left();
    // The page is A4 with 15 mm and 10 mm side margins.
    const qreal rightEdge = (210 - 10) / 25.4 * 72;
    QVERIFY2(qAbs(boxes.value(u"Leftmark"_s).left() - base - 72) < 1.5, qPrintable(QString::number(boxes.value(u"Leftmark"_s).left() - base)));
    QVERIFY2(qAbs(boxes.value(u"Firstmark"_s).left() - base - 567 / 20.0) < 1.5, qPrintable(QString::number(boxes.value(u"Firstmark"_s).left() - base)));
    QVERIFY2(qAbs(rightEdge - boxes.value(u"Rightmark"_s).right() - 144) < 3, qPrintable(QString::number(rightEdge - boxes.value(u"Rightmark"_s).right())));
    const qreal gap = boxes.value(u"Belowmark"_s).top() - boxes.value(u"Abovemark"_s).bottom();
    QVERIFY2(gap > 72 && gap < 72 + 6, qPrintable(QString::number(gap)));
    // The cell's text starts half an inch in (the row has no cell padding).
    const qreal cell = boxes.value(u"Cellmark"_s).left() - base;
    QVERIFY2(qAbs(cell - 36) < 1.5, qPrintable(QString::number(cell)));
}

void TestContractWindows::rtfDamagedTemplateWarnsOnce() {
    // Stray control characters and a file cut off in the middle of the text.
    auto dir = testenv::tempDir();
    writeTemplate(*dir, QByteArray("{\\rtf1\\ansi Buyer: $clientname$\x01\x02\\par Seller: $salorname$\\par {\\b Pri"));
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    QVERIFY(w.isLoaded());
    QCOMPARE(MessageService::shown().size(), 1);
    const auto shown = MessageService::shown().first();
    QCOMPARE(shown.caption, u"Съобщение"_s);
    QCOMPARE(shown.icon, QMessageBox::Warning);
    QCOMPARE(shown.text, u"Шаблонът на договора е повреден: файлът свършва, преди договорът да е завършен, и текстът "
                         "след прекъсването липсва; 2 управляващи знака в текста са пропуснати. Прегледайте договора, "
                         "преди да го дадете за подпис."_s);
    // What was read is filled in and can still be printed.
    const QString text = ui::control<JustifiedTextEdit>(&w, "RichEdit")->toPlainText();
    QCOMPARE(text, u"Buyer: Петър Стоянов\nSeller: Иван Иванов\nPri"_s);
    w.preview();
    QCOMPARE(PrintService::previewCount(), 1);
    QCOMPARE(MessageService::shown().size(), 1);

    // A sound template says nothing.
    MessageService::clearShown();
    writeTemplate(*dir, "{\\rtf1\\ansi Buyer: $clientname$\\par}");
    w.loadTemplate();
    QVERIFY(MessageService::shown().isEmpty());
}

void TestContractWindows::rtfTabStopsPrintWhereSet() {
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    auto dir = testenv::tempDir();
    writeTemplate(*dir, "{\\rtf1\\ansi\\deftab1440{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs20 "
                        "\\pard Basemark\\par "
                        "\\pard\\tx4320 L\\tab Lefttab\\par "
                        "\\pard\\li720\\tx4320 I\\tab Indenttab\\par "
                        "\\pard\\tqr\\tx8640 \\tab Righttab\\par "
                        "\\pard\\tqc\\tx4320 \\tab Centretab\\par "
                        "\\pard\\tqdec\\tx4320 \\tab 12345.67\\par "
                        "\\pard D\\tab Defaulttab\\par "
                        "\\pard\\tldot\\tx4320\\tlul\\tqr\\tx8640 Seller\\tab Buyer\\tab\\par }");
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    w.preview();
    const auto boxes = pdfWordBoxes(PrintService::lastPreviewPdf());
    const qreal base = boxes.value(u"Basemark"_s).left();
    auto near = [](qreal got, qreal want) { return qAbs(got - want) < 1.5; };
    const QRectF left = boxes.value(u"Lefttab"_s), indent = boxes.value(u"Indenttab"_s),
                 right = boxes.value(u"Righttab"_s), centre = boxes.value(u"Centretab"_s),
                 decimal = boxes.value(u"12345.67"_s), deflt = boxes.value(u"Defaulttab"_s);
    QVERIFY2(near(left.left() - base, 216), qPrintable(QString::number(left.left() - base)));
    QVERIFY2(near(indent.left() - base, 216), qPrintable(QString::number(indent.left() - base)));
    QVERIFY2(near(right.right() - base, 432), qPrintable(QString::number(right.right() - base)));
    QVERIFY2(near(centre.center().x() - base, 216), qPrintable(QString::number(centre.center().x() - base)));
    // The decimal point sits on the stop: the integer part ends before it.
    QVERIFY2(decimal.left() - base < 216 && decimal.right() - base > 216, qPrintable(QString::number(decimal.left() - base)));
    QVERIFY2(near(deflt.left() - base, 72), qPrintable(QString::number(deflt.left() - base)));
}

void TestContractWindows::rtfHeaderAndFooterOnThePage() {
    // The header names the firm, the footer counts the pages; a merged
    // header cell holds a placeholder too.
    auto dir = testenv::tempDir();
    writeTemplate(*dir, "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 DejaVu Sans;}}\\f0\\fs20 "
                        "{\\header\\pard\\qr Headmark $firmname$\\par}"
                        "{\\footer\\pard\\qc Footmark {\\field{\\*\\fldinst PAGE}{\\fldrslt 5}} / "
                        "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 6}}\\par}"
                        "\\pard Bodymark $clientname$\\par "
                        "\\trowd\\clmgf\\cellx3000\\clmrg\\cellx6000\\pard\\intbl Merged $dogovor$\\cell\\cell\\row "
                        "\\pard Lastmark\\par}");
    SaleContractWindow w;
    w.setTemplateDir(dir->path());
    w.setValues(sampleSaleValues());
    w.loadTemplate();
    QVERIFY(w.isLoaded());
    // One in the body, one in the merged cell, one in the header.
    QCOMPARE(w.replacedCount(), 3);
    w.preview();
    const QString pdf = PrintService::lastPreviewPdf();
    QCOMPARE(pdfPageCount(pdf), 1);
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    const QString text = pdfText(pdf).simplified();
    QVERIFY2(text.contains(u"Headmark Орвел ООД"_s), qPrintable(text));
    QVERIFY2(text.contains(u"Footmark 1 / 1"_s), qPrintable(text));
    QVERIFY2(text.contains(u"Merged 4711"_s), qPrintable(text));
    const auto boxes = pdfWordBoxes(pdf);
    const QRectF head = boxes.value(u"Headmark"_s), body = boxes.value(u"Bodymark"_s),
                 last = boxes.value(u"Lastmark"_s), foot = boxes.value(u"Footmark"_s),
                 program = boxes.value(u"Документът"_s);
    // Header above the text, right-aligned; footer at the foot above the
    // program's line.
    QVERIFY(head.bottom() <= body.top());
    QVERIFY(head.left() > body.left() + 200);
    QVERIFY(foot.top() > 700);
    QVERIFY(foot.bottom() <= program.top());
    QVERIFY(last.bottom() < foot.top());
}

void TestContractWindows::headerAndFooterOnEveryPage() {
    // A three-page document printed page by page: each page carries the
    // header, and its own number in the footer.
    QByteArray rtf = "{\\rtf1\\ansi{\\header\\pard Header line\\par}"
                     "{\\footer\\pard\\qc Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} of "
                     "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par}";
    for (int page = 1; page <= 3; ++page)
        rtf += "\\pard Text of sheet " + QByteArray::number(page) + "\\par" + (page < 3 ? "\\page " : "");
    rtf += "}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    const QString pdf = QDir(m_dir->path()).filePath(u"bands.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QCOMPARE(ContractPrinting::printCopies(doc, &printer, 1), 3);
    QCOMPARE(pdfPageCount(pdf), 3);
    if (!havePdfToText())
        QSKIP("pdftotext is not installed");
    for (int page = 1; page <= 3; ++page) {
        const QString text = pdfText(pdf, page).simplified();
        QVERIFY2(text.startsWith(u"Header line Text of sheet %1"_s.arg(page)), qPrintable(text));
        QVERIFY2(text.endsWith(u"Page %1 of 3"_s.arg(page)), qPrintable(text));
    }
}

int main(int argc, char** argv) {
    testenv::isolateSettings();
    QApplication app(argc, argv);
    TestContractWindows t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestContractWindows.moc"
