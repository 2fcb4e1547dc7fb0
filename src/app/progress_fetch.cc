#include "app/progress_fetch.h"

#include <chrono>
#include <cstdio>

#include "odbc/run/background_fetch.h"
#include "toolkit/toolkit.h"

namespace vodbc {

std::string progressText(std::int64_t rows, double seconds) {
  char text[80];
  std::snprintf(text, sizeof text, "%lld rows fetched in %.1f seconds",
                static_cast<long long>(rows), seconds);
  return text;
}

FetchRunner fetchWithProgressWindow(OdbcReporter& reporter) {
  return [&reporter](SQLHSTMT statement, const std::string& sql) {
    QueuedReporter queued(reporter);
    BackgroundFetch fetch(statement, sql, queued);
    auto start = std::chrono::steady_clock::now();
    toolkit::ProgressJob job;
    job.title = "Velora ODBC Query";
    job.poll = [&](std::string& text) {
      queued.runPending();
      // Cancel is asked again on every round until the fetch ends: a cancel
      // that reaches the driver before the statement starts running is lost
      // on some drivers.
      if (fetch.cancelRequested()) fetch.cancel();
      std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
      text = progressText(fetch.rows(), elapsed.count());
      return !fetch.finished();
    };
    job.cancel = [&] { fetch.cancel(); };
    toolkit::runProgressDialog(job);
    queued.runPending();
    return fetch.wait();
  };
}

}  // namespace vodbc
