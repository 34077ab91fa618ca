#pragma once

#include <QString>
#include <QVariant>
#include <memory>

class QSettings;

// The program's own per-user settings: where the windows stood, the
// register's layout, the last view and period. They are kept apart from the
// suite's settings, in an INI file of their own: ~/.config/Orvel/Resale.ini
// on Linux (honours XDG_CONFIG_HOME), %APPDATA%\Orvel\Resale.ini on Windows.
//
// A file that cannot be read or written never stops the program: a file
// that could not be read gives no values, so every caller keeps its
// defaults, and the first failure of the run is written to the log once.
class ProgramSettings {
public:
    ProgramSettings();
    ~ProgramSettings();
    ProgramSettings(const ProgramSettings&) = delete;
    ProgramSettings& operator=(const ProgramSettings&) = delete;

    // False when the file was there but could not be read or understood.
    bool isReadable() const { return m_readable; }

    QVariant value(const QString& key, const QVariant& fallback = {}) const;
    void setValue(const QString& key, const QVariant& value);
    void remove(const QString& key);
    // Writes what has changed to disk now; a failure is logged (once).
    void sync();

    // The file the settings live in.
    static QString location();
    // Whether a failure has been logged in this run (tests).
    static bool failureLogged();
    static void resetFailureLog();

private:
    void report(const QString& what);

    std::unique_ptr<QSettings> m_store;
    bool m_readable = true;
};
