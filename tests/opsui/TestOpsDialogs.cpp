// The operations' dialogs driven as a clerk drives them: what each refuses,
// in which order, where the focus goes, and what OK books.
#include "core/Formats.h"
#include "documents/AmountInWords.h"
#include "operations/Validation.h"
#include "operations/ui/DigitKeyFilter.h"
#include "operations/ui/IntakeDialog.h"
#include "operations/ui/MoneyEdit.h"
#include "operations/ui/ContractData.h"
#include "operations/ui/PayoutDialog.h"
#include "operations/ui/PriceChangeDialog.h"
#include "operations/ui/SaleDialog.h"
#include "operations/ui/ShopChooser.h"
#include "tests/opsui/OpsFixture.h"
#include "tests/support/Accessibility.h"
#include "tests/support/Engines.h"
#include "tests/widgets/PdfText.h"
#include "tests/support/Controls.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using money::Cents;

class TestOpsDialogs : public QObject {
    Q_OBJECT
    OpsFixture m_f;
    std::unique_ptr<QTemporaryDir> m_out;
    QWidget m_main; // stands for the main window, parent of the dialogs
    IntakeDialog* m_get = nullptr;
    SaleDialog* m_sale = nullptr;
    PayoutDialog* m_pay = nullptr;
    PriceChangeDialog* m_prices = nullptr;
    ShopChooser* m_shops = nullptr;

    static QString focused(QWidget* dialog) {
        return dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
    }
    static QString lastShown() { return MessageService::shown().isEmpty() ? QString() : MessageService::lastText(); }

    void openSale(qint64 id) {
        m_sale->hide();
        m_sale->setClerk(1);
        m_sale->setItem(m_f.item(id));
        m_sale->show();
    }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        m_out = testenv::tempDir();
        PrintService::setScripted(true, m_out->path());
        Clock::set(QDateTime(QDate(2026, 4, 14), QTime(10, 0)));
        QVERIFY(m_f.open());
        m_get = new IntakeDialog(m_f.db, &m_main);
        m_sale = new SaleDialog(m_f.db, &m_main);
        m_pay = new PayoutDialog(m_f.db, &m_main);
        m_prices = new PriceChangeDialog(m_f.db, &m_main);
        m_shops = new ShopChooser(m_f.db, &m_main);
    }
    void init() { MessageService::clearShown(); }
    void cleanup() {
        for (QWidget* d : {static_cast<QWidget*>(m_get), static_cast<QWidget*>(m_sale), static_cast<QWidget*>(m_pay),
                           static_cast<QWidget*>(m_prices)})
            d->hide();
        Database::failStatement(0);
    }

    // --- intake ---
    void intakeChecks_data() {
        QTest::addColumn<QString>("dogNo");
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("dlv");
        QTest::addColumn<QString>("sale");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("adres");
        QTest::addColumn<QString>("egn");
        QTest::addColumn<QString>("message"); // empty: booked
        QTest::addColumn<QString>("focus");
        const QString egn = QStringLiteral("7501124567");
        // Shop 1 already holds contract 500 (made in the test).
        QTest::newRow("empty number") << ""
                                      << "Уред"
                                      << "100"
                                      << "150"
                                      << "Иван"
                                      << "София" << egn << "Въведете коректен номер на договора"
                                      << "eDogNo";
        QTest::newRow("zero number") << "0"
                                     << "Уред"
                                     << "100"
                                     << "150"
                                     << "Иван"
                                     << "София" << egn << "Въведете коректен номер на договора"
                                     << "eDogNo";
        QTest::newRow("negative number") << "-5"
                                         << "Уред"
                                         << "100"
                                         << "150"
                                         << "Иван"
                                         << "София" << egn << "Въведете коректен номер на договора"
                                         << "eDogNo";
        QTest::newRow("number used in the shop") << "500"
                                                 << "Уред"
                                                 << "100"
                                                 << "150"
                                                 << "Иван"
                                                 << "София" << egn << "Такъв номер на договор вече съществува"
                                                 << "eDogNo";
        QTest::newRow("everything wrong: number first") << "0"
                                                        << " "
                                                        << "0"
                                                        << "0"
                                                        << ""
                                                        << ""
                                                        << ""
                                                        << "Въведете коректен номер на договора"
                                                        << "eDogNo";
        QTest::newRow("duplicate before the appliance") << "500"
                                                        << " "
                                                        << "0"
                                                        << "0"
                                                        << ""
                                                        << ""
                                                        << ""
                                                        << "Такъв номер на договор вече съществува"
                                                        << "eDogNo";
        QTest::newRow("appliance of blanks") << "601"
                                             << "   "
                                             << "100"
                                             << "150"
                                             << "Иван"
                                             << "София" << egn << "Въведете уред"
                                             << "eArt";
        QTest::newRow("appliance before prices") << "601"
                                                 << ""
                                                 << "0"
                                                 << "0"
                                                 << ""
                                                 << ""
                                                 << ""
                                                 << "Въведете уред"
                                                 << "eArt";
        QTest::newRow("purchase price 0") << "601"
                                          << "Уред"
                                          << "0"
                                          << "150"
                                          << "Иван"
                                          << "София" << egn << "Въведете коректна изкупна цена"
                                          << "eDlvPrice";
        QTest::newRow("purchase price negative") << "601"
                                                 << "Уред"
                                                 << "-1"
                                                 << "150"
                                                 << "Иван"
                                                 << "София" << egn << "Въведете коректна изкупна цена"
                                                 << "eDlvPrice";
        QTest::newRow("sale price equal") << "601"
                                          << "Уред"
                                          << "100.00"
                                          << "100.00"
                                          << "Иван"
                                          << "София" << egn << "Въведете по-голяма цена от изкупната"
                                          << "eSalePrice";
        QTest::newRow("sale price a stotinka below") << "601"
                                                     << "Уред"
                                                     << "100"
                                                     << "99.99"
                                                     << "Иван"
                                                     << "София" << egn << "Въведете по-голяма цена от изкупната"
                                                     << "eSalePrice";
        QTest::newRow("names of blanks") << "601"
                                         << "Уред"
                                         << "100"
                                         << "150"
                                         << "  "
                                         << "София" << egn << "Въведете имената на продавача"
                                         << "eNames";
        QTest::newRow("names before address") << "601"
                                              << "Уред"
                                              << "100"
                                              << "150"
                                              << ""
                                              << ""
                                              << ""
                                              << "Въведете имената на продавача"
                                              << "eNames";
        QTest::newRow("address of blanks") << "601"
                                           << "Уред"
                                           << "100"
                                           << "150"
                                           << "Иван"
                                           << "\t " << egn << "Въведете адреса на продавача"
                                           << "eAdres";
        QTest::newRow("personal number 9 digits") << "601"
                                                  << "Уред"
                                                  << "100"
                                                  << "150"
                                                  << "Иван"
                                                  << "София"
                                                  << "750112456"
                                                  << "Въведете коректен ЕГН на продавача"
                                                  << "eEGN";
        QTest::newRow("personal number empty") << "601"
                                               << "Уред"
                                               << "100"
                                               << "150"
                                               << "Иван"
                                               << "София"
                                               << ""
                                               << "Въведете коректен ЕГН на продавача"
                                               << "eEGN";
        QTest::newRow("a stotinka above passes") << "601"
                                                 << "Уред"
                                                 << "100.00"
                                                 << "100.01"
                                                 << "Иван"
                                                 << "София" << egn << ""
                                                 << "";
        QTest::newRow("comma and blanks in amounts") << "602"
                                                     << "Уред"
                                                     << "1 100,5"
                                                     << "1 200,75"
                                                     << "Иван"
                                                     << "София" << egn << ""
                                                     << "";
        QTest::newRow("number of another shop") << "700"
                                                << "  Хладилник  "
                                                << "10"
                                                << "20"
                                                << " Мария "
                                                << " Русе " << egn << ""
                                                << "";
    }
    void intakeChecks() {
        QFETCH(QString, dogNo);
        QFETCH(QString, art);
        QFETCH(QString, dlv);
        QFETCH(QString, sale);
        QFETCH(QString, names);
        QFETCH(QString, adres);
        QFETCH(QString, egn);
        QFETCH(QString, message);
        QFETCH(QString, focus);

        if (!ops::contractNumberUsed(m_f.db, 1, 500)) {
            ops::IntakeInput in{1, 500, "Стар уред", "", "", 1000, 2000, false, "Иван", "София", "7501124567", ""};
            QVERIFY(ops::intake(ops::Context{m_f.db, 1}, in).ok());
        }
        if (!ops::contractNumberUsed(m_f.db, 2, 700)) {
            ops::IntakeInput in{2, 700, "Уред", "", "", 1000, 2000, false, "Иван", "София", "7501124567", ""};
            QVERIFY(ops::intake(ops::Context{m_f.db, 1}, in).ok());
        }
        const int itemsBefore = m_f.count("resale");

        m_get->setClerk(1);
        m_get->setShop(1);
        ui::check(m_get, "chkPrn")->setChecked(false);
        m_get->show();
        ui::edit(m_get, "eDogNo")->setText(dogNo);
        ui::edit(m_get, "eArt")->setText(art);
        ui::edit(m_get, "eDlvPrice")->setText(dlv);
        ui::edit(m_get, "eSalePrice")->setText(sale);
        ui::edit(m_get, "eNames")->setText(names);
        ui::edit(m_get, "eAdres")->setText(adres);
        ui::edit(m_get, "eEGN")->setText(egn);
        ui::button(m_get, "btnOk")->click();

        if (message.isEmpty()) {
            QCOMPARE(lastShown(), QString());
            QCOMPARE(m_get->result(), int(QDialog::Accepted));
            QVERIFY(!m_get->isVisible());
            const Item it = m_f.item(m_get->newId());
            QCOMPARE(it.dogNo, dogNo.toInt());
            QCOMPARE(it.idShop, 1);
            QCOMPARE(it.art, art.trimmed());
            QCOMPARE(it.dlvNames, names.trimmed());
            QCOMPARE(it.dlvAdres, adres.trimmed());
            Cents d = 0, s = 0;
            QVERIFY(formats::parseMoney(dlv, &d));
            QVERIFY(formats::parseMoney(sale, &s));
            QCOMPARE(it.dlvPrice, d);
            QCOMPARE(it.salePrice, s);
            QCOMPARE(m_f.count("resale"), itemsBefore + 1);
        } else {
            QCOMPARE(MessageService::shown().size(), 1);
            QCOMPARE(MessageService::shown().first().text, message);
            QCOMPARE(MessageService::shown().first().caption, QStringLiteral("Грешка"));
            QCOMPARE(MessageService::shown().first().icon, QMessageBox::Critical);
            QVERIFY(m_get->isVisible());
            QCOMPARE(focused(m_get), focus);
            if (focus == QLatin1String("eDogNo"))
                QCOMPARE(ui::edit(m_get, "eDogNo")->selectedText(), ui::edit(m_get, "eDogNo")->text());
            if (dogNo.isEmpty())
                QCOMPARE(ui::edit(m_get, "eDogNo")->text(), QStringLiteral("0"));
            QCOMPARE(m_f.count("resale"), itemsBefore);
            ui::button(m_get, "btnCancel")->click();
        }
    }

    void intakeProposesNumberAndKeepsPrintChoice() {
        m_get->setClerk(1);
        m_get->setShop(3);
        ui::check(m_get, "chkPrn")->setChecked(false);
        m_get->show();
        QCOMPARE(ui::edit(m_get, "eDogNo")->text(), QString::number(ops::proposeContractNumber(m_f.db, 3)));
        QCOMPARE(focused(m_get), QStringLiteral("eDogNo"));
        ui::edit(m_get, "eArt")->setText(QStringLiteral("нещо"));
        ui::button(m_get, "btnCancel")->click();
        m_get->show();
        QCOMPARE(ui::edit(m_get, "eArt")->text(), QString()); // a new appliance each time
        QVERIFY(!ui::check(m_get, "chkPrn")->isChecked());    // the clerk's last choice holds
        ui::button(m_get, "btnCancel")->click();
        ui::check(m_get, "chkPrn")->setChecked(true);
    }

    void intakeTextsCutToColumns() {
        QCOMPARE(ui::edit(m_get, "eArt")->maxLength(), 50);
        QCOMPARE(ui::edit(m_get, "eArtNote")->maxLength(), 50);
        QCOMPARE(ui::edit(m_get, "eSN")->maxLength(), 25);
        QCOMPARE(ui::edit(m_get, "eNames")->maxLength(), 35);
        QCOMPARE(ui::edit(m_get, "eAdres")->maxLength(), 50);
        QCOMPARE(ui::edit(m_get, "eEGN")->maxLength(), 10);
        QCOMPARE(ui::edit(m_get, "eLK")->maxLength(), 9);
        ui::edit(m_get, "eNames")->setText(QString(40, QChar(0x0416))); // Ж, counted in characters
        QCOMPARE(ui::edit(m_get, "eNames")->text().size(), 35);
    }

    // What is typed or pasted past a field's length never leaves half of a
    // character outside the Basic Multilingual Plane in the field.
    void typedTextKeepsWholeCharacters() {
        const QString face = QString::fromUcs4(U"\U0001F600");
        m_get->setShop(1);
        m_get->show();
        QLineEdit* art = ui::edit(m_get, "eArt");
        art->clear();
        art->insert(QString(49, QLatin1Char('a')) + face);
        QCOMPARE(art->text(), QString(49, QLatin1Char('a')));
        art->clear();
        art->insert(QString(48, QLatin1Char('a')) + face + QStringLiteral("b"));
        QCOMPARE(art->text(), QString(48, QLatin1Char('a')) + face);
        m_get->hide();
        const qint64 id = m_f.takeIn(1, 10000, 15000);
        openSale(id);
        QLineEdit* names = ui::edit(m_sale, "eNames");
        names->setText(QString(49, QChar(0x0416)) + face);
        QCOMPARE(names->text(), QString(49, QChar(0x0416)));
        m_sale->hide();
    }

    void digitFilter_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("personal number") << "eEGN";
        QTest::newRow("identity card") << "eLK";
    }
    void digitFilter() {
        QFETCH(QString, field);
        m_get->setShop(1);
        m_get->show();
        auto* e = m_get->findChild<QLineEdit*>(field);
        QVERIFY(e);
        e->setFocus();
        QTest::keyClicks(e, QStringLiteral("12a -+.,"));
        QTest::sendKeyEvent(QTest::Press, e, Qt::Key_unknown, QStringLiteral("Б"), Qt::NoModifier);
        QTest::keyClicks(e, QStringLiteral("34"));
        QCOMPARE(e->text(), QStringLiteral("1234"));
        QTest::keyClick(e, Qt::Key_Backspace);
        QCOMPARE(e->text(), QStringLiteral("123"));
        e->insert(QStringLiteral("4x5")); // pasted text with a letter is refused
        QCOMPARE(e->text(), QStringLiteral("123"));
        e->insert(QStringLiteral("45"));
        QCOMPARE(e->text(), QStringLiteral("12345"));
        ui::button(m_get, "btnCancel")->click();
    }

    // --- money editor ---
    void moneyEdit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown"); // after leaving the editor
        QTest::addColumn<qint64>("cents");
        QTest::newRow("point") << "12.5"
                               << "12.50" << qint64(1250);
        QTest::newRow("comma") << "12,05"
                               << "12.05" << qint64(1205);
        QTest::newRow("blanks") << "1 234 567.8"
                                << "1234567.80" << qint64(123456780);
        QTest::newRow("letters swallowed") << "1a2b"
                                           << "12.00" << qint64(1200);
        QTest::newRow("third decimal swallowed") << "1.239"
                                                 << "1.23" << qint64(123);
        QTest::newRow("too large swallowed") << "99999999999"
                                             << "999999999.00" << qint64(99999999900);
        QTest::newRow("negative") << "-3"
                                  << "-3.00" << qint64(-300);
        QTest::newRow("empty") << ""
                               << "0.00" << qint64(0);
    }
    void moneyEdit() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(qint64, cents);
        MoneyEdit e;
        e.clear();
        QTest::keyClicks(&e, typed);
        e.normalize();
        QCOMPARE(e.text(), shown);
        QCOMPARE(e.value(), cents);
    }
    void moneyEditRange() {
        MoneyEdit e;
        e.setRange(0, 15000);
        e.setValue(20000);
        QCOMPARE(e.value(), Cents(15000));
        e.setText(QStringLiteral("-5"));
        e.normalize();
        QCOMPARE(e.value(), Cents(0));
        e.setRange(0, 0); // off
        e.setValue(20000);
        QCOMPARE(e.value(), Cents(20000));
    }

    // --- sale ---
    void saleChecks_data() {
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("adres");
        QTest::addColumn<int>("answer"); // to the question on a price below the payout price
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // empty: sold
        const int none = int(QMessageBox::NoButton), yes = int(QMessageBox::Yes), no = int(QMessageBox::No);
        const QString below = validation::belowPayoutQuestion();
        QTest::newRow("negative price") << "-0.01"
                                        << "Купувач"
                                        << "Адрес" << none << "Не може да въвеждате отрицателна цена!"
                                        << "ePrice";
        QTest::newRow("negative before names") << "-5"
                                               << ""
                                               << "" << none << "Не може да въвеждате отрицателна цена!"
                                               << "ePrice";
        QTest::newRow("a stotinka below, No") << "99.99"
                                              << "Купувач"
                                              << "Адрес" << no << below << "ePrice";
        QTest::newRow("zero, No") << "0"
                                  << "Купувач"
                                  << "Адрес" << no << below << "ePrice";
        QTest::newRow("a stotinka below, Yes") << "99.99"
                                               << "Купувач"
                                               << "Адрес" << yes << below << "";
        QTest::newRow("equal to payout, no question") << "100"
                                                      << "Купувач"
                                                      << "Адрес" << none << ""
                                                      << "";
        QTest::newRow("names of blanks") << "150"
                                         << "   "
                                         << "Адрес" << none << "Въведете имената на клиента!"
                                         << "eNames";
        QTest::newRow("names before address") << "150"
                                              << ""
                                              << "" << none << "Въведете имената на клиента!"
                                              << "eNames";
        QTest::newRow("address of blanks") << "150"
                                           << "Купувач"
                                           << " \t" << none << "Въведете адреса на клиента!"
                                           << "eAdres";
        QTest::newRow("surrounding blanks removed") << "150,5"
                                                    << "  Купувач  "
                                                    << " Адрес " << none << ""
                                                    << "";
    }
    void saleChecks() {
        QFETCH(QString, price);
        QFETCH(QString, names);
        QFETCH(QString, adres);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        const qint64 id = m_f.takeIn(2, 10000, 15000);
        QVERIFY(id > 0);
        const QStringList before = m_f.snapshot();
        openSale(id);
        QCOMPARE(ui::edit(m_sale, "ePrice")->text(), QStringLiteral("150.00"));
        QCOMPARE(focused(m_sale), QStringLiteral("ePrice"));
        ui::check(m_sale, "chkPrn")->setChecked(false);
        ui::edit(m_sale, "ePrice")->setText(price);
        ui::edit(m_sale, "eNames")->setText(names);
        ui::edit(m_sale, "eAdres")->setText(adres);
        ui::edit(m_sale, "eInfo")->setText(QStringLiteral("тел. 0888"));
        if (answer != int(QMessageBox::NoButton))
            MessageService::queueAnswer(QMessageBox::StandardButton(answer));
        ui::button(m_sale, "btnOk")->click();

        if (!message.isEmpty()) {
            QCOMPARE(MessageService::shown().size(), 1);
            QCOMPARE(MessageService::shown().first().text, message);
        }
        if (focus.isEmpty()) {
            QCOMPARE(m_sale->result(), int(QDialog::Accepted));
            const Item it = m_f.item(id);
            QVERIFY(it.saled);
            QCOMPARE(it.clientNames, names.trimmed());
            QCOMPARE(it.clientAdres, adres.trimmed());
            QCOMPARE(it.clientInfo, QStringLiteral("тел. 0888"));
            Cents p = 0;
            QVERIFY(formats::parseMoney(price, &p));
            QCOMPARE(it.salePrice, p);
        } else {
            QVERIFY(m_sale->isVisible());
            QCOMPARE(focused(m_sale), focus);
            const auto& box = MessageService::shown().first();
            QCOMPARE(box.caption,
                     box.icon == QMessageBox::Question ? QStringLiteral("Съобщение") : QStringLiteral("Грешка"));
            QCOMPARE(m_f.snapshot(), before);
            ui::button(m_sale, "btnCancel")->click();
            QCOMPARE(m_f.snapshot(), before);
        }
    }

    void saleKeepsPrintChoiceAndPrintsContract() {
        const qint64 id = m_f.takeIn(1, 10000, 15000, false, QStringLiteral("Фурна Gorenje"));
        m_sale->setTemplateDir(testenv::sourceDir() + QStringLiteral("/documents"));
        m_sale->setDetailSource([](const QString& c) {
            return c == QLatin1String("DlvNames") ? QStringLiteral("Иван Петров") : QString();
        });
        openSale(id);
        ui::check(m_sale, "chkPrn")->setChecked(true);
        ui::edit(m_sale, "eNames")->setText(QStringLiteral("Купувач Купувачев"));
        ui::edit(m_sale, "eAdres")->setText(QStringLiteral("Пловдив"));
        const int previews = PrintService::previewCount();
        ui::button(m_sale, "btnOk")->click();
        QCOMPARE(m_sale->result(), int(QDialog::Accepted));
        QCOMPARE(PrintService::previewCount(), previews + 1);
        // Unticked: no contract, and it stays unticked for the next sale.
        const qint64 id2 = m_f.takeIn(1, 10000, 15000);
        openSale(id2);
        QVERIFY(ui::check(m_sale, "chkPrn")->isChecked());
        ui::check(m_sale, "chkPrn")->setChecked(false);
        ui::edit(m_sale, "eNames")->setText(QStringLiteral("Купувач"));
        ui::edit(m_sale, "eAdres")->setText(QStringLiteral("Пловдив"));
        ui::button(m_sale, "btnOk")->click();
        QCOMPARE(PrintService::previewCount(), previews + 1);
        const qint64 id3 = m_f.takeIn(1, 10000, 15000);
        openSale(id3);
        QVERIFY(!ui::check(m_sale, "chkPrn")->isChecked());
        ui::button(m_sale, "btnCancel")->click();
    }

    // What the clerk typed in the sale dialog, and the appliance's own data,
    // reach the placeholders they belong to in the printed sale contract.
    void saleValuesReachTheirPlaceholders() {
        if (!pdftext::available())
            QSKIP("pdftotext is not installed");
        auto templates = testenv::tempDir();
        {
            QFile rtf(templates->filePath(QStringLiteral("salecontract.rtf")));
            QVERIFY(rtf.open(QIODevice::WriteOnly));
            QByteArray body = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
            for (const char* p : {"date", "firmname", "firmaddress", "mol", "ndr", "bulstat", "shop", "clientname",
                                  "clientaddress", "clientinfo", "unitname", "unitserial", "more", "price", "pricetext",
                                  "salorname", "saloraddress", "saloregn", "salor_lk", "dogovor"})
                body += QByteArray(p).toUpper() + "=$" + p + "$;\\par ";
            body += "}";
            rtf.write(body);
        }
        const qint64 id = m_f.takeIn(2, 10000, 15000, false, QStringLiteral("Фурна Gorenje"));
        m_f.db.exec(QStringLiteral("UPDATE resale SET Serial = ? WHERE Id = ?"), {QStringLiteral("GX-7731"), id});
        const Item it = m_f.item(id);
        m_sale->setTemplateDir(templates->path());
        m_sale->setDetailSource([](const QString& c) {
            const QHash<QString, QString> panel{{QStringLiteral("DlvNames"), QStringLiteral("Иван Петров")},
                                                {QStringLiteral("DlvAdres"), QStringLiteral("София, ул. Шипка 3")},
                                                {QStringLiteral("DlvEGN"), QStringLiteral("7501124567")},
                                                {QStringLiteral("DlvLK"), QStringLiteral("123456789")}};
            return panel.value(c);
        });
        openSale(id);
        ui::check(m_sale, "chkPrn")->setChecked(true);
        ui::edit(m_sale, "ePrice")->setText(QStringLiteral("149,9"));
        ui::edit(m_sale, "eNames")->setText(QStringLiteral("Купувач Купувачев"));
        ui::edit(m_sale, "eAdres")->setText(QStringLiteral("Пловдив, ул. Главна 1"));
        ui::edit(m_sale, "eInfo")->setText(QStringLiteral("тел. 0888 123456"));
        ui::edit(m_sale, "eSaleInfo")->setText(QStringLiteral("с гаранция 3 месеца"));
        const int previews = PrintService::previewCount();
        ui::button(m_sale, "btnOk")->click();
        QCOMPARE(m_sale->result(), int(QDialog::Accepted));
        QCOMPARE(PrintService::previewCount(), previews + 1);
        const QString pdf = pdftext::text(PrintService::lastPreviewPdf()).simplified();
        const QList<QPair<const char*, QString>> expected{
            {"DATE", QStringLiteral("14.04.2026")},
            {"FIRMNAME", QStringLiteral("Вемка ООД")},
            {"FIRMADDRESS", QStringLiteral("София 1000, ул. Граф Игнатиев 7")},
            {"MOL", QStringLiteral("Георги Иванов Петров")},
            {"NDR", QStringLiteral("1234567890")},
            {"BULSTAT", QStringLiteral("131234567")},
            {"SHOP", it.shop},
            {"CLIENTNAME", QStringLiteral("Купувач Купувачев")},
            {"CLIENTADDRESS", QStringLiteral("Пловдив, ул. Главна 1")},
            {"CLIENTINFO", QStringLiteral("тел. 0888 123456")},
            {"UNITNAME", QStringLiteral("Фурна Gorenje")},
            {"UNITSERIAL", QStringLiteral("GX-7731")},
            {"MORE", QStringLiteral("с гаранция 3 месеца")},
            {"PRICE", QStringLiteral("149.90")},
            {"PRICETEXT", AmountInWords(149.9).simplified()},
            {"SALORNAME", QStringLiteral("Иван Петров")},
            {"SALORADDRESS", QStringLiteral("София, ул. Шипка 3")},
            {"SALOREGN", QStringLiteral("7501124567")},
            {"SALOR_LK", QStringLiteral("123456789")},
            {"DOGOVOR", QString::number(it.dogNo)},
        };
        for (const auto& [label, value] : expected) {
            const QString line = QString::fromLatin1(label) + QLatin1Char('=') + value + QLatin1Char(';');
            QVERIFY2(pdf.contains(line), qPrintable(line + QStringLiteral("\n in: ") + pdf));
        }
        QVERIFY(!pdf.contains(QLatin1Char('$')));
        m_sale->setTemplateDir(QString());
    }

    void saleOfItemSoldElsewhere() {
        const qint64 id = m_f.takeIn(1, 10000, 15000);
        openSale(id);
        // Another workstation sells it while this dialog is open.
        QVERIFY(ops::sale(ops::Context{m_f.db, 2}, {id, 15000, "Друг", "Адрес", "", ""}).ok());
        const QStringList before = m_f.snapshot();
        ui::check(m_sale, "chkPrn")->setChecked(false);
        ui::edit(m_sale, "eNames")->setText(QStringLiteral("Купувач"));
        ui::edit(m_sale, "eAdres")->setText(QStringLiteral("Адрес"));
        ui::button(m_sale, "btnOk")->click();
        QCOMPARE(MessageService::shown().size(), 1);
        QVERIFY(!m_sale->isVisible());
        QVERIFY(m_sale->itemWasStale());
        QVERIFY(m_sale->result() != QDialog::Accepted);
        QCOMPARE(m_f.snapshot(), before);
    }

    // --- price change ---
    void priceChecks_data() {
        QTest::addColumn<bool>("payed");
        QTest::addColumn<QString>("dlv");
        QTest::addColumn<QString>("sale");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("storedDlv"); // afterwards
        QTest::addColumn<qint64>("storedSale");
        const int none = int(QMessageBox::NoButton), yes = int(QMessageBox::Yes), no = int(QMessageBox::No);
        const QString below = QStringLiteral("Продажната цена  е по-малка от изкупната!\nЖелаете ли да продължите?");
        QTest::newRow("unpaid, purchase 0")
            << false << "0"
            << "200" << none << "Въведете положителна цена!" << qint64(10000) << qint64(15000);
        QTest::newRow("unpaid, purchase negative")
            << false << "-1"
            << "200" << none << "Въведете положителна цена!" << qint64(10000) << qint64(15000);
        QTest::newRow("unpaid, equal") << false << "120"
                                       << "120" << none << "Продажната цена трябва да е по-голяма от изкупната!"
                                       << qint64(10000) << qint64(15000);
        QTest::newRow("unpaid, sale below") << false << "120"
                                            << "119.99" << none << "Продажната цена трябва да е по-голяма от изкупната!"
                                            << qint64(10000) << qint64(15000);
        QTest::newRow("unpaid, a stotinka above") << false << "120"
                                                  << "120.01" << none << "" << qint64(12000) << qint64(12001);
        QTest::newRow("paid, below, No") << true << ""
                                         << "90" << no << below << qint64(10000) << qint64(15000);
        QTest::newRow("paid, equal, Yes") << true << ""
                                          << "100" << yes << below << qint64(10000) << qint64(10000);
        QTest::newRow("paid, above") << true << ""
                                     << "180" << none << "" << qint64(10000) << qint64(18000);
        // Refused with the other checks, before any question, the dialog open.
        const QString negative = QStringLiteral("Не може да въвеждате отрицателна цена!");
        QTest::newRow("paid, negative sale price") << true << ""
                                                   << "-5" << none << negative << qint64(10000) << qint64(15000);
        QTest::newRow("unpaid, negative sale price") << false << "120"
                                                     << "-0.01" << none << negative << qint64(10000) << qint64(15000);
    }
    void priceChecks() {
        QFETCH(bool, payed);
        QFETCH(QString, dlv);
        QFETCH(QString, sale);
        QFETCH(int, answer);
        QFETCH(QString, message);
        QFETCH(qint64, storedDlv);
        QFETCH(qint64, storedSale);
        const qint64 id = m_f.takeIn(1, 10000, 15000, payed);
        const int kasaBefore = m_f.count("KASA");
        const int expensesBefore = m_f.count("Expenses");
        m_prices->setClerk(1);
        m_prices->setItem(m_f.item(id));
        m_prices->show();
        QCOMPARE(focused(m_prices), QStringLiteral("eSalePrice"));
        QCOMPARE(ui::edit(m_prices, "eDlvPrice")->isEnabled(), !payed);
        if (!payed)
            ui::edit(m_prices, "eDlvPrice")->setText(dlv);
        ui::edit(m_prices, "eSalePrice")->setText(sale);
        if (answer != int(QMessageBox::NoButton))
            MessageService::queueAnswer(QMessageBox::StandardButton(answer));
        ui::button(m_prices, "btnOk")->click();
        QCOMPARE(lastShown(), message);
        QCOMPARE(MessageService::shown().size(), message.isEmpty() ? 0 : 1);
        const Item it = m_f.item(id);
        QCOMPARE(it.dlvPrice, Cents(storedDlv));
        QCOMPARE(it.salePrice, Cents(storedSale));
        const bool changed = storedSale != 15000 || storedDlv != 10000;
        QCOMPARE(m_prices->isVisible(), !changed);
        if (!changed) {
            // A refusal puts both stored prices back, whatever was typed.
            QCOMPARE(ui::edit(m_prices, "eDlvPrice")->text(), QStringLiteral("100.00"));
            QCOMPARE(ui::edit(m_prices, "eSalePrice")->text(), QStringLiteral("150.00"));
            ui::button(m_prices, "btnCancel")->click();
        }
        // A price change books nothing.
        QCOMPARE(m_f.count("KASA"), kasaBefore);
        QCOMPARE(m_f.count("Expenses"), expensesBefore);
    }

    // --- payout ---
    void payoutChecks_data() {
        QTest::addColumn<bool>("sold");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("storedDlv"); // afterwards; 0: not paid
        QTest::newRow("zero") << false << "0"
                              << "Въведете положителна цена!" << qint64(0);
        QTest::newRow("negative") << false << "-3"
                                  << "Въведете положителна цена!" << qint64(0);
        QTest::newRow("empty") << false << ""
                               << "Въведете положителна цена!" << qint64(0);
        QTest::newRow("unsold, above the sale price") << false << "250"
                                                      << "" << qint64(25000);
        QTest::newRow("unsold, less than agreed") << false << "80,5"
                                                  << "" << qint64(8050);
        QTest::newRow("sold, above the sale price is held to it") << true << "200"
                                                                  << "" << qint64(15000);
        QTest::newRow("sold, less than agreed") << true << "80"
                                                << "" << qint64(8000);
        QTest::newRow("sold, negative is held to 0") << true << "-1"
                                                     << "Въведете положителна цена!" << qint64(0);
    }
    void payoutChecks() {
        QFETCH(bool, sold);
        QFETCH(QString, amount);
        QFETCH(QString, message);
        QFETCH(qint64, storedDlv);
        const qint64 id = m_f.takeIn(4, 10000, 15000);
        if (sold)
            QVERIFY(ops::sale(ops::Context{m_f.db, 1}, {id, 15000, "Купувач", "Адрес", "", ""}).ok());
        m_pay->setClerk(1);
        m_pay->setItem(m_f.item(id));
        m_pay->show();
        QCOMPARE(ui::edit(m_pay, "ePrice")->text(), QStringLiteral("100.00"));
        QCOMPARE(focused(m_pay), QStringLiteral("ePrice"));
        ui::edit(m_pay, "ePrice")->setText(amount);
        ui::button(m_pay, "btnOk")->click();
        QCOMPARE(lastShown(), message);
        const Item it = m_f.item(id);
        if (storedDlv == 0) {
            QVERIFY(!it.payed);
            QVERIFY(m_pay->isVisible());
            QCOMPARE(ui::edit(m_pay, "ePrice")->text(), QStringLiteral("100.00"));
            ui::button(m_pay, "btnCancel")->click();
        } else {
            QVERIFY(it.payed);
            QCOMPARE(it.dlvPrice, Cents(storedDlv));
            QCOMPARE(it.datePay, Clock::today());
            QCOMPARE(m_pay->result(), int(QDialog::Accepted));
        }
    }

    // --- whom the money is for ---
    // The payout and the price change name the contract, the appliance and
    // the consignor above the amount, read-only and out of the tab order.
    void itemNamedAboveTheAmount() {
        const qint64 id = m_f.takeIn(3, 10000, 15000, false, QStringLiteral("Хладилник Liebherr CNef 4813"));
        const Item it = m_f.item(id);
        const QString expected = QStringLiteral("Договор №%1, Хладилник Liebherr CNef 4813, Иван Петров").arg(it.dogNo);
        m_pay->setItem(it);
        m_pay->show();
        QLineEdit* line = ui::edit(m_pay, "eItem");
        QCOMPARE(line->text(), expected);
        QVERIFY(line->isReadOnly());
        QCOMPARE(line->focusPolicy(), Qt::NoFocus);
        QVERIFY(line->width() >= line->fontMetrics().horizontalAdvance(expected));
        QCOMPARE(focused(m_pay), QStringLiteral("ePrice"));
        ui::button(m_pay, "btnCancel")->click();
        m_prices->setItem(it);
        m_prices->show();
        QCOMPARE(ui::edit(m_prices, "eItem")->text(), expected);
        QVERIFY(ui::edit(m_prices, "eItem")->isReadOnly());
        QCOMPARE(focused(m_prices), QStringLiteral("eSalePrice"));
        ui::button(m_prices, "btnCancel")->click();
        QCOMPARE(m_f.item(id).salePrice, Cents(15000));
    }

    // Every input is named by its label, every button by its caption.
    void everyControlHasAName() {
        const qint64 id = m_f.takeIn(1, 10000, 15000);
        m_get->setClerk(1);
        m_get->setShop(1);
        m_get->show();
        QCOMPARE(unnamedControls(m_get), QStringList());
        m_get->hide();
        openSale(id);
        QCOMPARE(unnamedControls(m_sale), QStringList());
        QCOMPARE(QAccessible::queryAccessibleInterface(ui::edit(m_sale, "ePrice"))->text(QAccessible::Name).trimmed(),
                 QStringLiteral("Цена за продажба"));
        m_sale->hide();
        m_pay->setItem(m_f.item(id));
        m_pay->show();
        QCOMPARE(unnamedControls(m_pay), QStringList());
        m_pay->hide();
        m_prices->setItem(m_f.item(id));
        m_prices->show();
        QCOMPARE(unnamedControls(m_prices), QStringList());
        m_prices->hide();
        m_shops->setFilterShop(0);
        QCOMPARE(unnamedControls(m_shops), QStringList());
    }

    // --- the own firm on the contracts ---
    // Two firms marked active: the one with the lowest ID, then those without
    // an ID in the order they were written; the same on both engines.
    void ownFirmInAStableOrder_data() { addEngineRows(); }
    void ownFirmInAStableOrder() {
        QFETCH(QString, engine);
        auto dir = testenv::tempDir();
        QString location;
        ENGINE_LOCATION(engine, dir, location);
        Database db;
        QString error;
        QVERIFY2(suite::createDatabase(db, location, &error), qPrintable(error));
        auto firm = [&db](const QVariant& id, const char* name, bool active) {
            db.insert(QStringLiteral("MyInfo"), {{QStringLiteral("ID"), id}, {QStringLiteral("Name"), QString::fromUtf8(name)},
                                                 {QStringLiteral("MOL"), QStringLiteral("М")}, {QStringLiteral("Adres"), QStringLiteral("А")},
                                                 {QStringLiteral("Active"), active}});
        };
        firm(QVariant(), "Без номер първа", true);
        firm(QVariant(), "Без номер втора", true);
        QCOMPARE(contractdata::activeFirm(db).name, QStringLiteral("Без номер първа"));
        firm(9, "Девета", true);
        firm(1, "Неактивна", false);
        firm(4, "Четвърта", true);
        QCOMPARE(contractdata::activeFirm(db).name, QStringLiteral("Четвърта"));
        db.exec(QStringLiteral("DELETE FROM MyInfo WHERE ID = 4"));
        QCOMPARE(contractdata::activeFirm(db).name, QStringLiteral("Девета"));
    }

    // --- shop chooser ---
    void shopChooser() {
        m_shops->setFilterShop(0);
        QVERIFY(m_shops->fillShops());
        QStringList names;
        for (int i = 0; i < ui::combo(m_shops, "cmbShop")->count(); ++i)
            names << ui::combo(m_shops, "cmbShop")->itemText(i);
        // Active and not away only: not "Бургас" (inactive) nor "Склад Казичене" (away).
        QCOMPARE(names, QStringList({"Битова техника Варна Приморски", "Младост", "Пловдив - Тракия", "Център"}));
        QCOMPARE(ui::combo(m_shops, "cmbShop")->currentIndex(), 0);
        QCOMPARE(m_shops->chosenShop(), 4);
        ui::combo(m_shops, "cmbShop")->setCurrentIndex(1);
        QCOMPARE(m_shops->chosenShop(), 2);
        // A clerk bound to a shop is offered that shop alone.
        m_shops->setFilterShop(3);
        QVERIFY(m_shops->fillShops());
        QCOMPARE(ui::combo(m_shops, "cmbShop")->count(), 1);
        QCOMPARE(m_shops->chosenShop(), 3);
    }
    void shopChooserWithoutShops() {
        // Bound to the inactive shop: nothing to offer, the clerk is told.
        m_shops->setFilterShop(5);
        QCOMPARE(m_shops->choose(), 0);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::shown().first().text, ShopChooser::noShopMessage());
        QCOMPARE(MessageService::shown().first().caption, QStringLiteral("Съобщение"));
    }

    // The small dialogs are dialogs to the window manager (a close box, no
    // minimise or maximise), with the usual space between their buttons.
    void smallDialogsAreDialogs() {
        const qint64 id = m_f.takeIn(1, 10000, 15000, false);
        m_pay->setItem(m_f.item(id));
        m_prices->setItem(m_f.item(id));
        m_shops->setFilterShop(0);
        QVERIFY(m_shops->fillShops());
        for (QDialog* d : QList<QDialog*>{m_pay, m_prices, m_shops}) {
            const Qt::WindowFlags f = d->windowFlags();
            QCOMPARE(d->windowType(), Qt::Dialog);
            QVERIFY2(f.testFlag(Qt::CustomizeWindowHint) && f.testFlag(Qt::WindowCloseButtonHint) &&
                         !f.testFlag(Qt::WindowMinimizeButtonHint) && !f.testFlag(Qt::WindowMaximizeButtonHint),
                     qPrintable(d->objectName()));
            d->show();
            QApplication::processEvents();
            QList<QPushButton*> buttons = d->findChildren<QPushButton*>();
            QCOMPARE(buttons.size(), 2);
            std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
            QVERIFY2(buttons[1]->x() - buttons[0]->geometry().right() > 4, qPrintable(d->objectName()));
            d->hide();
        }
    }

    // The dialogs as the clerk sees them; RESALE_SHOTS_DIR keeps the pictures.
    void pictures() {
        const QString dir =
            qEnvironmentVariableIsSet("RESALE_SHOTS_DIR") ? qEnvironmentVariable("RESALE_SHOTS_DIR") : m_out->path();
        const qint64 id = m_f.takeIn(1, 10000, 15000, false, QStringLiteral("Пералня Bosch WAE 2426"));
        m_get->setShop(1);
        m_shops->setFilterShop(0);
        QVERIFY(m_shops->fillShops());
        m_sale->setItem(m_f.item(id));
        m_pay->setItem(m_f.item(id));
        m_prices->setItem(m_f.item(id));
        const QList<QDialog*> dialogs{m_get, m_sale, m_pay, m_prices, m_shops};
        for (QDialog* d : dialogs) {
            d->show();
            QApplication::processEvents();
            const QImage shot = d->grab().toImage();
            QVERIFY(!shot.isNull());
            // Nothing cut off: the dialog is at least as large as its layout wants.
            QVERIFY2(d->width() >= d->minimumSizeHint().width() && d->height() >= d->minimumSizeHint().height(),
                     qPrintable(d->objectName()));
            QVERIFY(shot.save(dir + QLatin1Char('/') + d->objectName() + QStringLiteral(".png")));
            d->hide();
        }
    }

    // --- an engine failure at every step of a sale ---
    void saleEngineFailureAtEachStep() {
        const qint64 id = m_f.takeIn(1, 10000, 15000, true, QStringLiteral("Климатик Daikin"));
        openSale(id);
        ui::check(m_sale, "chkPrn")->setChecked(false);
        ui::edit(m_sale, "eNames")->setText(QStringLiteral("Купувач"));
        ui::edit(m_sale, "eAdres")->setText(QStringLiteral("Адрес"));
        ui::edit(m_sale, "eSaleInfo")->setText(QStringLiteral("гаранция 3 месеца"));
        const QStringList before = m_f.snapshot();
        const int kasaBefore = m_f.count("KASA");
        int failures = 0;
        for (int n = 1; n < 200; ++n) {
            MessageService::clearShown();
            Database::failStatement(n);
            ui::button(m_sale, "btnOk")->click();
            Database::failStatement(0);
            if (m_sale->result() == QDialog::Accepted && !m_sale->isVisible())
                break;
            ++failures;
            QVERIFY2(m_sale->isVisible(), qPrintable(QStringLiteral("step %1").arg(n)));
            QCOMPARE(MessageService::shown().size(), 1);
            QVERIFY(MessageService::lastText().contains(QStringLiteral("Изкуствена грешка")));
            QCOMPARE(m_f.snapshot(), before);
            // What the clerk typed is all still there.
            QCOMPARE(ui::edit(m_sale, "ePrice")->text(), QStringLiteral("150.00"));
            QCOMPARE(ui::edit(m_sale, "eNames")->text(), QStringLiteral("Купувач"));
            QCOMPARE(ui::edit(m_sale, "eSaleInfo")->text(), QStringLiteral("гаранция 3 месеца"));
        }
        QVERIFY(failures >= 5); // cash book, income, turnover, profit, item at least
        // The retry booked once.
        QCOMPARE(m_f.count("KASA"), kasaBefore + 1);
        QCOMPARE(m_f.sum("SELECT COUNT(*) FROM Prihod WHERE Note LIKE ?", {QStringLiteral("%Климатик%")}), 1.0);
        QVERIFY(m_f.item(id).saled);
    }

    // --- an engine failure at every step of the other dialogs' bookings ---
    void engineFailureAtEachStep_data() {
        QTest::addColumn<QString>("dialog");
        QTest::newRow("intake with immediate payout") << "intake";
        QTest::newRow("payout of a sold item") << "payout";
        QTest::newRow("price change") << "prices";
    }
    void engineFailureAtEachStep() {
        QFETCH(QString, dialog);
        QDialog* dlg = nullptr;
        QPushButton* ok = nullptr;
        QList<QLineEdit*> typed; // what the clerk typed must survive every failure
        qint64 id = -1;
        if (dialog == QLatin1String("intake")) {
            m_get->setClerk(1);
            m_get->setShop(2);
            ui::check(m_get, "chkPrn")->setChecked(false);
            m_get->show();
            ui::edit(m_get, "eArt")->setText(QStringLiteral("Бойлер Елдом"));
            ui::edit(m_get, "eDlvPrice")->setText(QStringLiteral("120"));
            ui::check(m_get, "chkPayed")->setChecked(true);
            ui::edit(m_get, "eSalePrice")->setText(QStringLiteral("160"));
            ui::edit(m_get, "eNames")->setText(QStringLiteral("Петя Иванова"));
            ui::edit(m_get, "eAdres")->setText(QStringLiteral("Бургас"));
            ui::edit(m_get, "eEGN")->setText(QStringLiteral("8001011234"));
            dlg = m_get;
            ok = ui::button(m_get, "btnOk");
            typed = {ui::edit(m_get, "eDogNo"),     ui::edit(m_get, "eArt"),   ui::edit(m_get, "eDlvPrice"),
                     ui::edit(m_get, "eSalePrice"), ui::edit(m_get, "eNames"), ui::edit(m_get, "eEGN")};
        } else if (dialog == QLatin1String("payout")) {
            id = m_f.takeIn(2, 10000, 15000);
            QVERIFY(ops::sale(ops::Context{m_f.db, 1}, {id, 15000, "Купувач", "Адрес", "", ""}).ok());
            m_pay->setClerk(1);
            m_pay->setItem(m_f.item(id));
            m_pay->show();
            ui::edit(m_pay, "ePrice")->setText(QStringLiteral("95.50"));
            dlg = m_pay;
            ok = ui::button(m_pay, "btnOk");
            typed = {ui::edit(m_pay, "ePrice")};
        } else {
            id = m_f.takeIn(2, 10000, 15000);
            m_prices->setClerk(1);
            m_prices->setItem(m_f.item(id));
            m_prices->show();
            ui::edit(m_prices, "eDlvPrice")->setText(QStringLiteral("90.00"));
            ui::edit(m_prices, "eSalePrice")->setText(QStringLiteral("140.00"));
            dlg = m_prices;
            ok = ui::button(m_prices, "btnOk");
            typed = {ui::edit(m_prices, "eDlvPrice"), ui::edit(m_prices, "eSalePrice")};
        }
        const QStringList before = m_f.snapshot();
        QStringList texts;
        int failures = 0;
        for (int n = 1; n < 200; ++n) {
            MessageService::clearShown();
            Database::failStatement(n);
            ok->click();
            Database::failStatement(0);
            if (dlg->result() == QDialog::Accepted && !dlg->isVisible())
                break;
            ++failures;
            QVERIFY2(dlg->isVisible(), qPrintable(QStringLiteral("step %1").arg(n)));
            QCOMPARE(MessageService::shown().size(), 1);
            QVERIFY(MessageService::lastText().contains(QStringLiteral("Изкуствена грешка")));
            QCOMPARE(MessageService::shown().last().caption, QStringLiteral("Грешка"));
            QCOMPARE(m_f.snapshot(), before);
            QStringList now;
            for (QLineEdit* e : typed)
                now << e->text();
            if (texts.isEmpty())
                texts = now;
            QCOMPARE(now, texts);
        }
        QVERIFY(failures >= 2);
        // The retry booked once.
        const QStringList after = m_f.snapshot();
        QVERIFY(after != before);
        if (dialog == QLatin1String("intake")) {
            const Item it = m_f.item(m_get->newId());
            QVERIFY(it.payed);
            QCOMPARE(m_f.sum("SELECT COUNT(*) FROM Expenses WHERE Note LIKE ?", {QStringLiteral("%Бойлер Елдом%")}), 1.0);
            QCOMPARE(m_f.sum("SELECT COUNT(*) FROM resale WHERE Art = ?", {QStringLiteral("Бойлер Елдом")}), 1.0);
        } else if (dialog == QLatin1String("payout")) {
            QCOMPARE(m_f.item(id).dlvPrice, Cents(9550));
            QCOMPARE(m_f.sum("SELECT COUNT(*) FROM Expenses WHERE Sum = ?", {95.5}), 1.0);
        } else {
            QCOMPARE(m_f.item(id).dlvPrice, Cents(9000));
            QCOMPARE(m_f.item(id).salePrice, Cents(14000));
        }
    }
};

QTEST_MAIN(TestOpsDialogs)
#include "TestOpsDialogs.moc"
