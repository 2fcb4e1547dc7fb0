// Value storage of a column: its values in blocks, each block one
// contiguous array, so a column of a hundred thousand values needs only a
// handful of allocations and a walk over it reads memory in order.
//
//   kind codes                              a value is             values per block
//   -4, 0, 1, 2, 4, 5, 6, 7, 8, 22, 90      a double               999998
//   -3, 3, 91                               a pointer to its text  1333331
//   anything else (92 too)                  nothing is allocated
//
// Texts are NUL-ended and at most W bytes long (W = 80 for kinds -3 and 3,
// 40 for kind 91). They are kept at their real length, one after another,
// in arenas the storage owns: pieces it allocates as texts are added, or
// blocks of the fetch's staging that it adopts, so a fetched text is never
// copied. Empty texts all point at one shared empty text.
//
// The block limits, and the sizes the allocation cap is checked against,
// are those of the linked-node layout this storage replaced (16 bytes a
// number, 12 a text's node, room for one more per block): the same
// requests pass and fail the cap as before, while the memory holds little
// more than the values themselves.
//
//   ColumnStorage numbers = allocateStorage(ColumnType::Numeric, n);
//   for (double& value : numbersIn(numbers)) value = ...;
//   TextStorageBuilder texts(ColumnType::Text, n);
//   texts.add("abc"); ...;  ColumnStorage storage = texts.finish();
//   for (const char* text : textsIn(storage)) ...;
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <type_traits>
#include <vector>

#include "sheet/column_type.h"
#include "sheet/memory_block.h"

namespace vodbc {

struct SheetColumn;

// Sizes in the compact original layout; the allocation cap is checked
// against these (see checkedAllocLayout).
constexpr std::uint64_t kNumericNodeLayoutSize = 16;
constexpr std::uint64_t kTextNodeLayoutSize = 12;

constexpr int kTextValueWidth = 80;  // W of kinds -3 and 3
constexpr int kLabelWidth = 40;      // W of kind 91

// `count` values (doubles or text pointers) one after another from `values`.
struct ValueBlock {
  void* values;
  std::int64_t count;
};

// One storage: its value blocks in order and the memory it owns (the value
// arrays and the text arenas). It frees that memory when it is cleared or
// destroyed; moving it hands the memory over.
class ColumnStorage {
 public:
  ColumnStorage() = default;
  ~ColumnStorage() { clear(); }
  ColumnStorage(ColumnStorage&& other) noexcept;
  ColumnStorage& operator=(ColumnStorage&& other) noexcept;
  ColumnStorage(const ColumnStorage&) = delete;
  ColumnStorage& operator=(const ColumnStorage&) = delete;

  const std::vector<ValueBlock>& blocks() const { return blocks_; }
  std::int64_t size() const { return size_; }  // values in all blocks
  bool empty() const { return size_ == 0; }
  // Bytes of every block of memory it owns, used or not.
  std::size_t reservedBytes() const;

  // Frees everything; the storage is empty afterwards.
  void clear();

  // For the code that builds storages: appends a block of `count` > 0
  // values that lie in memory the storage owns; takes over `block`.
  void addValues(void* values, std::int64_t count);
  void own(MemoryBlock block);

 private:
  std::vector<ValueBlock> blocks_;
  std::vector<MemoryBlock> owned_;
  std::int64_t size_ = 0;
};

// Block sizes. The defaults are the model's; tests shrink them to cross
// block and arena boundaries with few values.
struct StorageLimits {
  std::int64_t numbersPerBlock = 999'998;
  std::int64_t textsPerBlock = 1'333'331;
  std::size_t arenaPieceBytes = std::size_t{256} * 1024;  // of copied texts
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

// Text width W of a text kind (80 for -3 and 3, 40 for 91); 0 otherwise.
int textWidth(ColumnType kind);

// A storage of `count` values of kind `kind`: zero for the numeric kinds,
// empty texts for the text kinds. A non-positive count or a kind without
// values gives an empty storage. Memory comes from the checked routines:
// exhaustion ends the process.
ColumnStorage allocateStorage(ColumnType kind, std::int64_t count);

// A numeric storage of the doubles staged in `blocks` (used / 8 of them in
// each, in order), which it takes over: the values are not copied.
ColumnStorage adoptNumbers(std::vector<MemoryBlock> blocks);

// Builds a text storage of `count` texts of kind `kind`, in row order.
// Texts are either copied into the storage's own arena (add) or left where
// they are, in blocks of NUL-ended texts that the storage adopts
// (adoptTexts). Texts never added are empty.
class TextStorageBuilder {
 public:
  TextStorageBuilder(ColumnType kind, std::int64_t count);
  TextStorageBuilder(const TextStorageBuilder&) = delete;
  TextStorageBuilder& operator=(const TextStorageBuilder&) = delete;

  // Copies at most W bytes of `text`, with a NUL behind them.
  void add(std::string_view text);
  // Takes over a block of texts that lie one after another, each ended by
  // its NUL, over its `used` bytes, and adds each of them where it is; a
  // text longer than W is cut there.
  void adoptTexts(MemoryBlock block);
  ColumnStorage finish();

 private:
  void addPointer(const char* text);

  ColumnStorage storage_;
  std::size_t width_;
  std::int64_t left_;  // texts still to come
  const char** pointers_ = nullptr;
  std::int64_t pointersLeft_ = 0;
  char* arena_ = nullptr;
  std::size_t arenaLeft_ = 0;
};

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

// The first `count` values of a storage, walked block by block:
//   for (double& value : numericValues(column)) value = ...;
//   for (const char* text : textValues(column)) ...;
template <class Value>
class ValueRange {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::remove_cv_t<Value>;
    using difference_type = std::ptrdiff_t;
    using pointer = Value*;
    using reference = Value&;

    iterator() = default;
    iterator(const ValueBlock* block, std::int64_t left) : block_(block), left_(left) {
      if (left_ > 0) enterBlock();
    }
    Value& operator*() const { return *at_; }
    iterator& operator++() {
      if (--left_ <= 0) {
        at_ = nullptr;
      } else if (++at_ == blockEnd_) {
        ++block_;
        enterBlock();
      }
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const iterator& other) const { return at_ == other.at_; }

   private:
    void enterBlock() {
      at_ = static_cast<Value*>(block_->values);
      blockEnd_ = at_ + block_->count;
    }
    const ValueBlock* block_ = nullptr;
    Value* at_ = nullptr;  // null at the end
    Value* blockEnd_ = nullptr;
    std::int64_t left_ = 0;
  };

  ValueRange(const ColumnStorage& storage, std::int64_t count)
      : blocks_(storage.blocks().data()), count_(count < storage.size() ? count : storage.size()) {}
  iterator begin() const { return iterator(blocks_, count_); }
  iterator end() const { return iterator(); }

 private:
  const ValueBlock* blocks_;
  std::int64_t count_;
};

using NumberRange = ValueRange<double>;
using TextRange = ValueRange<const char* const>;

// Every value of a storage.
NumberRange numbersIn(const ColumnStorage& storage);
TextRange textsIn(const ColumnStorage& storage);

// The column's values (at most `length` of them).
NumberRange numericValues(const SheetColumn& column);
TextRange textValues(const SheetColumn& column);
// The level storages (at most `levelValueCount` / `levelLabelCount`).
NumberRange levelValues(const SheetColumn& column);
TextRange levelLabels(const SheetColumn& column);

}  // namespace vodbc
