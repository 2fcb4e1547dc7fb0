#include "sheet/value_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sheet/calendar.h"
#include "sheet/number_text.h"

namespace vodbc {
namespace {

std::uint16_t currentDateOption = 0;
std::int32_t currentDateFormat = 1;

constexpr const char* kMonthNames[13] = {"***",     "January",  "February", "March",  "April",
                                         "May",     "June",     "July",     "August", "September",
                                         "October", "November", "December"};
constexpr const char* kMonthAbbrevs[13] = {"***", "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The printf format of a layout code, and the order of its date fields.
enum class FieldOrder { DayMonthYear, YearMonthDay, MonthDayYear };
enum class MonthStyle { Number, Abbreviation, FullName };

struct DateLayout {
  const char* format;
  FieldOrder order;
  MonthStyle month;
  bool fourDigitYear;
};

// Layouts of codes 1 to 27; the entries of 25 and 26 are never used.
constexpr DateLayout kDateLayouts[] = {
    {"%02li/%02li/%02li", FieldOrder::DayMonthYear, MonthStyle::Number, false},
    {"%02li/%02li/%02li", FieldOrder::DayMonthYear, MonthStyle::Number, true},
    {"%li/%li/%02li", FieldOrder::DayMonthYear, MonthStyle::Number, false},
    {"%li/%li/%02li", FieldOrder::DayMonthYear, MonthStyle::Number, true},
    {"%02li%02li%02li", FieldOrder::DayMonthYear, MonthStyle::Number, false},
    {"%02li%02li%02li", FieldOrder::DayMonthYear, MonthStyle::Number, true},
    {"%02li%s%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, false},
    {"%02li%s%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, true},
    {"%02li-%3s-%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, false},
    {"%02li-%3s-%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, true},
    {"%li%3s%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, false},
    {"%li%3s%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, true},
    {"%li-%3s-%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, false},
    {"%li-%3s-%02li", FieldOrder::DayMonthYear, MonthStyle::Abbreviation, true},
    {"%li-%s-%02li", FieldOrder::DayMonthYear, MonthStyle::FullName, false},
    {"%li-%s-%02li", FieldOrder::DayMonthYear, MonthStyle::FullName, true},
    {"%02li%02li%02li", FieldOrder::YearMonthDay, MonthStyle::Number, false},
    {"%02li%02li%02li", FieldOrder::YearMonthDay, MonthStyle::Number, true},
    {"%02li/%02li/%02li", FieldOrder::YearMonthDay, MonthStyle::Number, false},
    {"%02li/%02li/%02li", FieldOrder::YearMonthDay, MonthStyle::Number, true},
    {"%02li%02li%02li", FieldOrder::MonthDayYear, MonthStyle::Number, false},
    {"%02li%02li%02li", FieldOrder::MonthDayYear, MonthStyle::Number, true},
    {"%02li/%02li/%02li", FieldOrder::MonthDayYear, MonthStyle::Number, false},
    {"%02li/%02li/%02li", FieldOrder::MonthDayYear, MonthStyle::Number, true},
    {nullptr, FieldOrder::DayMonthYear, MonthStyle::Number, false},
    {nullptr, FieldOrder::DayMonthYear, MonthStyle::Number, false},
    {"%04li-%02li-%02li", FieldOrder::YearMonthDay, MonthStyle::Number, true},
};
constexpr int kLastTableCode = 27;

const DateLayout& layoutOf(std::int32_t code) {
  if (code >= 1 && code <= kLastTableCode && kDateLayouts[code - 1].format != nullptr) {
    return kDateLayouts[code - 1];
  }
  return kDateLayouts[0];  // codes without a layout of their own
}

void writeDate(char* out, const CalendarDate& date, const DateLayout& layout) {
  const long year = layout.fourDigitYear ? date.fullYear() : date.shownYear();
  const long month = date.month;
  const long day = date.day;
  if (layout.month != MonthStyle::Number) {
    const char* name =
        layout.month == MonthStyle::FullName ? kMonthNames[month] : kMonthAbbrevs[month];
    std::snprintf(out, kValueTextSize, layout.format, day, name, year);
    return;
  }
  switch (layout.order) {
    case FieldOrder::DayMonthYear:
      std::snprintf(out, kValueTextSize, layout.format, day, month, year);
      break;
    case FieldOrder::YearMonthDay:
      std::snprintf(out, kValueTextSize, layout.format, year, month, day);
      break;
    case FieldOrder::MonthDayYear:
      std::snprintf(out, kValueTextSize, layout.format, month, day, year);
      break;
  }
}

void writeDateTime(char* out, double value, const CalendarDate& date, const TimeOfDay& time,
                   std::int32_t code) {
  const long h = time.hours;
  const long mi = time.minutes;
  const long s = time.seconds;
  switch (code) {
    case 33:
      std::snprintf(out, kValueTextSize, "%02li/%02li/%02li %02li:%02li:%02li.%02li",
                    static_cast<long>(date.day), static_cast<long>(date.month), date.shownYear(), h,
                    mi, s, static_cast<long>(time.hundredths));
      return;
    case 34:
      std::snprintf(out, kValueTextSize, "%04li-%02li-%02li %02li:%02li:%02li", date.fullYear(),
                    static_cast<long>(date.month), static_cast<long>(date.day), h, mi, s);
      return;
    case 35:
      // Afternoon times show the abbreviated month name: a quirk the
      // statistics package's users have long seen in their listings.
      if (h <= 12) {
        std::snprintf(out, kValueTextSize, "%li-%s-%li %li:%02li:%02li am",
                      static_cast<long>(date.day), kMonthNames[date.month], date.fullYear(), h, mi,
                      s);
      } else {
        std::snprintf(out, kValueTextSize, "%li-%s-%li %li:%02li:%02li pm",
                      static_cast<long>(date.day), kMonthAbbrevs[date.month], date.fullYear(),
                      h - 12, mi, s);
      }
      return;
    case 36:
      std::snprintf(out, kValueTextSize, "%2li:%02li:%02li", h, mi, s);
      return;
    case 37:
      // Noon is written "12:00:00 am".
      if (h <= 12) {
        std::snprintf(out, kValueTextSize, "%2li:%02li:%02li am", h, mi, s);
      } else {
        std::snprintf(out, kValueTextSize, "%2li:%02li:%02li pm", h - 12, mi, s);
      }
      return;
    case 38:
      std::snprintf(out, kValueTextSize, "%2li:%02li:%02li",
                    truncToLong(static_cast<double>(h) + 24.0 * std::trunc(value)), mi, s);
      return;
    case 39:
      std::snprintf(out, kValueTextSize, "%.3f", value * 86400.0);
      return;
    case 40:
      std::snprintf(out, kValueTextSize, "%g", value);
      return;
    default:
      writeDate(out, date, layoutOf(code));
  }
}

// The width printf gives a long with "%0<minimum>li": the sign counts
// toward the minimum.
std::size_t zeroPaddedWidth(long value, std::size_t minimum) {
  unsigned long rest =
      value < 0 ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
  std::size_t width = value < 0 ? 2 : 1;
  while (rest >= 10) {
    rest /= 10;
    ++width;
  }
  return std::max(width, minimum);
}

// The length of a date or time text. Layout 34, the one fetched timestamps
// get, is counted field by field; the others are written and measured.
std::size_t dateTimeLength(double value, std::uint16_t option, std::int32_t format) {
  const double wholeDays = std::floor(value);
  const TimeOfDay time = format >= 33 ? timeOfDay(value - wholeDays) : TimeOfDay{};
  const CalendarDate date = calendarDate(wholeDays, option);
  if (format == 34) {
    // "%04li-%02li-%02li %02li:%02li:%02li"
    const std::size_t length = zeroPaddedWidth(date.fullYear(), 4) +
                               zeroPaddedWidth(static_cast<long>(date.month), 2) +
                               zeroPaddedWidth(static_cast<long>(date.day), 2) +
                               zeroPaddedWidth(static_cast<long>(time.hours), 2) +
                               zeroPaddedWidth(static_cast<long>(time.minutes), 2) +
                               zeroPaddedWidth(static_cast<long>(time.seconds), 2) + 5;
    return std::min(length, kValueTextSize - 1);
  }
  char out[kValueTextSize];
  writeDateTime(out, value, date, time, format);
  return std::strlen(out);
}

}  // namespace

void setDateOption(std::uint16_t option) { currentDateOption = option; }
void setDateFormat(std::int32_t format) { currentDateFormat = format; }
std::uint16_t dateOption() { return currentDateOption; }
std::int32_t dateFormat() { return currentDateFormat; }

int formatDateTime(char* out, double value, std::uint16_t option, std::int32_t format,
                   double missingValue) {
  if (out == nullptr) return 0;
  if (value <= missingValue) {
    std::snprintf(out, kValueTextSize, "*");
    return 1;
  }
  const double wholeDays = std::floor(value);
  const TimeOfDay time = format >= 33 ? timeOfDay(value - wholeDays) : TimeOfDay{};
  const CalendarDate date = calendarDate(wholeDays, option);
  writeDateTime(out, value, date, time, format);
  return 1;
}

void formatValue(char* out, double value, std::int32_t formatKind, std::int32_t decimals,
                 double missingValue) {
  if (value <= missingValue) {
    std::snprintf(out, kValueTextSize, "*");
  } else if (formatKind == kFormatDateTime) {
    formatDateTime(out, value, currentDateOption, currentDateFormat, missingValue);
  } else {
    writeNumber(out, value, numberFormatFor(value, formatKind, decimals));
  }
}

std::size_t formattedLength(double value, std::int32_t formatKind, std::int32_t decimals,
                            double missingValue) {
  if (value <= missingValue) return 1;  // "*"
  if (formatKind == kFormatDateTime) {
    return dateTimeLength(value, currentDateOption, currentDateFormat);
  }
  return numberTextLength(value, numberFormatFor(value, formatKind, decimals));
}

std::size_t formattedLengthBound(double value, std::int32_t formatKind, std::int32_t decimals,
                                 double missingValue) {
  if (value <= missingValue) return 1;  // "*"
  if (formatKind == kFormatDateTime) {
    // Day 1 is 1 January 1900 and the day after 31 December 9999 is serial
    // day 2958466 (109512 more in the plain count): four-digit years, and
    // every other field of layout 34 has two digits.
    const double end = currentDateOption == 0 ? 2958466.0 : 2958466.0 + 109512.0;
    if (currentDateFormat == 34 && value >= 1.0 && value < end) return 19;
    return kValueTextSize - 1;
  }
  return numberTextLengthBound(value, numberFormatFor(value, formatKind, decimals));
}

}  // namespace vodbc
