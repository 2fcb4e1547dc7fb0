// A private X display for tests that drive the real Qt windows with real X
// input: an Xvfb server on a free display number and a window manager
// (openbox) on it, so windows are framed, focused and closed (Alt+F4) as on
// a desktop. Both end with the object.
//
// Tests get one through the XInputTest fixture (xinput_test.h), which skips
// or fails when it is not ready; XProgram (x_program.h) runs a program on it.
#pragma once

#include <string>

namespace vodbc::testing {

class XDisplay {
 public:
  // `width`×`height` pixels, 24 bits deep.
  explicit XDisplay(int width = 1024, int height = 768);
  ~XDisplay();
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;

  bool ready() const { return why_.empty(); }
  // Why the display could not be made ready ("" when it is).
  const std::string& why() const { return why_; }
  // The DISPLAY value (":7").
  const std::string& name() const { return name_; }

 private:
  int server_ = -1;
  int windowManager_ = -1;
  std::string name_;
  std::string why_;
};

// What a test needs from the machine: Xvfb, openbox, xdotool and xprop. "" when all
// are there, else what is missing (scripts/bootstrap installs them).
std::string missingXTools();

}  // namespace vodbc::testing
