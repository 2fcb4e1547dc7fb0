#include "sheet/calendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <tuple>

#include "sheet/column_type.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

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
      {28, 2, 1900, 60}, {29, 2, 1900, 61}, {31, 12, 99, 36525}, {1, 1, 0, 1},
      {1, 7, 1500, 0},   {31, 12, 1599, 0},
      // The first day of the count is returned as it is; the next ones are
      // shifted like every other day.
      {1, 3, 1600, 1},   {2, 3, 1600, -109511},
      {31, 4, 2000, M},  {30, 2, 2000, M},  {29, 2, 2001, M},  {0, 1, 2000, M},
      {32, 1, 2000, M},  {1, 0, 2000, M},   {1, 13, 2000, M},
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

TEST(Calendar, TimeOfDayTruncatesEveryStep) {
  const TimeOfDay time = timeOfDay(1.0 / 1024);  // 84.375 seconds exactly
  EXPECT_EQ(std::tuple(time.hours, time.minutes, time.seconds, time.hundredths),
            std::tuple(0, 1, 24, 37));
  const TimeOfDay evening = timeOfDay(0.75);
  EXPECT_EQ(std::tuple(evening.hours, evening.minutes), std::tuple(18, 0));
}

}  // namespace
}  // namespace vodbc
