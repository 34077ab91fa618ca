// kalvina-suite: creates a suite database for "Уреди втора употреба" where
// the suite's main program is not installed, and points the settings at it.
// Without arguments it opens the window "Настройка на веригата".
#include "core/ProgramFiles.h"
#include "core/SuiteSettings.h"
#include "db/Backup.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "operations/BooksReport.h"
#include "tools/DemoItems.h"
#include "tools/SuiteDatabase.h"
#include "tools/import/ParadoxImport.h"
#include "tools/setup/ui/ChainSetupProgram.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

// kalvina-suite --import FOLDER LOCATION: progress per table on the way,
// the check's report at the end; non-zero when nothing was imported.
int importOldBooks(const QString& folder, const QString& location, const QString& reportFile, bool writeSettings) {
    paradoximport::Progress progress;
    progress.message = [](const QString& line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    };
    progress.rows = [](const QString& table, qint64 done, qint64 total) {
        if (done == total || done % 100000 == 0) {
            std::printf("  %s: %lld / %lld\n", qPrintable(table), static_cast<long long>(done),
                        static_cast<long long>(total));
            std::fflush(stdout);
        }
        return true;
    };
    const paradoximport::Report report =
        paradoximport::importFolder(QDir(folder).absolutePath(), location, progress);
    const QString text = report.text();
    std::fputs(qPrintable(text), report.ok ? stdout : stderr);
    if (!reportFile.isEmpty()) {
        QString why;
        if (!report.save(reportFile, &why)) {
            std::fprintf(stderr, "kalvina-suite: the report cannot be saved in %s: %s\n", qPrintable(reportFile),
                         qPrintable(why));
            return 1;
        }
    }
    if (!report.ok)
        return 1;
    if (writeSettings)
        suite::writeSettings(Database::isUrl(location) ? location : QDir::toNativeSeparators(location));
    return 0;
}

// kalvina-suite --check LOCATION: the books check over the whole database,
// for a nightly job. 0 when the books agree, 1 when they do not, 2 when the
// database cannot be opened or read.
int checkBooks(const QString& location, const QString& reportFile) {
    Database db;
    QString error;
    if (!db.open(location, &error)) {
        std::fprintf(stderr, "kalvina-suite: базата данни %s не може да се отвори: %s\n", qPrintable(location),
                     qPrintable(error));
        return 2;
    }
    booksreport::Report report;
    try {
        report = booksreport::run(db, db.location());
    } catch (const DbError& e) {
        std::fprintf(stderr, "kalvina-suite: книгите в %s не могат да се прочетат: %s\n", qPrintable(db.location()),
                     qPrintable(e.message()));
        return 2;
    }
    const QByteArray text = report.text().toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    if (!reportFile.isEmpty()) {
        QFile f(reportFile);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size() || !f.flush()) {
            std::fprintf(stderr, "kalvina-suite: отчетът не може да се запише в %s: %s\n", qPrintable(reportFile),
                         qPrintable(f.errorString()));
            return 2;
        }
    }
    return report.agree() ? 0 : 1;
}

void printText(FILE* to, const QString& text) {
    const QByteArray b = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), to);
    std::fflush(to);
}

// kalvina-suite --backup LOCATION FOLDER: a checked copy for a nightly job;
// 0 when it is written, 1 when not.
int backUp(const QString& location, const QString& folder, int keep) {
    const backup::Outcome o = backup::backupLocation(location, folder, keep);
    printText(o.ok ? stdout : stderr, o.message);
    return o.ok ? 0 : 1;
}

// kalvina-suite --restore FILE FOLDER: 0 restored, 1 the backup refused or
// the restore failed, 3 the folder refused (in use, the settings' own, or
// holding a database).
int restoreBackup(const QString& file, const QString& folder) {
    const QString inUse =
        SuiteSettings::exists() ? SuiteSettings::value(QStringLiteral("BasePath")).toString().trimmed() : QString();
    const backup::RestoreOutcome r = backup::restore(file, folder, inUse);
    printText(r.ok() ? stdout : stderr, r.message);
    switch (r.status) {
    case backup::RestoreStatus::Done:
        return 0;
    case backup::RestoreStatus::FolderRefused:
        return 3;
    default:
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1) {
        if (chainSetupCanShowWindow())
            return runChainSetup(argc, argv);
        std::fprintf(stderr, "kalvina-suite: the set-up window needs a display; see --help for the command line\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kalvina-suite"));
    QCoreApplication::setApplicationVersion(programfiles::version());
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Creates a suite database (directory or postgresql:// URL), checks its\n"
                                               "books, backs it up and restores a backup:\n"
                                               "  kalvina-suite --backup LOCATION FOLDER [--keep N]\n"
                                               "  kalvina-suite --restore FILE FOLDER\n"
                                               "Without arguments it opens the window \"Настройка на веригата\"."));
    p.addHelpOption();
    p.addVersionOption();
    p.addPositionalArgument(QStringLiteral("location"), QStringLiteral("database directory or postgresql:// URL; with --backup and --restore the folder"));
    p.addOption({QStringLiteral("demo"), QStringLiteral("fill shops, the own firm, clerks and demo appliances")});
    p.addOption({QStringLiteral("no-settings"), QStringLiteral("do not write BasePath into the settings")});
    p.addOption({QStringLiteral("if-missing"), QStringLiteral("do nothing when the settings already name a database")});
    p.addOption({QStringLiteral("import"),
                 QStringLiteral("import the suite's old Paradox tables of <folder> into a new database at location"),
                 QStringLiteral("folder")});
    p.addOption({QStringLiteral("check"),
                 QStringLiteral("check the books of the database at location and print the report; exit 0 when they "
                                "agree, 1 when they do not, 2 when the database cannot be read")});
    p.addOption({QStringLiteral("backup"),
                 QStringLiteral("write a checked backup of the database at <location> (folder or postgresql:// URL) "
                                "into the folder given as argument, named by date and time; exit 0 when written, 1 "
                                "when not"),
                 QStringLiteral("location")});
    p.addOption({QStringLiteral("keep"),
                 QStringLiteral("with --backup: keep the newest <n> backups in the folder (default %1)")
                     .arg(backup::Plan::kDefaultKeep),
                 QStringLiteral("n")});
    p.addOption({QStringLiteral("restore"),
                 QStringLiteral("restore the backup <file> into the folder given as argument, which no workstation "
                                "may use and which must hold no database; exit 0 when restored, 1 when the backup is "
                                "refused, 3 when the folder is"),
                 QStringLiteral("file")});
    p.addOption({QStringLiteral("report"),
                 QStringLiteral("with --import or --check: save the report as text (UTF-8) in <file>"),
                 QStringLiteral("file")});
    // Wrong arguments end with 2, as the nightly check's callers expect:
    // 1 is the answer "the books do not agree".
    if (!p.parse(app.arguments())) {
        std::fprintf(stderr, "kalvina-suite: %s\n", qPrintable(p.errorText()));
        return 2;
    }
    if (p.isSet(QStringLiteral("help")))
        p.showHelp(0);
    if (p.isSet(QStringLiteral("version")))
        p.showVersion();
    if (p.positionalArguments().size() != 1) {
        if (p.isSet(QStringLiteral("check"))) {
            std::fprintf(stderr, "kalvina-suite: --check иска едно място на базата данни: папка или "
                                 "postgresql:// адрес\n");
            return 2;
        }
        if (p.isSet(QStringLiteral("backup")) || p.isSet(QStringLiteral("restore"))) {
            std::fprintf(stderr, "kalvina-suite: --%s иска и папка: kalvina-suite %s\n",
                         p.isSet(QStringLiteral("backup")) ? "backup" : "restore",
                         p.isSet(QStringLiteral("backup")) ? "--backup LOCATION FOLDER" : "--restore FILE FOLDER");
            return 2;
        }
        p.showHelp(2);
    }
    if (p.isSet(QStringLiteral("backup")) || p.isSet(QStringLiteral("restore"))) {
        const bool backingUp = p.isSet(QStringLiteral("backup"));
        for (const char* other : {"import", "demo", "if-missing", "no-settings", "check", backingUp ? "restore" : "keep"})
            if (p.isSet(QString::fromLatin1(other))) {
                std::fprintf(stderr, "kalvina-suite: --%s не се съчетава с --%s\n", backingUp ? "backup" : "restore",
                             other);
                return 2;
            }
        const QString folder = QDir(p.positionalArguments().first()).absolutePath();
        if (!backingUp)
            return restoreBackup(p.value(QStringLiteral("restore")), folder);
        int keep = backup::Plan::kDefaultKeep;
        if (p.isSet(QStringLiteral("keep"))) {
            bool ok = false;
            keep = p.value(QStringLiteral("keep")).toInt(&ok);
            if (!ok || keep < 1) {
                std::fprintf(stderr, "kalvina-suite: --keep иска цяло число от 1 нагоре\n");
                return 2;
            }
        }
        QString location = p.value(QStringLiteral("backup"));
        if (!Database::isUrl(location))
            location = QDir(location).absolutePath();
        return backUp(location, folder, keep);
    }
    QString location = p.positionalArguments().first();
    if (!Database::isUrl(location))
        location = QDir(location).absolutePath();

    if (p.isSet(QStringLiteral("check"))) {
        for (const char* other : {"import", "demo", "if-missing", "no-settings"})
            if (p.isSet(QString::fromLatin1(other))) {
                std::fprintf(stderr, "kalvina-suite: --check не се съчетава с --%s\n", other);
                return 2;
            }
        return checkBooks(location, p.value(QStringLiteral("report")));
    }

    if (p.isSet(QStringLiteral("import")))
        return importOldBooks(p.value(QStringLiteral("import")), location, p.value(QStringLiteral("report")),
                              !p.isSet(QStringLiteral("no-settings")));

    if (p.isSet(QStringLiteral("if-missing"))) {
        if (SuiteSettings::exists() &&
            !SuiteSettings::value(QStringLiteral("BasePath")).toString().trimmed().isEmpty()) {
            std::printf("settings already name a database; nothing done\n");
            return 0;
        }
    }

    if (p.isSet(QStringLiteral("if-missing")) && !Database::isUrl(location) &&
        QFileInfo::exists(QDir(location).filePath(Database::fileName()))) {
        suite::writeSettings(QDir::toNativeSeparators(location));
        std::printf("settings now name the existing database at %s\n", qPrintable(location));
        return 0;
    }

    Database db;
    QString error;
    if (!suite::createDatabase(db, location, &error)) {
        std::fprintf(stderr, "kalvina-suite: %s\n", qPrintable(error));
        return 1;
    }
    try {
        if (p.isSet(QStringLiteral("demo"))) {
            const auto f = suite::fillDemoMasterData(db);
            const int items = suite::fillDemoItems(db);
            std::printf("demo data: %d shops, %d clerks, %d appliances\n", f.shops, f.clerks, items);
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "kalvina-suite: %s\n", qPrintable(e.message()));
        return 1;
    }
    db.close();
    if (!p.isSet(QStringLiteral("no-settings")))
        suite::writeSettings(Database::isUrl(location) ? location : QDir::toNativeSeparators(location));
    std::printf("suite database ready at %s\n", qPrintable(location));
    return 0;
}
