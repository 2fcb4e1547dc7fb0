// The headless backend: windows and controls held in memory, the user
// played by the session's script (session.h). Every wait of the program
// (a modal window, the task window's event loop, a message box, a file
// dialog) consumes script lines; nothing is drawn.
//
// Geometry is that of an imaginary 1024 x 768 screen and a dialog font with
// 6-pixel average character width and 16-pixel height, so dialog units are
// 1.5 x 2 pixels.
#pragma once

#include <memory>

#include "toolkit/backend.h"

namespace toolkit {

std::unique_ptr<Backend> makeHeadlessBackend();

}  // namespace toolkit
