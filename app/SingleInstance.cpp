#include "app/SingleInstance.h"

#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStandardPaths>

QString SingleInstance::lockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    QString desktop = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (desktop.isEmpty())
        desktop = qEnvironmentVariable("DISPLAY");
    if (desktop.isEmpty())
        desktop = QGuiApplication::platformName();
    desktop.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QDir(dir).filePath(QStringLiteral("resale-%1.lock").arg(desktop));
}

bool SingleInstance::acquire() {
    m_lock = std::make_unique<QLockFile>(lockPath());
    m_lock->setStaleLockTime(0);
    // A lock whose process is gone (a killed copy) is stale and taken over.
    return m_lock->tryLock(0);
}
