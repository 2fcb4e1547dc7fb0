// The Qt widgets that stand for toolkit windows: they turn what Qt reports
// (close box, Escape, F1, painting) into toolkit events.
#pragma once

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMainWindow>
#include <functional>

#include "toolkit/types.h"

namespace toolkit::qt {

// A dialog or window made from a resource.
class ToolkitDialog : public QDialog {
 public:
  ToolkitDialog(Window handle, QWidget* parent);
  // While set, closing is the toolkit's own doing and passes.
  void setClosing(bool closing) { closing_ = closing; }
  // Called with the new size whenever the window is resized.
  void setResizeHandler(std::function<void(QSize)> handler) { onResize_ = std::move(handler); }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;  // Escape
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Window handle_;
  bool closing_ = false;
  std::function<void(QSize)> onResize_;
};

// The task window: menu bar, key table, client area.
class TaskMainWindow : public QMainWindow {
 public:
  explicit TaskMainWindow(Window handle);
  void setClosing(bool closing) { closing_ = closing; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Window handle_;
  bool closing_ = false;
};

// A check box whose mark only the program sets: a click is reported and
// the handler decides, as the program's windows expect.
class ToolkitCheckBox : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

// The control id of a widget made from a resource (0 for other widgets).
int controlIdOf(const QWidget* widget);
void setControlIdOf(QWidget* widget, int id);

}  // namespace toolkit::qt
