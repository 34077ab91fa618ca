#include "app/Startup.h"

#include "app/LoginDialog.h"
#include "app/SessionEnd.h"
#include "app/SingleInstance.h"
#include "app/SplashScreen.h"
#include "core/Formats.h"
#include "core/SuiteSettings.h"
#include "register/MainWindow.h"
#include "widgets/MessageService.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace startup {

QString suiteMissingText() {
    return QStringLiteral("Програмата УПРАВЛЕНИЕ НА МАГАЗИНИ KALVINA\nне е инсталирана или досега не е била стартирана на\n"
                          "този компютър\n\nЗа да ползвате модула \"Стоки втора употреба\",\n"
                          "първо е необходимо да инсталирате Kalvina\nна стоките и наличности");
}

QString alreadyRunningText() {
    return QStringLiteral("Вече има стартирано копие на програмата\n\"Стоки втора употреба\"!");
}

namespace {
// The desktop session ends: the connection closes as on exit, so its marker
// goes, without the exit question; open dialogs and boxes are dismissed and
// the program ends.
// Before the event loop runs, the dismissed login ends the program.
void endSession(MainWindow* main, bool running) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog->isVisible())
            dialog->reject();
    if (main)
        main->closeConnection();
    if (running)
        QCoreApplication::exit(0);
}
} // namespace

int run(const QString& programDir) {
    formats::applyProcessFormats();

    if (!SuiteSettings::exists()) {
        MessageService::problem(nullptr, suiteMissingText());
        return 0;
    }
    SingleInstance instance;
    if (!instance.acquire()) {
        MessageService::warning(nullptr, alreadyRunningText(), QStringLiteral("Внимание!"));
        return 0;
    }
    // No application display name: the window system would add it to every
    // window's title, and each title is exactly its caption.

    // The desktop session may end at any moment from here on.
    SessionEnd session;
    bool ended = false;
    bool running = false;
    MainWindow* mainWindow = nullptr;
    QObject::connect(&session, &SessionEnd::ending, [&ended, &running, &mainWindow] {
        ended = true;
        endSession(mainWindow, running);
    });

    auto splash = std::make_unique<SplashScreen>();
    splash->showNow();

    auto main = std::make_unique<MainWindow>(programDir);
    mainWindow = main.get();
    if (!main->isReady() || ended)
        return 0; // the reason has been shown; main window and splash go

    auto login =
        std::make_unique<LoginDialog>(main.get(), QDir(programDir).filePath(QStringLiteral("resale_help.html")));
    splash->hide();
    if (login->exec() != LoginDialog::kLoggedIn || ended) {
        login.reset();
        main->closeConnection();
        return 0;
    }
    splash->showNow();
    main->createDialogs();

    // The splash goes about a second after the main window is first shown;
    // the login dialog is no longer needed then either.
    QObject::connect(main.get(), &MainWindow::firstShown, main.get(), [&splash, &login] {
        login.reset();
        QTimer::singleShot(1000, splash.get(), [&splash] { splash.reset(); }); // not after the run
    });
    if (ended)
        return 0;
    main->show();
    running = true;
    QApplication::exec();
    main.reset();
    return 0;
}

} // namespace startup
