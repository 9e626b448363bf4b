#pragma once

#include <string>

namespace kavlo {

// Asked before any Qt application exists, since Qt ends the program when the display it picks
// does not answer. Points Qt (QT_QPA_PLATFORM) at the one of DISPLAY and WAYLAND_DISPLAY that
// answers when the other does not, and returns empty; or returns why the windows have nowhere
// to open, naming the variables. A platform chosen in QT_QPA_PLATFORM is tried as chosen; one
// other than X or Wayland (offscreen, vnc, ...) is taken on trust.
std::string chooseDisplay();

}  // namespace kavlo
