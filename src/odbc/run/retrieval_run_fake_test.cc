// The retrieval run against the fake driver manager: on every road through
// the run — each step failing, the user cancelling, the fetch cancelled,
// the statement retried — every handle that was allocated is freed,
// statement first, then the connection (after disconnecting), then the
// environment, and nothing is freed twice.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <string>
#include <vector>

#include "fake_odbc/fake_odbc.h"
#include "odbc/connection.h"
#include "odbc/run/background_fetch.h"
#include "odbc/run/retrieval_run.h"
#include "odbc/run/run_test_support.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;

fake::ResultSet tables() {
  return {{{"TABLE_CAT"}, {"TABLE_SCHEM"}, {"TABLE_NAME"}, {"TABLE_TYPE"}},
          {{std::nullopt, std::nullopt, "t", "TABLE"}}};
}

fake::ResultSet numbers(std::size_t rows) {
  fake::ResultSet result{{{"a", SQL_INTEGER}}, {{"1"}, {"2"}}};
  result.repeatTo = rows;
  return result;
}

// The calls that release handles, in order.
Lines releases() {
  Lines out;
  for (const std::string& call : fake::calls()) {
    if ((call.rfind("SQLFree", 0) == 0 && call != "SQLFreeStmt(UNBIND)" &&
         call != "SQLFreeStmt(CLOSE)") ||
        call == "SQLDisconnect") {
      out.push_back(call);
    }
  }
  return out;
}

const Lines kAll = {"SQLFreeHandle(STMT)", "SQLDisconnect", "SQLFreeHandle(DBC)",
                    "SQLFreeHandle(ENV)"};
const Lines kNoStatement = {"SQLDisconnect", "SQLFreeHandle(DBC)",
                            "SQLFreeHandle(ENV)"};
const Lines kOnlyEnvironment = {"SQLFreeHandle(ENV)"};

struct FakeCase {
  const char* name;
  std::string function;  // the call that fails ("" for none)
  int nth;
  SQLRETURN result;
  std::vector<int> answers;  // to the correction question
  bool withRows;             // queue a result set for the statement
  std::uint16_t runResult;
  RunOutcome outcome;
  Lines released;
  Lines shownTail;           // the last things the user saw
};

void PrintTo(const FakeCase& c, std::ostream* os) { *os << c.name; }

class RunFakeTest : public ::testing::TestWithParam<FakeCase> {
 protected:
  void SetUp() override {
    setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
    fake::reset();
    odbcHandles = OdbcHandles{};
    initWorksheetDefaults();
    discardCurrentSheet();
    folder_ = testing::makeTempFolder();
    path_ = folder_ + "/q.idb";
    testing::writeRetrievalFileText(path_, "DSN=fake", {"SELECT a FROM t"});
  }
  void TearDown() override {
    discardCurrentSheet();
    std::system(("rm -rf '" + folder_ + "'").c_str());
  }

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
    EXPECT_EQ(fake::liveHandles(), 0);
    for (const std::string& event : fake::handleEvents()) {
      EXPECT_EQ(event.rfind("free-invalid", 0), std::string::npos) << event;
    }
    EXPECT_EQ(odbcHandles.environment, nullptr);
    EXPECT_EQ(odbcHandles.connection, nullptr);
  }

  testing::RecordingReporter reporter_;
  testing::ScriptedWindows windows_;
  std::vector<int> answers_;
  std::string folder_, path_;
};

TEST_P(RunFakeTest, ReleasesEveryHandleInOrder) {
  const FakeCase& c = GetParam();
  if (!c.function.empty()) fake::failAt(c.function, c.nth, c.result, {{"HY000", 7, "refused"}});
  fake::queueResult(tables());
  if (c.withRows) fake::queueResult(numbers(3));
  RetrievalContext ctx = context(c.answers);
  EXPECT_EQ(runRetrieval(path_, ctx), c.runResult);
  EXPECT_EQ(ctx.outcome, c.outcome);
  EXPECT_EQ(releases(), c.released);
  expectEverythingFreed();
  ASSERT_GE(reporter_.lines.size(), c.shownTail.size());
  Lines tail(reporter_.lines.end() - static_cast<long>(c.shownTail.size()),
             reporter_.lines.end());
  EXPECT_EQ(tail, c.shownTail);
  EXPECT_EQ(currentSheet != nullptr, c.outcome == RunOutcome::kSucceeded);
}

const std::string kQuestion =
    "ask: Do you want to edit the SQL statement to correct this error?";

INSTANTIATE_TEST_SUITE_P(
    Run, RunFakeTest,
    ::testing::Values(
        FakeCase{"Success", "", 0, 0, {}, true, 1, RunOutcome::kSucceeded, kAll, {}},
        FakeCase{"ConnectionHandleRefused", "SQLAllocHandle", 2, SQL_ERROR, {}, true,
                 0, RunOutcome::kOdbcRefused, kOnlyEnvironment,
                 {"error: Error: Could not allocate ODBC Database Connection handle"}},
        FakeCase{"ConnectRefused", "SQLDriverConnect", 1, SQL_ERROR, {}, true, 0,
                 RunOutcome::kConnectFailed, kNoStatement,
                 {"error: Error: Could not Open Database Driver Connection correctly",
                  "diagnostic: HY000"}},
        FakeCase{"StatementHandleRefused", "SQLAllocHandle", 3, SQL_ERROR, {}, true,
                 0, RunOutcome::kNoStatement, kNoStatement,
                 {"error: Error: Could not allocate ODBC Statement handle"}},
        FakeCase{"TableListRefused", "SQLTables", 1, SQL_ERROR, {}, true, 0,
                 RunOutcome::kNoTableNames, kAll,
                 {"error: Error: Could NOT get table names!"}},
        FakeCase{"ExecutionRefusedNotCorrected", "SQLExecDirect", 1, SQL_ERROR, {0},
                 true, 0, RunOutcome::kFetchFailed, kAll,
                 {"diagnostic: HY000", kQuestion, "error: Error reading ODBC Data!"}},
        // The table list takes the first two fetches; the fifth fails after
        // two rows.
        FakeCase{"FetchErrorKeepsRowsSoFar", "SQLFetch", 5, SQL_ERROR, {}, true, 1,
                 RunOutcome::kSucceeded, kAll, {"diagnostic: HY000"}},
        FakeCase{"NoRows", "", 0, 0, {0}, false, 0, RunOutcome::kFetchFailed, kAll,
                 {"error: Error reading ODBC data: No valid data found!", kQuestion,
                  "error: Error reading ODBC Data!"}}),
    [](const ::testing::TestParamInfo<FakeCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(RunFakeTest, NothingAllocatedNothingFreed) {
  fake::removeFunction("SQLAllocHandle");
  fake::failAt("SQLAllocEnv", 1, SQL_ERROR);
  RetrievalContext ctx = context({});
  EXPECT_EQ(runRetrieval(path_, ctx), 0);
  EXPECT_EQ(ctx.outcome, RunOutcome::kOdbcRefused);
  EXPECT_EQ(reporter_.lines,
            Lines{"error: Error: Could not allocate ODBC environment"});
  EXPECT_EQ(releases(), Lines{});
  expectEverythingFreed();
}

TEST_F(RunFakeTest, CorrectedStatementRunsOnTheSameStatementHandle) {
  fake::failAt("SQLExecDirect", 1, SQL_ERROR, {{"42S02", 208, "no table"}});
  fake::queueResult(tables());
  fake::queueResult(numbers(2));
  windows_.sqlEditor = [](RetrievalSpec& spec) { spec.sqlText = "SELECT a FROM u"; };
  RetrievalContext ctx = context({1});
  EXPECT_EQ(runRetrieval(path_, ctx), 1);
  EXPECT_EQ(fake::lastStatementText(), "SELECT a FROM u");
  EXPECT_EQ(fake::callCount("SQLExecDirect"), 2);
  EXPECT_EQ(releases(), kAll);
  expectEverythingFreed();
}

TEST_F(RunFakeTest, CancelledFetchEndsSilentlyAndFreesEverything) {
  fake::queueResult(tables());
  fake::queueResult(numbers(1000000));
  RetrievalContext ctx = context({});
  int cancels = 0;
  ctx.fetch = [this, &cancels](SQLHSTMT statement, const std::string& sql) {
    BackgroundFetch fetch(statement, sql, reporter_);
    fetch.cancel();
    ++cancels;
    return toFetchResult(fetch.wait());
  };
  EXPECT_EQ(runRetrieval(path_, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kFetchCancelled);
  EXPECT_EQ(cancels, 1);
  EXPECT_EQ(reporter_.lines, Lines{});
  EXPECT_EQ(currentSheet, nullptr);
  EXPECT_EQ(releases(), kAll);
  expectEverythingFreed();
}

TEST_F(RunFakeTest, CancelledDataSourceDialogFreesEverything) {
  fake::queueResult(tables());
  RetrievalContext ctx = context({});
  ctx.chooseDataSource = [] { return std::optional<std::string>(); };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kConnectCancelled);
  EXPECT_EQ(reporter_.lines, Lines{});
  EXPECT_EQ(releases(), kNoStatement);
  expectEverythingFreed();
}

TEST_F(RunFakeTest, SelectionCancelledFreesEverything) {
  fake::queueResult(tables());
  windows_.selectData = [](RetrievalSpec& spec) { spec.selectedTable = -1; };
  RetrievalContext ctx = context({});
  ctx.chooseDataSource = [] { return std::optional<std::string>("DSN=fake"); };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSelectCancelled);
  EXPECT_EQ(releases(), kAll);
  expectEverythingFreed();
}

}  // namespace
}  // namespace vodbc
