#pragma once

#include <QString>

class QSqlDatabase;

// SQLite's own "like" folds only Latin letters. The register installs a
// function on its SQLite connection that folds every script the way
// QString::toLower() does, and folds the search pattern the same way.
class CaseFolding {
public:
    static QString functionName() { return QStringLiteral("resale_fold"); }
    static QString fold(const QString& text) { return text.toLower(); }
    // Installs the function on an open SQLite connection; false when the
    // driver gives no SQLite handle (then only Latin letters are folded).
    static bool install(const QSqlDatabase& db);
    // The same on a raw SQLite handle (sqlite3*), for tools that open their own.
    static bool installOnHandle(void* sqliteHandle);
};
