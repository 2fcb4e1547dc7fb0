#include "toolkit/placement.h"

#include <gtest/gtest.h>

namespace toolkit {
namespace {

// A rectangle of this size at (left, top): a client rectangle by default.
Rect client(int width, int height, int left = 0, int top = 0) {
  return Rect::fromPosition(left, top, width, height);
}

struct PlaceCase {
  const char* what;
  int tw, th, push, ww, wh;
  int x, y;
};

class PlacedCornerTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlacedCornerTest, MatchesTheArithmetic) {
  const PlaceCase& c = GetParam();
  EXPECT_EQ(placedCorner(client(c.tw, c.th), client(c.ww, c.wh), c.push), (Point{c.y, c.x}))
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacedCornerTest,
    ::testing::Values(PlaceCase{"pushed down by half of 20", 400, 300, 20, 200, 100, 100, 110},
                      PlaceCase{"no push", 400, 300, 0, 200, 100, 100, 100},
                      PlaceCase{"wider than the task window", 300, 300, 0, 400, 100, 10, 100},
                      PlaceCase{"as wide as the task window", 300, 300, 0, 300, 100, 10, 100},
                      PlaceCase{"taller than the task window", 400, 200, 20, 100, 250, 150, 10},
                      PlaceCase{"larger both ways", 100, 80, 40, 300, 300, 10, 10},
                      // Each half truncates on its own: (301-100)/2 = 100, 21/2 = 10.
                      PlaceCase{"odd sizes", 301, 201, 21, 100, 100, 100, 60},
                      PlaceCase{"odd push only", 400, 300, 1, 200, 100, 100, 100}),
    [](const auto& info) { return std::to_string(info.index); });

struct CentreCase {
  const char* what;
  int tw, th, ph, pv, ww, wh;
  Rect expected;
};

class CentredRectTest : public ::testing::TestWithParam<CentreCase> {};

TEST_P(CentredRectTest, MatchesTheArithmetic) {
  const CentreCase& c = GetParam();
  const Rect r = centredRect(client(c.tw, c.th), Point{c.pv, c.ph}, client(c.ww, c.wh));
  EXPECT_EQ(r, c.expected) << c.what << ": got " << r.left << "," << r.top << "," << r.right << ","
                           << r.bottom;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CentredRectTest,
    ::testing::Values(
        CentreCase{"smaller window", 400, 300, 50, 20, 200, 100, client(200, 100, 150, 120)},
        CentreCase{"larger window gets negative offsets", 200, 100, 0, 0, 300, 160,
                   client(300, 160, -50, -30)},
        // (201-100)/2 = 50 and (201+100)/2 = 150: the width stays 100.
        CentreCase{"odd difference", 201, 101, 10, 10, 100, 50, client(100, 50, 60, 35)},
        // (100-201)/2 truncates toward zero to -50, (100+201)/2 = 150: the
        // width comes out 200.
        CentreCase{"odd and larger", 100, 100, 0, 0, 201, 100, client(200, 100, -50, 0)}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(BackgroundFor, OldestClassGetsLightGreyOthersTheToolkitColour) {
  EXPECT_EQ(backgroundFor(1, 0x00FFFFFF), 0x0AC0C0C0u);
  for (int cls : {0, 2, 3, 5}) {
    EXPECT_EQ(backgroundFor(cls, 0x00123456), 0x00123456u) << cls;
  }
  EXPECT_EQ(backgroundFor(kDesktopClass, 0x00ABCDEF), 0x00ABCDEFu);
}

}  // namespace
}  // namespace toolkit
