// "Архивиране" in the main window: there for the owner's rights level only,
// says where the checked copy is or why there is none; the daily backup at
// the first start of the day, when switched on, runs once a day.
#include "core/ProgramSettings.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "operations/Clock.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"
#include "widgets/MessageService.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStatusBar>
#include <QtTest>

class TestBackupWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindow> m_w;

    QString archive() const { return m_dir->filePath(QStringLiteral("archive")); }

    void setPlan(const QString& folder, bool daily) {
        ProgramSettings s;
        s.setValue(QStringLiteral("Backup/Folder"), folder);
        s.setValue(QStringLiteral("Backup/Daily"), daily);
        s.sync();
    }

    bool openWindow(int rights) {
        m_w = std::make_unique<MainWindow>(QCoreApplication::applicationDirPath());
        if (!m_w->isReady())
            return false;
        m_w->setLoggedIn(1, QStringLiteral("Администратор"), 0, rights);
        m_w->createDialogs();
        m_w->show();
        QCoreApplication::processEvents();
        return true;
    }

    QAction* backupAction() const { return ui::control<QAction>(m_w, "mnBackup"); }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        m_dir = testenv::tempDir();
        Database db;
        QString error;
        const QString shop = m_dir->filePath(QStringLiteral("shop"));
        QVERIFY2(suite::createDatabase(db, shop, &error), qPrintable(error));
        suite::fillDemoMasterData(db);
        suite::fillDemoItems(db);
        db.close();
        suite::writeSettings(shop);
    }
    void init() {
        MessageService::clearShown();
        setPlan(archive(), false);
    }
    void cleanup() {
        m_w.reset();
        QDir(archive()).removeRecursively();
        Clock::set({});
    }

    void onlyForTheOwner_data() {
        QTest::addColumn<int>("rights");
        QTest::addColumn<bool>("offered");
        QTest::newRow("sales") << 1 << false;
        QTest::newRow("sales and delivery") << 3 << false;
        QTest::newRow("administrator") << 4 << true;
    }
    void onlyForTheOwner() {
        QFETCH(int, rights);
        QFETCH(bool, offered);
        QVERIFY(openWindow(rights));
        QMenu* system = ui::control<QMenu>(m_w, "mnSystem");
        QVERIFY(system->actions().contains(backupAction()));
        QCOMPARE(backupAction()->isVisible(), offered);
        QCOMPARE(backupAction()->text(), QStringLiteral("Архивиране"));
        // Not even triggered from elsewhere does it copy for another level.
        backupAction()->trigger();
        QCOMPARE(backup::backupsIn(archive()).size(), offered ? 1 : 0);
    }

    void saysWhereTheCopyIs() {
        QVERIFY(openWindow(4));
        backupAction()->trigger();
        const QStringList made = backup::backupsIn(archive());
        QCOMPARE(made.size(), 1);
        QCOMPARE(MessageService::shown().size(), 1);
        const MessageService::Shown& box = MessageService::shown().first();
        QCOMPARE(box.caption, QStringLiteral("Архивиране"));
        QCOMPARE(box.icon, QMessageBox::Information);
        QVERIFY2(box.text.contains(QDir::toNativeSeparators(QDir(archive()).filePath(made.first()))),
                 qPrintable(box.text));
        QVERIFY(box.text.contains(QStringLiteral("Проверен")));
        QVERIFY(backup::checkBackup(QDir(archive()).filePath(made.first())).ok);
    }

    void saysWhyThereIsNone() {
        QFile blocker(m_dir->filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        setPlan(blocker.fileName(), false);
        QVERIFY(openWindow(4));
        backupAction()->trigger();
        QCOMPARE(MessageService::shown().size(), 1);
        const MessageService::Shown& box = MessageService::shown().first();
        QCOMPARE(box.caption, QStringLiteral("Архивиране"));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QVERIFY2(box.text.contains(QStringLiteral("не може да се записва")), qPrintable(box.text));
    }

    // Switched on, the first start of a day makes that day's copy, quietly;
    // the next start the same day makes none.
    void dailyOncePerDay() {
        setPlan(archive(), true);
        Clock::set(QDateTime(QDate(2026, 12, 11), QTime(8, 30)));
        QVERIFY(openWindow(1));
        QTRY_COMPARE(backup::backupsIn(archive()).size(), 1);
        QCOMPARE(backup::backupsIn(archive()).first(), QStringLiteral("kalvina-2026-12-11_08-30-00.db"));
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(m_w->statusBar()->currentMessage().contains(QStringLiteral("Дневният архив")));
        m_w.reset();
        Clock::set(QDateTime(QDate(2026, 12, 11), QTime(14, 0)));
        QVERIFY(openWindow(4));
        QTest::qWait(50);
        QCOMPARE(backup::backupsIn(archive()).size(), 1);
        m_w.reset();
        Clock::set(QDateTime(QDate(2026, 12, 12), QTime(7, 55)));
        QVERIFY(openWindow(3));
        QTRY_COMPARE(backup::backupsIn(archive()).size(), 2);
    }

    void dailyOffByDefault() {
        ProgramSettings s;
        s.remove(QStringLiteral("Backup/Daily"));
        s.sync();
        QVERIFY(openWindow(4));
        QTest::qWait(50);
        QCOMPARE(backup::backupsIn(archive()).size(), 0);
    }
};

QTEST_MAIN(TestBackupWindow)
#include "TestBackupWindow.moc"
