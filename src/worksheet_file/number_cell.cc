#include "worksheet_file/number_cell.h"

#include <cassert>
#include <cmath>

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
  int exponent = 0;
  // frexp gives x = fraction * 2^exponent with 0.5 <= fraction < 1, exactly
  // the normalisation of the cell; scaling by 2^32 and truncating takes the
  // first 32 fraction bits without rounding.
  const double fraction = std::frexp(std::fabs(x), &exponent);
  if (exponent + fmt::kExponentBias <= 0) {
    encodeIntegerCell(0, out);
    return;
  }
  auto bits = static_cast<std::uint32_t>(std::ldexp(fraction, 32));
  // The first bit is always 1, so the cell uses it for the sign.
  if (!negative) bits &= 0x7FFFFFFFu;
  out[0] = static_cast<std::uint8_t>(bits);
  out[1] = static_cast<std::uint8_t>(bits >> 8);
  out[2] = static_cast<std::uint8_t>(bits >> 16);
  out[3] = static_cast<std::uint8_t>(bits >> 24);
  out[4] = static_cast<std::uint8_t>(exponent + fmt::kExponentBias);
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
  if (std::isnan(v) || isMissing(v)) {
    encodeReal(kMissingReal, true, out);
  } else if (v > kLargestReal) {
    encodeReal(kLargestReal, false, out);
  } else if (v > -2147483648.0 && v < 2147483647.0 && v == std::trunc(v)) {
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
