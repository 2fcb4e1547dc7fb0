// Texts in fixed-width buffers: names of 32 characters, values of 80,
// labels of 40, paths of 256, each followed by a NUL.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace vodbc {

// Copies at most `maxChars` bytes of `text` into `dest` and ends it with a
// NUL; `dest` holds at least maxChars + 1 bytes.
inline void copyCut(char* dest, std::string_view text, std::size_t maxChars) {
  const std::size_t n = std::min(text.size(), maxChars);
  // An empty view may hold no pointer at all (a NULL value's text), and
  // memmove must never be handed a null pointer, even for 0 bytes.
  if (n > 0) std::memmove(dest, text.data(), n);
  dest[n] = '\0';
}

}  // namespace vodbc
