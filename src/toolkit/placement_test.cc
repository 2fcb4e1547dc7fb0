#include "toolkit/placement.h"

#include <gtest/gtest.h>

namespace toolkit {
namespace {

Rect client(int width, int height) { return Rect::fromPosition(0, 0, width, height); }

struct PlaceCase {
  const char* what;
  int tw, th, push, ww, wh;
  int x, y;
};

class PlacedCornerTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlacedCornerTest, MatchesTheArithmetic) {
  const PlaceCase& c = GetParam();
  const Point p = placedCorner(client(c.tw, c.th), client(c.ww, c.wh), c.push);
  EXPECT_EQ(p.h, c.x) << c.what;
  EXPECT_EQ(p.v, c.y) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlacedCornerTest,
    ::testing::Values(
        PlaceCase{"pushed down by half of 20", 400, 300, 20, 200, 100, 100, 110},
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
  const Rect r = centredRect(client(c.tw, c.th), Point{c.pv, c.ph},
                             client(c.ww, c.wh));
  EXPECT_EQ(r, c.expected) << c.what << ": got " << r.left << "," << r.top
                           << "," << r.right << "," << r.bottom;
}

Rect ltrb(int l, int t, int r, int b) {
  Rect x;
  x.left = static_cast<std::int16_t>(l);
  x.top = static_cast<std::int16_t>(t);
  x.right = static_cast<std::int16_t>(r);
  x.bottom = static_cast<std::int16_t>(b);
  return x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CentredRectTest,
    ::testing::Values(
        CentreCase{"smaller window", 400, 300, 50, 20, 200, 100,
                   ltrb(150, 120, 350, 220)},
        CentreCase{"larger window gets negative offsets", 200, 100, 0, 0, 300,
                   160, ltrb(-50, -30, 250, 130)},
        // (201-100)/2 = 50 and (201+100)/2 = 150: the width stays 100.
        CentreCase{"odd difference", 201, 101, 10, 10, 100, 50,
                   ltrb(60, 35, 160, 85)},
        // (100-201)/2 truncates toward zero to -50, (100+201)/2 = 150.
        CentreCase{"odd and larger", 100, 100, 0, 0, 201, 100,
                   ltrb(-50, 0, 150, 100)}),
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
