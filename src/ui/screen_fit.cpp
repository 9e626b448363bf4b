#include "screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace kavlo {
namespace {

// Until a window manager has framed the window nothing tells its frame: room for the title bar
// and borders of the common desktops, so that the frame fits before it is known.
constexpr QMargins kFrameAllowance(8, 40, 8, 8);

QMargins frameMargins(QWidget* window) {
    window->winId();  // the platform window, which holds the margins once they are known
    const QMargins known = window->windowHandle()->frameMargins();
    return known.isNull() ? kFrameAllowance : known;
}

QRect availableAround(QPoint at) {
    const QScreen* screen = QGuiApplication::screenAt(at);
    if (!screen) {
        screen = QGuiApplication::primaryScreen();
    }
    return screen ? screen->availableGeometry() : QRect();
}

}  // namespace

QRect fittedGeometry(QRect wanted, QMargins frame, QRect available) {
    const int across = frame.left() + frame.right();
    const int down = frame.top() + frame.bottom();
    const QSize size(std::min(wanted.width(), available.width() - across),
                     std::min(wanted.height(), available.height() - down));
    const int x =
        std::clamp(wanted.x(), available.left(), available.right() + 1 - size.width() - across);
    const int y =
        std::clamp(wanted.y(), available.top(), available.bottom() + 1 - size.height() - down);
    return QRect(QPoint(x, y), size);
}

void placeOnScreen(QWidget* window, QPoint at, QSize size) {
    const QRect available = availableAround(at);
    if (available.isEmpty()) {
        window->resize(size);
        window->move(at);
        return;
    }
    const QRect fitted = fittedGeometry(QRect(at, size), frameMargins(window), available);
    window->resize(fitted.size());
    window->move(fitted.topLeft());
}

QSize roomOnScreen(QWidget* window) {
    const QMargins frame = frameMargins(window);
    const QRect available = availableAround(window->pos());
    return available.size().shrunkBy(frame);
}

void keepOnScreen(QWidget* window) {
    if (window->testAttribute(Qt::WA_Moved)) {
        placeOnScreen(window, window->pos(), window->size());
        return;
    }
    if (!availableAround(window->pos()).isEmpty()) {
        window->resize(window->size().boundedTo(roomOnScreen(window)));
    }
}

}  // namespace kavlo
