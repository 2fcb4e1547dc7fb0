// How the fetch keeps the process's heap small while a driver fills it.
//
// The fetch runs on a worker thread, and the drivers make most of their
// allocations there (the SQLite driver one per value of the whole result).
// A thread of its own would get a heap arena of its own, which the C
// library grows one page at a time (one mprotect call each, thousands per
// fetch) and gives back poorly; with one heap for the whole process it grows
// in large steps and its free top goes back to the system.
#pragma once

namespace vodbc {

// Makes every thread started afterwards share the process's main heap.
// Call it before the fetch's worker thread starts; calling it again is
// harmless.
void shareOneHeap();

}  // namespace vodbc
