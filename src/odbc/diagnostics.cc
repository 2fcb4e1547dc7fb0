#include "odbc/diagnostics.h"

#include <sqlext.h>

#include <cstdint>
#include <cstdio>

#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/password_mask.h"
#include "odbc/reporter.h"

namespace vodbc {

std::string formatNativeCode(SQLINTEGER native) {
  char text[16];
  std::snprintf(text, sizeof text, "%lX",
                static_cast<unsigned long>(static_cast<std::uint32_t>(native)));
  return text;
}

void reportOdbcDiagnostics(SQLHANDLE handle, SQLSMALLINT handleType, SQLRETURN code,
                           OdbcReporter& reporter) {
  // A driver manager that keeps answering with the same record would hold
  // the user in an endless row of windows; no real failure has this many.
  constexpr int kMostRecords = 100;
  for (SQLSMALLINT record = 1, shown = 0; shown < kMostRecords; ++shown) {
    SQLCHAR state[6] = {0};
    SQLINTEGER native = 0;
    SQLCHAR message[512] = {0};
    SQLSMALLINT length = 0;
    SQLRETURN rc;
    // Asked again for every record: the driver manager's answer is what
    // counts, and an ODBC 2 driver manager keeps its records for SQLError.
    if (supportsFunction(SQL_API_SQLGETDIAGREC)) {
      rc = odbc::call<&OdbcApi::SQLGetDiagRec>(handleType, handle, record, state, &native, message,
                                               SQLSMALLINT{511}, &length);
      ++record;
    } else {
      SQLHENV env = odbcHandles.environment;
      SQLHDBC dbc = SQL_NULL_HDBC;
      SQLHSTMT stmt = SQL_NULL_HSTMT;
      if (handleType == SQL_HANDLE_STMT) {
        dbc = odbcHandles.connection;
        stmt = handle;
      } else if (handleType == SQL_HANDLE_DBC) {
        dbc = handle;
      }
      rc = odbc::call<&OdbcApi::SQLError>(env, dbc, stmt, state, &native, message, SQLSMALLINT{511},
                                          &length);
    }
    if (rc == SQL_ERROR || rc == SQL_INVALID_HANDLE || rc == SQL_NO_DATA) {
      return;
    }
    state[5] = 0;
    message[511] = 0;
    OdbcDiagnostic diagnostic;
    diagnostic.sqlState = reinterpret_cast<const char*>(state);
    diagnostic.nativeCode = formatNativeCode(native);
    // Drivers quote connection strings in some messages.
    diagnostic.message = maskPasswords(reinterpret_cast<const char*>(message));
    diagnostic.isWarning = code == SQL_SUCCESS_WITH_INFO;
    if (!reporter.diagnostic(diagnostic)) reporter.error(kNoErrorWindowMessage);
  }
}

bool checkOdbc(SQLRETURN code, SQLHANDLE handle, SQLSMALLINT handleType, OdbcReporter& reporter) {
  if (code != SQL_SUCCESS) {
    reportOdbcDiagnostics(handle, handleType, code, reporter);
  }
  return succeeded(code);
}

}  // namespace vodbc
