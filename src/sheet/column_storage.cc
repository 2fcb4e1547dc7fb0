#include "sheet/column_storage.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "sheet/checked_alloc.h"
#include "sheet/fixed_text.h"
#include "sheet/sheet.h"

namespace vodbc {
namespace {

StorageLimits limits;

enum class NodeShape { None, Numeric, Text, RowAttribute };

NodeShape shapeOf(ColumnType kind) {
  if (holdsNumericNodes(kind)) return NodeShape::Numeric;
  if (holdsTextNodes(kind)) return NodeShape::Text;
  if (kind == ColumnType::RowAttributes) return NodeShape::RowAttribute;
  return NodeShape::None;
}

// Builds a storage block by block, keeping the table and the links.
class StorageBuilder {
 public:
  // Appends a block to the table; the table grows by one entry each time.
  void* addBlock(std::uint64_t realSize, std::uint64_t layoutSize) {
    void* block = checkedAllocLayout(realSize, layoutSize);
    const auto entries = static_cast<std::uint64_t>(storage_.blockCount) + 1;
    storage_.blockTable = static_cast<void**>(checkedReallocLayout(
        storage_.blockTable, entries * sizeof(void*), entries * kPointerLayoutSize));
    storage_.blockTable[storage_.blockCount++] = block;
    return block;
  }

  // Links `node` behind the last node so far.
  void link(StorageNode* node) {
    node->prev = storage_.last;
    node->next = nullptr;
    if (storage_.last != nullptr) {
      storage_.last->next = node;
    } else {
      storage_.first = node;
    }
    storage_.last = node;
  }

  ColumnStorage finish() { return storage_; }

 private:
  ColumnStorage storage_;
};

template <class Node>
ColumnStorage allocateFixedNodes(std::int64_t count, std::int64_t perBlock,
                                 std::uint64_t layoutSize) {
  StorageBuilder builder;
  for (std::int64_t remaining = count; remaining > 0;) {
    const std::int64_t m = std::min(remaining, perBlock);
    remaining -= m;
    const auto room = static_cast<std::uint64_t>(m) + 1;
    auto* nodes = static_cast<Node*>(builder.addBlock(room * sizeof(Node), room * layoutSize));
    for (std::int64_t i = 0; i < m; ++i) builder.link(&nodes[i]);
  }
  return builder.finish();
}

ColumnStorage allocateTextNodes(std::int64_t count, int width) {
  const std::uint64_t slotSize = static_cast<std::uint64_t>(width) + 1;
  const std::int64_t slotsPerChunk =
      std::max<std::int64_t>(1, limits.textChunkBytes / (width + 1) - 2);
  StorageBuilder builder;
  for (std::int64_t remaining = count; remaining > 0;) {
    const std::int64_t m = std::min(remaining, limits.textNodesPerBlock);
    remaining -= m;
    const auto room = static_cast<std::uint64_t>(m) + 1;
    auto* nodes = static_cast<TextNode*>(
        builder.addBlock(room * sizeof(TextNode), room * kTextNodeLayoutSize));
    char* slot = nullptr;
    std::int64_t slotsLeft = 0;
    std::int64_t withoutSlot = m;
    for (std::int64_t i = 0; i < m; ++i) {
      if (slotsLeft == 0) {
        slotsLeft = std::min(withoutSlot, slotsPerChunk);
        const auto chunkRoom = (static_cast<std::uint64_t>(slotsLeft) + 1) * slotSize;
        slot = static_cast<char*>(builder.addBlock(chunkRoom, chunkRoom));
      }
      nodes[i].text = slot;
      slot += slotSize;
      --slotsLeft;
      --withoutSlot;
      builder.link(&nodes[i]);
    }
  }
  return builder.finish();
}

}  // namespace

ScopedStorageLimits::ScopedStorageLimits(const StorageLimits& replacement) : saved_(limits) {
  limits = replacement;
}

ScopedStorageLimits::~ScopedStorageLimits() { limits = saved_; }

int textSlotWidth(ColumnType kind) {
  if (kind == ColumnType::LevelLabels) return kLabelWidth;
  if (holdsTextNodes(kind)) return kTextValueWidth;
  return 0;
}

ColumnStorage allocateStorage(ColumnType kind, std::int64_t count) {
  if (count <= 0) return {};
  switch (shapeOf(kind)) {
    case NodeShape::Numeric:
      return allocateFixedNodes<NumericNode>(count, limits.numericNodesPerBlock,
                                             kNumericNodeLayoutSize);
    case NodeShape::RowAttribute:
      return allocateFixedNodes<RowAttributeNode>(count, limits.rowAttributeNodesPerBlock,
                                                  kRowAttributeNodeLayoutSize);
    case NodeShape::Text:
      return allocateTextNodes(count, textSlotWidth(kind));
    case NodeShape::None:
      break;
  }
  return {};
}

void freeStorage(ColumnStorage& storage) {
  for (std::int32_t i = 0; i < storage.blockCount; ++i) {
    std::free(storage.blockTable[i]);
  }
  std::free(storage.blockTable);
  storage = {};
}

// freeStorage leaves the storage empty, node pointers included, so nothing
// can walk freed nodes.
void releaseStorage(SheetColumn& column, StorageSlot which) {
  switch (which) {
    case StorageSlot::LevelValues:
      freeStorage(column.levelValueStorage);
      column.levelValueCount = 0;
      break;
    case StorageSlot::LevelLabels:
      freeStorage(column.levelLabelStorage);
      column.levelLabelCount = 0;
      break;
    case StorageSlot::Values:
      freeStorage(column.valueStorage);
      column.length = 0;
      if (column.type == ColumnType::PinnedText || column.type == ColumnType::Text) {
        column.levelCount = 0;
      }
      break;
  }
}

void allocateColumnValues(SheetColumn& column, std::int32_t count) {
  assert(column.valueStorage.blockTable == nullptr);
  column.valueStorage = allocateStorage(column.type, count);
  column.length = std::max<std::int32_t>(count, 0);
}

void storeText(TextNode& node, std::string_view text, std::size_t maxChars) {
  copyCut(node.text, text, maxChars);
}

NodeList<NumericNode> numericValues(const SheetColumn& column) {
  return {column.valueStorage.first, column.length};
}

NodeList<TextNode> textValues(const SheetColumn& column) {
  return {column.valueStorage.first, column.length};
}

NodeList<NumericNode> levelValues(const SheetColumn& column) {
  return {column.levelValueStorage.first, column.levelValueCount};
}

NodeList<TextNode> levelLabels(const SheetColumn& column) {
  return {column.levelLabelStorage.first, column.levelLabelCount};
}

StorageNode* nodeAt(StorageNode* first, std::int64_t index) {
  StorageNode* node = first;
  for (std::int64_t i = 0; node != nullptr && i < index; ++i) node = node->next;
  return index < 0 ? nullptr : node;
}

}  // namespace vodbc
