#include "widgets/WindowPlacement.h"

#include <algorithm>

namespace placement {

namespace {

QRect centred(const QSize& size, const QRect& area) {
    QRect r(QPoint(0, 0), size);
    r.moveCenter(area.center());
    return r;
}

} // namespace

Placement firstStart(const Screen& screen, const QSize& designed) {
    const QRect area = screen.available.isValid() ? screen.available : screen.geometry;
    if (screen.geometry.width() <= 800)
        return {screen.name, centred(designed, area), true};
    const int width = std::clamp(area.width() * 4 / 5, std::min(designed.width(), area.width()), area.width());
    const int height = std::clamp(area.height() * 4 / 5, std::min(designed.height(), area.height()), area.height());
    return {screen.name, centred(QSize(width, height), area), false};
}

Placement restore(const std::optional<Placement>& saved, const QList<Screen>& screens, const Screen& primary,
                  const QSize& designed, const QSize& minimum) {
    if (!saved || !saved->normal.isValid() || saved->normal.width() <= 0 || saved->normal.height() <= 0)
        return firstStart(primary, designed);
    const auto on =
        std::find_if(screens.cbegin(), screens.cend(), [&](const Screen& s) { return s.name == saved->screen; });
    if (on == screens.cend() || !on->geometry.intersects(saved->normal))
        return firstStart(primary, designed);
    const QRect area = on->available.isValid() ? on->available : on->geometry;
    QRect r = saved->normal;
    r.setWidth(std::max(std::min(r.width(), area.width()), minimum.width()));
    r.setHeight(std::max(std::min(r.height(), area.height()), minimum.height()));
    // Onto the area: the right and bottom edges first, so that a window
    // larger than the area keeps its top-left corner (and title) visible.
    if (r.right() > area.right())
        r.moveRight(area.right());
    if (r.bottom() > area.bottom())
        r.moveBottom(area.bottom());
    if (r.left() < area.left())
        r.moveLeft(area.left());
    if (r.top() < area.top())
        r.moveTop(area.top());
    return {on->name, r, saved->maximised, true};
}

} // namespace placement
