#include "toolkit/qt/widget_map.h"

#include <QtCore/QEvent>
#include <QtCore/QFile>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QListWidget>
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
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
      if (!now || now->window()->windowType() == Qt::Popup) return;
      const QString name = nameOf(now);
      if (!name.isEmpty()) {
        write(QStringLiteral("focus %1 %2").arg(now->window()->winId()).arg(lineName(name)));
      }
    });
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
        watchLists(widget);
        // Layouts settle once the event loop runs again.
        writeWidgetsSoon(widget);
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
  static QString lineName(const QString& name) { return name.simplified().replace(u' ', u'_'); }

  void writeWidgetsSoon(QWidget* window) {
    QTimer::singleShot(0, this, [this, w = QPointer<QWidget>(window)] {
      if (w && w->isVisible()) writeWidgets(w);
    });
  }

  // A list's items move whenever the program refills it, long after the
  // window was shown: each change describes the window again.
  void watchLists(QWidget* window) {
    for (QListWidget* list : window->findChildren<QListWidget*>()) {
      if (list->property("widgetMapWatched").toBool()) continue;
      list->setProperty("widgetMapWatched", true);
      QAbstractItemModel* model = list->model();
      auto again = [this, w = QPointer<QWidget>(window)] {
        if (w) writeWidgetsSoon(w);
      };
      connect(model, &QAbstractItemModel::rowsInserted, this, again);
      connect(model, &QAbstractItemModel::rowsRemoved, this, again);
      connect(model, &QAbstractItemModel::modelReset, this, again);
    }
  }

  void writePlace(QWidget* window, const QString& name, QWidget* widget, const QRect& rect) {
    const QPoint at = widget->mapTo(window, rect.topLeft());
    write(QStringLiteral("widget %1 %2 %3 %4 %5 %6")
              .arg(window->winId())
              .arg(lineName(name))
              .arg(at.x())
              .arg(at.y())
              .arg(rect.width())
              .arg(rect.height()));
  }

  // Every named control, and each visible item of a list as "NAME/ROW".
  void writeWidgets(QWidget* window) {
    for (QWidget* child : window->findChildren<QWidget*>()) {
      if (!child->isVisibleTo(window) || child->isWindow()) continue;
      const QString name = nameOf(child);
      if (name.isEmpty()) continue;
      writePlace(window, name, child, child->rect());
      auto* list = qobject_cast<QListWidget*>(child);
      if (!list) continue;
      QWidget* viewport = list->viewport();
      for (int row = 0; row < list->count(); ++row) {
        const QRect item = list->visualItemRect(list->item(row)) & viewport->rect();
        if (!item.isEmpty()) writePlace(window, name + u'/' + QString::number(row), viewport, item);
      }
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
