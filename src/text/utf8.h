// Counting and cutting UTF-8 text by characters. Everything the user types
// and everything taken from the catalog stays UTF-8, and every specified cut
// of it ("%.60s", buffers of N characters, caret offsets) counts characters
// and never splits one.
//
// A character starts at every byte that is not a continuation byte
// (0x80-0xBF); continuation bytes never count, even stray ones, so invalid
// text is counted and cut the same way as valid text and a cut never lands
// inside a sequence.
#pragma once

#include <cstddef>
#include <string_view>

namespace vodbc {

inline constexpr bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The number of characters in `text`.
inline constexpr std::size_t countCharacters(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) count += !isContinuationByte(static_cast<unsigned char>(c));
  return count;
}

// The byte offset at which character number `character` (from 0) starts;
// text.size() when the text has no more characters than that.
inline constexpr std::size_t characterOffset(std::string_view text, std::size_t character) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isContinuationByte(static_cast<unsigned char>(text[i]))) continue;
    if (seen == character) return i;
    ++seen;
  }
  return text.size();
}

// The first `characters` characters of `text`.
inline constexpr std::string_view firstCharacters(std::string_view text, std::size_t characters) {
  return text.substr(0, characterOffset(text, characters));
}

// At most `bytes` bytes of `text`, backing off to a character start.
inline constexpr std::string_view firstBytes(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && isContinuationByte(static_cast<unsigned char>(text[end]))) --end;
  return text.substr(0, end);
}

}  // namespace vodbc
