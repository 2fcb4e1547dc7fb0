#include "odbc/fetch_stage.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "odbc/fetch.h"
#include "odbc/text_encoding.h"
#include "sheet/checked_alloc.h"

namespace vodbc {
namespace {

// A column starts with a small block and doubles it up to the largest, so
// a short result (a few rows of 250 columns, say) costs a kilobyte or two per
// column, while a column of a hundred thousand values needs only a few
// blocks.
constexpr std::size_t kFirstBlockBytes = 1024;
constexpr std::size_t kLargestBlockBytes = std::size_t{512} * 1024;
// Blocks from this size on are mapped straight from the system; smaller ones
// come from the heap, where mapping a page at a time would cost more than
// the values.
constexpr std::size_t kMappedBlockBytes = std::size_t{64} * 1024;

// A block of `size` bytes; a mapped block falls back to the checked
// allocator when the system has none left, which ends the process with the
// usual message when the heap is exhausted too.
ColumnStage::Block newBlock(std::size_t size) {
  if (size >= kMappedBlockBytes) {
    void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block != MAP_FAILED) return {static_cast<char*>(block), size, 0, true};
  }
  return {static_cast<char*>(checkedAlloc(size)), size, 0, false};
}

}  // namespace

ColumnStage::ColumnStage(ColumnStage&& other) noexcept
    : blocks_(std::move(other.blocks_)), allDateShaped_(other.allDateShaped_) {
  other.blocks_.clear();
}

char* ColumnStage::take(std::size_t bytes) {
  if (blocks_.empty() || blocks_.back().size - blocks_.back().used < bytes) {
    const std::size_t grown =
        blocks_.empty() ? kFirstBlockBytes : std::min(blocks_.back().size * 2, kLargestBlockBytes);
    blocks_.push_back(newBlock(std::max(grown, bytes)));
  }
  Block& block = blocks_.back();
  char* out = block.start + block.used;
  block.used += bytes;
  return out;
}

void ColumnStage::addNumber(double value) { std::memcpy(take(sizeof value), &value, sizeof value); }

void ColumnStage::addText(std::string_view utf8, std::size_t maxChars) {
  // A Windows-1252 text is never longer than its UTF-8 form; the unused
  // rest of the room is given back.
  const std::size_t room = std::min(utf8.size(), maxChars) + 1;
  char* out = take(room);
  const std::size_t length = utf8ToWindows1252(utf8, maxChars, out);
  blocks_.back().used -= room - (length + 1);
  if (allDateShaped_) {
    const std::string_view stored = withoutPadding(std::string_view(out, length));
    allDateShaped_ = stored.empty() || looksLikeTimestamp(stored);
  }
}

void ColumnStage::release() {
  for (const Block& block : blocks_) {
    if (block.mapped) {
      munmap(block.start, block.size);
    } else {
      std::free(block.start);
    }
  }
  blocks_.clear();
}

std::size_t ColumnStage::reservedBytes() const {
  std::size_t total = 0;
  for (const Block& block : blocks_) total += block.size;
  return total;
}

// Values never straddle blocks: a value that did not fit at the end of a
// block starts the next one.
const char* ColumnStage::Reader::next(std::size_t bytes) {
  if (at_ + bytes > blocks_[block_].used) {
    ++block_;
    at_ = 0;
  }
  const char* out = blocks_[block_].start + at_;
  at_ += bytes;
  return out;
}

double ColumnStage::Reader::number() {
  double value;
  std::memcpy(&value, next(sizeof value), sizeof value);
  return value;
}

std::string_view ColumnStage::Reader::text() {
  // Every staged text holds at least its NUL, so a block read to its end
  // means the next text starts the next block.
  if (at_ == blocks_[block_].used) {
    ++block_;
    at_ = 0;
  }
  const char* start = blocks_[block_].start + at_;
  const std::size_t length = std::strlen(start);
  at_ += length + 1;
  return std::string_view(start, length);
}

}  // namespace vodbc
