// Control of the fake ODBC driver manager (libvodbc_fake_odbc.so).
//
// The library exports the ODBC entry points the program uses and behaves
// like a small driver manager with one in-memory driver. A test program
// links the library (target vodbc_fake_odbc) and points the program at the
// very same file:
//   setenv("VODBC_DRIVER_MANAGER", vodbc::fake::libraryPath().c_str(), 1);
// then scripts it through the functions below and reads its account of
// calls and handles afterwards. reset() between tests.
//
// Defaults: every function exists and is reported by SQLGetFunctions; every
// call succeeds; SQLGetInfo answers server name "fake", quote character
// '"', no catalogs, schemas not usable in statements; a statement without a
// queued result set has no result columns.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vodbc::fake {

struct Column {
  std::string name;
  SQLSMALLINT sqlType = SQL_VARCHAR;
};

using Value = std::optional<std::string>;  // nullopt is SQL NULL

struct ResultSet {
  std::vector<Column> columns;
  std::vector<std::vector<Value>> rows;
  // When larger than rows.size(), the rows repeat until this many have
  // been delivered (long results without the memory).
  std::size_t repeatTo = 0;
  // Length indicators a misbehaving driver reports instead of the true
  // ones, by (row, column) counted from 0 in `rows`; the value itself is
  // delivered as usual.
  std::map<std::pair<std::size_t, std::size_t>, SQLLEN> indicators = {};
};

struct Diagnostic {
  std::string state;
  SQLINTEGER native = 0;
  std::string message;
};

// How character values that do not fit their buffer are handed over.
enum class TextTruncation {
  Standard,  // cut with a NUL, indicator = full length
  NoNul,     // the whole buffer filled, no NUL, indicator = full length
  NoTotal,   // cut with a NUL, indicator = SQL_NO_TOTAL
};

// The file name of the loaded fake library (for VODBC_DRIVER_MANAGER).
std::string libraryPath();

// Back to the defaults; forgets every handle, call and script.
void reset();

// As if the driver manager had no such function: it is not reported by
// SQLGetFunctions and calling it answers SQL_ERROR.
void removeFunction(const std::string& name);
// Only what SQLGetFunctions reports (the function still works).
void setReported(const std::string& name, bool reported);

// The nth call (1-based, counted since reset) of `function` returns
// `result` and leaves `records` on the handle it was given (for the
// allocation functions: on the input handle). A failing SQLFetch does not
// advance; one with SQL_SUCCESS_WITH_INFO delivers its row.
void failAt(const std::string& function, int nth, SQLRETURN result,
            std::vector<Diagnostic> records = {});

// SQLGetInfo answers: a text, or a 32-bit mask / 16-bit value.
void setInfo(SQLUSMALLINT info, SQLRETURN result, const std::string& text);
void setInfoNumber(SQLUSMALLINT info, SQLRETURN result, SQLUINTEGER value);

// Result sets handed out, in order, by SQLExecDirect, SQLTables and
// SQLColumns. With none queued they produce no result columns.
void queueResult(ResultSet result);
// SQLTables' answer naming one table, `name`, of type TABLE.
ResultSet oneTableList(const std::string& name = "t");
// SQLColumns' result columns (catalog, schema, table, column name and SQL
// type), with no rows yet.
ResultSet columnList();

void setTextTruncation(TextTruncation mode);

// SQLDriverConnect's completed string (default: the input) and its result.
void setCompletedConnectionString(const std::string& text);

// What happened: every call by name, in order (e.g. "SQLFreeHandle(STMT)",
// "SQLFreeStmt(DROP)", "SQLDisconnect").
std::vector<std::string> calls();
// Of those, the calls that release handles, in order: every SQLFree* except
// unbinding and closing a cursor, and SQLDisconnect.
std::vector<std::string> releaseCalls();
// What went wrong with the handles, in order: one freed when not alive
// ("free-invalid STMT"), one freed before its child ("free-before-child
// DBC 2"), then those still alive ("alive ENV"). Empty when every handle
// was freed once, child first.
std::vector<std::string> handleFaults();
int liveHandles();
int callCount(const std::string& function);
std::string lastStatementText();
std::string lastConnectionInput();

// Settings for a fake loaded by another process (a program a test runs):
// saveScript() writes them to a file, and the library of that process reads
// the file named by VODBC_FAKE_SCRIPT the first time it is used.
struct InjectedFailure {
  std::string function;
  int nth = 1;
  SQLRETURN result = SQL_ERROR;
  std::vector<Diagnostic> records;
};
struct Script {
  std::vector<ResultSet> results;  // queued in order
  std::vector<InjectedFailure> failures;
  TextTruncation truncation = TextTruncation::Standard;
};
// False when the file cannot be written.
bool saveScript(const Script& script, const std::string& path);
// Applies a script file's settings; false when it cannot be read or parsed.
bool loadScript(const std::string& path);

}  // namespace vodbc::fake
