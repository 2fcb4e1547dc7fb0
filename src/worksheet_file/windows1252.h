// Worksheet text is Windows-1252 (the format is single-byte); whatever shows
// it to a person or a UTF-8 tool converts it here.
#pragma once

#include <string>
#include <string_view>

namespace vodbc {

// The UTF-8 form of Windows-1252 text. The five byte values that code page
// leaves undefined become U+FFFD.
std::string windows1252ToUtf8(std::string_view text);

}  // namespace vodbc
