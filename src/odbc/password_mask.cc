#include "odbc/password_mask.h"

#include <array>
#include <cctype>

namespace vodbc {
namespace {

bool isKeywordCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The length of the keyword ("PWD=" or "Password=", any case) at `at`, 0
// when there is none.
std::size_t passwordKeywordAt(std::string_view text, std::size_t at) {
  if (at > 0 && isKeywordCharacter(text[at - 1])) return 0;
  static constexpr std::array<std::string_view, 2> kKeywords = {"pwd=", "password="};
  for (std::string_view keyword : kKeywords) {
    if (text.size() - at < keyword.size()) continue;
    bool same = true;
    for (std::size_t i = 0; same && i < keyword.size(); ++i) {
      same = std::tolower(static_cast<unsigned char>(text[at + i])) == keyword[i];
    }
    if (same) return keyword.size();
  }
  return 0;
}

// Where the value starting at `at` ends.
std::size_t valueEnd(std::string_view text, std::size_t at) {
  if (at < text.size() && text[at] == '{') {
    for (std::size_t i = at + 1; i < text.size(); ++i) {
      if (text[i] != '}') continue;
      if (i + 1 < text.size() && text[i + 1] == '}') {
        ++i;
        continue;
      }
      return i + 1;
    }
    return text.size();
  }
  std::size_t end = text.find_first_of(";'\"", at);
  return end == std::string_view::npos ? text.size() : end;
}

}  // namespace

std::string maskPasswords(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t keyword = passwordKeywordAt(text, at);
    if (keyword == 0) {
      out.push_back(text[at++]);
      continue;
    }
    out.append(text.substr(at, keyword));
    at += keyword;
    std::size_t end = valueEnd(text, at);
    if (end > at) out.append(kMaskedPassword);
    at = end;
  }
  return out;
}

}  // namespace vodbc
