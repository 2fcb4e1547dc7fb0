#include "sheet/column_type.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vodbc {
namespace {

double fromBits(std::uint64_t bits) { return std::bit_cast<double>(bits); }

TEST(MissingValue, CodeBitsAndTheWideTestAroundThem) {
  // Written to the file byte for byte; one step above -1.0E37.
  EXPECT_EQ(std::bit_cast<std::uint64_t>(kMissingValueCode), 0xC79E17B84357691AULL);
  EXPECT_EQ(std::nextafter(-1.0E37, 0.0), kMissingValueCode);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* what;
    double value;
    bool missing;
  };
  const Case cases[] = {
      {"the code", kMissingValueCode, true},
      {"-1.0E37, below the code", -1.0E37, true},
      {"far below", -1.0E300, true},
      {"-infinity", -inf, true},
      {"one ulp closer to zero", fromBits(0xC79E17B843576919ULL), true},
      {"last byte 00, closer to zero", fromBits(0xC79E17B843576900ULL), true},
      {"seventh byte differs, closer to zero", fromBits(0xC79E17B8435768FFULL), false},
      {"-5.0E36", -5.0E36, false},
      {"just below -1.0E36", -1.0000001E36, false},
      {"-1.0E36 itself", -1.0E36, false},
      {"zero", 0.0, false},
      {"positive with the code's low bytes", fromBits(0x479E17B84357691AULL), false},
      {"NaN", nan, false},
  };
  for (const Case& c : cases) EXPECT_EQ(isMissing(c.value), c.missing) << c.what;
}

}  // namespace
}  // namespace vodbc
