// Blocks of memory that values are written into by one part of the program
// and kept by another: the fetch stages a column's values in blocks, and the
// column's storage takes the same blocks over instead of copying them.
//
//   MemoryBlock block = allocateMemoryBlock(64 * 1024);
//   ... write up to block.size bytes from block.start, count them in used ...
//   freeMemoryBlock(block);
//
// Large blocks are mapped straight from the system: they never grow a
// malloc arena page by page, and their memory goes back to the system the
// moment they are freed. Small ones come from the checked allocator, where
// mapping a page at a time would cost more than the values.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vodbc {

struct MemoryBlock {
  char* start = nullptr;
  std::size_t size = 0;  // bytes
  std::size_t used = 0;  // bytes that hold values, from start
  bool mapped = false;   // from mmap, else from checkedAlloc
};

// Blocks from this size on are mapped.
inline constexpr std::size_t kMappedBlockBytes = std::size_t{64} * 1024;

// A zero-filled block of `size` bytes (none used). The allocation cap is
// checked against `layoutSize` (see checkedAllocLayout); running out of
// memory ends the process as checkedAlloc does.
MemoryBlock allocateMemoryBlock(std::size_t size, std::uint64_t layoutSize);
inline MemoryBlock allocateMemoryBlock(std::size_t size) { return allocateMemoryBlock(size, size); }

// Gives the block back and leaves it empty; an empty block is ignored.
void freeMemoryBlock(MemoryBlock& block);

}  // namespace vodbc
