#include "sheet/number_text.h"

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

// "%g" writes a whole number below 10^precision as its plain digits.
bool isPlainWholeNumber(double value, NumberFormat format) {
  constexpr double kPowersOfTen[] = {1,   1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  return format.style == NumberStyle::General && format.precision >= 1 &&
         format.precision <= 15 && std::fabs(value) < kPowersOfTen[format.precision] &&
         value == std::trunc(value);
}

}  // namespace

NumberFormat numberFormatFor(double value, std::int32_t formatKind,
                             std::int32_t decimals) {
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
    end = std::to_chars(end, out + kMaxText,
                        static_cast<long long>(std::fabs(value))).ptr;
    *end = '\0';
    return static_cast<std::size_t>(end - out);
  }
  if (std::isfinite(value) && format.precision <= kMaxFastPrecision) {
    // Room for a fixed-point double of the largest magnitude and precision.
    char text[std::numeric_limits<double>::max_exponent10 + kMaxFastPrecision + 8];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value,
                                            charsFormatOf(format.style),
                                            format.precision);
    if (error == std::errc()) {
      const std::size_t length =
          std::min(static_cast<std::size_t>(end - text), kMaxText);
      std::memcpy(out, text, length);
      out[length] = '\0';
      return length;
    }
  }
  const int written = std::snprintf(out, kValueTextSize, printfFormatOf(format.style),
                                    format.precision, value);
  return written < 0 ? 0 : std::min(static_cast<std::size_t>(written), kMaxText);
}

}  // namespace vodbc
