#include "sheet/memory_block.h"

#include <sys/mman.h>

#include <cstdlib>

#include "sheet/checked_alloc.h"

namespace vodbc {

MemoryBlock allocateMemoryBlock(std::size_t size, std::uint64_t layoutSize) {
  checkAllocationCap(layoutSize);
  if (size >= kMappedBlockBytes) {
    void* block = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block != MAP_FAILED) return {static_cast<char*>(block), size, 0, true};
    // No mapping to be had: the heap may still have room, and when it has
    // none either the checked allocator ends the process with its message.
  }
  return {static_cast<char*>(checkedAllocLayout(size, layoutSize)), size, 0, false};
}

void freeMemoryBlock(MemoryBlock& block) {
  if (block.start != nullptr) {
    if (block.mapped) {
      munmap(block.start, block.size);
    } else {
      std::free(block.start);
    }
  }
  block = {};
}

}  // namespace vodbc
