// The Qt 6 Widgets backend: windows, controls, lists and text edits as real
// widgets laid out in dialog units.
#include "toolkit/qt/qt_backend.h"

#include <QtCore/QBuffer>
#include <QtCore/QEventLoop>
#include <QtCore/QPointer>
#include <QtCore/QTimer>
#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtGui/QIcon>
#include <QtGui/QImageReader>
#include <QtGui/QScreen>
#include <QtGui/QSessionManager>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <algorithm>
#include <map>
#include <memory>

#include "text/process_locale.h"
#include "toolkit/qt/qt_internal.h"
#include "toolkit/qt/qt_widgets.h"
#include "toolkit/qt/widget_map.h"
#include "toolkit/qt/window_fit.h"
#include "toolkit/session.h"

namespace toolkit {
namespace qt {
namespace {

struct QtWindow {
  QPointer<QWidget> widget;  // the top-level widget
  QPointer<QWidget> client;  // its client area
  std::map<int, QPointer<QWidget>> controls;
  std::map<int, ControlKind> kinds;
  QEventLoop* loop = nullptr;
  bool isTask = false;
};

// Signals raised while the program itself changes a control are not the
// user's doing and must not reach the handlers.
class Quiet {
 public:
  explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
  ~Quiet() { --depth_; }

 private:
  int& depth_;
};

class QtBackend final : public Backend {
 public:
  const char* name() const override { return "qt"; }
  bool hasWindows() const override { return true; }

  // ---- Application ----------------------------------------------------------

  int runEventLoop(Window task, const AppConfig& config, const MenuBarResource* menuBar) override {
    appTitle_ = toQ(config.taskTitle);
    if (!config.iconSvg.empty()) QApplication::setWindowIcon(iconFromSvg(config.iconSvg));
    auto* main = new TaskMainWindow(task);
    main->setWindowTitle(appTitle_);
    auto* central = new QWidget(main);
    main->setCentralWidget(central);
    if (menuBar) buildMenu(main, task, *menuBar, actions_);
    const int menuHeight = menuBar ? main->menuBar()->sizeHint().height() : 0;
    main->resize(config.taskWidth, config.taskHeight + menuHeight);
    QtWindow& w = windows_[task.id()];
    w.widget = main;
    w.client = central;
    w.isTask = true;
    main->show();

    QEventLoop loop;
    mainLoop_ = &loop;
    quit_ = false;
    // The task window's creation arrives once the loop runs, so the handler
    // can open modal windows and even end the program from inside it.
    QTimer::singleShot(0, &loop, [this, task] {
      dispatchEvent(task, Event{EventType::Create});
      scheduleStep(task);
    });
    if (!quit_) loop.exec();
    mainLoop_ = nullptr;
    // Free the windows whose deletion was deferred while handlers ran.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
  }

  void quitEventLoop() override {
    quit_ = true;
    if (mainLoop_) mainLoop_->quit();
  }

  // ---- Windows ------------------------------------------------------------------

  bool createWindow(Window w, const WindowResource& r, Window parent, bool modal) override {
    QtWindow* p = find(parent);
    auto* dialog = new ToolkitDialog(w, ownerForNewWindow(p ? p->widget.data() : nullptr));
    dialog->setWindowTitle(toQ(r.title));
    dialog->setProperty("toolkitResource", r.id);
    dialog->setFont(dialogFont());
    if (modal) dialog->setWindowModality(Qt::ApplicationModal);
    const QFontMetrics fm(dialog->font());
    const double ux = fm.averageCharWidth() / 4.0, uy = fm.height() / 8.0;
    auto px = [](double units, double scale) { return static_cast<int>(units * scale); };
    if (r.resizable) {
      dialog->resize(px(r.width, ux), px(r.height, uy));
    } else {
      dialog->setFixedSize(px(r.width, ux), px(r.height, uy));
    }
    if (r.hasPosition) dialog->move(px(r.x, ux), px(r.y, uy));
    QtWindow& entry = windows_[w.id()];
    entry.widget = dialog;
    entry.client = dialog;
    std::vector<std::pair<QWidget*, QRect>> placed;
    for (const auto& c : r.controls) {
      QWidget* widget = makeControl(w, dialog, c, quiet_);
      // A drop-down list's height is that of its opened list; closed, it
      // is one line high.
      const int height = c.kind == ControlKind::DropDown
                             ? std::min(px(c.height, uy), widget->sizeHint().height())
                             : px(c.height, uy);
      widget->setGeometry(px(c.x, ux), px(c.y, uy), px(c.width, ux), height);
      widget->setHidden(c.hidden);
      widget->setEnabled(!c.disabled);
      if (auto* label = qobject_cast<QLabel*>(widget)) fitLabel(label);
      if (auto* check = qobject_cast<QCheckBox*>(widget)) fitCheckBox(check);
      setControlIdOf(widget, c.id);
      entry.controls[c.id] = widget;
      entry.kinds[c.id] = c.kind;
      placed.emplace_back(widget, widget->geometry());
    }
    // Tab goes through the controls in the order the layout gives, not in
    // the order of their ids (which puts OK before what it confirms).
    for (std::size_t i = 1; i < r.tabOrder.size(); ++i) {
      QWidget::setTabOrder(entry.controls[r.tabOrder[i - 1]], entry.controls[r.tabOrder[i]]);
    }
    growToFitControls(dialog, px(2, ux));
    if (r.resizable) followResizing(dialog, r, placed);
    return true;
  }

  void runModalLoop(Window w) override {
    QtWindow* entry = find(w);
    if (!entry) return;
    QEventLoop loop;
    entry->loop = &loop;
    scheduleStep(w);
    loop.exec();
  }

  void destroyNative(Window w) override {
    auto it = windows_.find(w.id());
    if (it == windows_.end()) return;
    QtWindow entry = it->second;
    windows_.erase(it);
    if (entry.loop) entry.loop->quit();
    if (!entry.widget) return;
    if (auto* d = dynamic_cast<ToolkitDialog*>(entry.widget.data())) d->setClosing(true);
    if (auto* m = dynamic_cast<TaskMainWindow*>(entry.widget.data())) m->setClosing(true);
    entry.widget->hide();
    // A handler of this window may still be running: free it later.
    entry.widget->deleteLater();
  }

  Rect clientRect(Window w) override {
    QtWindow* e = find(w);
    if (!e || !e->client) return {};
    return Rect::fromPosition(0, 0, e->client->width(), e->client->height());
  }

  void moveWindow(Window w, Rect area) override {
    QtWindow* e = find(w);
    if (!e || !e->widget) return;
    const QPoint global = toGlobal(parentWindow(w), QPoint(area.left, area.top));
    // The client area goes to the rectangle; the task window's menu bar
    // lies above its client area.
    const QPoint offset = e->client->mapTo(e->widget, QPoint(0, 0));
    const QSize extra = e->widget->size() - e->client->size();
    e->widget->setGeometry(global.x() - offset.x(), global.y() - offset.y(),
                           area.width() + extra.width(), area.height() + extra.height());
  }

  Point translatePoint(Window from, Window to, Point p) override {
    const QPoint global = toGlobal(from, QPoint(p.h, p.v));
    QtWindow* e = find(to);
    const QPoint local = e && e->client ? e->client->mapFromGlobal(global) : global;
    return Point{local.y(), local.x()};
  }

  void setVisible(Window w, bool visible) override {
    if (QtWindow* e = find(w); e && e->widget) {
      e->widget->setVisible(visible);
      if (visible) e->widget->raise();
    }
  }

  bool isVisible(Window w) override {
    QtWindow* e = find(w);
    return e && e->widget && e->widget->isVisible();
  }

  void setTitle(Window w, std::string_view t) override {
    if (QtWindow* e = find(w); e && e->widget) e->widget->setWindowTitle(toQ(t));
  }

  std::string title(Window w) override {
    QtWindow* e = find(w);
    return e && e->widget ? fromQ(e->widget->windowTitle()) : std::string();
  }

  void clearWindow(Window w, Colour colour) override {
    QtWindow* e = find(w);
    if (!e || !e->client) return;
    const QColor c = toQColor(colour);
    // Repainting the same colour again must not ask for another repaint.
    if (e->client->autoFillBackground() && e->client->palette().color(QPalette::Window) == c) {
      return;
    }
    QPalette pal = e->client->palette();
    pal.setColor(QPalette::Window, c);
    e->client->setPalette(pal);
    e->client->setAutoFillBackground(true);
  }

  Rect screenRect() override {
    QScreen* s = QGuiApplication::primaryScreen();
    const QRect g = s ? s->geometry() : QRect(0, 0, 1024, 768);
    return Rect::fromPosition(0, 0, g.width(), g.height());
  }

  Colour backgroundColour() override {
    const QColor c = QApplication::palette().color(QPalette::Window);
    return static_cast<Colour>(c.red() | (c.green() << 8) | (c.blue() << 16));
  }

  // ---- Controls -------------------------------------------------------------------

  void setControlText(Window w, int id, std::string_view t) override {
    QWidget* c = control(w, id);
    if (!c) return;
    Quiet q(quiet_);
    c->setProperty("toolkitText", toQ(t));
    if (auto* l = qobject_cast<QLabel*>(c)) {
      l->setText(toQ(t).remove(u'~'));
      fitLabel(l);
    } else if (auto* b = qobject_cast<QAbstractButton*>(c))
      b->setText(mnemonicText(t));
    else if (auto* e = qobject_cast<QLineEdit*>(c))
      e->setText(toQ(t));
    else if (auto* x = qobject_cast<QPlainTextEdit*>(c))
      x->setPlainText(toQ(t));
  }

  std::string controlText(Window w, int id) override {
    QWidget* c = control(w, id);
    if (!c) return {};
    if (auto* e = qobject_cast<QLineEdit*>(c)) return fromQ(e->text());
    if (auto* x = qobject_cast<QPlainTextEdit*>(c)) return fromQ(x->toPlainText());
    return fromQ(c->property("toolkitText").toString());
  }

  void setControlVisible(Window w, int id, bool v) override {
    if (QWidget* c = control(w, id)) c->setHidden(!v);
  }
  void setControlEnabled(Window w, int id, bool e) override {
    if (QWidget* c = control(w, id)) c->setEnabled(e);
  }
  void setChecked(Window w, int id, bool on) override {
    if (auto* b = qobject_cast<QCheckBox*>(control(w, id))) {
      Quiet q(quiet_);
      b->setChecked(on);
    }
  }
  bool isChecked(Window w, int id) override {
    auto* b = qobject_cast<QCheckBox*>(control(w, id));
    return b && b->isChecked();
  }
  void setFocus(Window w, int id) override {
    if (QWidget* c = control(w, id)) c->setFocus(Qt::OtherFocusReason);
  }
  int focusedControl(Window w) override {
    QtWindow* e = find(w);
    if (!e || !e->widget) return 0;
    QWidget* f = e->widget->focusWidget();
    return f ? controlIdOf(f) : 0;
  }
  void setControlFont(Window w, int id, const Font& font) override {
    QWidget* c = control(w, id);
    if (!c) return;
    QFont f = font.serif ? QFont(QStringLiteral("Serif")) : dialogFont();
    if (font.serif) f.setStyleHint(QFont::Serif);
    // A size meant for another screen never makes text smaller than the
    // dialogs' own.
    f.setPointSize(std::max(font.points, dialogFont().pointSize()));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    c->setFont(f);
    if (auto* l = qobject_cast<QLabel*>(c)) fitLabel(l);
  }
  void setControlColour(Window w, int id, ColourPart part, Colour colour) override {
    QWidget* c = control(w, id);
    if (!c) return;
    QPalette pal = c->palette();
    const QColor q = toQColor(colour);
    if (part == ColourPart::Foreground) {
      for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        pal.setColor(role, q);
      }
    } else {
      for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
        pal.setColor(role, q);
      }
      c->setAutoFillBackground(true);
    }
    c->setPalette(pal);
  }

  // ---- Lists ----------------------------------------------------------------------

  void listAppend(Window w, int id, std::string_view item) override {
    QWidget* c = control(w, id);
    Quiet q(quiet_);
    if (auto* l = qobject_cast<QListWidget*>(c)) {
      l->addItem(toQ(item));
    } else if (auto* box = qobject_cast<QComboBox*>(c)) {
      const bool hadSelection = box->currentIndex() >= 0;
      box->addItem(toQ(item));
      // A drop-down list starts without a selection until one is made.
      if (!hadSelection) box->setCurrentIndex(-1);
    }
  }
  void listClear(Window w, int id) override {
    QWidget* c = control(w, id);
    Quiet q(quiet_);
    if (auto* l = qobject_cast<QListWidget*>(c))
      l->clear();
    else if (auto* box = qobject_cast<QComboBox*>(c))
      box->clear();
  }
  std::vector<std::string> listItems(Window w, int id) override {
    std::vector<std::string> items;
    QWidget* c = control(w, id);
    if (auto* l = qobject_cast<QListWidget*>(c)) {
      for (int i = 0; i < l->count(); ++i) items.push_back(fromQ(l->item(i)->text()));
    } else if (auto* box = qobject_cast<QComboBox*>(c)) {
      for (int i = 0; i < box->count(); ++i) items.push_back(fromQ(box->itemText(i)));
    }
    return items;
  }
  std::vector<int> listSelection(Window w, int id) override {
    std::vector<int> selected;
    QWidget* c = control(w, id);
    if (auto* l = qobject_cast<QListWidget*>(c)) {
      for (int i = 0; i < l->count(); ++i) {
        if (l->item(i)->isSelected()) selected.push_back(i);
      }
    } else if (auto* box = qobject_cast<QComboBox*>(c)) {
      if (box->currentIndex() >= 0) selected.push_back(box->currentIndex());
    }
    return selected;
  }
  void listSetSelected(Window w, int id, int index, bool selected) override {
    QWidget* c = control(w, id);
    Quiet q(quiet_);
    if (auto* l = qobject_cast<QListWidget*>(c)) {
      if (selected && l->selectionMode() == QAbstractItemView::SingleSelection) {
        l->clearSelection();
      }
      if (QListWidgetItem* item = l->item(index)) {
        item->setSelected(selected);
        if (selected) l->scrollToItem(item);
      }
    } else if (auto* box = qobject_cast<QComboBox*>(c)) {
      if (selected)
        box->setCurrentIndex(index);
      else if (box->currentIndex() == index)
        box->setCurrentIndex(-1);
    }
  }
  void listSuspend(Window w, int id) override {
    if (QWidget* c = control(w, id)) c->setUpdatesEnabled(false);
  }
  void listResume(Window w, int id) override {
    if (QWidget* c = control(w, id)) c->setUpdatesEnabled(true);
  }

  // ---- Text edits -------------------------------------------------------------------

  std::vector<std::string> textParagraphs(Window w, int id) override {
    std::vector<std::string> pars;
    auto* e = qobject_cast<QPlainTextEdit*>(control(w, id));
    if (!e) return pars;
    const QString text = e->toPlainText();
    if (text.isEmpty()) return pars;
    for (const QString& p : text.split(u'\n')) pars.push_back(fromQ(p));
    return pars;
  }
  void textClear(Window w, int id) override {
    if (auto* e = qobject_cast<QPlainTextEdit*>(control(w, id))) {
      Quiet q(quiet_);
      e->clear();
    }
  }
  void textAppendParagraph(Window w, int id, std::string_view t) override {
    auto* e = qobject_cast<QPlainTextEdit*>(control(w, id));
    if (!e) return;
    Quiet q(quiet_);
    if (e->document()->isEmpty()) {
      e->setPlainText(toQ(t));
    } else {
      QTextCursor cursor(e->document());
      cursor.movePosition(QTextCursor::End);
      cursor.insertBlock();
      cursor.insertText(toQ(t));
    }
  }
  bool textSetParagraph(Window w, int id, int par, std::string_view t) override {
    auto* e = qobject_cast<QPlainTextEdit*>(control(w, id));
    if (!e || e->document()->isEmpty()) return false;
    const QTextBlock block = e->document()->findBlockByNumber(par);
    if (!block.isValid()) return false;
    Quiet q(quiet_);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(toQ(t));
    return true;
  }
  TextSelection textSelection(Window w, int id) override {
    auto* e = qobject_cast<QPlainTextEdit*>(control(w, id));
    if (!e || e->document()->isEmpty()) return {};
    const QTextCursor c = e->textCursor();
    return TextSelection{position(e, c.selectionStart()), position(e, c.selectionEnd())};
  }
  void setTextSelection(Window w, int id, TextSelection s) override {
    auto* e = qobject_cast<QPlainTextEdit*>(control(w, id));
    if (!e) return;
    QTextCursor c(e->document());
    c.setPosition(offset(e, s.start));
    c.setPosition(offset(e, s.end), QTextCursor::KeepAnchor);
    e->setTextCursor(c);
  }
  void textSuspend(Window w, int id) override {
    if (QWidget* c = control(w, id)) c->setUpdatesEnabled(false);
  }
  void textResume(Window w, int id) override {
    if (QWidget* c = control(w, id)) c->setUpdatesEnabled(true);
  }

  // ---- Messages, file dialogs, help, progress ------------------------------------

  int showMessage(MessageKind kind, std::string_view text,
                  const std::vector<std::string>& buttons) override {
    return showMessageBox(topWidget(), appTitle_, kind, text, buttons);
  }
  FileDialogResult fileDialog(bool save, FileSpec& spec, std::string_view title) override {
    return showFileDialog(topWidget(), save, spec, title);
  }
  bool showHelpWindow(const std::string& htmlFile, int topic,
                      const std::string& contentsFile) override {
    return showHelpBrowser(appTitle_, htmlFile, topic, contentsFile);
  }
  void runProgressDialog(const ProgressJob& job) override { showProgress(topWidget(), job); }

  // ---- Scripted user actions -------------------------------------------------------

  void perform(Window w, const UserAction& a) override {
    using K = UserAction::Kind;
    QWidget* c = control(w, a.control);
    Event e{EventType::Control};
    e.control = a.control;
    switch (a.kind) {
      case K::Select:
      case K::DoubleClick:
      case K::MultiSelect: {
        const std::vector<int> wanted =
            a.kind == K::MultiSelect ? a.indices : std::vector<int>{a.index};
        const std::vector<int> before = listSelection(w, a.control);
        {
          Quiet q(quiet_);
          if (auto* l = qobject_cast<QListWidget*>(c)) {
            l->clearSelection();
            for (int i : wanted) {
              if (QListWidgetItem* item = l->item(i)) item->setSelected(true);
            }
            if (!wanted.empty()) l->setCurrentRow(wanted.front(), QItemSelectionModel::NoUpdate);
          } else if (auto* box = qobject_cast<QComboBox*>(c)) {
            box->setCurrentIndex(wanted.empty() ? -1 : wanted.front());
          }
        }
        if (listSelection(w, a.control) != before) {
          e.action = ControlAction::SelectionChanged;
          dispatchEvent(w, e);
        }
        if (a.kind == K::DoubleClick && windowExists(w)) {
          e.action = ControlAction::DoubleClicked;
          dispatchEvent(w, e);
        }
        return;
      }
      case K::Check:
        if (auto* b = qobject_cast<QCheckBox*>(c); b && b->isChecked() != a.on) b->click();
        return;
      case K::SetText: {
        {
          Quiet q(quiet_);
          if (auto* l = qobject_cast<QLineEdit*>(c))
            l->setText(toQ(a.text));
          else if (auto* x = qobject_cast<QPlainTextEdit*>(c))
            x->setPlainText(toQ(a.text));
        }
        e.action = ControlAction::TextChanged;
        dispatchEvent(w, e);
        return;
      }
      case K::SetCaret:
        setTextSelection(w, a.control, TextSelection{a.caret, a.caret});
        return;
      case K::Press:
        if (auto* b = qobject_cast<QAbstractButton*>(c)) b->click();
        return;
      case K::Close:
        if (QtWindow* entry = find(w); entry && entry->widget) entry->widget->close();
        return;
      case K::Menu:
        if (auto it = actions_.find(a.tag); it != actions_.end() && it->second) {
          it->second->trigger();
        } else {
          Event m{EventType::Command};
          m.tag = a.tag;
          dispatchEvent(w, m);
        }
        return;
    }
  }

 private:
  QtWindow* find(Window w) {
    auto it = windows_.find(w.id());
    return it == windows_.end() ? nullptr : &it->second;
  }

  QWidget* control(Window w, int id) {
    QtWindow* e = find(w);
    if (!e) return nullptr;
    auto it = e->controls.find(id);
    return it == e->controls.end() ? nullptr : it->second.data();
  }

  QPoint toGlobal(Window w, QPoint p) {
    QtWindow* e = find(w);
    return e && e->client ? e->client->mapToGlobal(p) : p;
  }

  // The widget that message boxes and file dialogs belong to.
  QWidget* topWidget() {
    QtWindow* e = find(topWindow());
    return ownerForNewWindow(e ? e->widget.data() : nullptr);
  }

  // A label whose font was chosen for another screen may be too wide for
  // its place: it shrinks its font until the text fits rather than lose
  // the ends of it.
  static void fitLabel(QLabel* label) {
    QFont f = label->font();
    while (f.pointSize() > 6 && QFontMetrics(f).horizontalAdvance(label->text()) > label->width()) {
      f.setPointSize(f.pointSize() - 1);
    }
    label->setFont(f);
  }

  // The desktop's font at its size, but never below 9 points: dialog units
  // follow from it, so the layouts grow with the desktop's font.
  static QFont dialogFont() {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (f.pointSizeF() < 9) f.setPointSize(9);
    return f;
  }

  // The icon at the sizes desktops ask for (needs Qt's SVG image plugin;
  // without it windows show none).
  static QIcon iconFromSvg(const std::string& svg) {
    QIcon icon;
    const QByteArray data = QByteArray::fromStdString(svg);
    for (int size : {16, 24, 32, 48, 64, 128}) {
      QBuffer buffer;
      buffer.setData(data);
      QImageReader reader(&buffer, "svg");
      reader.setScaledSize(QSize(size, size));
      const QImage image = reader.read();
      if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
  }

  // A window's stretching control takes what the user adds to the window's
  // size, and the controls below it move down by as much.
  static void followResizing(ToolkitDialog* dialog, const WindowResource& r,
                             const std::vector<std::pair<QWidget*, QRect>>& placed) {
    std::size_t stretching = placed.size();
    for (std::size_t i = 0; i < r.controls.size() && i < placed.size(); ++i) {
      if (r.controls[i].stretch) stretching = i;
    }
    if (stretching == placed.size()) return;
    const QSize base = dialog->size();
    dialog->setMinimumSize(base);
    const int below = placed[stretching].second.bottom();
    dialog->setResizeHandler([=](QSize now) {
      const int dx = now.width() - base.width(), dy = now.height() - base.height();
      for (std::size_t i = 0; i < placed.size(); ++i) {
        QRect g = placed[i].second;
        if (i == stretching) {
          g.adjust(0, 0, dx, dy);
        } else if (g.top() > below) {
          g.translate(0, dy);
        }
        placed[i].first->setGeometry(g);
      }
    });
  }

  TextPosition position(QPlainTextEdit* e, int absolute) {
    const QTextBlock block = e->document()->findBlock(absolute);
    return TextPosition{block.blockNumber(), 0,
                        unitsToCharacters(block.text(), absolute - block.position())};
  }

  int offset(QPlainTextEdit* e, TextPosition p) {
    QTextDocument* doc = e->document();
    if (doc->isEmpty()) return 0;
    const QTextBlock block = doc->findBlockByNumber(std::max(0, p.paragraph));
    // A position behind the last paragraph is the end of the text.
    if (!block.isValid()) return doc->lastBlock().position() + doc->lastBlock().length() - 1;
    return block.position() + charactersToUnits(block.text(), std::max(0, p.character));
  }

  // Runs the next script line once the loop waiting for `w` is idle, and
  // again after each line until the window is gone.
  void scheduleStep(Window w) {
    if (!scripted()) {
      // A real user plays: the transcript still tells what they saw.
      if (recording()) QTimer::singleShot(0, &context_, [] { flushTranscript(); });
      return;
    }
    // The backend's own object as the context: a step still pending when
    // the backend goes is dropped with it.
    QTimer::singleShot(0, &context_, [this, w] {
      if (quit_ || !windowExists(w)) return;
      const int id = windowResourceId(topWindow());
      screenshotAtWait(id ? QString::number(id) : QStringLiteral("task"));
      scriptStep();
      scheduleStep(w);
    });
  }

  QObject context_;
  std::map<std::uint32_t, QtWindow> windows_;
  std::map<int, QPointer<QAction>> actions_;
  QEventLoop* mainLoop_ = nullptr;
  QString appTitle_;
  bool quit_ = false;
  int quiet_ = 0;
};

}  // namespace
}  // namespace qt

std::unique_ptr<Backend> makeQtBackend(int& argc, char** argv) {
  if (!QApplication::instance()) {
    // The application lives until the process ends: destroying it during
    // static destruction would outlive the thread storage Qt needs.
    static QApplication* app = new QApplication(argc, argv);
    // The desktop session asks before it ends; the task window answers.
    QObject::connect(app, &QGuiApplication::commitDataRequest, app, [](QSessionManager& manager) {
      if (!postQuitRequest(true)) manager.cancel();
    });
    // Qt took the locale from the environment; put ours back.
    vodbc::useProcessLocale();
    qt::startWidgetMapFromEnvironment();
  }
  return std::make_unique<qt::QtBackend>();
}

}  // namespace toolkit
