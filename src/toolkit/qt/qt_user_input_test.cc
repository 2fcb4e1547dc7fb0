// Real mouse and keyboard input on the Qt widgets (offscreen) must reach the
// handlers as the same events a script produces on either backend.
#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

#include <cstdlib>
#include <string>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/qt/qt_widgets.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

using Lines = std::vector<std::string>;

const char* const kProbe =
    "dialog 9100 \"Probe\" size 120 100\n"
    "button 1 \"OK\" at 2 86 size 30 12 default name ok\n"
    "list 3 at 2 2 size 50 40\n"
    "dropdown 5 at 2 44 size 50 40\n"
    "textedit 6 at 56 44 size 60 30\n"
    "check 8 \"Mark\" at 2 74 size 50 8\n";

QWidget* dialogTitled(const QString& title) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible() && w->windowTitle() == title) return w;
  }
  return nullptr;
}

template <class T>
T* controlOf(QWidget* dialog, int id) {
  for (T* c : dialog->findChildren<T*>()) {
    if (qt::controlIdOf(c) == id) return c;
  }
  return nullptr;
}

class QtUserInput : public ::testing::Test {
 protected:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "qt_user_input_test";
    static char* argv[] = {name, nullptr};
    installBackend(makeQtBackend(argc, argv));
    resources().clear();
    std::string error;
    ASSERT_TRUE(resources().add(kProbe, "probe", error)) << error;
    // Nobody scripts these sessions: the input comes from QTest.
    startSession(std::nullopt, "");
  }
  void TearDown() override {
    endSession();
    installBackend(nullptr);
  }

  // Opens the probe, lets `input` act on it from inside its modal loop,
  // and returns what reached the handler.
  template <class Input>
  Lines run(Input input) {
    Lines seen;
    AppConfig config;
    runApplication(config, [&](Window task, const Event& e) {
      if (e.type != EventType::Create) return;
      setVisible(task, true);
      runModalDialog(
          9100,
          [&](Window w, const Event& ev) {
            switch (ev.type) {
              case EventType::Create:
                for (const char* s : {"a", "b", "c"}) {
                  listAppend(w, 3, s);
                  listAppend(w, 5, s);
                }
                setVisible(w, true);
                QTimer::singleShot(0, [&input] {
                  QWidget* dialog = dialogTitled(QStringLiteral("Probe"));
                  ASSERT_NE(dialog, nullptr);
                  dialog->activateWindow();
                  input(dialog);
                });
                break;
              case EventType::Control: {
                static const char* const actions[] = {"pressed", "selection", "double",
                                                      "check", "text"};
                seen.push_back(std::to_string(ev.control) + " " +
                               actions[static_cast<int>(ev.action)]);
                if (ev.control == 1) destroyWindow(w);
                break;
              }
              case EventType::Help:
                seen.push_back("help " + std::to_string(ev.control));
                break;
              case EventType::Close:
                seen.push_back("close");
                destroyWindow(w);
                break;
              default:
                break;
            }
          },
          nullptr, task);
      destroyApplication();
    });
    return seen;
  }
};

TEST_F(QtUserInput, MouseOnListsCheckBoxAndButtons) {
  bool markAfterClick = true;
  const Lines seen = run([&](QWidget* dialog) {
    auto* list = controlOf<QListWidget>(dialog, 3);
    ASSERT_NE(list, nullptr);
    const QPoint second = list->visualItemRect(list->item(1)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second);
    auto* box = controlOf<QCheckBox>(dialog, 8);
    ASSERT_NE(box, nullptr);
    QTest::mouseClick(box, Qt::LeftButton);
    markAfterClick = box->isChecked();
    QTest::mouseClick(controlOf<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_EQ(seen, (Lines{"3 selection", "3 double", "8 check", "1 pressed"}));
  EXPECT_FALSE(markAfterClick) << "only the handler sets a check mark";
}

TEST_F(QtUserInput, KeyboardTypingHelpAndEscape) {
  const Lines seen = run([](QWidget* dialog) {
    auto* edit = controlOf<QPlainTextEdit>(dialog, 6);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_F1);
    QTest::keyClick(edit, Qt::Key_Escape);
  });
  EXPECT_EQ(seen, (Lines{"6 text", "6 text", "help 6", "close"}));
}

TEST_F(QtUserInput, DropDownChoiceIsASelectionChange) {
  const Lines seen = run([](QWidget* dialog) {
    auto* box = controlOf<QComboBox>(dialog, 5);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentIndex(), -1);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(dialog, Qt::Key_Return);  // the default button
  });
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), "5 selection");
  EXPECT_EQ(seen.back(), "1 pressed");
}

}  // namespace
}  // namespace toolkit

// Fontconfig keeps a cache it never frees; that is not ours to report in
// sanitizer builds.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("QT_LOGGING_RULES", "*=false", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
