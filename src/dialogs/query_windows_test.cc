// The four query windows driven by a scripted user on the headless
// backend: what each list shows, what each click does, and what OK, Cancel
// and the close box leave in the RetrievalSpec.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/query_window_handlers.h"
#include "dialogs/toolkit_query_windows.h"
#include "dialogs/window_support.h"
#include "odbc/connection.h"
#include "toolkit/headless/headless_backend.h"
#include "toolkit/resource.h"
#include "toolkit/session.h"
#include "toolkit/toolkit.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;

CatalogTable makeTable(std::string name, std::string type, Lines columns,
                       std::optional<std::string> schema = {}) {
  CatalogTable t;
  t.name = std::move(name);
  t.type = std::move(type);
  t.schema = std::move(schema);
  t.columnCount = static_cast<std::int32_t>(columns.size());
  for (std::string& c : columns) t.columns.push_back({c, c == "Qty" ? 'N' : 'C', 12, false});
  return t;
}

class QueryWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    toolkit::installBackend(toolkit::makeHeadlessBackend());
    ASSERT_TRUE(toolkit::addBuiltinResources());
    driverCapabilities = DriverCapabilities{};
    spec_.tables = {makeTable("Sales", "TABLE", {"Order Date", "Qty", "Unit Price"}, "dbo"),
                    makeTable("sqlite_master", "SYSTEM TABLE", {"name", "sql"})};
    spec_.tableCount = 2;
  }
  void TearDown() override { toolkit::endSession(); }

  // Runs `script` against the select-data window.
  bool selectData(const std::string& script) {
    toolkit::startSession(script, "");
    return windows_.openSelectDataWindow(spec_);
  }
  bool editSql(const std::string& sql, const std::string& script) {
    spec_.sqlText = sql;
    spec_.sqlCapacity = 4096;
    toolkit::startSession(script, "");
    return windows_.openSqlEditorWindow(spec_);
  }
  Lines transcript() const { return toolkit::transcriptLines(); }
  const CatalogTable& sales() const { return spec_.tables[0]; }
  std::vector<bool> marks(const CatalogTable& t) const {
    std::vector<bool> out;
    for (const CatalogColumn& c : t.columns) out.push_back(c.selected);
    return out;
  }

  RetrievalSpec spec_;
  std::vector<int> helpTopics_;
  ToolkitQueryWindows windows_{[this](int topic) { helpTopics_.push_back(topic); }};
};

const std::string kSelectOpen = "open 101 \"Open Spreadsheet from ODBC Data\"";
const std::string kSelectClose = "close 101 \"Open Spreadsheet from ODBC Data\"";
const std::string kTables = "list 101 7: *\"TABLE: dbo.Sales\" \"SYSTEM: sqlite_master\"";
const std::string kSalesColumns = "list 101 9: \"C: Order Date\" \"N: Qty\" \"C: Unit Price\"";

TEST_F(QueryWindowsTest, SelectDataListsTablesAndColumnsAndMarksTheChosenOnes) {
  ASSERT_TRUE(
      selectData("window 101\ndblclick columns 2\ndblclick columns 2\nmultiselect columns 0,1\n"
                 "click add\ncheck save on\nclick help\nclick ok\n"));
  EXPECT_EQ(
      transcript(),
      (Lines{kSelectOpen, kTables, kSalesColumns, "text 101 11: \"Unit Price\"",
             "text 101 11: \"Unit Price\" \"Unit Price\"",
             "text 101 11: \"Unit Price\" \"Unit Price\" \"Order Date\" \"Qty\"", kSelectClose}));
  EXPECT_EQ(spec_.selectedTable, 0);
  EXPECT_EQ(marks(sales()), (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(spec_.saveRetrieval);
  EXPECT_FALSE(spec_.editSql);
  EXPECT_EQ(helpTopics_, (std::vector<int>{4403}));
}

TEST_F(QueryWindowsTest, SwitchingTablesRefillsFromTheirMarks) {
  spec_.tables[1].columns[1].selected = true;
  ASSERT_TRUE(
      selectData("select tables 1\nclick select_all\nclick clear\ndblclick columns \"C: name\"\n"
                 "select tables 0\nselect tables \"SYSTEM: sqlite_master\"\nclick ok\n"));
  EXPECT_EQ(transcript(),
            (Lines{kSelectOpen, kTables, kSalesColumns, "list 101 9: \"C: name\" \"C: sql\"",
                   "text 101 11: \"sql\"", "text 101 11: \"name\" \"sql\"",
                   "text 101 11:", "text 101 11: \"name\"",
                   // Names typed or added for a table are discarded by a switch.
                   kSalesColumns, "text 101 11:", "list 101 9: \"C: name\" \"C: sql\"",
                   "text 101 11: \"sql\"", kSelectClose}));
  EXPECT_EQ(spec_.selectedTable, 1);
  EXPECT_EQ(marks(spec_.tables[1]), (std::vector<bool>{false, true}));
}

TEST_F(QueryWindowsTest, NothingSelectedAsksWhetherToCancel) {
  ASSERT_TRUE(
      selectData("text selected \"not a column\"\nclick ok\nanswer No\nclick ok\nanswer Cancel\n"));
  const std::string ask =
      "ask \"WARNING! No columns have been selected!\\n\\nDo you want to CANCEL opening ODBC "
      "data?\" \"No\" \"Cancel\"";
  EXPECT_EQ(transcript(), (Lines{kSelectOpen, kTables, kSalesColumns, ask, ask, kSelectClose}));
  EXPECT_EQ(spec_.selectedTable, -1);
}

TEST_F(QueryWindowsTest, NothingSelectedWithTheEditorClosesWithoutAQuestion) {
  ASSERT_TRUE(selectData("check edit_sql on\nclick ok\n"));
  EXPECT_EQ(transcript(), (Lines{kSelectOpen, kTables, kSalesColumns, kSelectClose}));
  EXPECT_EQ(spec_.selectedTable, 0);
  EXPECT_TRUE(spec_.editSql);
}

TEST_F(QueryWindowsTest, CancelAndTheCloseBoxCancelButKeepTheOptions) {
  ASSERT_TRUE(selectData("check edit_sql on\ncheck save on\nclose\n"));
  EXPECT_EQ(spec_.selectedTable, -1);
  EXPECT_TRUE(spec_.editSql);
  EXPECT_TRUE(spec_.saveRetrieval);
  toolkit::endSession();
  spec_.selectedTable = 1;
  ASSERT_TRUE(selectData("dblclick columns 0\nclick cancel\n"));
  EXPECT_EQ(spec_.selectedTable, -1);
  EXPECT_EQ(marks(spec_.tables[1]), (std::vector<bool>{false, false}));
}

TEST_F(QueryWindowsTest, ASecondSelectDataWindowIsRefused) {
  // A window of the same kind opened from inside the first one destroys
  // itself and leaves the first one working.
  toolkit::startSession(std::string("click help\nclick ok\n"), "");
  bool inner = false;
  dialogs::setHelpFunction([&](int) {
    RetrievalSpec other;
    other.tables = {makeTable("x", "TABLE", {"a"})};
    other.tableCount = 1;
    inner = toolkit::runModalDialog(101, dialogs::selectDataWindowHandler, &other);
    EXPECT_EQ(other.selectedTable, 0);
  });
  spec_.tables[0].columns[0].selected = true;
  ASSERT_TRUE(windows_.openSelectDataWindow(spec_));
  EXPECT_TRUE(inner);
  EXPECT_EQ(spec_.selectedTable, 0);
  EXPECT_EQ(transcript(), (Lines{kSelectOpen, kTables, kSalesColumns, "text 101 11: \"Order Date\"",
                                 kSelectClose}));
}

const std::string kWhereOpen = "open 105 \"ODBC Data: Select rows with Where statement\"";
const std::string kWhereClose = "close 105 \"ODBC Data: Select rows with Where statement\"";

TEST_F(QueryWindowsTest, TheWhereBuilderAssemblesAConditionAtTheCaret) {
  ASSERT_TRUE(selectData(
      "click where\nwindow 105\ndblclick columns \"Unit Price\"\ndblclick operators 3\n"
      "dblclick columns \"Qty\"\ncaret condition 0 12\ndblclick functions 15\nclick help\n"
      "click ok\ncheck edit_sql on\nclick ok\n"));
  Lines t = transcript();
  ASSERT_GE(t.size(), 10u);
  EXPECT_EQ(t[3], kWhereOpen);
  EXPECT_EQ(t[4], "list 105 7: \"Order Date\" \"Qty\" \"Unit Price\"");
  EXPECT_EQ(t[5].rfind("list 105 9: \"Absolute value(x)\" \"Arccosine(x)\"", 0), 0u);
  EXPECT_EQ(t[6].rfind("list 105 11: \"Equals =\" \"Not equals <>\"", 0), 0u);
  EXPECT_EQ(t[7], "text 105 5: \"\\\"Unit Price\\\"\"");
  EXPECT_EQ(t[8], "text 105 5: \"\\\"Unit Price\\\" > \"");
  EXPECT_EQ(t[9], "text 105 5: \"\\\"Unit Price\\\" > Qty\"");
  EXPECT_EQ(t[10], "text 105 5: \"\\\"Unit Price\\\" POWER(,)  > Qty\"");
  EXPECT_EQ(t[11], kWhereClose);
  EXPECT_TRUE(sales().hasWhere);
  EXPECT_EQ(sales().whereText, "\"Unit Price\" POWER(,) > Qty");
  EXPECT_EQ(helpTopics_, (std::vector<int>{4404}));
}

TEST_F(QueryWindowsTest, TheWhereBuilderKeepsOneParagraphAndTidiesOnOk) {
  spec_.tables[0].hasWhere = true;
  spec_.tables[0].whereText = "Qty > 1";
  ASSERT_TRUE(
      selectData("click where\ntext condition \"where  Qty > 5\\nAND Qty < 9\"\nclick ok\n"
                 "click where\nclick cancel\nclick where\nclick clear\nclose\n"
                 "click where\nclick clear\nclick ok\nclick cancel\n"));
  Lines t = transcript();
  EXPECT_EQ(t[4], "text 105 5: \"Qty > 1\"");
  EXPECT_EQ(t[8], "text 105 5: \"where  Qty > 5 AND Qty < 9\"");
  EXPECT_EQ(t[10], kWhereOpen);
  EXPECT_EQ(t[11], "text 105 5: \"Qty > 5 AND Qty < 9\"");
  EXPECT_FALSE(sales().hasWhere);  // cleared by the last OK
  EXPECT_EQ(sales().whereText, std::nullopt);
}

const std::string kEditorOpen = "open 102 \"ODBC: Edit SQL Statement\"";
const std::string kEditorClose = "close 102 \"ODBC: Edit SQL Statement\"";

TEST_F(QueryWindowsTest, TheEditorShowsShortParagraphsAndJoinsThemOnOk) {
  const std::string sql =
      "SELECT \"Order Date\",Qty,\"Unit Price\",Qty AS q2,Qty AS q3,Qty AS q4 FROM dbo.Sales "
      "WHERE Qty > 1";
  ASSERT_TRUE(editSql(sql, "window 102\ncheck save on\nclick help\nclick ok\n"));
  EXPECT_EQ(transcript(),
            (Lines{kEditorOpen,
                   "text 102 3: \"SELECT \\\"Order Date\\\",Qty,\\\"Unit Price\\\",Qty AS q2,Qty "
                   "AS q3,Qty\" \"AS q4 FROM dbo.Sales WHERE Qty > 1\"",
                   kEditorClose}));
  EXPECT_EQ(spec_.sqlText, sql + " ");
  EXPECT_TRUE(spec_.saveRetrieval);
  EXPECT_EQ(spec_.selectedTable, 0);
  EXPECT_EQ(helpTopics_, (std::vector<int>{4405}));
}

TEST_F(QueryWindowsTest, TheEditorsCancelAndCloseBoxKeepTheStatement) {
  ASSERT_TRUE(editSql("SELECT * FROM t", "text sql \"SELECT 1\"\nclick cancel\n"));
  EXPECT_EQ(spec_.sqlText, "SELECT * FROM t");
  toolkit::endSession();
  ASSERT_TRUE(editSql("SELECT * FROM t", "text sql \"SELECT 1\"\ncheck save on\nclose\n"));
  EXPECT_EQ(spec_.sqlText, "SELECT * FROM t");
  EXPECT_TRUE(spec_.saveRetrieval);
  EXPECT_EQ(spec_.selectedTable, 0);
}

TEST_F(QueryWindowsTest, AnEmptiedStatementAsksWhetherToCancel) {
  ASSERT_TRUE(
      editSql("SELECT * FROM t", "text sql \"\"\nclick ok\nanswer No\nclick ok\nanswer Cancel\n"));
  const std::string ask =
      "ask \"WARNING! No SQL statement has been entered!\\n\\nDo you want to CANCEL opening "
      "ODBC data?\" \"No\" \"Cancel\"";
  EXPECT_EQ(transcript(),
            (Lines{kEditorOpen, "text 102 3: \"SELECT * FROM t\"", ask, ask, kEditorClose}));
  EXPECT_EQ(spec_.selectedTable, -1);
  EXPECT_EQ(spec_.sqlText, "");
}

TEST_F(QueryWindowsTest, TablesAndColumnsInsertQualifiedNamesAtTheCaret) {
  ASSERT_TRUE(editSql(
      "SELECT  FROM ",
      "caret sql 0 7\nclick columns\nwindow 104\nselect fields \"C: Unit Price\"\nclick help\n"
      "click ok\ncaret sql 0 36\nclick tables\nwindow 104\ndblclick tables 0\nclick ok\n"));
  EXPECT_EQ(
      transcript(),
      (Lines{kEditorOpen, "text 102 3: \"SELECT  FROM \"", "open 104 \"ODBC Insert Field Name\"",
             "list 104 4: *\"TABLE: dbo.Sales\" \"SYSTEM: sqlite_master\"",
             "list 104 6: *\"C: Order Date\" \"N: Qty\" \"C: Unit Price\"",
             "close 104 \"ODBC Insert Field Name\"",
             "text 102 3: \"SELECT dbo.Sales.\\\"Unit Price\\\"  FROM \"",
             "open 104 \"ODBC Insert Table Name\"",
             "list 104 4: *\"TABLE: dbo.Sales\" \"SYSTEM: sqlite_master\"",
             "close 104 \"ODBC Insert Table Name\"",
             "text 102 3: \"SELECT dbo.Sales.\\\"Unit Price\\\"  FROM dbo.Sales \"",
             kEditorClose}));
  EXPECT_EQ(spec_.sqlText, "SELECT dbo.Sales.\"Unit Price\"  FROM dbo.Sales ");
  EXPECT_EQ(helpTopics_, (std::vector<int>{4406}));
}

TEST_F(QueryWindowsTest, TheInsertDialogFollowsTheTableAndACancelInsertsNothing) {
  spec_.insertColumn = 1;
  ASSERT_TRUE(editSql("SELECT",
                      "click columns\nselect tables 1\nselect fields 1\nclose\n"
                      "click columns\nselect tables 0\nclick cancel\nclick ok\n"));
  Lines t = transcript();
  ASSERT_EQ(t.size(), 12u) << ::testing::PrintToString(t);
  EXPECT_EQ(t[4], "list 104 6: \"C: Order Date\" *\"N: Qty\" \"C: Unit Price\"");  // kept
  EXPECT_EQ(t[5], "list 104 6: *\"C: name\" \"C: sql\"");  // first field of the new table
  EXPECT_EQ(t[9], t[4]);                                   // the cancelled choice was given back
  // The close box cancels the insertion only; the retrieval goes on.
  EXPECT_EQ(spec_.sqlText, "SELECT ");
  EXPECT_EQ(spec_.selectedTable, 0);
  EXPECT_EQ(spec_.insertColumn, 1);
}

TEST_F(QueryWindowsTest, WindowsWithoutTheirDataReportAnInternalError) {
  toolkit::startSession(std::string("answer OK\nanswer OK\nanswer OK\nanswer OK\n"), "");
  EXPECT_TRUE(toolkit::runModalDialog(101, dialogs::selectDataWindowHandler, nullptr));
  EXPECT_TRUE(toolkit::runModalDialog(105, dialogs::whereBuilderHandler, nullptr));
  EXPECT_TRUE(toolkit::runModalDialog(102, dialogs::sqlEditorHandler, nullptr));
  EXPECT_TRUE(toolkit::runModalDialog(104, dialogs::insertNameDialogHandler, nullptr));
  EXPECT_EQ(transcript(),
            (Lines{"error \"Internal Spreadsheet Error: In Select ODBC Data Window - Null data "
                   "pointer\"",
                   "error \"Internal Spreadsheet Error: In ODBC Where clause Window - Null data "
                   "pointer\"",
                   "error \"Internal Spreadsheet Error: In Edit SQL Window - Null data pointer\"",
                   "error \"Internal Spreadsheet Error: In Select ODBC Insert Table/Field Window "
                   "- Null data pointer\""}));
}

}  // namespace
}  // namespace vodbc
