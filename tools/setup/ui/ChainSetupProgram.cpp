#include "tools/setup/ui/ChainSetupProgram.h"

#include "core/ProgramFiles.h"
#include "core/QtTranslation.h"
#include "tools/setup/ui/ChainSetupWindow.h"

#include <QApplication>

bool chainSetupCanShowWindow() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY") ||
           qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

int runChainSetup(int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvel"));
    QApplication::setApplicationName(QStringLiteral("kalvina-suite"));
    QApplication::setApplicationDisplayName(QStringLiteral("Настройка на веригата"));
    QApplication::setApplicationVersion(programfiles::version());
    qttranslation::installBulgarian();
    ChainSetupWindow window;
    window.openFromSettings();
    window.show();
    return QApplication::exec();
}
