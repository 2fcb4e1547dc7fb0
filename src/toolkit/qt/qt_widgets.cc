#include "toolkit/qt/qt_widgets.h"

#include <QtGui/QCloseEvent>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>

#include "toolkit/backend.h"

namespace toolkit::qt {

namespace {
constexpr const char* kControlId = "toolkitControlId";
}

int controlIdOf(const QWidget* widget) { return widget ? widget->property(kControlId).toInt() : 0; }

void setControlIdOf(QWidget* widget, int id) { widget->setProperty(kControlId, id); }

ToolkitDialog::ToolkitDialog(Window handle, QWidget* parent) : QDialog(parent), handle_(handle) {}

void ToolkitDialog::closeEvent(QCloseEvent* event) {
  if (closing_) {
    QDialog::closeEvent(event);
    return;
  }
  // The close box asks; the window's handler decides whether it goes.
  event->ignore();
  dispatchEvent(handle_, Event{EventType::Close});
}

void ToolkitDialog::reject() {
  if (closing_) {
    QDialog::reject();
    return;
  }
  dispatchEvent(handle_, Event{EventType::Close});
}

void ToolkitDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
    Event help{EventType::Help};
    help.control = controlIdOf(focusWidget());
    dispatchEvent(handle_, help);
    return;
  }
  QDialog::keyPressEvent(event);
}

void ToolkitDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  if (onResize_) onResize_(size());
}

void ToolkitDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  dispatchEvent(handle_, Event{EventType::Update});
}

TaskMainWindow::TaskMainWindow(Window handle) : handle_(handle) {}

void TaskMainWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    QMainWindow::closeEvent(event);
    return;
  }
  event->ignore();
  dispatchEvent(handle_, Event{EventType::Close});
}

}  // namespace toolkit::qt
