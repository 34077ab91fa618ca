#pragma once

// kalvina-suite without arguments: the window "Настройка на веригата" on the
// database the suite's settings name. Returns the exit code.
int runChainSetup(int& argc, char** argv);

// Whether a window can be shown at all (a display, or a platform chosen
// explicitly); without one the command line says what to do instead.
bool chainSetupCanShowWindow();
