// How much fetchIntoSheet costs over the bare minimum of reading the same
// result: the floor executes the statement and SQLFetches every row into
// the same bindings (doubles for numbers, 317-byte text buffers for the
// rest) and does nothing else. Both run on the same table in the same
// process, alternately, and the ratio of their medians is printed per data
// source.
//
//   vodbc_bench_fetch DATA.sql NAME=CONNECTION [NAME=CONNECTION ...]
//
// DATA.sql comes from generate_fetch_data.sh; each connection gets the
// table loaded first. run_fetch_bench.sh does all of it with SQLite and a
// throw-away PostgreSQL.
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/reporter.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"
#include "tools/batch/batch_console.h"

namespace {

using namespace vodbc;
using Clock = std::chrono::steady_clock;

constexpr const char* kQuery = "SELECT * FROM fetch_bench";
constexpr int kRounds = 5;

bool execute(SQLHSTMT statement, std::string sql) {
  SQLRETURN rc = odbc::call<&OdbcApi::SQLExecDirect>(
      statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQLINTEGER{SQL_NTS});
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_CLOSE});
  return SQL_SUCCEEDED(rc);
}

// The floor: execute, bind like the fetch does, fetch every row.
long floorPass(SQLHSTMT statement) {
  std::string sql = kQuery;
  odbc::call<&OdbcApi::SQLExecDirect>(statement, reinterpret_cast<SQLCHAR*>(sql.data()),
                                      SQLINTEGER{SQL_NTS});
  SQLSMALLINT columns = 0;
  odbc::call<&OdbcApi::SQLNumResultCols>(statement, &columns);
  struct Bound {
    alignas(8) char buffer[320];
    SQLLEN indicator;
  };
  std::vector<Bound> bound(static_cast<std::size_t>(columns));
  for (SQLSMALLINT c = 1; c <= columns; ++c) {
    SQLCHAR name[128];
    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    odbc::call<&OdbcApi::SQLDescribeCol>(statement, static_cast<SQLUSMALLINT>(c), name,
                                         SQLSMALLINT{sizeof name}, &nameLength, &type, &size,
                                         &digits, &nullable);
    odbc::call<&OdbcApi::SQLBindCol>(
        statement, static_cast<SQLUSMALLINT>(c), fetchColumnType(type).targetType,
        static_cast<SQLPOINTER>(bound[static_cast<std::size_t>(c - 1)].buffer), SQLLEN{317},
        &bound[static_cast<std::size_t>(c - 1)].indicator);
  }
  long rows = 0;
  while (SQL_SUCCEEDED(odbc::call<&OdbcApi::SQLFetch>(statement))) ++rows;
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_UNBIND});
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_CLOSE});
  return rows;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

int benchOne(const std::string& name, const std::string& connection,
             const std::vector<std::string>& load) {
  BatchConsole reporter(stderr, "", false);
  if (openOdbc(reporter) != OpenResult::kOk) return 1;
  std::string runString;
  if (driverConnect(connection, runString, reporter, nullptr) != ConnectResult::kConnected) {
    releaseOdbc(SQL_NULL_HSTMT);
    return 1;
  }
  SQLHSTMT statement = openStatement(reporter);
  if (statement == SQL_NULL_HSTMT) {
    releaseOdbc(SQL_NULL_HSTMT);
    return 1;
  }
  for (const std::string& sql : load) {
    if (!execute(statement, sql)) {
      std::fprintf(stderr, "%s: could not load: %.80s\n", name.c_str(), sql.c_str());
      releaseOdbc(statement);
      return 1;
    }
  }
  std::vector<double> floors, fetches;
  long rows = 0;
  int sheetRows = 0, sheetColumns = 0;
  floorPass(statement);  // warm the caches of the data source
  for (int round = 0; round < kRounds; ++round) {
    Clock::time_point start = Clock::now();
    rows = floorPass(statement);
    floors.push_back(seconds(Clock::now() - start));

    start = Clock::now();
    FetchOutcome outcome = fetchIntoSheet(statement, kQuery, reporter);
    fetches.push_back(seconds(Clock::now() - start));
    if (outcome != FetchOutcome::kFilled) {
      releaseOdbc(statement);
      return 1;
    }
    sheetRows = currentSheet->rowCount;
    sheetColumns = currentSheet->columnCount;
    discardCurrentSheet();
  }
  releaseOdbc(statement);
  double floor = median(floors), fetch = median(fetches);
  std::printf(
      "%-10s rows %ld (sheet %d x %d)  fetch_floor %.3f s  fetch %.3f s  "
      "fetch/floor %.3f\n",
      name.c_str(), rows, sheetRows, sheetColumns, floor, fetch, fetch / floor);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DATA.sql NAME=CONNECTION ...\n", argv[0]);
    return 2;
  }
  std::vector<std::string> load;
  std::ifstream in(argv[1]);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty()) load.push_back(line);
  }
  if (load.empty()) {
    std::fprintf(stderr, "%s: no statements\n", argv[1]);
    return 2;
  }
  vodbc::initWorksheetDefaults();
  BatchConsole reporter(stderr, "", false);
  if (!checkDriverManager(reporter)) return 1;
  int failures = 0;
  for (int i = 2; i < argc; ++i) {
    std::string arg = argv[i];
    std::size_t eq = arg.find('=');
    failures += benchOne(arg.substr(0, eq), arg.substr(eq + 1), load);
  }
  return failures == 0 ? 0 : 1;
}
