// Interactive queries through the whole program: the real vodbc in a
// scripted headless session picks a table, columns and a condition in the
// query windows, corrects a failing statement in the SQL editor, saves the
// retrieval file and the worksheet; vodbc-dump judges the worksheet and the
// saved retrieval file reruns with vodbc-batch and with "vodbc /c". Built
// once per database.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/query_model.h"
#include "files/temp_folder.h"
#include "live_odbc/live_database_test.h"
#include "odbc/catalog.h"
#include "process/run_program.h"
#include "session/session_runner.h"

namespace vodbc {
namespace {

const std::string kProgram = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
const std::string kBatch = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-batch";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

class QuerySessionTest : public testing::LiveDatabaseTest {
 protected:
  void SetUp() override {
    LiveDatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    folder_.emplace("vodbc-query-session");
    dir_ = folder_->str();
    table_ = unique("Shop Items ");
    execute("CREATE TABLE " + quoted(table_) + " (" + quoted("Item Name") +
            " varchar(20), qty integer, " + quoted("Unit Price") + " numeric(8,2))");
    execute("INSERT INTO " + quoted(table_) +
            " VALUES ('apple', 1, 0.5), ('pear', 4, 1.25), ('plum', 7, 2)");
    // How the table list shows our table, and how the insert dialog's
    // reference to it reads.
    ASSERT_TRUE(readTableList(statement_, spec_, reporter_)) << reported();
    for (std::int32_t i = 0; i < spec_.tableCount; ++i) {
      if (spec_.tables[static_cast<std::size_t>(i)].name != table_) continue;
      tableItem_ = tableItemText(spec_.tables[static_cast<std::size_t>(i)]);
      spec_.selectedTable = i;
      spec_.insertColumn = -1;
      tableReference_ = *qualifiedName(spec_);
    }
    ASSERT_FALSE(tableItem_.empty()) << table_ << " is not in the table list";
  }

  void TearDown() override {
    if (!table_.empty()) execute("DROP TABLE " + quoted(table_));
    LiveDatabaseTest::TearDown();
  }

  toolkit::testing::SessionResult session(const std::string& script,
                                          std::vector<std::string> arguments = {}) {
    toolkit::testing::SessionRun run;
    run.program = kProgram;
    run.arguments = std::move(arguments);
    run.workingDirectory = dir_;
    run.script = testing::replaceAll(testing::replaceAll(script, "{conn}", connection_), "{table}",
                                     tableItem_);
    return toolkit::testing::runSession(run);
  }

  // The worksheet as CSV lines, header first.
  std::vector<std::string> dump(const std::string& file) {
    testing::ProgramResult r = runIn(kDump, {"--csv", dir_ + "/" + file});
    EXPECT_EQ(r.status, 0) << file << ": " << r.err;
    return toolkit::testing::splitLines(r.out);
  }

  bool has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  }

  testing::ProgramResult runIn(const std::string& program, std::vector<std::string> arguments) {
    testing::ProgramRun run;
    run.program = program;
    run.arguments = std::move(arguments);
    run.workingDirectory = dir_;
    return testing::runProgram(run);
  }

  std::optional<testing::TempFolder> folder_;
  std::string dir_, table_, tableItem_, tableReference_;
};

TEST_P(QuerySessionTest, ColumnsAndAConditionMakeTheWorksheet) {
  auto result = session(
      "connect {conn}\nwindow 101\nselect tables \"{table}\"\ndblclick columns 0\n"
      "dblclick columns 2\nclick where\nwindow 105\ndblclick columns 1\ndblclick operators 3\n"
      "click clear\ntext condition \"where qty >= 4\"\nclick ok\nclick ok\nanswer OK\n"
      "file items.WOR\nmenu 1006\n");
  ASSERT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_TRUE(has(result.transcript, "text 105 5: \"qty > \"")) << result.err;
  EXPECT_TRUE(
      has(result.transcript, "note \"Retrieved 2 columns by 2 rows of data from ODBC Query\""));
  std::vector<std::string> csv = dump("items.WOR");
  ASSERT_EQ(csv.size(), 3u) << ::testing::PrintToString(csv);
  EXPECT_NE(csv[1].find("pear"), std::string::npos) << csv[1];
  EXPECT_NE(csv[2].find("plum"), std::string::npos) << csv[2];
}

TEST_P(QuerySessionTest, AFailedStatementIsCorrectedInTheEditorAndTheRetrievalReruns) {
  // The condition "qty >" fails; the user corrects the statement with a
  // table name from the insert dialog, saves the retrieval and the sheet.
  std::string script =
      "connect {conn}\nwindow 101\nselect tables \"{table}\"\ndblclick columns 1\n"
      "check edit_sql on\ncheck save on\nclick where\ndblclick columns 1\n"
      "dblclick operators 3\nclick ok\nclick ok\nwindow 102\nclick ok\n";
  // The message window with the failed execution's record.
  script +=
      "window 103\nclose\n"
      "answer Yes\nwindow 102\ntext sql \"SELECT qty FROM \"\nclick tables\nwindow 104\n"
      "select tables \"{table}\"\nclick ok\nclick ok\nfile saved.idb\nanswer OK\n"
      "file sheet.WOR\nmenu 1006\n";
  auto result = session(script);
  ASSERT_EQ(result.exitStatus, 0) << result.err << ::testing::PrintToString(result.transcript);
  EXPECT_TRUE(has(result.transcript,
                  "ask \"Do you want to edit the SQL statement to correct this error?\" \"No\" "
                  "\"Yes\""));
  EXPECT_TRUE(has(result.transcript, "text 102 3: \"SELECT qty FROM " +
                                         testing::replaceAll(tableReference_, "\"", "\\\"") + "\""))
      << ::testing::PrintToString(result.transcript);
  EXPECT_EQ(dump("sheet.WOR"), (std::vector<std::string>{"qty", "1", "4", "7"}));

  // The saved retrieval file reruns without any window, and from the
  // program's command line.
  testing::ProgramResult batch = runIn(kBatch, {dir_ + "/saved.idb", dir_ + "/batch.WOR"});
  EXPECT_EQ(batch.status, 0) << batch.err;
  EXPECT_EQ(dump("batch.WOR"), (std::vector<std::string>{"qty", "1", "4", "7"}));
  auto rerun = session("answer OK\nfile rerun.WOR\n", {"/c", "x", dir_ + "/saved.idb"});
  EXPECT_EQ(rerun.exitStatus, 0) << rerun.err;
  EXPECT_EQ(dump("rerun.WOR"), (std::vector<std::string>{"qty", "1", "4", "7"}));
}

INSTANTIATE_TEST_SUITE_P(Real, QuerySessionTest, ::testing::Values(testing::kDatabaseUnderTest),
                         testing::databaseTestName);

}  // namespace
}  // namespace vodbc
