#pragma once
// Where a companion window (the Virtual Remote) goes so that it covers nothing of the main
// window: beside it on the right, else on the left, else below; on a screen too small for any
// of those, the main window moves to the screen's corner and the companion takes what is left
// beside it, shrunk to fit (down to its minimum, which its scroll area makes usable).

#include <QRect>
#include <QSize>
#include <optional>

namespace tessik::app {

struct Placement {
    QRect main;       // the main window's frame, moved only when nothing else fits
    QRect companion;  // the companion's frame
};

// All rectangles are frames (title bar included) in the screen's coordinates; `screen` is its
// available area.
Placement placeBeside(const QRect& main, const QSize& wanted, const QSize& minimum,
                      const QRect& screen, int gap = 8);

}  // namespace tessik::app
