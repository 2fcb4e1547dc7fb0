#include "live_odbc/run_statements.h"

#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc_doubles/recording_reporter.h"

namespace vodbc::testing {

std::string runStatements(const std::string& connection,
                          const std::vector<std::string>& statements) {
  RecordingReporter reporter;
  if (!checkDriverManager(reporter) || openOdbc(reporter) != OpenResult::kOk) {
    return "no driver manager";
  }
  OdbcSession session;  // releases whatever was opened
  std::string completed;
  if (driverConnect(connection, completed, reporter, nullptr) != ConnectResult::kConnected) {
    return "no connection to " + connection;
  }
  session.setStatement(openStatement(reporter));
  if (session.statement() == SQL_NULL_HSTMT) return "no statement handle";
  for (std::string sql : statements) {
    const SQLRETURN rc = odbc::call<&OdbcApi::SQLExecDirect>(
        session.statement(), reinterpret_cast<SQLCHAR*>(sql.data()), SQLINTEGER{SQL_NTS});
    odbc::call<&OdbcApi::SQLFreeStmt>(session.statement(), SQLUSMALLINT{SQL_CLOSE});
    if (!SQL_SUCCEEDED(rc)) return "refused: " + sql;
  }
  return "";
}

}  // namespace vodbc::testing
