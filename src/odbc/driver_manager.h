// The ODBC driver manager, loaded at run time.
//
// Usage: call checkDriverManager() (or loadDriverManager()) once before the
// first ODBC call of a retrieval, then make every SQL* call through
// odbc::call<&OdbcApi::SQLxxx>(args...). Nothing in the program links the
// driver manager; the library is opened with dlopen from
//   $VODBC_DRIVER_MANAGER when it is set (and only it), else
//   libodbc.so.2, libodbc.so, libiodbc.so.2, the first that loads.
// Tests point VODBC_DRIVER_MANAGER at the fake driver manager.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <vector>

namespace vodbc {

class OdbcReporter;

// Every driver-manager entry point the program uses.
#define VODBC_ODBC_FUNCTIONS(X) \
  X(SQLAllocHandle)             \
  X(SQLAllocEnv)                \
  X(SQLAllocConnect)            \
  X(SQLAllocStmt)               \
  X(SQLFreeHandle)              \
  X(SQLFreeEnv)                 \
  X(SQLFreeConnect)             \
  X(SQLFreeStmt)                \
  X(SQLSetEnvAttr)              \
  X(SQLDriverConnect)           \
  X(SQLDisconnect)              \
  X(SQLGetFunctions)            \
  X(SQLGetInfo)                 \
  X(SQLGetDiagRec)              \
  X(SQLError)                   \
  X(SQLTables)                  \
  X(SQLColumns)                 \
  X(SQLExecDirect)              \
  X(SQLNumResultCols)           \
  X(SQLDescribeCol)             \
  X(SQLBindCol)                 \
  X(SQLFetch)                   \
  X(SQLCancel)                  \
  X(SQLDataSources)             \
  X(SQLDrivers)

// The function table. An entry the library does not export stays null and
// calls through it answer SQL_ERROR, the way a driver manager without the
// function would.
struct OdbcApi {
// A declarator cannot be parenthesised.
#define VODBC_ODBC_MEMBER(name) \
  decltype(&::name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  VODBC_ODBC_FUNCTIONS(VODBC_ODBC_MEMBER)
#undef VODBC_ODBC_MEMBER
};

// The libraries tried, in order (see above).
std::vector<std::string> driverManagerCandidates();

// Loads the driver manager when it is not loaded yet; true when it is.
// A failed attempt is not remembered, so a later call tries again.
bool loadDriverManager();

// Closes the loaded driver manager, if any, and empties the table, so that
// the next load starts over as in a new process (tests use it to show
// "not installed" after a load).
void unloadDriverManager();

// The loaded table; every entry null before a successful load.
const OdbcApi& odbcApi();

// The path or name of the loaded library ("" before a successful load).
const std::string& driverManagerName();

// Makes sure the driver manager is loaded; when it cannot be, shows the
// "not installed" error through `reporter` and returns false.
bool checkDriverManager(OdbcReporter& reporter);

inline constexpr const char* kNoDriverManagerMessage =
    "32 bit ODBC has NOT been installed on your computer!\n"
    "You must install this software component if you wish to use this "
    "feature.";

namespace odbc {

// Calls one entry of the table: odbc::call<&OdbcApi::SQLFetch>(statement).
template <auto Member, class... Args>
SQLRETURN call(Args... args) {
  auto function = odbcApi().*Member;
  if (function == nullptr) return SQL_ERROR;
  return function(args...);
}

}  // namespace odbc
}  // namespace vodbc
