#include "sheet/checked_alloc.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>

namespace vodbc {
namespace {

TEST(CheckedAlloc, ZeroFilledUpToTheCapAndReallocKeepsTheContent) {
  auto* bytes = static_cast<unsigned char*>(checkedAlloc(kAllocationCap));
  EXPECT_EQ(bytes[0] | bytes[kAllocationCap / 2] | bytes[kAllocationCap - 1], 0);
  std::free(bytes);
  auto* text = static_cast<char*>(checkedAlloc(6));
  std::memcpy(text, "hello", 6);
  text = static_cast<char*>(checkedRealloc(text, 1000));
  EXPECT_STREQ(text, "hello");
  std::free(text);
  // 1,000,000 nodes of 16 bytes pass in the compact layout, whatever their
  // real size; one more fails below.
  std::free(checkedAllocLayout(1'000'000 * 24, 1'000'000 * 16));
}

TEST(CheckedAllocDeathTest, FailuresEndWithTheirMessageAndStatus) {
  const char* const tooLarge = "^Error: Data too large for DOS version!\n$";
  const char* const noMemory = "Error: Not enough memory to read data!\n$";
  // Sanitized builds run this with allocator_may_return_null=1, so an
  // impossible request fails as it does with the plain allocator.
  constexpr std::uint64_t kImpossible = 1ULL << 62;
  struct Case {
    const char* what;
    std::function<void()> request;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"alloc above the cap", [] { checkedAlloc(kAllocationCap + 1); }, kExitDataTooLarge,
       tooLarge},
      {"realloc above the cap", [] { checkedRealloc(nullptr, kAllocationCap + 1); },
       kExitDataTooLarge, tooLarge},
      {"layout size above the cap", [] { checkedAllocLayout(64, 1'000'001 * 16); },
       kExitDataTooLarge, tooLarge},
      {"exhausted heap", [] { checkedAllocLayout(kImpossible, 16); }, kExitOutOfMemory,
       noMemory},
      {"exhausted heap on realloc", [] { checkedReallocLayout(nullptr, kImpossible, 16); },
       kExitOutOfMemory, noMemory},
  };
  for (const Case& c : cases) {
    // The messages go to standard output; death tests see standard error.
    EXPECT_EXIT(
        {
          dup2(STDERR_FILENO, STDOUT_FILENO);
          c.request();
        },
        ::testing::ExitedWithCode(c.status), c.message)
        << c.what;
  }
}

}  // namespace
}  // namespace vodbc
