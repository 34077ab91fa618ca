// The step "Импорт от стара база" of the chain's set-up window: the old
// books brought into the window's new database, with the progress bar, the
// check's report (saved as text) and the other steps showing what came.
#include "core/SuiteSettings.h"
#include "db/Database.h"
#include "tests/support/Controls.h"
#include "tests/support/OldBooks.h"
#include "tests/support/TestEnv.h"
#include "tools/setup/ui/ChainSetupWindow.h"
#include "tools/setup/ui/ImportPage.h"
#include "widgets/FileDialogService.h"
#include "widgets/MessageService.h"

#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>

class TestImportPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        FileDialogService::setScripted(true);
    }

    void importIntoNewChainDatabase() {
        auto dir = testenv::tempDir();
        oldbooks::Books books;
        QString error;
        QVERIFY2(oldbooks::write(dir->path() + "/old", &books, &error), qPrintable(error));

        ChainSetupWindow window;
        window.openFromSettings();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The database first: a new one in a folder (its clerks table gets the login's default clerk).
        FileDialogService::queueAnswer(dir->path() + "/veriga");
        ui::button(&window, "chooseFolder")->click();
        ui::button(&window, "useFolder")->click();
        QVERIFY(window.database().isOpen());

        const int last = window.pageCount() - 1;
        QCOMPARE(window.page(last)->title(), QStringLiteral("Импорт от стара база"));
        QCOMPARE(ui::control<QListWidget>(&window, "steps")->item(last)->text(),
                 QStringLiteral("%1. Импорт от стара база").arg(last + 1));
        QVERIFY(window.showPage(last));
        auto* page = static_cast<ImportPage*>(window.page(last));

        // Without a folder: told so, nothing done.
        MessageService::clearShown();
        ui::button(page, "startImport")->click();
        QCOMPARE(MessageService::lastText(), QStringLiteral("Изберете папката със старата база."));

        FileDialogService::queueAnswer(dir->path() + "/old");
        ui::button(page, "chooseParadoxFolder")->click();
        QCOMPARE(ui::edit(page, "paradoxFolder")->text(), QDir::toNativeSeparators(dir->path() + "/old"));
        int lastProgress = -1;
        auto* bar = ui::control<QProgressBar>(page, "importProgress");
        connect(bar, &QProgressBar::valueChanged, this, [&](int v) { lastProgress = v; });
        ui::button(page, "startImport")->click();
        QVERIFY2(page->report().ok, qPrintable(page->report().text()));
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(lastProgress > 0);
        const QString shown = ui::control<QPlainTextEdit>(page, "importReport")->toPlainText();
        QCOMPARE(shown, page->report().text());
        QVERIFY(shown.contains(QStringLiteral("resale.db: %1 → %1 реда — съвпада").arg(books.find("resale")->rows.size())));
        QVERIFY(shown.contains(QStringLiteral("Проверка на книгите: 1 несъответствие")));
        QVERIFY(ui::label(page, "importStage")->text().contains(QStringLiteral("1 несъответствие")));

        // A picture of the step to look at, when asked for.
        if (const QString shot = qEnvironmentVariable("RESALE_SCREENSHOT"); !shot.isEmpty())
            window.grab().save(shot);

        // The report saves as text where the owner chooses.
        FileDialogService::queueAnswer(dir->path() + "/otchet.txt");
        QVERIFY(ui::button(page, "saveReport")->isEnabled());
        ui::button(page, "saveReport")->click();
        QFile saved(dir->path() + "/otchet.txt");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(saved.readAll()), shown);

        // The old clerks took the default clerk's place; the shops step shows the old shops.
        Database& db = window.database().db();
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM CLERKS").toInt(), books.find("CLERKS")->rows.size());
        QVERIFY(window.showPage(1));
        auto* shops = ui::control<QTableView>(window.page(1), "list");
        QCOMPARE(shops->model()->rowCount(), books.find("Shops")->rows.size());

        // A second import into the now full database: refused, said in words, nothing changed.
        QVERIFY(window.showPage(last));
        MessageService::clearShown();
        ui::button(page, "startImport")->click();
        QVERIFY(!page->report().ok);
        QVERIFY2(MessageService::lastText().contains(QStringLiteral("не е празна")), qPrintable(MessageService::lastText()));
        QCOMPARE(bar->value(), 0);
        QCOMPARE(db.scalar("SELECT COUNT(*) FROM resale").toInt(), books.find("resale")->rows.size());
    }
};

QTEST_MAIN(TestImportPage)
#include "TestImportPage.moc"
