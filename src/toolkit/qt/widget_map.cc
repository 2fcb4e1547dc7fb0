#include "toolkit/qt/widget_map.h"

#include <QtCore/QEvent>
#include <QtCore/QFile>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMessageBox>
#include <cstdlib>

#include "toolkit/qt/qt_widgets.h"

namespace toolkit::qt {
namespace {

QString kindOf(const QWidget* window) {
  const QVariant resource = window->property("toolkitResource");
  if (resource.isValid()) return QString::number(resource.toInt());
  if (qobject_cast<const QMainWindow*>(window)) return QStringLiteral("task");
  if (qobject_cast<const QMessageBox*>(window)) return QStringLiteral("message");
  if (qobject_cast<const QFileDialog*>(window)) return QStringLiteral("file");
  if (!window->objectName().isEmpty()) return window->objectName();
  return QString::fromLatin1(window->metaObject()->className());
}

QString nameOf(const QWidget* widget) {
  if (const int id = controlIdOf(widget)) return QString::number(id);
  const QString object = widget->objectName();
  if (!object.isEmpty() && !object.startsWith(QStringLiteral("qt_"))) return object;
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    return QStringLiteral("button:") + QString(button->text()).remove(u'&');
  }
  return {};
}

class WidgetMap : public QObject {
 public:
  explicit WidgetMap(const QString& path) : file_(path) {
    file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow() || widget->windowType() == Qt::ToolTip ||
        widget->windowType() == Qt::Popup) {
      return false;
    }
    switch (event->type()) {
      case QEvent::Show:
        write(QStringLiteral("show %1 %2").arg(kindOf(widget)).arg(widget->winId()));
        // Layouts settle once the event loop runs again.
        QTimer::singleShot(0, this, [this, w = QPointer<QWidget>(widget)] {
          if (w && w->isVisible()) writeWidgets(w);
        });
        break;
      case QEvent::Resize:
        if (widget->isVisible()) writeWidgets(widget);
        break;
      case QEvent::Hide:
        write(QStringLiteral("hide %1").arg(widget->winId()));
        break;
      default:
        break;
    }
    return false;
  }

 private:
  void writeWidgets(QWidget* window) {
    for (QWidget* child : window->findChildren<QWidget*>()) {
      if (!child->isVisibleTo(window) || child->isWindow()) continue;
      const QString name = nameOf(child);
      if (name.isEmpty()) continue;
      const QPoint at = child->mapTo(window, QPoint(0, 0));
      write(QStringLiteral("widget %1 %2 %3 %4 %5 %6")
                .arg(window->winId())
                .arg(name.simplified().replace(u' ', u'_'))
                .arg(at.x())
                .arg(at.y())
                .arg(child->width())
                .arg(child->height()));
    }
  }

  void write(const QString& line) {
    file_.write((line + u'\n').toUtf8());
    file_.flush();
  }

  QFile file_;
};

}  // namespace

void startWidgetMapFromEnvironment() {
  const char* path = std::getenv("VODBC_WIDGET_MAP");
  if (!path || !*path || !QApplication::instance()) return;
  static WidgetMap* map = new WidgetMap(QString::fromLocal8Bit(path));
  QApplication::instance()->installEventFilter(map);
}

}  // namespace toolkit::qt
