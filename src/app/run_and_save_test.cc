// "Database..." in process, with query windows that pick a table the way a
// user would, the headless toolkit playing the rest from a script and the
// real SQLite driver: the names offered for new worksheets, and the start-up
// choice that later runs write to without asking.
#include "app/run_and_save.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/program_state.h"
#include "files/temp_folder.h"
#include "odbc_doubles/run_doubles.h"
#include "servers/test_servers.h"
#include "toolkit/headless/headless_backend.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"

namespace vodbc {
namespace {

TEST(RunAndSave, DatabaseNamesSheetsAndKeepsTheStartUpChoice) {
  testing::usePrivateOdbcRegistration();
  const testing::TempFolder dirTemp("vodbc-test");
  const std::string dir = dirTemp.str();
  std::string shop = testing::makeSqliteDatabase(
      dir + "/shop.db", "CREATE TABLE t (a INTEGER);\nINSERT INTO t VALUES (7);\n");
  char previous[4096];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir(dir.c_str()), 0);

  toolkit::installBackend(toolkit::makeHeadlessBackend());
  ASSERT_TRUE(toolkit::addBuiltinResources());
  const std::string connect = "connect " + shop + "\n";
  toolkit::startSession(connect + "answer OK\nfile cancel\n" +       // Sheet1
                            connect + "answer OK\nfile out.WOR\n" +  // Sheet2
                            connect + "answer OK\nanswer Overwrite\n",
                        "");
  testing::ScriptedWindows windows;
  windows.selectData = [](RetrievalSpec& spec) { spec.selectedTable = 0; };

  ProgramState& state = programState();
  state = ProgramState{};                      // as a new process starts
  runAndSave(RunVariant::kDatabase, windows);  // cancelled: uses up Sheet1
  runAndSave(RunVariant::kDatabase, windows);  // Sheet2, saved as out.WOR
  state.outputWorksheetPath = dir + "/out.WOR";
  runAndSave(RunVariant::kDatabase, windows);  // no dialog, but the question
  state.outputWorksheetPath.clear();

  const std::vector<std::string> source = {
      "open 110 \"Select Data Source\"",
      "list 110 4: \"PostgreSQL ANSI\" \"MariaDB Unicode\" \"SQLite3\"",
      "close 110 \"Select Data Source\"",
      "note \"Retrieved 1 columns by 1 rows of data from ODBC Query\""};
  std::vector<std::string> expected;
  for (const char* name : {"Sheet1.WOR", "Sheet2.WOR"}) {
    expected.insert(expected.end(), source.begin(), source.end());
    expected.push_back("file open \"Velora Save ODBC data in Worksheet\" \"" + dir +
                       "\" \"WOR\" \"" + name + "\"");
  }
  expected.insert(expected.end(), source.begin(), source.end());
  expected.push_back("ask \"Warning: Overwriting " + dir +
                     "/out.WOR will lose the Velora Strings, Constants and SSP "
                     "matrix!\\n\\nAre you sure you want to do this?\" \"No\" "
                     "\"Overwrite\"");
  EXPECT_EQ(toolkit::transcriptLines(), expected);
  EXPECT_EQ(windows.selectOpened, 3);
  EXPECT_EQ(state.sheetNameCounter, 3);
  EXPECT_EQ(::access((dir + "/out.WOR").c_str(), F_OK), 0);
  toolkit::endSession();
  ASSERT_EQ(::chdir(previous), 0);
}

}  // namespace
}  // namespace vodbc
