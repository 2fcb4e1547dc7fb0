#include "sheet/two_threads.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace vodbc {

void forEachOnTwoThreads(std::size_t count, std::size_t valuesEach,
                         const std::function<void(std::size_t)>& work) {
  // Pieces are handed out one at a time, so a thread that drew cheap
  // columns takes more of them.
  std::atomic<std::size_t> next{0};
  auto drain = [&] {
    for (std::size_t i = next.fetch_add(1); i < count; i = next.fetch_add(1)) work(i);
  };
  if (count < 2 || count * valuesEach < kValuesWorthAThread) {
    drain();
    return;
  }
  std::thread helper;
  try {
    helper = std::thread(drain);
  } catch (const std::system_error&) {
    // No thread to be had: this one does it all.
  }
  drain();
  if (helper.joinable()) helper.join();
}

}  // namespace vodbc
