#include "sheet/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "sheet/value_format.h"

namespace vodbc {
namespace {

constexpr std::size_t kMaxText = kValueTextSize - 1;
// Larger precisions are rare enough to go through snprintf.
constexpr int kMaxFastPrecision = 40;
constexpr int kDefaultPrecision = 6;

std::chars_format charsFormatOf(NumberStyle style) {
  switch (style) {
    case NumberStyle::Exponent:
      return std::chars_format::scientific;
    case NumberStyle::Fixed:
      return std::chars_format::fixed;
    case NumberStyle::General:
      break;
  }
  return std::chars_format::general;
}

const char* printfFormatOf(NumberStyle style) {
  switch (style) {
    case NumberStyle::Exponent:
      return "%.*e";
    case NumberStyle::Fixed:
      return "%.*f";
    case NumberStyle::General:
      break;
  }
  return "%.*g";
}

constexpr double kPowersOfTen[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// "%g" writes a whole number below 10^precision as its plain digits.
bool isPlainWholeNumber(double value, NumberFormat format) {
  return format.style == NumberStyle::General && format.precision >= 1 && format.precision <= 15 &&
         std::fabs(value) < kPowersOfTen[format.precision] && value == std::trunc(value);
}

std::size_t decimalDigits(unsigned long long value) {
  std::size_t digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

// The length "%.<precision>g" gives, read off the shortest round-trip digits
// of a normal double, or 0 when those do not settle it. When the shortest
// form has at most `precision` (<= 15) digits it is the rounding of the
// exact value to that many digits: the exact value lies within half a unit
// in the last place of it, far closer than half a step of the 15th digit.
// Subnormals lack that precision ("5e-324" is 4.94066e-324) and are left out.
std::size_t shortestGeneralLength(double value, int precision) {
  if (precision < 1 || precision > 15 || !std::isfinite(value) ||
      std::fabs(value) < std::numeric_limits<double>::min()) {
    return 0;
  }
  char text[32];
  const char* end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  const char* at = text;
  const std::size_t sign = *at == '-' ? 1 : 0;
  at += sign;
  std::size_t digits = 0;
  for (; at < end && *at != 'e'; ++at) {
    if (*at != '.') ++digits;
  }
  if (at == end || digits > static_cast<std::size_t>(precision)) return 0;
  ++at;  // 'e'
  if (*at == '+') ++at;
  int exponent = 0;
  std::from_chars(at, end, exponent);
  if (exponent < -4 || exponent >= precision) {
    // d[.ddd]e+XX, at least two exponent digits.
    const std::size_t mantissa = digits == 1 ? 1 : digits + 1;
    return sign + mantissa + 2 +
           std::max<std::size_t>(2, decimalDigits(static_cast<unsigned>(std::abs(exponent))));
  }
  if (exponent >= 0) {
    const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
    return sign + whole + (digits > whole ? 1 + digits - whole : 0);
  }
  // 0.000ddd
  return sign + 2 + static_cast<std::size_t>(-exponent - 1) + digits;
}

}  // namespace

NumberFormat numberFormatFor(double value, std::int32_t formatKind, std::int32_t decimals) {
  switch (formatKind) {
    case 2:
      return {NumberStyle::Exponent, decimals > 0 ? decimals : kDefaultPrecision};
    case 3:
      return {NumberStyle::Fixed, decimals < 0 ? kDefaultPrecision : decimals};
    case 4:
      return {NumberStyle::General, kDefaultPrecision};
    default: {
      // Positive decimals count significant digits once they exceed the
      // digits before the point; tiny and huge numbers always use "%g".
      // Without positive decimals that is always "%g" (no logarithm needed).
      const double magnitude = std::fabs(value);
      if (decimals > 0 && magnitude > 1e-12 && magnitude < 1e12) {
        const long digits = static_cast<long>(std::log10(magnitude) + 1.0);
        if (std::labs(digits) < decimals) return {NumberStyle::General, decimals};
      }
      return {NumberStyle::General, kDefaultPrecision};
    }
  }
}

std::size_t writeNumber(char* out, double value, NumberFormat format) {
  if (isPlainWholeNumber(value, format)) {
    char* end = out;
    if (std::signbit(value)) *end++ = '-';
    end = std::to_chars(end, out + kMaxText, static_cast<long long>(std::fabs(value))).ptr;
    *end = '\0';
    return static_cast<std::size_t>(end - out);
  }
  if (std::isfinite(value) && format.precision <= kMaxFastPrecision) {
    // Room for a fixed-point double of the largest magnitude and precision.
    char text[std::numeric_limits<double>::max_exponent10 + kMaxFastPrecision + 8];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value,
                                            charsFormatOf(format.style), format.precision);
    if (error == std::errc()) {
      const std::size_t length = std::min(static_cast<std::size_t>(end - text), kMaxText);
      std::memcpy(out, text, length);
      out[length] = '\0';
      return length;
    }
  }
  const int written =
      std::snprintf(out, kValueTextSize, printfFormatOf(format.style), format.precision, value);
  return written < 0 ? 0 : std::min(static_cast<std::size_t>(written), kMaxText);
}

std::size_t numberTextLength(double value, NumberFormat format) {
  if (isPlainWholeNumber(value, format)) {
    return (std::signbit(value) ? 1 : 0) +
           decimalDigits(static_cast<unsigned long long>(std::fabs(value)));
  }
  if (format.style == NumberStyle::General) {
    const std::size_t length = shortestGeneralLength(value, format.precision);
    if (length != 0) return length;
  }
  char text[kValueTextSize];
  return writeNumber(text, value, format);
}

std::size_t numberTextLengthBound(double value, NumberFormat format) {
  const double magnitude = std::fabs(value);
  if (format.style == NumberStyle::General && format.precision >= 1 && format.precision <= 15 &&
      magnitude >= 1 && magnitude < kPowersOfTen[format.precision]) {
    const std::size_t digits = static_cast<std::size_t>(format.precision);
    return (std::signbit(value) ? 1 : 0) + std::max<std::size_t>(digits + 1, 5);
  }
  return kMaxText;
}

}  // namespace vodbc
