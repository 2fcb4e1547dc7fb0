#include "sheet/column_storage.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <utility>

#include "sheet/sheet.h"

namespace vodbc {
namespace {

StorageLimits limits;

// Where every empty text points: NULLs and blank values cost no arena.
constexpr char kEmptyText[] = "";

// The memory of `m` values of `realSize` bytes each, with the cap checked
// against the m+1 nodes of `layoutSize` bytes the old layout allocated.
MemoryBlock allocateValueArray(std::int64_t m, std::size_t realSize, std::uint64_t layoutSize) {
  const auto values = static_cast<std::uint64_t>(m);
  return allocateMemoryBlock(values * realSize, (values + 1) * layoutSize);
}

ColumnStorage allocateNumbers(std::int64_t count) {
  ColumnStorage storage;
  for (std::int64_t remaining = count; remaining > 0;) {
    const std::int64_t m = std::min(remaining, limits.numbersPerBlock);
    remaining -= m;
    MemoryBlock block = allocateValueArray(m, sizeof(double), kNumericNodeLayoutSize);
    storage.addValues(block.start, m);
    storage.own(block);
  }
  return storage;
}

}  // namespace

ColumnStorage::ColumnStorage(ColumnStorage&& other) noexcept
    : blocks_(std::move(other.blocks_)),
      owned_(std::move(other.owned_)),
      size_(std::exchange(other.size_, 0)) {
  other.blocks_.clear();
  other.owned_.clear();
}

ColumnStorage& ColumnStorage::operator=(ColumnStorage&& other) noexcept {
  if (this != &other) {
    clear();
    blocks_ = std::move(other.blocks_);
    owned_ = std::move(other.owned_);
    size_ = std::exchange(other.size_, 0);
    other.blocks_.clear();
    other.owned_.clear();
  }
  return *this;
}

std::size_t ColumnStorage::reservedBytes() const {
  std::size_t total = 0;
  for (const MemoryBlock& block : owned_) total += block.size;
  return total;
}

void ColumnStorage::clear() {
  for (MemoryBlock& block : owned_) freeMemoryBlock(block);
  // The vectors' own memory goes too: an emptied storage holds nothing.
  std::vector<ValueBlock>().swap(blocks_);
  std::vector<MemoryBlock>().swap(owned_);
  size_ = 0;
}

void ColumnStorage::addValues(void* values, std::int64_t count) {
  assert(count > 0);
  blocks_.push_back({values, count});
  size_ += count;
}

void ColumnStorage::own(MemoryBlock block) {
  if (block.start != nullptr) owned_.push_back(block);
}

ScopedStorageLimits::ScopedStorageLimits(const StorageLimits& replacement) : saved_(limits) {
  limits = replacement;
}

ScopedStorageLimits::~ScopedStorageLimits() { limits = saved_; }

int textWidth(ColumnType kind) {
  if (kind == ColumnType::LevelLabels) return kLabelWidth;
  if (holdsTexts(kind)) return kTextValueWidth;
  return 0;
}

ColumnStorage allocateStorage(ColumnType kind, std::int64_t count) {
  if (count <= 0) return {};
  if (holdsNumbers(kind)) return allocateNumbers(count);
  if (holdsTexts(kind)) return TextStorageBuilder(kind, count).finish();
  return {};
}

ColumnStorage adoptNumbers(std::vector<MemoryBlock> blocks) {
  ColumnStorage storage;
  for (MemoryBlock& block : blocks) {
    const auto count = static_cast<std::int64_t>(block.used / sizeof(double));
    if (count > 0) storage.addValues(block.start, count);
    storage.own(block);
  }
  return storage;
}

TextStorageBuilder::TextStorageBuilder(ColumnType kind, std::int64_t count)
    : width_(static_cast<std::size_t>(textWidth(kind))), left_(holdsTexts(kind) ? count : 0) {}

void TextStorageBuilder::addPointer(const char* text) {
  assert(left_ > 0);
  if (pointersLeft_ == 0) {
    const std::int64_t m = std::min(left_, limits.textsPerBlock);
    MemoryBlock block = allocateValueArray(m, sizeof(const char*), kTextNodeLayoutSize);
    pointers_ = reinterpret_cast<const char**>(block.start);
    pointersLeft_ = m;
    storage_.addValues(block.start, m);
    storage_.own(block);
  }
  *pointers_++ = text;
  --pointersLeft_;
  --left_;
}

void TextStorageBuilder::add(std::string_view text) {
  const std::size_t n = std::min(text.size(), width_);
  if (n == 0) {
    addPointer(kEmptyText);
    return;
  }
  if (arenaLeft_ < n + 1) {
    // Room for the texts still to come at their widest, up to a piece: a
    // storage of a few labels takes a few hundred bytes, a long column
    // grows in pieces.
    const auto widest = static_cast<std::size_t>(left_) * (width_ + 1);
    MemoryBlock piece =
        allocateMemoryBlock(std::max(std::min(widest, limits.arenaPieceBytes), n + 1));
    arena_ = piece.start;
    arenaLeft_ = piece.size;
    storage_.own(piece);
  }
  std::memcpy(arena_, text.data(), n);
  arena_[n] = '\0';
  addPointer(arena_);
  arena_ += n + 1;
  arenaLeft_ -= n + 1;
}

void TextStorageBuilder::adoptTexts(MemoryBlock block) {
  for (std::size_t at = 0; at < block.used;) {
    char* text = block.start + at;
    const std::size_t length = std::strlen(text);
    if (length > width_) text[width_] = '\0';
    addPointer(text);
    at += length + 1;
  }
  storage_.own(block);
}

ColumnStorage TextStorageBuilder::finish() {
  while (left_ > 0) addPointer(kEmptyText);
  return std::move(storage_);
}

// A cleared storage holds no pointer to freed memory, so nothing can walk
// freed values.
void releaseStorage(SheetColumn& column, StorageSlot which) {
  switch (which) {
    case StorageSlot::LevelValues:
      column.levelValueStorage.clear();
      column.levelValueCount = 0;
      break;
    case StorageSlot::LevelLabels:
      column.levelLabelStorage.clear();
      column.levelLabelCount = 0;
      break;
    case StorageSlot::Values:
      column.valueStorage.clear();
      column.length = 0;
      if (column.type == ColumnType::PinnedText || column.type == ColumnType::Text) {
        column.levelCount = 0;
      }
      break;
  }
}

void allocateColumnValues(SheetColumn& column, std::int32_t count) {
  assert(column.valueStorage.empty());
  column.valueStorage = allocateStorage(column.type, count);
  column.length = std::max<std::int32_t>(count, 0);
}

NumberRange numbersIn(const ColumnStorage& storage) { return {storage, storage.size()}; }

TextRange textsIn(const ColumnStorage& storage) { return {storage, storage.size()}; }

NumberRange numericValues(const SheetColumn& column) {
  return {column.valueStorage, column.length};
}

TextRange textValues(const SheetColumn& column) { return {column.valueStorage, column.length}; }

NumberRange levelValues(const SheetColumn& column) {
  return {column.levelValueStorage, column.levelValueCount};
}

TextRange levelLabels(const SheetColumn& column) {
  return {column.levelLabelStorage, column.levelLabelCount};
}

}  // namespace vodbc
