// The Qt backend's helpers that need no widgets: the choice of display and
// the conversions between the toolkit's conventions and Qt's.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtGui/QColor>
#include <cstdlib>
#include <string>
#include <utility>

#include "toolkit/qt/display.h"
#include "toolkit/qt/qt_internal.h"

namespace toolkit::qt {
namespace {

// Sets the variables prepareDisplay reads; nullptr unsets one.
void setEnvironment(const char* platform, const char* display, const char* wayland) {
  const std::pair<const char*, const char*> variables[] = {
      {"QT_QPA_PLATFORM", platform}, {"DISPLAY", display}, {"WAYLAND_DISPLAY", wayland}};
  for (const auto& [name, value] : variables) {
    if (value)
      ::setenv(name, value, 1);
    else
      ::unsetenv(name);
  }
}

struct DisplayCase {
  const char* platform;  // the environment; nullptr: unset
  const char* display;
  const char* wayland;
  bool ok;
  const char* why;
  const char* platformAfter;  // nullptr: unset
};

class PrepareDisplay : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(PrepareDisplay, DecidesFromTheEnvironment) {
  const DisplayCase& c = GetParam();
  setEnvironment(c.platform, c.display, c.wayland);
  std::string why;
  EXPECT_EQ(prepareDisplay(why), c.ok);
  EXPECT_EQ(why, c.why);
  EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), c.platformAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrepareDisplay,
    ::testing::Values(DisplayCase{"offscreen", nullptr, nullptr, true, "", "offscreen"},
                      DisplayCase{nullptr, nullptr, nullptr, false,
                                  "neither DISPLAY nor WAYLAND_DISPLAY is set", nullptr},
                      DisplayCase{nullptr, ":97", nullptr, false,
                                  "cannot connect to the X server of DISPLAY=:97", nullptr},
                      DisplayCase{"xcb", nullptr, nullptr, false,
                                  "QT_QPA_PLATFORM=xcb but DISPLAY is not set", "xcb"},
                      DisplayCase{nullptr, nullptr, "wayland-0", true, "", nullptr}),
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
  setEnvironment(nullptr, display.c_str(), "wayland-0");
  std::string why;
  EXPECT_TRUE(prepareDisplay(why)) << why;
  EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "xcb");
  ::close(fd);
}

TEST(QtText, CharacterOffsetsCountCodePointsNotUtf16Units) {
  const QString s = QString::fromUtf8("a😀bñ😀");  // 5 characters, 7 units
  ASSERT_EQ(s.size(), 7);
  struct {
    int units, characters;
  } rows[] = {{0, 0}, {1, 1}, {3, 2}, {4, 3}, {5, 4}, {7, 5}};
  for (const auto& r : rows) {
    EXPECT_EQ(unitsToCharacters(s, r.units), r.characters) << r.units;
    EXPECT_EQ(charactersToUnits(s, r.characters), r.units) << r.characters;
  }
  EXPECT_EQ(charactersToUnits(s, 99), 7) << "beyond the end stops at the end";
}

TEST(QtText, MnemonicsAndAmpersands) {
  EXPECT_EQ(mnemonicText("~Fish & Chips"), QStringLiteral("&Fish && Chips"));
}

TEST(QtText, ColoursAreBlueGreenRedFromTheHighByteDown) {
  EXPECT_EQ(toQColor(0x00123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(toQColor(0x0AC0C0C0), QColor(192, 192, 192)) << "the flag byte is ignored";
}

}  // namespace
}  // namespace toolkit::qt
