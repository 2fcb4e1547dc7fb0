// Column storage in blocks, the memory blocks under it, and the allocator
// that ends the program when memory runs out.
#include "sheet/column_storage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "sheet/checked_alloc.h"
#include "sheets/test_sheet.h"

namespace vodbc {
namespace {

using testing::numbersFrom;
using testing::textsFrom;

std::vector<std::int64_t> blockCounts(const ColumnStorage& storage) {
  std::vector<std::int64_t> counts;
  for (const ValueBlock& block : storage.blocks()) counts.push_back(block.count);
  return counts;
}

// A block of memory holding `bytes` as staged values.
MemoryBlock stagedBlock(std::string_view bytes) {
  MemoryBlock block = allocateMemoryBlock(bytes.size() + 16);
  std::memcpy(block.start, bytes.data(), bytes.size());
  block.used = bytes.size();
  return block;
}

TEST(ColumnStorage, NumbersInBlocksOfTheModelSize) {
  ColumnStorage numbers = allocateStorage(ColumnType::Numeric, 1'000'000);
  EXPECT_EQ(blockCounts(numbers), (std::vector<std::int64_t>{999'998, 2}));
  // Each block is one array of doubles, zero when allocated.
  const auto* first = static_cast<const double*>(numbers.blocks()[0].values);
  EXPECT_EQ(std::tuple(first[0], first[999'997]), std::tuple(0.0, 0.0));
  EXPECT_EQ(numbers.reservedBytes(), 1'000'000u * sizeof(double));
  numbers.clear();
  EXPECT_EQ(std::tuple(numbers.size(), numbers.blocks().size(), numbers.reservedBytes()),
            std::tuple(0, 0u, 0u));
}

TEST(ColumnStorage, NumbersCrossBlockBoundariesForEveryNumericKind) {
  ScopedStorageLimits small({.numbersPerBlock = 3});
  for (ColumnType kind :
       {ColumnType::Numeric, ColumnType::Factor, ColumnType::RowNumber, ColumnType::PinnedNumeric,
        ColumnType::LevelValues, ColumnType{1}, ColumnType{22}}) {
    SCOPED_TRACE(code(kind));
    ColumnStorage storage = allocateStorage(kind, 7);
    EXPECT_EQ(blockCounts(storage), (std::vector<std::int64_t>{3, 3, 1}));
    double next = 0;
    for (double& value : numbersIn(storage)) value = ++next;
    EXPECT_EQ(numbersFrom(numbersIn(storage)), (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(storage.reservedBytes(), 7 * sizeof(double));
  }
}

// Texts are cut at the kind's width and kept at their real length, across
// pointer blocks of 4 and arena pieces of 8 bytes (a longer text gets a
// piece of its own).
TEST(ColumnStorage, TextsAreCutAtTheirWidthAcrossBlocksAndPieces) {
  ScopedStorageLimits small({.textsPerBlock = 4, .arenaPieceBytes = 8});
  const std::string longText(100, 'x');
  const std::vector<std::string> added = {"a",      "", "abc", longText,   "  lead",
                                          "tail  ", "", "z",   "12345678", "q"};
  struct Case {
    ColumnType kind;
    std::size_t width;
  };
  for (const Case& c : {Case{ColumnType::Text, 80}, Case{ColumnType::PinnedText, 80},
                        Case{ColumnType::LevelLabels, 40}}) {
    SCOPED_TRACE(code(c.kind));
    EXPECT_EQ(static_cast<std::size_t>(textWidth(c.kind)), c.width);
    TextStorageBuilder builder(c.kind, static_cast<std::int64_t>(added.size()));
    std::vector<std::string> expected;
    std::size_t textBytes = 0;
    for (const std::string& text : added) {
      builder.add(text);
      expected.push_back(text.substr(0, c.width));
      if (!text.empty()) textBytes += expected.back().size() + 1;
    }
    ColumnStorage storage = builder.finish();
    EXPECT_EQ(textsFrom(textsIn(storage)), expected);
    EXPECT_EQ(blockCounts(storage), (std::vector<std::int64_t>{4, 4, 2}));
    // No fixed-width slots: pointers, the texts with their NULs, and what
    // is left at the end of pieces.
    EXPECT_GE(storage.reservedBytes(), added.size() * sizeof(char*) + textBytes);
    EXPECT_LT(storage.reservedBytes(), added.size() * sizeof(char*) + textBytes + 8 * 5);
  }
}

TEST(ColumnStorage, TextsNeverAddedAreEmpty) {
  TextStorageBuilder builder(ColumnType::Text, 3);
  builder.add("only");
  EXPECT_EQ(textsFrom(textsIn(builder.finish())), (std::vector<std::string>{"only", "", ""}));
  EXPECT_EQ(textsFrom(textsIn(allocateStorage(ColumnType::LevelLabels, 2))),
            (std::vector<std::string>{"", ""}));
}

TEST(ColumnStorage, AdoptedTextsStayWhereTheyAreAndLongOnesAreCutInPlace) {
  ScopedStorageLimits small({.textsPerBlock = 2});
  const std::string longText(90, 'y');
  MemoryBlock first = stagedBlock(std::string("abc\0\0", 5) + longText + '\0');
  MemoryBlock second = stagedBlock(std::string("d e\0", 4));
  const char* firstStart = first.start;
  const std::size_t bytes = first.size + second.size;
  TextStorageBuilder builder(ColumnType::Text, 4);
  builder.adoptTexts(first);
  builder.adoptTexts(second);
  ColumnStorage storage = builder.finish();
  EXPECT_EQ(textsFrom(textsIn(storage)),
            (std::vector<std::string>{"abc", "", std::string(80, 'y'), "d e"}));
  EXPECT_EQ(*textsIn(storage).begin(), firstStart);  // not copied
  EXPECT_EQ(blockCounts(storage), (std::vector<std::int64_t>{2, 2}));
  EXPECT_EQ(storage.reservedBytes(), bytes + 4 * sizeof(char*));
}

TEST(ColumnStorage, AdoptedNumbersAreTheStagedDoubles) {
  const double a[] = {1.5, -2}, b[] = {3, 4, 5};
  std::vector<MemoryBlock> blocks = {
      stagedBlock(std::string_view(reinterpret_cast<const char*>(a), sizeof a)),
      stagedBlock(std::string_view(reinterpret_cast<const char*>(b), sizeof b)),
      stagedBlock("")};  // a block nothing was staged in
  const std::size_t bytes = blocks[0].size + blocks[1].size + blocks[2].size;
  ColumnStorage storage = adoptNumbers(std::move(blocks));
  EXPECT_EQ(numbersFrom(numbersIn(storage)), (std::vector<double>{1.5, -2, 3, 4, 5}));
  EXPECT_EQ(blockCounts(storage), (std::vector<std::int64_t>{2, 3}));
  EXPECT_EQ(storage.reservedBytes(), bytes);  // every block is the storage's to free
}

TEST(ColumnStorage, KindsWithoutValuesAndEmptyCountsAllocateNothing) {
  const std::pair<ColumnType, std::int64_t> cases[] = {
      {ColumnType{-2}, 5},      {ColumnType{-1}, 5},   {ColumnType{9}, 5},
      {ColumnType{93}, 5},      {ColumnType{-5}, 5},   {ColumnType::RowAttributes, 5},
      {ColumnType::Numeric, 0}, {ColumnType::Text, -3}};
  for (auto [kind, count] : cases) {
    const ColumnStorage storage = allocateStorage(kind, count);
    EXPECT_EQ(std::tuple(storage.size(), storage.blocks().size(), storage.reservedBytes()),
              std::tuple(0, 0u, 0u))
        << code(kind) << " " << count;
  }
}

TEST(ColumnStorage, MovingHandsTheMemoryOver) {
  ColumnStorage source = allocateStorage(ColumnType::Numeric, 3);
  *numbersIn(source).begin() = 9;
  ColumnStorage moved(std::move(source));
  EXPECT_EQ(std::tuple(source.size(), source.reservedBytes()), std::tuple(0, 0u));
  ColumnStorage assigned = allocateStorage(ColumnType::Text, 2);
  assigned = std::move(moved);  // the texts it held are freed
  EXPECT_EQ(numbersFrom(numbersIn(assigned)), (std::vector<double>{9, 0, 0}));
}

TEST(ColumnStorage, ColumnRangesStopAtTheColumnsCount) {
  testing::TestSheet sheet;
  SheetColumn* column = sheet.addNumbers("x", {1, 2, 3, 4});
  column->length = 2;
  EXPECT_EQ(testing::valuesOf(*column), (testing::Numbers{1, 2}));
  column->length = 0;
  EXPECT_TRUE(testing::valuesOf(*column).empty());
  column->length = 9;  // more than is stored
  EXPECT_EQ(testing::valuesOf(*column), (testing::Numbers{1, 2, 3, 4}));
}

TEST(ColumnStorage, ReleaseClearsTheFieldsOfOneStorage) {
  testing::TestSheet sheet;
  SheetColumn* text = sheet.addTexts("t", {"a", "bb"});
  text->levelCount = 2;
  releaseStorage(*text, StorageSlot::Values);
  EXPECT_EQ(std::tuple(text->valueStorage.size(), text->valueStorage.reservedBytes(), text->length,
                       text->levelCount),
            std::tuple(0, 0u, 0, 0));

  SheetColumn* numbers = sheet.addNumbers("n", {1, 2}, ColumnType::Factor);
  numbers->levelCount = 5;
  testing::attachLevelValues(*numbers, {1, 2});
  releaseStorage(*numbers, StorageSlot::LevelValues);
  EXPECT_EQ(std::tuple(numbers->levelValueStorage.reservedBytes(), numbers->levelValueCount),
            std::tuple(0u, 0));
  EXPECT_EQ(numbers->length, 2);  // the values are untouched
  releaseStorage(*numbers, StorageSlot::Values);
  EXPECT_EQ(numbers->levelCount, 5);  // only text columns lose it
  EXPECT_TRUE(numbers->valueStorage.empty());
}

TEST(MemoryBlock, LargeBlocksAreMappedAndEveryBlockIsZeroFilled) {
  for (std::size_t size : {std::size_t{16}, kMappedBlockBytes - 1, kMappedBlockBytes}) {
    MemoryBlock block = allocateMemoryBlock(size);
    EXPECT_EQ(std::tuple(block.size, block.used, block.mapped),
              std::tuple(size, 0u, size >= kMappedBlockBytes));
    EXPECT_EQ(block.start[0] | block.start[size - 1], 0);
    freeMemoryBlock(block);
    EXPECT_EQ(block.start, nullptr);
    freeMemoryBlock(block);  // an empty block is ignored
  }
}

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
      {"memory block layout above the cap",
       [] { allocateMemoryBlock(kMappedBlockBytes, kAllocationCap + 1); }, kExitDataTooLarge,
       tooLarge},
      {"exhausted heap", [] { checkedAllocLayout(kImpossible, 16); }, kExitOutOfMemory, noMemory},
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

TEST(CheckedAllocDeathTest, OperatorNewOnAWorkerThreadEndsTheSameWay) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer's operator new reports an exhausted heap itself and "
                  "never calls the new handler";
#endif
  // Every other allocation, on any thread, ends as checkedAlloc does.
  constexpr std::size_t kImpossible = std::size_t{1} << 62;
  EXPECT_EXIT(
      {
        dup2(STDERR_FILENO, STDOUT_FILENO);
        installOutOfMemoryHandler();
        // A direct call, kept in a volatile pointer: an optimiser may drop an
        // allocation whose memory is never used.
        std::thread([] {
          void* volatile huge = ::operator new(kImpossible);
          ::operator delete(huge);
        }).join();
      },
      ::testing::ExitedWithCode(kExitOutOfMemory), "Error: Not enough memory to read data!\n$");
}

}  // namespace
}  // namespace vodbc
