// The Qt 6 Widgets backend: real windows. With a scripted session it
// drives its own widgets from the script (offscreen in tests, under Xvfb for
// screenshots); without one a person uses them.
#pragma once

#include <memory>

#include "toolkit/backend.h"

namespace toolkit {

// Creates the QApplication when there is none yet (with argc/argv, which
// must outlive it), preferring the X11 platform plugin when DISPLAY is set,
// and resets LC_NUMERIC to "C" afterwards. nullptr when no display can be
// opened.
std::unique_ptr<Backend> makeQtBackend(int& argc, char** argv);

}  // namespace toolkit
