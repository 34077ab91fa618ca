#include "documents/RtfReader.h"
#include "documents/SaleContract.h"
#include "tests/documents/SampleSaleValues.h"
#include "tests/support/TestEnv.h"

#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(SaleContractValues)

namespace {

QString filled(const QByteArray& rtf, const SaleContractValues& v, int* count = nullptr) {
    QTextDocument doc;
    if (!RtfReader::read(rtf, &doc))
        return u"<unreadable>"_s;
    const int n = SaleContract::fill(&doc, v);
    if (count)
        *count = n;
    return doc.toPlainText();
}

} // namespace

class TestSaleContract : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void placeholdersInOrder();
    void replacement_data();
    void replacement();
    void valuesCutTo255();
    void insertedTextTakesFirstCharacterFormat();
    void placeholderAcrossFormattingRuns();
    void placeholdersInTableCells();
    void placeholdersInMergedCellsHeadersAndFooters();
    void everyPlaceholderOfAFullTemplate();
};

void TestSaleContract::placeholdersInOrder() {
    const auto list = SaleContract::placeholders(sampleSaleValues());
    QStringList names;
    for (const auto& p : list)
        names << p.first;
    QCOMPARE(names, (QStringList{u"$date$"_s,          u"$firmname$"_s,     u"$firmaddress$"_s, u"$mol$"_s,
                                 u"$ndr$"_s,           u"$bulstat$"_s,      u"$shop$"_s,        u"$clientname$"_s,
                                 u"$clientaddress$"_s, u"$clientinfo$"_s,   u"$unitname$"_s,    u"$unitserial$"_s,
                                 u"$unit_opis$"_s,     u"$more$"_s,         u"$price$"_s,       u"$pricetext$"_s,
                                 u"$salorname$"_s,     u"$saloraddress$"_s, u"$saloregn$"_s,    u"$salor_lk$"_s,
                                 u"$dogovor$"_s}));
    QCOMPARE(list.at(0).second, u"14.05.2026"_s);
    QCOMPARE(list.at(15).second, u"Триста и двадесет лв. 00 ст."_s);
    QCOMPARE(list.at(20).second, u"4711"_s);
}

void TestSaleContract::replacement_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<SaleContractValues>("values");
    QTest::addColumn<QString>("text");
    const auto v = sampleSaleValues();
    QTest::newRow("repeated") << QByteArray("{\\rtf1 $clientname$ / $clientname$\\par $clientname$}") << v
                              << u"Петър Стоянов / Петър Стоянов\nПетър Стоянов"_s;
    QTest::newRow("absent and other dollars")
        << QByteArray("{\\rtf1 $date$ costs $5$ and $unknown$ $}") << v << u"14.05.2026 costs $5$ and $unknown$ $"_s;
    QTest::newRow("other letter case") << QByteArray("{\\rtf1 $DATE$ $Date$ $date$}") << v
                                       << u"$DATE$ $Date$ 14.05.2026"_s;
    auto noSerial = v;
    noSerial.unitSerial.clear();
    noSerial.unitOpis.clear();
    QTest::newRow("empty serial") << QByteArray("{\\rtf1 [$unitserial$][$unit_opis$]}") << noSerial << u"[][]"_s;
    auto selfName = v;
    selfName.clientName = u"$clientname$"_s;
    QTest::newRow("value holding its own placeholder")
        << QByteArray("{\\rtf1 $clientname$ and $clientname$}") << selfName << u"$clientname$ and $clientname$"_s;
    auto doubled = v;
    doubled.clientName = u"x$clientname$y$clientname$"_s;
    QTest::newRow("value holding its placeholder twice")
        << QByteArray("{\\rtf1 <$clientname$>}") << doubled << u"<x$clientname$y$clientname$>"_s;
    auto later = v;
    later.clientName = u"Купувач $dogovor$"_s;
    QTest::newRow("value holding a later placeholder is filled by it")
        << QByteArray("{\\rtf1 $clientname$}") << later << u"Купувач 4711"_s;
    auto earlier = v;
    earlier.more = u"see $date$ and $$"_s;
    QTest::newRow("value holding an earlier placeholder stays")
        << QByteArray("{\\rtf1 $more$}") << earlier << u"see $date$ and $$"_s;
    auto blanks = v;
    blanks.firmName.clear();
    blanks.bulstat.clear();
    blanks.ndr.clear();
    blanks.shop.clear();
    blanks.unitName.clear();
    blanks.dogovor = 0;
    QTest::newRow("blank firm shop appliance number")
        << QByteArray("{\\rtf1 [$firmname$][$bulstat$][$ndr$][$shop$][$unitname$][$dogovor$]}") << blanks
        << u"[][][][][][]"_s;
    auto noPriceText = v;
    noPriceText.price.clear();
    noPriceText.salePrice = 1250.5;
    QTest::newRow("price formatted when the dialog gave none")
        << QByteArray("{\\rtf1 $price$ ($pricetext$)}") << noPriceText
        << u"1250.50 (Хиляда двеста и петдесет лв. 50 ст.)"_s;
    QTest::newRow("adjacent placeholders")
        << QByteArray("{\\rtf1 $mol$$ndr$$bulstat$}") << v << u"Мария Георгиева1234567890115999888"_s;
    QTest::newRow("template in cp1251 escapes")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'ee\\'e3\\'ee\\'e2\\'ee\\'f0 \\'b9 $dogovor$}") << v
        << u"Договор № 4711"_s;
}

void TestSaleContract::replacement() {
    QFETCH(QByteArray, rtf);
    QFETCH(SaleContractValues, values);
    QFETCH(QString, text);
    QCOMPARE(filled(rtf, values), text);
}

void TestSaleContract::valuesCutTo255() {
    auto v = sampleSaleValues();
    v.clientName = QString(300, u'Я');
    // A character outside the Basic Multilingual Plane is one character, kept whole.
    v.more = QString(254, u'x') + u"😀y"_s;
    const QString text = filled("{\\rtf1 [$clientname$][$more$]}", v);
    QCOMPARE(text, u"["_s + QString(255, u'Я') + u"]["_s + QString(254, u'x') + u"😀]"_s);
}

void TestSaleContract::insertedTextTakesFirstCharacterFormat() {
    QTextDocument doc;
    QVERIFY(RtfReader::read("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red200\\green0\\blue0;}"
                            "plain {\\b\\cf1 $clien}{\\i tname$} tail}",
                            &doc));
    QCOMPARE(SaleContract::replace(&doc, u"$clientname$"_s, u"Петър"_s), 1);
    QCOMPARE(doc.toPlainText(), u"plain Петър tail"_s);
    QTextCursor c = doc.find(u"Петър"_s);
    for (int i = c.selectionStart() + 1; i <= c.selectionEnd(); ++i) {
        QTextCursor at(&doc);
        at.setPosition(i);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(!at.charFormat().fontItalic());
        QCOMPARE(at.charFormat().foreground().color(), QColor(200, 0, 0));
    }
    // The text around keeps its own format.
    QTextCursor tail = doc.find(u"tail"_s);
    QTextCursor at(&doc);
    at.setPosition(tail.selectionStart() + 1);
    QCOMPARE(at.charFormat().fontWeight(), int(QFont::Normal));
}

void TestSaleContract::placeholderAcrossFormattingRuns() {
    // As word processors save a placeholder typed with a spelling mark or an
    // edit in the middle: split into runs, with bookmarks between them.
    const QByteArray rtf = "{\\rtf1 Date: {\\b $da}{\\*\\bkmkstart x}{\\b\\i te}{\\*\\bkmkend x}$ end}";
    QCOMPARE(filled(rtf, sampleSaleValues()), u"Date: 14.05.2026 end"_s);
}

void TestSaleContract::placeholdersInTableCells() {
    const QByteArray rtf =
        "{\\rtf1\\trowd\\cellx2000\\cellx5000\\pard\\intbl Name\\cell\\pard\\intbl $unitname$\\cell\\row"
        "\\trowd\\cellx2000\\cellx5000\\pard\\intbl Price\\cell\\pard\\intbl $price$ / $price$\\cell\\row"
        "\\pard after $dogovor$\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QCOMPARE(SaleContract::fill(&doc, sampleSaleValues()), 4);
    QTextCursor c = doc.find(u"Пералня Bosch"_s);
    QVERIFY(!c.isNull());
    QVERIFY(c.currentTable());
    QVERIFY(!doc.find(u"320.00 / 320.00"_s).isNull());
    QVERIFY(!doc.find(u"after 4711"_s).isNull());
    QVERIFY(!doc.toPlainText().contains(u'$'));
}

void TestSaleContract::placeholdersInMergedCellsHeadersAndFooters() {
    // The same rule everywhere text can be: merged cells (across and down),
    // the header, the footer and the first page's own header.
    const QByteArray rtf = "{\\rtf1\\titlepg{\\header H $shop$}{\\headerf F $shop$ $dogovor$}"
                           "{\\footer $firmname$ {\\b $DATE$} $dogovor$ {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}}"
                           "\\trowd\\clmgf\\clvmgf\\cellx2000\\clmrg\\cellx4000\\pard\\intbl $unitname$\\cell\\cell\\row"
                           "\\trowd\\clvmrg\\cellx4000\\pard\\intbl $unitserial$\\cell\\row\\pard body $dogovor$\\par}";
    QTextDocument doc;
    QVERIFY(RtfReader::read(rtf, &doc));
    QCOMPARE(SaleContract::fill(&doc, sampleSaleValues()), 8);
    QTextTable* table = doc.find(u"Пералня Bosch"_s).currentTable();
    QVERIFY(table);
    // Both rows are one cell wide, the first merged across, then down.
    QCOMPARE(table->columns(), 1);
    QCOMPARE(table->cellAt(0, 0).rowSpan(), 2);
    QVERIFY(!doc.find(u"WM-88"_s).isNull());
    QCOMPARE(RtfReader::pageBand(&doc, RtfReader::PageBand::Header)->toPlainText(), u"H Магазин Център"_s);
    QCOMPARE(RtfReader::pageBand(&doc, RtfReader::PageBand::FirstHeader)->toPlainText(), u"F Магазин Център 4711"_s);
    // Other letter case stays; the page number is left to the printing.
    QCOMPARE(RtfReader::pageBand(&doc, RtfReader::PageBand::Footer)->toPlainText(), u"Орвел ООД $DATE$ 4711 1"_s);
    QVERIFY(!doc.toPlainText().contains(u'$'));
}

void TestSaleContract::everyPlaceholderOfAFullTemplate() {
    QByteArray rtf = "{\\rtf1 ";
    for (const auto& p : SaleContract::placeholders(sampleSaleValues()))
        rtf += "[" + p.first.toLatin1() + "]\\par ";
    rtf += "}";
    int count = 0;
    const QString text = filled(rtf, sampleSaleValues(), &count);
    QCOMPARE(count, 21);
    QVERIFY(!text.contains(u'$'));
    QVERIFY(text.contains(u"[Петър Стоянов]"_s));
    QVERIFY(text.contains(u"[Триста и двадесет лв. 00 ст.]"_s));
}

int main(int argc, char** argv) {
    testenv::isolateSettings();
    QGuiApplication app(argc, argv);
    TestSaleContract t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestSaleContract.moc"
