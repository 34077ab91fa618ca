#pragma once

#include "tools/setup/SaveOutcome.h"

#include <QString>
#include <optional>

// A PostgreSQL server as the set-up asks for it, and the postgresql:// URL
// that BasePath holds for it (user and password percent-encoded).
struct PostgresAddress {
    QString host;
    int port = 5432;
    QString database;
    QString user;
    QString password;

    static PostgresAddress fromUrl(const QString& url);
    // The URL with the password, for BasePath only.
    QString url() const;
    // The URL without the password, for showing.
    QString shown() const;
    // Host, database and user are required; the port is 1 to 65535. Fields:
    // "host", "port", "database", "user".
    std::optional<Refusal> check() const;
};
