#include "toolkit/qt/window_fit.h"

#include <algorithm>

namespace toolkit::qt {

void fitCheckBox(QCheckBox* check) {
  const int needed = check->sizeHint().width();
  if (needed > check->width()) check->resize(needed, check->height());
}

void growToFitControls(QWidget* window, int margin) {
  int width = window->width();
  for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!child->isHidden()) width = std::max(width, child->geometry().right() + 1 + margin);
  }
  if (width <= window->width()) return;
  if (window->minimumWidth() == window->maximumWidth()) {
    window->setFixedWidth(width);
  } else {
    window->resize(width, window->height());
  }
}

}  // namespace toolkit::qt
