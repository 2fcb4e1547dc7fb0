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

class ProgramQtSession : public ::testing::Test {
 protected:
  void SetUp() override { testing::usePrivateOdbcRegistration(); }

  // Runs the program on real Qt widgets (offscreen) in the test's folder,
  // where q.idb runs `sql` on a new SQLite database made by `create`.
  toolkit::testing::SessionResult run(const std::string& create,
                                      const std::vector<std::string>& sql,
                                      std::vector<std::string> arguments,
                                      const std::string& script) {
    testing::writeRetrievalFileText(dir_ + "/q.idb",
                                    testing::makeSqliteDatabase(dir_ + "/shop.db", create), sql);
    toolkit::testing::SessionRun session;
    session.program = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
    session.toolkit = "qt";
    session.environment = {{"QT_QPA_PLATFORM", "offscreen"}};
    session.arguments = std::move(arguments);
    session.workingDirectory = dir_;
    session.script = script;
    return toolkit::testing::runSession(session);
  }

  const testing::TempFolder temp_{"vodbc-test"};
  const std::string dir_ = temp_.str();
};

TEST_F(ProgramQtSession, StartUpRerunWritesThroughRealWidgets) {
  testing::writeRetrievalFileText(dir_ + "/old.WOR", "not a worksheet", {});
  toolkit::testing::SessionResult result =
      run("CREATE TABLE sales (region VARCHAR(20), amount DOUBLE);\n"
          "INSERT INTO sales VALUES ('North', 2.5), ('South', 4.0);\n",
          {"SELECT * FROM sales"}, {"/c", "/w=10,20,300,120", "x", dir_ + "/q.idb"},
          "answer OK\nfile old.WOR\nanswer Overwrite\n");
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.transcript, (std::vector<std::string>{
                                   "open task \"Velora ODBC Query\"",
                                   "note \"Retrieved 2 columns by 2 rows of data from ODBC Query\"",
                                   "file open \"Velora Save ODBC data in Worksheet\" \"" + dir_ +
                                       "\" \"WOR\" \"q.WOR\"",
                                   "ask \"Warning: Overwriting " + dir_ +
                                       "/old.WOR will lose the Velora Strings, Constants and SSP "
                                       "matrix!\\n\\nAre you sure you want to do this?\" \"No\" "
                                       "\"Overwrite\"",
                                   "close task \"Velora ODBC Query\""}));
  testing::ProgramResult dump = testing::runProgram(
      std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump", {"--csv", dir_ + "/old.WOR"});
  EXPECT_EQ(dump.out, "region,amount\nNorth,2.5\nSouth,4\n");
}

// A statement that fails while it runs, long enough for the progress
// window: the failure, found on the fetch's thread, is shown by the GUI
// thread in the real message window, followed by the question.
TEST_F(ProgramQtSession, FetchFailureIsShownFromTheFetchThread) {
  toolkit::testing::SessionResult result =
      run("CREATE TABLE t (a INTEGER);\n",
          {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c",
           "WHERE x < 1500000) SELECT CASE WHEN x < 1400000 THEN x",
           "ELSE abs(-9223372036854775807 - 1) END FROM c"},
          {"x", dir_ + "/q.idb"}, "close\nanswer No\nanswer OK\nmenu 1006\n");
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
