// Where the fetch keeps a result column's values until the Sheet is built
// (the Sheet must know its row count first): numbers as doubles, texts in
// Windows-1252 with their NUL, one after another in blocks of this column
// alone: the first few small ones from the heap, the large ones mapped from
// the system.
//
// Mapped blocks keep a long column out of the heap: it never grows a malloc
// arena page by page, never copies itself to grow, and gives its memory
// back to the system the moment it is released, so a column's staging is
// gone as soon as its Sheet column is filled.
//
//   ColumnStage stage;
//   stage.addNumber(1.5);  stage.addText("abc", 3);      // while fetching
//   ColumnStage::Reader read = stage.reader();
//   double x = read.number();  std::string_view t = read.text();  // in order
//   stage.release();
// A column stages numbers or texts, never both; values are read back in
// the order they were added, each exactly once. Blocks start small and
// double, so a column of a few values holds a kilobyte, not a large block.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

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
  // Stages `utf8` converted to Windows-1252, cut at `maxChars` characters.
  void addText(std::string_view utf8, std::size_t maxChars);
  // True while every text staged, without its padding, is empty or
  // date-shaped (looksLikeTimestamp): noted as the texts arrive, so the
  // fetch knows its date columns without reading them again.
  bool allDateShaped() const { return allDateShaped_; }

  struct Block {
    char* start;
    std::size_t size;  // bytes
    std::size_t used;  // bytes
    bool mapped;       // else from checkedAlloc
  };

  class Reader {
   public:
    double number();
    std::string_view text();  // valid until release()

   private:
    friend class ColumnStage;
    explicit Reader(const std::vector<Block>& blocks) : blocks_(blocks) {}
    const char* next(std::size_t bytes);
    const std::vector<Block>& blocks_;
    std::size_t block_ = 0;
    std::size_t at_ = 0;
  };
  Reader reader() const { return Reader(blocks_); }

  // Unmaps every block; the stage is empty afterwards.
  void release();

  // Bytes of every block held, used or not.
  std::size_t reservedBytes() const;

 private:
  // Room for `bytes` contiguous bytes at the end of the last block (a new
  // block when they do not fit); the bytes count as used.
  char* take(std::size_t bytes);

  std::vector<Block> blocks_;
  bool allDateShaped_ = true;
};

// A fetched text without its trailing blanks, the padding of fixed-width
// types (leading blanks are data).
inline std::string_view withoutPadding(std::string_view text) {
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

}  // namespace vodbc
