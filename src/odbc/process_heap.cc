#include "odbc/process_heap.h"

#include <malloc.h>

namespace vodbc {
namespace {

// The main heap grows by at least this much each time, so a driver's
// hundreds of thousands of small allocations cost a handful of system calls.
constexpr int kHeapGrowthBytes = 8 * 1024 * 1024;

}  // namespace

void shareOneHeap() {
  mallopt(M_ARENA_MAX, 1);
  mallopt(M_TOP_PAD, kHeapGrowthBytes);
}

void returnFreedHeapMemory() { malloc_trim(0); }

}  // namespace vodbc
