// The fetch on a worker thread: its messages reach the user on the thread
// that started it, in order and one at a time, and a cancel ends it with
// nothing shown and no Sheet.
#include "odbc/run/background_fetch.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "fake_odbc/fake_odbc.h"
#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/run/run_test_support.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

// Records each message with whether it arrived on the owner thread.
class ThreadCheckingReporter final : public OdbcReporter {
 public:
  void error(std::string_view text) override { add("error: " + std::string(text)); }
  void warning(std::string_view text) override { add("warning: " + std::string(text)); }
  void note(std::string_view text) override { add("note: " + std::string(text)); }
  bool diagnostic(const OdbcDiagnostic& record) override {
    add("diagnostic: " + record.sqlState + " " + record.message);
    return true;
  }
  std::vector<std::string> lines;
  std::thread::id owner = std::this_thread::get_id();

 private:
  void add(std::string line) {
    if (std::this_thread::get_id() != owner) line += " (on another thread)";
    lines.push_back(std::move(line));
  }
};

class BackgroundFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
    fake::reset();
    odbcHandles = OdbcHandles{};
    initWorksheetDefaults();
    discardCurrentSheet();
    ASSERT_TRUE(checkDriverManager(reporter_));
    ASSERT_EQ(openOdbc(reporter_), OpenResult::Ok);
    std::string completed;
    ASSERT_EQ(driverConnect(std::string("DSN=fake"), completed, reporter_, nullptr),
              ConnectResult::Connected);
    statement_ = openStatement(reporter_);
    ASSERT_NE(statement_, nullptr);
  }
  void TearDown() override {
    releaseOdbc(statement_);
    discardCurrentSheet();
    EXPECT_EQ(fake::liveHandles(), 0);
  }

  // Polls as the progress window does until the fetch has finished.
  FetchOutcome pollToTheEnd(BackgroundFetch& fetch, QueuedReporter& queued) {
    while (!fetch.finished()) {
      queued.runPending();
      std::this_thread::yield();
    }
    queued.runPending();
    return fetch.wait();
  }

  ThreadCheckingReporter reporter_;
  SQLHSTMT statement_ = SQL_NULL_HSTMT;
};

TEST_F(BackgroundFetchTest, MessagesAreShownOnTheStartingThreadInOrder) {
  fake::ResultSet result{{{"a", SQL_INTEGER}}, {{"1"}, {"2"}, {"3"}}};
  fake::queueResult(result);
  // The first row comes with a warning, the third fetch fails: the rows so
  // far are kept.
  fake::failAt("SQLFetch", 1, SQL_SUCCESS_WITH_INFO, {{"01004", 0, "cut"}});
  fake::failAt("SQLFetch", 3, SQL_ERROR, {{"08S01", 5, "link lost"}});
  QueuedReporter queued(reporter_);
  BackgroundFetch fetch(statement_, "SELECT a FROM t", queued);
  EXPECT_EQ(pollToTheEnd(fetch, queued), FetchOutcome::Filled);
  EXPECT_EQ(reporter_.lines, (std::vector<std::string>{"diagnostic: 01004 cut",
                                                       "diagnostic: 08S01 link lost"}));
  ASSERT_NE(currentSheet, nullptr);
  EXPECT_EQ(currentSheet->rowCount, 2);
  EXPECT_EQ(fetch.rows(), 2);
}

TEST_F(BackgroundFetchTest, CancelEndsSilentlyWithoutASheet) {
  fake::ResultSet result{{{"a", SQL_INTEGER}}, {{"1"}}};
  result.repeatTo = 1000000;
  fake::queueResult(result);
  QueuedReporter queued(reporter_);
  BackgroundFetch fetch(statement_, "SELECT a FROM t", queued);
  fetch.cancel();
  EXPECT_TRUE(fetch.cancelRequested());
  EXPECT_EQ(pollToTheEnd(fetch, queued), FetchOutcome::Cancelled);
  EXPECT_EQ(reporter_.lines, std::vector<std::string>{});
  EXPECT_EQ(currentSheet, nullptr);
  EXPECT_GE(fake::callCount("SQLCancel"), 1);
}

}  // namespace
}  // namespace vodbc
