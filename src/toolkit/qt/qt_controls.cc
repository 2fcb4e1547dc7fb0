// Controls and the menu bar of the Qt backend, made from resources. Each
// control reports what the user does as a toolkit event; while the program
// itself changes a control (`quiet` above 0) nothing is reported.
#include <QtGui/QKeySequence>
#include <QtGui/QShortcut>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

#include "toolkit/qt/qt_internal.h"
#include "toolkit/qt/qt_widgets.h"
#include "toolkit/session.h"

namespace toolkit::qt {

namespace {

QString labelText(const ControlResource& c) {
  if (c.kind == ControlKind::Static) return toQ(c.text).remove(u'~');
  return mnemonicText(c.text);
}

}  // namespace

QWidget* makeControl(Window w, QWidget* parent, const ControlResource& c, const int& quiet) {
  const int id = c.id;
  auto send = [&quiet, w, id](ControlAction action) {
    if (quiet) return;
    Event e{EventType::Control};
    e.control = id;
    e.action = action;
    dispatchEvent(w, e);
    // What a real user changed shows in the transcript once the handler is
    // done, as a script's changes do at its next line.
    if (recording() && !scripted()) flushTranscript();
  };
  switch (c.kind) {
    case ControlKind::Button: {
      auto* b = new QPushButton(labelText(c), parent);
      b->setProperty("toolkitText", toQ(c.text));
      b->setAutoDefault(false);
      b->setDefault(c.isDefault);
      QObject::connect(b, &QPushButton::clicked, b, [send] { send(ControlAction::Pressed); });
      return b;
    }
    case ControlKind::Check: {
      auto* b = new ToolkitCheckBox(labelText(c), parent);
      b->setProperty("toolkitText", toQ(c.text));
      QObject::connect(b, &QCheckBox::clicked, b, [send] { send(ControlAction::CheckToggled); });
      return b;
    }
    case ControlKind::Edit: {
      auto* e = new QLineEdit(toQ(c.text), parent);
      QObject::connect(e, &QLineEdit::textEdited, e, [send] { send(ControlAction::TextChanged); });
      return e;
    }
    case ControlKind::TextEdit: {
      auto* e = new QPlainTextEdit(toQ(c.text), parent);
      if (c.readOnly) {
        // A message to read: wrapped, and Enter reaches the default button.
        e->setReadOnly(true);
        e->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        e->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
      } else {
        e->setLineWrapMode(QPlainTextEdit::NoWrap);
      }
      // A tab character is never wanted in a column name, a condition or a
      // statement; Tab moves on to the next control, as everywhere else.
      e->setTabChangesFocus(true);
      QObject::connect(e, &QPlainTextEdit::textChanged, e,
                       [send] { send(ControlAction::TextChanged); });
      return e;
    }
    case ControlKind::List:
    case ControlKind::MultiList: {
      auto* l = new QListWidget(parent);
      l->setSelectionMode(c.kind == ControlKind::List ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
      QObject::connect(l, &QListWidget::itemSelectionChanged, l,
                       [send] { send(ControlAction::SelectionChanged); });
      QObject::connect(l, &QListWidget::itemDoubleClicked, l,
                       [send] { send(ControlAction::DoubleClicked); });
      return l;
    }
    case ControlKind::DropDown: {
      auto* box = new QComboBox(parent);
      QObject::connect(box, &QComboBox::currentIndexChanged, box,
                       [send] { send(ControlAction::SelectionChanged); });
      return box;
    }
    case ControlKind::Static:
      break;
  }
  auto* l = new QLabel(labelText(c), parent);
  l->setAlignment((c.alignment == Alignment::Centre  ? Qt::AlignHCenter
                   : c.alignment == Alignment::Right ? Qt::AlignRight
                                                     : Qt::AlignLeft) |
                  Qt::AlignTop);
  l->setProperty("toolkitText", toQ(c.text));
  return l;
}

namespace {

void addCommand(QWidget* owner, QMenu* menu, QMenuBar* bar, Window task, const MenuEntry& e,
                std::map<int, QPointer<QAction>>& actions) {
  auto* action = new QAction(toQ(e.label), owner);
  const int tag = e.tag;
  QObject::connect(action, &QAction::triggered, action, [task, tag] {
    Event c{EventType::Command};
    c.tag = tag;
    dispatchEvent(task, c);
  });
  if (menu)
    menu->addAction(action);
  else
    bar->addAction(action);
  actions[tag] = action;
}

}  // namespace

void buildMenu(TaskMainWindow* main, Window task, const MenuBarResource& bar,
               std::map<int, QPointer<QAction>>& actions) {
  QMenuBar* menuBar = main->menuBar();
  for (const auto& entry : bar.entries) {
    if (entry.kind == MenuEntry::Kind::Submenu) {
      QMenu* menu = menuBar->addMenu(toQ(entry.label));
      for (const auto& item : entry.entries) {
        if (item.kind == MenuEntry::Kind::Separator)
          menu->addSeparator();
        else if (item.kind == MenuEntry::Kind::Command)
          addCommand(main, menu, menuBar, task, item, actions);
      }
    } else if (entry.kind == MenuEntry::Kind::Command) {
      addCommand(main, nullptr, menuBar, task, entry, actions);
    }
  }
  for (const auto& key : bar.keys) {
    auto* shortcut = new QShortcut(QKeySequence(toQ(key.key)), main);
    const int tag = key.tag;
    QObject::connect(shortcut, &QShortcut::activated, main, [task, tag] {
      Event c{EventType::Command};
      c.tag = tag;
      dispatchEvent(task, c);
    });
  }
}

}  // namespace toolkit::qt
