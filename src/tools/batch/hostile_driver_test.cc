// vodbc-batch against drivers that misbehave, through the fake driver
// manager: what the user sees (stderr word for word and the exit status)
// and what is left on disk (vodbc-dump's reading of the file, or no file).
// Every fault of the fetch (no rows, an error after some rows, limits) is
// shown to the user here once; batch_test covers the command line, the
// files and the real driver's road.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "fake_odbc/fake_odbc.h"
#include "files/temp_folder.h"
#include "process/run_program.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;

const std::string kBatch = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-batch";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

struct HostileCase {
  const char* name;
  fake::Script script;  // the query's result set and faults
  Lines err;            // everything on stderr
  int status;
  std::string csv;  // vodbc-dump --csv of the file written; "" for none
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class HostileDriverTest : public ::testing::TestWithParam<HostileCase> {
 protected:
  // Runs vodbc-batch on a retrieval file for the fake data source whose
  // table list holds one table and whose query answers with `script`.
  testing::ProgramResult run(fake::Script script) {
    script.results.insert(script.results.begin(), fake::oneTableList());
    EXPECT_TRUE(fake::saveScript(script, folder_.file("script")));
    testing::writeRetrievalFileText(folder_.file("q.idb"), "DSN=fake", {"SELECT * FROM t"});
    testing::ProgramRun run;
    run.program = kBatch;
    run.arguments = {folder_.file("q.idb"), folder_.file("out.WOR")};
    run.environment = {{"VODBC_DRIVER_MANAGER", fake::libraryPath()},
                       {"VODBC_FAKE_SCRIPT", folder_.file("script")}};
    return testing::runProgram(run);
  }

  std::string written() {
    if (::access(folder_.file("out.WOR").c_str(), F_OK) != 0) return "";
    testing::ProgramResult dump = testing::runProgram(kDump, {"--csv", folder_.file("out.WOR")});
    EXPECT_EQ(dump.status, 0) << dump.err;
    return dump.out;
  }

  testing::TempFolder folder_{"vodbc-hostile"};
};

TEST_P(HostileDriverTest, WhatTheUserSees) {
  const HostileCase& c = GetParam();
  testing::ProgramResult r = run(c.script);
  EXPECT_EQ(testing::splitLines(r.err), c.err);
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(written(), c.csv);
}

// Result sets.
fake::ResultSet columnsOf(int count, SQLSMALLINT type, const fake::Value& value) {
  fake::ResultSet r;
  for (int i = 1; i <= count; ++i) r.columns.push_back({"c" + std::to_string(i), type});
  r.rows.push_back(std::vector<fake::Value>(static_cast<std::size_t>(count), value));
  return r;
}
fake::ResultSet numbers(std::vector<fake::Value> values) {
  fake::ResultSet r{{{"x", SQL_DOUBLE}}, {}};
  for (const fake::Value& v : values) r.rows.push_back({v});
  return r;
}
fake::Script only(fake::ResultSet r) {
  return {{std::move(r)}, {}, fake::TextTruncation::Standard};
}
// SQLFetch calls 1 and 2 read the table list; call 3 fetches row 1.
fake::InjectedFailure atRow(int row, SQLRETURN result) {
  return {"SQLFetch", row + 2, result, {{"01004", 7, "String data, right truncated"}}};
}

std::string repeat(char c, std::size_t n) { return std::string(n, c); }
std::string retrieved(int columns, int rows) {
  return "note: Retrieved " + std::to_string(columns) + " columns by " + std::to_string(rows) +
         " rows of data from ODBC Query";
}

const std::string kNoData = "error: Error reading ODBC data: No valid data found!";
const std::string kStaging =
    "error: Error: ODBC data size too large for this version of the Velora ODBC";
const std::string kClipped =
    "error: Warning: Numbers in ODBC data greater than 9.99999E+37 have been set to this value!";
// After a failed fetch the run offers to correct the statement; nobody
// answers in a batch, so it ends.
const Lines kFetchFailed = {
    "question: Do you want to edit the SQL statement to correct this error? [No/Yes] -> No",
    "error: Error reading ODBC Data!"};
Lines fetchFailed(const std::string& why) {
  Lines out = {why};
  out.insert(out.end(), kFetchFailed.begin(), kFetchFailed.end());
  return out;
}

fake::Script warningOnEveryRow() {
  fake::Script s = only(numbers({"1", "2", "3"}));
  for (int row = 1; row <= 3; ++row) s.failures.push_back(atRow(row, SQL_SUCCESS_WITH_INFO));
  return s;
}
fake::Script errorAtRow3() {
  fake::Script s = only(numbers({"1", "2", "3", "4"}));
  s.failures.push_back(atRow(3, SQL_ERROR));
  return s;
}
fake::Script withTruncation(fake::ResultSet r, fake::TextTruncation mode) {
  fake::Script s = only(std::move(r));
  s.truncation = mode;
  return s;
}
fake::ResultSet oddIndicators() {
  fake::ResultSet r{{{"t", SQL_VARCHAR}, {"n", SQL_INTEGER}},
                    {{"abc", "1"}, {"de  ", "2"}, {"f", "3"}, {"gh", "4"}}};
  r.indicators = {{{0, 0}, SQL_NO_TOTAL}, {{1, 0}, -2},           {{2, 0}, -1000}, {{3, 0}, 100000},
                  {{0, 1}, -2},           {{1, 1}, SQL_NO_TOTAL}, {{2, 1}, 0},     {{3, 1}, -1000}};
  return r;
}
fake::ResultSet rows(int columns, std::size_t count) {
  fake::ResultSet r = columnsOf(columns, SQL_DOUBLE, "1");
  r.repeatTo = count;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Batch, HostileDriverTest,
    ::testing::Values(
        HostileCase{
            "MoreThan250Columns",
            only(columnsOf(251, SQL_DOUBLE, "1")),
            {"note: Warning: Maximum number of columns (250) exceeded.", "Ignoring extra columns.",
             retrieved(250, 1), "error: Error: Too many columns in ODBC.WOR to save.",
             "Velora has a maximum of 127 columns.", "Use a columns selection to save."},
            6,
            ""},
        HostileCase{"NamesLongerThanTheirBuffer",
                    only({{{repeat('n', 300), SQL_INTEGER},
                           {"Unit Price ($) " + repeat('x', 200), SQL_INTEGER}},
                          {{"1", "2"}}}),
                    {retrieved(2, 1)},
                    0,
                    repeat('n', 31) + ",Unit_Price_" + repeat('x', 16) + "\n1,2\n"},
        HostileCase{"TextFillingTheBufferWithoutNul",
                    withTruncation({{{"t", SQL_VARCHAR}}, {{repeat('a', 400)}, {"b"}}},
                                   fake::TextTruncation::NoNul),
                    {retrieved(1, 2)},
                    0,
                    "t\naaaaaaaa\nb\n"},
        HostileCase{"NegativeAndOversizedIndicators",
                    only(oddIndicators()),
                    {retrieved(2, 4)},
                    0,
                    "t,n\nabc,1\nde,2\nf,3\ngh,4\n"},
        HostileCase{
            "WarningOnEveryRow",
            warningOnEveryRow(),
            {"warning: Velora ODBC Warning Message: SQL Error: 01004 Error Code: 7 ODBC Error "
             "Message: String data, right truncated",
             retrieved(1, 3)},
            0,
            "x\n1\n2\n3\n"},
        HostileCase{
            "ErrorInTheMiddleOfTheFetch",
            errorAtRow3(),
            {"error: Velora ODBC Error Message: SQL Error: 01004 Error Code: 7 ODBC Error Message: "
             "String data, right truncated",
             "note: Retrieved 1 columns by 2 rows of data from ODBC Query",
             "error: the fetch ended with an error after 2 rows; nothing was written "
             "(--allow-partial writes them)"},
            5,
            ""},
        HostileCase{"ZeroRows", only(numbers({})), fetchFailed(kNoData), 5, ""},
        HostileCase{"AMillionRowsPassTheStagingLimit", only(rows(2, 1'000'000)),
                    fetchFailed(kStaging), 5, ""},
        HostileCase{"RowsWithinTheStagingLimitButTooManyToSave",
                    only(rows(2, 999'900)),
                    {retrieved(2, 999'900), "error: Error: Too many rows in ODBC.WOR to save.",
                     "Velora has a maximum of 50400 rows."},
                    6,
                    ""},
        HostileCase{"NotANumberInfinitiesAndHugeNumbers",
                    only(numbers({"nan", "inf", "-inf", "1e308", "-1e308", "1.5", std::nullopt})),
                    {kClipped, retrieved(1, 7)},
                    0,
                    "x\n\n1e+35\n\n1e+35\n\n1.5\n\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vodbc
