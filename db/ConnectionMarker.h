#pragma once

#include "db/FileSystem.h"

#include <QString>

// The workstation's marker "prefs_con.N" in the database directory, held
// locked while the connection is open. Markers nobody holds are stale and
// are swept away when the next copy connects.
class ConnectionMarker {
public:
    static QString prefix() { return QStringLiteral("prefs_con."); }

    // Sweeps stale markers in dir, then creates and holds the first free one.
    bool place(const QString& dir, QString* error);
    // Releases and deletes this connection's marker; failures are ignored.
    void remove();
    QString path() const { return m_path; }
    bool isPlaced() const { return m_file.isHeld(); }

    // Removes every marker in dir that no running copy holds.
    static void sweep(const QString& dir);

private:
    fs::LockedFile m_file;
    QString m_path;
};
