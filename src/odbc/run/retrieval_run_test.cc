// The retrieval run against a real SQLite database through its ODBC driver:
// what the user sees on each road through the run, word for word, and what
// it leaves behind.
#include "odbc/run/retrieval_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "odbc/run/background_fetch.h"
#include "odbc/run/run_test_support.h"
#include "servers/test_servers.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using testing::RecordingReporter;
using testing::ScriptedWindows;

const char* kShopSql =
    "CREATE TABLE sales (id INTEGER, region VARCHAR(20), amount DOUBLE);\n"
    "INSERT INTO sales VALUES (1, 'North', 2.5), (2, 'South', 4.0),"
    " (3, 'North', 1.25);\n"
    "CREATE TABLE \"unit list\" (\"Unit Price\" DOUBLE, code VARCHAR(4));\n"
    "INSERT INTO \"unit list\" VALUES (9.5, 'A1');\n";

class RetrievalRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::usePrivateOdbcRegistration();
    initWorksheetDefaults();
    discardCurrentSheet();
    folder_ = testing::makeTempFolder();
    shop_ = testing::makeSqliteDatabase(folder_ + "/shop.db", kShopSql);
  }
  void TearDown() override {
    discardCurrentSheet();
    std::system(("rm -rf '" + folder_ + "'").c_str());
  }

  RetrievalContext context(std::vector<int> answers = {}) {
    RetrievalContext c(reporter_, windows_);
    c.fetch = fetchOnThisThread(reporter_);
    answers_ = std::move(answers);
    c.ask = [this](std::string_view text, std::string_view first,
                   std::string_view second) {
      reporter_.lines.push_back("ask: " + std::string(text) + " [" +
                                std::string(first) + "/" + std::string(second) + "]");
      if (answers_.empty()) return 0;
      int a = answers_.front();
      answers_.erase(answers_.begin());
      return a;
    };
    return c;
  }

  std::string retrievalFile(const std::string& connection,
                            const std::vector<std::string>& sql) {
    std::string path = folder_ + "/q.idb";
    testing::writeRetrievalFileText(path, connection, sql);
    return path;
  }

  RecordingReporter reporter_;
  ScriptedWindows windows_;
  std::vector<int> answers_;
  std::string folder_;
  std::string shop_;
};

struct RerunCase {
  const char* name;
  std::vector<std::string> sql;
  std::vector<int> answers;  // to the correction question
  std::uint16_t result;
  RunOutcome outcome;
  std::vector<std::string> seen;  // what the user saw, in order
  int rows;  // of the Sheet made, -1 for none
};

void PrintTo(const RerunCase& c, std::ostream* os) { *os << c.name; }

class RerunTest : public RetrievalRunTest,
                  public ::testing::WithParamInterface<RerunCase> {};

TEST_P(RerunTest, ShowsAndLeaves) {
  const RerunCase& c = GetParam();
  RetrievalContext ctx = context(c.answers);
  std::uint16_t result = runRetrieval(retrievalFile(shop_, c.sql), ctx);
  EXPECT_EQ(result, c.result);
  EXPECT_EQ(ctx.outcome, c.outcome);
  EXPECT_EQ(reporter_.lines, c.seen);
  if (c.rows < 0) {
    EXPECT_EQ(currentSheet, nullptr);
  } else {
    ASSERT_NE(currentSheet, nullptr);
    EXPECT_EQ(currentSheet->rowCount, c.rows);
  }
}

const std::string kQuestion =
    "ask: Do you want to edit the SQL statement to correct this error? [No/Yes]";

INSTANTIATE_TEST_SUITE_P(
    Run, RerunTest,
    ::testing::Values(
        RerunCase{"LinesJoinedBySingleBlanks",
                  {"SELECT region, amount ", "", "FROM sales", "WHERE id > 1   "},
                  {}, 1, RunOutcome::kSucceeded, {}, 2},
        RerunCase{"BlankStatement", {"   ", " "}, {}, 1,
                  RunOutcome::kEmptyStatement,
                  {"error: Error: Empty ODBC SQL statement"}, -1},
        // "Yes" needs the SQL editor; without it the run says so and stops
        // asking.
        RerunCase{"CorrectionWithoutEditor", {"SELECT nothing FROM sales"}, {1},
                  0, RunOutcome::kFetchFailed,
                  {"diagnostic: S1000", kQuestion,
                   "error: Error: Can't open OBDC Edit SQL Window.\n"
                   "Please close another window or application.",
                   "error: Error reading ODBC Data!"},
                  -1}),
    [](const ::testing::TestParamInfo<RerunCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(RetrievalRunTest, CorrectedStatementRunsAgain) {
  windows_.sqlEditor = [](RetrievalSpec& spec) {
    EXPECT_EQ(spec.sqlText, "SELECT nothing FROM sales");
    spec.sqlText = "SELECT id FROM sales";
  };
  RetrievalContext ctx = context({1});
  EXPECT_EQ(runRetrieval(retrievalFile(shop_, {"SELECT nothing FROM sales"}), ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(windows_.editorOpened, 1);
  EXPECT_EQ(reporter_.lines,
            (std::vector<std::string>{"diagnostic: S1000", kQuestion}));
  ASSERT_NE(currentSheet, nullptr);
  EXPECT_EQ(currentSheet->columnCount, 1);
  EXPECT_EQ(currentSheet->rowCount, 3);
}

TEST_F(RetrievalRunTest, RerunOpensTheEditorWhenTheSettingAsks) {
  programSettings().options[kRetrievalOption] = 1;
  // Giving up on the statement in the editor ends the run silently.
  windows_.sqlEditor = [](RetrievalSpec& spec) { spec.selectedTable = -1; };
  RetrievalContext ctx = context();
  EXPECT_EQ(runRetrieval(retrievalFile(shop_, {"SELECT * FROM sales"}), ctx), 0);
  EXPECT_EQ(ctx.outcome, RunOutcome::kStatementAbandoned);
  EXPECT_EQ(windows_.editorOpened, 1);
  EXPECT_EQ(reporter_.lines, std::vector<std::string>{});
  EXPECT_EQ(currentSheet, nullptr);
}

TEST_F(RetrievalRunTest, InteractiveRunCancelledInTheDataSourceDialog) {
  RetrievalContext ctx = context();
  ctx.chooseDataSource = [] { return std::optional<std::string>(); };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kConnectCancelled);
  EXPECT_EQ(reporter_.lines, std::vector<std::string>{});
}

TEST_F(RetrievalRunTest, InteractiveRunWithoutTheSelectionWindow) {
  RetrievalContext ctx = context();
  ctx.chooseDataSource = [this] { return std::optional<std::string>(shop_); };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 0);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSelectWindowUnavailable);
  EXPECT_EQ(reporter_.lines,
            std::vector<std::string>{
                "error: Error: Can't open OBDC Selection Window.\n"
                "Please close another window or application."});
}

TEST_F(RetrievalRunTest, InteractiveRunSelectionCancelled) {
  windows_.selectData = [](RetrievalSpec& spec) { spec.selectedTable = -1; };
  RetrievalContext ctx = context();
  ctx.chooseDataSource = [this] { return std::optional<std::string>(shop_); };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSelectCancelled);
  EXPECT_EQ(reporter_.lines, std::vector<std::string>{});
  EXPECT_EQ(currentSheet, nullptr);
}

TEST_F(RetrievalRunTest, InteractiveRunComposesRunsAndSaves) {
  windows_.selectData = [](RetrievalSpec& spec) {
    // The window gets every table unread and the options off.
    ASSERT_EQ(spec.tableCount, 2);
    for (const CatalogTable& t : spec.tables) EXPECT_EQ(t.columnCount, -1);
    EXPECT_FALSE(spec.editSql);
    EXPECT_FALSE(spec.saveRetrieval);
    spec.selectedTable = 0;
    for (std::size_t i = 0; i < spec.tables.size(); ++i) {
      if (spec.tables[i].name == "unit list") spec.selectedTable = static_cast<int>(i);
    }
    CatalogTable& t = spec.tables[static_cast<std::size_t>(spec.selectedTable)];
    t.columnCount = 2;
    t.columns = {{"Unit Price", 'N', 8, true}, {"code", 'C', 12, false}};
    t.hasWhere = true;
    t.whereText = "code = 'A1'";
    spec.saveRetrieval = true;
  };
  std::string saved = folder_ + "/saved.idb";
  RetrievalContext ctx = context();
  ctx.chooseDataSource = [this] { return std::optional<std::string>(shop_); };
  std::vector<std::string> prompts;
  ctx.saveHooks.askFileName = [&](std::string& directory, std::string& name,
                                  const std::string& prompt) {
    prompts.push_back(prompt + " " + name);
    directory = folder_;
    name = "saved.idb";
    return std::optional<std::string>(saved);
  };
  ctx.saveHooks.currentDirectory = [this] { return folder_; };
  EXPECT_EQ(runRetrieval(std::nullopt, ctx), 1);
  EXPECT_EQ(ctx.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(reporter_.lines, std::vector<std::string>{});
  ASSERT_NE(currentSheet, nullptr);
  EXPECT_EQ(currentSheet->columnCount, 1);
  EXPECT_EQ(prompts, std::vector<std::string>{
                         "Save Velora ODBC Data Retrieval file: *.idb"});
  // The completed connection string and the composed statement.
  std::string text = testing::readWholeFile(saved);
  EXPECT_EQ(text.substr(0, 11), "ODBC Data\r\n");
  EXPECT_NE(text.find("Database=" + folder_ + "/shop.db"), std::string::npos);
  EXPECT_TRUE(text.ends_with(
      "\r\nSELECT \"Unit Price\" FROM \"unit list\" WHERE code = 'A1'\r\n"))
      << text;
}

}  // namespace
}  // namespace vodbc
