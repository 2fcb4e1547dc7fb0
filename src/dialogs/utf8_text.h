// Character counting and cutting of UTF-8 text for the query windows.
//
// Every cut the windows make (type texts of six characters, the editor's
// break positions, caret offsets) counts characters and never splits one.
// Private to the windows for now; it goes once a shared helper exists.
#pragma once

#include <cstddef>
#include <string_view>

namespace vodbc::dialogs {

inline bool isContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Characters in `text`.
inline int charCount(std::string_view text) {
  int n = 0;
  for (char c : text) n += isContinuationByte(c) ? 0 : 1;
  return n;
}

// The byte offset of character `index` (the size when beyond the end).
inline std::size_t byteOffset(std::string_view text, int index) {
  std::size_t at = 0;
  for (int n = 0; n < index && at < text.size(); ++n) {
    ++at;
    while (at < text.size() && isContinuationByte(text[at])) ++at;
  }
  return at;
}

// The first `count` characters of `text`.
inline std::string_view firstChars(std::string_view text, int count) {
  return text.substr(0, byteOffset(text, count));
}

}  // namespace vodbc::dialogs
