// Day numbers and the calendar. Dates and times are doubles: whole days plus
// the time of day as the fraction. Two day counts exist: serial days (1 = 1
// January 1900, day 60 standing for the nonexistent 29 February 1900, as the
// statistics package and spreadsheets count) and a plain count with 1 = 1
// March 1600. Serial day s is plain day s + 109512 from day 60 on, and
// s + 109513 below it (so serial days 59 and 60 are the same date).
#pragma once

#include <cstdint>

namespace vodbc {

// Day number of a calendar date: 1 = 1 January 1900, 28 February 1900 = 60,
// 29 February 1900 accepted as 61 like 1 March 1900. A year below 100 means
// 1900 + year. Impossible dates (day outside 1..31 or beyond the month,
// month outside 1..12, 29 February when year % 4 != 0) give the program-wide
// missing-value code; years before 1600 give 0. Dates before 1 March 1600
// are not meaningful.
double dayNumber(int day, int month, int year);

// Days between the plain count (1 = 1 March 1600) and serial days.
constexpr double kSerialDayOffset = 109512.0;

struct CalendarDate {
  std::int64_t century;        // c: 16 for the 1600s, 19 for the 1900s
  std::int64_t yearInCentury;  // y: 0..99
  std::int64_t month;          // 1..12
  std::int64_t day;            // 1..31
  // The year as most layouts print it: two digits in the 1900s.
  long shownYear() const {
    return static_cast<long>(century == 19 ? yearInCentury : century * 100 + yearInCentury);
  }
  // The year with four digits always.
  long fullYear() const { return static_cast<long>(century * 100 + yearInCentury); }
};

// The date of a whole day count: serial days when dateOption is 0 (serial
// days 59 and 60 both give 28 February 1900), else the plain count. For
// every count from 1 on (after the serial shift) this is the Gregorian date.
CalendarDate calendarDate(double wholeDays, std::uint16_t dateOption);

struct TimeOfDay {
  std::int64_t hours = 0;
  std::int64_t minutes = 0;
  std::int64_t seconds = 0;
  std::int64_t hundredths = 0;
};

// Hours, minutes, seconds and hundredths of a day fraction; every step
// truncates, nothing is rounded.
TimeOfDay timeOfDay(double fraction);

// Truncation toward zero that saturates instead of overflowing.
long truncToLong(double value);

}  // namespace vodbc
