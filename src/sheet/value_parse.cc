#include "sheet/value_parse.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

#include "sheet/column_storage.h"  // kTextValueWidth
#include "sheet/column_type.h"

namespace vodbc {
namespace {

// Typed and OCR'd numbers use look-alike letters and punctuation; each byte
// is read as the character it stands for.
char numberLookAlike(char c) {
  switch (c) {
    case '!':
    case '"':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '/':
    case '?':
    case '[':
    case ']':
      return ' ';
    case ',':
    case ':':
    case ';':
    case '<':
    case '>':
      return '.';
    case '@':
    case 'O':
    case 'o':
      return '0';
    case 'I':
    case 'L':
    case 'i':
    case 'l':
      return '1';
    case 'S':
    case 'Z':
    case 's':
    case 'z':
      return '2';
    default:
      return c;
  }
}

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The longest decimal floating-point prefix after white space, as the C
// library reads it, but without its hexadecimal, infinity and NaN forms,
// which no data source writes as a plain number. Sets `ok` to false when no
// number was read or it is out of range.
double readLeadingNumber(const std::string& text, bool& ok) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const bool startsNumber =
      i < text.size() &&
      (isDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && isDigit(text[i + 1])));
  if (!startsNumber) {
    ok = false;
    return 0;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                            std::chars_format::general);
  ok = error == std::errc() && end != text.data() + i;
  return negative ? -value : value;
}

// What std::atoi reads from a piece of text: white space, a sign, digits;
// 0 when there are none. Far too many digits stop at the int range.
int leadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t kLimit = std::numeric_limits<int>::max();
  for (; i < text.size() && isDigit(text[i]); ++i) {
    value = std::min(value * 10 + (text[i] - '0'), kLimit + 1);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<std::int64_t>(value, kLimit * -1 - 1, kLimit));
}

// What std::strtod reads from a piece of text of a timestamp, when that is
// a finite number; 0 otherwise. strtod also reads "inf", "nan" and numbers
// past the double range, and no such seconds may turn a day number into
// something that is no number: they count as none, as unreadable text does.
double leadingDecimal(std::string_view text) {
  char buffer[kTextValueWidth + 1];
  const std::size_t n = std::min(text.size(), sizeof buffer - 1);
  if (n > 0) std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  const double value = std::strtod(buffer, nullptr);
  return std::isfinite(value) ? value : 0;
}

std::string_view pieceOf(std::string_view text, std::size_t from,
                         std::size_t count = std::string_view::npos) {
  if (from >= text.size()) return {};
  return text.substr(from, count);
}

// The standard forms "yyyy-mm-dd" and "yyyy-mm-dd hh:mm:ss" (every
// timestamp a driver hands out as text) read straight from their digits,
// giving exactly what the general reading below gives them; nullopt for
// every other text.
std::optional<double> parseFixedTimestamp(std::string_view text, double fallback) {
  static constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != 10 && text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kShape[i] == 'd' ? !isDigit(text[i]) : text[i] != kShape[i]) return std::nullopt;
  }
  auto number = [&](std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const double days = dayNumber(number(8, 2), number(5, 2), number(0, 4));
  if (days == programMissingValue()) return fallback;
  if (text.size() == 10) return days;
  const double seconds = number(17, 2);
  return days + ((seconds / 60 + number(14, 2)) / 60 + number(11, 2)) / 24;
}

}  // namespace

double parseNumber(std::string_view text, double missing) {
  if (text.empty()) return missing;
  std::string rewritten(text);
  for (char& c : rewritten) c = numberLookAlike(c);
  bool ok = false;
  const double value = readLeadingNumber(rewritten, ok);
  if (!ok) return missing;
  if (value > kLargestValue) return kLargestValue;
  if (value < missing) return missing;
  return value;
}

double parseTimestamp(std::string_view text, double fallback) {
  if (text.empty() || text.front() == '*') return fallback;
  if (std::optional<double> fixed = parseFixedTimestamp(text, fallback)) return *fixed;
  const int year = leadingInteger(pieceOf(text, 0, 4));
  const int month = leadingInteger(pieceOf(text, 5, 2));
  const int day = leadingInteger(pieceOf(text, 8));

  int hour = 0;
  int minute = 0;
  double seconds = 0;
  const std::size_t blank = text.find(' ');
  if (blank != std::string_view::npos && blank != 0) {
    const std::string_view afterBlank = text.substr(blank + 1);
    hour = leadingInteger(afterBlank);
    const std::size_t colon = afterBlank.find(':');
    if (colon != std::string_view::npos && colon != 0) {
      const std::string_view afterColon = afterBlank.substr(colon + 1);
      minute = leadingInteger(afterColon);
      const std::size_t second = afterColon.find(':');
      if (second != std::string_view::npos && second != 0) {
        seconds = leadingDecimal(afterColon.substr(second + 1));
      }
    }
  }
  const double days = dayNumber(day, month, year);
  if (days == programMissingValue()) return fallback;
  return days + ((seconds / 60 + minute) / 60 + hour) / 24;
}

}  // namespace vodbc
