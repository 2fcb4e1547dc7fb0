#include "odbc/fetch_stage.h"

#include <sys/mman.h>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "odbc/fetch.h"
#include "odbc/text_encoding.h"
#include "sheet/checked_alloc.h"

namespace vodbc {
namespace {

// Large enough that a column of a hundred thousand values needs only a few
// blocks, small enough that a short result maps little.
constexpr std::size_t kBlockBytes = std::size_t{512} * 1024;

// A block straight from the system; when none is left, one from the
// checked allocator, which ends the process with the usual message when
// the heap is exhausted too.
ColumnStage::Block newBlock() {
  void* block =
      mmap(nullptr, kBlockBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return {static_cast<char*>(checkedAlloc(kBlockBytes)), 0, false};
  return {static_cast<char*>(block), 0, true};
}

}  // namespace

ColumnStage::ColumnStage(ColumnStage&& other) noexcept
    : blocks_(std::move(other.blocks_)), allDateShaped_(other.allDateShaped_) {
  other.blocks_.clear();
}

char* ColumnStage::take(std::size_t bytes) {
  assert(bytes <= kBlockBytes);
  if (blocks_.empty() || kBlockBytes - blocks_.back().used < bytes) {
    blocks_.push_back(newBlock());
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
      munmap(block.start, kBlockBytes);
    } else {
      std::free(block.start);
    }
  }
  blocks_.clear();
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
