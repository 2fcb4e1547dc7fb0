#include "odbc/fetch_stage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "odbc/fetch.h"
#include "odbc/text_encoding.h"

namespace vodbc {
namespace {

// A column starts with a small block and doubles it up to the largest, so
// a short result (a few rows of 250 columns, say) costs a kilobyte or two per
// column, while a column of a hundred thousand values needs only a few
// blocks.
constexpr std::size_t kFirstBlockBytes = 1024;
constexpr std::size_t kLargestBlockBytes = std::size_t{512} * 1024;

}  // namespace

ColumnStage::ColumnStage(ColumnStage&& other) noexcept
    : blocks_(std::move(other.blocks_)), allDateShaped_(other.allDateShaped_) {
  other.blocks_.clear();
}

char* ColumnStage::take(std::size_t bytes) {
  if (blocks_.empty() || blocks_.back().size - blocks_.back().used < bytes) {
    const std::size_t grown =
        blocks_.empty() ? kFirstBlockBytes : std::min(blocks_.back().size * 2, kLargestBlockBytes);
    blocks_.push_back(allocateMemoryBlock(std::max(grown, bytes)));
  }
  MemoryBlock& block = blocks_.back();
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
  const std::size_t converted = utf8ToWindows1252(utf8, maxChars, out);
  // A text ends at its first NUL, as everything that reads it back sees
  // it, so every staged text holds exactly one.
  const std::size_t length = withoutPadding(std::string_view(out, strnlen(out, converted))).size();
  out[length] = '\0';
  blocks_.back().used -= room - (length + 1);
  if (allDateShaped_) {
    allDateShaped_ = length == 0 || looksLikeTimestamp(std::string_view(out, length));
  }
}

void ColumnStage::release() {
  for (MemoryBlock& block : blocks_) freeMemoryBlock(block);
  blocks_.clear();
}

std::vector<MemoryBlock> ColumnStage::takeBlocks() {
  std::vector<MemoryBlock> taken;
  taken.swap(blocks_);
  return taken;
}

std::size_t ColumnStage::reservedBytes() const {
  std::size_t total = 0;
  for (const MemoryBlock& block : blocks_) total += block.size;
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
