// Number cells and length codes: encode, compare with literal bytes, decode
// with the independent reader, compare with the value.
#include "worksheet_file/number_cell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "sheet/column_type.h"
#include "worksheet_file/worksheet_reader.h"

namespace vodbc {
namespace {

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

TEST(IntegerCell, EncodesSignMagnitudeWithoutCarryAndDecodesBack) {
  const struct {
    std::int32_t n;
    const char* bytes;
  } cases[] = {
      {0, "00 00 00 00 00"},         {1, "01 00 00 00 00"},           {255, "FF 00 00 00 00"},
      {256, "00 01 00 00 00"},       {1000, "E8 03 00 00 00"},        {65536, "00 00 01 00 00"},
      {16777216, "00 00 00 01 00"},  {2147483647, "FF FF FF 7F 00"},  {-1, "FF FF FF FF 00"},
      {-255, "01 FF FF FF 00"},      {-256, "00 FE FF FF 00"},        {-257, "FF FE FF FF 00"},
      {-1000, "18 FC FF FF 00"},     {-65535, "01 00 FF FF 00"},      {-65536, "00 FF FE FF 00"},
      {-16777216, "00 FF FF FE 00"}, {-2147483647, "01 00 00 80 00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    std::uint8_t out[5];
    encodeIntegerCell(c.n, out);
    EXPECT_EQ(hex(out, 5), c.bytes);
    const WorksheetCell cell = decodeWorksheetCell(out);
    EXPECT_EQ(cell.kind, Kind::kInteger);
    EXPECT_EQ(cell.value, c.n);
  }
}

struct RealCase {
  const char* what;
  double v;
  const char* bytes;
  Kind kind;
  double decoded;  // what a reader gets back
};

TEST(RealCell, EncodesEachRuleAndDecodesBack) {
  const double inf = std::numeric_limits<double>::infinity();
  const RealCase cases[] = {
      {"half", 0.5, "00 00 00 00 7F", Kind::kReal, 0.5},
      {"1.5", 1.5, "00 00 00 40 80", Kind::kReal, 1.5},
      {"-1.5", -1.5, "00 00 00 C0 80", Kind::kReal, -1.5},
      {"3.25", 3.25, "00 00 00 50 81", Kind::kReal, 3.25},
      {"0.75", 0.75, "00 00 00 40 7F", Kind::kReal, 0.75},
      {"0.1 truncated", 0.1, "CC CC CC 4C 7C", Kind::kReal, std::ldexp(0xCCCCCCCCu, -35)},
      {"one third truncated", 1.0 / 3, "AA AA AA 2A 7E", Kind::kReal, std::ldexp(0xAAAAAAAAu, -33)},
      {"-0.001", -0.001, "97 6E 12 83 76", Kind::kReal, -std::ldexp(0x83126E97u, -41)},
      {"123456.789", 123456.789, "FD 64 20 71 90", Kind::kReal, std::ldexp(0xF12064FDu, -15)},
      {"1e-30", 1e-30, "F7 5F 42 22 1C", Kind::kReal, std::ldexp(0xA2425FF7u, -131)},
      {"largest int is real", 2147483647.0, "FE FF FF 7F 9E", Kind::kReal, 2147483647.0},
      {"smallest int is real", -2147483648.0, "00 00 00 80 9F", Kind::kReal, -2147483648.0},
      {"2^32", 4294967296.0, "00 00 00 00 A0", Kind::kReal, 4294967296.0},
      {"whole number", 1000.0, "E8 03 00 00 00", Kind::kInteger, 1000},
      {"negative whole", -256.0, "00 FE FF FF 00", Kind::kInteger, -256},
      {"one below largest int", 2147483646.0, "FE FF FF 7F 00", Kind::kInteger, 2147483646},
      {"negative zero", -0.0, "00 00 00 00 00", Kind::kInteger, 0},
      {"1e35 kept", 1e35, "96 0B 13 1A F4", Kind::kReal, std::ldexp(0x9A130B96u, 117 - 32)},
      {"1e36 clipped", 1e36, "96 0B 13 1A F4", Kind::kReal, std::ldexp(0x9A130B96u, 117 - 32)},
      {"+inf clipped", inf, "96 0B 13 1A F4", Kind::kReal, std::ldexp(0x9A130B96u, 117 - 32)},
      {"-5e36 not missing", -5e36, "1A C2 BD F0 F9", Kind::kReal,
       -std::ldexp(0xF0BDC21Au, 122 - 32)},
      {"missing code", kMissingValueCode, "3A 6B 0B DE BB", Kind::kMissing, 0},
      {"-1e37", -1e37, "3A 6B 0B DE BB", Kind::kMissing, 0},
      {"-inf", -inf, "3A 6B 0B DE BB", Kind::kMissing, 0},
      {"NaN", std::nan(""), "3A 6B 0B DE BB", Kind::kMissing, 0},
      {"2^-127 smallest real", std::ldexp(1.0, -127), "00 00 00 00 01", Kind::kReal,
       std::ldexp(1.0, -127)},
      {"2^-128 becomes 0", std::ldexp(1.0, -128), "00 00 00 00 00", Kind::kInteger, 0},
      {"-2^-140 becomes 0", -std::ldexp(1.0, -140), "00 00 00 00 00", Kind::kInteger, 0},
      {"subnormal becomes 0", 5e-324, "00 00 00 00 00", Kind::kInteger, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint8_t out[5];
    encodeRealCell(c.v, out);
    EXPECT_EQ(hex(out, 5), c.bytes);
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

TEST(LengthCode, CountsInBase224AndSaturates) {
  const struct {
    std::int32_t n;
    const char* code;
  } cases[] = {
      {0, "20 20"},    {1, "20 21"},     {223, "20 FF"},   {224, "21 20"},
      {1000, "24 88"}, {50175, "FF FF"}, {50176, "FF FF"}, {50400, "FF FF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    std::uint8_t out[2];
    encodeLengthCode(c.n, out);
    EXPECT_EQ(hex(out, 2), c.code);
  }
}

}  // namespace
}  // namespace vodbc
