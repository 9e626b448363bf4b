#pragma once

#include <QMargins>
#include <QRect>

class QWidget;

namespace kavlo {

// Where a window goes so that its frame lies within `available`: `wanted` holds the frame's
// top-left corner and the client size, `frame` the window manager's margins. The size shrinks
// only where the screen is smaller; the result is in the same terms as `wanted`.
QRect fittedGeometry(QRect wanted, QMargins frame, QRect available);

// Resizes a top-level window to `size` and puts its frame's top-left corner at `at`, as far as
// the available geometry of the screen it goes on allows.
void placeOnScreen(QWidget* window, QPoint at, QSize size);

// The largest client size whose frame fits the free area of the screen the window is on.
QSize roomOnScreen(QWidget* window);

// The window at its size, and where it was put if it was; a window never placed stays for the
// window manager to place.
void keepOnScreen(QWidget* window);

}  // namespace kavlo
