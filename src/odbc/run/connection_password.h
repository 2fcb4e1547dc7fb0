// Passwords kept out of retrieval files: a run can add one to the stored
// connection string from somewhere safer (vodbc-batch's --password-env).
#pragma once

#include <string>
#include <string_view>

namespace vodbc {

// True when the connection string already names a password (a PWD or
// PASSWORD attribute, in any case); values in braces may hold ';'.
bool hasPasswordAttribute(std::string_view connection);

// The connection string with ";PWD=<password>" added, the value put in
// braces (with "}" doubled) when it holds a character that would end or
// change the attribute.
std::string addPasswordAttribute(std::string_view connection, std::string_view password);

}  // namespace vodbc
