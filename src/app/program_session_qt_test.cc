// The same start-up rerun as the headless sessions, driven through real Qt
// widgets (offscreen): the task window, the message box, the file dialog
// and the writer's question are the Qt backend's own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "process/run_program.h"
#include "servers/test_servers.h"
#include "session/session_runner.h"

namespace vodbc {
namespace {

TEST(ProgramQtSession, StartUpRerunWritesThroughRealWidgets) {
  testing::usePrivateOdbcRegistration();
  const testing::TempFolder dirTemp("vodbc-test");
  const std::string dir = dirTemp.str();
  std::string shop =
      testing::makeSqliteDatabase(dir + "/shop.db",
                                  "CREATE TABLE sales (region VARCHAR(20), amount DOUBLE);\n"
                                  "INSERT INTO sales VALUES ('North', 2.5), ('South', 4.0);\n");
  testing::writeRetrievalFileText(dir + "/q.idb", shop, {"SELECT * FROM sales"});
  testing::writeRetrievalFileText(dir + "/old.WOR", "not a worksheet", {});

  toolkit::testing::SessionRun run;
  run.program = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
  run.toolkit = "qt";
  run.environment = {{"QT_QPA_PLATFORM", "offscreen"}};
  run.arguments = {"/c", "/w=10,20,300,120", "x", dir + "/q.idb"};
  run.workingDirectory = dir;
  run.script = "answer OK\nfile old.WOR\nanswer Overwrite\n";
  toolkit::testing::SessionResult result = toolkit::testing::runSession(run);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.transcript, (std::vector<std::string>{
                                   "open task \"Velora ODBC Query\"",
                                   "note \"Retrieved 2 columns by 2 rows of data from ODBC Query\"",
                                   "file open \"Velora Save ODBC data in Worksheet\" \"" + dir +
                                       "\" \"WOR\" \"q.WOR\"",
                                   "ask \"Warning: Overwriting " + dir +
                                       "/old.WOR will lose the Velora Strings, Constants and SSP "
                                       "matrix!\\n\\nAre you sure you want to do this?\" \"No\" "
                                       "\"Overwrite\"",
                                   "close task \"Velora ODBC Query\""}));
  testing::ProgramResult dump = testing::runProgram(
      std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump", {"--csv", dir + "/old.WOR"});
  EXPECT_EQ(dump.out, "region,amount\nNorth,2.5\nSouth,4\n");
}

// A statement that fails while it runs, long enough for the progress
// window: the failure, found on the fetch's thread, is shown by the GUI
// thread in the real message window, followed by the question.
TEST(ProgramQtSession, FetchFailureIsShownFromTheFetchThread) {
  testing::usePrivateOdbcRegistration();
  const testing::TempFolder dirTemp("vodbc-test");
  const std::string dir = dirTemp.str();
  std::string shop = testing::makeSqliteDatabase(dir + "/shop.db", "CREATE TABLE t (a INTEGER);\n");
  testing::writeRetrievalFileText(dir + "/q.idb", shop,
                                  {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c",
                                   "WHERE x < 1500000) SELECT CASE WHEN x < 1400000 THEN x",
                                   "ELSE abs(-9223372036854775807 - 1) END FROM c"});
  toolkit::testing::SessionRun run;
  run.program = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
  run.toolkit = "qt";
  run.environment = {{"QT_QPA_PLATFORM", "offscreen"}};
  run.arguments = {"x", dir + "/q.idb"};
  run.workingDirectory = dir;
  run.script = "close\nanswer No\nanswer OK\nmenu 1006\n";
  toolkit::testing::SessionResult result = toolkit::testing::runSession(run);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(
      result.transcript,
      (std::vector<std::string>{
          "open task \"Velora ODBC Query\"", "open 103 \"Velora ODBC Error Message\"",
          "set 103 3 \"S1000\"", "set 103 4 \"1\"", "text 103 6: \"[SQLite]integer overflow (1)\"",
          "close 103 \"Velora ODBC Error Message\"",
          "ask \"Do you want to edit the SQL statement to correct this "
          "error?\" \"No\" \"Yes\"",
          "error \"Error reading ODBC Data!\"", "close task \"Velora ODBC Query\""}));
}

}  // namespace
}  // namespace vodbc
