#pragma once

#include <optional>

// The program's few command-line options, answered without a window or a
// display: --version, --check-install and --help. Returns the exit code when
// the command line asked for one of them; otherwise the program starts as
// usual (Qt's own options such as -platform go to the application).
namespace commandline {

std::optional<int> handle(int argc, char** argv);

} // namespace commandline
