#include "odbc/run/connection_password.h"

#include <cctype>
#include <vector>

namespace vodbc {
namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return std::string(s);
}

// The attribute names of a connection string, in order.
std::vector<std::string> attributeNames(std::string_view connection) {
  std::vector<std::string> names;
  std::size_t pos = 0;
  while (pos < connection.size()) {
    std::size_t equals = connection.find('=', pos);
    std::size_t semicolon = connection.find(';', pos);
    if (equals == std::string_view::npos ||
        (semicolon != std::string_view::npos && semicolon < equals)) {
      if (semicolon == std::string_view::npos) break;
      pos = semicolon + 1;  // an attribute without a value
      continue;
    }
    names.push_back(lower(trim(connection.substr(pos, equals - pos))));
    pos = equals + 1;
    if (pos < connection.size() && connection[pos] == '{') {
      // A braced value runs to the "}" that is not doubled.
      ++pos;
      while (pos < connection.size()) {
        if (connection[pos] == '}') {
          if (pos + 1 < connection.size() && connection[pos + 1] == '}') {
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        ++pos;
      }
    }
    semicolon = connection.find(';', pos);
    if (semicolon == std::string_view::npos) break;
    pos = semicolon + 1;
  }
  return names;
}

}  // namespace

bool hasPasswordAttribute(std::string_view connection) {
  for (const std::string& name : attributeNames(connection)) {
    if (name == "pwd" || name == "password") return true;
  }
  return false;
}

std::string addPasswordAttribute(std::string_view connection, std::string_view password) {
  std::string out(connection);
  if (!out.empty() && out.back() != ';') out += ';';
  out += "PWD=";
  bool needsBraces =
      password.find_first_of(";{}") != std::string_view::npos ||
      (!password.empty() && (std::isspace(static_cast<unsigned char>(password.front())) ||
                             std::isspace(static_cast<unsigned char>(password.back()))));
  if (!needsBraces) {
    out += password;
  } else {
    out += '{';
    for (char c : password) {
      out += c;
      if (c == '}') out += '}';
    }
    out += '}';
  }
  out += ';';
  return out;
}

}  // namespace vodbc
