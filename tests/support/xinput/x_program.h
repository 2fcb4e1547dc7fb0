// Runs a program with the real Qt backend on an XDisplay and plays the user
// with real X input (xdotool: keys through the X server, mouse clicks at a
// widget's place on the screen), reading back what the program showed from
// its transcript.
//
//   XDisplay display;
//   XProgram vodbc(display, {VODBC_BINARY_DIR "/bin/vodbc", "x", "q.idb"});
//   ASSERT_TRUE(vodbc.waitForTranscript("ask \"Do you want"));
//   ASSERT_TRUE(vodbc.waitForWindow("message"));   // shown and focused
//   vodbc.key("Escape");
//   EXPECT_EQ(vodbc.waitForExit(), 0);
//
// Where widgets are comes from the program's widget map (VODBC_WIDGET_MAP,
// see src/toolkit/qt/widget_map.h). Waiting gives up after a generous limit
// (a hung program fails the test instead of hanging it); nothing is timed.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "files/temp_folder.h"
#include "xinput/x_display.h"

namespace vodbc::testing {

// One top-level window on screen, as the widget map last described it.
struct XWindow {
  std::string kind;      // resource id, "task", "message", "file", "help", ...
  unsigned long id = 0;  // X window id
  struct Place {
    int x = 0, y = 0, width = 0, height = 0;
  };
  std::map<std::string, Place> widgets;  // by name (control id, "button:OK", "9/0" ...)
  std::string focus;                     // the control that took the focus last
};

class XProgram {
 public:
  // Starts argv[0] with argv[1..] on `display`, with VODBC_TOOLKIT=qt, a
  // transcript and a widget map in a folder of its own, and `environment`
  // added.
  XProgram(const XDisplay& display, std::vector<std::string> argv,
           std::vector<std::pair<std::string, std::string>> environment = {},
           const std::string& workingDirectory = "");
  ~XProgram();  // kills the program if it still runs
  XProgram(const XProgram&) = delete;
  XProgram& operator=(const XProgram&) = delete;

  // Waits until the transcript holds `occurrence` lines starting with
  // `prefix`; false when the program ended or the wait gave up first.
  bool waitForTranscript(const std::string& prefix, int occurrence = 1);
  std::vector<std::string> transcript() const;

  // Waits until a window of `kind` that no earlier call returned is on
  // screen and has the keyboard focus, and returns it; nullopt when none
  // did (a window that never takes input is a failure of the program). So
  // answering two messages in a row is two calls.
  std::optional<XWindow> waitForWindow(const std::string& kind);
  // Waits until `window` has the keyboard focus (again); false when it
  // never did.
  bool waitForFocus(const XWindow& window);
  // Waits until the control `widget` of `window` has the keyboard focus;
  // false when it never did (focusIn then says where the focus is).
  bool waitForFocusOn(const XWindow& window, const std::string& widget);
  std::string focusIn(const XWindow& window) const;
  // The windows on screen now, oldest first.
  std::vector<XWindow> windowsOnScreen() const;
  // The X window that has the keyboard focus (0 when none).
  unsigned long focusedWindow() const;

  // Real input: keys as xdotool names them ("Return", "Escape", "alt+F4",
  // "F1", "Next"), typed text, and `clicks` clicks in the middle of a
  // widget or list item ("9/2": row 2 of list 9); false when the window
  // has no such widget.
  void key(const std::string& keys);
  void type(const std::string& text);
  bool click(const XWindow& window, const std::string& widget, int clicks = 1);

  // Waits for the program to end; its exit status, or -1 when it did not.
  int waitForExit();
  bool running();
  // What the program wrote to stderr so far.
  std::string errors() const;

 private:
  std::string readMap() const;
  std::optional<XWindow> onScreen(unsigned long id) const;

  const XDisplay& display_;
  TempFolder folder_;
  std::set<unsigned long> returned_;
  int pid_ = -1;
  int status_ = -1;
};

}  // namespace vodbc::testing
