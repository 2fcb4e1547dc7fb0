// Windows made from layouts in dialog units show every label whole,
// whatever the desktop's font: the text of a check box may need more room
// than the layout gives it.
#pragma once

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QWidget>

namespace toolkit::qt {

// Widens a check box to the width its mark and text need.
void fitCheckBox(QCheckBox* check);

// Widens `window` (a top-level widget) so that every control fits inside
// with `margin` pixels to spare. Never narrows it.
void growToFitControls(QWidget* window, int margin);

}  // namespace toolkit::qt
