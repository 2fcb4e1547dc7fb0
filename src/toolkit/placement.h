// Placement of the windows the program opens over its task window, the
// shared background they are painted with, and their common answers to a
// repaint and to the close box.
//
// The arithmetic is kept apart as pure functions over rectangles, so it can
// be checked with numbers; the three window operations only read the
// rectangles, call them and move the window.
#pragma once

#include "toolkit/types.h"

namespace toolkit {

// Top-left corner, in the task window's client coordinates, for a window of
// client size `window` placed in a task window of client size `task`, with
// `pushDown` the height that pushes placed windows down. A window that is
// not smaller than the task window in a direction goes to 10 there; else it
// is centred, with half of `pushDown` added vertically. Every division
// truncates toward zero, each half separately.
Point placedCorner(Rect task, Rect window, int pushDown);

// The rectangle that centres a window of client size `window` over a task
// window of client size `task` whose client origin lies at `taskOrigin` in
// the coordinates of the task window's parent (the screen). Larger windows
// get negative offsets and are centred all the same.
Rect centredRect(Rect task, Point taskOrigin, Rect window);

// Light grey, used as the background on the oldest desktop class.
inline constexpr Colour kLegacyBackground = 0x0AC0C0C0;

// The colour windows are cleared with: kLegacyBackground on the oldest
// desktop class (1), else the toolkit's background colour. This platform is
// always of the modern class.
Colour backgroundFor(int desktopClass, Colour toolkitBackground);
inline constexpr int kDesktopClass = 0;

// Moves the window inside the task window (placedCorner with
// placementPushDown()) and makes it visible.
void placeInTaskWindow(Window w);
// Centres the window over the task window (centredRect) and makes it
// visible.
void centreOnTaskWindow(Window w);
// Clears the whole window with the shared background (backgroundFor).
void clearWindowBackground(Window w);
// What every dialog of the program does alike: a repaint clears the
// background, the close box destroys the window. True when `e` was one of
// those two and has been answered.
bool answerRepaintOrClose(Window w, const Event& e);

}  // namespace toolkit
