// The same dialog tests against both backends with windows: real Qt widgets
// (offscreen) and the in-memory headless backend. Each test plays the user
// with a script and checks the data the dialog left and the transcript.
#include <gtest/gtest.h>

#include <QtCore/QString>
#include <QtCore/QtGlobal>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <thread>
#include <string>
#include <vector>

#include "session/demo_dialog.h"
#include "toolkit/backend.h"
#include "toolkit/headless/headless_backend.h"
#include "toolkit/placement.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace toolkit {
namespace {

using Lines = std::vector<std::string>;

struct Headless {
  static std::unique_ptr<Backend> make() { return makeHeadlessBackend(); }
};

struct Qt {
  static std::unique_ptr<Backend> make() {
    static int argc = 1;
    static char name[] = "both_backends_test";
    static char* argv[] = {name, nullptr};
    return makeQtBackend(argc, argv);
  }
};

// A dialog whose handler only records what reaches it.
const char* const kProbe =
    "dialog 9100 \"Probe\" size 120 100\n"
    "button 1 \"OK\" at 2 86 size 30 12 default name ok\n"
    "list 3 at 2 2 size 50 40\n"
    "multilist 4 at 56 2 size 50 40\n"
    "dropdown 5 at 2 44 size 50 40\n"
    "textedit 6 at 56 44 size 60 30\n"
    "check 8 \"Mark\" at 2 74 size 50 8\n";

template <class Factory>
class BothBackends : public ::testing::Test {
 protected:
  void SetUp() override {
    installBackend(Factory::make());
    resources().clear();
    ASSERT_TRUE(demo::addDemoResources());
    std::string error;
    ASSERT_TRUE(resources().add(kProbe, "probe", error)) << error;
  }

  void TearDown() override {
    endSession();
    setHelpHook(nullptr);
    installBackend(nullptr);
  }

  // Runs `body` inside the task window's creation under `script`; the
  // application ends when `body` returns.
  template <class Body>
  void inApplication(const std::string& script, Body body, int width = 400,
                     int height = 300) {
    startSession(script, "");
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
      EXPECT_TRUE(runModalDialog(demo::kDemoDialog, demo::demoDialogHandler,
                                 &data, task));
    });
    return data;
  }
};

using Backends = ::testing::Types<Headless, Qt>;
class Names {
 public:
  template <class T>
  static std::string GetName(int) {
    return std::is_same_v<T, Headless> ? "Headless" : "Qt";
  }
};
TYPED_TEST_SUITE(BothBackends, Backends, Names);

TYPED_TEST(BothBackends, ListsEditsChecksNestedQuestionAndFileDialog) {
  demo::DemoData initial;
  initial.name = "Ann";
  initial.notes = {"first", "añd 😀 second"};
  const demo::DemoData d = this->runDemo(
      "window 9001\n"
      "select fruits \"Banana\"\n"
      "dblclick 3 2\n"
      "multiselect colours 2,0\n"
      "caret notes 1 5\n"
      "click add\n"
      "check save on\n"
      "click ask\n"
      "answer Cancel\n"
      "click open\n"
      "file /tmp/chosen\n"
      "text name \"Zoë\"\n"
      "click ok\n",
      initial);
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.fruit, 2);
  EXPECT_EQ(d.colours, (std::vector<int>{0, 2}));
  EXPECT_EQ(d.size, 1);
  EXPECT_EQ(d.name, "Zoë");
  EXPECT_TRUE(d.save);
  EXPECT_EQ(d.answer, 2);
  EXPECT_EQ(d.doubleClicks, 1);
  // The caret counted characters: "Ann" went in behind "añd 😀".
  EXPECT_EQ(d.notes, (Lines{"first", "añd 😀Ann second", "Cherry"}));
  EXPECT_EQ(d.file, "/tmp/chosen.txt");
  EXPECT_EQ(transcriptLines(),
            (Lines{"open task \"Test\"",
                   "open 9001 \"Toolkit Demo\"",
                   "list 9001 3: \"Apple\" \"Banana\" \"Cherry\"",
                   "list 9001 4: \"Red\" \"Green\" \"Blue\"",
                   "list 9001 5: \"Small\" *\"Medium\" \"Large\"",
                   "set 9001 6 \"Ann\"",
                   "text 9001 7: \"first\" \"añd 😀 second\"",
                   "set 9001 13 \"Fruit: Banana\"",
                   "text 9001 7: \"first\" \"añd 😀 second\" \"Cherry\"",
                   "set 9001 13 \"Fruit: Cherry\"",
                   "text 9001 7: \"first\" \"añd 😀Ann second\" \"Cherry\"",
                   "ask \"Keep the notes?\" \"Yes\" \"No\" \"Cancel\"",
                   "file open \"Open a text file\" \"" + currentDirectory() +
                       "\" \"txt\" \"*.txt\"",
                   "set 9001 13 \"File: chosen.txt\"",
                   "close 9001 \"Toolkit Demo\"",
                   "close task \"Test\""}));
}

TYPED_TEST(BothBackends, CancelledFileDialogAndAQuestionThatKeepsTheDialogOpen) {
  const demo::DemoData d = this->runDemo(
      "click open\n"
      "file cancel\n"
      "click ok\n"
      "answer No\n"
      "window 9001\n"
      "text notes \"one\\ntwo\"\n"
      "click ok\n");
  EXPECT_TRUE(d.ok);
  EXPECT_EQ(d.file, "");
  EXPECT_EQ(d.notes, (Lines{"one", "two"}));
  const Lines t = transcriptLines();
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(t[t.size() - 3], "ask \"No notes. Close anyway?\" \"No\" \"Yes\"");
  EXPECT_EQ(t[t.size() - 2], "close 9001 \"Toolkit Demo\"");
  // The status line changed after the cancelled dialog.
  EXPECT_NE(std::find(t.begin(), t.end(), "set 9001 13 \"No file\""), t.end());
}

TYPED_TEST(BothBackends, CloseBoxCancels) {
  const demo::DemoData d = this->runDemo("select 3 0\nclose\n");
  EXPECT_FALSE(d.ok);
  EXPECT_EQ(transcriptLines().back(), "close task \"Test\"");
}

TYPED_TEST(BothBackends, DialogWithoutDataReportsAndIsNeverShown) {
  this->inApplication("answer OK\n", [](Window task) {
    EXPECT_TRUE(runModalDialog(demo::kDemoDialog, demo::demoDialogHandler,
                               nullptr, task));
    EXPECT_FALSE(runModalDialog(4242, demo::demoDialogHandler, nullptr, task));
    EXPECT_FALSE(openModelessDialog(4242, demo::demoDialogHandler, nullptr));
  });
  EXPECT_EQ(transcriptLines(),
            (Lines{"open task \"Test\"",
                   "error \"Internal error: the demo dialog has no data\"",
                   "close task \"Test\""}));
}

// Records the probe dialog's control events; presses of OK close it.
struct Recorder {
  std::vector<std::string> events;
  void operator()(Window w, const Event& e) {
    if (e.type == EventType::Control) {
      static const char* const actions[] = {"pressed", "selection", "double",
                                            "check", "text"};
      events.push_back(std::to_string(e.control) + " " +
                       actions[static_cast<int>(e.action)]);
      if (e.control == 1) destroyWindow(w);
    } else if (e.type == EventType::Close) {
      destroyWindow(w);
    }
  }
};

TYPED_TEST(BothBackends, UserActionsArriveAsTheSameEvents) {
  Recorder recorder;
  this->inApplication(
      "select 3 1\n"       // selection
      "select 3 1\n"       // the same item again: nothing changes
      "dblclick 3 1\n"     // already selected: only the double click
      "multiselect 4 0,2\n"
      "select 5 2\n"
      "text 6 \"typed\"\n"
      "check 8 on\n"       // reported; the probe does not set the mark
      "click 8\n"
      "click ok\n",
      [&](Window task) {
        EXPECT_TRUE(runModalDialog(
            9100, [&](Window w, const Event& e) {
              if (e.type == EventType::Create) {
                for (const char* s : {"a", "b", "c"}) {
                  listAppend(w, 3, s);
                  listAppend(w, 4, s);
                  listAppend(w, 5, s);
                }
                setVisible(w, true);
              }
              recorder(w, e);
            },
            nullptr, task));
      });
  EXPECT_EQ(recorder.events,
            (Lines{"3 selection", "3 double", "4 selection", "5 selection",
                   "6 text", "8 check", "8 check", "1 pressed"}));
  const Lines t = transcriptLines();
  // The user clicked the box on, the program never set the mark: the
  // transcript shows the box as the user then saw it.
  EXPECT_NE(std::find(t.begin(), t.end(), "check 9100 8 off"), t.end());
}

TYPED_TEST(BothBackends, ProgramChangesSendNoEventsAndReadBack) {
  Recorder recorder;
  this->inApplication("", [&](Window task) {
    int tag = 7;
    EXPECT_TRUE(runModalDialog(
        9100, [&](Window w, const Event& e) {
          recorder(w, e);
          if (e.type != EventType::Create) return;
          EXPECT_EQ(windowResourceId(w), 9100);
          EXPECT_EQ(windowData(w), &tag);
          EXPECT_EQ(parentWindow(w), task);
          EXPECT_EQ(title(w), "Probe");
          setTitle(w, "Renamed");
          EXPECT_EQ(title(w), "Renamed");
          EXPECT_EQ(controlText(w, 1), "OK");
          EXPECT_FALSE(hasControl(w, 2));

          // Lists.
          for (const char* s : {"a", "b", "c"}) {
            listAppend(w, 3, s);
            listAppend(w, 4, s);
            listAppend(w, 5, s);
          }
          EXPECT_EQ(listSelectedIndex(w, 5), -1) << "a drop-down starts unselected";
          listSetSelected(w, 5, 2, true);
          EXPECT_EQ(listSelectedIndex(w, 5), 2);
          listSetSelected(w, 3, 0, true);
          listSetSelected(w, 3, 2, true);
          EXPECT_EQ(listSelectedIndices(w, 3), (std::vector<int>{2}));
          listSetSelected(w, 4, 2, true);
          listSetSelected(w, 4, 0, true);
          listSetSelected(w, 4, 7, true);
          EXPECT_EQ(listSelectedIndices(w, 4), (std::vector<int>{0, 2}));
          EXPECT_EQ(listSelectedItems(w, 4), (Lines{"a", "c"}));
          listSetSelected(w, 4, 0, false);
          EXPECT_EQ(listSelectedIndices(w, 4), (std::vector<int>{2}));
          EXPECT_EQ(listCount(w, 3), 3);
          EXPECT_EQ(listItem(w, 3, 1), "b");
          EXPECT_EQ(listItem(w, 3, 3), "");
          listClear(w, 4);
          EXPECT_EQ(listCount(w, 4), 0);
          EXPECT_EQ(listSelectedIndex(w, 4), -1);

          // Text edit: paragraphs, characters, selection.
          EXPECT_EQ(textParagraphCount(w, 6), 0);
          textAppendParagraph(w, 6, "");
          EXPECT_EQ(textParagraphCount(w, 6), 0) << "an empty text holds no paragraph";
          textAppendParagraph(w, 6, "añb");
          textAppendParagraph(w, 6, "x😀y z");
          EXPECT_EQ(textParagraphCount(w, 6), 2);
          EXPECT_EQ(textCharCount(w, 6, 0), 3);
          EXPECT_EQ(textCharCount(w, 6, 1), 5);
          EXPECT_EQ(textLineCount(w, 6, 1), 1);
          EXPECT_EQ(textLineCount(w, 6, 2), 0);
          EXPECT_EQ(textLine(w, 6, 1, 0), "x😀y z");
          const TextSelection sel{{1, 0, 2}, {1, 0, 4}};
          setTextSelection(w, 6, sel);
          EXPECT_EQ(textSelection(w, 6), sel);
          setTextSelection(w, 6, TextSelection{{1, 0, 99}, {5, 0, 1}});
          EXPECT_EQ(textSelection(w, 6), (TextSelection{{1, 0, 5}, {1, 0, 5}}));
          EXPECT_TRUE(textSetParagraph(w, 6, 0, "z"));
          EXPECT_FALSE(textSetParagraph(w, 6, 2, "q"));
          EXPECT_EQ(controlText(w, 6), "z\nx😀y z");
          textAppendParagraph(w, 6, "");
          EXPECT_EQ(textParagraphCount(w, 6), 3);
          textClear(w, 6);
          EXPECT_EQ(textParagraphCount(w, 6), 0);

          // Check box and control state.
          setChecked(w, 8, true);
          EXPECT_TRUE(isChecked(w, 8));
          setControlText(w, 8, "Marked");
          EXPECT_EQ(controlText(w, 8), "Marked");
          destroyWindow(w);
          // A gone window answers empty.
          EXPECT_FALSE(windowExists(w));
          EXPECT_EQ(listCount(w, 3), 0);
          EXPECT_EQ(title(w), "");
        },
        &tag, task));
  });
  EXPECT_TRUE(recorder.events.empty()) << recorder.events.front();
}

TYPED_TEST(BothBackends, PlacementInAndOverTheTaskWindow) {
  this->inApplication("", [](Window task) {
    ASSERT_EQ(clientRect(task), Rect::fromPosition(0, 0, 400, 300));
    // A window placed inside the task window.
    runModalDialog(
        9100, [task](Window w, const Event& e) {
          if (e.type != EventType::Create) return;
          placeInTaskWindow(w);
          EXPECT_TRUE(isVisible(w));
          const Point expected = placedCorner(clientRect(task), clientRect(w), 0);
          EXPECT_EQ(translatePoint(w, task, Point{0, 0}), expected);
          destroyWindow(w);
        },
        nullptr, task);
    // A top-level window centred over the task window.
    const Window about = openModelessDialog(107, nullptr, nullptr);
    ASSERT_TRUE(about);
    centreOnTaskWindow(about);
    const Rect want = centredRect(clientRect(task),
                                  translatePoint(task, Window(), Point{0, 0}),
                                  clientRect(about));
    EXPECT_EQ(translatePoint(about, Window(), Point{0, 0}), (Point{want.top, want.left}));
    EXPECT_TRUE(isVisible(about));
    destroyWindow(about);
  });
}

TYPED_TEST(BothBackends, WindowLargerThanTheTaskWindowGoesTo10) {
  this->inApplication(
      "",
      [](Window task) {
        runModalDialog(
            9001, [task](Window w, const Event& e) {
              if (e.type != EventType::Create) return;
              placeInTaskWindow(w);
              EXPECT_EQ(translatePoint(w, task, Point{0, 0}), (Point{10, 10}));
              destroyWindow(w);
            },
            nullptr, task);
      },
      100, 80);
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
  EXPECT_EQ(seen, (Lines{"hook 0", "hook 32457", "hook 32462", "handler 32462",
                         "handler 1001", "handler 1006"}));
}

TYPED_TEST(BothBackends, ConnectAnswersADataSourceDialog) {
  std::string error;
  ASSERT_TRUE(resources().add("dialog 9200 \"Data Source\" size 100 40\n"
                              "edit 2 at 2 2 size 96 12 name connection\n"
                              "button 1 \"OK\" at 2 20 size 30 12 name ok\n"
                              "button 3 \"Cancel\" at 40 20 size 30 12 name cancel\n",
                              "ds", error))
      << error;
  Lines events;
  std::string typed;
  this->inApplication("connect DSN=x;UID=a b\nconnect cancel\n", [&](Window task) {
    for (int run = 0; run < 2; ++run) {
      runModalDialog(
          9200, [&](Window w, const Event& e) {
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
  const std::string page = ::testing::TempDir() + "toolkit_help.html";
  {
    std::FILE* f = std::fopen(page.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("<html><body><h1 id=\"topic4401\">Contents</h1></body></html>", f);
    std::fclose(f);
  }
  this->inApplication("", [&](Window) {
    EXPECT_TRUE(showHelpWindow(page, 4401));
    EXPECT_FALSE(showHelpWindow(page + ".missing", 4403));
  });
  EXPECT_EQ(transcriptLines(),
            (Lines{"open task \"Test\"", "help 4401", "help 4403", "close task \"Test\""}));
  std::remove(page.c_str());
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
      if (e.query) allowQuit();
      else destroyApplication();
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
    runProgressDialog(ProgressJob{
        "Fetching", std::chrono::milliseconds(0),
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

TEST(QtApplication, NumbersKeepTheCFormWhileTextFollowsTheEnvironment) {
  // The test main sets LC_ALL=C.UTF-8 for Qt to take over.
  const auto backend = Qt::make();
  ASSERT_NE(backend, nullptr);
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C.UTF-8");
}

}  // namespace
}  // namespace toolkit

namespace {
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtFatalMsg || type == QtCriticalMsg) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  }
}
}  // namespace

// Fontconfig keeps a cache it never frees; that is not ours to report in
// sanitizer builds.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

int main(int argc, char** argv) {
  // Real widgets, no display needed; set before anything asks Qt, so test
  // discovery works anywhere.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);
  qInstallMessageHandler(quietMessages);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
