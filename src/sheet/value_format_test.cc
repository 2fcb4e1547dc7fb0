#include "sheet/value_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "sheet/column_type.h"

namespace vodbc {
namespace {

std::string dateText(double value, std::int32_t layout, std::uint16_t option = 0) {
  char out[kValueTextSize];
  EXPECT_EQ(formatDateTime(out, value, option, layout, kMissingValueCode), 1);
  return out;
}

std::string valueText(double value, std::int32_t kind, std::int32_t decimals) {
  char out[kValueTextSize];
  formatValue(out, value, kind, decimals, kMissingValueCode);
  return out;
}

constexpr double k9April2001 = 36990;     // 2001: four-digit year everywhere
constexpr double k23November1905 = 2154;  // 1900s: two digits unless asked

TEST(FormatDateTime, EveryDateLayout) {
  struct Case {
    std::int32_t layout;
    const char *in2001, *in1905;
  };
  const Case cases[] = {
      {1, "09/04/2001", "23/11/05"},   {2, "09/04/2001", "23/11/1905"},
      {3, "9/4/2001", "23/11/05"},     {4, "9/4/2001", "23/11/1905"},
      {5, "09042001", "231105"},       {6, "09042001", "23111905"},
      {7, "09Apr2001", "23Nov05"},     {8, "09Apr2001", "23Nov1905"},
      {9, "09-Apr-2001", "23-Nov-05"}, {10, "09-Apr-2001", "23-Nov-1905"},
      {11, "9Apr2001", "23Nov05"},     {12, "9Apr2001", "23Nov1905"},
      {13, "9-Apr-2001", "23-Nov-05"}, {14, "9-Apr-2001", "23-Nov-1905"},
      {15, "9-April-2001", "23-November-05"}, {16, "9-April-2001", "23-November-1905"},
      {17, "20010409", "051123"},      {18, "20010409", "19051123"},
      {19, "2001/04/09", "05/11/23"},  {20, "2001/04/09", "1905/11/23"},
      {21, "04092001", "112305"},      {22, "04092001", "11231905"},
      {23, "04/09/2001", "11/23/05"},  {24, "04/09/2001", "11/23/1905"},
      {27, "2001-04-09", "1905-11-23"},
      // Codes without a layout of their own write like code 1.
      {25, "09/04/2001", "23/11/05"},  {26, "09/04/2001", "23/11/05"},
      {28, "09/04/2001", "23/11/05"},  {32, "09/04/2001", "23/11/05"},
      {0, "09/04/2001", "23/11/05"},   {41, "09/04/2001", "23/11/05"},
      {-7, "09/04/2001", "23/11/05"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateText(k9April2001, c.layout), c.in2001) << "layout " << c.layout;
    EXPECT_EQ(dateText(k23November1905, c.layout), c.in1905) << "layout " << c.layout;
  }
}

TEST(FormatDateTime, SerialDaysDayCountsAndTimes) {
  const double tiny = 1.0 / 1024;  // 00:01:24.375 exactly; every step truncates
  const double afternoon = 0.5625;  // 13:30:00
  struct Case {
    double value;
    std::int32_t layout;
    std::uint16_t option;
    const char* text;
  };
  const Case cases[] = {
      // Serial days around the leap day 1900 lacks.
      {1, 27, 0, "1900-01-01"}, {58, 27, 0, "1900-02-27"}, {59, 27, 0, "1900-02-28"},
      {60, 27, 0, "1900-02-28"}, {61, 27, 0, "1900-03-01"}, {0, 27, 0, "1899-12-31"},
      {-365, 27, 0, "1898-12-31"}, {-109512, 27, 0, "1600-03-01"},
      {36525, 27, 0, "1999-12-31"}, {36526, 27, 0, "2000-01-01"},
      {36585, 27, 0, "2000-02-29"}, {36586, 27, 0, "2000-03-01"},
      {73109, 27, 0, "2100-02-28"}, {73110, 27, 0, "2100-03-01"},
      {37250.99, 27, 0, "2001-12-25"}, {-0.5, 27, 0, "1899-12-30"},
      {1, 2, 0, "01/01/1900"}, {1, 1, 0, "01/01/00"}, {36526, 1, 0, "01/01/2000"},
      {36526, 2, 0, "01/01/2000"},
      // The plain day count from 1 March 1600.
      {1, 27, 1, "1600-03-01"}, {0, 27, 1, "1600-02-29"}, {109514, 27, 1, "1900-01-01"},
      {109514, 1, 1, "01/01/00"},
      // Times.
      {k23November1905 + tiny, 33, 0, "23/11/05 00:01:24.37"},
      {k9April2001 + tiny, 33, 0, "09/04/2001 00:01:24.37"},
      {k23November1905 + tiny, 34, 0, "1905-11-23 00:01:24"},
      {37000.4375, 34, 0, "2001-04-19 10:30:00"},
      {k23November1905 + tiny, 35, 0, "23-November-1905 0:01:24 am"},
      {k23November1905 + afternoon, 35, 0, "23-Nov-1905 1:30:00 pm"},
      {k9April2001 + 0.5, 35, 0, "9-April-2001 12:00:00 am"},
      {k9April2001 + afternoon, 36, 0, "13:30:00"}, {k9April2001 + tiny, 36, 0, " 0:01:24"},
      {k9April2001 + 0.75, 37, 0, " 6:00:00 pm"}, {k9April2001 + 0.25, 37, 0, " 6:00:00 am"},
      {k9April2001 + 0.5, 37, 0, "12:00:00 am"},  {1.5, 38, 0, "36:00:00"},
      {0.25, 38, 0, " 6:00:00"}, {0.5, 39, 0, "43200.000"}, {1.5, 40, 0, "1.5"},
      {-1.0E37, 38, 0, "*"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateText(c.value, c.layout, c.option), c.text)
        << c.value << " layout " << c.layout << " option " << c.option;
  }
  char out[kValueTextSize] = "untouched";
  EXPECT_EQ(formatDateTime(nullptr, 1, 0, 1, kMissingValueCode), 0);
  EXPECT_EQ(formatDateTime(out, kMissingValueCode, 0, 34, kMissingValueCode), 1);
  EXPECT_STREQ(out, "*");
}

TEST(FormatDateTime, CountsFarOutsideTheCalendarStillGiveAText) {
  // No meaningful date, but no overflow either (the sanitized build checks).
  for (double value : {9.99999E+37, -1.0E30, 1.0E15}) {
    for (std::int32_t layout : {1, 15, 34, 35, 38}) {
      EXPECT_FALSE(dateText(value, layout).empty()) << value << " " << layout;
    }
  }
}

TEST(FormatValue, NumberFormatsByKindAndDecimals) {
  struct Case {
    double value;
    std::int32_t kind, decimals;
    const char* text;
  };
  const Case cases[] = {
      // General: decimals count significant digits once they exceed the
      // digits before the point.
      {123.456, 1, 5, "123.46"}, {123.456, 1, 2, "123.456"}, {123.456, 1, -1, "123.456"},
      {123.456, 1, 0, "123.456"}, {0.5, 1, 3, "0.5"}, {0.001234567, 1, 3, "0.00123"},
      {-0.001234567, 1, 3, "-0.00123"}, {1234567, 1, 3, "1.23457e+06"}, {1e-13, 1, 5, "1e-13"},
      {2e12, 1, 15, "2e+12"}, {0, 1, 5, "0"}, {9.99999E+37, 1, -1, "9.99999e+37"},
      // Exponent, fixed, and the text kind and kinds never produced.
      {1234.5, 2, 2, "1.23e+03"}, {1234.5, 2, 0, "1.234500e+03"},
      {1234.5, 2, -1, "1.234500e+03"}, {2.75, 3, -1, "2.750000"}, {2.75, 3, 0, "3"},
      {2.75, 3, 1, "2.8"}, {17, 3, 0, "17"}, {1234567, 4, 2, "1.23457e+06"},
      {123.456, 9, 5, "123.46"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(valueText(c.value, c.kind, c.decimals), c.text)
        << c.value << " kind " << c.kind << " decimals " << c.decimals;
  }
}

TEST(FormatValue, MissingGivesAStarForEveryKind) {
  for (std::int32_t kind = 1; kind <= 5; ++kind) {
    EXPECT_EQ(valueText(kMissingValueCode, kind, 2), "*") << kind;
    EXPECT_EQ(valueText(-1.0E38, kind, 2), "*") << kind;
  }
  char out[kValueTextSize];
  formatValue(out, 0, 1, -1, 0.0);  // the caller's code decides
  EXPECT_STREQ(out, "*");
}

TEST(FormatValue, DatesUseTheProgramWideState) {
  setDateOption(0);
  setDateFormat(34);
  EXPECT_EQ(valueText(37000.4375, 5, -1), "2001-04-19 10:30:00");
  setDateFormat(2);
  EXPECT_EQ(valueText(1, 5, -1), "01/01/1900");
  setDateOption(1);
  EXPECT_EQ(valueText(1, 5, -1), "01/03/1600");
  setDateOption(0);
  setDateFormat(1);
}

// The text printf makes with the format each kind names.
std::string printfText(double value, std::int32_t kind, std::int32_t decimals) {
  char format[32];
  const long d = decimals;
  if (kind == 2) {
    std::snprintf(format, sizeof format, d > 0 ? "%%.%lie" : "%%e", d);
  } else if (kind == 3) {
    std::snprintf(format, sizeof format, d < 0 ? "%%f" : "%%.%lif", d);
  } else if (kind == 4) {
    std::snprintf(format, sizeof format, "%%g");
  } else {
    const double magnitude = std::fabs(value);
    const bool significant = magnitude > 1e-12 && magnitude < 1e12 &&
                             std::labs(static_cast<long>(std::log10(magnitude) + 1.0)) < d;
    std::snprintf(format, sizeof format, significant ? "%%.%lig" : "%%g", d);
  }
  char out[kValueTextSize];
  std::snprintf(out, sizeof out, format, value);
  return out;
}

TEST(FormatValue, SameTextAsPrintfForEveryKind) {
  std::mt19937_64 random(42);
  std::vector<double> values = {0.0, -0.0, 0.5, 2.5, 0.125, 1e-5, 123456.5, 999999.5,
                                1e15, -1e-300, 9.99999E+37, -1e36, 1e300, 5e-324,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
  for (int i = 0; i < 3000; ++i) {
    const auto bits = random();
    double value = std::bit_cast<double>(bits);
    if (i % 3 == 0) value = static_cast<double>(static_cast<std::int64_t>(bits % 2000001) - 1000000) / 8;
    if (i % 3 == 1) value = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 110);
    values.push_back(value);
  }
  for (double value : values) {
    if (value <= kMissingValueCode) continue;  // "*", tested above
    for (std::int32_t kind : {1, 2, 3, 4}) {
      for (std::int32_t decimals : {-1, 0, 1, 2, 6, 12, 17, 45}) {
        ASSERT_EQ(valueText(value, kind, decimals), printfText(value, kind, decimals))
            << value << " kind " << kind << " decimals " << decimals;
      }
    }
  }
}

}  // namespace
}  // namespace vodbc
