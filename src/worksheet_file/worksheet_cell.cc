// Decoding one number cell, the reader's own counterpart of the encoders.
#include <cmath>
#include <cstring>

#include "worksheet_file/worksheet_reader.h"

namespace vodbc {

namespace fmt = worksheet_format;

WorksheetCell decodeWorksheetCell(const unsigned char* p) {
  WorksheetCell cell;
  if (std::memcmp(p, fmt::kBlankCell.data(), fmt::kCellSize) == 0) {
    cell.kind = WorksheetCell::Kind::kBlank;
    return cell;
  }
  if (std::memcmp(p, fmt::kMissingCell.data(), fmt::kCellSize) == 0) {
    cell.kind = WorksheetCell::Kind::kMissing;
    return cell;
  }
  if (p[4] == 0) {
    cell.kind = WorksheetCell::Kind::kInteger;
    if (p[3] < 0x80) {
      cell.value = static_cast<double>(
          static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
          static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
    } else {
      // Each byte is the complement of the magnitude's byte on its own; the
      // lowest is the 256-complement.
      const std::uint32_t m = static_cast<std::uint32_t>(255 - p[3]) << 24 |
                              static_cast<std::uint32_t>(255 - p[2]) << 16 |
                              static_cast<std::uint32_t>(255 - p[1]) << 8 |
                              static_cast<std::uint32_t>((256 - p[0]) & 0xFF);
      cell.value = -static_cast<double>(m);
    }
    return cell;
  }
  cell.kind = WorksheetCell::Kind::kReal;
  const std::uint32_t bits =
      static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
  const bool negative = (bits & 0x80000000u) != 0;
  const double magnitude =
      std::ldexp(static_cast<double>(bits | 0x80000000u), p[4] - fmt::kExponentBias - 32);
  cell.value = negative ? -magnitude : magnitude;
  return cell;
}

}  // namespace vodbc
