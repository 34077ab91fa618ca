// The dialogs' checks: only the first failing one is reported, in the fixed order.
#include "operations/Validation.h"

#include <QTest>

using namespace validation;

class TestValidation : public QObject {
    Q_OBJECT

private slots:
    void intakeOrder_data() {
        QTest::addColumn<int>("dogNo");
        QTest::addColumn<bool>("duplicate");
        QTest::addColumn<QString>("art");
        QTest::addColumn<qint64>("dlv");
        QTest::addColumn<qint64>("sale");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("adres");
        QTest::addColumn<QString>("egn");
        QTest::addColumn<QString>("message");
        const QString ok;
        QTest::newRow("all good") << 1 << false << "Пералня" << 10000LL << 10001LL << "Иван" << "София" << "1234567890" << ok;
        QTest::newRow("number 0 first") << 0 << true << "" << 0LL << 0LL << "" << "" << "" << "Въведете коректен номер на договора";
        QTest::newRow("negative number") << -5 << false << "x" << 1LL << 2LL << "a" << "b" << "1234567890" << "Въведете коректен номер на договора";
        QTest::newRow("duplicate before appliance") << 3 << true << "" << 0LL << 0LL << "" << "" << "" << "Такъв номер на договор вече съществува";
        QTest::newRow("appliance blanks") << 3 << false << " \t " << 0LL << 0LL << "" << "" << "" << "Въведете уред";
        QTest::newRow("purchase 0") << 3 << false << "x" << 0LL << 5LL << "" << "" << "" << "Въведете коректна изкупна цена";
        QTest::newRow("purchase negative") << 3 << false << "x" << -1LL << 5LL << "" << "" << "" << "Въведете коректна изкупна цена";
        QTest::newRow("sale equal") << 3 << false << "x" << 10000LL << 10000LL << "" << "" << "" << "Въведете по-голяма цена от изкупната";
        QTest::newRow("sale one below") << 3 << false << "x" << 10000LL << 9999LL << "" << "" << "" << "Въведете по-голяма цена от изкупната";
        QTest::newRow("names blank") << 3 << false << "x" << 1LL << 2LL << "  " << "" << "" << "Въведете имената на продавача";
        QTest::newRow("address blank") << 3 << false << "x" << 1LL << 2LL << "a" << "\n" << "" << "Въведете адреса на продавача";
        QTest::newRow("egn empty") << 3 << false << "x" << 1LL << 2LL << "a" << "b" << "" << "Въведете коректен ЕГН на продавача";
        QTest::newRow("egn 9 digits") << 3 << false << "x" << 1LL << 2LL << "a" << "b" << "123456789" << "Въведете коректен ЕГН на продавача";
        QTest::newRow("egn 11 digits") << 3 << false << "x" << 1LL << 2LL << "a" << "b" << "12345678901" << "Въведете коректен ЕГН на продавача";
    }
    void intakeOrder() {
        QFETCH(int, dogNo);
        QFETCH(bool, duplicate);
        QFETCH(QString, art);
        QFETCH(qint64, dlv);
        QFETCH(qint64, sale);
        QFETCH(QString, names);
        QFETCH(QString, adres);
        QFETCH(QString, egn);
        QFETCH(QString, message);
        const auto r = checkIntake({dogNo, art, dlv, sale, names, adres, egn}, duplicate);
        QCOMPARE(r ? r->message : QString(), message);
    }

    void trimming() {
        QCOMPARE(trimmed(QStringLiteral(" \t\x01Пералня  Bosch \r\n")), QStringLiteral("Пералня  Bosch"));
        QCOMPARE(trimmed(QStringLiteral("   ")), QString());
    }

    void salePrices() {
        QCOMPARE(checkSalePrice(-1)->message, QStringLiteral("Не може да въвеждате отрицателна цена!"));
        QVERIFY(!checkSalePrice(0));
        QVERIFY(salePriceBelowPayout(9999, 10000));
        QVERIFY(!salePriceBelowPayout(10000, 10000));
        QVERIFY(salePriceBelowPayout(0, 1));
        QCOMPARE(checkBuyer(QStringLiteral(" "), QStringLiteral("a"))->message, QStringLiteral("Въведете имената на клиента!"));
        QCOMPARE(checkBuyer(QStringLiteral("a"), QString())->message, QStringLiteral("Въведете адреса на клиента!"));
        QVERIFY(!checkBuyer(QStringLiteral(" a "), QStringLiteral(" b ")));
    }

    void priceChange_data() {
        QTest::addColumn<qint64>("dlv");
        QTest::addColumn<qint64>("sale");
        QTest::addColumn<bool>("payed");
        QTest::addColumn<int>("verdict");
        QTest::newRow("unpaid above") << 100LL << 101LL << false << int(PriceVerdict::Ok);
        QTest::newRow("unpaid equal") << 100LL << 100LL << false << int(PriceVerdict::SaleNotAbove);
        QTest::newRow("paid equal asks") << 100LL << 100LL << true << int(PriceVerdict::AskBelow);
        QTest::newRow("paid below asks") << 100LL << 50LL << true << int(PriceVerdict::AskBelow);
        QTest::newRow("zero purchase") << 0LL << 50LL << false << int(PriceVerdict::NotPositive);
        QTest::newRow("zero purchase paid") << 0LL << 50LL << true << int(PriceVerdict::NotPositive);
        QTest::newRow("paid, negative sale price") << 100LL << -1LL << true << int(PriceVerdict::SaleNegative);
        QTest::newRow("unpaid, negative sale price") << 100LL << -1LL << false << int(PriceVerdict::SaleNegative);
        QTest::newRow("paid, sale price 0 asks") << 100LL << 0LL << true << int(PriceVerdict::AskBelow);
    }
    void priceChange() {
        QFETCH(qint64, dlv);
        QFETCH(qint64, sale);
        QFETCH(bool, payed);
        QFETCH(int, verdict);
        QCOMPARE(int(checkPrices(dlv, sale, payed)), verdict);
    }
};

QTEST_GUILESS_MAIN(TestValidation)
#include "TestValidation.moc"
