// The floor of the benchmark: the least a program can do to read a whole
// result set through ODBC with vodbc's bindings. It connects with the given
// string, executes the statement, binds every column exactly as the fetch
// does (describeAndBind) and calls SQLFetch until the rows run out, keeping
// nothing. It prints the number of rows on standard output.
//
//   vodbc_fetch_floor [--worker-thread] CONNECTION SQL
//
// --worker-thread fetches on a second thread while the first waits, as any
// program must that can cancel a driver call in progress (vodbc does, for
// Ctrl+C and the Cancel button). The difference to the plain floor is what
// that alone costs: once a process has two threads, every malloc and free
// in the driver takes a lock.
//
// Exit status 0 when every row was fetched, 1 when anything failed (the
// driver's records on standard error).
#include <sql.h>
#include <sqlext.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "odbc/connection.h"
#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/result_binding.h"
#include "sheet/worksheet_settings.h"
#include "text/process_locale.h"
#include "tools/batch/batch_console.h"

namespace {

using namespace vodbc;

// Executes and fetches every row; -1 when execution or a fetch failed.
long fetchAll(SQLHSTMT statement, std::string sql, OdbcReporter& reporter) {
  SQLRETURN rc = odbc::call<&OdbcApi::SQLExecDirect>(
      statement, reinterpret_cast<SQLCHAR*>(sql.data()), SQLINTEGER{SQL_NTS});
  if (!checkOdbc(rc, statement, SQL_HANDLE_STMT, reporter)) return -1;
  SQLSMALLINT count = 0;
  odbc::call<&OdbcApi::SQLNumResultCols>(statement, &count);
  if (count > kMaxFetchColumns) count = kMaxFetchColumns;
  std::vector<BoundColumn> columns = describeAndBind(statement, count);
  long rows = 0;
  for (;;) {
    rc = odbc::call<&OdbcApi::SQLFetch>(statement);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) {
      reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
      rows = -1;
      break;
    }
    ++rows;
  }
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_UNBIND});
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_CLOSE});
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  const bool onWorkerThread = argc == 4 && std::string_view(argv[1]) == "--worker-thread";
  if (argc != 3 && !onWorkerThread) {
    std::fprintf(stderr, "usage: %s [--worker-thread] CONNECTION SQL\n", argv[0]);
    return 2;
  }
  const char* connection = argv[argc - 2];
  const char* sql = argv[argc - 1];
  useProcessLocale();
  initWorksheetDefaults();
  BatchConsole reporter(stderr, "", false);
  if (!checkDriverManager(reporter)) return 1;
  OpenResult opened = openOdbc(reporter);
  if (opened == OpenResult::kNothingAllocated) return 1;
  std::string runString;
  if (opened != OpenResult::kOk || driverConnect(std::string(connection), runString, reporter,
                                                 nullptr) != ConnectResult::kConnected) {
    releaseOdbc(SQL_NULL_HSTMT);
    return 1;
  }
  SQLHSTMT statement = openStatement(reporter);
  long rows = -1;
  auto fetch = [&] {
    if (statement != SQL_NULL_HSTMT) rows = fetchAll(statement, sql, reporter);
  };
  if (onWorkerThread) {
    std::thread(fetch).join();
  } else {
    fetch();
  }
  releaseOdbc(statement);
  if (rows < 0) return 1;
  std::printf("%ld\n", rows);
  return 0;
}
