// The text form of values: numbers by the column's formatKind and decimals,
// dates and times in one of 40 numbered layouts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vodbc {

// formatKind codes: how a column's values become text.
constexpr std::int32_t kFormatPlain = 1;      // general number
constexpr std::int32_t kFormatExponent = 2;   // exponent
constexpr std::int32_t kFormatRowNumber = 3;  // fixed point, as "Row" uses it
constexpr std::int32_t kFormatText = 4;       // text or labels ("%g" for numbers)
constexpr std::int32_t kFormatDateTime = 5;   // date and time

// Every text formatValue produces fits a buffer of this size.
constexpr std::size_t kValueTextSize = 81;

// Writes the text of `value` into `out` (kValueTextSize bytes). A value <=
// missingValue gives "*". formatKind 1 general ("%g", or `decimals`
// significant digits once they exceed the digits before the point), 2
// exponent, 3 fixed, 4 "%g", 5 date and time with the program-wide date
// state (setDateOption, setDateFormat). Other kinds format like 1.
void formatValue(char* out, double value, std::int32_t formatKind, std::int32_t decimals,
                 double missingValue);

// The length of the text formatValue writes for the same arguments, worked
// out without writing it where that is cheaper (the display-width pass
// measures every value of a column).
std::size_t formattedLength(double value, std::int32_t formatKind, std::int32_t decimals,
                            double missingValue);

// A length the text of formatValue for the same arguments never exceeds,
// known without working out the text; often the exact length (always at
// least it). Layout 34 times from 1900 to 9999 are 19 characters.
std::size_t formattedLengthBound(double value, std::int32_t formatKind, std::int32_t decimals,
                                 double missingValue);

// Writes a date or time (a day number with the time of day as the fraction)
// in layout `dateFormat`. dateOption 0: 1 = 1 January 1900 (serial days,
// with the nonexistent 29 February 1900 as day 60); otherwise 1 = 1 March
// 1600. Layout codes without a layout (25, 26, 28..32, outside 1..40)
// format like code 1. Returns 0, writing nothing, when `out` is null; else 1.
int formatDateTime(char* out, double value, std::uint16_t dateOption, std::int32_t dateFormat,
                   double missingValue);

// The program-wide date state used by formatValue for formatKind 5. It keeps
// the values last set (0 and 1 at start); set both before formatting a
// column's dates.
void setDateOption(std::uint16_t dateOption);
void setDateFormat(std::int32_t dateFormat);
std::uint16_t dateOption();
std::int32_t dateFormat();

}  // namespace vodbc
