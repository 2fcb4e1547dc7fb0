// Passwords never shown: every message that may quote a connection string
// (a driver's diagnostic, say) has the value of each PWD= and Password=
// attribute replaced before anyone sees it.
#pragma once

#include <string>
#include <string_view>

namespace vodbc {

inline constexpr std::string_view kMaskedPassword = "***";

// `text` with the value behind every "PWD=" and "Password=" (any case, at
// the start or behind a character that cannot be part of a keyword)
// replaced by kMaskedPassword. A value in braces runs to its closing brace
// ("}}" inside is a brace); any other value to the next ';', quote, or the
// end of the text.
std::string maskPasswords(std::string_view text);

}  // namespace vodbc
