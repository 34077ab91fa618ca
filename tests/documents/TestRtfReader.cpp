#include "documents/RtfReader.h"
#include "tests/support/TestEnv.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

using namespace Qt::StringLiterals;

namespace {

QString readText(const QByteArray& rtf, bool* ok = nullptr, QString* error = nullptr) {
    QTextDocument doc;
    QString e;
    const bool r = RtfReader::read(rtf, &doc, &e);
    if (ok)
        *ok = r;
    if (error)
        *error = e;
    return doc.toPlainText();
}

// Character format of the first character of text in doc.
QTextCharFormat formatOf(QTextDocument& doc, const QString& text) {
    QTextCursor c = doc.find(text);
    if (c.isNull())
        return {};
    QTextCursor first(&doc);
    first.setPosition(c.selectionStart() + 1);
    return first.charFormat();
}

QTextBlockFormat blockOf(QTextDocument& doc, const QString& text) {
    QTextCursor c = doc.find(text);
    return c.isNull() ? QTextBlockFormat() : c.block().blockFormat();
}

const QByteArray kHead = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}"
                         "{\\f1\\fswiss\\fcharset0 Arial;}{\\f2\\fmodern\\fcharset238 Courier New CE;}}"
                         "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue128;\\red255\\green255\\blue0;}";

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void text_data();
    void text();
    void characterFormats();
    void paragraphFormats();
    void extremeNumbers();
    void pageBreak();
    void capitalsRaisingSpacing();
    void trackedDeletionsDropped();
    void tableBecomesRealTable();
    void twoTablesAndTextBetween();
    void pictures();
    void headersAndFooters();
    void tabStops();
    void paragraphBorders();
    void tableBorders();
    void mergedCells();
    void rowsKeepTheirOwnWidths();
    void cellShading();
    void adjacentTablesStayApart();
    void refused_data();
    void refused();
    void malformedLoadsWhatItCan_data();
    void malformedLoadsWhatItCan();
    void damage_data();
    void damage();
    void deepNesting();
    void randomGarbageAfterHeader();
    void largeFileWithPictures();
    void missingFile();
};

void TestRtfReader::text_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QByteArray("{\\rtf1\\ansi Hello world}") << u"Hello world"_s;
    QTest::newRow("cp1251 escapes") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'ec\\'e5\\'f0}")
                                    << u"Пример"_s;
    QTest::newRow("fcharset 204 under cp1252")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}\\f0 \\'cf\\'f0}")
        << u"Пр"_s;
    QTest::newRow("font switches code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset0 B;}}"
                      "\\f0\\'e0{\\f1\\'e0}\\'e0}")
        << u"аàа"_s;
    QTest::newRow("cp1250") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'8a\\'e8\\'9a\\'b9}") << u"Ščšą"_s;
    QTest::newRow("cp1252") << QByteArray("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}") << u"café €"_s;
    QTest::newRow("fcharset 238") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset238 X;}}\\f0\\'8a}") << u"Š"_s;
    QTest::newRow("unicode uc1") << QByteArray("{\\rtf1\\ansi\\uc1\\u1055?\\u1088?}") << u"Пр"_s;
    QTest::newRow("unicode uc2 hex fallback") << QByteArray("{\\rtf1\\ansi\\uc2\\u1055\\'cf\\'cf!}") << u"П!"_s;
    QTest::newRow("unicode uc0") << QByteArray("{\\rtf1\\ansi\\uc0\\u1055 x}") << u"Пx"_s;
    QTest::newRow("unicode negative") << QByteArray("{\\rtf1\\ansi\\u-4064?}") << QString(QChar(0xF020));
    QTest::newRow("unicode surrogates") << QByteArray("{\\rtf1\\ansi\\u-10179?\\u-8704?}") << u"😀"_s;
    QTest::newRow("uc scoped to group") << QByteArray("{\\rtf1\\ansi{\\uc2\\u1055??}\\u1088?}") << u"Пр"_s;
    QTest::newRow("fallback ends at group") << QByteArray("{\\rtf1\\ansi\\uc3\\u1055{a}b}") << u"Пab"_s;
    QTest::newRow("escaped symbols") << QByteArray("{\\rtf1 a\\\\b\\{c\\}d}") << u"a\\b{c}d"_s;
    QTest::newRow("par and line") << QByteArray("{\\rtf1 one\\par two\\line three}") << u"one\ntwo\nthree"_s;
    QTest::newRow("tab") << QByteArray("{\\rtf1 a\\tab b}") << u"a\tb"_s;
    QTest::newRow("specials") << QByteArray(
                                     "{\\rtf1 a\\~b\\emdash c\\endash d\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
                              << u"a b—c–d•‘’“”"_s;
    QTest::newRow("optional hyphen") << QByteArray("{\\rtf1 ab\\-cd}") << u"abcd"_s;
    QTest::newRow("newlines ignored") << QByteArray("{\\rtf1 ab\r\ncd\n}") << u"abcd"_s;
    QTest::newRow("backslash newline is par") << QByteArray("{\\rtf1 ab\\\ncd}") << u"ab\ncd"_s;
    QTest::newRow("starred destination") << QByteArray("{\\rtf1 a{\\*\\generator Riched20;}{\\*\\unknown x{y}}b}")
                                         << u"ab"_s;
    QTest::newRow("info and stylesheet")
        << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}{\\s1 heading 1;}}{\\info{\\title T}{\\author A}}body}")
        << u"body"_s;
    QTest::newRow("picture hex") << QByteArray("{\\rtf1 a{\\pict\\pngblip\\picw10 89504e470d0a1a0a}b}") << u"ab"_s;
    QTest::newRow("picture binary") << QByteArray("{\\rtf1 a{\\pict\\bin6 }{x\\y}}b}") << u"ab"_s;
    QTest::newRow("headers footers") << QByteArray("{\\rtf1{\\header H}{\\footerr F}{\\headerf G}text}") << u"text"_s;
    QTest::newRow("field result kept")
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt {\\ul site}}} now}")
        << u"see site now"_s;
    QTest::newRow("field instruction without star")
        << QByteArray("{\\rtf1 {\\field{\\fldinst PAGE}{\\fldrslt 1}}}") << u"1"_s;
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}") << u"abd"_s;
    QTest::newRow("font table names decoded")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset204 \\'c0\\'f0\\'e8\\'e0\\'eb;}}\\f0 x}")
        << u"x"_s;
    QTest::newRow("listtext kept") << QByteArray("{\\rtf1{\\listtext 1.\\tab}item}") << u"1.\titem"_s;
    QTest::newRow("bom in front") << QByteArray("\xEF\xBB\xBF{\\rtf1 ok}") << u"ok"_s;
    QTest::newRow("utf8 code page") << QByteArray("{\\rtf1\\ansi\\ansicpg65001 \\'d0\\'9f}") << u"П"_s;
    QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << u"é"_s;
}

void TestRtfReader::text() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    bool ok = false;
    QCOMPARE(readText(rtf, &ok), text);
    QVERIFY(ok);
}

void TestRtfReader::characterFormats() {
    QTextDocument doc;
    const QByteArray rtf = kHead + "\\f0\\fs20 normal {\\b bold} {\\i italic} {\\ul under} {\\uld dots} {\\uldb dbl}"
                                   " {\\ulwave wave} {\\uldash dash} {\\strike struck} {\\f1 arial} {\\fs36 big}"
                                   " {\\cf1 red} {\\highlight3 marked} {\\cb2 navyback} {\\sub low} {\\super high}"
                                   " {\\b\\i\\plain plainer} {\\b\\b0 unbold} {\\ul\\ulnone noline} {\\f2 \\'8a}}";
    QVERIFY(RtfReader::read(rtf, &doc));
    QCOMPARE(formatOf(doc, u"normal"_s).fontFamilies().toStringList(), QStringList{u"Times New Roman"_s});
    QCOMPARE(formatOf(doc, u"normal"_s).fontPointSize(), 10.0);
    QCOMPARE(formatOf(doc, u"normal"_s).fontWeight(), int(QFont::Normal));
    QCOMPARE(formatOf(doc, u"bold"_s).fontWeight(), int(QFont::Bold));
    QVERIFY(formatOf(doc, u"italic"_s).fontItalic());
    QCOMPARE(formatOf(doc, u"under"_s).underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(formatOf(doc, u"dots"_s).underlineStyle(), QTextCharFormat::DotLine);
    QCOMPARE(formatOf(doc, u"dbl"_s).underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(formatOf(doc, u"wave"_s).underlineStyle(), QTextCharFormat::WaveUnderline);
    QCOMPARE(formatOf(doc, u"dash"_s).underlineStyle(), QTextCharFormat::DashUnderline);
    QVERIFY(formatOf(doc, u"struck"_s).fontStrikeOut());
    QCOMPARE(formatOf(doc, u"arial"_s).fontFamilies().toStringList(), QStringList{u"Arial"_s});
    QCOMPARE(formatOf(doc, u"big"_s).fontPointSize(), 18.0);
    QCOMPARE(formatOf(doc, u"red"_s).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatOf(doc, u"marked"_s).background().color(), QColor(255, 255, 0));
    QCOMPARE(formatOf(doc, u"navyback"_s).background().color(), QColor(0, 0, 128));
    QCOMPARE(formatOf(doc, u"low"_s).verticalAlignment(), QTextCharFormat::AlignSubScript);
    QCOMPARE(formatOf(doc, u"high"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    const auto plain = formatOf(doc, u"plainer"_s);
    QCOMPARE(plain.fontWeight(), int(QFont::Normal));
    QVERIFY(!plain.fontItalic());
    QCOMPARE(plain.fontPointSize(), 12.0);
    QCOMPARE(plain.fontFamilies().toStringList(), QStringList{u"Times New Roman"_s});
    QCOMPARE(formatOf(doc, u"unbold"_s).fontWeight(), int(QFont::Normal));
    QCOMPARE(formatOf(doc, u"noline"_s).underlineStyle(), QTextCharFormat::NoUnderline);
    QVERIFY(doc.toPlainText().endsWith(u"Š"_s));
    // Group ends restore the format in force before it.
    QCOMPARE(formatOf(doc, u" italic"_s).fontWeight(), int(QFont::Normal));
}

void TestRtfReader::paragraphFormats() {
    QTextDocument doc;
    const QByteArray rtf = kHead + "\\pard\\qc centred\\par\\pard\\qr right\\par\\pard\\qj justified\\par"
                                   "\\pard\\li1440\\ri720\\fi-360\\sb240\\sa120 indented\\par"
                                   "\\pard\\sl360\\slmult1 spaced\\par\\pard\\sl-300 exact\\par\\pard left}";
    QVERIFY(RtfReader::read(rtf, &doc));
    QCOMPARE(blockOf(doc, u"centred"_s).alignment(), Qt::AlignHCenter);
    QCOMPARE(blockOf(doc, u"right"_s).alignment(), Qt::AlignRight);
    QCOMPARE(blockOf(doc, u"justified"_s).alignment(), Qt::AlignJustify);
    const auto ind = blockOf(doc, u"indented"_s);
    QCOMPARE(ind.leftMargin(), 96.0);
    QCOMPARE(ind.rightMargin(), 48.0);
    QCOMPARE(ind.textIndent(), -24.0);
    QCOMPARE(ind.topMargin(), 16.0);
    QCOMPARE(ind.bottomMargin(), 8.0);
    const auto sp = blockOf(doc, u"spaced"_s);
    QCOMPARE(sp.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
    QCOMPARE(sp.lineHeight(), 150.0);
    QCOMPARE(blockOf(doc, u"exact"_s).lineHeightType(), int(QTextBlockFormat::FixedHeight));
    QCOMPARE(blockOf(doc, u"exact"_s).lineHeight(), 20.0);
    const auto left = blockOf(doc, u"left"_s);
    QCOMPARE(left.alignment(), Qt::AlignLeft);
    QCOMPARE(left.leftMargin(), 0.0);
}

// Parameters at the ends of the int range: spacing and cell widths come out of
// arithmetic on them and must not wrap round, and distances stay within a
// page so that laying the document out does not paginate for minutes.
void TestRtfReader::extremeNumbers() {
    QTextDocument doc;
    const QByteArray rtf = "{\\rtf1\\ansi\\pard\\sl2147483647\\slmult1 tall\\par"
                           "\\pard\\sl-2147483647\\slmult1 tall2\\par"
                           "\\trowd\\cellx-2147483647\\cellx2147483647\\intbl a\\cell b\\cell\\row"
                           "\\pard\\fs99999999\\li-2147483647 big\\par"
                           "\\pard\\sl2147483647\\sb2147483647\\sa2147483647\\li2147483647\\fi-2147483647 "
                           "one\\par two\\par\\sl-2147483647 three\\par}";
    QVERIFY(RtfReader::read(rtf, &doc));
    for (const auto& text : {u"tall"_s, u"tall2"_s}) {
        const auto f = blockOf(doc, text);
        QCOMPARE(f.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
        QCOMPARE(f.lineHeight(), 1000.0);
    }
    QTextTable* table = doc.find(u"b"_s).currentTable();
    QVERIFY(table);
    const auto widths = table->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 2);
    QCOMPARE(widths.at(0).rawValue(), 1 / 15.0);
    // Edges count from the row's left edge (0 here); an edge left of it gives
    // the narrowest cell.
    QCOMPARE(widths.at(1).rawValue(), (RtfReader::kMaxTwips - 1) / 15.0);
    QCOMPARE(formatOf(doc, u"big"_s).fontPointSize(), 1638.0);
    QCOMPARE(blockOf(doc, u"big"_s).leftMargin(), 0.0);
    const auto one = blockOf(doc, u"one"_s);
    QCOMPARE(one.lineHeight(), RtfReader::kMaxTwips / 15.0);
    QCOMPARE(one.topMargin(), RtfReader::kMaxTwips / 15.0);
    QCOMPARE(one.leftMargin(), RtfReader::kMaxTwips / 15.0);
    QCOMPARE(one.textIndent(), -RtfReader::kMaxTwips / 15.0);
    QCOMPARE(blockOf(doc, u"three"_s).lineHeightType(), int(QTextBlockFormat::FixedHeight));
    // On A4 each of these blocks takes a few pages at most, not millions.
    doc.setPageSize(QSizeF(794, 1123));
    QVERIFY2(doc.pageCount() < 40, qPrintable(QString::number(doc.pageCount())));
}

namespace {
QTextTable* firstTable(QTextDocument& doc) {
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            return t;
    return nullptr;
}

QString cellText(QTextTable* table, int row, int column) {
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor c = cell.firstCursorPosition();
    c.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return c.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
}

const QByteArray kBox = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";
} // namespace

void TestRtfReader::capitalsRaisingSpacing() {
    const QByteArray rtf = "{\\rtf1\\fs20 {\\caps heading}{\\scaps small}{\\caps\\caps0 plain}"
                           "{\\up6 raised}{\\dn lowered}{\\up0 level}{\\expnd8 wide}{\\expndtw-20 narrow}"
                           "{\\super sup}{\\sub sub}}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    // The text stays as written; the capitals are the font's.
    QCOMPARE(doc.toPlainText(), u"headingsmallplainraisedloweredlevelwidenarrowsupsub"_s);
    QCOMPARE(formatOf(doc, u"heading"_s).fontCapitalization(), QFont::AllUppercase);
    QCOMPARE(formatOf(doc, u"small"_s).fontCapitalization(), QFont::SmallCaps);
    QCOMPARE(formatOf(doc, u"plain"_s).fontCapitalization(), QFont::MixedCase);
    // Raised by 3 pt of a 10 pt font; \dn without a value lowers by 3 pt.
    QCOMPARE(formatOf(doc, u"raised"_s).baselineOffset(), 30.0);
    QCOMPARE(formatOf(doc, u"lowered"_s).baselineOffset(), -30.0);
    QCOMPARE(formatOf(doc, u"level"_s).baselineOffset(), 0.0);
    // 8 quarter points = 2 pt = 40 twips; -20 twips = -1 pt.
    QCOMPARE(formatOf(doc, u"wide"_s).fontLetterSpacingType(), QFont::AbsoluteSpacing);
    QCOMPARE(formatOf(doc, u"wide"_s).fontLetterSpacing(), 40 / 15.0);
    QCOMPARE(formatOf(doc, u"narrow"_s).fontLetterSpacing(), -20 / 15.0);
    // Spacing is kept within an inch either way, whatever the number.
    QTextDocument extreme;
    QVERIFY(RtfReader::read("{\\rtf1{\\expnd-2147483647 a}{\\expnd2147483647 b}}", &extreme));
    QCOMPARE(formatOf(extreme, u"a"_s).fontLetterSpacing(), -1440 / 15.0);
    QCOMPARE(formatOf(extreme, u"b"_s).fontLetterSpacing(), 1440 / 15.0);
    QCOMPARE(formatOf(doc, u"sup"_s).verticalAlignment(), QTextCharFormat::AlignSuperScript);
    QCOMPARE(formatOf(doc, u"sub"_s).verticalAlignment(), QTextCharFormat::AlignSubScript);
}

void TestRtfReader::trackedDeletionsDropped() {
    // A revised clause: the deleted wording goes, the inserted stays, and a
    // deleted paragraph mark joins its paragraphs.
    const QByteArray rtf = "{\\rtf1{\\*\\revtbl{Unknown;}{Owner;}}\\pard The price is "
                           "{\\deleted\\revauthdel1 100}{\\revised\\revauth1 120} leva."
                           "{\\deleted\\par} Paid in cash.\\par "
                           "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a{\\deleted old}\\cell b\\cell\\row}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QVERIFY(doc.toPlainText().startsWith(u"The price is 120 leva. Paid in cash.\n"_s));
    QCOMPARE(cellText(firstTable(doc), 0, 0), u"a"_s);
    QCOMPARE(cellText(firstTable(doc), 0, 1), u"b"_s);
}

void TestRtfReader::pageBreak() {
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 first\\page second\\par third}", &doc));
    QCOMPARE(doc.toPlainText(), u"first\nsecond\nthird"_s);
    QCOMPARE(blockOf(doc, u"second"_s).pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    QVERIFY(!(blockOf(doc, u"third"_s).pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore));
    QVERIFY(!(blockOf(doc, u"first"_s).pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore));
}

void TestRtfReader::tableBecomesRealTable() {
    // As Word writes a table: row definition, cells ended by \cell, row by \row.
    const QByteArray rtf = "{\\rtf1\\ansi before\\par"
                           "\\trowd\\trgaph108\\cellx3000\\cellx6000"
                           "\\pard\\intbl {\\b Name}\\cell \\pard\\intbl Value\\cell \\row "
                           "\\trowd\\trgaph108\\cellx3000\\cellx6000"
                           "\\pard\\intbl one\\par two\\cell \\pard\\intbl $price$\\cell \\row "
                           "\\pard after\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QTextTable* table = nullptr;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(f)))
            break;
    QVERIFY(table);
    QCOMPARE(table->rows(), 2);
    QCOMPARE(table->columns(), 2);
    auto cellText = [&](int r, int c) {
        QTextCursor cur = table->cellAt(r, c).firstCursorPosition();
        cur.setPosition(table->cellAt(r, c).lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cur.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    };
    QCOMPARE(cellText(0, 0), u"Name"_s);
    QCOMPARE(cellText(0, 1), u"Value"_s);
    QCOMPARE(cellText(1, 0), u"one\ntwo"_s);
    QCOMPARE(cellText(1, 1), u"$price$"_s);
    QCOMPARE(formatOf(doc, u"Name"_s).fontWeight(), int(QFont::Bold));
    // Text after the table is outside it.
    QTextCursor after = doc.find(u"after"_s);
    QVERIFY(!after.isNull());
    QVERIFY(!after.currentTable());
    QVERIFY(doc.find(u"before"_s).currentTable() == nullptr);
    QVERIFY(doc.find(u"Value"_s).currentTable() == table);
}

void TestRtfReader::twoTablesAndTextBetween() {
    const QByteArray row = "\\trowd\\cellx2000\\pard\\intbl a\\cell\\row ";
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 " + row + "\\pard mid\\par " + row + "\\pard\\intbl x\\cell y\\cell z\\cell\\row}",
                            &doc));
    int tables = 0;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        tables += qobject_cast<QTextTable*>(f) != nullptr;
    QCOMPARE(tables, 2);
    QVERIFY(doc.find(u"mid"_s).currentTable() == nullptr);
    // A row with more cells than its definition grows the table.
    QTextTable* second = doc.find(u"z"_s).currentTable();
    QVERIFY(second);
    QCOMPARE(second->columns(), 3);
    QCOMPARE(second->rows(), 2);
}



void TestRtfReader::headersAndFooters() {
    // As Word and LibreOffice write them: a header with a table, a footer with
    // "Page X of Y" as fields and \\chpgn, a first-page header under \\titlepg.
    const QByteArray rtf = kHead + "\\sectd\\titlepg"
                                   "{\\headerf \\pard\\qc\\b First page $shop$\\par}"
                                   "{\\header \\pard\\qr Header $firmname$\\par"
                                   "\\trowd\\cellx3000\\cellx6000\\pard\\intbl left\\cell right\\cell\\row}"
                                   "{\\footer \\pard\\qc\\fs16 Page {\\field{\\*\\fldinst { PAGE \\\\* ARABIC }}{\\fldrslt {7}}}"
                                   " of {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 9}}, sheet \\chpgn\\par}"
                                   "\\pard Body {\\field{\\*\\fldinst HYPERLINK \\\"x\\\"}{\\fldrslt link}} text\\par"
                                   "\\trowd\\cellx2000\\pard\\intbl cell\\cell\\row\\pard end\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QCOMPARE(doc.toPlainText(), u"Body link text\n\ncell\nend\n"_s);
    QTextDocument* header = RtfReader::pageBand(&doc, RtfReader::PageBand::Header);
    QTextDocument* footer = RtfReader::pageBand(&doc, RtfReader::PageBand::Footer);
    QTextDocument* first = RtfReader::pageBand(&doc, RtfReader::PageBand::FirstHeader);
    QVERIFY(header && footer && first);
    QVERIFY(!RtfReader::pageBand(&doc, RtfReader::PageBand::FirstFooter));
    QCOMPARE(RtfReader::pageBandFor(&doc, RtfReader::PageBand::Header, 1), first);
    QCOMPARE(RtfReader::pageBandFor(&doc, RtfReader::PageBand::Header, 2), header);
    QCOMPARE(RtfReader::pageBandFor(&doc, RtfReader::PageBand::Footer, 1), footer);
    QCOMPARE(RtfReader::pageBands(&doc).size(), 3);
    QCOMPARE(first->toPlainText(), u"First page $shop$"_s);
    QCOMPARE(blockOf(*first, u"First"_s).alignment(), Qt::AlignHCenter);
    QVERIFY(header->toPlainText().startsWith(u"Header $firmname$\n"_s));
    QTextTable* table = firstTable(*header);
    QVERIFY(table);
    QCOMPARE(cellText(table, 0, 1), u"right"_s);
    // The page fields read "1" and are marked for the printing.
    QCOMPARE(footer->toPlainText(), u"Page 1 of 1, sheet 1"_s);
    QList<int> fields;
    for (auto it = footer->begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().hasProperty(RtfReader::kPageFieldProperty))
            fields << it.fragment().charFormat().intProperty(RtfReader::kPageFieldProperty);
    QCOMPARE(fields, (QList<int>{1, 2, 1}));
    QCOMPARE(formatOf(*footer, u"Page"_s).fontPointSize(), 8.0);
    // Without \\titlepg the first-page header is not used; reading again
    // replaces the bands.
    QVERIFY(RtfReader::read("{\\rtf1{\\headerf first}{\\footer foot}body}", &doc));
    QVERIFY(!RtfReader::pageBand(&doc, RtfReader::PageBand::FirstHeader));
    QVERIFY(!RtfReader::pageBand(&doc, RtfReader::PageBand::Header));
    QCOMPARE(RtfReader::pageBand(&doc, RtfReader::PageBand::Footer)->toPlainText(), u"foot"_s);
    QCOMPARE(doc.toPlainText(), u"body"_s);
}

void TestRtfReader::pictures() {
    // A logo as Word writes it (PNG in \\shppict, a metafile for old readers
    // in \\nonshppict), a scaled JPEG as binary data, a metafile alone.
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(QColor(200, 0, 0));
    QByteArray png, jpeg;
    QBuffer pngBuffer(&png), jpegBuffer(&jpeg);
    QVERIFY(logo.save(&pngBuffer, "PNG"));
    QVERIFY(logo.save(&jpegBuffer, "JPEG"));
    const QByteArray rtf = "{\\rtf1 Logo:{\\*\\shppict{\\pict\\pngblip\\picw40\\pich20\\picwgoal1440\\pichgoal720 " +
                           png.toHex() + "}}{\\nonshppict{\\pict\\wmetafile8\\picw40\\pich20 0102}}\\par "
                           "{\\pict\\jpegblip\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley200\\bin" +
                           QByteArray::number(jpeg.size()) + " " + jpeg + "}\\par "
                           "{\\pict\\emfblip 0102}{\\pict\\pngblip 00ff}{\\pict\\pngblip\\picw40 " + png.toHex() +
                           "}end}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QList<QTextImageFormat> images;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images << it.fragment().charFormat().toImageFormat();
    QCOMPARE(images.size(), 3);
    QCOMPARE(images.at(0).width(), 96.0);
    QCOMPARE(images.at(0).height(), 48.0);
    QCOMPARE(images.at(1).width(), 48.0);
    QCOMPARE(images.at(1).height(), 96.0);
    // Without a size in the file: the picture's own pixels.
    QCOMPARE(images.at(2).width(), 40.0);
    QCOMPARE(images.at(2).height(), 20.0);
    const QImage shown = doc.resource(QTextDocument::ImageResource, QUrl(images.at(0).name())).value<QImage>();
    QCOMPARE(shown.size(), QSize(40, 20));
    QCOMPARE(shown.pixelColor(5, 5), QColor(200, 0, 0));
    QVERIFY(!doc.resource(QTextDocument::ImageResource, QUrl(images.at(1).name())).value<QImage>().isNull());
    QCOMPARE(doc.toPlainText().remove(QChar::ObjectReplacementCharacter), u"Logo:\n\nend"_s);

    // As LibreOffice writes a picture: a shape with the picture in its "pib"
    // property, sized by the shape's box; its fill picture is not shown.
    const QByteArray shape = "{\\rtf1 A{\\field{\\*\\fldinst SHAPE }{\\fldrslt{\\shp{\\*\\shpinst\\shpleft0\\shptop-1701"
                             "\\shpright2880\\shpbottom-261\\shpwr3\\shpz0{\\sp{\\sn shapeType}{\\sv 75}}"
                             "{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picw40\\pich20 " + png.toHex() + "}}}"
                             "{\\sp{\\sn fillBlip}{\\sv {\\pict\\pngblip " + png.toHex() + "}}}}"
                             "{\\shprslt fallback}}}}B}";
    QTextDocument fromShape;
    QVERIFY(RtfReader::read(shape, &fromShape));
    QCOMPARE(fromShape.toPlainText(), u"A"_s + QChar(QChar::ObjectReplacementCharacter) + u"B"_s);
    QTextCursor at(&fromShape);
    at.setPosition(2);
    QVERIFY(at.charFormat().isImageFormat());
    QCOMPARE(at.charFormat().toImageFormat().width(), 2880 / 15.0);
    QCOMPARE(at.charFormat().toImageFormat().height(), 1440 / 15.0);
}

void TestRtfReader::tabStops() {
    // A signature line: a dotted leader to a stop, an underlined one to a
    // right stop; the stops count from the margin, not from the indent.
    const QByteArray rtf = "{\\rtf1\\deftab567 \\pard\\li720\\tldot\\tx4320\\tqr\\tlul\\tx9000\\tqc\\tx5000\\tqdec\\tx6000 "
                           "Seller:\\tab dots\\tab line\\par\\pard plain\\tx\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    const auto tabs = blockOf(doc, u"Seller"_s).tabPositions();
    QCOMPARE(tabs.size(), 4);
    QCOMPARE(tabs.at(0).position, (4320 - 720) / 15.0);
    QCOMPARE(tabs.at(0).type, QTextOption::LeftTab);
    QCOMPARE(tabs.at(1).position, (9000 - 720) / 15.0);
    QCOMPARE(tabs.at(1).type, QTextOption::RightTab);
    QCOMPARE(tabs.at(2).type, QTextOption::CenterTab);
    QCOMPARE(tabs.at(3).type, QTextOption::DelimiterTab);
    QCOMPARE(tabs.at(3).delimiter, QChar(u'.'));
    QVERIFY(blockOf(doc, u"plain"_s).tabPositions().isEmpty());
    QCOMPARE(doc.defaultTextOption().tabStopDistance(), 567 / 15.0);
    // The tabs carry their stops' leaders.
    const QTextBlock block = doc.find(u"Seller"_s).block();
    QList<int> leaders;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().text() == u"\t"_s)
            leaders << it.fragment().charFormat().underlineStyle();
    QCOMPARE(leaders, (QList<int>{QTextCharFormat::DotLine, QTextCharFormat::SingleUnderline}));
    QCOMPARE(formatOf(doc, u"dots"_s).underlineStyle(), QTextCharFormat::NoUnderline);
    QCOMPARE(doc.toPlainText(), u"Seller:\tdots\tline\nplain\n"_s);
}

void TestRtfReader::paragraphBorders() {
    // A boxed notice of two paragraphs, a signature line drawn as an empty
    // paragraph with a bottom border, and the name under it.
    const QByteArray rtf = kHead + "\\pard before\\par "
                                   "\\pard\\li720\\ri720\\brdrt\\brdrs\\brdrw10\\brdrl\\brdrs\\brdrw10"
                                   "\\brdrb\\brdrs\\brdrw10\\brdrr\\brdrs\\brdrw10 First\\par Second\\par "
                                   "\\pard\\li4000\\brdrb\\brdrdb\\brdrw15\\brdrcf1\\par "
                                   "\\pard\\li4000 Name\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    // Each box begins and ends with a frame mark, read as a line break.
    QCOMPARE(doc.toPlainText(), u"before\n\nFirst\nSecond\n\n\nName\n"_s);
    QVERIFY(!doc.find(u"before"_s).currentTable());
    QTextTable* box = doc.find(u"First"_s).currentTable();
    QVERIFY(box);
    QCOMPARE(doc.find(u"Second"_s).currentTable(), box);
    QCOMPARE(box->format().leftMargin(), 720 / 15.0);
    QCOMPARE(box->format().rightMargin(), 720 / 15.0);
    QCOMPARE(blockOf(doc, u"First"_s).leftMargin(), 0.0);
    const auto boxed = box->cellAt(0, 0).format().toTableCellFormat();
    for (qreal w : {boxed.topBorder(), boxed.leftBorder(), boxed.bottomBorder(), boxed.rightBorder()})
        QCOMPARE(w, 10 / 15.0);
    QCOMPARE(cellText(box, 0, 0), u"First\nSecond"_s);
    // The signature line: its own box with only a bottom border.
    QTextTable* line = nullptr;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f); t && t != box)
            line = t;
    QVERIFY(line);
    QCOMPARE(cellText(line, 0, 0), QString());
    QCOMPARE(line->format().leftMargin(), 4000 / 15.0);
    const auto under = line->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(under.topBorder(), 0.0);
    QCOMPARE(under.bottomBorder(), 1.0);
    QCOMPARE(under.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    QCOMPARE(under.bottomBorderBrush().color(), QColor(255, 0, 0));
    QVERIFY(!doc.find(u"Name"_s).currentTable());
    QCOMPARE(blockOf(doc, u"Name"_s).leftMargin(), 4000 / 15.0);
}

void TestRtfReader::tableBorders() {
    // A borderless layout table, then a table with a box round each cell,
    // a double bottom border in red and a dotted left one.
    const QByteArray rtf = kHead + "\\trowd\\cellx3000\\cellx6000\\pard\\intbl logo\\cell firm\\cell\\row "
                                   "\\pard between\\par "
                                   "\\trowd\\trgaph108" + kBox + "\\cellx3000"
                                   "\\clbrdrb\\brdrdb\\brdrw30\\brdrcf1\\clbrdrl\\brdrdot\\cellx6000"
                                   "\\pard\\intbl boxed\\cell lined\\cell\\row \\pard\\sb240 end\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QTextTable* layout = doc.find(u"logo"_s).currentTable();
    QTextTable* boxed = doc.find(u"boxed"_s).currentTable();
    QVERIFY(layout && boxed && layout != boxed);
    QCOMPARE(layout->format().border(), 0.0);
    QCOMPARE(boxed->format().border(), 0.0);
    for (int c = 0; c < 2; ++c) {
        const QTextTableCellFormat f = layout->cellAt(0, c).format().toTableCellFormat();
        for (qreal w : {f.topBorder(), f.leftBorder(), f.bottomBorder(), f.rightBorder()})
            QCOMPARE(w, 0.0);
    }
    const QTextTableCellFormat box = boxed->cellAt(0, 0).format().toTableCellFormat();
    for (qreal w : {box.topBorder(), box.leftBorder(), box.bottomBorder(), box.rightBorder()})
        QCOMPARE(w, 10 / 15.0);
    QCOMPARE(box.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    QCOMPARE(box.leftPadding(), 108 / 15.0);
    QCOMPARE(box.rightPadding(), 108 / 15.0);
    QCOMPARE(box.topPadding(), 0.0);
    const QTextTableCellFormat lined = boxed->cellAt(0, 1).format().toTableCellFormat();
    QCOMPARE(lined.topBorder(), 0.0);
    QCOMPARE(lined.rightBorder(), 0.0);
    QCOMPARE(lined.bottomBorder(), 30 / 15.0);
    QCOMPARE(lined.bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    QCOMPARE(lined.bottomBorderBrush().color(), QColor(255, 0, 0));
    QCOMPARE(lined.leftBorderStyle(), QTextFrameFormat::BorderStyle_Dotted);
    // Qt's layout drops the space before a block that follows a table: the
    // table holds it below itself.
    QCOMPARE(boxed->format().bottomMargin(), 240 / 15.0);
    QCOMPARE(layout->format().bottomMargin(), 0.0);
    // Row borders stand in for cells without their own.
    QTextDocument rows;
    QVERIFY(RtfReader::read("{\\rtf1\\trowd\\trbrdrt\\brdrs\\trbrdrb\\brdrs\\trbrdrl\\brdrs\\trbrdrr\\brdrs"
                            "\\trbrdrv\\brdrdash\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row}",
                            &rows));
    QTextTable* t = firstTable(rows);
    QVERIFY(t);
    const auto a = t->cellAt(0, 0).format().toTableCellFormat();
    const auto b = t->cellAt(0, 1).format().toTableCellFormat();
    QCOMPARE(a.leftBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    QCOMPARE(a.rightBorderStyle(), QTextFrameFormat::BorderStyle_Dashed);
    QCOMPARE(b.rightBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    QCOMPARE(b.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);

    // Cell padding: the cell's own (Word's reading: \\clpadl is the top,
    // \\clpadt the left), else the row's.
    QTextDocument padded;
    QVERIFY(RtfReader::read("{\\rtf1\\trowd\\trgaph108\\trpaddt30\\trpaddb45\\clpadl57\\clpadt60\\clpadr75\\clpadb90\\cellx2000"
                            "\\cellx4000\\pard\\intbl a\\cell b\\cell\\row}",
                            &padded));
    const auto own = firstTable(padded)->cellAt(0, 0).format().toTableCellFormat();
    QCOMPARE(own.topPadding(), 57 / 15.0);
    QCOMPARE(own.leftPadding(), 60 / 15.0);
    QCOMPARE(own.rightPadding(), 75 / 15.0);
    QCOMPARE(own.bottomPadding(), 90 / 15.0);
    const auto row = firstTable(padded)->cellAt(0, 1).format().toTableCellFormat();
    QCOMPARE(row.topPadding(), 30 / 15.0);
    QCOMPARE(row.bottomPadding(), 45 / 15.0);
    QCOMPARE(row.leftPadding(), 108 / 15.0);
}

void TestRtfReader::mergedCells() {
    // A header merged across two columns, a cell merged over two rows.
    const QByteArray rtf = "{\\rtf1 "
                           "\\trowd" + kBox + "\\clmgf\\cellx2000" + kBox + "\\clmrg\\cellx4000" + kBox + "\\cellx6000"
                           "\\pard\\intbl Header $shop$\\cell\\cell Third\\cell\\row "
                           "\\trowd\\clvmgf\\cellx2000\\cellx4000\\cellx6000"
                           "\\pard\\intbl Tall\\cell b1\\cell c1\\cell\\row "
                           "\\trowd\\clvmrg\\cellx2000\\cellx4000\\cellx6000"
                           "\\pard\\intbl\\cell b2\\cell c2\\cell\\row \\pard after\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QTextTable* t = firstTable(doc);
    QVERIFY(t);
    QCOMPARE(t->rows(), 3);
    QCOMPARE(t->columns(), 3);
    QCOMPARE(t->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(cellText(t, 0, 0), u"Header $shop$"_s);
    QCOMPARE(cellText(t, 0, 2), u"Third"_s);
    QCOMPARE(t->cellAt(1, 0).rowSpan(), 2);
    QCOMPARE(t->cellAt(2, 0).row(), 1);
    QCOMPARE(cellText(t, 1, 0), u"Tall"_s);
    QCOMPARE(cellText(t, 2, 1), u"b2"_s);
    QCOMPARE(cellText(t, 2, 2), u"c2"_s);
    const auto widths = t->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 3);
    for (const auto& w : widths)
        QCOMPARE(w.rawValue(), 2000 / 15.0);
}

void TestRtfReader::rowsKeepTheirOwnWidths() {
    // Rows with different edges and a row indented by \trleft: the table's
    // columns are the union of the edges, each cell spans its own.
    const QByteArray rtf = "{\\rtf1 "
                           "\\trowd\\cellx2000\\cellx6000\\pard\\intbl a1\\cell a2\\cell\\row "
                           "\\trowd\\cellx4000\\cellx6000\\pard\\intbl b1\\cell b2\\cell\\row "
                           "\\trowd\\trleft1000\\cellx4000\\pard\\intbl c1\\cell\\row \\pard after\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QTextTable* t = firstTable(doc);
    QVERIFY(t);
    QCOMPARE(t->rows(), 3);
    QCOMPARE(t->columns(), 4); // edges 0, 1000, 2000, 4000, 6000
    QList<int> widths;
    for (const auto& w : t->format().columnWidthConstraints())
        widths << qRound(w.rawValue() * 15);
    QCOMPARE(widths, (QList<int>{1000, 1000, 2000, 2000}));
    // Row 1: a1 over columns 0-1, a2 over 2-3.
    QCOMPARE(t->cellAt(0, 0).columnSpan(), 2);
    QCOMPARE(cellText(t, 0, 2), u"a2"_s);
    QCOMPARE(t->cellAt(0, 2).columnSpan(), 2);
    // Row 2: b1 over 0-2, b2 over 3.
    QCOMPARE(t->cellAt(1, 0).columnSpan(), 3);
    QCOMPARE(cellText(t, 1, 0), u"b1"_s);
    QCOMPARE(cellText(t, 1, 3), u"b2"_s);
    // Row 3: an empty, borderless cell before the indent, c1 over 1-2,
    // nothing after it.
    QCOMPARE(cellText(t, 2, 0), QString());
    QCOMPARE(t->cellAt(2, 0).format().toTableCellFormat().leftBorder(), 0.0);
    QCOMPARE(t->cellAt(2, 1).columnSpan(), 2);
    QCOMPARE(cellText(t, 2, 1), u"c1"_s);
    QCOMPARE(cellText(t, 2, 3), QString());
}

void TestRtfReader::cellShading() {
    const QByteArray rtf = kHead + "\\trowd\\clcbpat3\\cellx2000\\clshdng2500\\cellx4000"
                                   "\\clcbpat3\\clcfpat2\\clshdng5000\\cellx6000\\cellx8000"
                                   "\\pard\\intbl yellow\\cell grey\\cell mixed\\cell none\\cell\\row}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QTextTable* t = firstTable(doc);
    QVERIFY(t);
    auto background = [&](int c) { return t->cellAt(0, c).format().background(); };
    QCOMPARE(background(0).color(), QColor(255, 255, 0));
    QCOMPARE(background(1).color().red(), 191);
    QCOMPARE(background(2).color(), QColor::fromRgbF(0.5, 0.5, 0.5 * (128 / 255.0)));
    QCOMPARE(background(3).style(), Qt::NoBrush);
}

void TestRtfReader::adjacentTablesStayApart() {
    // Two tables with one empty paragraph between them, and a table right
    // after a paragraph: neither joins its neighbour.
    const QByteArray one = "\\trowd\\cellx2000\\pard\\intbl one\\cell\\row ";
    const QByteArray two = "\\trowd\\cellx4000\\cellx6000\\pard\\intbl two\\cell 2\\cell\\row ";
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1 " + one + "\\pard\\par " + two + "\\pard text\\par " + one + "}", &doc));
    QList<QTextTable*> tables;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            tables << t;
    QCOMPARE(tables.size(), 3);
    QCOMPARE(tables.at(0)->columns(), 1);
    QCOMPARE(tables.at(1)->columns(), 2);
    QCOMPARE(tables.at(0)->rows(), 1);
    QCOMPARE(tables.at(1)->rows(), 1);
    // The empty paragraph between the first two is kept.
    const QTextBlock afterFirst = doc.findBlock(tables.at(0)->lastPosition() + 1);
    QVERIFY(afterFirst.isValid());
    QVERIFY(!afterFirst.text().contains(u"two"_s));
}

void TestRtfReader::refused_data() {
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << QByteArray() << u"Файлът с договора е празен."_s;
    QTest::newRow("blanks") << QByteArray(" \r\n ") << u"Файлът с договора е празен."_s;
    QTest::newRow("plain text") << QByteArray("Договор за продажба") << u"Файлът с договора не е във формат RTF."_s;
    QTest::newRow("html") << QByteArray("<html><body>x</body></html>") << u"Файлът с договора не е във формат RTF."_s;
    QTest::newRow("docx zip") << QByteArray("PK\x03\x04\x14\x00\x06\x00", 8)
                              << u"Файлът с договора не е във формат RTF."_s;
}

void TestRtfReader::refused() {
    QFETCH(QByteArray, data);
    QFETCH(QString, message);
    bool ok = true;
    QString error;
    QCOMPARE(readText(data, &ok, &error), QString());
    QVERIFY(!ok);
    QCOMPARE(error, message);
}

void TestRtfReader::malformedLoadsWhatItCan_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("missing closing brace") << QByteArray("{\\rtf1 abc{\\b def") << u"abcdef"_s;
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 abc}}}} def}") << u"abc def"_s;
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1\\ansicpg1251 ab\\'c") << u"ab"_s;
    QTest::newRow("truncated control word") << QByteArray("{\\rtf1 ab\\pa") << u"ab"_s;
    QTest::newRow("lone backslash at end") << QByteArray("{\\rtf1 ab\\") << u"ab"_s;
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << u"azzb"_s;
    QTest::newRow("huge parameter") << QByteArray("{\\rtf1\\fs99999999999999999999 a\\u99999999999 b}") << u"a\uFFFD"_s;
    QTest::newRow("bin longer than file") << QByteArray("{\\rtf1 a\\bin999999 xyz") << u"a"_s;
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << u"ab"_s;
    QTest::newRow("unterminated font table") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial") << QString();
    QTest::newRow("cell without table") << QByteArray("{\\rtf1 a\\cell b\\row c}") << u"abc"_s;
    QTest::newRow("row without cells") << QByteArray("{\\rtf1 a\\row\\row b}") << u"ab"_s;
    // Control characters are dropped, whether raw or escaped.
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 11) << u"ab"_s;
}

void TestRtfReader::malformedLoadsWhatItCan() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    bool ok = false;
    // Line breaks aside, the readable text comes through in order.
    const QString got = readText(rtf, &ok).remove(QLatin1Char('\n'));
    QVERIFY(ok);
    QCOMPARE(got, text);
}

void TestRtfReader::damage_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cutShort");
    QTest::addColumn<int>("controls");
    QTest::newRow("sound") << QByteArray("{\\rtf1 a{\\b b}\\par c}") << u"ab\nc"_s << false << 0;
    QTest::newRow("WordPad's closing NUL") << QByteArray("{\\rtf1 a\\par b}\r\n\0", 19) << u"a\nb"_s << false << 0;
    QTest::newRow("cut in a group") << QByteArray("{\\rtf1 abc{\\b def") << u"abcdef"_s << true << 0;
    QTest::newRow("cut before the last brace") << QByteArray("{\\rtf1 abc\\par") << u"abc\n"_s << true << 0;
    QTest::newRow("cut in binary data") << QByteArray("{\\rtf1 a{\\pict\\bin99 xy}") << u"a"_s << true << 0;
    QTest::newRow("raw controls") << QByteArray("{\\rtf1 a\x01\x0c\x1b\x7f" "b}") << u"ab"_s << false << 4;
    QTest::newRow("escaped controls") << QByteArray("{\\rtf1\\ansicpg1251 a\\'0a\\'0d\\'00b\\u8233?c}") << u"abc"_s
                                      << false << 4;
    QTest::newRow("controls in a table cell")
        << QByteArray("{\\rtf1\\trowd\\cellx2000\\pard\\intbl x\\'0ay\\cell\\row}") << u"\nxy\n"_s << false << 1;
}

void TestRtfReader::damage() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(bool, cutShort);
    QFETCH(int, controls);
    QTextDocument doc;
    QString damage;
    QVERIFY(RtfReader::read(rtf, &doc, nullptr, &damage));
    QCOMPARE(doc.toPlainText(), text);
    QCOMPARE(damage.isEmpty(), !cutShort && controls == 0);
    if (!damage.isEmpty())
        QVERIFY(damage.startsWith(u"Шаблонът на договора е повреден: "_s));
    QCOMPARE(damage.contains(u"файлът свършва"_s), cutShort);
    QCOMPARE(damage.contains(u"%1 управляващи знака"_s.arg(controls)), controls > 0);
    // No control character split the table.
    int tables = 0;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        tables += qobject_cast<QTextTable*>(f) != nullptr;
    if (rtf.contains("\\intbl")) {
        QCOMPARE(tables, 1);
        QCOMPARE(doc.find(u"xy"_s).currentTable()->rows(), 1);
    }
}

void TestRtfReader::deepNesting() {
    QByteArray rtf = "{\\rtf1 start";
    rtf += QByteArray(200000, '{');
    rtf += "deep";
    rtf += QByteArray(200000, '}');
    rtf += " end}";
    bool ok = false;
    const QString text = readText(rtf, &ok);
    QVERIFY(ok);
    // Content beyond the nesting limit is kept, only the nesting is dropped.
    QCOMPARE(text, u"startdeep end"_s);

    // Text deeper than the limit keeps the formatting of the deepest group
    // kept; formatting and destinations below it are not taken up, and the
    // text after the deep groups has its own formatting again.
    QByteArray formatted = "{\\rtf1 {\\b bold";
    formatted += QByteArray(RtfReader::kMaxDepth + 10, '{');
    formatted += "\\i\\fs80 deep{\\*\\foo x}\\par more";
    formatted += QByteArray(RtfReader::kMaxDepth + 10, '}');
    formatted += "} after}";
    QTextDocument doc;
    QString damage;
    QVERIFY(RtfReader::read(formatted, &doc, nullptr, &damage));
    QVERIFY(damage.isEmpty());
    QCOMPARE(doc.toPlainText(), u"bolddeepx\nmore after"_s);
    QCOMPARE(formatOf(doc, u"deep"_s).fontWeight(), int(QFont::Bold));
    QVERIFY(!formatOf(doc, u"deep"_s).fontItalic());
    QCOMPARE(formatOf(doc, u"more"_s).fontPointSize(), 12.0);
    QCOMPARE(formatOf(doc, u"after"_s).fontWeight(), int(QFont::Normal));

    QByteArray shallow = "{\\rtf1 ";
    shallow += QByteArray(100, '{') + "mid" + QByteArray(100, '}') + "}";
    QCOMPARE(readText(shallow), u"mid"_s);
}

void TestRtfReader::randomGarbageAfterHeader() {
    auto* rng = QRandomGenerator::global();
    for (int round = 0; round < 50; ++round) {
        QByteArray data = "{\\rtf1\\ansi ";
        const int len = 1 + int(rng->bounded(20000));
        for (int i = 0; i < len; ++i) {
            // Biased towards RTF's special characters.
            static const char special[] = "{}\\'*;0123456789abcdefu- \n";
            data += rng->bounded(3) == 0 ? special[rng->bounded(int(sizeof special) - 1)] : char(rng->bounded(256));
        }
        QTextDocument doc;
        QVERIFY(RtfReader::read(data, &doc));
    }
}

void TestRtfReader::largeFileWithPictures() {
    // About 50 MB, mostly picture data, with text between the pictures.
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1251 ";
    const QByteArray hex(1024 * 1024, 'a');
    for (int i = 0; i < 50; ++i) {
        rtf += "{\\pict\\wmetafile8\\picw100 " + hex + "}";
        rtf += "\\'f2\\'e5\\'ea\\'f1\\'f2" + QByteArray::number(i) + "\\par ";
    }
    rtf += "}";
    QTextDocument doc;
    QString error;
    QVERIFY(RtfReader::read(rtf, &doc, &error));
    QCOMPARE(doc.blockCount(), 51);
    QVERIFY(doc.toPlainText().startsWith(u"текст0\nтекст1\n"_s));
    QVERIFY(doc.toPlainText().contains(u"текст49"_s));
}

void TestRtfReader::missingFile() {
    QTextDocument doc;
    QString error;
    QVERIFY(!RtfReader::readFile(u"/nonexistent/salecontract.rtf"_s, &doc, &error));
    QVERIFY2(error.startsWith(u"Файлът \"salecontract.rtf\" не може да бъде отворен"_s), qPrintable(error));
}

int main(int argc, char** argv) {
    testenv::isolateSettings();
    QGuiApplication app(argc, argv);
    TestRtfReader t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestRtfReader.moc"
