#include "odbc/process_heap.h"

#include <malloc.h>

namespace vodbc {
namespace {

// The main heap grows by at least this much each time, so a driver's
// hundreds of thousands of small allocations cost a handful of system calls.
constexpr int kHeapGrowthBytes = 8 * 1024 * 1024;

// Blocks this large or larger (every Sheet storage block, a driver's row
// buffers) are mapped on their own: they arrive zero-filled without a
// memset and go back to the system when freed. Fixing the threshold keeps
// the C library from raising it after the first large free, which would
// move the Sheet's blocks into the heap.
constexpr int kOwnMappingBytes = 256 * 1024;

}  // namespace

void shareOneHeap() {
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_TOP_PAD, kHeapGrowthBytes);
  mallopt(M_MMAP_THRESHOLD, kOwnMappingBytes);
}

}  // namespace vodbc
