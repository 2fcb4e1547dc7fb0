// The ODBC message window and the data-source dialog, driven by a scripted
// user on the headless backend.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "odbc/connection.h"
#include "odbc/data_source_dialog.h"
#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/message_window.h"
#include "odbc_doubles/recording_reporter.h"
#include "servers/test_servers.h"
#include "toolkit/headless/headless_backend.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;

class OdbcWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    toolkit::installBackend(toolkit::makeHeadlessBackend());
    ASSERT_TRUE(toolkit::addBuiltinResources());
  }
  void TearDown() override { toolkit::endSession(); }
};

TEST_F(OdbcWindowsTest, RecordsGetAWindowEachAndMessagesBecomeMessageBoxes) {
  toolkit::startSession(std::string("window 103\nclick 7\nwindow 103\nclose\n"
                                    "answer OK\nanswer OK\nanswer OK\n"),
                        "");
  ToolkitOdbcReporter reporter;
  OdbcDiagnostic warning{"01004", formatNativeCode(4060), "String data, right truncated", true};
  OdbcDiagnostic error{"42S02", formatNativeCode(-1), "no such table: t", false};
  EXPECT_TRUE(reporter.diagnostic(warning));
  EXPECT_TRUE(reporter.diagnostic(error));
  reporter.error("Error: Could not allocate ODBC environment");
  reporter.warning("w");
  reporter.note("Warning: Maximum number of columns (250) exceeded.\nIgnoring extra columns.");
  EXPECT_EQ(
      toolkit::transcriptLines(),
      (Lines{"open 103 \"Velora ODBC Warning Message\"", "set 103 3 \"01004\"", "set 103 4 \"FDC\"",
             "text 103 6: \"String data, right truncated\"",
             "close 103 \"Velora ODBC Warning Message\"", "open 103 \"Velora ODBC Error Message\"",
             "set 103 3 \"42S02\"", "set 103 4 \"FFFFFFFF\"", "text 103 6: \"no such table: t\"",
             "close 103 \"Velora ODBC Error Message\"",
             "error \"Error: Could not allocate ODBC environment\"", "warning \"w\"",
             "note \"Warning: Maximum number of columns (250) exceeded.\\nIgnoring "
             "extra columns.\""}));
}

TEST_F(OdbcWindowsTest, TheDataSourceDialogListsDriversAndReturnsTheString) {
  testing::usePrivateOdbcRegistration();
  unsetenv("VODBC_DRIVER_MANAGER");
  RecordingReporter reporter;
  ASSERT_TRUE(checkDriverManager(reporter)) << ::testing::PrintToString(reporter.lines);
  ASSERT_EQ(openOdbc(reporter), OpenResult::kOk) << ::testing::PrintToString(reporter.lines);
  // Connecting with a typed string and cancelling are shown with the whole
  // program; picking a driver starts the connection string with it.
  toolkit::startSession(std::string("select drivers \"SQLite3\"\nclick ok\n"), "");
  EXPECT_EQ(chooseDataSource(), "Driver={SQLite3};");
  // A double-clicked driver only starts the string; Browse adds the
  // database file of a file-based driver, replacing one named before.
  toolkit::startSession(std::string("dblclick drivers \"SQLite3\"\n"
                                    "click browse\nfile /data/old.db\n"
                                    "click browse\nfile /data/my shop.db\nclick ok\n"),
                        "");
  EXPECT_EQ(chooseDataSource(), "Driver={SQLite3};Database=/data/my shop.db;");
  // Reopened after a refusal, the dialog holds the refused string.
  toolkit::startSession(std::string("click ok\n"), "");
  EXPECT_EQ(chooseDataSource("DSN=typo;"), "DSN=typo;");
  EXPECT_EQ(listDrivers(), (Lines{"PostgreSQL ANSI", "MariaDB Unicode", "SQLite3"}));
  EXPECT_TRUE(listDataSources().empty());
  releaseOdbc(SQL_NULL_HSTMT);
}

}  // namespace
}  // namespace vodbc
