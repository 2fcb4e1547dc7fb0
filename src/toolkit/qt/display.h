// Whether Qt can open a display here, asked before the QApplication is
// made (Qt aborts the process when it cannot connect, so we ask first).
#pragma once

#include <string>

namespace toolkit::qt {

// True when a display is reachable: QT_QPA_PLATFORM names a platform that
// needs none (offscreen, minimal), the X server of DISPLAY accepts a
// connection, or WAYLAND_DISPLAY is set. Otherwise false with `why` set.
// When DISPLAY is set and no platform is forced, it also asks Qt for its
// X11 plugin: window placement is part of the program's behaviour.
bool prepareDisplay(std::string& why);

}  // namespace toolkit::qt
