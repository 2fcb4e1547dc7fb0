#include "sheet/names.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

bool isAllowedInName(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '%' ||
         c == '_' || c == '[' || c == ']';
}

bool needsPrefix(char c) { return (c >= '0' && c <= '9') || c == '[' || c == ']' || c == '_'; }

void collapseUnderscores(char* name) {
  char* out = name;
  for (const char* in = name; *in != '\0'; ++in) {
    if (*in == '_' && out != name && out[-1] == '_') continue;
    *out++ = *in;
  }
  *out = '\0';
}

void eraseAt(char* name, std::size_t at, std::size_t count) {
  std::memmove(name + at, name + at + count, std::strlen(name + at + count) + 1);
}

// A name has at most one bracketed part, at its end; only the first '[' and
// the first ']' are looked at.
void settleBrackets(char* name) {
  char* open = std::strchr(name, '[');
  char* close = std::strchr(name, ']');
  const std::size_t length = std::strlen(name);
  if (open != nullptr && close == nullptr) {
    if (length < static_cast<std::size_t>(kNameLength)) {
      name[length] = ']';
      name[length + 1] = '\0';
    } else {
      *open = '_';
    }
  } else if (open == nullptr && close != nullptr) {
    *close = '_';
  } else if (open != nullptr) {
    if (open - close == 1 || close - open == 1) {
      eraseAt(name, static_cast<std::size_t>(std::min(open, close) - name), 2);
      return;
    }
    if (close < open) std::swap(*open, *close);
    std::max(open, close)[1] = '\0';
  }
}

}  // namespace

void normaliseBlanks(char* dest, const char* src, std::int64_t max) {
  const std::int64_t length =
      std::min<std::int64_t>(static_cast<std::int64_t>(std::strlen(src)), max);
  std::int64_t begin = 0;
  std::int64_t end = length;
  while (end > 0 && src[end - 1] == ' ') --end;
  while (begin < end && src[begin] == ' ') ++begin;
  // dest may be src: writing never overtakes reading.
  char* out = dest;
  bool afterBlank = false;
  for (std::int64_t i = begin; i < end; ++i) {
    const bool blank = src[i] == ' ';
    if (!(blank && afterBlank)) *out++ = src[i];
    afterBlank = blank;
  }
  *out = '\0';
}

void sanitiseName(char* name) {
  if (name == nullptr) return;
  normaliseBlanks(name, name, kNameLength);
  if (name[0] == '\0') {
    defaultName(name, 0);
    return;
  }
  const bool prefixed = needsPrefix(name[0]);
  name[kNameLength] = '\0';
  for (char* c = name; *c != '\0'; ++c) {
    if (!isAllowedInName(static_cast<unsigned char>(*c))) *c = '_';
  }
  if (prefixed) {
    const std::size_t kept = std::min<std::size_t>(std::strlen(name), kNameLength - 1);
    std::memmove(name + 1, name, kept);
    name[0] = '%';
    name[kept + 1] = '\0';
  }
  collapseUnderscores(name);
  settleBrackets(name);
  if (std::strcmp(name, "_") == 0) defaultName(name, 0);
}

void defaultName(char* out, std::int32_t n) {
  SheetSettings& settings = programSettings();
  long number = n;
  if (n < 1) number = ++settings.nameCounter;
  if (settings.options[kBracketNamesOption] != 0) {
    std::snprintf(out, kNameLength + 1, "%.8s[%li]", settings.namePrefix, number);
  } else {
    std::snprintf(out, kNameLength + 1, "%.6s%li", settings.namePrefix, number);
  }
}

}  // namespace vodbc
