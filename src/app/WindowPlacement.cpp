#include "app/WindowPlacement.hpp"

#include <algorithm>

namespace tessik::app {
namespace {

// The companion in the strip [left, right) x [top, bottom), as large as it wants and the strip
// allows; nothing when the strip is narrower or lower than its minimum.
std::optional<QRect> inStrip(int left, int right, int top, int bottom, const QSize& wanted,
                             const QSize& minimum) {
    const int width = std::min(wanted.width(), right - left);
    const int height = std::min(wanted.height(), bottom - top);
    if (width < minimum.width() || height < minimum.height()) return std::nullopt;
    return QRect(left, top, width, height);
}

}  // namespace

Placement placeBeside(const QRect& main, const QSize& wanted, const QSize& minimum,
                      const QRect& screen, int gap) {
    const int top = std::max(screen.top(), main.top());
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    const int mainRight = main.x() + main.width();
    const int mainBottom = main.y() + main.height();
    // Right of it, then left of it (flush against it), then below it.
    if (auto r = inStrip(mainRight + gap, screenRight, top, screenBottom, wanted, minimum))
        return {main, *r};
    if (auto r = inStrip(screen.left(), main.left() - gap, top, screenBottom, wanted, minimum)) {
        r->moveRight(main.left() - gap - 1);
        return {main, *r};
    }
    if (auto r = inStrip(std::max(screen.left(), main.left()), screenRight, mainBottom + gap,
                         screenBottom, wanted, minimum)) {
        return {main, *r};
    }
    // Nothing beside it: the main window to the corner, the companion in what is left right of
    // it, however narrow (its minimum is usable), over the screen's full height.
    QRect moved = main;
    moved.moveTopLeft(screen.topLeft());
    moved.setWidth(std::max(1, std::min(main.width(), screen.width() - gap - minimum.width())));
    const int left = moved.x() + moved.width() + gap;
    const int width = std::max(minimum.width(), std::min(wanted.width(), screenRight - left));
    const int height = std::min(wanted.height(), screen.height());
    return {moved, QRect(left, screen.top(), width, height)};
}

}  // namespace tessik::app
