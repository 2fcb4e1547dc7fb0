// Cutting texts for messages and titles without splitting a UTF-8
// character: "%.60s" of a path means 60 characters, not 60 bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vodbc {

// The first `characters` characters of UTF-8 text (bytes that are not
// continuation bytes each start one).
inline std::string_view firstCharacters(std::string_view text, std::size_t characters) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (seen == characters) return text.substr(0, i);
      ++seen;
    }
  }
  return text;
}

// At most `bytes` bytes of UTF-8 text, backing off to a character start.
inline std::string_view firstBytes(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

}  // namespace vodbc
