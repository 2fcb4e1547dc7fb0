// Where the fetch keeps a result column's values until the Sheet is built
// (the Sheet must know its row count first): numbers as doubles, texts in
// Windows-1252 as the Sheet stores them, with their NUL, one after another
// in blocks of this column alone (sheet/memory_block.h): the first few
// small ones from the heap, the large ones mapped from the system.
//
// The blocks are laid out as a column's storage lays out its values, so the
// Sheet column takes them over (takeBlocks) instead of copying them; a
// column that needs its values in another form reads them and releases
// the stage.
//
//   ColumnStage stage;
//   stage.addNumber(1.5);  stage.addText("abc", 3);      // while fetching
//   ColumnStage::Reader read = stage.reader();
//   double x = read.number();  std::string_view t = read.text();  // in order
//   stage.release();  // or: std::vector<MemoryBlock> blocks = stage.takeBlocks();
// A column stages numbers or texts, never both; values are read back in
// the order they were added, each exactly once. Blocks start small and
// double, so a column of a few values holds a kilobyte, not a large block.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "sheet/memory_block.h"

namespace vodbc {

class ColumnStage {
 public:
  ColumnStage() = default;
  ~ColumnStage() { release(); }
  ColumnStage(ColumnStage&& other) noexcept;
  ColumnStage& operator=(ColumnStage&&) = delete;
  ColumnStage(const ColumnStage&) = delete;
  ColumnStage& operator=(const ColumnStage&) = delete;

  void addNumber(double value);
  // Stages `utf8` converted to Windows-1252, cut at `maxChars` characters
  // and at a NUL in it, without its trailing blanks (the padding of
  // fixed-width types; leading blanks are data).
  void addText(std::string_view utf8, std::size_t maxChars);
  // True while every text staged is empty or date-shaped
  // (looksLikeTimestamp): noted as the texts arrive, so the fetch knows its
  // date columns without reading them again.
  bool allDateShaped() const { return allDateShaped_; }

  class Reader {
   public:
    double number();
    std::string_view text();  // valid until release()

   private:
    friend class ColumnStage;
    explicit Reader(const std::vector<MemoryBlock>& blocks) : blocks_(blocks) {}
    const char* next(std::size_t bytes);
    const std::vector<MemoryBlock>& blocks_;
    std::size_t block_ = 0;
    std::size_t at_ = 0;
  };
  Reader reader() const { return Reader(blocks_); }

  // Frees every block; the stage is empty afterwards.
  void release();

  // Hands every block over, in order; the stage is empty afterwards.
  // Values never straddle blocks: each block's `used` bytes hold whole
  // values (doubles, or NUL-ended texts).
  std::vector<MemoryBlock> takeBlocks();

  // Bytes of every block held, used or not.
  std::size_t reservedBytes() const;

 private:
  // Room for `bytes` contiguous bytes at the end of the last block (a new
  // block when they do not fit); the bytes count as used.
  char* take(std::size_t bytes);

  std::vector<MemoryBlock> blocks_;
  bool allDateShaped_ = true;
};

// A fetched text without its trailing blanks, the padding of fixed-width
// types (leading blanks are data).
inline std::string_view withoutPadding(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace vodbc
