#include "documents/ConsignmentContract.h"
#include "tests/documents/SampleConsignment.h"
#include "tests/support/TestEnv.h"

#include <QGuiApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace Qt::StringLiterals;
using Style = ConsignmentContract::Style;

namespace {

ConsignmentContractData sample() {
    return sampleConsignment(4711, QDate(2026, 3, 9));
}

// Index in lines() of the contract's line number n (1..47); the two rules
// stand after lines 34 and 41.
int at(int n) {
    return n <= 34 ? n - 1 : n <= 41 ? n : n + 1;
}

} // namespace

class TestConsignmentContract : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { testenv::isolateSettings(); }
    void linesInOrder();
    void exactTexts_data();
    void exactTexts();
    void priceLineRuns();
    void blankFieldsKeepLabels();
    void numberAndDateOnlyWhereTheyBelong();
    void changedPriceShowsInDigitsAndWords();
    void documentBlocksCarryStylesAndAlignment();
    void stylesAsSpecified();
};

void TestConsignmentContract::linesInOrder() {
    const auto lines = ConsignmentContract::lines(sample());
    QCOMPARE(lines.size(), 49);
    QVERIFY(lines.at(34).rule);
    QVERIFY(lines.at(42).rule);
    int rules = 0;
    for (const auto& l : lines)
        rules += l.rule;
    QCOMPARE(rules, 2);
    QCOMPARE(lines.at(at(35)).text(), u"ДЕКЛАРАЦИЯ"_s);
    QCOMPARE(lines.at(at(42)).text(), u"РАЗПИСКА"_s);
    QCOMPARE(lines.at(at(47)).text(), u"Дата: ..........          Подпис:............"_s);
}

void TestConsignmentContract::exactTexts_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("centred");
    QTest::newRow("1") << 1 << u"Договор за консигнация №4711"_s << true;
    QTest::newRow("2") << 2 << u" "_s << false;
    QTest::newRow("3") << 3 << u"        Днес, 09.03.2026, се сключи настоящия договор между:"_s << false;
    QTest::newRow("4") << 4
                       << u"фирма: Орвел ООД, \x0061дрес: Пловдив, бул. Марица 5, МОЛ: Мария Георгиева, номер по НДР: "
                          u"1234567890, Булстат: 115999888"_s
                       << false;
    QTest::newRow("5") << 5 << u"магазин: Магазин Център"_s << false;
    QTest::newRow("7") << 7 << u"Иван Петров Иванов, \x0061дрес: София, ул. Раковски 12,"_s << false;
    QTest::newRow("9") << 9 << u"1. ПРЕДМЕТ НА ДОГОВОРА И ЦЕНИ"_s << true;
    QTest::newRow("11") << 11 << u"      Уред: Хладилник Gorenje"_s << false;
    QTest::newRow("15") << 15
                        << u"Сменената цена по искане на ДОВЕРИТЕЛЯ е ........ словом ............................"_s
                        << false;
    QTest::newRow("17") << 17
                        << u"Сменената цена по искане на ДОВЕРИТЕЛЯ е ........ словом ............................"_s
                        << false;
    QTest::newRow("30")
        << 30
        << u"4.4. За дефекти, не открити и не описани в договора при предаването на стоката, магазинът  "
           u"не носи отговорност."_s
        << false;
    QTest::newRow("31") << 31 << u"Договорът се съставя в два еднообразни екземпляра  - по един за всяка от страните."_s
                        << false;
    QTest::newRow("32") << 32 << u"  "_s << true;
    QTest::newRow("34") << 34
                        << (u"ДОВЕРЕНИК: ................."_s + QString(26, u' ') + u"ДОВЕРИТЕЛ:..................."_s)
                        << true;
    QTest::newRow("36") << 36 << u"\x004Fт : Иван Петров Иванов, адрес: София, ул. Раковски 12"_s << false;
    QTest::newRow("37") << 37 << u"\x0045ГН: 7501011234 л.к. \x004E\x006F: 645123987"_s << false;
    QTest::newRow("40") << 40 << u"Дата: 09.03.2026          Подпис:............"_s << false;
    QTest::newRow("41") << 41 << u"  "_s << true;
    QTest::newRow("45")
        << 45
        << u"Получих [договорената сума] [оставеният от мен уред] по договор No4711 и нямам претенции по "
           u"изпълнението на договора."_s
        << false;
}

void TestConsignmentContract::exactTexts() {
    QFETCH(int, line);
    QFETCH(QString, text);
    QFETCH(bool, centred);
    const auto l = ConsignmentContract::lines(sample()).at(at(line));
    QCOMPARE(l.text(), text);
    QCOMPARE(l.alignment == Qt::AlignHCenter, centred);
}

void TestConsignmentContract::priceLineRuns() {
    const auto l = ConsignmentContract::lines(sample()).at(at(14));
    QCOMPARE(l.runs.size(), 4);
    QCOMPARE(l.runs[0].text, u"Обявената продажна цена е "_s);
    QCOMPARE(l.runs[0].style, Style::Normal);
    QCOMPARE(l.runs[1].text, u"  150.00 лв."_s);
    QCOMPARE(l.runs[1].style, Style::Bold);
    QCOMPARE(l.runs[2].text, u" словом: "_s);
    QCOMPARE(l.runs[2].style, Style::Normal);
    QCOMPARE(l.runs[3].text, u"Сто и петдесет лв. 00 ст."_s);
    QCOMPARE(l.runs[3].style, Style::Bold);
    QCOMPARE(ConsignmentContract::priceInDigits(123456.5), u"123456.50 лв."_s);
}

void TestConsignmentContract::blankFieldsKeepLabels() {
    auto d = sample();
    d.serial.clear();
    d.artNote = u"   "_s;
    d.firm.bulstat.clear();
    const auto lines = ConsignmentContract::lines(d);
    QCOMPARE(lines.at(at(12)).text(), u"      Сериен номер: "_s);
    QCOMPARE(lines.at(at(12)).runs.size(), 1);
    QCOMPARE(lines.at(at(13)).text(), u"      Доп. описание: "_s);
    QVERIFY(lines.at(at(4)).text().endsWith(u", Булстат: "_s));
}

void TestConsignmentContract::numberAndDateOnlyWhereTheyBelong() {
    const auto lines = ConsignmentContract::lines(sample());
    for (int n = 1; n <= 47; ++n) {
        const QString t = lines.at(at(n)).text();
        QCOMPARE(t.contains(u"4711"_s), n == 1 || n == 45);
        QCOMPARE(t.contains(u"09.03.2026"_s), n == 3 || n == 40);
    }
}

void TestConsignmentContract::changedPriceShowsInDigitsAndWords() {
    auto d = sample();
    d.salePrice = 2500.5;
    const auto l = ConsignmentContract::lines(d).at(at(14));
    QCOMPARE(l.runs[1].text, u" 2500.50 лв."_s);
    QCOMPARE(l.runs[3].text, u"Две хиляди петстотин лв. 50 ст."_s);
    QCOMPARE(ConsignmentContract::lines(d).at(at(3)).text(),
             u"        Днес, 09.03.2026, се сключи настоящия договор между:"_s);
}

void TestConsignmentContract::documentBlocksCarryStylesAndAlignment() {
    const auto data = sample();
    const auto lines = ConsignmentContract::lines(data);
    const auto doc = ConsignmentContract::build(data);
    QCOMPARE(doc->blockCount(), lines.size());
    QTextBlock block = doc->begin();
    for (const auto& line : lines) {
        QVERIFY(block.isValid());
        QCOMPARE(block.text(), line.text());
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, line.alignment);
        QCOMPARE(block.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth), line.rule);
        int i = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it, ++i) {
            const QTextFragment f = it.fragment();
            QVERIFY(i < line.runs.size());
            QCOMPARE(f.text(), line.runs[i].text);
            QCOMPARE(f.charFormat().fontWeight() == QFont::Bold, line.runs[i].style != Style::Normal);
        }
        QCOMPARE(i, line.runs.size());
        block = block.next();
    }
    // Building again on the same document replaces, never appends.
    ConsignmentContract::write(doc.get(), data);
    QCOMPARE(doc->blockCount(), lines.size());
}

void TestConsignmentContract::stylesAsSpecified() {
    const auto t = ConsignmentContract::format(Style::Title);
    QCOMPARE(t.fontFamilies().toStringList().first(), u"Courier New"_s);
    QCOMPARE(t.fontPointSize(), 12.0);
    QCOMPARE(t.foreground().color(), QColor(0, 0, 128));
    QVERIFY(t.fontUnderline());
    QCOMPARE(t.fontWeight(), int(QFont::Bold));
    const auto n = ConsignmentContract::format(Style::Normal);
    QCOMPARE(n.fontPointSize(), 9.0);
    QCOMPARE(n.foreground().color(), QColor(Qt::black));
    QVERIFY(!n.fontUnderline());
    QCOMPARE(n.fontWeight(), int(QFont::Normal));
    const auto b = ConsignmentContract::format(Style::Bold);
    QCOMPARE(b.fontPointSize(), 9.0);
    QCOMPARE(b.fontWeight(), int(QFont::Bold));
    QVERIFY(!b.fontUnderline());
}

int main(int argc, char** argv) {
    testenv::isolateSettings();
    QGuiApplication app(argc, argv);
    TestConsignmentContract t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestConsignmentContract.moc"
