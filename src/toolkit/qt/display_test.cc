#include "toolkit/qt/display.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace toolkit::qt {
namespace {

struct Environment {
  const char* platform;  // nullptr: unset
  const char* display;
  const char* wayland;
};

void apply(const Environment& e) {
  auto set = [](const char* name, const char* value) {
    if (value) ::setenv(name, value, 1);
    else ::unsetenv(name);
  };
  set("QT_QPA_PLATFORM", e.platform);
  set("DISPLAY", e.display);
  set("WAYLAND_DISPLAY", e.wayland);
}

struct DisplayCase {
  const char* what;
  Environment env;
  bool ok;
  const char* why;
  const char* platformAfter;  // nullptr: unset
};

class PrepareDisplay : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(PrepareDisplay, DecidesFromTheEnvironment) {
  const DisplayCase& c = GetParam();
  apply(c.env);
  std::string why;
  EXPECT_EQ(prepareDisplay(why), c.ok) << c.what;
  EXPECT_EQ(why, c.why) << c.what;
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (c.platformAfter) {
    ASSERT_NE(platform, nullptr) << c.what;
    EXPECT_STREQ(platform, c.platformAfter) << c.what;
  } else {
    EXPECT_EQ(platform, nullptr) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrepareDisplay,
    ::testing::Values(
        DisplayCase{"offscreen needs no display", {"offscreen", nullptr, nullptr},
                    true, "", "offscreen"},
        DisplayCase{"nothing at all", {nullptr, nullptr, nullptr}, false,
                    "neither DISPLAY nor WAYLAND_DISPLAY is set", nullptr},
        DisplayCase{"an X display nobody serves", {nullptr, ":97", nullptr}, false,
                    "cannot connect to the X server of DISPLAY=:97", nullptr},
        DisplayCase{"X forced without a display", {"xcb", nullptr, nullptr}, false,
                    "QT_QPA_PLATFORM=xcb but DISPLAY is not set", "xcb"},
        DisplayCase{"Wayland only", {nullptr, nullptr, "wayland-0"}, true, "", nullptr}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(PrepareDisplayWithServer, PrefersTheX11PluginWhenTheServerAnswers) {
  // A listening socket on 127.0.0.1:6000+N stands for the X server of
  // display N.
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  int number = -1;
  for (int n = 40; n < 100 && number < 0; ++n) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(6000 + n));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) number = n;
  }
  ASSERT_GE(number, 0) << "no free port for a stand-in X server";
  ASSERT_EQ(::listen(fd, 4), 0);
  const std::string display = "127.0.0.1:" + std::to_string(number) + ".0";
  apply({nullptr, display.c_str(), "wayland-0"});
  std::string why;
  EXPECT_TRUE(prepareDisplay(why)) << why;
  ASSERT_NE(std::getenv("QT_QPA_PLATFORM"), nullptr);
  EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "xcb");
  ::close(fd);
}

}  // namespace
}  // namespace toolkit::qt
