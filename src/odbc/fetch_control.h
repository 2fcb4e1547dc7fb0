// Stopping a running fetch from another thread, safely with every driver.
//
// Not every driver may be called on a statement while another thread is
// inside a call on it: the SQLite driver's SQLCancel frees the statement's
// result under the running call and corrupts the heap. So a cancel always
// marks the fetch, which then stops before its next driver call; and only a
// driver whose SQLCancel is known to be safe across threads (psqlODBC: it
// sends the server a cancel request) is also asked to interrupt the call in
// progress.
// Which drivers those are was proven by repeated cancels at random moments
// with each real driver, never assumed.
//
// Usage:
//   FetchControl control(statement, cancelReachOf(odbcHandles.connection));
//   // fetching thread, around each driver call on the statement:
//   if (!control.run([&] { rc = SQLFetch(statement); })) -> cancelled
//   // any other thread, as often as it likes:
//   control.cancel();
#pragma once

#include <sql.h>

#include <atomic>
#include <mutex>

namespace vodbc {

enum class CancelReach {
  kBetweenCalls,   // the fetch stops at its next driver call
  kInterruptCall,  // also SQLCancel on the call in progress
};

// What a cancel may do with the driver of `connection` (from its
// SQL_DRIVER_NAME); kBetweenCalls for every driver not known to be safe.
CancelReach cancelReachOf(SQLHDBC connection);

class FetchControl {
 public:
  explicit FetchControl(SQLHSTMT statement, CancelReach reach = CancelReach::kBetweenCalls)
      : statement_(statement), reach_(reach) {}

  // Marks the fetch cancelled; with kInterruptCall, and while the fetching
  // thread is inside a driver call, asks the driver to stop that call.
  // Repeating it is harmless (a driver may miss a cancel that comes before
  // its call has really started). Safe at any time, also after the fetch
  // has ended and its statement has been freed: SQLCancel is only sent
  // while a call runs.
  void cancel();
  bool cancelled() const { return cancelled_.load(); }

  // Runs `call`, one driver call on the statement, unless the fetch has
  // been cancelled; false (and no call) then.
  template <class Call>
  bool run(Call&& call) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (cancelled_.load()) return false;
      inCall_ = true;
    }
    call();
    // A SQLCancel being sent now finishes before this thread may touch the
    // statement again.
    std::lock_guard<std::mutex> lock(mutex_);
    inCall_ = false;
    return true;
  }

 private:
  SQLHSTMT statement_;
  CancelReach reach_;
  std::atomic<bool> cancelled_{false};
  std::mutex mutex_;
  bool inCall_ = false;
};

}  // namespace vodbc
