#include "odbc/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace vodbc {
namespace {

// Number of bytes of the UTF-8 sequence starting at text[0] when it is a
// valid, complete one; 0 when it is not.
std::size_t utf8SequenceLength(std::string_view text) {
  if (text.empty()) return 0;
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  std::size_t length;
  std::uint32_t minimum;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  std::uint32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    return 0;
  }
  return length;
}

// One converter per thread: iconv descriptors keep state and must not be
// shared between a worker's fetch and the GUI thread.
class Converter {
 public:
  Converter() : cd_(iconv_open("WINDOWS-1252", "UTF-8")) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  // Converts one valid UTF-8 character; '?' when it has no single-byte form.
  char convert(std::string_view sequence) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return '?';
    char in[4];
    std::memcpy(in, sequence.data(), sequence.size());
    char* inPtr = in;
    std::size_t inLeft = sequence.size();
    char out[4];
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::size_t rc = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<std::size_t>(-1) || outPtr - out != 1) return '?';
    return out[0];
  }

 private:
  iconv_t cd_;
};

Converter& converter() {
  thread_local Converter instance;
  return instance;
}

}  // namespace

std::size_t utf8ToWindows1252(std::string_view text, std::size_t maxChars, char* out) {
  // Most fetched text is plain ASCII, which is the same in both encodings.
  // Every value of a result goes through here on the fetching thread, so
  // eight bytes are checked at once.
  std::size_t ascii = 0;
  for (; ascii + sizeof(std::uint64_t) <= text.size(); ascii += sizeof(std::uint64_t)) {
    std::uint64_t eight;
    std::memcpy(&eight, text.data() + ascii, sizeof eight);
    if ((eight & 0x8080808080808080ULL) != 0) break;
  }
  while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) {
    ++ascii;
  }
  if (ascii == text.size()) {
    std::size_t n = std::min(text.size(), maxChars);
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
    return n;
  }
  std::size_t written = 0;
  std::size_t at = 0;
  while (at < text.size() && written < maxChars) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
      out[written++] = static_cast<char>(lead);
      ++at;
      continue;
    }
    std::size_t length = utf8SequenceLength(text.substr(at));
    if (length == 0) {
      // Not UTF-8: the byte is kept as it is.
      out[written++] = static_cast<char>(lead);
      ++at;
      continue;
    }
    out[written++] = converter().convert(text.substr(at, length));
    at += length;
  }
  out[written] = '\0';
  return written;
}

std::string utf8ToWindows1252(std::string_view text, std::size_t maxChars) {
  std::string out(std::min(text.size(), maxChars) + 1, '\0');
  out.resize(utf8ToWindows1252(text, maxChars, out.data()));
  return out;
}

}  // namespace vodbc
