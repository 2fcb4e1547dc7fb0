#include "sheet/calendar.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "sheet/column_type.h"

namespace vodbc {
namespace {

constexpr int kMonthLengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool isImpossibleDate(int day, int month, int year) {
  if (day < 1 || day > 31 || month < 1 || month > 12) return true;
  if (day > kMonthLengths[month - 1]) return true;
  return month == 2 && day == 29 && year % 4 != 0;
}

std::int64_t truncTo64(double value) {
  constexpr double kLimit = 9.0e18;
  if (std::isnan(value)) return 0;
  if (value >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (value <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(value);
}

}  // namespace

long truncToLong(double value) { return static_cast<long>(truncTo64(value)); }

double dayNumber(int day, int month, int year) {
  if (isImpossibleDate(day, month, year)) return programMissingValue();
  std::int64_t century;
  std::int64_t y;
  if (year < 100) {
    century = 3;
    y = year;
  } else {
    century = year / 100 - 16;
    y = year % 100;
  }
  if (century < 0) return 0;
  std::int64_t m = month - 3;
  if (m < 0) {
    m += 12;
    y -= 1;
    if (y < 0) {
      y += 100;
      century -= 1;
    }
  }
  std::int64_t n = static_cast<std::int64_t>(std::floor(36524.25 * century + 0.1)) +
                   static_cast<std::int64_t>(std::floor(30.6 * m + 0.5)) +
                   static_cast<std::int64_t>(std::floor(365.25 * y + 0.1)) + day;
  if (n <= 1) return static_cast<double>(n);
  n -= static_cast<std::int64_t>(kSerialDayOffset);
  if (n < 60) n -= 1;
  return static_cast<double>(n);
}

CalendarDate calendarDate(double wholeDays, std::uint16_t dateOption) {
  // Counts beyond a few billion years have no meaningful date; keeping them
  // within bounds keeps the arithmetic below from overflowing.
  constexpr double kFarthestDay = 1e12;
  double d = std::clamp(wholeDays, -kFarthestDay, kFarthestDay);
  if (dateOption == 0) {
    if (d < 60) d += 1;
    d += kSerialDayOffset;
  }
  std::int64_t c = truncTo64((d + 0.1) * 2.7379070069885075e-05);
  const double d1 = d - std::floor(static_cast<double>(c) * 36524.25 + 0.1);
  std::int64_t y = truncTo64((d1 + 0.1) * 0.0027378507871321013);
  const double d2 = d1 - std::floor(static_cast<double>(y) * 365.25 + 0.1);
  std::int64_t m = truncTo64((d2 - 0.5) * 0.032679738562091505);
  std::int64_t day = truncTo64(d2 - std::floor(static_cast<double>(m) * 30.6 + 0.5));
  m += 3;
  c += 16;
  if (m > 12) {
    y += 1;
    m -= 12;
  }
  if (y > 99) {
    c += 1;
    y -= 100;
  }
  if (day < 1) {
    m -= 1;
    day += 29;
  }
  // Counts far outside the calendar give no meaningful date; keep the month
  // usable as a table index all the same.
  if (m < 1 || m > 12) m = 1;
  return {c, y, m, day};
}

TimeOfDay timeOfDay(double fraction) {
  TimeOfDay time;
  double f = fraction * 24.0;
  time.hours = truncTo64(f);
  f = (f - static_cast<double>(time.hours)) * 60.0;
  time.minutes = truncTo64(f);
  f = (f - static_cast<double>(time.minutes)) * 60.0;
  time.seconds = truncTo64(f);
  time.hundredths = truncTo64((f - static_cast<double>(time.seconds)) * 100.0);
  return time;
}

}  // namespace vodbc
