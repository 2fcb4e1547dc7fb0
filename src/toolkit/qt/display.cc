#include "toolkit/qt/display.h"

#include <netdb.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace toolkit::qt {
namespace {

bool connects(int fd, const sockaddr* address, socklen_t length) {
  const bool ok = fd >= 0 && ::connect(fd, address, length) == 0;
  if (fd >= 0) ::close(fd);
  return ok;
}

// Connects to the X server named by a DISPLAY value ("host:N.S", ":N").
bool xServerAnswers(std::string_view display) {
  const auto colon = display.rfind(':');
  if (colon == std::string_view::npos) return false;
  const std::string host(display.substr(0, colon));
  const std::string rest(display.substr(colon + 1));
  const int number = std::atoi(rest.c_str());
  if (host.empty() || host == "unix") {
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (connects(::socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<sockaddr*>(&address),
                 sizeof address)) {
      return true;
    }
    // Linux servers also listen on the abstract name.
    sockaddr_un abstract{};
    abstract.sun_family = AF_UNIX;
    std::memcpy(abstract.sun_path + 1, path.data(), path.size());
    return connects(::socket(AF_UNIX, SOCK_STREAM, 0), reinterpret_cast<sockaddr*>(&abstract),
                    static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size()));
  }
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0) {
    return false;
  }
  bool ok = false;
  for (addrinfo* a = found; a && !ok; a = a->ai_next) {
    ok =
        connects(::socket(a->ai_family, a->ai_socktype, a->ai_protocol), a->ai_addr, a->ai_addrlen);
  }
  ::freeaddrinfo(found);
  return ok;
}

}  // namespace

bool prepareDisplay(std::string& why) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const char* display = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const std::string_view forced = platform ? platform : "";
  if (forced.starts_with("offscreen") || forced.starts_with("minimal")) return true;
  if (forced.empty() || forced.starts_with("xcb")) {
    if (display && *display) {
      if (!xServerAnswers(display)) {
        why = std::string("cannot connect to the X server of DISPLAY=") + display;
        return false;
      }
      // Before the application object exists, so no other thread reads the environment.
      if (forced.empty()) ::setenv("QT_QPA_PLATFORM", "xcb", 1);  // NOLINT(concurrency-mt-unsafe)
      return true;
    }
    if (!forced.empty()) {
      why = "QT_QPA_PLATFORM=xcb but DISPLAY is not set";
      return false;
    }
  }
  if (!forced.empty() || (wayland && *wayland)) return true;
  why = "neither DISPLAY nor WAYLAND_DISPLAY is set";
  return false;
}

}  // namespace toolkit::qt
