// Spreads independent pieces of work over this thread and one helper
// thread. The work that follows a fetch (filling the Sheet's columns,
// turning dates into day numbers, texts into factors) is independent from
// column to column, and every machine vodbc runs on has a second core.
//
//   forEachOnTwoThreads(columns, rows, [&](std::size_t i) { convertColumn(i); });
//
// Runs work(i) exactly once for every i in [0, count), in no fixed order,
// and returns when all have run. A piece may touch only what its own index
// owns (one column and its storages). valuesEach says how many values one
// piece handles: work too small to repay starting a thread, and work when
// no helper thread can be started, all runs on this thread. Running out of
// memory on either thread ends the process as everywhere else.
#pragma once

#include <cstddef>
#include <functional>

namespace vodbc {

// Below this many values in all, a second thread costs more than it saves.
constexpr std::size_t kValuesWorthAThread = 16384;

void forEachOnTwoThreads(std::size_t count, std::size_t valuesEach,
                         const std::function<void(std::size_t)>& work);

}  // namespace vodbc
