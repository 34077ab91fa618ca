// "Уреди втора употреба": consignment of second-hand appliances.
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "core/ProgramFiles.h"
#include "core/QtTranslation.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (const auto exitCode = commandline::handle(argc, argv))
        return *exitCode;
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvel"));
    QApplication::setApplicationName(QStringLiteral("Resale"));
    QApplication::setApplicationVersion(programfiles::version());
    qttranslation::installBulgarian();
    const QString programDir = QApplication::applicationDirPath();
    for (const QString& name : programfiles::missingFiles(programDir))
        std::fprintf(stderr, "resale: %s\n", qPrintable(programfiles::missingText(name, programDir)));
    startup::run(programfiles::folder(programDir));
    return 0;
}
