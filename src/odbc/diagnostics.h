// Diagnostic records of a failed ODBC call.
//
// Usage: after a call that did not return SQL_SUCCESS,
//   reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
// shows each record of the handle, one after the other, through
// reporter.diagnostic(). It never changes the caller's flow.
#pragma once

#include <sql.h>

#include <string>

namespace vodbc {

class OdbcReporter;

void reportOdbcDiagnostics(SQLHANDLE handle, SQLSMALLINT handleType, SQLRETURN code,
                           OdbcReporter& reporter);

// The window shows native codes as 32-bit upper-case hexadecimal: 4060 is
// "FDC", -1 is "FFFFFFFF".
std::string formatNativeCode(SQLINTEGER native);

// The one checking road of this library: reports `code`'s records unless it
// is plain SQL_SUCCESS and returns true for success or success with info.
bool checkOdbc(SQLRETURN code, SQLHANDLE handle, SQLSMALLINT handleType, OdbcReporter& reporter);

inline bool succeeded(SQLRETURN code) {
  return code == SQL_SUCCESS || code == SQL_SUCCESS_WITH_INFO;
}

inline constexpr const char* kNoErrorWindowMessage =
    "Error: Can't open OBDC Error Window.\n"
    "Please close another window or application.";

}  // namespace vodbc
