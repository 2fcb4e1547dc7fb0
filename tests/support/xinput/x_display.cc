#include "xinput/x_display.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "xinput/x_tools.h"

namespace vodbc::testing {
namespace {

// Reads the display number Xvfb writes to `fd` once it accepts clients.
std::string readDisplayNumber(int fd) {
  std::string number;
  char c;
  while (::read(fd, &c, 1) == 1 && c != '\n') number += c;
  return number;
}

bool windowManagerReady(const std::string& display) {
  return runTool({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, display).out.find("window id") !=
         std::string::npos;
}

void stop(int& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  pid = -1;
}

}  // namespace

std::string missingXTools() {
  std::string missing;
  for (const char* tool : {"Xvfb", "openbox", "xdotool", "xprop"}) {
    if (findTool(tool).empty()) missing += std::string(missing.empty() ? "" : ", ") + tool;
  }
  return missing;
}

XDisplay::XDisplay(int width, int height) {
  if (std::string missing = missingXTools(); !missing.empty()) {
    why_ = "missing " + missing + " (scripts/bootstrap installs them)";
    return;
  }
  int pipeFds[2];
  if (::pipe(pipeFds) != 0) {
    why_ = "no pipe for Xvfb";
    return;
  }
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  const std::string fd = std::to_string(pipeFds[1]);
  server_ = spawnTool(
      {findTool("Xvfb"), "-displayfd", fd, "-screen", "0", screen, "-nolisten", "tcp", "-noreset"},
      {}, pipeFds[1]);
  ::close(pipeFds[1]);
  const std::string number = readDisplayNumber(pipeFds[0]);
  ::close(pipeFds[0]);
  if (server_ <= 0 || number.empty()) {
    why_ = "Xvfb did not start";
    stop(server_);
    return;
  }
  name_ = ":" + number;
  windowManager_ = spawnTool({findTool("openbox"), "--sm-disable"}, {{"DISPLAY", name_}});
  // The window manager is ready once it announces itself on the root
  // window; until then new windows would go unframed and unfocused.
  for (int i = 0; i < 500 && !windowManagerReady(name_); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (!windowManagerReady(name_)) why_ = "openbox did not take the screen";
}

XDisplay::~XDisplay() {
  stop(windowManager_);
  stop(server_);
}

}  // namespace vodbc::testing
