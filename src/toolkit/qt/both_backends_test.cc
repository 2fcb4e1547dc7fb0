// The same dialog tests against both backends with windows: real Qt widgets
// (offscreen) and the in-memory headless backend. Each test plays the user
// with a script and checks the data the dialog left and the transcript. On
// the Qt widgets, real mouse and keyboard input must reach the handlers as
// the same events a script produces.
#include <gtest/gtest.h>

#include <QtCore/QString>
#include <QtCore/QTimer>
#include <QtCore/QtGlobal>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <atomic>
#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "files/temp_folder.h"
#include "toolkit/backend.h"
#include "toolkit/demo/demo_dialog.h"
#include "toolkit/headless/headless_backend.h"
#include "toolkit/placement.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/qt/qt_widgets.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

using Lines = std::vector<std::string>;

struct Headless {
  static std::unique_ptr<Backend> make() { return makeHeadlessBackend(); }
};

struct QtWidgets {
  static std::unique_ptr<Backend> make() {
    static int argc = 1;
    static char name[] = "both_backends_test";
    static char* argv[] = {name, nullptr};
    return makeQtBackend(argc, argv);
  }
};

// A dialog whose handler only records what reaches it, and a data-source
// dialog for 'connect'.
const char* const kProbe = R"(dialog 9100 "Probe" size 120 100
button 1 "OK" at 2 86 size 30 12 default name ok
list 3 at 2 2 size 50 40
multilist 4 at 56 2 size 50 40
dropdown 5 at 2 44 size 50 40
textedit 6 at 56 44 size 60 30
check 8 "Mark" at 2 74 size 50 8
)";
const char* const kDataSource = R"(dialog 9200 "Data Source" size 100 40
edit 2 at 2 2 size 96 12 name connection
button 1 "OK" at 2 20 size 30 12 name ok
button 3 "Cancel" at 40 20 size 30 12 name cancel
)";

template <class Factory>
class BothBackends : public ::testing::Test {
 protected:
  void SetUp() override {
    installBackend(Factory::make());
    resources().clear();
    ASSERT_TRUE(demo::addDemoResources());
    std::string error;
    ASSERT_TRUE(resources().add(kProbe, "probe", error)) << error;
    ASSERT_TRUE(resources().add(kDataSource, "ds", error)) << error;
  }

  void TearDown() override {
    endSession();
    setHelpHook(nullptr);
    installBackend(nullptr);
  }

  // Runs `body` inside the task window's creation under `script` (none:
  // nobody scripts the session); the application ends when `body` returns.
  template <class Body>
  void inApplication(std::optional<std::string> script, Body body, int width = 400,
                     int height = 300) {
    startSession(std::move(script), "");
    AppConfig config;
    config.taskTitle = "Test";
    runApplication(config, [&](Window task, const Event& e) {
      if (e.type != EventType::Create) return;
      moveWindow(task, Rect::fromPosition(40, 30, width, height));
      setVisible(task, true);
      body(task);
      destroyApplication();
    });
  }

  demo::DemoData runDemo(const std::string& script, demo::DemoData data = {}) {
    inApplication(script, [&](Window task) {
      EXPECT_TRUE(runModalDialog(demo::kDemoDialog, demo::demoDialogHandler, &data, task));
    });
    return data;
  }

  // Opens the probe with items "a" "b" "c" in lists 3, 4 and 5, hands it to
  // `onCreate`, and returns the events that reached its handler. OK and the
  // close box close it.
  template <class OnCreate>
  Lines runProbe(std::optional<std::string> script, OnCreate onCreate) {
    Lines seen;
    inApplication(std::move(script), [&](Window task) {
      runModalDialog(
          9100,
          [&](Window w, const Event& e) {
            static const char* const actions[] = {"pressed", "selection", "double", "check",
                                                  "text"};
            if (e.type == EventType::Create) {
              for (const char* item : {"a", "b", "c"}) {
                for (int list : {3, 4, 5}) listAppend(w, list, item);
              }
              setVisible(w, true);
              onCreate(w);
            } else if (e.type == EventType::Control) {
              seen.push_back(std::to_string(e.control) + " " + actions[static_cast<int>(e.action)]);
              if (e.control == 1) destroyWindow(w);
            } else if (e.type == EventType::Help) {
              seen.push_back("help " + std::to_string(e.control));
            } else if (e.type == EventType::Close) {
              seen.push_back("close");
              destroyWindow(w);
            }
          },
          nullptr, task);
    });
    return seen;
  }
};

using Backends = ::testing::Types<Headless, QtWidgets>;
struct Names {
  template <class T>
  static std::string GetName(int) {
    return std::is_same_v<T, Headless> ? "Headless" : "Qt";
  }
};
TYPED_TEST_SUITE(BothBackends, Backends, Names);

// A whole session on both backends is in the scripted session tests.
TYPED_TEST(BothBackends, FileDialogsAndAQuestionThatKeepsTheDialogOpen) {
  const demo::DemoData d = this->runDemo(
      "click open\nfile cancel\nclick open\nfile /tmp/chosen\nclick ok\nanswer No\n"
      "window 9001\ntext notes \"one\\ntwo\"\nclick ok\n");
  EXPECT_EQ(demo::describe(d),
            "ok name=\"\" fruit=-1 colours= size=1 save=0 answer=-1 "
            "file=\"/tmp/chosen.txt\" notes=one|two");
  const Lines t = transcriptLines();
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(Lines(t.end() - 3, t.end()),
            (Lines{"ask \"No notes. Close anyway?\" \"No\" \"Yes\"", "close 9001 \"Toolkit Demo\"",
                   "close task \"Test\""}));
  // The status line changed after the cancelled dialog.
  EXPECT_NE(std::find(t.begin(), t.end(), "set 9001 13 \"No file\""), t.end());
  EXPECT_NE(std::find(t.begin(), t.end(), "set 9001 13 \"File: chosen.txt\""), t.end());
}

// A typed name without an extension gets the dialog's type in the save
// dialog; the open dialog opens an existing file as named and adds the type
// only to a name no file has.
TYPED_TEST(BothBackends, OpenDialogsOpenAnExistingFileAsNamed) {
  const vodbc::testing::TempFolder temp("vodbc-dialogs");
  const std::string folder = temp.str();
  vodbc::testing::writeWholeFile(temp.file("noext"), "x");
  const struct {
    bool save;
    const char* typed;
    const char* chosen;
  } cases[] = {{false, "noext", "noext"}, {true, "noext", "noext.idb"}, {false, "new", "new.idb"}};
  std::string script;
  for (const auto& c : cases) script += std::string("file ") + c.typed + "\n";
  this->inApplication(script, [&](Window) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.typed);
      FileSpec spec{folder, "idb", ""};
      EXPECT_EQ(c.save ? saveFileDialog(spec, "Save") : openFileDialog(spec, "Open"),
                FileDialogResult::Ok);
      EXPECT_EQ(spec.name, c.chosen);
      EXPECT_EQ(spec.directory, folder);
    }
  });
}

TYPED_TEST(BothBackends, DialogClosedAtItsCreationIsNeverShown) {
  // Without its data the demo dialog reports and closes itself at once.
  this->inApplication("answer OK\n", [](Window task) {
    EXPECT_TRUE(runModalDialog(demo::kDemoDialog, demo::demoDialogHandler, nullptr, task));
    EXPECT_FALSE(openModelessDialog(4242, demo::demoDialogHandler, nullptr));
  });
  EXPECT_EQ(transcriptLines(),
            (Lines{"open task \"Test\"", "error \"Internal error: the demo dialog has no data\"",
                   "close task \"Test\""}));
}

TYPED_TEST(BothBackends, UserActionsArriveAsTheSameEvents) {
  const Lines seen = this->runProbe(
      "select 3 1\n"    // selection
      "select 3 1\n"    // the same item again: nothing changes
      "dblclick 3 1\n"  // already selected: only the double click
      "multiselect 4 0,2\n"
      "select 5 2\n"
      "text 6 \"typed\"\n"
      "check 8 on\n"  // reported; the probe does not set the mark
      "click 8\n"
      "close\n",
      [](Window) {});
  EXPECT_EQ(seen, (Lines{"3 selection", "3 double", "4 selection", "5 selection", "6 text",
                         "8 check", "8 check", "close"}));
  const Lines t = transcriptLines();
  // The user clicked the box on, the program never set the mark: the
  // transcript shows the box as the user then saw it.
  EXPECT_NE(std::find(t.begin(), t.end(), "check 9100 8 off"), t.end());
}

TYPED_TEST(BothBackends, ProgramChangesSendNoEventsAndReadBack) {
  const Lines seen = this->runProbe("", [](Window w) {
    EXPECT_EQ(parentWindow(w), taskWindow());
    setTitle(w, "Renamed");
    EXPECT_EQ(title(w), "Renamed");
    EXPECT_FALSE(hasControl(w, 2));
    EXPECT_FALSE(runModalDialog(4242, nullptr, nullptr, w)) << "no such resource";

    // Lists: a single selection replaces, a multiple one adds; an index
    // beyond the list changes nothing.
    EXPECT_EQ(listSelectedIndex(w, 5), -1) << "a drop-down starts unselected";
    listSetSelected(w, 3, 0, true);
    listSetSelected(w, 3, 2, true);
    EXPECT_EQ(listSelectedIndices(w, 3), (std::vector<int>{2}));
    for (int i : {2, 0, 7}) listSetSelected(w, 4, i, true);
    EXPECT_EQ(listSelectedItems(w, 4), (Lines{"a", "c"}));
    listSetSelected(w, 4, 0, false);
    EXPECT_EQ(listSelectedIndices(w, 4), (std::vector<int>{2}));
    EXPECT_EQ(listItem(w, 3, 3), "");
    listClear(w, 4);
    EXPECT_EQ(listCount(w, 4), 0);
    EXPECT_EQ(listSelectedIndex(w, 4), -1);

    // Text edit: paragraphs, characters (not bytes), selection.
    textAppendParagraph(w, 6, "");
    EXPECT_EQ(textParagraphCount(w, 6), 0) << "an empty text holds no paragraph";
    textAppendParagraph(w, 6, "añb");
    textAppendParagraph(w, 6, "x😀y z");
    EXPECT_EQ(textCharCount(w, 6, 0), 3);
    EXPECT_EQ(textCharCount(w, 6, 1), 5);
    EXPECT_EQ(textLineCount(w, 6, 2), 0);
    EXPECT_EQ(textLine(w, 6, 1, 0), "x😀y z");
    setTextSelection(w, 6, TextSelection{{1, 0, 99}, {5, 0, 1}});
    EXPECT_EQ(textSelection(w, 6), (TextSelection{{1, 0, 5}, {1, 0, 5}})) << "clamped";
    EXPECT_TRUE(textSetParagraph(w, 6, 0, "z"));
    EXPECT_FALSE(textSetParagraph(w, 6, 2, "q"));
    EXPECT_EQ(controlText(w, 6), "z\nx😀y z");
    textAppendParagraph(w, 6, "");
    EXPECT_EQ(textParagraphCount(w, 6), 3);
    textClear(w, 6);
    EXPECT_EQ(textParagraphCount(w, 6), 0);

    setChecked(w, 8, true);
    EXPECT_TRUE(isChecked(w, 8));
    destroyWindow(w);
    // A gone window answers empty.
    EXPECT_FALSE(windowExists(w));
    EXPECT_EQ(listCount(w, 3), 0);
    EXPECT_EQ(title(w), "");
  });
  EXPECT_EQ(seen, Lines{});
}

TYPED_TEST(BothBackends, PlacementInAndOverTheTaskWindow) {
  // In the small task window the probe is larger both ways and goes to 10, 10.
  for (const auto& size : {std::pair{400, 300}, std::pair{100, 80}}) {
    // Named copies, not structured bindings: clang 14 cannot capture those
    // in the lambdas below.
    const int width = size.first, height = size.second;
    SCOPED_TRACE(width);
    this->inApplication(
        "",
        [&](Window task) {
          ASSERT_EQ(clientRect(task), Rect::fromPosition(0, 0, width, height));
          runModalDialog(
              9100,
              [&](Window w, const Event& e) {
                if (e.type != EventType::Create) return;
                placeInTaskWindow(w);
                EXPECT_TRUE(isVisible(w));
                const Point want =
                    width == 100 ? Point{10, 10} : placedCorner(clientRect(task), clientRect(w), 0);
                EXPECT_EQ(translatePoint(w, task, Point{0, 0}), want);
                destroyWindow(w);
              },
              nullptr, task);
          // A top-level window centred over the task window.
          const Window about = openModelessDialog(107, nullptr, nullptr);
          ASSERT_TRUE(about);
          centreOnTaskWindow(about);
          const Rect want = centredRect(
              clientRect(task), translatePoint(task, Window(), Point{0, 0}), clientRect(about));
          EXPECT_EQ(translatePoint(about, Window(), Point{0, 0}), (Point{want.top, want.left}));
          EXPECT_TRUE(isVisible(about));
          destroyWindow(about);
        },
        width, height);
  }
}

TYPED_TEST(BothBackends, HelpRequestsGoThroughTheHook) {
  std::vector<std::string> seen;
  setHelpHook([&](Window, const Event& e) {
    seen.push_back("hook " + std::to_string(e.type == EventType::Help ? 0 : e.tag));
    return e.tag == 32462;  // lets this one through to the handler
  });
  startSession(std::string("menu 32457\nmenu 32462\nmenu 1001\nmenu 1006\n"), "");
  AppConfig config;
  config.taskTitle = "Test";
  runApplication(config, [&](Window w, const Event& e) {
    if (e.type == EventType::Create) {
      dispatchEvent(w, Event{EventType::Help});
    } else if (e.type == EventType::Help) {
      seen.push_back("handler help");
    } else if (e.type == EventType::Command) {
      seen.push_back("handler " + std::to_string(e.tag));
      if (e.tag == 1006) destroyApplication();
    }
  });
  EXPECT_EQ(seen, (Lines{"hook 0", "hook 32457", "hook 32462", "handler 32462", "handler 1001",
                         "handler 1006"}));
}

TYPED_TEST(BothBackends, ConnectAnswersADataSourceDialog) {
  Lines events;
  std::string typed;
  this->inApplication("connect DSN=x;UID=a b\nconnect cancel\n", [&](Window task) {
    for (int run = 0; run < 2; ++run) {
      runModalDialog(
          9200,
          [&](Window w, const Event& e) {
            if (e.type == EventType::Create) setVisible(w, true);
            if (e.type != EventType::Control) return;
            events.push_back(std::to_string(e.control));
            if (e.control == 1) typed = controlText(w, 2);
            if (e.control != 2) destroyWindow(w);
          },
          nullptr, task);
    }
  });
  EXPECT_EQ(events, (Lines{"2", "1", "3"}));
  EXPECT_EQ(typed, "DSN=x;UID=a b");
}

TYPED_TEST(BothBackends, HelpWindowShowsReadableFilesOnly) {
  // A folder of its own: both backends' cases may run at once.
  const vodbc::testing::TempFolder temp("vodbc-help");
  const std::string page = temp.file("toolkit_help.html");
  vodbc::testing::writeWholeFile(page,
                                 "<html><body><h1 id=\"topic4401\">Contents</h1></body></html>");
  this->inApplication("", [&](Window) {
    EXPECT_TRUE(showHelpWindow(page, 4401));
    EXPECT_FALSE(showHelpWindow(page + ".missing", 4403));
  });
  EXPECT_EQ(transcriptLines(),
            (Lines{"open task \"Test\"", "help 4401", "help 4403", "close task \"Test\""}));
}

TYPED_TEST(BothBackends, QuitRequestsReachTheTaskWindow) {
  std::vector<std::string> seen;
  startSession(std::string(), "");
  AppConfig config;
  runApplication(config, [&](Window task, const Event& e) {
    if (e.type == EventType::Create) {
      EXPECT_TRUE(postQuitRequest(true)) << "the handler allowed it";
      EXPECT_TRUE(windowExists(task)) << "a query ends nothing";
      EXPECT_TRUE(postQuitRequest(false));
      EXPECT_FALSE(windowExists(task));
    } else if (e.type == EventType::Quit) {
      seen.push_back(e.query ? "query" : "quit");
      if (e.query)
        allowQuit();
      else
        destroyApplication();
    } else if (e.type == EventType::Destroy) {
      seen.push_back("destroy");
    }
  });
  EXPECT_EQ(seen, (Lines{"query", "quit", "destroy"}));
}

TYPED_TEST(BothBackends, ProgressPollsOnTheGuiThreadUntilTheJobEnds) {
  std::atomic<bool> started{false}, finished{false};
  std::thread job([&] {
    while (!started) std::this_thread::yield();
    finished = true;
  });
  const auto gui = std::this_thread::get_id();
  int polls = 0;
  bool onGuiThread = true;
  this->inApplication("", [&](Window) {
    runProgressDialog(ProgressJob{"Fetching", std::chrono::milliseconds(0),
                                  [&](std::string& text) {
                                    onGuiThread = onGuiThread && std::this_thread::get_id() == gui;
                                    text = "Rows: " + std::to_string(++polls);
                                    started = true;
                                    return !finished;
                                  },
                                  [] { ADD_FAILURE() << "nobody pressed Cancel"; }});
  });
  job.join();
  EXPECT_TRUE(finished);
  EXPECT_GE(polls, 2);
  EXPECT_TRUE(onGuiThread);
}

// Real input on the widgets, from inside the probe's modal loop.
class QtUserInput : public BothBackends<QtWidgets> {
 protected:
  template <class Input>
  Lines withInput(Input input) {
    return runProbe(std::nullopt, [&](Window) {
      QTimer::singleShot(0, [&input] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->windowTitle(), QStringLiteral("Probe"));
        dialog->activateWindow();
        input(dialog);
      });
    });
  }
};

template <class T>
T* controlOf(QWidget* dialog, int id) {
  for (T* c : dialog->findChildren<T*>()) {
    if (qt::controlIdOf(c) == id) return c;
  }
  return nullptr;
}

TEST_F(QtUserInput, MouseOnListsCheckBoxAndButtons) {
  bool markAfterClick = true;
  const Lines seen = withInput([&](QWidget* dialog) {
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

TEST_F(QtUserInput, KeyboardTypingHelpEscapeAndTheDropDown) {
  const Lines typed = withInput([](QWidget* dialog) {
    auto* edit = controlOf<QPlainTextEdit>(dialog, 6);
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    QTest::keyClicks(edit, "ab");
    QTest::keyClick(edit, Qt::Key_F1);
    QTest::keyClick(edit, Qt::Key_Escape);
  });
  EXPECT_EQ(typed, (Lines{"6 text", "6 text", "help 6", "close"}));
  const Lines chosen = withInput([](QWidget* dialog) {
    auto* box = controlOf<QComboBox>(dialog, 5);
    ASSERT_NE(box, nullptr);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(dialog, Qt::Key_Return);  // the default button
  });
  ASSERT_FALSE(chosen.empty());
  EXPECT_EQ(chosen.front(), "5 selection");
  EXPECT_EQ(chosen.back(), "1 pressed");
}

TEST(QtApplication, NumbersKeepTheCFormWhileTextFollowsTheEnvironment) {
  // The test main sets LC_ALL=C.UTF-8 for Qt to take over.
  const auto backend = QtWidgets::make();
  ASSERT_NE(backend, nullptr);
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8");
}

}  // namespace
}  // namespace toolkit

// Fontconfig keeps a cache it never frees; that is not ours to report in
// sanitizer builds.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

int main(int argc, char** argv) {
  // Real widgets, no display needed; set before anything asks Qt, so test
  // discovery works anywhere.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  // Only Qt's critical messages; its plugin warnings are noise here.
  ::setenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false", 1);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
