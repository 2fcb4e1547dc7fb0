#include "sheet/two_threads.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace vodbc {
namespace {

TEST(TwoThreadsTest, RunsEveryIndexExactlyOnce) {
  for (std::size_t count : {0u, 1u, 2u, 3u, 39u, 250u}) {
    for (std::size_t valuesEach : {std::size_t{1}, kValuesWorthAThread}) {
      std::vector<std::atomic<int>> runs(count);
      forEachOnTwoThreads(count, valuesEach, [&runs](std::size_t i) { runs[i].fetch_add(1); });
      for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(runs[i].load(), 1) << "index " << i << " of " << count << ", " << valuesEach;
      }
    }
  }
}

// A few thousand values are done before a thread would have started: such
// work never leaves the calling thread.
TEST(TwoThreadsTest, SmallWorkStaysOnThisThread) {
  std::mutex mutex;
  std::set<std::thread::id> threads;
  forEachOnTwoThreads(39, 40, [&](std::size_t) {
    std::lock_guard<std::mutex> lock(mutex);
    threads.insert(std::this_thread::get_id());
  });
  EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
}

// The point of the helper: two pieces are under way at the same time. The
// first piece to start waits for a second one; run one after the other it
// would wait in vain.
TEST(TwoThreadsTest, RunsTwoPiecesAtOnce) {
  std::atomic<int> started{0};
  std::atomic<bool> sawBoth{false};
  std::mutex mutex;
  std::set<std::thread::id> threads;
  forEachOnTwoThreads(2, kValuesWorthAThread, [&](std::size_t) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      threads.insert(std::this_thread::get_id());
    }
    started.fetch_add(1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (started.load() < 2 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::yield();
    }
    if (started.load() == 2) sawBoth.store(true);
  });
  EXPECT_TRUE(sawBoth.load());
  EXPECT_EQ(threads.size(), 2u);
}

}  // namespace
}  // namespace vodbc
