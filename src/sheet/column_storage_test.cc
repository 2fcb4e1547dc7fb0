// Column storage in blocks and chunks, and the allocator under it that ends
// the program when memory runs out.
#include "sheet/column_storage.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "sheet/checked_alloc.h"
#include "sheets/test_sheet.h"

namespace vodbc {
namespace {

// Walks the storage forward, checking that the links agree both ways, and
// returns the number of nodes.
std::int64_t checkLinks(const ColumnStorage& storage) {
  std::int64_t count = 0;
  const StorageNode* previous = nullptr;
  for (const StorageNode* n = storage.first; n != nullptr; previous = n, n = n->next) {
    EXPECT_EQ(n->prev, previous);
    ++count;
  }
  EXPECT_EQ(previous, storage.last);
  return count;
}

const char* textOf(const ColumnStorage& storage, std::int64_t index) {
  return static_cast<TextNode*>(nodeAt(storage.first, index))->text;
}

const char* tableEntry(const ColumnStorage& storage, int entry) {
  return static_cast<const char*>(storage.blockTable[entry]);
}

TEST(ColumnStorage, BlocksAndChunksOfTheModelSize) {
  ColumnStorage numbers = allocateStorage(ColumnType::Numeric, 1'000'000);
  ASSERT_EQ(numbers.blockCount, 2);
  EXPECT_EQ(checkLinks(numbers), 1'000'000);
  EXPECT_EQ(numbers.blockTable[0], numbers.first);
  EXPECT_EQ(static_cast<void*>(nodeAt(numbers.first, 999'998)), numbers.blockTable[1]);
  EXPECT_EQ(static_cast<void*>(numbers.last),
            static_cast<void*>(static_cast<NumericNode*>(numbers.blockTable[1]) + 1));
  freeStorage(numbers);
  EXPECT_EQ(std::tuple(numbers.blockTable, numbers.blockCount), std::tuple(nullptr, 0));

  // One node block, then chunks of 197528 and 2472 slots of 81 bytes.
  ColumnStorage texts = allocateStorage(ColumnType::Text, 200'000);
  ASSERT_EQ(texts.blockCount, 3);
  EXPECT_EQ(checkLinks(texts), 200'000);
  EXPECT_EQ(texts.blockTable[0], texts.first);
  EXPECT_EQ(textOf(texts, 0), tableEntry(texts, 1));
  EXPECT_EQ(textOf(texts, 197'527), tableEntry(texts, 1) + 197'527 * 81);
  EXPECT_EQ(textOf(texts, 197'528), tableEntry(texts, 2));
  EXPECT_EQ(textOf(texts, 199'999), tableEntry(texts, 2) + 2'471 * 81);
  freeStorage(texts);
}

TEST(ColumnStorage, NumericBlocksAreLinkedAcrossBoundaries) {
  ScopedStorageLimits small({.numericNodesPerBlock = 3});
  for (ColumnType kind :
       {ColumnType::Numeric, ColumnType::Factor, ColumnType::RowNumber, ColumnType::PinnedNumeric,
        ColumnType::LevelValues, ColumnType{1}, ColumnType{22}}) {
    ColumnStorage storage = allocateStorage(kind, 7);
    EXPECT_EQ(storage.blockCount, 3) << code(kind);
    EXPECT_EQ(checkLinks(storage), 7) << code(kind);
    // Blocks of 3, 3 and 1 nodes, each block's nodes contiguous.
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, 3)), storage.blockTable[1]);
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, 6)), storage.blockTable[2]);
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, 2)),
              static_cast<void*>(static_cast<NumericNode*>(storage.blockTable[0]) + 2));
    freeStorage(storage);
  }
}

TEST(ColumnStorage, TextBlocksAndChunksAlternateInTheTable) {
  // Blocks of 4 nodes, chunks of 3 slots (405 / 81 - 2). The table holds
  // block(4) chunk(3) chunk(1) block(4) chunk(3) chunk(1) block(2) chunk(2).
  ScopedStorageLimits small({.textNodesPerBlock = 4, .textChunkBytes = 405});
  ColumnStorage storage = allocateStorage(ColumnType::Text, 10);
  ASSERT_EQ(storage.blockCount, 8);
  EXPECT_EQ(checkLinks(storage), 10);
  // Node, table entry and slot.
  const std::tuple<std::int64_t, int, std::int64_t> texts[] = {
      {0, 1, 0}, {2, 1, 2}, {3, 2, 0}, {4, 4, 0}, {6, 4, 2}, {7, 5, 0}, {8, 7, 0}, {9, 7, 1}};
  for (auto [node, entry, slot] : texts) {
    EXPECT_EQ(textOf(storage, node), tableEntry(storage, entry) + slot * 81) << "node " << node;
  }
  for (int entry : {0, 3, 6}) {
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, entry / 3 * 4)), storage.blockTable[entry]);
  }
  freeStorage(storage);
}

TEST(ColumnStorage, SlotWidthComesFromTheKindOnly) {
  EXPECT_EQ(std::tuple(textSlotWidth(ColumnType::Text), textSlotWidth(ColumnType::PinnedText),
                       textSlotWidth(ColumnType::LevelLabels), textSlotWidth(ColumnType::Numeric)),
            std::tuple(80, 80, 40, 0));
  ColumnStorage labels = allocateStorage(ColumnType::LevelLabels, 3);
  EXPECT_EQ(
      std::tuple(textOf(labels, 1) - textOf(labels, 0), textOf(labels, 2) - textOf(labels, 1)),
      std::tuple(41, 41));
  freeStorage(labels);
  ColumnStorage texts = allocateStorage(ColumnType::PinnedText, 2);
  EXPECT_EQ(textOf(texts, 1) - textOf(texts, 0), 81);
  freeStorage(texts);
}

TEST(ColumnStorage, KindsWithoutNodesAndEmptyCountsAllocateNothing) {
  const std::pair<ColumnType, std::int64_t> cases[] = {
      {ColumnType{-2}, 5}, {ColumnType{-1}, 5},      {ColumnType{9}, 5},    {ColumnType{93}, 5},
      {ColumnType{-5}, 5}, {ColumnType::Numeric, 0}, {ColumnType::Text, -3}};
  for (auto [kind, count] : cases) {
    const ColumnStorage storage = allocateStorage(kind, count);
    EXPECT_EQ(std::tuple(storage.first, storage.last, storage.blockTable, storage.blockCount),
              std::tuple(nullptr, nullptr, nullptr, 0))
        << code(kind) << " " << count;
  }
}

TEST(ColumnStorage, StoreTextCutsToTheSlotAndNodeListsStopAtTheCount) {
  ColumnStorage storage = allocateStorage(ColumnType::Text, 2);
  auto& node = *static_cast<TextNode*>(storage.first);
  storeText(node, std::string(100, 'x'));
  EXPECT_EQ(std::string(node.text), std::string(80, 'x'));
  storeText(node, "abcdef", 3);
  EXPECT_STREQ(node.text, "abc");
  storeText(node, "");
  EXPECT_STREQ(node.text, "");
  // A NULL value's text is a view without a pointer; the sanitizers catch
  // it being handed to memmove.
  storeText(node, "abc");
  storeText(node, std::string_view());
  EXPECT_STREQ(node.text, "");
  freeStorage(storage);

  testing::TestSheet sheet;
  SheetColumn* column = sheet.addNumbers("x", {1, 2, 3, 4});
  column->length = 2;
  EXPECT_EQ(testing::valuesOf(*column), (testing::Numbers{1, 2}));
  column->length = 0;
  EXPECT_TRUE(testing::valuesOf(*column).empty());
  column->length = 4;
  EXPECT_EQ(nodeAt(column->valueStorage.first, 4), nullptr);
  EXPECT_EQ(nodeAt(column->valueStorage.first, -1), nullptr);
}

TEST(ColumnStorage, ReleaseClearsTheFieldsOfOneStorage) {
  testing::TestSheet sheet;
  SheetColumn* text = sheet.addTexts("t", {"a", "bb"});
  text->levelCount = 2;
  releaseStorage(*text, StorageSlot::Values);
  EXPECT_EQ(
      std::tuple(text->valueStorage.first, text->valueStorage.last, text->valueStorage.blockTable,
                 text->valueStorage.blockCount, text->length, text->levelCount),
      std::tuple(nullptr, nullptr, nullptr, 0, 0, 0));

  SheetColumn* numbers = sheet.addNumbers("n", {1, 2}, ColumnType::Factor);
  numbers->levelCount = 5;
  testing::attachLevelValues(*numbers, {1, 2});
  releaseStorage(*numbers, StorageSlot::LevelValues);
  EXPECT_EQ(std::tuple(numbers->levelValueStorage.first, numbers->levelValueStorage.blockTable,
                       numbers->levelValueStorage.blockCount, numbers->levelValueCount),
            std::tuple(nullptr, nullptr, 0, 0));
  EXPECT_EQ(numbers->length, 2);  // the values are untouched
  releaseStorage(*numbers, StorageSlot::Values);
  EXPECT_EQ(numbers->levelCount, 5);  // only text columns lose it
  EXPECT_EQ(numbers->valueStorage.first, nullptr);
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
