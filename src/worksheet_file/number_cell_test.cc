// Number cells and length codes: encode, compare with literal bytes, decode
// with the independent reader, compare with the value.
#include "worksheet_file/number_cell.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

#include "sheet/column_type.h"
#include "worksheet_file/worksheet_reader.h"

namespace vodbc {
namespace {

using Bytes = std::array<std::uint8_t, 5>;
using Kind = WorksheetCell::Kind;

std::string hex(const std::uint8_t* bytes, int n) {
  std::string text;
  char part[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
    text += part;
  }
  return text;
}

struct IntegerCase {
  std::int32_t n;
  Bytes bytes;
};

TEST(IntegerCell, EncodesSignMagnitudeWithoutCarryAndDecodesBack) {
  const IntegerCase cases[] = {
      {0, {0x00, 0x00, 0x00, 0x00, 0x00}},
      {1, {0x01, 0x00, 0x00, 0x00, 0x00}},
      {255, {0xFF, 0x00, 0x00, 0x00, 0x00}},
      {256, {0x00, 0x01, 0x00, 0x00, 0x00}},
      {1000, {0xE8, 0x03, 0x00, 0x00, 0x00}},
      {65536, {0x00, 0x00, 0x01, 0x00, 0x00}},
      {16777216, {0x00, 0x00, 0x00, 0x01, 0x00}},
      {2147483647, {0xFF, 0xFF, 0xFF, 0x7F, 0x00}},
      {-1, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
      {-255, {0x01, 0xFF, 0xFF, 0xFF, 0x00}},
      {-256, {0x00, 0xFE, 0xFF, 0xFF, 0x00}},
      {-257, {0xFF, 0xFE, 0xFF, 0xFF, 0x00}},
      {-1000, {0x18, 0xFC, 0xFF, 0xFF, 0x00}},
      {-65535, {0x01, 0x00, 0xFF, 0xFF, 0x00}},
      {-65536, {0x00, 0xFF, 0xFE, 0xFF, 0x00}},
      {-16777216, {0x00, 0xFF, 0xFF, 0xFE, 0x00}},
      {-2147483647, {0x01, 0x00, 0x00, 0x80, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    std::uint8_t out[5];
    encodeIntegerCell(c.n, out);
    EXPECT_EQ(hex(out, 5), hex(c.bytes.data(), 5));
    const WorksheetCell cell = decodeWorksheetCell(out);
    EXPECT_EQ(cell.kind, Kind::kInteger);
    EXPECT_EQ(cell.value, c.n);
  }
}

struct RealCase {
  const char* what;
  double v;
  Bytes bytes;
  Kind kind;
  double decoded;  // what a reader gets back
};

TEST(RealCell, EncodesEachRuleAndDecodesBack) {
  const double inf = std::numeric_limits<double>::infinity();
  const RealCase cases[] = {
      {"half", 0.5, {0x00, 0x00, 0x00, 0x00, 0x7F}, Kind::kReal, 0.5},
      {"1.5", 1.5, {0x00, 0x00, 0x00, 0x40, 0x80}, Kind::kReal, 1.5},
      {"-1.5", -1.5, {0x00, 0x00, 0x00, 0xC0, 0x80}, Kind::kReal, -1.5},
      {"3.25", 3.25, {0x00, 0x00, 0x00, 0x50, 0x81}, Kind::kReal, 3.25},
      {"0.75", 0.75, {0x00, 0x00, 0x00, 0x40, 0x7F}, Kind::kReal, 0.75},
      {"0.1 truncated", 0.1, {0xCC, 0xCC, 0xCC, 0x4C, 0x7C}, Kind::kReal,
       std::ldexp(0xCCCCCCCCu, -35)},
      {"one third truncated", 1.0 / 3, {0xAA, 0xAA, 0xAA, 0x2A, 0x7E},
       Kind::kReal, std::ldexp(0xAAAAAAAAu, -33)},
      {"-0.001", -0.001, {0x97, 0x6E, 0x12, 0x83, 0x76}, Kind::kReal,
       -std::ldexp(0x83126E97u, -41)},
      {"123456.789", 123456.789, {0xFD, 0x64, 0x20, 0x71, 0x90}, Kind::kReal,
       std::ldexp(0xF12064FDu, -15)},
      {"1e-30", 1e-30, {0xF7, 0x5F, 0x42, 0x22, 0x1C}, Kind::kReal,
       std::ldexp(0xA2425FF7u, -131)},
      {"largest int is real", 2147483647.0, {0xFE, 0xFF, 0xFF, 0x7F, 0x9E},
       Kind::kReal, 2147483647.0},
      {"smallest int is real", -2147483648.0, {0x00, 0x00, 0x00, 0x80, 0x9F},
       Kind::kReal, -2147483648.0},
      {"2^32", 4294967296.0, {0x00, 0x00, 0x00, 0x00, 0xA0}, Kind::kReal,
       4294967296.0},
      {"whole number", 1000.0, {0xE8, 0x03, 0x00, 0x00, 0x00}, Kind::kInteger,
       1000},
      {"negative whole", -256.0, {0x00, 0xFE, 0xFF, 0xFF, 0x00},
       Kind::kInteger, -256},
      {"one below largest int", 2147483646.0, {0xFE, 0xFF, 0xFF, 0x7F, 0x00},
       Kind::kInteger, 2147483646},
      {"negative zero", -0.0, {0x00, 0x00, 0x00, 0x00, 0x00}, Kind::kInteger, 0},
      {"1e35 kept", 1e35, {0x96, 0x0B, 0x13, 0x1A, 0xF4}, Kind::kReal,
       std::ldexp(0x9A130B96u, 117 - 32)},
      {"1e36 clipped", 1e36, {0x96, 0x0B, 0x13, 0x1A, 0xF4}, Kind::kReal,
       std::ldexp(0x9A130B96u, 117 - 32)},
      {"+inf clipped", inf, {0x96, 0x0B, 0x13, 0x1A, 0xF4}, Kind::kReal,
       std::ldexp(0x9A130B96u, 117 - 32)},
      {"-5e36 not missing", -5e36, {0x1A, 0xC2, 0xBD, 0xF0, 0xF9}, Kind::kReal,
       -std::ldexp(0xF0BDC21Au, 122 - 32)},
      {"missing code", kMissingValueCode, {0x3A, 0x6B, 0x0B, 0xDE, 0xBB},
       Kind::kMissing, 0},
      {"-1e37", -1e37, {0x3A, 0x6B, 0x0B, 0xDE, 0xBB}, Kind::kMissing, 0},
      {"-inf", -inf, {0x3A, 0x6B, 0x0B, 0xDE, 0xBB}, Kind::kMissing, 0},
      {"NaN", std::nan(""), {0x3A, 0x6B, 0x0B, 0xDE, 0xBB}, Kind::kMissing, 0},
      {"2^-127 smallest real", std::ldexp(1.0, -127),
       {0x00, 0x00, 0x00, 0x00, 0x01}, Kind::kReal, std::ldexp(1.0, -127)},
      {"2^-128 becomes 0", std::ldexp(1.0, -128),
       {0x00, 0x00, 0x00, 0x00, 0x00}, Kind::kInteger, 0},
      {"-2^-140 becomes 0", -std::ldexp(1.0, -140),
       {0x00, 0x00, 0x00, 0x00, 0x00}, Kind::kInteger, 0},
      {"subnormal becomes 0", 5e-324, {0x00, 0x00, 0x00, 0x00, 0x00},
       Kind::kInteger, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint8_t out[5];
    encodeRealCell(c.v, out);
    EXPECT_EQ(hex(out, 5), hex(c.bytes.data(), 5));
    const WorksheetCell cell = decodeWorksheetCell(out);
    EXPECT_EQ(cell.kind, c.kind);
    if (c.kind != Kind::kMissing) {
      EXPECT_EQ(cell.value, c.decoded);
    }
  }
}

// Truncation keeps every value within one unit of the 32nd fraction bit.
TEST(RealCell, RoundTripsWithinTheCellsPrecision) {
  for (double v = 1e-30; v < 1e30; v *= -7.3) {
    std::uint8_t out[5];
    encodeRealCell(v, out);
    const WorksheetCell cell = decodeWorksheetCell(out);
    ASSERT_NE(cell.kind, Kind::kMissing) << v;
    EXPECT_LE(std::fabs(cell.value - v), std::fabs(v) * std::ldexp(1.0, -31)) << v;
    EXPECT_LE(std::fabs(cell.value), std::fabs(v)) << "truncated, never rounded up";
  }
}

struct LengthCase {
  std::int32_t n;
  std::array<std::uint8_t, 2> code;
};

TEST(LengthCode, CountsInBase224AndSaturates) {
  const LengthCase cases[] = {
      {0, {0x20, 0x20}},     {1, {0x20, 0x21}},     {223, {0x20, 0xFF}},
      {224, {0x21, 0x20}},   {1000, {0x24, 0x88}},  {50175, {0xFF, 0xFF}},
      {50176, {0xFF, 0xFF}}, {50400, {0xFF, 0xFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    std::uint8_t out[2];
    encodeLengthCode(c.n, out);
    EXPECT_EQ(hex(out, 2), hex(c.code.data(), 2));
  }
}

}  // namespace
}  // namespace vodbc
