// Connection strings taken apart into their attributes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vodbc {

// The attributes of a connection string: each "NAME=VALUE" piece, with the
// name trimmed and in upper case, and the piece as written. A value in
// braces may hold ';' ("}}" inside it is one '}').
struct Attribute {
  std::string name;
  std::string value;
  std::string text;
};

std::vector<Attribute> connectionAttributes(std::string_view connection);

// True when the string's DRIVER= names a driver that keeps its database in a
// file (the SQLite drivers), for which a file can be browsed for.
bool namesFileDriver(std::string_view connection);

// The string with its DATABASE= attribute (if any) replaced by
// "Database=PATH;" at the end (in braces when PATH holds a ';').
std::string withDatabase(std::string_view connection, std::string_view path);

}  // namespace vodbc
