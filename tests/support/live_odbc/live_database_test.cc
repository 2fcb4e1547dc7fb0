#include "live_odbc/live_database_test.h"

#include <stdlib.h>
#include <unistd.h>

#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc::testing {

void LiveDatabaseTest::SetUp() {
  static int cases = 0;
  case_ = ++cases;
  usePrivateOdbcRegistration();
  unsetenv("VODBC_DRIVER_MANAGER");
  initWorksheetDefaults();
  const ServerConnection server = serverConnection(database());
  if (!server.available()) {
    if (inCi()) FAIL() << server.skipReason;
    GTEST_SKIP() << server.skipReason;
  }
  connection_ = server.connectionString;
  ASSERT_TRUE(checkDriverManager(reporter_)) << reported();
  ASSERT_EQ(openOdbc(reporter_), OpenResult::kOk) << reported();
  std::string runString;
  ASSERT_EQ(driverConnect(connection_, runString, reporter_, nullptr), ConnectResult::kConnected)
      << reported();
  statement_ = openStatement(reporter_);
  ASSERT_NE(statement_, nullptr) << reported();
  spec_.statement = statement_;
  readDriverCapabilities(spec_, reporter_);
}

void LiveDatabaseTest::TearDown() {
  releaseOdbc(statement_);
  statement_ = SQL_NULL_HSTMT;
  discardCurrentSheet();
}

void LiveDatabaseTest::execute(const std::string& sql) {
  std::string text = sql;
  const SQLRETURN rc = odbc::call<&OdbcApi::SQLExecDirect>(
      statement_, reinterpret_cast<SQLCHAR*>(text.data()), SQLINTEGER{SQL_NTS});
  odbc::call<&OdbcApi::SQLFreeStmt>(statement_, SQLUSMALLINT{SQL_CLOSE});
  ASSERT_TRUE(SQL_SUCCEEDED(rc)) << sql;
}

std::string LiveDatabaseTest::unique(const std::string& base) const {
  return base + std::to_string(getpid()) + "_" + std::to_string(case_);
}

std::string LiveDatabaseTest::quoted(const std::string& name) const {
  const char quote = database() == Database::MariaDB ? '`' : '"';
  std::string text(1, quote);
  for (char c : name) {
    text += c;
    if (c == quote) text += c;
  }
  return text + quote;
}

std::string LiveDatabaseTest::reported() const {
  std::string text;
  for (const std::string& line : reporter_.lines) text += line + "\n";
  return text;
}

std::string databaseTestName(const ::testing::TestParamInfo<Database>& info) {
  return databaseName(info.param);
}

}  // namespace vodbc::testing
