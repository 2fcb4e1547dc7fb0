// The allocation routines of the whole program. They never return failure:
// a request above the size cap, or an exhausted heap, ends the process with a
// fixed message on standard output.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

namespace vodbc {

// No single request may exceed this many bytes.
constexpr std::uint64_t kAllocationCap = 16'000'008;

// Exit statuses of the two fatal allocation failures.
constexpr int kExitDataTooLarge = 7;  // "Error: Data too large for DOS version!"
constexpr int kExitOutOfMemory = 8;   // "Error: Not enough memory to read data!"

// Makes every other allocation of the process (operator new: containers,
// strings, the fetch's staging) end the same way as checkedAlloc when memory
// runs out: the out-of-memory message and exit status 8, on whatever thread
// it happens, instead of an uncaught std::bad_alloc. Each program calls it
// first thing in main().
void installOutOfMemoryHandler();

// Ends the process with exit status 7 when a request of `layoutSize` bytes
// is above the cap; for memory that does not come from the routines below.
void checkAllocationCap(std::uint64_t layoutSize);

// Zero-filled memory of `size` bytes, released with std::free. Ends the
// process with exit status 7 when size > kAllocationCap, 8 when the heap is
// exhausted. A size of 0 gives a valid, unique pointer.
void* checkedAlloc(std::uint64_t size);

// As checkedAlloc, but the cap is checked against `layoutSize`, the size the
// request has in the compact on-disk-era node layout, while `realSize` bytes
// are allocated. Node blocks use this so that the same requests pass and fail
// on 64-bit builds, where nodes are larger.
void* checkedAllocLayout(std::uint64_t realSize, std::uint64_t layoutSize);

// Resizes `pointer` (null allowed) to `size` bytes; the new part is not
// filled. Same cap, messages and exit statuses as checkedAlloc.
void* checkedRealloc(void* pointer, std::uint64_t size);

// As checkedRealloc with the cap checked against `layoutSize`.
void* checkedReallocLayout(void* pointer, std::uint64_t realSize, std::uint64_t layoutSize);

// A zero-initialised object of the plain record type T from checkedAlloc;
// release it with checkedDelete.
template <class T>
T* checkedNew() {
  return new (checkedAlloc(sizeof(T))) T{};
}

template <class T>
void checkedDelete(T* object) {
  if (object == nullptr) return;
  object->~T();
  std::free(object);
}

}  // namespace vodbc
