#pragma once

#include "db/ConnectionMarker.h"
#include "db/Database.h"

#include <QString>

// Finds the shop database through the suite's settings (BasePath), creates
// the item table from the template beside the program when it is missing,
// opens the connection and places the workstation's connection marker.
class Connection {
public:
    enum class Status { Ready, NoPath, BadPathValue, OpenFailed };

    Connection() = default;
    ~Connection() { close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // programDir holds the item table's template "resale.db".
    Status open(const QString& programDir);
    // Closes the connection and removes the marker; safe to call twice.
    void close();

    Database& db() { return m_db; }
    bool isReady() const { return m_ready; }
    QString basePath() const { return m_basePath; }
    QString markerPath() const { return m_marker.path(); }
    // Why the last open() failed, in words for the clerk (engine's own text).
    QString detail() const { return m_detail; }

    // "C:\Shop" and "C:\Shop\" both give "C:\Shop\"; URLs stay as they are.
    static QString normalisedBasePath(const QString& value);
    static QString templateFileName() { return QStringLiteral("resale.db"); }

    // Creates the item table in db from the template file when db has none;
    // an existing item table is never replaced. False with *error set when
    // the template cannot be read.
    static bool ensureItemTable(Database& db, const QString& templatePath, QString* error);
    // Creates the record of transfers when the database has none. Whether
    // transfers will be written down: false, and said in the log, when the
    // table is missing and this user may not create it, or is there and this
    // user may not add to it; the workstation works on without the record.
    static bool ensureMovesTable(Database& db);

private:
    Database m_db;
    ConnectionMarker m_marker;
    QString m_basePath;
    QString m_detail;
    bool m_ready = false;
};
