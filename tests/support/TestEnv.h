#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// Test isolation: every test process gets its own settings store (via
// XDG_CONFIG_HOME) and its own temporary folders; PostgreSQL tests get a
// fresh database on the throwaway server that the test command starts.
namespace testenv {

// Points the suite's settings store at a fresh temporary folder. Call first
// thing in main() or initTestCase(), before any QSettings is created.
void isolateSettings();

// A new empty temporary directory that lives as long as the returned object.
std::unique_ptr<QTemporaryDir> tempDir();

// URL of the test PostgreSQL server (env RESALE_TEST_PG_URL), or empty.
QString pgServerUrl();
// Whether PostgreSQL tests must run (CI): a missing server is then a failure.
bool pgRequired();
// Creates a fresh database on the test server and returns its URL; empty
// with *why set when no server is reachable.
QString freshPgDatabase(QString* why);

// Directory of the source tree (for fixtures under tests/).
QString sourceDir();

} // namespace testenv
