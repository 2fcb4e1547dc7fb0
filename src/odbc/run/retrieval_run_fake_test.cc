// The retrieval run against the fake driver manager: on every road through
// the run — each step failing, the user cancelling, the fetch cancelled,
// the statement retried — the user sees exactly the messages of that road and
// every handle that was allocated is freed, statement first, then the
// connection (after disconnecting), then the environment, and nothing is
// freed twice.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_odbc/fake_odbc.h"
#include "files/temp_folder.h"
#include "odbc/catalog.h"
#include "odbc/connection.h"
#include "odbc/run/background_fetch.h"
#include "odbc/run/retrieval_run.h"
#include "odbc_doubles/process_state.h"
#include "odbc_doubles/run_doubles.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;

fake::ResultSet numbers(std::size_t rows) {
  fake::ResultSet result{{{"a", SQL_INTEGER}}, {{"1"}, {"2"}}};
  result.repeatTo = rows;
  return result;
}

const Lines kAll = {"SQLFreeHandle(STMT)", "SQLDisconnect", "SQLFreeHandle(DBC)",
                    "SQLFreeHandle(ENV)"};
const Lines kNoStatementHandle = {"SQLDisconnect", "SQLFreeHandle(DBC)", "SQLFreeHandle(ENV)"};
const Lines kOnlyEnvironment = {"SQLFreeHandle(ENV)"};

// Each road of the run: what fails, what the user answers and picks, and
// what must come of it.
struct FakeCase {
  const char* name;
  std::string function = "";  // the call that fails ("" for none)
  int nth = 1;
  const char* removed = nullptr;  // a function the driver manager lacks
  std::vector<int> answers = {};  // to the correction question
  bool withRows = true;           // queue a result set for the statement
  // Interactive runs: the data source the user picks (none: cancelled) and
  // the selection window (empty: it cannot be opened).
  bool interactive = false;
  std::optional<std::string> dataSource = std::nullopt;
  std::function<void(RetrievalSpec&)> select = nullptr;
  std::uint16_t runResult = 0;
  RunOutcome outcome;
  Lines released = kAll;
  Lines shown = {};  // everything the user saw
};

class RunFakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
    testing::resetOdbcProcessState();
    fake::reset();
    initWorksheetDefaults();
    testing::writeRetrievalFileText(path_, "DSN=fake", {"SELECT a FROM t"});
  }
  // A new run in the same test, as in a fresh process.
  void again() {
    testing::resetOdbcProcessState();
    fake::reset();
    reporter_.lines.clear();
  }
  void TearDown() override { testing::resetOdbcProcessState(); }

  RetrievalContext context(std::vector<int> answers) {
    RetrievalContext c(reporter_, windows_);
    c.fetch = fetchOnThisThread(reporter_);
    answers_ = std::move(answers);
    c.ask = [this](std::string_view text, std::string_view, std::string_view) {
      reporter_.lines.push_back("ask: " + std::string(text));
      int a = answers_.empty() ? 0 : answers_.front();
      if (!answers_.empty()) answers_.erase(answers_.begin());
      return a;
    };
    return c;
  }

  void expectEverythingFreed() {
    EXPECT_EQ(fake::handleFaults(), Lines{});
    EXPECT_EQ(odbcHandles.environment, nullptr);
    EXPECT_EQ(odbcHandles.connection, nullptr);
  }

  testing::RecordingReporter reporter_;
  testing::ScriptedWindows windows_;
  std::vector<int> answers_;
  testing::TempFolder temp_{"vodbc-run"};
  std::string folder_ = temp_.str(), path_ = temp_.file("q.idb");
};

const std::string kQuestion = "ask: Do you want to edit the SQL statement to correct this error?";

TEST_F(RunFakeTest, ReleasesEveryHandleInOrder) {
  using enum RunOutcome;
  const std::string noConnect = "error: Error: Could not Open Database Driver Connection correctly";
  const std::string noData = "error: Error reading ODBC Data!";
  const FakeCase cases[] = {
      {.name = "Success", .runResult = 1, .outcome = kSucceeded},
      {.name = "ConnectionHandleRefused",
       .function = "SQLAllocHandle",
       .nth = 2,
       .outcome = kOdbcRefused,
       .released = kOnlyEnvironment,
       .shown = {"error: Error: Could not allocate ODBC Database Connection handle"}},
      {.name = "ConnectRefused",
       .function = "SQLDriverConnect",
       .outcome = kConnectFailed,
       .released = kNoStatementHandle,
       .shown = {noConnect, "diagnostic: HY000"}},
      {.name = "StatementHandleRefused",
       .function = "SQLAllocHandle",
       .nth = 3,
       .outcome = kNoStatement,
       .released = kNoStatementHandle,
       .shown = {"error: Error: Could not allocate ODBC Statement handle"}},
      {.name = "TableListRefused",
       .function = "SQLTables",
       .outcome = kNoTableNames,
       .shown = {"diagnostic: HY000", "error: Error: Could NOT get table names!"}},
      {.name = "ExecutionRefusedNotCorrected",
       .function = "SQLExecDirect",
       .answers = {0},
       .outcome = kFetchFailed,
       .shown = {"diagnostic: HY000", kQuestion, noData}},
      // The table list takes the first two fetches; the fifth fails after
      // two rows.
      {.name = "FetchErrorKeepsRowsSoFar",
       .function = "SQLFetch",
       .nth = 5,
       .runResult = 1,
       .outcome = kSucceeded,
       .shown = {"diagnostic: HY000"}},
      // "Yes" needs the SQL editor; without it the run says so and stops
      // asking.
      {.name = "CorrectionWithoutEditor",
       .function = "SQLExecDirect",
       .answers = {1},
       .outcome = kFetchFailed,
       .shown = {"diagnostic: HY000", kQuestion,
                 "error: Error: Can't open OBDC Edit SQL Window.\n"
                 "Please close another window or application.",
                 noData}},
      // No result set: the failed fetch's diagnostic comes first.
      {.name = "NoRows",
       .answers = {0},
       .withRows = false,
       .outcome = kFetchFailed,
       .shown = {"diagnostic: 24000", "error: Error reading ODBC data: No valid data found!",
                 kQuestion, noData}},
      // Interactive runs that end before anything is executed.
      {.name = "DataSourceDialogCancelled",
       .interactive = true,
       .runResult = 1,
       .outcome = kConnectCancelled,
       .released = kNoStatementHandle},
      {.name = "SelectionWindowUnavailable",
       .interactive = true,
       .dataSource = "DSN=fake",
       .outcome = kSelectWindowUnavailable,
       .shown = {"error: Error: Can't open OBDC Selection Window.\n"
                 "Please close another window or application."}},
      // Cancelling the dialog that opens again after a refusal ends the run
      // as the refusal did.
      {.name = "ChosenStringRefused",
       .function = "SQLDriverConnect",
       .interactive = true,
       .dataSource = "DSN=wrong",
       .outcome = kConnectFailed,
       .released = kNoStatementHandle,
       .shown = {noConnect, "diagnostic: HY000"}},
      {.name = "SelectionCancelled",
       .interactive = true,
       .dataSource = "DSN=fake",
       .select = [](RetrievalSpec& spec) { spec.selectedTable = -1; },
       .runResult = 1,
       .outcome = kSelectCancelled},
      // Without SQLAllocHandle the run falls back to the older calls.
      {.name = "NothingAllocated",
       .function = "SQLAllocEnv",
       .removed = "SQLAllocHandle",
       .outcome = kOdbcRefused,
       .released = {},
       .shown = {"error: Error: Could not allocate ODBC environment"}},
  };
  for (const FakeCase& c : cases) {
    SCOPED_TRACE(c.name);
    again();
    if (c.removed) fake::removeFunction(c.removed);
    if (!c.function.empty()) fake::failAt(c.function, c.nth, SQL_ERROR, {{"HY000", 7, "refused"}});
    fake::queueResult(fake::oneTableList());
    if (c.withRows) fake::queueResult(numbers(3));
    RetrievalContext ctx = context(c.answers);
    windows_.selectData = c.select;
    // A user who gives up when the dialog opens again after a refusal.
    int asked = 0;
    ctx.chooseDataSource = [&c, &asked](const std::string&) {
      return asked++ == 0 ? c.dataSource : std::nullopt;
    };
    EXPECT_EQ(runRetrieval(c.interactive ? std::nullopt : std::optional(path_), ctx), c.runResult);
    EXPECT_EQ(ctx.outcome, c.outcome);
    EXPECT_EQ(fake::releaseCalls(), c.released);
    if (c.interactive) {
      EXPECT_EQ(fake::callCount("SQLExecDirect"), 0);
    }
    expectEverythingFreed();
    EXPECT_EQ(reporter_.lines, c.shown);
    EXPECT_EQ(currentSheet != nullptr, c.outcome == RunOutcome::kSucceeded);
  }
}

// A refused string comes back in the dialog; the corrected one connects
// and the run goes on.
TEST_F(RunFakeTest, ARefusedConnectionStringIsOfferedAgainForCorrecting) {
  fake::failAt("SQLDriverConnect", 1, SQL_ERROR, {{"08001", 7, "refused"}});
  fake::queueResult(fake::oneTableList());
  RetrievalContext ctx = context({});
  Lines offered;
  ctx.chooseDataSource = [&offered](const std::string& initial) {
    offered.push_back(initial);
    return std::optional<std::string>(initial.empty() ? "DSN=wrong" : "DSN=fake");
  };
  windows_.selectData = [](RetrievalSpec& spec) { spec.selectedTable = -1; };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSelectCancelled);
  EXPECT_EQ(offered, (Lines{"", "DSN=wrong"}));
  EXPECT_EQ(reporter_.lines,
            (Lines{"error: Error: Could not Open Database Driver Connection correctly",
                   "diagnostic: 08001"}));
  EXPECT_EQ(windows_.selectOpened, 1);
  expectEverythingFreed();
}

TEST_F(RunFakeTest, CorrectedStatementRunsOnTheSameStatementHandle) {
  fake::failAt("SQLExecDirect", 1, SQL_ERROR, {{"42S02", 208, "no table"}});
  fake::queueResult(fake::oneTableList());
  fake::queueResult(numbers(2));
  windows_.sqlEditor = [](RetrievalSpec& spec) { spec.sqlText = "SELECT a FROM u"; };
  RetrievalContext ctx = context({1});
  EXPECT_EQ(runRetrieval(path_, ctx), 1);
  EXPECT_EQ(fake::lastStatementText(), "SELECT a FROM u");
  EXPECT_EQ(fake::callCount("SQLExecDirect"), 2);
  EXPECT_EQ(fake::releaseCalls(), kAll);
  expectEverythingFreed();
}

// The fetch on a worker thread, polled as the progress window and the
// batch tool poll it: its messages reach the user on the starting thread,
// in order; a cancel ends the run silently with nothing made.
TEST_F(RunFakeTest, FetchOnAWorkerThread) {
  for (bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "cancelled" : "finished");
    again();
    fake::queueResult(fake::oneTableList());
    fake::queueResult(numbers(cancel ? 1000000 : 3));
    if (!cancel) {
      // The first row comes with a warning; the fifth fetch (the third row)
      // fails, so two rows are kept.
      fake::failAt("SQLFetch", 3, SQL_SUCCESS_WITH_INFO, {{"01004", 0, "cut"}});
      fake::failAt("SQLFetch", 5, SQL_ERROR, {{"08S01", 5, "lost"}});
    }
    RetrievalContext ctx = context({});
    ctx.fetch = [this, cancel](SQLHSTMT statement, const std::string& sql) {
      QueuedReporter queued(reporter_);
      BackgroundFetch fetch(statement, sql, queued);
      if (cancel) fetch.cancel();
      while (!fetch.finished()) {
        queued.runPending();
        if (fetch.cancelRequested()) fetch.cancel();
      }
      queued.runPending();
      return fetch.wait();
    };
    EXPECT_EQ(runRetrieval(path_, ctx), 1);
    if (cancel) {
      EXPECT_EQ(ctx.outcome, RunOutcome::kFetchCancelled);
      EXPECT_EQ(reporter_.lines, Lines{});
      EXPECT_EQ(currentSheet, nullptr);
      // A driver not known to take SQLCancel safely from another thread
      // never gets one: the fetch stops before its next call instead.
      EXPECT_EQ(fake::callCount("SQLCancel"), 0);
    } else {
      // A message shown on another thread would be marked so.
      EXPECT_EQ(reporter_.lines, (Lines{"diagnostic: 01004", "diagnostic: 08S01"}));
      ASSERT_NE(currentSheet, nullptr);
      EXPECT_EQ(currentSheet->rowCount, 2);
    }
    EXPECT_EQ(fake::releaseCalls(), kAll);
    expectEverythingFreed();
  }
}

TEST_F(RunFakeTest, InteractiveRunComposesRunsAndSaves) {
  fake::queueResult(fake::oneTableList());
  fake::queueResult(numbers(3));
  fake::setCompletedConnectionString("DSN=fake;UID=me");
  windows_.selectData = [](RetrievalSpec& spec) {
    // The window gets every table unread and both options off.
    ASSERT_EQ(spec.tableCount, 1);
    EXPECT_EQ(spec.tables[0].columnCount, -1);
    EXPECT_FALSE(spec.editSql);
    EXPECT_FALSE(spec.saveRetrieval);
    CatalogTable& t = spec.tables[0];
    t.columnCount = 2;
    t.columns = {{"Unit Price", 'N', 8, true}, {"code", 'C', 12, false}};
    t.hasWhere = true;
    t.whereText = "code = 'A1'";
    spec.saveRetrieval = true;
  };
  std::string saved = folder_ + "/saved.idb";
  RetrievalContext ctx = context({});
  ctx.chooseDataSource = [](const std::string&) { return std::optional<std::string>("DSN=fake"); };
  Lines offered;
  ctx.saveHooks.askFileName = [&](std::string& directory, std::string& name,
                                  const std::string& prompt) {
    offered.push_back(prompt + " " + directory + " " + name);
    return std::optional<std::string>(saved);
  };
  ctx.saveHooks.currentDirectory = [this] { return folder_; };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(reporter_.lines, Lines{});
  const std::string statement = "SELECT \"Unit Price\" FROM t WHERE code = 'A1'";
  EXPECT_EQ(fake::lastStatementText(), statement);
  EXPECT_EQ(offered, Lines{"Save Velora ODBC Data Retrieval file: " + folder_ + " *.idb"});
  // The completed connection string and the statement that ran.
  EXPECT_EQ(testing::readWholeFile(saved), "ODBC Data\r\nDSN=fake;UID=me\r\n" + statement + "\r\n");
  EXPECT_EQ(fake::releaseCalls(), kAll);
  expectEverythingFreed();
}

}  // namespace
}  // namespace vodbc
