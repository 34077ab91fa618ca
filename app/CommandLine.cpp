#include "app/CommandLine.h"

#include "core/ProgramFiles.h"
#include "core/QtTranslation.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace commandline {

namespace {

bool asksForOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"--version", "-v", "--check-install", "--help", "-h", "-?", "--help-all"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

void print(const QString& line) {
    std::printf("%s\n", line.toLocal8Bit().constData());
}

// What an installation needs: the shipped files, Qt's Bulgarian texts and
// the SQLite driver. Returns false when any is missing.
bool checkInstall() {
    const QString programDir = QCoreApplication::applicationDirPath();
    print(QStringLiteral("resale %1").arg(programfiles::version()));
    print(QStringLiteral("Програма: %1").arg(QDir::toNativeSeparators(QCoreApplication::applicationFilePath())));
    print(QStringLiteral("Файлове на програмата: %1").arg(QDir::toNativeSeparators(programfiles::folder(programDir))));
    bool complete = programfiles::missingFiles(programDir).isEmpty();
    for (const QString& line : programfiles::report(programDir))
        print(line);
    const QString translation = qttranslation::installBulgarian();
    if (translation.isEmpty()) {
        complete = false;
        print(QStringLiteral("Текстовете на Qt на български (qtbase_bg.qm) липсват в %1.")
                  .arg(QDir::toNativeSeparators(qttranslation::searchFolder())));
    } else {
        print(QStringLiteral("Текстовете на Qt на български: %1").arg(QDir::toNativeSeparators(translation)));
    }
    if (QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        print(QStringLiteral("Драйвер за SQLite: има"));
    } else {
        complete = false;
        print(QStringLiteral("Драйверът на Qt за SQLite (QSQLITE) липсва."));
    }
    print(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))
              ? QStringLiteral("Драйвер за PostgreSQL: има")
              : QStringLiteral("Драйвер за PostgreSQL: няма (нужен е само за база на сървър)"));
    print(complete ? QStringLiteral("Всичко е на мястото си.") : QStringLiteral("Инсталацията не е пълна."));
    return complete;
}

} // namespace

std::optional<int> handle(int argc, char** argv) {
    if (!asksForOption(argc, argv))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("resale"));
    QCoreApplication::setApplicationVersion(programfiles::version());
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("\"Уреди втора употреба\": consignment of second-hand appliances.\n"
                                               "Without options it opens the register (a display is needed)."));
    p.addHelpOption();
    p.addVersionOption();
    p.addOption({QStringLiteral("check-install"),
                 QStringLiteral("Prints where the program's files were found; exits 0 when all are there.")});
    p.process(app);
    if (p.isSet(QStringLiteral("check-install")))
        return checkInstall() ? 0 : 1;
    return 0;
}

} // namespace commandline
