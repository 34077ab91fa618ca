// The program's start-up paths end to end (offscreen): each ends with exit
// code 0, the right message, and no connection marker left behind.
#include "app/LoginDialog.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "core/ProgramFiles.h"
#include "core/SuiteSettings.h"
#include "register/MainWindow.h"
#include "tests/support/Controls.h"
#include "tests/support/TestEnv.h"
#include "tools/SuiteDatabase.h"
#include "widgets/DesktopService.h"
#include "widgets/MessageService.h"
#include "widgets/PrintService.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <functional>

namespace {
// Runs action on the login dialog as soon as it is up.
void onLogin(const std::function<void(LoginDialog*)>& action) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dlg = qobject_cast<LoginDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(dlg);
        }
    });
    timer->start();
}
void typeAndEnter(LoginDialog* dlg, const QString& user, const QString& password) {
    ui::edit(dlg, "Edit1")->setText(user);
    ui::edit(dlg, "Edit2")->setText(password);
    ui::button(dlg, "btnOk")->click();
}
// The splash windows on screen.
int visibleSplashes() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowType() == Qt::SplashScreen && w->isVisible())
            ++n;
    return n;
}
QStringList markers(const QString& dir) { return QDir(dir).entryList({QStringLiteral("prefs_con.*")}, QDir::Files); }
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;

    void suiteDb() {
        m_dir = testenv::tempDir();
        Database db;
        QString error;
        QVERIFY2(suite::createDatabase(db, m_dir->path(), &error), qPrintable(error));
        suite::fillDemoMasterData(db);
        db.close();
        suite::writeSettings(m_dir->path());
    }
    QString programDir() const { return QCoreApplication::applicationDirPath(); }
    QString lastCaption() const { return MessageService::shown().isEmpty() ? QString() : MessageService::shown().last().caption; }

private slots:
    void initTestCase() {
        testenv::isolateSettings();
        MessageService::setScripted(true);
        PrintService::setScripted(true);
        DesktopService::setScripted(true);
    }
    void init() {
        MessageService::clearShown();
        QFile::remove(SuiteSettings::location());
    }

    void suiteMissing() {
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(MessageService::shown().size(), 1);
        QCOMPARE(MessageService::lastText(), startup::suiteMissingText());
        QCOMPARE(lastCaption(), QStringLiteral("Проблем!"));
        QVERIFY(QApplication::topLevelWidgets().isEmpty() ||
                std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                             [](QWidget* w) { return w->isVisible(); }));
    }

    void copyAlreadyRunning() {
        suiteDb();
        SingleInstance first;
        QVERIFY(first.acquire());
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(MessageService::lastText(), startup::alreadyRunningText());
        QCOMPARE(lastCaption(), QStringLiteral("Внимание!"));
        QVERIFY(markers(m_dir->path()).isEmpty());
    }

    void noDatabasePath() {
        SuiteSettings::create();
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(MessageService::lastText(), QStringLiteral("Не е намерен път към базата данни!"));
        QCOMPARE(lastCaption(), QStringLiteral("Грешка"));
    }

    void databaseDoesNotOpen() {
        m_dir = testenv::tempDir();
        suite::writeSettings(m_dir->path()); // a directory without a database
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(MessageService::lastText(), QStringLiteral("Проблем при отварянето на базите данни"));
        QCOMPARE(lastCaption(), QStringLiteral("Проблем!"));
        QVERIFY(markers(m_dir->path()).isEmpty());
        QVERIFY(!QFile::exists(m_dir->filePath(Database::fileName())));
    }

    // No start-up message is ever hidden behind the splash, which stays on
    // top of every window.
    void noMessageBehindSplash_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("message");
        QTest::newRow("no database path") << QString() << QStringLiteral("Не е намерен път към базата данни!");
        QTest::newRow("database does not open") << QStringLiteral("empty dir")
                                                << QStringLiteral("Проблем при отварянето на базите данни");
    }
    void noMessageBehindSplash() {
        QFETCH(QString, setting);
        QFETCH(QString, message);
        if (setting.isEmpty()) {
            SuiteSettings::create();
        } else {
            m_dir = testenv::tempDir();
            suite::writeSettings(m_dir->path()); // a directory without a database
        }
        QList<int> splashesAtBox;
        MessageService::setObserver([&](const MessageService::Shown&) { splashesAtBox.append(visibleSplashes()); });
        QCOMPARE(startup::run(programDir()), 0);
        MessageService::setObserver({});
        QCOMPARE(splashesAtBox.size(), 1);
        QCOMPARE(splashesAtBox.first(), 0);
        QCOMPARE(MessageService::lastText(), message);
    }

    // Nor in the login: a refused password is told with the splash away.
    void loginMessageNotBehindSplash() {
        suiteDb();
        QList<int> splashesAtBox;
        MessageService::setObserver([&](const MessageService::Shown&) { splashesAtBox.append(visibleSplashes()); });
        onLogin([](LoginDialog* dlg) {
            typeAndEnter(dlg, QStringLiteral("desi"), QStringLiteral("nope"));
            ui::button(dlg, "btnCancel")->click();
        });
        QCOMPARE(startup::run(programDir()), 0);
        MessageService::setObserver({});
        QCOMPARE(splashesAtBox, QList<int>{0});
    }

    // The desktop session ends (SIGTERM, SIGHUP): the connection closes as on
    // exit, its marker goes, and nothing is asked.
    void sessionEnds_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("SIGTERM in the login") << int(SIGTERM) << false;
        QTest::newRow("SIGTERM while running") << int(SIGTERM) << true;
        QTest::newRow("SIGHUP while running") << int(SIGHUP) << true;
    }
    void sessionEnds() {
        QFETCH(int, signal);
        QFETCH(bool, loggedIn);
        suiteDb();
        struct sigaction before = {};
        ::sigaction(signal, nullptr, &before);
        int markersBefore = -1;
        onLogin([&](LoginDialog* dlg) {
            if (!loggedIn) {
                markersBefore = markers(m_dir->path()).size();
                ::raise(signal);
                return;
            }
            typeAndEnter(dlg, QStringLiteral("elena"), QStringLiteral("3333"));
            auto* waiter = new QTimer;
            waiter->setInterval(20);
            QObject::connect(waiter, &QTimer::timeout, [&, waiter] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* main = qobject_cast<MainWindow*>(w); main && main->isVisible()) {
                        waiter->stop();
                        waiter->deleteLater();
                        markersBefore = markers(m_dir->path()).size();
                        ::raise(signal);
                        return;
                    }
            });
            waiter->start();
        });
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(markersBefore, 1);
        QVERIFY(markers(m_dir->path()).isEmpty());
        QVERIFY(MessageService::shown().isEmpty()); // no exit question
        // The signal's earlier handling is back once the program has ended.
        struct sigaction now = {};
        ::sigaction(signal, nullptr, &now);
        QVERIFY(now.sa_handler == before.sa_handler);
    }

    // The login is a dialog to the window manager (a close box, no minimise
    // or maximise), and "Вход" and "Отказ" stand apart.
    void loginIsASmallDialog() {
        suiteDb();
        Qt::WindowFlags flags;
        Qt::WindowType type = Qt::Widget;
        int gap = 0;
        onLogin([&](LoginDialog* dlg) {
            flags = dlg->windowFlags();
            type = dlg->windowType();
            gap = ui::button(dlg, "btnCancel")->x() - ui::button(dlg, "btnOk")->geometry().right();
            ui::button(dlg, "btnCancel")->click();
        });
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(type, Qt::Dialog);
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint) && flags.testFlag(Qt::WindowCloseButtonHint) &&
                !flags.testFlag(Qt::WindowMinimizeButtonHint) && !flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY2(gap > 4, qPrintable(QString::number(gap)));
    }

    void loginCancelled() {
        suiteDb();
        onLogin([this](LoginDialog* dlg) {
            QCOMPARE(markers(m_dir->path()).size(), 1); // connected while the login waits
            ui::button(dlg, "btnCancel")->click();
        });
        QCOMPARE(startup::run(programDir()), 0);
        QVERIFY(MessageService::shown().isEmpty());
        QVERIFY(markers(m_dir->path()).isEmpty());
    }

    // A program folder without the help: F1 names the file and where it
    // was looked for, and opens nothing.
    void missingHelpIsNamed() {
        suiteDb();
        auto folder = testenv::tempDir();
        QVERIFY(QFile::copy(QDir(programDir()).filePath(QStringLiteral("resale.db")),
                            folder->filePath(QStringLiteral("resale.db"))));
        const qsizetype opened = DesktopService::opened().size();
        QString shown;
        onLogin([&](LoginDialog* dlg) {
            QTest::keyClick(dlg, Qt::Key_F1);
            shown = MessageService::lastText();
            ui::button(dlg, "btnCancel")->click();
        });
        QCOMPARE(startup::run(folder->path()), 0);
        QCOMPARE(shown, programfiles::missingText(QStringLiteral("resale_help.html"), programDir()));
        QCOMPARE(DesktopService::opened().size(), opened);
    }

    void loginRefused() {
        suiteDb();
        onLogin([](LoginDialog* dlg) {
            // An empty password shows nothing and puts the focus on the name.
            typeAndEnter(dlg, QStringLiteral("desi"), QString());
            QVERIFY(MessageService::shown().isEmpty());
            QCOMPARE(ui::edit(dlg, "Edit1")->selectedText(), QStringLiteral("desi"));
            // A wrong password may be tried again.
            typeAndEnter(dlg, QStringLiteral("desi"), QStringLiteral("nope"));
            QCOMPARE(MessageService::lastText(), QStringLiteral("Грешно име и/или парола!"));
            QVERIFY(dlg->isVisible());
            QVERIFY(ui::edit(dlg, "Edit2")->text().isEmpty());
            typeAndEnter(dlg, QStringLiteral("desi"), QStringLiteral("6666"));
        });
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(MessageService::lastText(), QStringLiteral("Нямате право на достъп до този модул!"));
        QCOMPARE(lastCaption(), QStringLiteral("Съобщение"));
        // The refused clerk's name is remembered for the next start.
        QCOMPARE(SuiteSettings::value(QStringLiteral("User")).toString(), QStringLiteral("desi"));
        QVERIFY(markers(m_dir->path()).isEmpty());
    }

    // What is typed is taken whole: a password longer than the column, whose
    // first ten characters are a clerk's password, is a wrong password.
    void loginTakesWhatIsTyped() {
        suiteDb();
        {
            Database db;
            QString error;
            QVERIFY2(db.open(m_dir->path(), &error), qPrintable(error));
            db.insert(QStringLiteral("CLERKS"), {{QStringLiteral("ID"), 30}, {QStringLiteral("Name"), QStringLiteral("Дълга Парола")},
                                                 {QStringLiteral("Nick"), QStringLiteral("longpassword")},
                                                 {QStringLiteral("Password"), QStringLiteral("abcdefghij")},
                                                 {QStringLiteral("Prefs"), 4}, {QStringLiteral("Active"), true}});
        }
        QString typedName, typedPassword;
        onLogin([&](LoginDialog* dlg) {
            ui::edit(dlg, "Edit1")->clear();
            QTest::keyClicks(ui::edit(dlg, "Edit1"), QStringLiteral("longpassword-and-more"));
            typedName = ui::edit(dlg, "Edit1")->text();
            ui::edit(dlg, "Edit1")->setText(QStringLiteral("longpassword"));
            QTest::keyClicks(ui::edit(dlg, "Edit2"), QStringLiteral("abcdefghijXY"));
            typedPassword = ui::edit(dlg, "Edit2")->text();
            ui::button(dlg, "btnOk")->click();
            QCOMPARE(MessageService::lastText(), QStringLiteral("Грешно име и/или парола!"));
            QVERIFY(dlg->isVisible());
            ui::button(dlg, "btnCancel")->click();
        });
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(typedName, QStringLiteral("longpassword-and-more"));
        QCOMPARE(typedPassword, QStringLiteral("abcdefghijXY"));
        QCOMPARE(MessageService::shown().size(), 1);
    }

    // Two runs in one process, the second one's login waiting longer than
    // the first run's splash timer: nothing of the first run is reached late,
    // and no title carries anything after its caption (no display name for
    // the window system to add).
    void secondRunInOneProcess() {
        suiteDb();
        auto runOnce = [&](int loginWaitMs) {
            QString title;
            onLogin([&, loginWaitMs](LoginDialog* dlg) {
                if (loginWaitMs > 0)
                    QTest::qWait(loginWaitMs);
                typeAndEnter(dlg, QStringLiteral("elena"), QStringLiteral("3333"));
                auto* closer = new QTimer;
                closer->setInterval(10);
                QObject::connect(closer, &QTimer::timeout, [&title, closer] {
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (auto* main = qobject_cast<MainWindow*>(w); main && main->isVisible()) {
                            closer->stop();
                            closer->deleteLater();
                            title = main->windowTitle();
                            MessageService::queueAnswer(QMessageBox::Yes);
                            main->close();
                        }
                });
                closer->start();
            });
            QCOMPARE(startup::run(programDir()), 0);
            QCOMPARE(title, QStringLiteral("Продажби ВТОРА УПОТРЕБА - версия 1.39"));
        };
        runOnce(0);
        runOnce(1500);
        QTest::qWait(200);
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QVERIFY(markers(m_dir->path()).isEmpty());
    }

    void loginAndExit() {
        suiteDb();
        QString title, status;
        int clerk = 0, rights = -1;
        bool ownerCommands = true;
        QString filter;
        onLogin([&](LoginDialog* dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Въведете име и парола"));
            QCOMPARE(ui::edit(dlg, "Edit1")->text(), QStringLiteral("Administrator")); // the default user
            // F1 opens the help at its topic.
            QTest::keyClick(dlg, Qt::Key_F1);
            QCOMPARE(DesktopService::opened().last().fragment(), QStringLiteral("Password"));
            typeAndEnter(dlg, QStringLiteral("elena"), QStringLiteral("3333"));
            auto* closer = new QTimer;
            closer->setInterval(20);
            QObject::connect(closer, &QTimer::timeout, [&, closer] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* main = qobject_cast<MainWindow*>(w); main && main->isVisible()) {
                        closer->stop();
                        closer->deleteLater();
                        title = main->windowTitle();
                        status = ui::label(main, "stBarText")->text();
                        clerk = main->userId();
                        rights = main->rightsLevel();
                        ownerCommands = ui::action(main, "mnBooksCheck")->isVisible();
                        filter = main->shopFilterText();
                        // "No" keeps the program running; "Yes" ends it.
                        MessageService::queueAnswer(QMessageBox::No);
                        main->close();
                        QVERIFY(main->isVisible());
                        QCOMPARE(MessageService::lastText(), QStringLiteral("Желаете ли да излезете от програмата?"));
                        MessageService::queueAnswer(QMessageBox::Yes);
                        main->close();
                    }
            });
            closer->start();
        });
        QCOMPARE(startup::run(programDir()), 0);
        QCOMPARE(title, QStringLiteral("Продажби ВТОРА УПОТРЕБА - версия 1.39"));
        QCOMPARE(status, QStringLiteral("Потребител: Елена Стоянова"));
        QCOMPARE(clerk, 4);
        // Her rights level reaches the window, which keeps the owner's commands from her.
        QCOMPARE(rights, 3);
        QVERIFY(!ownerCommands);
        QCOMPARE(filter, QStringLiteral("ID=2 and active=true and away=false"));
        QCOMPARE(SuiteSettings::value(QStringLiteral("User")).toString(), QStringLiteral("elena"));
        QVERIFY(markers(m_dir->path()).isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
