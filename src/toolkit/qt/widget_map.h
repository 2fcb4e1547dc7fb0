// A map of the windows on screen for tests that drive the real program with
// real X input (tests/support/xinput): where to click, and which X window
// must have the keyboard focus.
//
// When VODBC_WIDGET_MAP names a file, the Qt backend appends to it, for
// every top-level window it shows or resizes:
//   show KIND XID                  a window appeared (X window id, decimal)
//   widget XID NAME X Y W H        a control, relative to that window
//   widget XID NAME/ROW X Y W H    a visible item of a list control
//   focus XID NAME                 a control took the keyboard focus
//   hide XID                       the window went away
// KIND is the resource id of a toolkit window, "task", "message", "file",
// "help" or "progress". NAME is a control id, the object name of a widget
// that has one, or "button:LABEL" for other buttons ("button:Yes"). A later
// line for the same window and name replaces an earlier one; a list's items
// are described again whenever its contents change.
#pragma once

namespace toolkit::qt {

// Starts writing the map when VODBC_WIDGET_MAP is set; needs the
// application object.
void startWidgetMapFromEnvironment();

}  // namespace toolkit::qt
