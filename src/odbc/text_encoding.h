// Text conversions between what drivers hand (UTF-8) and the single-byte
// worksheet (Windows-1252).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vodbc {

// Converts UTF-8 to Windows-1252 and keeps at most `maxChars` characters of
// the result. A character without a Windows-1252 form becomes '?'; bytes
// that are not valid UTF-8 are kept as they are (one character each).
// Plain ASCII is passed through without calling iconv. Thread-safe.
std::string utf8ToWindows1252(std::string_view text, std::size_t maxChars);

// Writes the same conversion into `out` (room for maxChars + 1 bytes,
// NUL-terminated) and returns the length; the fetch's allocation-free path.
std::size_t utf8ToWindows1252(std::string_view text, std::size_t maxChars, char* out);

}  // namespace vodbc
