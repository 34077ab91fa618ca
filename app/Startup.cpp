#include "app/Startup.h"

#include "app/LoginDialog.h"
#include "app/SingleInstance.h"
#include "app/SplashScreen.h"
#include "core/Formats.h"
#include "core/SuiteSettings.h"
#include "register/MainWindow.h"
#include "widgets/MessageService.h"

#include <QApplication>
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

    auto splash = std::make_unique<SplashScreen>();
    splash->showNow();

    auto main = std::make_unique<MainWindow>(programDir);
    if (!main->isReady())
        return 0; // the reason has been shown; main window and splash go

    auto login =
        std::make_unique<LoginDialog>(main.get(), QDir(programDir).filePath(QStringLiteral("resale_help.html")));
    splash->hide();
    if (login->exec() != LoginDialog::kLoggedIn) {
        login.reset();
        main->closeConnection();
        return 0;
    }
    splash->showNow();
    main->createDialogs();

    // The splash goes about a second after the main window is first shown;
    // the login dialog is no longer needed then either.
    QObject::connect(main.get(), &MainWindow::firstShown, main.get(), [&splash, &login, &main] {
        login.reset();
        // The main window is the timer's context: it goes before this frame
        // does, and the timer with it, so the splash is never reached late.
        QTimer::singleShot(1000, main.get(), [&splash] { splash.reset(); });
    });
    main->show();
    QApplication::exec();
    main.reset();
    return 0;
}

} // namespace startup
