#include "documents/RtfReader.h"
#include "tests/support/TestEnv.h"

#include <QElapsedTimer>
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
    void tableBecomesRealTable();
    void twoTablesAndTextBetween();
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
    QCOMPARE(widths.at(1).rawValue(), 2.0 * RtfReader::kMaxTwips / 15.0);
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
    // Content beyond the nesting limit is skipped; what follows is read.
    QCOMPARE(text, u"start end"_s);

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
