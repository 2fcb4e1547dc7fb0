#include "sheet/checked_alloc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vodbc {
namespace {

[[noreturn]] void endProcess(const char* message, int status) {
  std::fputs(message, stdout);
  std::fflush(stdout);
  std::exit(status);
}

void checkCap(std::uint64_t layoutSize) {
  if (layoutSize > kAllocationCap) {
    endProcess("Error: Data too large for DOS version!\n", kExitDataTooLarge);
  }
}

[[noreturn]] void outOfMemory() {
  endProcess("Error: Not enough memory to read data!\n", kExitOutOfMemory);
}

}  // namespace

void* checkedAllocLayout(std::uint64_t realSize, std::uint64_t layoutSize) {
  checkCap(layoutSize);
  void* memory = std::calloc(realSize == 0 ? 1 : realSize, 1);
  if (memory == nullptr) outOfMemory();
  return memory;
}

void* checkedAlloc(std::uint64_t size) { return checkedAllocLayout(size, size); }

void* checkedReallocLayout(void* pointer, std::uint64_t realSize, std::uint64_t layoutSize) {
  checkCap(layoutSize);
  void* memory = std::realloc(pointer, realSize == 0 ? 1 : realSize);
  if (memory == nullptr) outOfMemory();
  return memory;
}

void* checkedRealloc(void* pointer, std::uint64_t size) {
  return checkedReallocLayout(pointer, size, size);
}

}  // namespace vodbc
