#include "worksheet_file/windows1252.h"

#include <iconv.h>

#include <cerrno>

namespace vodbc {
namespace {

// Converts one byte at a time so an undefined byte only costs itself.
class Converter {
 public:
  Converter() : cd_(iconv_open("UTF-8", "WINDOWS-1252")) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  std::string convert(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char byte : text) {
      if (static_cast<unsigned char>(byte) < 0x80) {
        out.push_back(byte);
        continue;
      }
      char in[1] = {byte};
      char buffer[8];
      char* inPtr = in;
      std::size_t inLeft = 1;
      char* outPtr = buffer;
      std::size_t outLeft = sizeof buffer;
      if (cd_ == reinterpret_cast<iconv_t>(-1) ||
          iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        out += "\xEF\xBF\xBD";
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        continue;
      }
      out.append(buffer, sizeof buffer - outLeft);
    }
    return out;
  }

 private:
  iconv_t cd_;
};

}  // namespace

std::string windows1252ToUtf8(std::string_view text) {
  thread_local Converter converter;
  return converter.convert(text);
}

}  // namespace vodbc
