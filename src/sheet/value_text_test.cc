// Values as the worksheet keeps and shows them: the missing-value code,
// serial days, and the texts of numbers and dates read and written.
#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "sheet/calendar.h"
#include "sheet/column_type.h"
#include "sheet/value_format.h"
#include "sheet/value_parse.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

double fromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

TEST(MissingValue, CodeBitsAndTheWideTestAroundThem) {
  // Written to the file byte for byte; one step above -1.0E37.
  EXPECT_EQ(std::bit_cast<std::uint64_t>(kMissingValueCode), 0xC79E17B84357691AULL);
  EXPECT_EQ(std::nextafter(-1.0E37, 0.0), kMissingValueCode);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double value;
    bool missing;
  };
  const Case cases[] = {
      {"the code", kMissingValueCode, true},
      {"-1.0E37, below the code", -1.0E37, true},
      {"far below", -1.0E300, true},
      {"-infinity", -inf, true},
      {"one ulp closer to zero", fromBits(0xC79E17B843576919ULL), true},
      {"last byte 00, closer to zero", fromBits(0xC79E17B843576900ULL), true},
      {"seventh byte differs, closer to zero", fromBits(0xC79E17B8435768FFULL), false},
      {"-5.0E36", -5.0E36, false},
      {"just below -1.0E36", -1.0000001E36, false},
      {"-1.0E36 itself", -1.0E36, false},
      {"zero", 0.0, false},
      {"positive with the code's low bytes", fromBits(0x479E17B84357691AULL), false},
      {"NaN", nan, false},
  };
  for (const Case& c : cases) EXPECT_EQ(isMissing(c.value), c.missing) << c.what;
}

// The days the Gregorian calendar cannot check: the leap day 1900 lacks,
// two-digit years, days before the count starts, and impossible dates.
TEST(DayNumber, DaysOutsideTheGregorianCount) {
  initWorksheetDefaults();
  const double M = kMissingValueCode;
  struct Case {
    int day, month, year;
    double number;
  };
  const Case cases[] = {
      {28, 2, 1900, 60},
      {29, 2, 1900, 61},
      {31, 12, 99, 36525},
      {1, 1, 0, 1},
      {1, 7, 1500, 0},
      {31, 12, 1599, 0},
      // The first day of the count is returned as it is; the next ones are
      // shifted like every other day.
      {1, 3, 1600, 1},
      {2, 3, 1600, -109511},
      {31, 4, 2000, M},
      {30, 2, 2000, M},
      {29, 2, 2001, M},
      {0, 1, 2000, M},
      {32, 1, 2000, M},
      {1, 0, 2000, M},
      {1, 13, 2000, M},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dayNumber(c.day, c.month, c.year), c.number)
        << c.day << "." << c.month << "." << c.year;
  }
}

// Both directions agree with the Gregorian calendar for every day from
// 1 March 1600 to the end of 2199: serial day s is s days after 30 December
// 1899 from 1 March 1900 on, and s days after 31 December 1899 before.
TEST(Calendar, EveryDayAgreesWithTheGregorianCalendar) {
  using namespace std::chrono;
  initWorksheetDefaults();
  for (int serial = -109511; serial <= 109574; ++serial) {
    if (serial == 60) continue;  // the day that does not exist
    const year_month_day expected{sys_days{year{1899} / December / (serial > 60 ? 30 : 31)} +
                                  days{serial}};
    const int y = static_cast<int>(expected.year());
    const int m = static_cast<int>(static_cast<unsigned>(expected.month()));
    const int d = static_cast<int>(static_cast<unsigned>(expected.day()));
    const CalendarDate date = calendarDate(serial, 0);
    ASSERT_EQ(std::tuple(date.fullYear(), date.month, date.day), std::tuple(y, m, d)) << serial;
    // 28 February 1900 is written for serial 59 but read as 60.
    ASSERT_EQ(dayNumber(d, m, y), serial == 59 ? 60 : serial) << serial;
  }
}

TEST(ParseNumber, LookAlikesAndLimits) {
  const double M = kMissingValueCode;
  const std::pair<const char*, double> cases[] = {
      {"l,5", 1.5},
      {"$12", 12},
      {"O", 0},
      {"abc", M},
      {"2e38", 9.99999E+37},
      {"9.99999e37", 9.99999E+37},
      {"1e400", M},
      {"-1e400", M},
      {"1e-400", M},
      {"-2e37", M},
      {"  42 apples", 42},
      {"(3.5)", 3.5},
      {"-7.25", -7.25},
      {"+8", 8},
      {"S0", 20},
      {"1O0%", 100},
      {"I.Z", 1.2},
      {"12:30", 12.3},
      {"@", 0},
      {".5", 0.5},
      {"5.", 5},
      {"1.5e", 1.5},
      {"0x1A", 0},
      {"nan", M},
      {"-", M},
      {".", M},
      {"", M},
      {"   ", M},
  };
  for (auto [text, value] : cases) EXPECT_EQ(parseNumber(text, M), value) << '"' << text << '"';
  EXPECT_EQ(parseNumber("junk", 0.0), 0.0);
}

TEST(ParseTimestamp, DatesAndTimes) {
  initWorksheetDefaults();
  const double fallback = -123;
  const std::pair<const char*, double> cases[] = {
      {"2001-02-03 04:05:06", 36925 + (4 + (5 + 6 / 60.0) / 60) / 24},
      {"2001-02-03", 36925},
      {"2001-12-25", 37250},
      {"2001-12-25 12", 37250.5},
      {"2001-12-25 18:00", 37250.75},
      {"2001-12-25 00:00:30.5", 37250 + 30.5 / 86400},
      {"1900-02-28 00:00:00", 60},
      // Each field is read as std::atoi reads it: blanks, a sign, digits.
      {"2001-12- 5", 37230 + 5 / 24.0},  // the blank also starts the time
      {"2001-1x-+5", 36896},
      {"2001-12-05 -6", 37230 - 0.25},
      {"*", fallback},
      {"*2001-02-03", fallback},
      {"", fallback},
      {"2001-02-30 10:00:00", fallback},
      {"2001", fallback},
      {"abcd-ef-gh", fallback},
      // Seconds that are no finite number count as none (found by the fuzz
      // target: strtod reads them, and the day number became infinite).
      {"2001-12-25 12:00:inf", 37250.5},
      {"2001-12-25 12:00:-infinity", 37250.5},
      {"2001-12-25 12:00:nan", 37250.5},
      {"2001-12-25 12:00:1e400", 37250.5},
      {"2001-12-25 12:00:-1e400", 37250.5},
  };
  for (auto [text, value] : cases) EXPECT_DOUBLE_EQ(parseTimestamp(text, fallback), value) << text;
}

// The standard forms are read straight from their digits; the bits must be
// those of the general reading, which a trailing ".0" (seconds) or blank
// (dates) sends the same text through.
TEST(ParseTimestamp, StandardFormsGiveTheBitsOfTheGeneralReading) {
  initWorksheetDefaults();
  std::mt19937 random(7);
  auto pick = [&](unsigned range) { return static_cast<unsigned>(random() % range); };
  for (int i = 0; i < 20000; ++i) {
    char date[16];
    char stamp[32];
    std::snprintf(date, sizeof date, "%04u-%02u-%02u", 1800 + pick(300), 1 + pick(13), pick(33));
    std::snprintf(stamp, sizeof stamp, "%s %02u:%02u:%02u", date, pick(25), pick(61), pick(61));
    const std::string longerStamp = std::string(stamp) + ".0";
    const std::string longerDate = std::string(date) + " ";
    ASSERT_EQ(std::bit_cast<std::uint64_t>(parseTimestamp(stamp, -1)),
              std::bit_cast<std::uint64_t>(parseTimestamp(longerStamp, -1)))
        << stamp;
    ASSERT_EQ(std::bit_cast<std::uint64_t>(parseTimestamp(date, -1)),
              std::bit_cast<std::uint64_t>(parseTimestamp(longerDate, -1)))
        << date;
  }
}

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
      {1, "09/04/2001", "23/11/05"},
      {2, "09/04/2001", "23/11/1905"},
      {3, "9/4/2001", "23/11/05"},
      {4, "9/4/2001", "23/11/1905"},
      {5, "09042001", "231105"},
      {6, "09042001", "23111905"},
      {7, "09Apr2001", "23Nov05"},
      {8, "09Apr2001", "23Nov1905"},
      {9, "09-Apr-2001", "23-Nov-05"},
      {10, "09-Apr-2001", "23-Nov-1905"},
      {11, "9Apr2001", "23Nov05"},
      {12, "9Apr2001", "23Nov1905"},
      {13, "9-Apr-2001", "23-Nov-05"},
      {14, "9-Apr-2001", "23-Nov-1905"},
      {15, "9-April-2001", "23-November-05"},
      {16, "9-April-2001", "23-November-1905"},
      {17, "20010409", "051123"},
      {18, "20010409", "19051123"},
      {19, "2001/04/09", "05/11/23"},
      {20, "2001/04/09", "1905/11/23"},
      {21, "04092001", "112305"},
      {22, "04092001", "11231905"},
      {23, "04/09/2001", "11/23/05"},
      {24, "04/09/2001", "11/23/1905"},
      {27, "2001-04-09", "1905-11-23"},
      // Codes without a layout of their own write like code 1.
      {25, "09/04/2001", "23/11/05"},
      {26, "09/04/2001", "23/11/05"},
      {28, "09/04/2001", "23/11/05"},
      {32, "09/04/2001", "23/11/05"},
      {0, "09/04/2001", "23/11/05"},
      {41, "09/04/2001", "23/11/05"},
      {-7, "09/04/2001", "23/11/05"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateText(k9April2001, c.layout), c.in2001) << "layout " << c.layout;
    EXPECT_EQ(dateText(k23November1905, c.layout), c.in1905) << "layout " << c.layout;
  }
}

TEST(FormatDateTime, SerialDaysDayCountsAndTimes) {
  const double tiny = 1.0 / 1024;   // 00:01:24.375 exactly; every step truncates
  const double afternoon = 0.5625;  // 13:30:00
  struct Case {
    double value;
    std::int32_t layout;
    std::uint16_t option;
    const char* text;
  };
  const Case cases[] = {
      // Serial days the calendar check above does not reach, and fractions
      // of a day, which count down to the whole day.
      {60, 27, 0, "1900-02-28"},
      {-109512, 27, 0, "1600-03-01"},
      {37250.99, 27, 0, "2001-12-25"},
      {-0.5, 27, 0, "1899-12-30"},
      {1, 2, 0, "01/01/1900"},
      {1, 1, 0, "01/01/00"},
      {36526, 1, 0, "01/01/2000"},
      {36526, 2, 0, "01/01/2000"},
      // The plain day count from 1 March 1600.
      {1, 27, 1, "1600-03-01"},
      {0, 27, 1, "1600-02-29"},
      {109514, 27, 1, "1900-01-01"},
      {109514, 1, 1, "01/01/00"},
      // Times.
      {k23November1905 + tiny, 33, 0, "23/11/05 00:01:24.37"},
      {k9April2001 + tiny, 33, 0, "09/04/2001 00:01:24.37"},
      {k23November1905 + tiny, 34, 0, "1905-11-23 00:01:24"},
      {37000.4375, 34, 0, "2001-04-19 10:30:00"},
      {k23November1905 + tiny, 35, 0, "23-November-1905 0:01:24 am"},
      {k23November1905 + afternoon, 35, 0, "23-Nov-1905 1:30:00 pm"},
      {k9April2001 + 0.5, 35, 0, "9-April-2001 12:00:00 am"},
      {k9April2001 + afternoon, 36, 0, "13:30:00"},
      {k9April2001 + tiny, 36, 0, " 0:01:24"},
      {k9April2001 + 0.75, 37, 0, " 6:00:00 pm"},
      {k9April2001 + 0.25, 37, 0, " 6:00:00 am"},
      {k9April2001 + 0.5, 37, 0, "12:00:00 am"},
      {1.5, 38, 0, "36:00:00"},
      {0.25, 38, 0, " 6:00:00"},
      {0.5, 39, 0, "43200.000"},
      {1.5, 40, 0, "1.5"},
      {-1.0E37, 38, 0, "*"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dateText(c.value, c.layout, c.option), c.text)
        << c.value << " layout " << c.layout << " option " << c.option;
    setDateOption(c.option);
    setDateFormat(c.layout);
    EXPECT_EQ(formattedLength(c.value, kFormatDateTime, -1, kMissingValueCode), std::strlen(c.text))
        << c.value << " layout " << c.layout;
    EXPECT_LE(std::strlen(c.text),
              formattedLengthBound(c.value, kFormatDateTime, -1, kMissingValueCode));
  }
  setDateOption(0);
  setDateFormat(1);
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
      setDateFormat(layout);
      EXPECT_EQ(formattedLength(value, kFormatDateTime, -1, kMissingValueCode),
                dateText(value, layout).size())
          << value << " " << layout;
    }
  }
  setDateFormat(1);
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
      {123.456, 1, 5, "123.46"},
      {123.456, 1, 2, "123.456"},
      {123.456, 1, -1, "123.456"},
      {123.456, 1, 0, "123.456"},
      {0.5, 1, 3, "0.5"},
      {0.001234567, 1, 3, "0.00123"},
      {-0.001234567, 1, 3, "-0.00123"},
      {1234567, 1, 3, "1.23457e+06"},
      {1e-13, 1, 5, "1e-13"},
      {2e12, 1, 15, "2e+12"},
      {0, 1, 5, "0"},
      {9.99999E+37, 1, -1, "9.99999e+37"},
      // Exponent, fixed, and the text kind and kinds never produced.
      {1234.5, 2, 2, "1.23e+03"},
      {1234.5, 2, 0, "1.234500e+03"},
      {1234.5, 2, -1, "1.234500e+03"},
      {2.75, 3, -1, "2.750000"},
      {2.75, 3, 0, "3"},
      {2.75, 3, 1, "2.8"},
      {17, 3, 0, "17"},
      {1234567, 4, 2, "1.23457e+06"},
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
  std::vector<double> values = {0.0,
                                -0.0,
                                0.5,
                                2.5,
                                0.125,
                                1e-5,
                                123456.5,
                                999999.5,
                                1e15,
                                -1e-300,
                                9.99999E+37,
                                -1e36,
                                1e300,
                                5e-324,
                                std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN()};
  for (int i = 0; i < 3000; ++i) {
    const auto bits = random();
    // Any bit pattern, eighths near zero, or whole numbers scaled far down.
    const double eighths = static_cast<double>(static_cast<std::int64_t>(bits % 2000001)) / 8;
    const double scaled = std::ldexp(static_cast<double>(bits >> 11), int(bits % 120) - 110);
    values.push_back(i % 3 == 0   ? eighths - 125000
                     : i % 3 == 1 ? scaled
                                  : std::bit_cast<double>(bits));
  }
  for (double value : values) {
    if (value <= kMissingValueCode) continue;  // "*", tested above
    for (std::int32_t kind : {1, 2, 3, 4}) {
      for (std::int32_t decimals : {-1, 0, 1, 2, 6, 12, 17, 45}) {
        ASSERT_EQ(valueText(value, kind, decimals), printfText(value, kind, decimals))
            << value << " kind " << kind << " decimals " << decimals;
        ASSERT_EQ(formattedLength(value, kind, decimals, kMissingValueCode),
                  valueText(value, kind, decimals).size())
            << value << " " << kind;
        ASSERT_LE(valueText(value, kind, decimals).size(),
                  formattedLengthBound(value, kind, decimals, kMissingValueCode));
      }
    }
  }
}

}  // namespace
}  // namespace vodbc
