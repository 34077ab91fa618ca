#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

// Where a main window opens: where the clerk left it when the screen it
// stood on is still there, otherwise the first-start default. Pure
// geometry, so that it is tested without screens.
namespace placement {

struct Screen {
    QString name;
    QRect geometry;  // the whole screen
    QRect available; // without task bars and docks
};

struct Placement {
    QString screen; // name of the screen the window stands on
    QRect normal;   // the window's normal (not maximised) geometry
    bool maximised = false;
    bool asLeft = false; // brought back from the saved placement, not the default
    bool operator==(const Placement&) const = default;
};

// First start on this screen: maximised on a screen up to 800 pixels wide
// (the designed size then centred for when it is restored); on a larger
// screen four fifths of the available width and height, never smaller than
// the designed size nor larger than the available area, centred.
Placement firstStart(const Screen& screen, const QSize& designed);

// The saved placement, kept inside its screen's available area (shrunk to
// it, never below the minimum size, and moved onto it), when that screen is
// among the screens and the window still overlaps it; otherwise the
// first-start default on the primary screen.
Placement restore(const std::optional<Placement>& saved, const QList<Screen>& screens, const Screen& primary,
                  const QSize& designed, const QSize& minimum);

} // namespace placement
