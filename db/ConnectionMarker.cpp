#include "db/ConnectionMarker.h"

#include <QDir>
#include <QFile>

void ConnectionMarker::sweep(const QString& dir) {
    const QStringList names = QDir(dir).entryList({prefix() + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString p = QDir(dir).filePath(name);
        fs::LockedFile probe;
        if (probe.lockExisting(p)) // nobody holds it: stale
            QFile::remove(p);
    }
}

bool ConnectionMarker::place(const QString& dir, QString* error) {
    remove();
    sweep(dir);
    for (int n = 1; n < 100000; ++n) {
        const QString p = QDir(dir).filePath(prefix() + QString::number(n));
        if (QFile::exists(p))
            continue;
        if (!m_file.createExclusive(p)) {
            if (QFile::exists(p))
                continue; // another copy took this number first
            if (error)
                *error = QStringLiteral("Не може да се създаде файлът %1").arg(QDir::toNativeSeparators(p));
            return false;
        }
        if (!m_file.stillAt(p)) { // swept by another copy before the lock held
            m_file.release();
            continue;
        }
        m_path = p;
        return true;
    }
    if (error)
        *error = QStringLiteral("Няма свободен номер за връзка в %1").arg(QDir::toNativeSeparators(dir));
    return false;
}

void ConnectionMarker::remove() {
    if (m_path.isEmpty())
        return;
    QFile::remove(m_path);
    m_file.release();
    m_path.clear();
}
