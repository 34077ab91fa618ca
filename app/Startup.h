#pragma once

#include <QString>

// The program's run from start to end. Returns the exit code (always 0).
namespace startup {

int run(const QString& programDir);

// Texts of the start-up messages.
QString suiteMissingText();
QString alreadyRunningText();

} // namespace startup
