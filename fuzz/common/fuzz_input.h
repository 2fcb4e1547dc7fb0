// Reads a fuzzer's bytes as a sequence of small decisions. Every read
// succeeds: past the end it yields zeros and empty text, so each input
// decodes to exactly one test case and a shorter input is a simpler case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace vodbc::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

  // A number in [0, bound); 0 when bound is 0.
  std::size_t below(std::size_t bound) {
    if (bound == 0) return 0;
    std::uint32_t v = byte();
    if (bound > 256) v = (v << 8) | byte();
    return v % bound;
  }

  template <class T>
  T raw() {
    T value{};
    unsigned char bytes[sizeof(T)] = {0};
    for (unsigned char& b : bytes) b = byte();
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

  // Up to `max` bytes, the count taken from the input first.
  std::string text(std::size_t max) {
    std::size_t length = below(max + 1);
    length = length < size_ - at_ ? length : size_ - at_;
    std::string out(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return out;
  }

  // Everything not read yet.
  std::string rest() {
    std::string out(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    at_ = size_;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

// Ends the process the way a sanitizer does, so the fuzzer keeps the input:
// the property named was broken.
[[noreturn]] void fail(const char* property);

}  // namespace vodbc::fuzz
