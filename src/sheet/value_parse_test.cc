#include "sheet/value_parse.h"

#include <gtest/gtest.h>

#include "sheet/column_type.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

TEST(ParseNumber, LookAlikesAndLimits) {
  const double M = kMissingValueCode;
  const std::pair<const char*, double> cases[] = {
      {"l,5", 1.5},       {"$12", 12},        {"O", 0},            {"abc", M},
      {"2e38", 9.99999E+37}, {"9.99999e37", 9.99999E+37}, {"1e400", M}, {"-1e400", M},
      {"1e-400", M},      {"-2e37", M},       {"  42 apples", 42}, {"(3.5)", 3.5},
      {"-7.25", -7.25},   {"+8", 8},          {"S0", 20},          {"1O0%", 100},
      {"I.Z", 1.2},       {"12:30", 12.3},    {"@", 0},            {".5", 0.5},
      {"5.", 5},          {"1.5e", 1.5},      {"0x1A", 0},         {"nan", M},
      {"-", M},           {".", M},           {"", M},             {"   ", M},
  };
  for (auto [text, value] : cases) EXPECT_EQ(parseNumber(text, M), value) << '"' << text << '"';
  EXPECT_EQ(parseNumber("junk", 0.0), 0.0);
}

TEST(ParseTimestamp, DatesAndTimes) {
  initWorksheetDefaults();
  const double fallback = -123;
  const std::pair<const char*, double> cases[] = {
      {"2001-02-03 04:05:06", 36925 + (4 + (5 + 6 / 60.0) / 60) / 24},
      {"2001-02-03", 36925}, {"2001-12-25", 37250}, {"2001-12-25 12", 37250.5},
      {"2001-12-25 18:00", 37250.75}, {"2001-12-25 00:00:30.5", 37250 + 30.5 / 86400},
      {"1900-02-28 00:00:00", 60},
      // Each field is read as std::atoi reads it: blanks, a sign, digits.
      {"2001-12- 5", 37230 + 5 / 24.0},  // the blank also starts the time
      {"2001-1x-+5", 36896}, {"2001-12-05 -6", 37230 - 0.25},
      {"*", fallback}, {"*2001-02-03", fallback}, {"", fallback},
      {"2001-02-30 10:00:00", fallback}, {"2001", fallback}, {"abcd-ef-gh", fallback},
  };
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(parseTimestamp(text, fallback), value) << text;
}

}  // namespace
}  // namespace vodbc
