#include "toolkit/placement.h"

#include "toolkit/toolkit.h"

namespace toolkit {

Point placedCorner(Rect task, Rect window, int pushDown) {
  const int tw = task.width(), th = task.height();
  const int ww = window.width(), wh = window.height();
  // C++ division truncates toward zero, as the placement wants; each half
  // is taken on its own so that odd sizes round the same way every time.
  Point corner;
  corner.h = ww < tw ? (tw - ww) / 2 : 10;
  corner.v = wh < th ? (th - wh) / 2 + pushDown / 2 : 10;
  return corner;
}

Rect centredRect(Rect task, Point taskOrigin, Rect window) {
  const int tw = task.width(), th = task.height();
  const int ww = window.width(), wh = window.height();
  Rect r;
  r.left = static_cast<std::int16_t>(taskOrigin.h + (tw - ww) / 2);
  r.top = static_cast<std::int16_t>(taskOrigin.v + (th - wh) / 2);
  r.right = static_cast<std::int16_t>(taskOrigin.h + (tw + ww) / 2);
  r.bottom = static_cast<std::int16_t>(taskOrigin.v + (th + wh) / 2);
  return r;
}

Colour backgroundFor(int desktopClass, Colour toolkitBackground) {
  return desktopClass == 1 ? kLegacyBackground : toolkitBackground;
}

void placeInTaskWindow(Window w) {
  const Window task = taskWindow();
  const Rect own = clientRect(w);
  const Point corner = placedCorner(clientRect(task), own, placementPushDown());
  // The window's parent is the task window, whose client coordinates the
  // corner is given in; a window of another parent is translated there.
  Point at = corner;
  const Window parent = parentWindow(w);
  if (parent != task) at = translatePoint(task, parent, corner);
  moveWindow(w, Rect::fromPosition(at.h, at.v, own.width(), own.height()));
  setVisible(w, true);
}

void centreOnTaskWindow(Window w) {
  const Window task = taskWindow();
  const Window outer = parentWindow(task);
  const Point origin = translatePoint(task, outer, Point{0, 0});
  Rect r = centredRect(clientRect(task), origin, clientRect(w));
  // The rectangle is in the coordinates of the task window's parent; a
  // window of another parent gets it translated.
  const Window parent = parentWindow(w);
  if (parent != outer) {
    const Point p = translatePoint(outer, parent, Point{r.top, r.left});
    r = Rect::fromPosition(p.h, p.v, r.width(), r.height());
  }
  moveWindow(w, r);
  setVisible(w, true);
}

void clearWindowBackground(Window w) {
  clearWindow(w, backgroundFor(kDesktopClass, backgroundColour()));
}

bool answerRepaintOrClose(Window w, const Event& e) {
  switch (e.type) {
    case EventType::Update:
      clearWindowBackground(w);
      return true;
    case EventType::Close:
      destroyWindow(w);
      return true;
    default:
      return false;
  }
}

}  // namespace toolkit
