#include "odbc/run/background_fetch.h"

#include <future>
#include <memory>

#include "odbc/connection.h"
#include "odbc/process_heap.h"

namespace vodbc {

QueuedReporter::QueuedReporter(OdbcReporter& target)
    : target_(target), owner_(std::this_thread::get_id()) {}

bool QueuedReporter::deliver(std::function<bool()> show) {
  if (std::this_thread::get_id() == owner_) return show();
  auto result = std::make_shared<std::promise<bool>>();
  std::future<bool> shown = result->get_future();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back([show = std::move(show), result] { result->set_value(show()); });
  }
  return shown.get();
}

void QueuedReporter::runPending() {
  for (;;) {
    std::function<void()> next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (pending_.empty()) return;
      next = std::move(pending_.front());
      pending_.pop_front();
    }
    next();
  }
}

void QueuedReporter::error(std::string_view text) {
  std::string t(text);
  deliver([this, t] {
    target_.error(t);
    return true;
  });
}

void QueuedReporter::warning(std::string_view text) {
  std::string t(text);
  deliver([this, t] {
    target_.warning(t);
    return true;
  });
}

void QueuedReporter::note(std::string_view text) {
  std::string t(text);
  deliver([this, t] {
    target_.note(t);
    return true;
  });
}

bool QueuedReporter::diagnostic(const OdbcDiagnostic& record) {
  return deliver([this, record] { return target_.diagnostic(record); });
}

BackgroundFetch::BackgroundFetch(SQLHSTMT statement, std::string sql, OdbcReporter& reporter)
    : control_(statement, cancelReachOf(odbcHandles.connection)) {
  shareOneHeap();
  thread_ = std::thread([this, statement, sql = std::move(sql), &reporter] {
    FetchHooks hooks;
    hooks.control = &control_;
    hooks.endedByError = &endedByError_;
    hooks.progress = [this](std::int64_t rows) { rows_.store(rows); };
    outcome_ = fetchIntoSheet(statement, sql, reporter, hooks);
    {
      std::lock_guard<std::mutex> lock(finishMutex_);
      finished_.store(true);
    }
    finishedSignal_.notify_all();
  });
}

bool BackgroundFetch::waitFinished(std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(finishMutex_);
  return finishedSignal_.wait_for(lock, limit, [this] { return finished_.load(); });
}

BackgroundFetch::~BackgroundFetch() {
  if (thread_.joinable()) thread_.join();
}

FetchOutcome BackgroundFetch::wait() {
  if (thread_.joinable()) thread_.join();
  return outcome_;
}

FetchRunner fetchOnThisThread(OdbcReporter& reporter) {
  return [&reporter](SQLHSTMT statement, const std::string& sql) {
    return fetchIntoSheet(statement, sql, reporter);
  };
}

}  // namespace vodbc
