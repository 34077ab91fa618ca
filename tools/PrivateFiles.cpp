#include "tools/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace privatefiles {

namespace {
constexpr QFile::Permissions kOwnerFile = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
constexpr QFile::Permissions kOwnerFolder = kOwnerFile | QFile::ExeOwner | QFile::ExeUser;
constexpr QFile::Permissions kOthers =
    QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
} // namespace

bool makeFolder(const QString& dir, QString* error) {
    const QFileInfo info(dir);
    if (info.exists()) {
        if (info.isDir())
            return true;
        if (error)
            *error = QStringLiteral("%1 е файл, а не папка").arg(QDir::toNativeSeparators(dir));
        return false;
    }
    const QString absolute = info.absoluteFilePath();
    const QString parent = QFileInfo(absolute).absolutePath();
    if (!QDir().mkpath(parent) || !QDir().mkdir(absolute, kOwnerFolder)) {
        if (error)
            *error = QStringLiteral("Папката %1 не може да бъде създадена").arg(QDir::toNativeSeparators(dir));
        return false;
    }
    return true;
}

bool createFile(const QString& path) {
    if (QFileInfo::exists(path))
        return true;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly, kOwnerFile))
        return QFileInfo::exists(path); // made meanwhile by someone else: theirs stands
    f.close();
    return true;
}

bool restrictToOwner(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    const QFile::Permissions now = QFile::permissions(path);
    if (!(now & kOthers))
        return true;
    return QFile::setPermissions(path, now & ~kOthers);
}

bool isPrivate(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !(QFile::permissions(path) & kOthers);
}

} // namespace privatefiles
