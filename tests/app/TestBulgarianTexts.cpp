// Qt's own texts in Bulgarian: standard buttons, the print dialog, the print
// preview and the date editors' calendars, while the program's message boxes
// keep their captions, texts and buttons, and numbers and dates keep their
// forms ("." and "dd.MM.yyyy"). With RESALE_SCREENSHOT_DIR set (and a real
// display) it saves a picture of the screen at each window.
#include "core/Formats.h"
#include "core/ProgramFiles.h"
#include "core/QtTranslation.h"
#include "register/AboutDialog.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "widgets/BulgarianDates.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

using namespace Qt::StringLiterals;

namespace {
bool isCyrillic(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF; });
}
bool hasLatinLetters(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80 && c.isLetter(); });
}

// Runs action on the first modal window of type W once it is up.
template <typename W> void whenModal(const std::function<void(W*)>& action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* w = qobject_cast<W*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

void screenshot(const QString& name) {
    const QString dir = qEnvironmentVariable("RESALE_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(300);
    QGuiApplication::primaryScreen()->grabWindow(0).save(dir + u'/' + name + u".png"_s);
}

QStringList buttonTexts(QWidget* w) {
    QStringList texts;
    for (auto* b : w->findChildren<QAbstractButton*>())
        if (b->isVisible())
            texts.append(b->text());
    texts.sort();
    return texts;
}
} // namespace

class TestBulgarianTexts : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        formats::applyProcessFormats();
        const QString loaded = qttranslation::installBulgarian();
        QVERIFY2(loaded.endsWith(u"qtbase_bg.qm"_s),
                 qPrintable(u"no qtbase_bg.qm in "_s + qttranslation::searchFolder()));
    }

    void standardButtonsAreBulgarian() {
        QDialogButtonBox box(QDialogButtonBox::Save | QDialogButtonBox::Close | QDialogButtonBox::Cancel |
                             QDialogButtonBox::Apply | QDialogButtonBox::Help | QDialogButtonBox::Discard);
        for (QAbstractButton* b : box.buttons())
            QVERIFY2(isCyrillic(b->text()), qPrintable(b->text()));
    }

    // The program's boxes: exact caption and text, Да and Не, answer kept.
    void messageBoxKeepsItsTexts() {
        MessageService::setScripted(false);
        QString caption, text;
        QStringList buttons;
        whenModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            text = box->text();
            buttons = buttonTexts(box);
            screenshot(u"question-box"_s);
            box->button(QMessageBox::No)->click();
        });
        const bool yes = MessageService::question(nullptr, u"Желаете ли да излезете от програмата?"_s, u"Изход"_s);
        QVERIFY(!yes);
        QCOMPARE(caption, u"Изход"_s);
        QCOMPARE(text, u"Желаете ли да излезете от програмата?"_s);
        QCOMPARE(buttons, (QStringList{u"Да"_s, u"Не"_s}));

        whenModal<QMessageBox>([&](QMessageBox* box) {
            caption = box->windowTitle();
            buttons = buttonTexts(box);
            box->button(QMessageBox::Ok)->click();
        });
        MessageService::warning(nullptr, u"Не е намерен RTF-файла с договора за продажба."_s);
        QCOMPARE(caption, u"Съобщение"_s);
        QCOMPARE(buttons, (QStringList{QCoreApplication::translate("QPlatformTheme", "OK")}));
        MessageService::setScripted(true);
    }

    // Numbers and dates keep the program's forms with the translation in.
    void formatsStay() {
        QCOMPARE(QLocale().decimalPoint(), u"."_s);
        QCOMPARE(QLocale().toString(1234.5, 'f', 2), u"1234.50"_s);
        QCOMPARE(formats::date(QDate(2026, 3, 9)), u"09.03.2026"_s);
        QCOMPARE(formats::moneyGrouped(1234.5), u"1 234.50"_s);
        QDateEdit edit;
        edit.setDisplayFormat(QString::fromLatin1(formats::kDateFormat));
        edit.setCalendarPopup(true);
        showBulgarianDateNames(&edit);
        edit.setDate(QDate(2026, 3, 9));
        QCOMPARE(edit.text(), u"09.03.2026"_s);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        edit.findChild<QLineEdit*>()->setText(u"15.04.2026"_s); // as typed, read when the editor leaves
        edit.interpretText();
        QCOMPARE(edit.date(), QDate(2026, 4, 15));
        QCOMPARE(edit.text(), u"15.04.2026"_s);
        formats::applyProcessFormats(); // the 20-second timer leaves the editor's names alone
        QCOMPARE(edit.calendarWidget()->locale().language(), QLocale::Bulgarian);
        QCOMPARE(QLocale().language(), QLocale::C);
    }

    // The register's period editors: an open calendar names months and days
    // in Bulgarian and starts on Monday.
    void registerCalendarIsBulgarian_data() {
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QDate>("date");
        QTest::newRow("from") << u"FromDate"_s << QDate(2026, 3, 9);
        QTest::newRow("to, with its Днес button") << u"ToDate"_s << QDate(2026, 11, 28);
    }
    void registerCalendarIsBulgarian() {
        QFETCH(QString, editor);
        QFETCH(QDate, date);
        MessageService::setScripted(true);
        MainWindow main(QCoreApplication::applicationDirPath()); // no database: only its filter bar matters
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        ui::control<QDateEdit>(&main, "FromDate")->setDate(QDate(2026, 1, 1));
        ui::control<QDateEdit>(&main, "ToDate")->setDate(QDate(2026, 12, 31));
        auto* edit = ui::control<QDateEdit>(&main, qPrintable(editor));
        edit->setEnabled(true);
        edit->setDate(date);
        QCOMPARE(edit->text(), formats::date(date));
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 6, edit->height() / 2));
        QTRY_VERIFY(edit->calendarWidget()->isVisible());
        QCalendarWidget* calendar = edit->calendarWidget();
        QCOMPARE(calendar->firstDayOfWeek(), Qt::Monday);
        auto* month = calendar->findChild<QToolButton*>(u"qt_calendar_monthbutton"_s);
        QVERIFY(month);
        const QLocale bulgarian(QLocale::Bulgarian);
        QCOMPARE(calendar->monthShown(), date.month());
        QCOMPARE(month->text(), bulgarian.standaloneMonthName(date.month()));
        QVERIFY2(isCyrillic(month->text()), qPrintable(month->text()));
        QStringList months, expected;
        for (QAction* a : month->menu()->actions())
            months.append(a->text());
        for (int m = 1; m <= 12; ++m)
            expected.append(bulgarian.standaloneMonthName(m));
        QCOMPARE(months, expected);
        auto* days = calendar->findChild<QTableView*>(u"qt_calendar_calendarview"_s);
        QVERIFY(days);
        const QString monday = days->model()->data(days->model()->index(0, 1)).toString();
        QVERIFY2(isCyrillic(monday), qPrintable(monday));
        screenshot(u"calendar-"_s + editor);
        calendar->window()->hide();
        QCOMPARE(edit->text(), formats::date(date));
        QCOMPARE(edit->date(), date);
        main.hide();
    }

    // The about window: the version and the folder the files came from.
    void aboutWindow() {
        AboutDialog about;
        about.setDatabase(u"SQLite, журнал WAL, /srv/shop/"_s);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const QString text = about.text();
        QVERIFY2(text.contains(u"версия "_s + programfiles::version()), qPrintable(text));
        QVERIFY2(text.contains(u"Файлове на програмата: "_s +
                               QDir::toNativeSeparators(programfiles::folder(QCoreApplication::applicationDirPath()))),
                 qPrintable(text));
        QVERIFY2(!text.contains(u"липсва"_s), qPrintable(text));
        QVERIFY2(isCyrillic(ui::button(&about, "btnOk")->text()), qPrintable(ui::button(&about, "btnOk")->text()));
        screenshot(u"about"_s);
    }

    void printDialogIsBulgarian() {
        PrintService::setScripted(false);
        QString title;
        QStringList buttons;
        whenModal<QPrintDialog>([&](QPrintDialog* d) {
            title = d->windowTitle();
            buttons = buttonTexts(d);
            screenshot(u"print-dialog"_s);
            d->reject();
        });
        QPrinter printer;
        QVERIFY(!PrintService::printDialog(&printer, nullptr));
        QVERIFY2(isCyrillic(title), qPrintable(title));
        QVERIFY(!buttons.isEmpty());
        for (const QString& b : buttons)
            QVERIFY2(!hasLatinLetters(b), qPrintable(buttons.join(u", "_s)));
        PrintService::setScripted(true);
    }

    void printPreviewIsBulgarian() {
        PrintService::setScripted(false);
        QStringList english, actions;
        whenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog* d) {
            for (QAction* a : d->findChildren<QAction*>())
                if (!a->text().isEmpty()) {
                    actions.append(a->text());
                    if (!isCyrillic(a->text()))
                        english.append(a->text());
                }
            screenshot(u"print-preview"_s);
            d->reject();
        });
        QPrinter printer;
        PrintService::preview(&printer, nullptr, [](QPrinter* p) {
            QPainter painter(p);
            painter.drawText(100, 100, u"Договор"_s);
        });
        QVERIFY(actions.size() > 5);
        QVERIFY2(english.isEmpty(), qPrintable(english.join(u", "_s)));
        PrintService::setScripted(true);
    }
};

QTEST_MAIN(TestBulgarianTexts)
#include "TestBulgarianTexts.moc"
