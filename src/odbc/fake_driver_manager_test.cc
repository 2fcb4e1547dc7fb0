// What real drivers cannot show, against the fake driver manager: the
// ODBC 2 paths, a failure at every step with its message and a complete,
// ordered release, warnings on fetched rows, the staging limit, odd length
// indicators, cancellation and the diagnostics window's texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fake_odbc/fake_odbc.h"
#include "odbc/catalog.h"
#include "odbc/connection.h"
#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/recording_reporter.h"
#include "odbc/retrieval_spec.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;

class FakeDriverManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
    fake::reset();
    initWorksheetDefaults();
    odbcHandles = OdbcHandles{};
    driverCapabilities = DriverCapabilities{};
    ASSERT_TRUE(checkDriverManager(reporter_));
  }
  void TearDown() override { discardCurrentSheet(); }

  // Open, connect and a statement, for tests that go on by hand.
  SQLHSTMT connect() {
    std::string runString;
    EXPECT_EQ(openOdbc(reporter_), OpenResult::Ok);
    EXPECT_EQ(driverConnect(std::string("DSN=fake"), runString, reporter_, nullptr),
              ConnectResult::Connected);
    return openStatement(reporter_);
  }

  // One retrieval as the run makes it: open, connect, statement,
  // capabilities, table list, fetch, release. Returns how far it got.
  std::string runOnce(const std::string& sql = "SELECT a FROM t") {
    discardCurrentSheet();  // as the shell does before every run
    std::string reached = "open";
    OdbcSession session;
    OpenResult opened = openOdbc(reporter_);
    if (opened == OpenResult::NothingAllocated) return reached;
    if (opened == OpenResult::Failed) return reached;
    reached = "connect";
    std::string runString;
    if (driverConnect(std::string("DSN=fake"), runString, reporter_, nullptr) !=
        ConnectResult::Connected) {
      return reached;
    }
    reached = "statement";
    SQLHSTMT statement = openStatement(reporter_);
    if (statement == SQL_NULL_HSTMT) return reached;
    session.setStatement(statement);
    spec_.statement = statement;
    readDriverCapabilities(spec_, reporter_);
    reached = "tables";
    if (!readTableList(statement, spec_, reporter_)) return reached;
    reached = "fetch";
    if (fetchIntoSheet(statement, sql, reporter_) != FetchOutcome::Filled) {
      return reached;
    }
    return "done";
  }

  static fake::ResultSet tables() {
    return {{{"TABLE_CAT"}, {"TABLE_SCHEM"}, {"TABLE_NAME"}, {"TABLE_TYPE"}},
            {{std::nullopt, std::nullopt, "t", "TABLE"}}};
  }
  static fake::ResultSet numbers(int rows) {
    fake::ResultSet result{{{"a", SQL_INTEGER}}, {}};
    for (int i = 1; i <= rows; ++i) result.rows.push_back({std::to_string(i)});
    return result;
  }

  // The tail of the handle account: what was freed, in order.
  static Lines releases() {
    Lines out;
    for (const std::string& call : fake::calls()) {
      if (call.rfind("SQLFree", 0) == 0 || call == "SQLDisconnect") {
        if (call != "SQLFreeStmt(UNBIND)" && call != "SQLFreeStmt(CLOSE)") {
          out.push_back(call);
        }
      }
    }
    return out;
  }

  RecordingReporter reporter_;
  RetrievalSpec spec_;
};

const Lines kOdbc3Release = {"SQLFreeHandle(STMT)", "SQLDisconnect",
                             "SQLFreeHandle(DBC)", "SQLFreeHandle(ENV)"};
const Lines kOdbc2Release = {"SQLFreeStmt(DROP)", "SQLDisconnect",
                             "SQLFreeConnect", "SQLFreeEnv"};

TEST_F(FakeDriverManagerTest, ADriverManagerWithoutAllocHandleUsesOdbc2Throughout) {
  fake::removeFunction("SQLAllocHandle");
  for (int run = 0; run < 2; ++run) {
    fake::queueResult(tables());
    fake::queueResult(numbers(1));
    EXPECT_EQ(runOnce(), "done");
  }
  Lines twice = kOdbc2Release;
  twice.insert(twice.end(), kOdbc2Release.begin(), kOdbc2Release.end());
  EXPECT_EQ(releases(), twice);
  // The first run tried the ODBC 3 function once; the level then carried
  // over, so the second run never asked again and declared nothing.
  EXPECT_EQ(fake::callCount("SQLAllocHandle"), 1);
  EXPECT_EQ(fake::callCount("SQLAllocEnv"), 2);
  EXPECT_EQ(fake::callCount("SQLSetEnvAttr"), 0);
  EXPECT_EQ(odbcHandles.level, 2);
  EXPECT_EQ(fake::liveHandles(), 0);
}

TEST_F(FakeDriverManagerTest, AnOdbc2DriverMovesTheLevelAfterConnectingAndBackLater) {
  // The driver manager has the ODBC 3 functions, the connected driver does
  // not report them: handles made with ODBC 3 calls are freed with ODBC 2
  // ones, and the next run starts with SQLAllocEnv.
  fake::setReported("SQLAllocHandle", false);
  fake::queueResult(tables());
  fake::queueResult(numbers(1));
  EXPECT_EQ(runOnce(), "done");
  EXPECT_EQ(releases(), kOdbc2Release);
  EXPECT_EQ(fake::callCount("SQLAllocHandle"), 2);  // environment, connection
  EXPECT_EQ(fake::callCount("SQLAllocStmt"), 1);
  EXPECT_EQ(odbcHandles.level, 2);

  fake::reset();
  fake::queueResult(tables());
  fake::queueResult(numbers(1));
  EXPECT_EQ(runOnce(), "done");
  EXPECT_EQ(fake::callCount("SQLAllocEnv"), 1);
  EXPECT_EQ(fake::callCount("SQLAllocConnect"), 1);
  EXPECT_EQ(fake::callCount("SQLAllocHandle"), 1);  // the statement: level 3 again
  EXPECT_EQ(releases(), kOdbc3Release);
  EXPECT_EQ(odbcHandles.level, 3);
  EXPECT_EQ(fake::liveHandles(), 0);
}

TEST_F(FakeDriverManagerTest, WithoutGetDiagRecTheRecordsComeFromSQLError) {
  fake::setReported("SQLGetDiagRec", false);
  fake::queueResult(tables());
  fake::failAt("SQLExecDirect", 1, SQL_ERROR,
               {{"42S02", 208, "no such table: t"}, {"01000", -1, "second"}});
  EXPECT_EQ(runOnce(), "fetch");
  EXPECT_EQ(reporter_.lines,
            (Lines{"diagnostic: Velora ODBC Error Message|42S02|D0|no such table: t",
                   "diagnostic: Velora ODBC Error Message|01000|FFFFFFFF|second"}));
  EXPECT_EQ(fake::callCount("SQLGetDiagRec"), 0);
  EXPECT_EQ(fake::liveHandles(), 0);
}

struct StepFailure {
  const char* name;
  std::vector<const char*> removed;
  const char* function;
  int nth;
  SQLRETURN result;
  const char* reached;
  Lines shown;
  int rows = -1;  // rows of the Sheet made, when one is
};

void PrintTo(const StepFailure& step, std::ostream* out) { *out << step.name; }

class StepFailureTest : public FakeDriverManagerTest,
                        public ::testing::WithParamInterface<StepFailure> {};

const fake::Diagnostic kRecord{"HY000", 4060, "refused"};
const char* kRecordLine = "diagnostic: Velora ODBC Error Message|HY000|FDC|refused";

TEST_P(StepFailureTest, ShowsItsMessageAndReleasesEverythingInOrder) {
  const StepFailure& step = GetParam();
  for (const char* name : step.removed) fake::removeFunction(name);
  fake::failAt(step.function, step.nth, step.result, {kRecord});
  fake::queueResult(tables());
  fake::queueResult(numbers(2));
  EXPECT_EQ(runOnce(), step.reached);
  EXPECT_EQ(reporter_.lines, step.shown);
  if (step.rows >= 0) {
    EXPECT_EQ(currentSheet->rowCount, step.rows);
  }
  EXPECT_EQ(fake::liveHandles(), 0);
  for (const std::string& event : fake::handleEvents()) {
    EXPECT_EQ(event.rfind("free-invalid", 0), std::string::npos) << event;
  }
  // Whatever was allocated was freed child first.
  Lines freed;
  for (const std::string& event : fake::handleEvents()) {
    if (event.rfind("free ", 0) == 0) freed.push_back(event.substr(5, 3));
  }
  Lines order = {"STM", "DBC", "ENV"};
  std::size_t at = 0;
  for (const std::string& kind : freed) {
    while (at < order.size() && order[at] != kind) ++at;
    EXPECT_LT(at, order.size()) << "freed out of order: " << kind;
  }
  EXPECT_EQ(odbcHandles.environment, nullptr);
  EXPECT_EQ(odbcHandles.connection, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, StepFailureTest,
    ::testing::Values(
        StepFailure{"Environment", {"SQLAllocHandle"}, "SQLAllocEnv", 1, SQL_ERROR,
                    "open", {"error: Error: Could not allocate ODBC environment"}},
        StepFailure{"OdbcVersion", {}, "SQLSetEnvAttr", 1, SQL_ERROR, "open",
                    {kRecordLine}},
        StepFailure{"ConnectionHandle", {}, "SQLAllocHandle", 2, SQL_ERROR, "open",
                    {"error: Error: Could not allocate ODBC Database Connection handle"}},
        StepFailure{"ConnectionHandleOdbc2", {"SQLAllocHandle"}, "SQLAllocConnect", 1,
                    SQL_ERROR, "open",
                    {"error: Error: Could not allocate ODBC Database Connection handle"}},
        StepFailure{"Connect", {}, "SQLDriverConnect", 1, SQL_ERROR, "connect",
                    {"error: Error: Could not Open Database Driver Connection correctly",
                     kRecordLine}},
        StepFailure{"ConnectCancelled", {}, "SQLDriverConnect", 1, SQL_NO_DATA,
                    "connect", {}},
        StepFailure{"Statement", {}, "SQLAllocHandle", 3, SQL_ERROR, "statement",
                    {"error: Error: Could not allocate ODBC Statement handle"}},
        StepFailure{"ServerName", {}, "SQLGetInfo", 1, SQL_ERROR, "done", {kRecordLine}},
        StepFailure{"Tables", {}, "SQLTables", 1, SQL_ERROR, "tables", {kRecordLine}},
        StepFailure{"TablesWithInfo", {}, "SQLTables", 1, SQL_SUCCESS_WITH_INFO, "done",
                    {"diagnostic: Velora ODBC Warning Message|HY000|FDC|refused"}},
        StepFailure{"TableColumns", {}, "SQLNumResultCols", 1, SQL_ERROR, "tables",
                    {kRecordLine}},
        StepFailure{"Execute", {}, "SQLExecDirect", 1, SQL_ERROR, "fetch", {kRecordLine}},
        StepFailure{"ExecuteWithInfo", {}, "SQLExecDirect", 1, SQL_SUCCESS_WITH_INFO,
                    "done", {"diagnostic: Velora ODBC Warning Message|HY000|FDC|refused"}},
        StepFailure{"ResultColumns", {}, "SQLNumResultCols", 2, SQL_SUCCESS_WITH_INFO,
                    "fetch", {"diagnostic: Velora ODBC Warning Message|HY000|FDC|refused"}},
        StepFailure{"FirstRow", {}, "SQLFetch", 3, SQL_ERROR, "fetch",
                    {kRecordLine, "error: Error reading ODBC data: No valid data found!"}},
        // The rows before a failing one are kept.
        StepFailure{"LaterRow", {}, "SQLFetch", 4, SQL_ERROR, "done", {kRecordLine}, 1},
        StepFailure{"LaterRowWithInfo", {}, "SQLFetch", 4, SQL_SUCCESS_WITH_INFO, "done",
                    {"diagnostic: Velora ODBC Warning Message|HY000|FDC|refused"}, 2}),
    [](const ::testing::TestParamInfo<StepFailure>& info) { return info.param.name; });

TEST_F(FakeDriverManagerTest, OnlyTheFirstRowWithInformationIsReported) {
  fake::queueResult(tables());
  fake::queueResult(numbers(4));
  // Fetch calls 1-2 read the table list; 3 is row 1, 5 is row 3.
  fake::failAt("SQLFetch", 3, SQL_SUCCESS_WITH_INFO, {{"01004", 1, "first"}});
  fake::failAt("SQLFetch", 5, SQL_SUCCESS_WITH_INFO, {{"01004", 2, "later"}});
  EXPECT_EQ(runOnce(), "done");
  EXPECT_EQ(reporter_.lines,
            Lines{"diagnostic: Velora ODBC Warning Message|01004|1|first"});
  EXPECT_EQ(currentSheet->rowCount, 4);
}

struct StagingCase {
  int columns;
  std::size_t rows;
  bool fits;
};

void PrintTo(const StagingCase& c, std::ostream* out) {
  *out << c.columns << " columns, " << c.rows << " rows";
}

class StagingLimitTest : public FakeDriverManagerTest,
                         public ::testing::WithParamInterface<StagingCase> {};

TEST_P(StagingLimitTest, TheRowAfterTheLimitFailsTheFetch) {
  const StagingCase& c = GetParam();
  fake::ResultSet result;
  std::vector<fake::Value> row;
  for (int i = 0; i < c.columns; ++i) {
    result.columns.push_back({"c" + std::to_string(i), SQL_DOUBLE});
    row.push_back("1");
  }
  result.rows.push_back(row);
  result.repeatTo = c.rows;
  fake::queueResult(tables());
  fake::queueResult(result);
  EXPECT_EQ(runOnce(), c.fits ? "done" : "fetch");
  if (c.fits) {
    EXPECT_TRUE(reporter_.lines.empty());
    EXPECT_EQ(currentSheet->rowCount, static_cast<int>(c.rows));
  } else {
    EXPECT_EQ(reporter_.lines,
              Lines{"error: Error: ODBC data size too large for this version of "
                    "the Velora ODBC"});
    EXPECT_EQ(currentSheet, nullptr);
  }
  EXPECT_EQ(fake::liveHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(OneAnd250Columns, StagingLimitTest,
                         ::testing::Values(StagingCase{1, 1'999'900, true},
                                           StagingCase{1, 1'999'901, false},
                                           StagingCase{250, 7'900, true},
                                           StagingCase{250, 7'901, false}));

struct TextCase {
  const char* name;
  fake::TextTruncation mode;
  std::string value;
  std::string stored;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.name; }

class OddIndicatorTest : public FakeDriverManagerTest,
                         public ::testing::WithParamInterface<TextCase> {};

TEST_P(OddIndicatorTest, NeverReadsPastTheBufferNorCutsACharacter) {
  const TextCase& c = GetParam();
  fake::setTextTruncation(c.mode);
  fake::queueResult(tables());
  fake::queueResult({{{"v", SQL_VARCHAR}}, {{c.value}, {"x"}}});
  EXPECT_EQ(runOnce(), "done");
  TextNode& first = *textValues(*currentSheet->firstColumn->next).begin();
  EXPECT_EQ(std::string(first.text), c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OddIndicatorTest,
    ::testing::Values(
        TextCase{"LongAsciiWithoutNul", fake::TextTruncation::NoNul,
                 std::string(400, 'a'), std::string(79, 'a')},
        TextCase{"LongAccentedWithoutNul", fake::TextTruncation::NoNul,
                 [] { std::string s; for (int i = 0; i < 200; ++i) s += "\xC3\xA9"; return s; }(),
                 std::string(79, '\xE9')},
        TextCase{"NoTotalShort", fake::TextTruncation::NoTotal, "hello  ", "hello"},
        TextCase{"NoTotalLong", fake::TextTruncation::NoTotal, std::string(500, 'b'),
                 std::string(79, 'b')},
        TextCase{"EightyCharacters", fake::TextTruncation::Standard,
                 std::string(80, 'c'), std::string(79, 'c')}),
    [](const ::testing::TestParamInfo<TextCase>& info) { return info.param.name; });

TEST_F(FakeDriverManagerTest, ColumnNamesKeep31CharactersCountedAfterConversion) {
  fake::queueResult(tables());
  fake::queueResult({{{std::string(40, 'n'), SQL_INTEGER},
                      {"\xC3\xA9" + std::string(39, 'a'), SQL_INTEGER}},
                     {{"1", "2"}}});
  ASSERT_EQ(runOnce(), "done");
  SheetColumn* first = currentSheet->firstColumn->next;
  EXPECT_EQ(std::string(first->name), std::string(31, 'n'));
  // Cut by bytes before converting, the accented name would keep only 29
  // of its letters.
  std::string second = first->next->name;
  EXPECT_EQ(second.size(), 31u) << second;
  EXPECT_EQ(second.substr(1), std::string(30, 'a'));
}

TEST_F(FakeDriverManagerTest, ACancelledFetchEndsQuietlyWithNothingLeftOpen) {
  fake::ResultSet result = numbers(1);
  result.repeatTo = 50'000;
  fake::queueResult(result);
  SQLHSTMT statement = connect();
  FetchControl control(statement);
  FetchHooks hooks;
  hooks.control = &control;
  std::vector<std::int64_t> progress;
  hooks.progress = [&](std::int64_t rows) {
    progress.push_back(rows);
    if (rows == 3000) control.cancel();
  };
  EXPECT_EQ(fetchIntoSheet(statement, "SELECT a FROM t", reporter_, hooks),
            FetchOutcome::Cancelled);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{1000, 2000, 3000}));
  EXPECT_TRUE(reporter_.lines.empty());
  EXPECT_EQ(currentSheet, nullptr);
  EXPECT_EQ(fake::callCount("SQLCancel"), 1);
  Lines calls = fake::calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "SQLFreeStmt(UNBIND)");
  EXPECT_EQ(calls.back(), "SQLFreeStmt(CLOSE)");
  releaseOdbc(statement);
  EXPECT_EQ(fake::liveHandles(), 0);
}

TEST_F(FakeDriverManagerTest, RecordsAreShownInOrderAndAFailedWindowIsReplaced) {
  fake::queueResult(tables());
  // A message cut at 510 characters comes with information, and still counts.
  fake::failAt("SQLExecDirect", 1, SQL_ERROR,
               {{"42000", 1, "one"}, {"42000", 2, std::string(600, 'm')},
                {"42000", 3, "three"}});
  reporter_.windowOpens = false;
  EXPECT_EQ(runOnce(), "fetch");
  const char* replaced =
      "error: Error: Can't open OBDC Error Window.\n"
      "Please close another window or application.";
  EXPECT_EQ(reporter_.lines,
            (Lines{"diagnostic: Velora ODBC Error Message|42000|1|one", replaced,
                   "diagnostic: Velora ODBC Error Message|42000|2|" + std::string(510, 'm'),
                   replaced, "diagnostic: Velora ODBC Error Message|42000|3|three",
                   replaced}));
}

TEST_F(FakeDriverManagerTest, CapabilitiesFollowOnlyPlainAnswers) {
  fake::setInfo(SQL_SERVER_NAME, SQL_SUCCESS, "");
  fake::setInfo(SQL_IDENTIFIER_QUOTE_CHAR, SQL_SUCCESS_WITH_INFO, "`");
  fake::setInfo(SQL_CATALOG_NAME, SQL_SUCCESS, "Y");
  fake::setInfoNumber(SQL_CATALOG_USAGE, SQL_SUCCESS, SQL_CU_DML_STATEMENTS);
  fake::setInfoNumber(SQL_SCHEMA_USAGE, SQL_SUCCESS_WITH_INFO, SQL_SU_DML_STATEMENTS);
  fake::queueResult(tables());
  fake::queueResult(numbers(1));
  EXPECT_EQ(runOnce(), "done");
  EXPECT_EQ(spec_.dataSourceName, "Unnamed Data Source");
  EXPECT_EQ(driverCapabilities.quoteChar, '"');
  EXPECT_TRUE(driverCapabilities.catalogInDml);
  EXPECT_FALSE(driverCapabilities.schemaInDml);
  EXPECT_TRUE(reporter_.lines.empty());
}

TEST_F(FakeDriverManagerTest, TheTableListIsOrderedByTypeAndSkipsNamelessRows) {
  fake::setInfo(SQL_CATALOG_NAME, SQL_SUCCESS, "Y");
  fake::setInfoNumber(SQL_CATALOG_USAGE, SQL_SUCCESS, SQL_CU_DML_STATEMENTS);
  fake::setInfoNumber(SQL_SCHEMA_USAGE, SQL_SUCCESS, SQL_SU_DML_STATEMENTS);
  fake::queueResult({{{"TABLE_CAT"}, {"TABLE_SCHEM"}, {"TABLE_NAME"}, {"TABLE_TYPE"}},
                     {{std::nullopt, "dbo", "v1", "VIEW"},
                      {"c", "s", "t1", "TABLE"},
                      {"cat", std::nullopt, "tmp", "LOCAL TEMPORARY"},
                      {"cat", "dbo", std::nullopt, "TABLE"},
                      {"cat", "dbo", "t2", "table"},
                      {"cat", "dbo", "odd", std::nullopt}}});
  fake::queueResult(numbers(1));
  EXPECT_EQ(runOnce(), "done");
  std::vector<std::string> order;
  for (const CatalogTable& t : spec_.tables) order.push_back(t.name + ":" + t.type);
  EXPECT_EQ(order, (Lines{"t1:TABLE", "t2:table", "v1:VIEW", "tmp:LOCAL TEMPORARY",
                          "odd:"}));
  EXPECT_EQ(spec_.tableCount, 5);
  // Qualifiers of one character, and null ones, are absent.
  EXPECT_FALSE(spec_.tables[0].catalog.has_value());
  EXPECT_FALSE(spec_.tables[0].schema.has_value());
  EXPECT_EQ(spec_.tables[1].catalog.value_or("-"), "cat");
  EXPECT_EQ(spec_.tables[1].schema.value_or("-"), "dbo");
  EXPECT_FALSE(spec_.tables[2].catalog.has_value());
}

TEST_F(FakeDriverManagerTest, ColumnListsGrowAndCarryTheirTypeLetters) {
  fake::ResultSet columns{{{"TABLE_CAT"}, {"TABLE_SCHEM"}, {"TABLE_NAME"},
                           {"COLUMN_NAME"}, {"DATA_TYPE", SQL_SMALLINT}}, {}};
  const SQLSMALLINT types[] = {SQL_INTEGER, SQL_VARCHAR, SQL_TYPE_DATE,
                               SQL_TYPE_TIMESTAMP, SQL_TIMESTAMP, SQL_VARBINARY,
                               SQL_BIT};
  const std::string letters = "NCDTCBN";
  for (int i = 0; i < 25; ++i) {
    columns.rows.push_back({std::nullopt, std::nullopt, "t", "col" + std::to_string(i),
                            std::to_string(types[i % 7])});
  }
  fake::queueResult(tables());
  fake::queueResult(columns);
  SQLHSTMT statement = connect();
  ASSERT_TRUE(readTableList(statement, spec_, reporter_));
  ASSERT_EQ(spec_.tableCount, 1);
  CatalogTable& table = spec_.tables[0];
  ASSERT_TRUE(readColumnList(statement, table, reporter_));
  EXPECT_EQ(fake::lastStatementText(), "t");
  ASSERT_EQ(table.columnCount, 25);
  for (int i = 0; i < 25; ++i) {
    EXPECT_EQ(table.columns[static_cast<std::size_t>(i)].name, "col" + std::to_string(i));
    EXPECT_EQ(table.columns[static_cast<std::size_t>(i)].typeLetter, letters[i % 7]);
    EXPECT_FALSE(table.columns[static_cast<std::size_t>(i)].selected);
  }
  // A failing column request leaves the table as it was.
  CatalogTable unread;
  unread.name = "u";
  fake::failAt("SQLColumns", 2, SQL_ERROR, {kRecord});
  EXPECT_FALSE(readColumnList(statement, unread, reporter_));
  EXPECT_EQ(unread.columnCount, -1);
  EXPECT_EQ(reporter_.lines, Lines{kRecordLine});
  releaseOdbc(statement);
  EXPECT_EQ(fake::liveHandles(), 0);
}

TEST_F(FakeDriverManagerTest, TheChosenStringIsCompletedByTheDriverManager) {
  ASSERT_EQ(openOdbc(reporter_), OpenResult::Ok);
  fake::setCompletedConnectionString("DSN=fake;UID=me;PWD=secret");
  std::string runString;
  int asked = 0;
  auto chooser = [&]() -> std::optional<std::string> {
    ++asked;
    return std::string("DSN=fake");
  };
  EXPECT_EQ(driverConnect(std::nullopt, runString, reporter_, chooser),
            ConnectResult::Connected);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(fake::lastConnectionInput(), "DSN=fake");
  EXPECT_EQ(runString, "DSN=fake;UID=me;PWD=secret");
  releaseOdbc(SQL_NULL_HSTMT);

  // A stored string is used as it is and the run keeps it.
  ASSERT_EQ(openOdbc(reporter_), OpenResult::Ok);
  runString = "kept";
  EXPECT_EQ(driverConnect(std::string("DSN=stored"), runString, reporter_, chooser),
            ConnectResult::Connected);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(runString, "kept");
  EXPECT_EQ(fake::lastConnectionInput(), "DSN=stored");
  releaseOdbc(SQL_NULL_HSTMT);

  // A completed string cut at the buffer would not connect again: the run
  // keeps the string as built.
  ASSERT_EQ(openOdbc(reporter_), OpenResult::Ok);
  fake::setCompletedConnectionString("DSN=fake;" + std::string(1100, 'x'));
  EXPECT_EQ(driverConnect(std::nullopt, runString, reporter_, chooser),
            ConnectResult::Connected);
  EXPECT_EQ(runString, "DSN=fake");
  releaseOdbc(SQL_NULL_HSTMT);

  // Cancelling the dialog connects nothing and says nothing.
  ASSERT_EQ(openOdbc(reporter_), OpenResult::Ok);
  EXPECT_EQ(driverConnect(std::nullopt, runString, reporter_,
                          [] { return std::optional<std::string>(); }),
            ConnectResult::Cancelled);
  EXPECT_EQ(fake::callCount("SQLDriverConnect"), 3);
  releaseOdbc(SQL_NULL_HSTMT);
  EXPECT_TRUE(reporter_.lines.empty());
  EXPECT_EQ(fake::liveHandles(), 0);
}

TEST(DriverManagerLoading, AMissingLibraryGivesTheNotInstalledMessage) {
  setenv("VODBC_DRIVER_MANAGER", "/nonexistent/libodbc.so.2", 1);
  EXPECT_EQ(driverManagerCandidates(), Lines{"/nonexistent/libodbc.so.2"});
  RecordingReporter reporter;
  EXPECT_FALSE(checkDriverManager(reporter));
  EXPECT_EQ(reporter.lines,
            Lines{"error: 32 bit ODBC has NOT been installed on your computer!\n"
                  "You must install this software component if you wish to use "
                  "this feature."});
  unsetenv("VODBC_DRIVER_MANAGER");
  EXPECT_EQ(driverManagerCandidates(),
            (Lines{"libodbc.so.2", "libodbc.so", "libiodbc.so.2"}));
}

}  // namespace
}  // namespace vodbc
