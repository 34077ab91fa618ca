#pragma once

#include <QString>
#include <QVariant>

// The suite's per-user settings ("Orvel"/"Kalvina"): the database location
// BasePath and the last user name User. On Linux the store is
// ~/.config/Orvel/Kalvina.conf (honours XDG_CONFIG_HOME); on Windows the
// registry key of the current user.
class SuiteSettings {
public:
    // Whether the suite has ever written its settings for this user.
    static bool exists();
    // Creates the store (the suite's installation does this).
    static void create();

    static bool hasValue(const QString& name);
    static QVariant value(const QString& name);
    static void setValue(const QString& name, const QString& value);

    // The path of the store, for messages and tests.
    static QString location();
};
