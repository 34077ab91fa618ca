#include "core/ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

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

QStringList missingFiles(const QString& programDir) {
    const QString f = folder(programDir);
    QStringList missing;
    for (const QString& name : shippedFiles())
        if (!holds(f, name))
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
    const QString f = folder(programDir);
    QStringList lines;
    for (const QString& name : shippedFiles())
        lines.append(holds(f, name)
                         ? QStringLiteral("%1: %2").arg(name, QDir::toNativeSeparators(QDir(f).filePath(name)))
                         : missingText(name, programDir));
    return lines;
}

} // namespace programfiles
