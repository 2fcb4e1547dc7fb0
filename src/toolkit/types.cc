#include "toolkit/types.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace toolkit {

Rect Rect::fromPosition(int left, int top, int width, int height) {
  Rect r;
  r.top = static_cast<std::int16_t>(top);
  r.left = static_cast<std::int16_t>(left);
  r.bottom = static_cast<std::int16_t>(top + height);
  r.right = static_cast<std::int16_t>(left + width);
  return r;
}

namespace {

bool readInt(std::string_view s, int& out) {
  if (s.empty()) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size();
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
  if (needle.size() > haystack.size()) return false;
  for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
    bool same = true;
    for (std::size_t j = 0; j < needle.size() && same; ++j) {
      same = std::tolower(static_cast<unsigned char>(haystack[i + j])) ==
             std::tolower(static_cast<unsigned char>(needle[j]));
    }
    if (same) return true;
  }
  return false;
}

}  // namespace

std::optional<Font> parseFontDescription(std::string_view description) {
  // Fields are separated by backslashes: version, family, style, size, and
  // whatever native data follows.
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (start <= description.size()) {
    std::size_t end = description.find('\\', start);
    if (end == std::string_view::npos) end = description.size();
    fields.push_back(description.substr(start, end - start));
    start = end + 1;
  }
  if (fields.size() < 4 || fields[0] != "01" || fields[1].empty()) {
    return std::nullopt;
  }
  int style = 0;
  int points = 0;
  if (!readInt(fields[2], style) || !readInt(fields[3], points) || style < 0 || points <= 0) {
    return std::nullopt;
  }
  Font font;
  font.family = std::string(fields[1]);
  font.serif =
      containsIgnoringCase(font.family, "times") ||
      (containsIgnoringCase(font.family, "serif") && !containsIgnoringCase(font.family, "sans"));
  font.bold = (style & 1) != 0;
  font.italic = (style & 2) != 0;
  font.underline = (style & 4) != 0;
  font.points = points;
  return font;
}

}  // namespace toolkit
