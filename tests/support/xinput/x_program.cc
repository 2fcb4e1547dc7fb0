#include "xinput/x_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "xinput/x_tools.h"

namespace vodbc::testing {
namespace {

// How long a wait may take before it counts as a hang: far beyond what any
// step needs, even on a loaded machine.
constexpr auto kPatience = std::chrono::seconds(60);
constexpr auto kPollEvery = std::chrono::milliseconds(20);

template <class Done>
bool waitUntil(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(kPollEvery);
  }
  return true;
}

}  // namespace

XProgram::XProgram(const XDisplay& display, std::vector<std::string> argv,
                   std::vector<std::pair<std::string, std::string>> environment,
                   const std::string& workingDirectory)
    : display_(display), folder_("vodbc-xinput") {
  environment.insert(environment.begin(), {{"DISPLAY", display.name()},
                                           {"VODBC_TOOLKIT", "qt"},
                                           {"QT_QPA_PLATFORM", "xcb"},
                                           {"VODBC_TRANSCRIPT", folder_.file("transcript")},
                                           {"VODBC_WIDGET_MAP", folder_.file("widgets")},
                                           {"QT_LOGGING_RULES", "*.debug=false"}});
  std::vector<std::string> env = environmentWith(environment);
  std::erase_if(env, [](const std::string& s) {
    return s.rfind("VODBC_SCRIPT=", 0) == 0 || s.rfind("WAYLAND_DISPLAY=", 0) == 0;
  });
  std::vector<char*> argp, envp;
  for (std::string& a : argv) argp.push_back(a.data());
  for (std::string& e : env) envp.push_back(e.data());
  argp.push_back(nullptr);
  envp.push_back(nullptr);
  const std::string err = folder_.file("stderr");
  pid_ = ::fork();
  if (pid_ == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(e, 2);
    if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    ::execve(argp[0], argp.data(), envp.data());
    ::_exit(127);
  }
}

XProgram::~XProgram() {
  if (running()) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
}

bool XProgram::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) != pid_) return true;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  pid_ = -1;
  return false;
}

int XProgram::waitForExit() {
  waitUntil([this] { return !running(); });
  return running() ? -1 : status_;
}

std::string XProgram::errors() const { return readWholeFile(folder_.file("stderr")); }

std::vector<std::string> XProgram::transcript() const {
  return splitLines(readWholeFile(folder_.file("transcript")));
}

bool XProgram::waitForTranscript(const std::string& prefix, int occurrence) {
  auto found = [&] {
    int seen = 0;
    for (const std::string& line : transcript()) seen += line.rfind(prefix, 0) == 0;
    return seen >= occurrence;
  };
  return waitUntil([&] { return found() || !running(); }) && found();
}

std::string XProgram::readMap() const { return readWholeFile(folder_.file("widgets")); }

std::vector<XWindow> XProgram::windowsOnScreen() const {
  std::vector<XWindow> windows;
  std::istringstream lines(readMap());
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "show") {
      XWindow w;
      words >> w.kind >> w.id;
      std::erase_if(windows, [&](const XWindow& o) { return o.id == w.id; });
      windows.push_back(w);
    } else if (verb == "hide") {
      unsigned long id = 0;
      words >> id;
      std::erase_if(windows, [&](const XWindow& o) { return o.id == id; });
    } else if (verb == "widget") {
      unsigned long id = 0;
      std::string name;
      XWindow::Place p;
      words >> id >> name >> p.x >> p.y >> p.width >> p.height;
      for (XWindow& w : windows) {
        if (w.id == id) w.widgets[name] = p;
      }
    } else if (verb == "focus") {
      unsigned long id = 0;
      std::string name;
      words >> id >> name;
      for (XWindow& w : windows) {
        if (w.id == id) w.focus = name;
      }
    }
  }
  return windows;
}

std::optional<XWindow> XProgram::onScreen(unsigned long id) const {
  for (XWindow& w : windowsOnScreen()) {
    if (w.id == id) return w;
  }
  return std::nullopt;
}

std::string XProgram::focusIn(const XWindow& window) const {
  const std::optional<XWindow> now = onScreen(window.id);
  return now ? now->focus : std::string();
}

bool XProgram::waitForFocusOn(const XWindow& window, const std::string& widget) {
  auto focused = [&] { return focusedWindow() == window.id && focusIn(window) == widget; };
  return waitUntil([&] { return focused() || !running(); }) && focused();
}

unsigned long XProgram::focusedWindow() const {
  const ToolResult r = runTool({"xdotool", "getwindowfocus"}, display_.name());
  return r.status == 0 ? std::stoul("0" + r.out) : 0;
}

std::optional<XWindow> XProgram::waitForWindow(const std::string& kind) {
  std::optional<XWindow> found;
  auto ready = [&] {
    found.reset();
    for (const XWindow& w : windowsOnScreen()) {
      if (w.kind == kind && !returned_.contains(w.id)) found = w;
    }
    return found && focusedWindow() == found->id;
  };
  if (!waitUntil([&] { return ready() || !running(); }) || !ready()) return std::nullopt;
  returned_.insert(found->id);
  return found;
}

bool XProgram::waitForFocus(const XWindow& window) {
  auto focused = [&] { return focusedWindow() == window.id; };
  return waitUntil([&] { return focused() || !running(); }) && focused();
}

void XProgram::key(const std::string& keys) {
  runTool({"xdotool", "key", "--clearmodifiers", keys}, display_.name());
}

void XProgram::type(const std::string& text) {
  runTool({"xdotool", "type", "--clearmodifiers", "--delay", "20", text}, display_.name());
}

bool XProgram::click(const XWindow& window, const std::string& widget, int clicks) {
  // The map describes a window's widgets once its layout has settled.
  std::optional<XWindow::Place> place;
  waitUntil([&] {
    if (const std::optional<XWindow> w = onScreen(window.id)) {
      if (auto it = w->widgets.find(widget); it != w->widgets.end()) place = it->second;
    }
    return place.has_value() || !running();
  });
  if (!place) return false;
  const XWindow::Place& p = *place;
  runTool({"xdotool", "mousemove", "--window", std::to_string(window.id),
           std::to_string(p.x + p.width / 2), std::to_string(p.y + p.height / 2), "click",
           "--repeat", std::to_string(clicks), "1"},
          display_.name());
  return true;
}

}  // namespace vodbc::testing
