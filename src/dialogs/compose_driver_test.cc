// Every statement the query windows can compose, run for real: built from
// the catalog of a table whose names need quoting, then executed on the
// database this program is built for.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/query_model.h"
#include "live_odbc/live_database_test.h"
#include "odbc/catalog.h"
#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/retrieval_spec.h"
#include "odbc/run/build_select.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using testing::Database;

// Column names as the catalog reports them: blanks, a quote character,
// upper case, an underscore and a keyword.
const std::vector<std::string> kColumns = {"Unit Price", "qty",      "Order Date", "say \"hi\"",
                                           "Region",     "order_no", "select"};

class ComposeOnDriverTest : public testing::LiveDatabaseTest {
 protected:
  void SetUp() override {
    LiveDatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    table_ = unique("Sales Items ");
    std::string create = "CREATE TABLE " + quoted(table_) + " (";
    std::string insert = "INSERT INTO " + quoted(table_) + " VALUES ";
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
      create += (i ? ", " : "") + quoted(kColumns[i]) + (i == 2 ? " varchar(20)" : " integer");
    }
    insert += "(5, 2, '2024-01-02', 1, 3, 7, 9), (12, 8, '2024-02-03', 0, 4, 8, 10)";
    execute(create + ")");
    execute(insert);
    dropTable_ = "DROP TABLE " + quoted(table_);
  }

  void TearDown() override {
    if (!dropTable_.empty()) execute(dropTable_);
    LiveDatabaseTest::TearDown();
  }

  // Reads the catalog as a run does and returns our table.
  CatalogTable& ourTable() {
    EXPECT_TRUE(readTableList(statement_, spec_, reporter_)) << reported();
    auto it = std::find_if(spec_.tables.begin(), spec_.tables.end(),
                           [&](const CatalogTable& t) { return t.name == table_; });
    EXPECT_NE(it, spec_.tables.end());
    spec_.selectedTable = static_cast<std::int32_t>(it - spec_.tables.begin());
    it->columnCount = -1;
    EXPECT_TRUE(readColumnList(statement_, *it, reporter_)) << reported();
    return *it;
  }

  // Runs `sql` into a Sheet; the number of rows, or -1 when it failed.
  long run(const std::string& sql) {
    discardCurrentSheet();
    reporter_.lines.clear();
    if (fetchIntoSheet(statement_, sql, reporter_) != FetchOutcome::kFilled) return -1;
    return currentSheet ? static_cast<long>(currentSheet->rowCount) : -1;
  }

  std::string table_;
  std::string dropTable_;
};

TEST_P(ComposeOnDriverTest, EverySelectionComposesAStatementThatRuns) {
  CatalogTable& table = ourTable();
  ASSERT_EQ(table.columnCount, static_cast<std::int32_t>(kColumns.size()));
  std::vector<std::vector<std::string>> selections = {{}, kColumns};
  for (const std::string& c : kColumns) selections.push_back({c});
  selections.push_back({"Unit Price", "say \"hi\"", "select"});
  for (const auto& lines : selections) {
    markSelectedColumns(table, lines);
    buildSelect(spec_, table);
    SCOPED_TRACE(spec_.sqlText);
    EXPECT_EQ(run(spec_.sqlText), 2) << reported();
    if (!currentSheet) continue;
    const long columns = lines.empty() || lines.size() == kColumns.size()
                             ? static_cast<long>(kColumns.size())
                             : static_cast<long>(lines.size());
    EXPECT_EQ(currentSheet->columnCount, columns);
  }
}

TEST_P(ComposeOnDriverTest, ConditionsAssembledFromTheListsRun) {
  CatalogTable& table = ourTable();
  // Double-clicks into the builder's edit: column, operator, typed value.
  auto assemble = [](const std::vector<std::string>& pieces) {
    std::string paragraph;
    toolkit::TextSelection caret;
    for (const std::string& piece : pieces) {
      CaretInsertion r = insertIntoParagraph(paragraph, caret, piece);
      paragraph = r.paragraph;
      caret = r.caret;
    }
    return paragraph;
  };
  const struct {
    std::vector<std::string> pieces;
    long rows;
  } cases[] = {
      {{sqlName("Unit Price"), " > ", "10"}, 1},
      {{"where ", sqlName("qty"), " <= ", "2", " AND ", sqlName("say \"hi\""), " = ", "1"}, 1},
      {{sqlName("Region"), " + ", sqlName("order_no"), " = ", "12"}, 1},
      {{" ABS() ", " <> ", sqlName("select")}, 2},
      {{sqlName("Order Date"), " = ", "'2024-02-03'"}, 1},
  };
  for (const auto& c : cases) {
    markSelectedColumns(table, {"qty", "Order Date"});
    storeWhereCondition(table, {assemble(c.pieces)});
    buildSelect(spec_, table);
    if (c.pieces[0] == " ABS() ") {
      // ABS() with its argument filled in, as the user would type it.
      spec_.sqlText.replace(spec_.sqlText.find("ABS()"), 5, "ABS(" + sqlName("qty") + ")");
    }
    SCOPED_TRACE(spec_.sqlText);
    EXPECT_EQ(run(spec_.sqlText), c.rows) << reported();
  }
}

TEST_P(ComposeOnDriverTest, EditedStatementsWithInsertedNamesRun) {
  CatalogTable& table = ourTable();
  const std::int32_t index = spec_.selectedTable;
  // "Columns" for Unit Price, "Tables", typed words between them.
  spec_.insertColumn = 0;
  chooseFieldMode(spec_);
  std::string field = *qualifiedName(spec_);
  chooseTableMode(spec_);
  std::string from = *qualifiedName(spec_);
  EXPECT_EQ(spec_.selectedTable, index);
  std::string typed = "SELECT " + field + ", " + sqlName("say \"hi\"") + " FROM " + from +
                      "WHERE " + field + "> 1 ORDER BY " + field;
  JoinedStatement edited = joinStatement(splitStatement(typed), kEditorInitialCapacity);
  SCOPED_TRACE(edited.text);
  EXPECT_EQ(run(edited.text), 2) << reported();
  // A long select list, broken into paragraphs and joined again.
  markSelectedColumns(table, {"Unit Price", "qty", "Order Date", "say \"hi\"", "Region"});
  buildSelect(spec_, table);
  std::vector<std::string> paragraphs = splitStatement(spec_.sqlText);
  EXPECT_GT(paragraphs.size(), 1u);
  EXPECT_EQ(run(joinStatement(paragraphs, spec_.sqlCapacity).text), 2) << reported();
}

INSTANTIATE_TEST_SUITE_P(Real, ComposeOnDriverTest, ::testing::Values(testing::kDatabaseUnderTest),
                         testing::databaseTestName);

}  // namespace
}  // namespace vodbc
