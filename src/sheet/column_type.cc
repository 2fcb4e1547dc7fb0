#include "sheet/column_type.h"

#include <bit>
#include <cstdint>

namespace vodbc {
namespace {

constexpr std::uint64_t kMissingValueBits = 0xC79E17B84357691AULL;
double programMissing = std::bit_cast<double>(kMissingValueBits);

}  // namespace

const double kMissingValueCode = std::bit_cast<double>(kMissingValueBits);

bool isMissing(double value) {
  if (!(value < -1.0E36)) return false;
  if (value <= kMissingValueCode) return true;
  // Codes that other programs wrote may differ from ours in their last byte
  // only; they still mean missing.
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  return (bits >> 8) == (kMissingValueBits >> 8);
}

double programMissingValue() { return programMissing; }

void setProgramMissingValue(double value) { programMissing = value; }

}  // namespace vodbc
