#include "worksheet_file/number_cell.h"

#include <bit>
#include <cassert>

#include "sheet/sheet.h"
#include "worksheet_file/worksheet_format.h"

namespace vodbc {
namespace {

namespace fmt = worksheet_format;

// Real cells are never written for values beyond this; larger ones are
// clipped so every reader can hold them.
constexpr double kLargestReal = 1.0E35;
// The value a missing cell stands for.
constexpr double kMissingReal = -1.0E18;

void encodeReal(double x, bool negative, std::uint8_t out[5]) {
  // A normal double is 1.f * 2^(e - 1023) = 0.1f * 2^(e - 1022): the cell's
  // exponent byte is e - 1022 + 127, and its 32 fraction bits are the top 32
  // of the 53-bit significand, truncated, exactly as halving or doubling
  // into [0.5, 1) and taking the bits one by one would give them.
  const auto bits = std::bit_cast<std::uint64_t>(x);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  const int exponent = biased - 1022 + fmt::kExponentBias;
  if (biased == 0 || exponent <= 0) {  // zero, subnormal, or below 2^-127
    encodeIntegerCell(0, out);
    return;
  }
  const std::uint64_t significand =
      (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  auto fraction = static_cast<std::uint32_t>(significand >> 21);
  // The first bit is always 1, so the cell uses it for the sign.
  if (!negative) fraction &= 0x7FFFFFFFu;
  out[0] = static_cast<std::uint8_t>(fraction);
  out[1] = static_cast<std::uint8_t>(fraction >> 8);
  out[2] = static_cast<std::uint8_t>(fraction >> 16);
  out[3] = static_cast<std::uint8_t>(fraction >> 24);
  out[4] = static_cast<std::uint8_t>(exponent);
}

}  // namespace

void encodeIntegerCell(std::int32_t n, std::uint8_t out[5]) {
  assert(n != INT32_MIN);
  out[4] = 0;
  if (n >= 0) {
    const auto u = static_cast<std::uint32_t>(n);
    out[0] = static_cast<std::uint8_t>(u);
    out[1] = static_cast<std::uint8_t>(u >> 8);
    out[2] = static_cast<std::uint8_t>(u >> 16);
    out[3] = static_cast<std::uint8_t>(u >> 24);
    return;
  }
  const std::uint32_t m = 0u - static_cast<std::uint32_t>(n);
  out[3] = static_cast<std::uint8_t>(255 - (m >> 24));
  out[2] = static_cast<std::uint8_t>(255 - ((m >> 16) & 0xFFu));
  out[1] = static_cast<std::uint8_t>(255 - ((m >> 8) & 0xFFu));
  out[0] = static_cast<std::uint8_t>((256 - (m & 0xFFu)) & 0xFFu);
}

void encodeRealCell(double v, std::uint8_t out[5]) {
  if (v != v || isMissing(v)) {  // NaN, then the wide missing rule
    encodeReal(kMissingReal, true, out);
  } else if (v > kLargestReal) {
    encodeReal(kLargestReal, false, out);
  } else if (v > -2147483648.0 && v < 2147483647.0 &&
             static_cast<double>(static_cast<std::int32_t>(v)) == v) {
    encodeIntegerCell(static_cast<std::int32_t>(v), out);
  } else {
    encodeReal(v, v < 0, out);
  }
}

void encodeLengthCode(std::int32_t n, std::uint8_t out[2]) {
  assert(n >= 0);
  if (n > fmt::kLargestLengthCode) n = fmt::kLargestLengthCode;
  out[0] = static_cast<std::uint8_t>(n / fmt::kLengthCodeBase + fmt::kCountBias);
  out[1] = static_cast<std::uint8_t>(n % fmt::kLengthCodeBase + fmt::kCountBias);
}

}  // namespace vodbc
