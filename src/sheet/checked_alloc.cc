#include "sheet/checked_alloc.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vodbc {
namespace {

[[noreturn]] void endProcess(const char* message, int status) {
  // Written straight to the descriptor: stdio may itself need memory for
  // its buffer. The process ends at once, without running destructors that
  // other threads may still depend on; what was printed before is flushed
  // first so the message comes last.
  std::fflush(stdout);
  std::fflush(stderr);
  for (std::size_t at = 0, size = std::strlen(message); at < size;) {
    ssize_t n = ::write(STDOUT_FILENO, message + at, size - at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    at += static_cast<std::size_t>(n);
  }
  ::_exit(status);
}

[[noreturn]] void outOfMemory() {
  endProcess("Error: Not enough memory to read data!\n", kExitOutOfMemory);
}

}  // namespace

void installOutOfMemoryHandler() { std::set_new_handler(outOfMemory); }

void checkAllocationCap(std::uint64_t layoutSize) {
  if (layoutSize > kAllocationCap) {
    endProcess("Error: Data too large for DOS version!\n", kExitDataTooLarge);
  }
}

void* checkedAllocLayout(std::uint64_t realSize, std::uint64_t layoutSize) {
  checkAllocationCap(layoutSize);
  void* memory = std::calloc(realSize == 0 ? 1 : realSize, 1);
  if (memory == nullptr) outOfMemory();
  return memory;
}

void* checkedAlloc(std::uint64_t size) { return checkedAllocLayout(size, size); }

void* checkedReallocLayout(void* pointer, std::uint64_t realSize, std::uint64_t layoutSize) {
  checkAllocationCap(layoutSize);
  void* memory = std::realloc(pointer, realSize == 0 ? 1 : realSize);
  if (memory == nullptr) outOfMemory();
  return memory;
}

void* checkedRealloc(void* pointer, std::uint64_t size) {
  return checkedReallocLayout(pointer, size, size);
}

}  // namespace vodbc
