// Block-allocated value storage of a column.
//
// A storage is a doubly linked list of fixed-size nodes allocated in large
// blocks, so that a column of hundreds of thousands of values needs only a
// handful of allocations. Nodes are linked through all blocks in order; the
// first node's prev and the last node's next are null. Text nodes point into
// separate chunks of fixed-width text slots (W characters and a NUL);
// consecutive nodes point at consecutive slots.
//
//   kind codes                              node              nodes per block
//   -4, 0, 1, 2, 4, 5, 6, 7, 8, 22, 90      NumericNode       999998
//   -3, 3, 91                               TextNode          1333331
//   92                                      RowAttributeNode  666664
//   anything else                           none (nothing is allocated)
//
// A block of m nodes has room for m+1. Text slots are W = 80 characters for
// kinds -3 and 3 and W = 40 for kind 91, whatever width is asked for; chunks
// hold at most P = 16000000 / (W+1) - 2 slots (197528 for W = 80, 390241 for
// W = 40), a chunk of k slots having room for k+1. The block table lists node
// blocks and text chunks in the order they were allocated.
//
// Nothing in a fresh storage is initialised except links and text pointers:
// callers write every value or slot before anything reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "sheet/column_type.h"

namespace vodbc {

struct SheetColumn;

struct StorageNode {
  StorageNode* next;
  StorageNode* prev;
};

struct NumericNode : StorageNode {
  double value;
};

struct TextNode : StorageNode {
  char* text;  // a slot of W characters and a NUL
};

// One per row, in row order. Nothing reads them after they are built.
struct RowAttributeNode : StorageNode {
  std::int32_t rowIndex;     // 0-based
  std::int32_t classNumber;  // 6
  std::uint16_t flag1;       // 0
  std::uint16_t flag2;       // 0
  std::uint16_t flag3;       // 1
};

// Sizes of the nodes in the compact original layout; the allocation cap is
// checked against these (see checkedAllocLayout).
constexpr std::uint64_t kNumericNodeLayoutSize = 16;
constexpr std::uint64_t kTextNodeLayoutSize = 12;
constexpr std::uint64_t kRowAttributeNodeLayoutSize = 24;
constexpr std::uint64_t kPointerLayoutSize = 4;

constexpr int kTextValueWidth = 80;  // W of kinds -3 and 3
constexpr int kLabelWidth = 40;      // W of kind 91

// One storage: first and last node, the block table and its entry count.
struct ColumnStorage {
  StorageNode* first = nullptr;
  StorageNode* last = nullptr;
  void** blockTable = nullptr;
  std::int32_t blockCount = 0;
};

// Block sizes. The defaults are the model's; tests shrink them to cross
// block and chunk boundaries with few values.
struct StorageLimits {
  std::int64_t numericNodesPerBlock = 999'998;
  std::int64_t textNodesPerBlock = 1'333'331;
  std::int64_t rowAttributeNodesPerBlock = 666'664;
  std::int64_t textChunkBytes = 16'000'000;  // P = textChunkBytes/(W+1) - 2
};

// Test hook: replaces the limits for its lifetime, restoring them after.
class ScopedStorageLimits {
 public:
  explicit ScopedStorageLimits(const StorageLimits& limits);
  ~ScopedStorageLimits();
  ScopedStorageLimits(const ScopedStorageLimits&) = delete;
  ScopedStorageLimits& operator=(const ScopedStorageLimits&) = delete;

 private:
  StorageLimits saved_;
};

// Slot width W of a text kind (80 for -3 and 3, 40 for 91); 0 otherwise.
int textSlotWidth(ColumnType kind);

// Allocates a storage of `count` nodes of kind `kind`. A non-positive count
// or a kind without nodes gives an empty storage (all null, 0 entries).
// Memory comes from the checked routines: exhaustion ends the process.
ColumnStorage allocateStorage(ColumnType kind, std::int64_t count);

// Frees every block of a storage (null entries are skipped) and the table.
void freeStorage(ColumnStorage& storage);

// Which of a column's three storages releaseStorage frees.
enum class StorageSlot { Values, LevelValues, LevelLabels };

// Frees one of a column's storages, leaves it empty and clears its count:
// levelValueCount, levelLabelCount, or length (and for -3 and 3 also
// levelCount).
void releaseStorage(SheetColumn& column, StorageSlot which);

// Allocates the value storage for `count` values of the column's own type
// and installs it as valueStorage, with length.
// The column must have no value storage yet.
void allocateColumnValues(SheetColumn& column, std::int32_t count);

// Copies at most `maxChars` bytes of `text` into the node's slot and ends it
// with a NUL. maxChars must not exceed the slot width W.
void storeText(TextNode& node, std::string_view text, std::size_t maxChars = kTextValueWidth);

// Walks at most `count` nodes from `first`, as typed nodes:
//   for (NumericNode& node : numericValues(column)) node.value = ...;
template <class Node>
class NodeList {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Node;
    using difference_type = std::ptrdiff_t;
    using pointer = Node*;
    using reference = Node&;

    iterator() = default;
    iterator(StorageNode* node, std::int64_t left) : node_(node), left_(left) {
      if (left_ <= 0) node_ = nullptr;
    }
    Node& operator*() const { return *static_cast<Node*>(node_); }
    Node* operator->() const { return static_cast<Node*>(node_); }
    iterator& operator++() {
      node_ = (--left_ > 0) ? node_->next : nullptr;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const iterator& other) const { return node_ == other.node_; }

   private:
    StorageNode* node_ = nullptr;
    std::int64_t left_ = 0;
  };

  NodeList(StorageNode* first, std::int64_t count) : first_(first), count_(count) {}
  iterator begin() const { return iterator(first_, count_); }
  iterator end() const { return iterator(); }

 private:
  StorageNode* first_;
  std::int64_t count_;
};

// The column's values (`length` nodes from `first`).
NodeList<NumericNode> numericValues(const SheetColumn& column);
NodeList<TextNode> textValues(const SheetColumn& column);
// The level storages (`levelValueCount` / `levelLabelCount` nodes).
NodeList<NumericNode> levelValues(const SheetColumn& column);
NodeList<TextNode> levelLabels(const SheetColumn& column);

// The node at 0-based `index` from `first` (a walk), or null past the end.
StorageNode* nodeAt(StorageNode* first, std::int64_t index);

}  // namespace vodbc
