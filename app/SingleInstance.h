#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// One copy of the program per desktop: a lock file in the user's runtime
// folder named after the display. A lock left by a killed copy is stale and
// does not block the next start.
class SingleInstance {
public:
    // False when another copy runs on this desktop.
    bool acquire();
    static QString lockPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};
