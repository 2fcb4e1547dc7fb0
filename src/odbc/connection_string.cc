#include "odbc/connection_string.h"

#include <cctype>

namespace vodbc {

std::vector<Attribute> connectionAttributes(std::string_view s) {
  std::vector<Attribute> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t start = i;
    const std::size_t eq = s.find('=', i);
    const std::size_t semi = s.find(';', i);
    if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
      i = semi == std::string_view::npos ? s.size() : semi + 1;
      continue;
    }
    Attribute a;
    for (char c : s.substr(start, eq - start)) {
      if (c != ' ' && c != '\t')
        a.name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    i = eq + 1;
    while (i < s.size() && s[i] == ' ') ++i;
    if (i < s.size() && s[i] == '{') {
      for (++i; i < s.size(); ++i) {
        if (s[i] == '}' && i + 1 < s.size() && s[i + 1] == '}') {
          a.value += '}';
          ++i;
        } else if (s[i] == '}') {
          ++i;
          break;
        } else {
          a.value += s[i];
        }
      }
      while (i < s.size() && s[i] != ';') ++i;
    } else {
      const std::size_t end = s.find(';', i);
      a.value = std::string(s.substr(i, end == std::string_view::npos ? end : end - i));
      i = end == std::string_view::npos ? s.size() : end;
    }
    a.text = std::string(s.substr(start, i - start));
    if (i < s.size()) ++i;  // the ';'
    out.push_back(std::move(a));
  }
  return out;
}

bool namesFileDriver(std::string_view connection) {
  for (const Attribute& a : connectionAttributes(connection)) {
    if (a.name != "DRIVER") continue;
    std::string value = a.value;
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (value.find("sqlite") != std::string::npos) return true;
  }
  return false;
}

std::string withDatabase(std::string_view connection, std::string_view path) {
  std::string out;
  for (const Attribute& a : connectionAttributes(connection)) {
    if (a.name != "DATABASE") out += a.text + ";";
  }
  // Braces keep a path with a ';' in it one value.
  const bool braces = path.find(';') != std::string_view::npos;
  return out + "Database=" + (braces ? "{" : "") + std::string(path) + (braces ? "}" : "") + ";";
}

}  // namespace vodbc
