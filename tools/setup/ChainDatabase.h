#pragma once

#include "db/Database.h"
#include "tools/setup/PostgresAddress.h"

#include <QString>
#include <memory>

// The database the chain's set-up works on: the one the suite's settings
// name (BasePath), or a new one in a folder (SQLite) or on a PostgreSQL
// server, which the settings then name. A database is only used when it
// holds every table of the suite; a new one gets them all, and its clerks
// table the login's default clerk. A place that fails leaves the database
// in use (and the settings) as they were.
class ChainDatabase {
public:
    ChainDatabase();
    ChainDatabase(const ChainDatabase&) = delete;
    ChainDatabase& operator=(const ChainDatabase&) = delete;

    // What a server holds, as a connection test finds it.
    enum class Content { Unreachable, Empty, Suite, Incomplete };
    struct ServerTest {
        Content content = Content::Unreachable;
        QString message; // in words, for the administrator
    };

    // Opens the database the settings name. False with *error set when they
    // name none (empty error) or it does not open or lacks the suite's tables.
    bool openFromSettings(QString* error);

    // Uses the suite database in dir, or creates one there (the folder and
    // the database file readable only by their owner) when it holds none;
    // then the settings name it. *created tells which.
    bool useFolder(const QString& dir, QString* error, bool* created = nullptr);

    // Connects to the server and says whether its database is empty, holds
    // the suite's tables, or holds only some of them. Nothing is written.
    static ServerTest testServer(const PostgresAddress& address);
    // Uses the suite database on the server, or creates the suite's tables in
    // its empty database; then the settings name it (with its password).
    bool useServer(const PostgresAddress& address, QString* error, bool* created = nullptr);

    void close();
    bool isOpen() const { return m_db->isOpen(); }
    Database& db() { return *m_db; }
    // Where the database is, without any password.
    QString shownLocation() const { return m_shown; }
    // Whether opening wrote the login's default clerk into an empty table.
    bool wroteDefaultClerk() const { return m_wroteDefaultClerk; }

    // BasePath as the settings hold it now, without any password; empty when none.
    static QString shownBasePath();

private:
    // Takes next as the database in use once it is ready; then the settings
    // name basePath (when not empty).
    bool adopt(std::unique_ptr<Database> next, const QString& basePath, QString* error);

    std::unique_ptr<Database> m_db;
    QString m_shown;
    bool m_wroteDefaultClerk = false;
};
