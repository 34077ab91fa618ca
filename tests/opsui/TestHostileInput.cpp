// Hostile input typed or pasted into every field of the operations' dialogs:
// each is refused with a message or stored cut or normalised as its column
// allows. Nothing crashes and nothing is half booked.
#include "core/Formats.h"
#include "operations/Validation.h"
#include "operations/ui/IntakeDialog.h"
#include "operations/ui/MoneyEdit.h"
#include "operations/ui/PayoutDialog.h"
#include "operations/ui/PriceChangeDialog.h"
#include "operations/ui/SaleDialog.h"
#include "tests/opsui/OpsFixture.h"
#include "tests/support/Controls.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {
const QString kLong = QString(10000, QChar(0x042F)); // 10,000 x "Я"
const QString kDigits = QString(10000, QLatin1Char('7'));
const QString kControl = QStringLiteral("\t\x01Пералня\x1f\r\n");
const QString kOutside1251 = QStringLiteral("Пералня 洗衣机 🚀");
const QString kRtl = QStringLiteral("غسالة Samsung");
const QString kInjection = QStringLiteral("x'); DELETE FROM resale; --");
const QString kRefusedPrice = QStringLiteral("Въведете коректна изкупна цена");
} // namespace

class TestHostileInput : public QObject {
    Q_OBJECT
    OpsFixture m_f;
    QWidget m_main;
    IntakeDialog* m_get = nullptr;
    SaleDialog* m_sale = nullptr;
    PayoutDialog* m_pay = nullptr;
    PriceChangeDialog* m_prices = nullptr;

    // Pastes text as the clerk would: the field's validator and length apply.
    static void paste(QDialog* dlg, const QString& field, const QString& text) {
        auto* e = dlg->findChild<QLineEdit*>(field);
        QVERIFY2(e, qPrintable(field));
        e->clear();
        e->insert(text);
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        PrintService::setScripted(true);
        QVERIFY(m_f.open());
        m_get = new IntakeDialog(m_f.db, &m_main);
        m_sale = new SaleDialog(m_f.db, &m_main);
        m_pay = new PayoutDialog(m_f.db, &m_main);
        m_prices = new PriceChangeDialog(m_f.db, &m_main);
    }
    void init() { MessageService::clearShown(); }

    void hostile_data() {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message"); // expected refusal, or empty
        QTest::addColumn<QString>("column");  // item column to read when stored
        QTest::addColumn<QString>("stored");  // what it holds then
        auto row = [](const char* name, const char* d, const char* f, const QString& in, const QString& msg,
                      const char* col = "", const QString& stored = QString()) {
            QTest::newRow(name) << QString::fromLatin1(d) << QString::fromLatin1(f) << in << msg
                                << QString::fromLatin1(col) << stored;
        };
        // intake
        row("intake art 10000 chars", "intake", "eArt", kLong, {}, "Art", kLong.left(50));
        row("intake art control chars", "intake", "eArt", kControl, {}, "Art", QStringLiteral("Пералня"));
        row("intake art outside 1251", "intake", "eArt", kOutside1251, {}, "Art", kOutside1251);
        row("intake art right-to-left", "intake", "eArt", kRtl, {}, "Art", kRtl);
        row("intake art apostrophes", "intake", "eArt", kInjection, {}, "Art", kInjection);
        row("intake art percent underscore", "intake", "eArt", QStringLiteral("100% _памук_"), {}, "Art",
            QStringLiteral("100% _памук_"));
        row("intake art only blanks", "intake", "eArt", QStringLiteral("   \t "), QStringLiteral("Въведете уред"));
        row("intake note 10000 chars", "intake", "eArtNote", kLong, {}, "ArtNote", kLong.left(50));
        row("intake serial 10000 chars", "intake", "eSN", kLong, {}, "Serial", kLong.left(25));
        row("intake serial DEL char", "intake", "eSN",
            QStringLiteral("SN\x7f"
                           "1"),
            {}, "Serial",
            QStringLiteral("SN\x7f"
                           "1"));
        row("intake price 1e308", "intake", "eDlvPrice", QStringLiteral("1e308"), kRefusedPrice);
        row("intake price NaN", "intake", "eDlvPrice", QStringLiteral("NaN"), kRefusedPrice);
        row("intake price -0", "intake", "eDlvPrice", QStringLiteral("-0"), kRefusedPrice);
        row("intake price 0.005", "intake", "eDlvPrice", QStringLiteral("0.005"), kRefusedPrice);
        row("intake price 99999999999", "intake", "eDlvPrice", QStringLiteral("99999999999"), kRefusedPrice);
        row("intake price with comma and blanks", "intake", "eDlvPrice", QStringLiteral("1 234,5"), {}, "DlvPrice",
            QStringLiteral("1234.5"));
        row("intake sale price infinity", "intake", "eSalePrice", QStringLiteral("inf"),
            QStringLiteral("Въведете по-голяма цена от изкупната"));
        row("intake number 11 digits", "intake", "eDogNo", QStringLiteral("99999999999"),
            QStringLiteral("Въведете коректен номер на договора"));
        row("intake number letters", "intake", "eDogNo", QStringLiteral("abc"),
            QStringLiteral("Въведете коректен номер на договора"));
        row("intake number fullwidth digits", "intake", "eDogNo", QStringLiteral("１２"),
            QStringLiteral("Въведете коректен номер на договора"));
        row("intake number negative", "intake", "eDogNo", QStringLiteral("-5"),
            QStringLiteral("Въведете коректен номер на договора"));
        row("intake names 10000 chars", "intake", "eNames", kLong, {}, "DlvNames", kLong.left(35));
        row("intake names line breaks only", "intake", "eNames", QStringLiteral("\r\n\t"),
            QStringLiteral("Въведете имената на продавача"));
        row("intake address with direction mark", "intake", "eAdres", QStringLiteral(" София\u202E "), {}, "DlvAdres",
            QStringLiteral("София\u202E"));
        row("intake personal number with letters", "intake", "eEGN", QStringLiteral("12345abcde"),
            QStringLiteral("Въведете коректен ЕГН на продавача"));
        row("intake personal number arabic digits", "intake", "eEGN", QStringLiteral("٠١٢٣٤٥٦٧٨٩"),
            QStringLiteral("Въведете коректен ЕГН на продавача"));
        row("intake personal number 10000 digits", "intake", "eEGN", kDigits, {}, "DlvEGN", kDigits.left(10));
        row("intake identity card 10000 digits", "intake", "eLK", kDigits, {}, "DlvLK", kDigits.left(9));
        // sale (payout price 100.00, asking 150.00)
        row("sale price 1e308", "sale", "ePrice", QStringLiteral("1e308"), validation::belowPayoutQuestion());
        row("sale price -0", "sale", "ePrice", QStringLiteral("-0"), validation::belowPayoutQuestion());
        row("sale price negative", "sale", "ePrice", QStringLiteral("-5"),
            QStringLiteral("Не може да въвеждате отрицателна цена!"));
        row("sale price 0.005", "sale", "ePrice", QStringLiteral("0.005"), validation::belowPayoutQuestion());
        row("sale price NaN", "sale", "ePrice", QStringLiteral("NaN"), validation::belowPayoutQuestion());
        row("sale price largest", "sale", "ePrice", QStringLiteral("999999999.99"), {}, "SalePrice",
            QStringLiteral("999999999.99"));
        row("sale names 10000 chars", "sale", "eNames", kLong, {}, "ClientNames", kLong.left(50));
        row("sale names control only", "sale", "eNames", QStringLiteral("\x01\x02"),
            QStringLiteral("Въведете имената на клиента!"));
        row("sale address injection", "sale", "eAdres", kInjection, {}, "ClientAdres", kInjection);
        row("sale info outside 1251", "sale", "eInfo", kOutside1251, {}, "ClientInfo", kOutside1251);
        row("sale note right-to-left", "sale", "eSaleInfo", kRtl, {}, "SaleInfo", kRtl);
        row("sale note 10000 chars", "sale", "eSaleInfo", kLong, {}, "SaleInfo", kLong.left(50));
        // payout
        row("payout NaN", "payout", "ePrice", QStringLiteral("NaN"), QStringLiteral("Въведете положителна цена!"));
        row("payout 1e308", "payout", "ePrice", QStringLiteral("1e308"), QStringLiteral("Въведете положителна цена!"));
        row("payout -0", "payout", "ePrice", QStringLiteral("-0"), QStringLiteral("Въведете положителна цена!"));
        row("payout 0.005", "payout", "ePrice", QStringLiteral("0.005"), QStringLiteral("Въведете положителна цена!"));
        row("payout one stotinka", "payout", "ePrice", QStringLiteral("0.01"), {}, "DlvPrice", QStringLiteral("0.01"));
        // price change
        row("prices sale 1e308", "prices", "eSalePrice", QStringLiteral("1e308"),
            QStringLiteral("Продажната цена трябва да е по-голяма от изкупната!"));
        row("prices purchase -0", "prices", "eDlvPrice", QStringLiteral("-0"),
            QStringLiteral("Въведете положителна цена!"));
        row("prices sale largest", "prices", "eSalePrice", QStringLiteral("999999999.99"), {}, "SalePrice",
            QStringLiteral("999999999.99"));
    }

    void hostile() {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(QString, input);
        QFETCH(QString, message);
        QFETCH(QString, column);
        QFETCH(QString, stored);
        const QStringList before = m_f.snapshot();
        const int itemsBefore = m_f.count(QStringLiteral("resale"));
        QDialog* dlg = nullptr;
        QPushButton* ok = nullptr;
        QPushButton* cancel = nullptr;
        qint64 id = -1;
        if (dialog == QLatin1String("intake")) {
            m_get->setClerk(1);
            m_get->setShop(1);
            ui::check(m_get, "chkPrn")->setChecked(false);
            m_get->show();
            ui::edit(m_get, "eArt")->setText(QStringLiteral("Пералня"));
            ui::edit(m_get, "eDlvPrice")->setText(QStringLiteral("100"));
            ui::edit(m_get, "eSalePrice")->setText(QStringLiteral("2000"));
            ui::edit(m_get, "eNames")->setText(QStringLiteral("Иван"));
            ui::edit(m_get, "eAdres")->setText(QStringLiteral("София"));
            ui::edit(m_get, "eEGN")->setText(QStringLiteral("1234567890"));
            dlg = m_get, ok = ui::button(m_get, "btnOk"), cancel = ui::button(m_get, "btnCancel");
        } else {
            id = m_f.takeIn(1, 10000, 15000);
            if (dialog == QLatin1String("sale")) {
                m_sale->setClerk(1);
                m_sale->setItem(m_f.item(id));
                ui::check(m_sale, "chkPrn")->setChecked(false);
                m_sale->show();
                ui::edit(m_sale, "eNames")->setText(QStringLiteral("Купувач"));
                ui::edit(m_sale, "eAdres")->setText(QStringLiteral("Адрес"));
                dlg = m_sale, ok = ui::button(m_sale, "btnOk"), cancel = ui::button(m_sale, "btnCancel");
                MessageService::queueAnswer(QMessageBox::No); // to a price below the payout
            } else if (dialog == QLatin1String("payout")) {
                m_pay->setClerk(1);
                m_pay->setItem(m_f.item(id));
                m_pay->show();
                dlg = m_pay, ok = ui::button(m_pay, "btnOk"), cancel = ui::button(m_pay, "btnCancel");
            } else {
                m_prices->setClerk(1);
                m_prices->setItem(m_f.item(id));
                m_prices->show();
                dlg = m_prices, ok = ui::button(m_prices, "btnOk"), cancel = ui::button(m_prices, "btnCancel");
            }
        }
        const QStringList opened = m_f.snapshot();
        paste(dlg, field, input);
        ok->click();
        if (!message.isEmpty()) {
            QCOMPARE(MessageService::shown().isEmpty() ? QString() : MessageService::shown().first().text, message);
            QVERIFY(dlg->isVisible());
            QCOMPARE(m_f.snapshot(), opened); // nothing half booked
            cancel->click();
            QCOMPARE(m_f.count(QStringLiteral("resale")), id < 0 ? itemsBefore : itemsBefore + 1);
            return;
        }
        QCOMPARE(MessageService::shown().size(), 0);
        QVERIFY(!dlg->isVisible());
        if (id < 0)
            id = m_get->newId();
        const QVariant v = m_f.db.scalar(QStringLiteral("SELECT %1 FROM resale WHERE Id = ?").arg(column), {id});
        if (column.endsWith(QLatin1String("Price"))) {
            money::Cents want = 0;
            QVERIFY(formats::parseMoney(stored, &want));
            QCOMPARE(money::fromLeva(v.toDouble()), want);
        } else {
            QCOMPARE(v.toString(), stored);
        }
        QVERIFY(m_f.snapshot() != before);
    }
};

QTEST_MAIN(TestHostileInput)
#include "TestHostileInput.moc"
