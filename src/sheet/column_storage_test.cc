#include "sheet/column_storage.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/sheet.h"
#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

using testing::TestSheet;

// Walks the storage forward and backward, checking that the links agree,
// and returns the number of nodes.
std::int64_t checkLinks(const ColumnStorage& storage) {
  std::int64_t count = 0;
  const StorageNode* previous = nullptr;
  for (const StorageNode* n = storage.first; n != nullptr; n = n->next) {
    EXPECT_EQ(n->prev, previous);
    previous = n;
    ++count;
  }
  EXPECT_EQ(previous, storage.last);
  return count;
}

char* textOf(const ColumnStorage& storage, std::int64_t index) {
  return static_cast<TextNode*>(nodeAt(storage.first, index))->text;
}

TEST(ColumnStorage, MillionNumbersTakeTwoBlocksOfTheModelSize) {
  ColumnStorage storage = allocateStorage(ColumnType::Numeric, 1'000'000);
  ASSERT_EQ(storage.blockCount, 2);
  EXPECT_EQ(checkLinks(storage), 1'000'000);
  EXPECT_EQ(storage.blockTable[0], storage.first);
  EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, 999'998)), storage.blockTable[1]);
  EXPECT_EQ(static_cast<NumericNode*>(storage.last),
            static_cast<NumericNode*>(storage.blockTable[1]) + 1);
  freeStorage(storage);
  EXPECT_EQ(storage.blockTable, nullptr);
  EXPECT_EQ(storage.blockCount, 0);
}

TEST(ColumnStorage, TextSlotsComeInChunksOfTheModelSize) {
  ColumnStorage storage = allocateStorage(ColumnType::Text, 200'000);
  // One node block, then chunks of 197528 and 2472 slots of 81 bytes.
  ASSERT_EQ(storage.blockCount, 3);
  EXPECT_EQ(checkLinks(storage), 200'000);
  EXPECT_EQ(storage.blockTable[0], storage.first);
  const auto* chunk1 = static_cast<char*>(storage.blockTable[1]);
  const auto* chunk2 = static_cast<char*>(storage.blockTable[2]);
  EXPECT_EQ(textOf(storage, 0), chunk1);
  EXPECT_EQ(textOf(storage, 197'527), chunk1 + 197'527 * 81);
  EXPECT_EQ(textOf(storage, 197'528), chunk2);
  EXPECT_EQ(textOf(storage, 199'999), chunk2 + 2'471 * 81);
  freeStorage(storage);
}

TEST(ColumnStorage, NumericBlocksAreLinkedAcrossBoundaries) {
  ScopedStorageLimits small({.numericNodesPerBlock = 3});
  for (ColumnType kind : {ColumnType::Numeric, ColumnType::Factor,
                          ColumnType::RowNumber, ColumnType::PinnedNumeric,
                          ColumnType::LevelValues, ColumnType{1}, ColumnType{22}}) {
    ColumnStorage storage = allocateStorage(kind, 7);
    EXPECT_EQ(storage.blockCount, 3) << code(kind);
    EXPECT_EQ(checkLinks(storage), 7) << code(kind);
    // Blocks of 3, 3 and 1 nodes, each block's nodes contiguous.
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, 3)), storage.blockTable[1]);
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, 6)), storage.blockTable[2]);
    EXPECT_EQ(static_cast<NumericNode*>(nodeAt(storage.first, 2)),
              static_cast<NumericNode*>(storage.blockTable[0]) + 2);
    freeStorage(storage);
  }
}

TEST(ColumnStorage, TextBlocksAndChunksAlternateInTheTable) {
  // Blocks of 4 nodes, chunks of 3 slots (405 / 81 - 2).
  ScopedStorageLimits small({.textNodesPerBlock = 4, .textChunkBytes = 405});
  ColumnStorage storage = allocateStorage(ColumnType::Text, 10);
  ASSERT_EQ(storage.blockCount, 8);
  EXPECT_EQ(checkLinks(storage), 10);
  // Table: block(4) chunk(3) chunk(1) block(4) chunk(3) chunk(1) block(2) chunk(2).
  struct Expect {
    std::int64_t node;
    int tableEntry;
    std::int64_t slot;
  };
  const Expect texts[] = {{0, 1, 0}, {2, 1, 2}, {3, 2, 0}, {4, 4, 0},
                          {6, 4, 2}, {7, 5, 0}, {8, 7, 0}, {9, 7, 1}};
  for (const Expect& e : texts) {
    EXPECT_EQ(textOf(storage, e.node),
              static_cast<char*>(storage.blockTable[e.tableEntry]) + e.slot * 81)
        << "node " << e.node;
  }
  for (int nodeBlock : {0, 3, 6}) {
    EXPECT_EQ(static_cast<void*>(nodeAt(storage.first, nodeBlock / 3 * 4)),
              storage.blockTable[nodeBlock]);
  }
  freeStorage(storage);
}

TEST(ColumnStorage, SlotWidthComesFromTheKindOnly) {
  EXPECT_EQ(textSlotWidth(ColumnType::Text), 80);
  EXPECT_EQ(textSlotWidth(ColumnType::PinnedText), 80);
  EXPECT_EQ(textSlotWidth(ColumnType::LevelLabels), 40);
  EXPECT_EQ(textSlotWidth(ColumnType::Numeric), 0);
  ColumnStorage labels = allocateStorage(ColumnType::LevelLabels, 3);
  EXPECT_EQ(textOf(labels, 1) - textOf(labels, 0), 41);
  EXPECT_EQ(textOf(labels, 2) - textOf(labels, 1), 41);
  freeStorage(labels);
  ColumnStorage texts = allocateStorage(ColumnType::PinnedText, 2);
  EXPECT_EQ(textOf(texts, 1) - textOf(texts, 0), 81);
  freeStorage(texts);
}

TEST(ColumnStorage, KindsWithoutNodesAndEmptyCountsAllocateNothing) {
  struct Case {
    ColumnType kind;
    std::int64_t count;
  };
  const Case cases[] = {{ColumnType{-2}, 5}, {ColumnType{-1}, 5}, {ColumnType{9}, 5},
                        {ColumnType{93}, 5}, {ColumnType{-5}, 5},
                        {ColumnType::Numeric, 0}, {ColumnType::Text, -3}};
  for (const Case& c : cases) {
    const ColumnStorage storage = allocateStorage(c.kind, c.count);
    EXPECT_EQ(storage.first, nullptr) << code(c.kind);
    EXPECT_EQ(storage.last, nullptr) << code(c.kind);
    EXPECT_EQ(storage.blockTable, nullptr) << code(c.kind);
    EXPECT_EQ(storage.blockCount, 0) << code(c.kind);
  }
}

TEST(ColumnStorage, StoreTextCutsToTheSlot) {
  ColumnStorage storage = allocateStorage(ColumnType::Text, 2);
  auto& node = *static_cast<TextNode*>(storage.first);
  storeText(node, std::string(100, 'x'));
  EXPECT_EQ(std::string(node.text), std::string(80, 'x'));
  storeText(node, "abcdef", 3);
  EXPECT_STREQ(node.text, "abc");
  storeText(node, "");
  EXPECT_STREQ(node.text, "");
  freeStorage(storage);
}

TEST(ColumnStorage, NodeListsStopAtTheCount) {
  TestSheet sheet;
  SheetColumn* column = sheet.addNumbers("x", {1, 2, 3, 4});
  column->length = 2;
  EXPECT_EQ(testing::valuesOf(*column), (std::vector<double>{1, 2}));
  column->length = 0;
  EXPECT_TRUE(testing::valuesOf(*column).empty());
  column->length = 4;
  EXPECT_EQ(nodeAt(column->first, 4), nullptr);
  EXPECT_EQ(nodeAt(column->first, -1), nullptr);
}

TEST(ColumnStorage, ReleaseClearsTheFieldsOfOneStorage) {
  TestSheet sheet;
  SheetColumn* text = sheet.addTexts("t", {"a", "bb"});
  text->levelCount = 2;
  releaseStorage(*text, StorageSlot::Values);
  EXPECT_EQ(text->first, nullptr);
  EXPECT_EQ(text->last, nullptr);
  EXPECT_EQ(text->blockTable, nullptr);
  EXPECT_EQ(text->blockCount, 0);
  EXPECT_EQ(text->length, 0);
  EXPECT_EQ(text->levelCount, 0);

  SheetColumn* numbers = sheet.addNumbers("n", {1, 2});
  numbers->type = ColumnType::Factor;
  numbers->levelCount = 5;
  const ColumnStorage levels = allocateStorage(ColumnType::LevelValues, 2);
  numbers->levelValuesFirst = levels.first;
  numbers->levelValueBlockTable = levels.blockTable;
  numbers->levelValueBlockCount = levels.blockCount;
  numbers->levelValueCount = 2;
  releaseStorage(*numbers, StorageSlot::LevelValues);
  EXPECT_EQ(numbers->levelValuesFirst, nullptr);
  EXPECT_EQ(numbers->levelValueBlockTable, nullptr);
  EXPECT_EQ(numbers->levelValueBlockCount, 0);
  EXPECT_EQ(numbers->levelValueCount, 0);
  EXPECT_EQ(numbers->length, 2);  // the values are untouched
  releaseStorage(*numbers, StorageSlot::Values);
  EXPECT_EQ(numbers->levelCount, 5);  // only text columns lose it
  EXPECT_EQ(numbers->first, nullptr);
}

}  // namespace
}  // namespace vodbc
