// What real drivers cannot show, against the fake driver manager: the
// ODBC 2 paths, a failure at every step with its message and a complete,
// ordered release, warnings on fetched rows, the staging limit, odd length
// indicators, cancellation and the diagnostics window's texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake_odbc/fake_odbc.h"
#include "files/temp_folder.h"
#include "odbc/catalog.h"
#include "odbc/connection.h"
#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/retrieval_spec.h"
#include "odbc_doubles/process_state.h"
#include "odbc_doubles/recording_reporter.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;
using testing::repeat;

const fake::Diagnostic kRecord{"HY000", 4060, "refused"};
const std::string kErrorLine = "diagnostic: Velora ODBC Error Message|HY000|FDC|refused";
const std::string kWarningLine = "diagnostic: Velora ODBC Warning Message|HY000|FDC|refused";
const std::string kNoData = "error: Error reading ODBC data: No valid data found!";

class FakeDriverManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
    initWorksheetDefaults();
    fresh();
  }
  void TearDown() override { testing::resetOdbcProcessState(); }

  // A new driver manager, nothing shown yet, no level carried over.
  void fresh() {
    testing::resetOdbcProcessState();
    fake::reset();
    reporter_ = RecordingReporter{};
    spec_ = RetrievalSpec{};
    ASSERT_TRUE(checkDriverManager(reporter_));
  }

  // Open, connect and a statement, for tests that go on by hand.
  SQLHSTMT connect() {
    std::string runString;
    EXPECT_EQ(openOdbc(reporter_), OpenResult::kOk);
    EXPECT_EQ(driverConnect("DSN=fake", runString, reporter_, nullptr), ConnectResult::kConnected);
    return openStatement(reporter_);
  }

  // One retrieval as the run makes it: open, connect, statement,
  // capabilities, table list, fetch, release. Returns how far it got.
  std::string runOnce() {
    discardCurrentSheet();  // as the shell does before every run
    OdbcSession session;
    if (openOdbc(reporter_) != OpenResult::kOk) return "open";
    std::string runString;
    if (driverConnect("DSN=fake", runString, reporter_, nullptr) != ConnectResult::kConnected) {
      return "connect";
    }
    SQLHSTMT statement = openStatement(reporter_);
    if (statement == SQL_NULL_HSTMT) return "statement";
    session.setStatement(statement);
    spec_.statement = statement;
    readDriverCapabilities(spec_, reporter_);
    if (!readTableList(statement, spec_, reporter_)) return "tables";
    if (fetchIntoSheet(statement, "SELECT a FROM t", reporter_) != FetchOutcome::kFilled) {
      return "fetch";
    }
    return "done";
  }

  // Queues a table list of one table and a result, then runs once.
  std::string run(const fake::ResultSet& result) {
    fake::queueResult(fake::oneTableList());
    fake::queueResult(result);
    return runOnce();
  }
  static fake::ResultSet numbers(int rows) {
    fake::ResultSet result{{{"a", SQL_INTEGER}}, {}};
    for (int i = 1; i <= rows; ++i) result.rows.push_back({std::to_string(i)});
    return result;
  }

  RecordingReporter reporter_;
  RetrievalSpec spec_;
};

const Lines kOdbc3Release = {"SQLFreeHandle(STMT)", "SQLDisconnect", "SQLFreeHandle(DBC)",
                             "SQLFreeHandle(ENV)"};
const Lines kOdbc2Release = {"SQLFreeStmt(DROP)", "SQLDisconnect", "SQLFreeConnect", "SQLFreeEnv"};

TEST_F(FakeDriverManagerTest, Odbc2DriverManagersAndDriversGetOdbc2Calls) {
  fake::removeFunction("SQLAllocHandle");
  EXPECT_EQ(run(numbers(1)), "done");
  EXPECT_EQ(run(numbers(1)), "done");
  Lines twice = kOdbc2Release;
  twice.insert(twice.end(), kOdbc2Release.begin(), kOdbc2Release.end());
  EXPECT_EQ(fake::releaseCalls(), twice);
  // The first run tried the ODBC 3 function once; the level then carried
  // over, so the second run never asked again and declared nothing.
  EXPECT_EQ(fake::callCount("SQLAllocHandle"), 1);
  EXPECT_EQ(fake::callCount("SQLAllocEnv"), 2);
  EXPECT_EQ(fake::callCount("SQLSetEnvAttr"), 0);
  EXPECT_EQ(odbcHandles.level, 2);
  EXPECT_EQ(fake::handleFaults(), Lines{});

  // The driver manager has the ODBC 3 functions, the connected driver does
  // not report them: handles made with ODBC 3 calls are freed with ODBC 2
  // ones, and the next run starts with SQLAllocEnv.
  fresh();
  fake::setReported("SQLAllocHandle", false);
  EXPECT_EQ(run(numbers(1)), "done");
  EXPECT_EQ(fake::releaseCalls(), kOdbc2Release);
  EXPECT_EQ(fake::callCount("SQLAllocHandle"), 2);  // environment, connection
  EXPECT_EQ(fake::callCount("SQLAllocStmt"), 1);
  EXPECT_EQ(odbcHandles.level, 2);

  fake::reset();
  EXPECT_EQ(run(numbers(1)), "done");
  EXPECT_EQ(fake::callCount("SQLAllocEnv"), 1);
  EXPECT_EQ(fake::callCount("SQLAllocConnect"), 1);
  EXPECT_EQ(fake::callCount("SQLAllocHandle"), 1);  // the statement: level 3 again
  EXPECT_EQ(fake::releaseCalls(), kOdbc3Release);
  EXPECT_EQ(odbcHandles.level, 3);
  EXPECT_EQ(fake::handleFaults(), Lines{});
}

struct StepFailure {
  const char* name;
  const char* function;
  int nth;
  SQLRETURN result;
  const char* reached;
  Lines shown;
  int rows = -1;                  // rows of the Sheet made, when one is
  int againAt = 0;                // the same result once more, with another record
  const char* removed = nullptr;  // a function the driver manager lacks
};

TEST_F(FakeDriverManagerTest, AFailureAtEachStepShowsItsMessageAndReleasesChildFirst) {
  const std::string noEnv = "error: Error: Could not allocate ODBC environment";
  const std::string noDbc = "error: Error: Could not allocate ODBC Database Connection handle";
  const std::string noConnect = "error: Error: Could not Open Database Driver Connection correctly";
  const std::string noStmt = "error: Error: Could not allocate ODBC Statement handle";
  const SQLRETURN info = SQL_SUCCESS_WITH_INFO;
  const StepFailure steps[] = {
      {"Environment", "SQLAllocEnv", 1, SQL_ERROR, "open", {noEnv}, -1, 0, "SQLAllocHandle"},
      {"OdbcVersion", "SQLSetEnvAttr", 1, SQL_ERROR, "open", {kErrorLine}},
      {"ConnectionHandle", "SQLAllocHandle", 2, SQL_ERROR, "open", {noDbc}},
      {"ConnectionHandleOdbc2",
       "SQLAllocConnect",
       1,
       SQL_ERROR,
       "open",
       {noDbc},
       -1,
       0,
       "SQLAllocHandle"},
      {"Connect", "SQLDriverConnect", 1, SQL_ERROR, "connect", {noConnect, kErrorLine}},
      {"ConnectCancelled", "SQLDriverConnect", 1, SQL_NO_DATA, "connect", {}},
      {"Statement", "SQLAllocHandle", 3, SQL_ERROR, "statement", {noStmt}},
      {"ServerName", "SQLGetInfo", 1, SQL_ERROR, "done", {kErrorLine}},
      {"Tables", "SQLTables", 1, SQL_ERROR, "tables", {kErrorLine}},
      {"TablesWithInfo", "SQLTables", 1, info, "done", {kWarningLine}},
      {"TableColumns", "SQLNumResultCols", 1, SQL_ERROR, "tables", {kErrorLine}},
      {"Execute", "SQLExecDirect", 1, SQL_ERROR, "fetch", {kErrorLine}},
      {"ExecuteWithInfo", "SQLExecDirect", 1, info, "done", {kWarningLine}},
      {"ResultColumns", "SQLNumResultCols", 2, info, "fetch", {kWarningLine}},
      // SQLFetch calls 1-2 read the table list; 3 is row 1.
      {"FirstRow", "SQLFetch", 3, SQL_ERROR, "fetch", {kErrorLine, kNoData}},
      // The rows before a failing one are kept.
      {"LaterRow", "SQLFetch", 4, SQL_ERROR, "done", {kErrorLine}, 1},
      {"LaterRowWithInfo", "SQLFetch", 4, info, "done", {kWarningLine}, 2},
      // Only the first row with information is reported.
      {"TwoRowsWithInfo", "SQLFetch", 3, info, "done", {kWarningLine}, 2, 4},
  };
  for (const StepFailure& step : steps) {
    SCOPED_TRACE(step.name);
    fresh();
    if (step.removed != nullptr) fake::removeFunction(step.removed);
    fake::failAt(step.function, step.nth, step.result, {kRecord});
    if (step.againAt != 0) {
      fake::failAt(step.function, step.againAt, step.result, {{"01004", 2, "later"}});
    }
    EXPECT_EQ(run(numbers(2)), step.reached);
    EXPECT_EQ(reporter_.lines, step.shown);
    if (step.rows >= 0) {
      EXPECT_EQ(currentSheet->rowCount, step.rows);
    }
    EXPECT_EQ(fake::handleFaults(), Lines{});
    EXPECT_EQ(odbcHandles.environment, nullptr);
    EXPECT_EQ(odbcHandles.connection, nullptr);
  }
}

TEST_F(FakeDriverManagerTest, TheRowAfterTheStagingLimitFailsTheFetch) {
  const struct {
    int columns;
    std::size_t rows;
  } cases[] = {{1, 1'999'900}, {1, 1'999'901}, {250, 7'900}, {250, 7'901}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.columns) + " columns, " + std::to_string(c.rows));
    fresh();
    fake::ResultSet result{{}, {std::vector<fake::Value>(c.columns, "1")}};
    for (int i = 0; i < c.columns; ++i) {
      result.columns.push_back({std::string("c").append(std::to_string(i)), SQL_DOUBLE});
    }
    result.repeatTo = c.rows;
    bool fits = c.rows % 100 == 0;
    EXPECT_EQ(run(result), fits ? "done" : "fetch");
    EXPECT_EQ(reporter_.lines, fits ? Lines{}
                                    : Lines{"error: Error: ODBC data size too large "
                                            "for this version of the Velora ODBC"});
    // A failed fetch leaves no Sheet.
    EXPECT_EQ(currentSheet != nullptr ? currentSheet->rowCount : -1, fits ? int(c.rows) : -1);
    EXPECT_EQ(fake::handleFaults(), Lines{});
  }
}

TEST_F(FakeDriverManagerTest, TextAndNamesAreCutAfterConversionAndNeverPastTheBuffer) {
  using fake::TextTruncation;
  const struct {
    TextTruncation mode;
    std::string value, stored;
  } cases[] = {
      {TextTruncation::NoNul, repeat("a", 400), repeat("a", 79)},
      {TextTruncation::NoNul, repeat("\xC3\xA9", 200), repeat("\xE9", 79)},
      {TextTruncation::NoTotal, "hello  ", "hello"},
      {TextTruncation::NoTotal, repeat("b", 500), repeat("b", 79)},
      {TextTruncation::Standard, repeat("c", 80), repeat("c", 79)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    fresh();
    fake::setTextTruncation(c.mode);
    EXPECT_EQ(run({{{"\xC3\xA9" + repeat("a", 39), SQL_VARCHAR}}, {{c.value}, {"x"}}}), "done");
    SheetColumn& column = *currentSheet->firstColumn->next;
    EXPECT_EQ(std::string(*textValues(column).begin()), c.stored);
    // Names keep 31 characters; cut by bytes before converting, this one
    // would keep only 29 of its letters.
    std::string name = column.name;
    EXPECT_EQ(name.size(), 31u) << name;
    EXPECT_EQ(name.substr(1), repeat("a", 30));
  }
}

TEST_F(FakeDriverManagerTest, ACancelledFetchEndsQuietlyWithNothingLeftOpen) {
  // A cancel between two calls stops the fetch before the next one and
  // never reaches the driver, whatever the driver allows: SQLCancel is only
  // for a call in progress.
  for (CancelReach reach : {CancelReach::kBetweenCalls, CancelReach::kInterruptCall}) {
    SCOPED_TRACE(reach == CancelReach::kBetweenCalls ? "between calls" : "interrupt calls");
    fresh();
    fake::ResultSet result = numbers(1);
    result.repeatTo = 50'000;
    fake::queueResult(result);
    SQLHSTMT statement = connect();
    FetchControl control(statement, reach);
    std::vector<std::int64_t> progress;
    FetchHooks hooks{[&](std::int64_t rows) {
                       progress.push_back(rows);
                       if (rows == 3000) control.cancel();
                     },
                     &control};
    EXPECT_EQ(fetchIntoSheet(statement, "SELECT a FROM t", reporter_, hooks),
              FetchOutcome::kCancelled);
    EXPECT_EQ(progress, (std::vector<std::int64_t>{1000, 2000, 3000}));
    EXPECT_EQ(fake::callCount("SQLFetch"), 3000);
    EXPECT_TRUE(reporter_.lines.empty());
    EXPECT_EQ(currentSheet, nullptr);
    EXPECT_EQ(fake::callCount("SQLCancel"), 0);
    Lines calls = fake::calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(Lines(calls.end() - 2, calls.end()),
              (Lines{"SQLFreeStmt(UNBIND)", "SQLFreeStmt(CLOSE)"}));
    releaseOdbc(statement);
    EXPECT_EQ(fake::handleFaults(), Lines{});
    // A cancel after the statement is gone touches nothing.
    control.cancel();
    EXPECT_EQ(fake::callCount("SQLCancel"), 0);
  }
}

TEST_F(FakeDriverManagerTest, RecordsAreShownInOrderAndAFailedWindowIsReplaced) {
  const std::string title = "diagnostic: Velora ODBC Error Message|42000|";
  const std::string replaced =
      "error: Error: Can't open OBDC Error Window.\n"
      "Please close another window or application.";
  // Without SQLGetDiagRec the same records come from SQLError.
  for (bool diagRec : {true, false}) {
    SCOPED_TRACE(diagRec ? "SQLGetDiagRec" : "SQLError");
    fresh();
    fake::setReported("SQLGetDiagRec", diagRec);
    // A message cut at 510 characters comes with information, and still counts.
    fake::failAt("SQLExecDirect", 1, SQL_ERROR,
                 {{"42000", 208, "one"}, {"42000", -1, repeat("m", 600)}, {"42000", 3, "three"}});
    reporter_.windowOpens = false;
    EXPECT_EQ(run(numbers(1)), "fetch");
    EXPECT_EQ(reporter_.lines,
              (Lines{title + "D0|one", replaced, title + "FFFFFFFF|" + repeat("m", 510), replaced,
                     title + "3|three", replaced}));
    Lines calls = fake::calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SQLGetDiagRec") > 0, diagRec);
    EXPECT_EQ(fake::handleFaults(), Lines{});
  }
}

TEST_F(FakeDriverManagerTest, ADriverMessageQuotingAPasswordShowsItMasked) {
  // Drivers quote connection strings and SQL text in their messages; the
  // password in them never reaches the user, whichever call failed and
  // whichever way the records are read.
  const struct {
    const char* function;
    int nth;
    const char* stoppedAt;
    std::string message;
  } cases[] = {
      {"SQLDriverConnect", 1, "connect", "login failed for 'DSN=d;UID=me;PWD=hunter2'"},
      {"SQLExecDirect", 1, "fetch", "syntax error at or near \"Password=hunter2\""},
      // SQLFetch calls 1-2 read the table list; 3 is row 1.
      {"SQLFetch", 3, "fetch", "lost 'DRIVER=x;pwd={hun;ter2}' at row 1"},
  };
  for (const auto& c : cases) {
    for (bool diagRec : {true, false}) {
      SCOPED_TRACE(std::string(c.function) + (diagRec ? " SQLGetDiagRec" : " SQLError"));
      fresh();
      fake::setReported("SQLGetDiagRec", diagRec);
      fake::failAt(c.function, c.nth, SQL_ERROR, {{"28000", 1, c.message}});
      EXPECT_EQ(run(numbers(2)), c.stoppedAt);
      bool masked = false;
      for (const std::string& line : reporter_.lines) {
        EXPECT_EQ(line.find("hun"), std::string::npos) << line;
        masked = masked || line.find("=***") != std::string::npos;
      }
      EXPECT_TRUE(masked) << ::testing::PrintToString(reporter_.lines);
    }
  }
}

TEST_F(FakeDriverManagerTest, CapabilitiesFollowPlainAnswersAndTheTableListIsOrderedByType) {
  fake::setInfo(SQL_SERVER_NAME, SQL_SUCCESS, "");
  fake::setInfo(SQL_IDENTIFIER_QUOTE_CHAR, SQL_SUCCESS_WITH_INFO, "`");
  fake::setInfo(SQL_CATALOG_NAME, SQL_SUCCESS, "Y");
  fake::setInfoNumber(SQL_CATALOG_USAGE, SQL_SUCCESS, SQL_CU_DML_STATEMENTS);
  fake::setInfoNumber(SQL_SCHEMA_USAGE, SQL_SUCCESS_WITH_INFO, SQL_SU_DML_STATEMENTS);
  fake::queueResult({{{"TABLE_CAT"}, {"TABLE_SCHEM"}, {"TABLE_NAME"}, {"TABLE_TYPE"}},
                     {{std::nullopt, "dbo", "v1", "VIEW"},
                      {"c", "s", "t1", "TABLE"},
                      {"cat", std::nullopt, "tmp", "LOCAL TEMPORARY"},
                      {"cat", "dbo", std::nullopt, "TABLE"},
                      {"cat", "dbo", "t2", "table"},
                      {"cat", "dbo", "odd", std::nullopt}}});
  fake::queueResult(numbers(1));
  EXPECT_EQ(runOnce(), "done");
  EXPECT_TRUE(reporter_.lines.empty());
  EXPECT_EQ(spec_.dataSourceName, "Unnamed Data Source");
  EXPECT_EQ(driverCapabilities.quoteChar, '"');
  EXPECT_TRUE(driverCapabilities.catalogInDml);
  EXPECT_FALSE(driverCapabilities.schemaInDml);
  // Qualifiers the data source does not take, of one character or null
  // are absent; rows without a name are skipped.
  Lines order;
  for (const CatalogTable& t : spec_.tables) {
    order.push_back(t.catalog.value_or("-") + "." + t.schema.value_or("-") + "." + t.name + ":" +
                    t.type);
  }
  EXPECT_EQ(order, (Lines{"-.-.t1:TABLE", "cat.-.t2:table", "-.-.v1:VIEW",
                          "cat.-.tmp:LOCAL TEMPORARY", "cat.-.odd:"}));
  EXPECT_EQ(spec_.tableCount, 5);
}

// Catalog names are kept by characters: 40 two-byte letters arrive whole,
// and a longer name is cut at 79 characters, never inside one.
TEST_F(FakeDriverManagerTest, CatalogNamesAreCutByCharactersNeverInsideOne) {
  const struct {
    std::string name, kept;
  } cases[] = {
      {repeat("\xC3\xA9", 40), repeat("\xC3\xA9", 40)},
      {repeat("\xC3\xA9", 80), repeat("\xC3\xA9", 79)},
      {repeat("\xE2\x82\xAC", 79), repeat("\xE2\x82\xAC", 79)},
      {repeat("b", 100), repeat("b", 79)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fresh();
    fake::queueResult(fake::oneTableList(c.name));
    fake::ResultSet columns = fake::columnList();
    columns.rows.push_back({std::nullopt, std::nullopt, c.name, c.name, "12"});
    fake::queueResult(columns);
    SQLHSTMT statement = connect();
    ASSERT_TRUE(readTableList(statement, spec_, reporter_));
    ASSERT_EQ(spec_.tables.size(), 1u);
    EXPECT_EQ(spec_.tables[0].name, c.kept);
    ASSERT_TRUE(readColumnList(statement, spec_.tables[0], reporter_));
    ASSERT_EQ(spec_.tables[0].columns.size(), 1u);
    EXPECT_EQ(spec_.tables[0].columns[0].name, c.kept);
  }
}

TEST_F(FakeDriverManagerTest, ColumnListsGrowAndCarryTheirTypeLetters) {
  fake::ResultSet columns = fake::columnList();
  const SQLSMALLINT types[] = {SQL_INTEGER,   SQL_VARCHAR,   SQL_TYPE_DATE, SQL_TYPE_TIMESTAMP,
                               SQL_TIMESTAMP, SQL_VARBINARY, SQL_BIT};
  const std::string letters = "NCDTCBN";
  for (int i = 0; i < 25; ++i) {
    columns.rows.push_back(
        {std::nullopt, std::nullopt, "t", "col" + std::to_string(i), std::to_string(types[i % 7])});
  }
  fake::queueResult(columns);
  SQLHSTMT statement = connect();
  CatalogTable table;
  table.name = "t";
  ASSERT_TRUE(readColumnList(statement, table, reporter_));
  EXPECT_EQ(fake::lastStatementText(), "t");
  ASSERT_EQ(table.columnCount, 25);
  for (std::size_t i = 0; i < 25; ++i) {
    const CatalogColumn& column = table.columns[i];
    EXPECT_EQ(column.name + column.typeLetter, "col" + std::to_string(i) + letters[i % 7]);
    EXPECT_FALSE(column.selected);
  }
  // A failing column request leaves the table as it was.
  CatalogTable unread;
  unread.name = "u";
  fake::failAt("SQLColumns", 2, SQL_ERROR, {kRecord});
  EXPECT_FALSE(readColumnList(statement, unread, reporter_));
  EXPECT_EQ(unread.columnCount, -1);
  EXPECT_EQ(reporter_.lines, Lines{kErrorLine});
  releaseOdbc(statement);
  EXPECT_EQ(fake::handleFaults(), Lines{});
}

TEST_F(FakeDriverManagerTest, TheChosenStringIsCompletedByTheDriverManager) {
  const std::optional<std::string> none;
  const ConnectResult connected = ConnectResult::kConnected;
  const struct {
    std::optional<std::string> stored, chosen;  // chosen: the dialog's answer
    std::string completed;                      // by the driver manager
    ConnectResult result;
    std::string runString;  // "kept" when left alone
  } cases[] = {
      {none, "DSN=fake", "DSN=fake;UID=me;PWD=secret", connected, "DSN=fake;UID=me;PWD=secret"},
      // A stored string is used as it is, nobody is asked and the run keeps
      // what it has.
      {"DSN=stored", "DSN=fake", "DSN=stored;UID=me", connected, "kept"},
      // A completed string cut at the buffer would not connect again: the
      // run keeps the string as built.
      {none, "DSN=fake", "DSN=fake;" + repeat("x", 1100), connected, "DSN=fake"},
      // Cancelling the dialog connects nothing and says nothing.
      {none, none, "", ConnectResult::kCancelled, "kept"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.completed);
    fresh();
    fake::setCompletedConnectionString(c.completed);
    ASSERT_EQ(openOdbc(reporter_), OpenResult::kOk);
    int asked = 0;
    std::string runString = "kept";
    EXPECT_EQ(driverConnect(c.stored, runString, reporter_,
                            [&](const std::string&) { return ++asked, c.chosen; }),
              c.result);
    releaseOdbc(SQL_NULL_HSTMT);
    EXPECT_EQ(runString, c.runString);
    EXPECT_EQ(asked, c.stored ? 0 : 1);
    EXPECT_EQ(fake::callCount("SQLDriverConnect"), c.result == connected ? 1 : 0);
    EXPECT_EQ(fake::lastConnectionInput(), c.stored.value_or(c.chosen.value_or("")));
    EXPECT_TRUE(reporter_.lines.empty());
    EXPECT_EQ(fake::handleFaults(), Lines{});
  }
}

TEST(DriverManagerLoading, AMissingLibraryGivesTheNotInstalledMessage) {
  testing::resetOdbcProcessState();  // as a new process: nothing loaded yet
  setenv("VODBC_DRIVER_MANAGER", "/nonexistent/libodbc.so.2", 1);
  EXPECT_EQ(driverManagerCandidates(), Lines{"/nonexistent/libodbc.so.2"});
  RecordingReporter reporter;
  EXPECT_FALSE(checkDriverManager(reporter));
  EXPECT_EQ(reporter.lines, Lines{"error: 32 bit ODBC has NOT been installed on your computer!\n"
                                  "You must install this software component if you wish to use "
                                  "this feature."});
  unsetenv("VODBC_DRIVER_MANAGER");
  EXPECT_EQ(driverManagerCandidates(), (Lines{"libodbc.so.2", "libodbc.so", "libiodbc.so.2"}));
}

// Unloading puts the process back where it started: the next check loads
// the library anew.
TEST(DriverManagerLoading, UnloadingForgetsTheLibraryUntilTheNextCheck) {
  testing::resetOdbcProcessState();
  setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
  RecordingReporter reporter;
  ASSERT_TRUE(checkDriverManager(reporter));
  EXPECT_EQ(driverManagerName(), fake::libraryPath());
  EXPECT_NE(odbcApi().SQLAllocHandle, nullptr);
  unloadDriverManager();
  EXPECT_EQ(driverManagerName(), "");
  EXPECT_EQ(odbcApi().SQLAllocHandle, nullptr);
  EXPECT_TRUE(checkDriverManager(reporter));
  EXPECT_EQ(reporter.lines, Lines{});
  testing::resetOdbcProcessState();
  unsetenv("VODBC_DRIVER_MANAGER");
}

}  // namespace
}  // namespace vodbc
