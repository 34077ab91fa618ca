#pragma once

#include <Qt>

// A small dialog to the window manager: a title with a close box, no
// minimise or maximise buttons.
inline constexpr Qt::WindowFlags kSmallDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
