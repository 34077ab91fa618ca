#include "core/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace programfiles {

QString version() {
    return QStringLiteral(RESALE_VERSION);
}

QStringList shippedFiles() {
    return {QStringLiteral("resale.db"), QStringLiteral("salecontract.rtf"), QStringLiteral("resale_help.html"),
            QStringLiteral("doc_resale.html")};
}

QStringList searchFolders(const QString& programDir) {
    return {QDir::cleanPath(programDir),
            QDir::cleanPath(QDir(programDir).filePath(QStringLiteral(RESALE_DATA_FROM_BIN)))};
}

namespace {
bool holds(const QString& folder, const QString& name) {
    return QFileInfo(QDir(folder).filePath(name)).isFile();
}
} // namespace

QString folder(const QString& programDir) {
    const QStringList files = shippedFiles();
    for (const QString& f : searchFolders(programDir))
        for (const QString& name : files)
            if (holds(f, name))
                return f;
    return QDir::cleanPath(programDir);
}

QString saleContractFolder(const QString& programDir) {
    for (const QString& config : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)) {
        const QString own = QDir(config).filePath(QStringLiteral("resale"));
        if (holds(own, QStringLiteral("salecontract.rtf")))
            return QDir::cleanPath(own);
    }
    return folder(programDir);
}

namespace {
// Where the program takes a shipped file from (it may be missing there).
QString pathOf(const QString& name, const QString& programDir) {
    if (name == QLatin1String("salecontract.rtf"))
        return QDir(saleContractFolder(programDir)).filePath(name);
    return QDir(folder(programDir)).filePath(name);
}
} // namespace

QStringList missingFiles(const QString& programDir) {
    QStringList missing;
    for (const QString& name : shippedFiles())
        if (!QFileInfo(pathOf(name, programDir)).isFile())
            missing.append(name);
    return missing;
}

QString missingText(const QString& name, const QString& programDir) {
    QStringList places;
    for (const QString& f : searchFolders(programDir))
        places.append(QDir::toNativeSeparators(f));
    return QStringLiteral("Файлът \"%1\" на програмата липсва: няма го нито в %2.")
        .arg(name, places.join(QStringLiteral(", нито в ")));
}

QStringList report(const QString& programDir) {
    const QString programFolder = folder(programDir);
    QStringList lines;
    for (const QString& name : shippedFiles()) {
        const QString path = pathOf(name, programDir);
        if (!QFileInfo(path).isFile())
            lines.append(missingText(name, programDir));
        else
            lines.append(QStringLiteral("%1: %2%3")
                             .arg(name, QDir::toNativeSeparators(path),
                                  QFileInfo(path).path() != programFolder ? QStringLiteral(" (на магазина)")
                                                                          : QString()));
    }
    return lines;
}

} // namespace programfiles
