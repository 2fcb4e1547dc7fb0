// Running the execution and fetch of a retrieval on a worker thread, so the
// caller's thread stays free to show progress and to cancel.
//
// Usage (the program polls from its progress window, vodbc-batch from its
// main loop):
//   QueuedReporter queued(reporter);            // on the caller's thread
//   BackgroundFetch fetch(statement, sql, queued);
//   while (!fetch.finished()) { queued.runPending(); show(fetch.rows()); ... }
//   queued.runPending();
//   FetchOutcome outcome = fetch.wait();
// Cancel (from the caller's thread) stops the fetch at its next driver call,
// and interrupts the call in progress where the driver allows it (see
// odbc/fetch_control.h); the fetch then ends with FetchOutcome::kCancelled,
// shows nothing more and leaves no Sheet.
#pragma once

#include <sql.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "odbc/fetch.h"
#include "odbc/reporter.h"
#include "odbc/run/retrieval_run.h"

namespace vodbc {

// Passes every message to `target` on the thread that made it. A call from
// another thread waits until that thread has shown the message in
// runPending(), so messages keep their order and a modal box is answered
// before the fetch goes on.
class QueuedReporter final : public OdbcReporter {
 public:
  explicit QueuedReporter(OdbcReporter& target);

  void error(std::string_view text) override;
  void warning(std::string_view text) override;
  void note(std::string_view text) override;
  bool diagnostic(const OdbcDiagnostic& record) override;

  // Shows the messages other threads are waiting on; owner thread only.
  void runPending();

 private:
  // Runs `show` on the owner thread and returns its result.
  bool deliver(std::function<bool()> show);

  OdbcReporter& target_;
  std::thread::id owner_;
  std::mutex mutex_;
  std::deque<std::function<void()>> pending_;
};

class BackgroundFetch {
 public:
  // Starts fetchIntoSheet(statement, sql, reporter) on a new thread.
  BackgroundFetch(SQLHSTMT statement, std::string sql, OdbcReporter& reporter);
  ~BackgroundFetch();  // waits for the thread
  BackgroundFetch(const BackgroundFetch&) = delete;
  BackgroundFetch& operator=(const BackgroundFetch&) = delete;

  bool finished() const { return finished_.load(); }
  // Waits until the fetch has finished or `limit` has passed; finished().
  // A poller that waits here instead of sleeping sees the end at once.
  bool waitFinished(std::chrono::milliseconds limit);
  std::int64_t rows() const { return rows_.load(); }
  void cancel() { control_.cancel(); }
  bool cancelRequested() const { return control_.cancelled(); }
  // Waits for the thread and gives the fetch's outcome.
  FetchOutcome wait();
  // After wait(): false when a fetch error ended the rows early.
  bool complete() const { return !endedByError_; }

 private:
  FetchControl control_;
  std::atomic<bool> finished_{false};
  std::mutex finishMutex_;
  std::condition_variable finishedSignal_;
  std::atomic<std::int64_t> rows_{0};
  FetchOutcome outcome_ = FetchOutcome::kFailed;
  bool endedByError_ = false;
  std::thread thread_;
};

// The fetch on the calling thread, for callers that show no progress.
FetchRunner fetchOnThisThread(OdbcReporter& reporter);

}  // namespace vodbc
