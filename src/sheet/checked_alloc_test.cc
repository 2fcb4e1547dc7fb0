#include "sheet/checked_alloc.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vodbc {
namespace {

// The messages go to standard output; death tests see standard error, so the
// child sends its standard output there.
void stdoutToStderr() { dup2(STDERR_FILENO, STDOUT_FILENO); }

TEST(CheckedAlloc, GivesZeroFilledMemoryUpToTheCap) {
  auto* bytes = static_cast<unsigned char*>(checkedAlloc(kAllocationCap));
  EXPECT_EQ(bytes[0], 0);
  EXPECT_EQ(bytes[kAllocationCap / 2], 0);
  EXPECT_EQ(bytes[kAllocationCap - 1], 0);
  std::free(bytes);
}

TEST(CheckedAlloc, ReallocKeepsTheContent) {
  auto* text = static_cast<char*>(checkedAlloc(6));
  std::memcpy(text, "hello", 6);
  text = static_cast<char*>(checkedRealloc(text, 1000));
  EXPECT_STREQ(text, "hello");
  std::free(text);
}

TEST(CheckedAllocDeathTest, RequestAboveTheCapEndsWithStatus7) {
  EXPECT_EXIT(
      {
        stdoutToStderr();
        checkedAlloc(kAllocationCap + 1);
      },
      ::testing::ExitedWithCode(kExitDataTooLarge),
      "^Error: Data too large for DOS version!\n$");
}

TEST(CheckedAllocDeathTest, ReallocAboveTheCapEndsWithStatus7) {
  EXPECT_EXIT(
      {
        stdoutToStderr();
        checkedRealloc(nullptr, kAllocationCap + 1);
      },
      ::testing::ExitedWithCode(kExitDataTooLarge),
      "^Error: Data too large for DOS version!\n$");
}

TEST(CheckedAllocDeathTest, CapIsCheckedAgainstTheLayoutSize) {
  // 1,000,001 nodes of 16 bytes pass in the compact layout ...
  void* block = checkedAllocLayout(1'000'000 * 24, 1'000'000 * 16);
  std::free(block);
  // ... but 1,000,001 of them would not, whatever the real size.
  EXPECT_EXIT(
      {
        stdoutToStderr();
        checkedAllocLayout(64, 1'000'001 * 16);
      },
      ::testing::ExitedWithCode(kExitDataTooLarge),
      "^Error: Data too large for DOS version!\n$");
}

TEST(CheckedAllocDeathTest, ExhaustedHeapEndsWithStatus8) {
  // Sanitized builds run this with allocator_may_return_null=1, so the
  // request fails as it does with the plain allocator.
  constexpr std::uint64_t kImpossible = 1ULL << 62;
  EXPECT_EXIT(
      {
        stdoutToStderr();
        checkedAllocLayout(kImpossible, 16);
      },
      ::testing::ExitedWithCode(kExitOutOfMemory),
      "Error: Not enough memory to read data!\n$");
  EXPECT_EXIT(
      {
        stdoutToStderr();
        checkedReallocLayout(nullptr, kImpossible, 16);
      },
      ::testing::ExitedWithCode(kExitOutOfMemory),
      "Error: Not enough memory to read data!\n$");
}

}  // namespace
}  // namespace vodbc
