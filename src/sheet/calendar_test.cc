#include "sheet/calendar.h"

#include <gtest/gtest.h>

#include <chrono>

#include "sheet/column_type.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

constexpr double kMissing = -9.999999999999998E36;

TEST(DayNumber, SerialDaysWithTheStatisticsPackagesLeapDay) {
  initWorksheetDefaults();
  struct Case {
    int day, month, year;
    double number;
  };
  const Case cases[] = {
      {1, 1, 1900, 1},       {27, 2, 1900, 58},      {28, 2, 1900, 60},
      {29, 2, 1900, 61},     {1, 3, 1900, 61},       {2, 3, 1900, 62},
      {31, 12, 99, 36525},   {31, 12, 1999, 36525},  {1, 1, 2000, 36526},
      {29, 2, 2000, 36585},  {1, 1, 0, 1},           {25, 12, 2001, 37250},
      {1, 3, 2100, 73110},   {1, 7, 1500, 0},        {31, 12, 1599, 0},
      // The first day of the count is returned as it is, the next ones are
      // shifted like every other day.
      {1, 3, 1600, 1},       {2, 3, 1600, -109511},  {31, 4, 2000, kMissing}, {30, 2, 2000, kMissing},
      {29, 2, 2001, kMissing}, {0, 1, 2000, kMissing}, {32, 1, 2000, kMissing},
      {1, 0, 2000, kMissing},  {1, 13, 2000, kMissing},
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
  const sys_days lateBase{year{1899} / December / 30};
  const sys_days earlyBase{year{1899} / December / 31};
  for (int serial = -109511; serial <= 109574; ++serial) {
    if (serial == 60) continue;  // the day that does not exist
    const year_month_day expected{serial > 60 ? lateBase + days{serial}
                                              : earlyBase + days{serial}};
    const int y = static_cast<int>(expected.year());
    const int m = static_cast<int>(static_cast<unsigned>(expected.month()));
    const int d = static_cast<int>(static_cast<unsigned>(expected.day()));

    const CalendarDate date = calendarDate(serial, 0);
    ASSERT_EQ(date.fullYear(), y) << serial;
    ASSERT_EQ(date.month, m) << serial;
    ASSERT_EQ(date.day, d) << serial;
    // 28 February 1900 is written for serial 59 but read as 60 (see the
    // table above); every other day reads back as itself.
    if (serial != 59) {
      ASSERT_EQ(dayNumber(d, m, y), serial) << serial;
    }
  }
}

TEST(Calendar, TimeOfDayTruncatesEveryStep) {
  const TimeOfDay time = timeOfDay(1.0 / 1024);  // 84.375 seconds exactly
  EXPECT_EQ(time.hours, 0);
  EXPECT_EQ(time.minutes, 1);
  EXPECT_EQ(time.seconds, 24);
  EXPECT_EQ(time.hundredths, 37);
  const TimeOfDay evening = timeOfDay(0.75);
  EXPECT_EQ(evening.hours, 18);
  EXPECT_EQ(evening.minutes, 0);
}

}  // namespace
}  // namespace vodbc
