#include "documents/AmountInWords.h"
#include "tests/support/TestEnv.h"

#include <QGuiApplication>
#include <QTest>

class TestAmountInWords : public QObject {
    Q_OBJECT
private slots:
    void amounts_data();
    void amounts();
    void triplets_data();
    void triplets();
    void shape_data();
    void shape();
};

void TestAmountInWords::amounts_data() {
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("words");
    const struct {
        double amount;
        const char* words;
    } table[] = {
        {0, "Нула лв. 00 ст."},
        {0.05, "Нула лв. 05 ст."},
        {0.5, "Нула лв. 50 ст."},
        {1, "Един лв. 00 ст."},
        {2, "Два лв. 00 ст."},
        {12, "Дванадесет лв. 00 ст."},
        {12.345, "Дванадесет лв. 34 ст."},
        {19.99, "Деветнадесет лв. 99 ст."},
        {21, "Двадесет и един лв. 00 ст."},
        {100, "Сто лв. 00 ст."},
        {101, "Сто и един лв. 00 ст."},
        {110, "Сто и десет лв. 00 ст."},
        {115, "Сто и петнадесет лв. 00 ст."},
        {121, "Сто двадесет и един лв. 00 ст."},
        {150, "Сто и петдесет лв. 00 ст."},
        {999, "Деветстотин деветдесет и девет лв. 00 ст."},
        {1000, "Хиляда лв. 00 ст."},
        {1001, "Хиляда и един лв. 00 ст."},
        {1021, "Хиляда и двадесет и един лв. 00 ст."},
        {1100, "Хиляда сто лв. 00 ст."},
        {1105, "Хиляда сто и пет лв. 00 ст."},
        {2000, "Две хиляди лв. 00 ст."},
        {2500.50, "Две хиляди петстотин лв. 50 ст."},
        {12000, "Дванадесет хиляди лв. 00 ст."},
        {21000, "Двадесет и един хиляди лв. 00 ст."},
        {22000, "Двадесет и две хиляди лв. 00 ст."},
        {122000, "Сто двадесет и две хиляди лв. 00 ст."},
        {1000000, "Един милион лв. 00 ст."},
        {1000050, "Един милион и петдесет лв. 00 ст."},
        {1001000, "Един милион хиляда лв. 00 ст."},
        {2002000, "Два милиона две хиляди лв. 00 ст."},
        {2050000, "Два милиона петдесет хиляди лв. 00 ст."},
        {999999999.99, "Деветстотин деветдесет и девет милиона деветстотин деветдесет и девет хиляди деветстотин "
                       "деветдесет и девет лв. 99 ст."},
        {-5.5, "Минус пет лв. 50 ст."},
        {1999.999, "Хиляда деветстотин деветдесет и девет лв. 99 ст."},
        // Past the table.
        {0.005, "Нула лв. 00 ст."},
        {0.1 + 0.2, "Нула лв. 30 ст."},
        {0.000001, "Нула лв. 00 ст."},
        {1e-20, "Нула лв. 00 ст."},
        {-0.5, "Минус нула лв. 50 ст."},
        {-1250, "Минус хиляда двеста и петдесет лв. 00 ст."},
        {-2002000, "Минус два милиона две хиляди лв. 00 ст."},
        {12012, "Дванадесет хиляди и дванадесет лв. 00 ст."},
        {112, "Сто и дванадесет лв. 00 ст."},
        {200, "Двеста лв. 00 ст."},
        {202000, "Двеста и две хиляди лв. 00 ст."},
        {1000001, "Един милион и един лв. 00 ст."},
        {5000100, "Пет милиона сто лв. 00 ст."},
        {1234567890.5, "1234567890 лв. 50 ст."},
        {1e16, "10000000000000000 лв. 00 ст."},
        {qInf(), "Нула лв. 00 ст."},
        {qQNaN(), "Нула лв. 00 ст."},
    };
    for (const auto& row : table)
        QTest::newRow(qPrintable(QString::number(row.amount, 'f', 3))) << row.amount << QString::fromUtf8(row.words);
}

void TestAmountInWords::amounts() {
    QFETCH(double, amount);
    QFETCH(QString, words);
    QCOMPARE(AmountInWords(amount), words);
}

void TestAmountInWords::triplets_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("words");
    QTest::newRow("0") << 0 << QStringLiteral("нула ");
    QTest::newRow("5") << 5 << QStringLiteral("пет ");
    QTest::newRow("10") << 10 << QStringLiteral("десет ");
    QTest::newRow("25") << 25 << QStringLiteral("двадесет и пет ");
    QTest::newRow("105") << 105 << QStringLiteral("сто и пет ");
    QTest::newRow("115") << 115 << QStringLiteral("сто и петнадесет ");
    QTest::newRow("120") << 120 << QStringLiteral("сто и двадесет ");
    QTest::newRow("121") << 121 << QStringLiteral("сто двадесет и един ");
    QTest::newRow("300") << 300 << QStringLiteral("триста ");
    QTest::newRow("-999") << -999 << QStringLiteral("минус деветстотин деветдесет и девет ");
    QTest::newRow("1002") << 1002 << QStringLiteral("хиляда и два ");
    QTest::newRow("INT_MIN") << int(-2147483647 - 1) << QStringLiteral("минус 2147483648 ");
}

void TestAmountInWords::triplets() {
    QFETCH(int, value);
    QFETCH(QString, words);
    QCOMPARE(TripletInWords(value), words);
}

// Every amount in range reads as words, single spaces, "лв. ", two digits, " ст.".
void TestAmountInWords::shape_data() {
    QTest::addColumn<double>("amount");
    for (double a : {3.07, 17.0, 40.4, 1234.56, 70070.7, 813999.01, 60000000.0, 999000999.0})
        QTest::newRow(qPrintable(QString::number(a, 'f', 2))) << a;
}

void TestAmountInWords::shape() {
    QFETCH(double, amount);
    const QString w = AmountInWords(amount);
    QVERIFY2(!w.contains(QStringLiteral("  ")), qPrintable(w));
    QVERIFY(!w.startsWith(QLatin1Char(' ')));
    QVERIFY(w.at(0).isUpper());
    QVERIFY(QRegularExpression(QStringLiteral("^[^0-9]+ лв\\. \\d\\d ст\\.$")).match(w).hasMatch());
}

int main(int argc, char** argv) {
    testenv::isolateSettings();
    QGuiApplication app(argc, argv);
    TestAmountInWords t;
    return QTest::qExec(&t, argc, argv);
}

#include "TestAmountInWords.moc"
