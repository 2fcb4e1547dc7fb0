// What the query windows' choices mean, compared as exact strings.
#include "dialogs/query_model.h"

#include <gtest/gtest.h>
#include <sqlext.h>

#include <string>
#include <vector>

#include "odbc/connection.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;
using toolkit::TextPosition;
using toolkit::TextSelection;

CatalogTable makeTable(std::string name, Lines columns, std::optional<std::string> schema = {}) {
  CatalogTable t;
  t.name = std::move(name);
  t.type = "TABLE";
  t.schema = std::move(schema);
  t.columnCount = static_cast<std::int32_t>(columns.size());
  for (std::string& c : columns) t.columns.push_back({c, 'C', 12, false});
  return t;
}

class QueryModelTest : public ::testing::Test {
 protected:
  void SetUp() override { driverCapabilities = DriverCapabilities{}; }
  void TearDown() override { driverCapabilities = DriverCapabilities{}; }
};

TEST_F(QueryModelTest, ListItemTexts) {
  CatalogTable t = makeTable("sales", {});
  EXPECT_EQ(tableItemText(t), "TABLE: sales");
  t.type = "SYSTEM TABLE";
  EXPECT_EQ(tableItemText(t), "SYSTEM: sales");
  t.type = "LOCAL TEMPORARY";
  t.schema = "dbo";
  EXPECT_EQ(tableItemText(t), "LOCAL : dbo.sales");
  t.type = "ÄÖÜäöüß";  // six characters, not six bytes
  EXPECT_EQ(tableItemText(t), "ÄÖÜäöü: dbo.sales");
  EXPECT_EQ(columnItemText({"Unit Price", 'N', 8, false}), "N: Unit Price");
  EXPECT_EQ(columnItemText({"sold on", 'T', 93, true}), "T: sold on");
}

TEST_F(QueryModelTest, OkMarksColumnsNamedByTheirFirstLines) {
  const struct {
    Lines lines;
    std::vector<bool> marked;
  } cases[] = {
      {{"b", "a"}, {true, true, false}},
      {{"a", "a"}, {true, false, false}},               // twice in the edit, marked once
      {{"A", " a", "a ", "x"}, {false, false, false}},  // byte for byte only
      {{}, {false, false, false}},
      {{"Unit Price"}, {false, false, true}},
  };
  for (const auto& c : cases) {
    CatalogTable t = makeTable("t", {"a", "b", "Unit Price"});
    t.columns[2].selected = true;  // from an earlier OK: cleared first
    int n = markSelectedColumns(t, c.lines);
    std::vector<bool> marked;
    for (const CatalogColumn& col : t.columns) marked.push_back(col.selected);
    EXPECT_EQ(marked, c.marked);
    EXPECT_EQ(n, std::count(c.marked.begin(), c.marked.end(), true));
  }
  EXPECT_EQ(selectOkStep(1, false), SelectOkStep::kClose);
  EXPECT_EQ(selectOkStep(0, true), SelectOkStep::kClose);
  EXPECT_EQ(selectOkStep(0, false), SelectOkStep::kAskToCancel);
}

// Which names are quoted, and how, is AppendIdentifier's table
// (text_and_identifiers_test); here only that the windows follow the
// driver's capabilities through it.
TEST_F(QueryModelTest, NamesAreQuotedThroughAppendIdentifier) {
  EXPECT_EQ(sqlName("Qty"), "Qty");
  EXPECT_EQ(sqlName("Unit Price"), "\"Unit Price\"");
  driverCapabilities.quoteChar = '`';
  driverCapabilities.identifierCase = SQL_IC_LOWER;
  EXPECT_EQ(sqlName("Amount"), "`Amount`");
  EXPECT_EQ(sqlName("amount"), "amount");
}

TEST_F(QueryModelTest, QualifiedNamesForTheInsertDialogsChoice) {
  RetrievalSpec spec;
  spec.tables = {makeTable("Sales", {"Unit Price", "Qty"}, "dbo"), makeTable("t", {"a"}, "s"),
                 makeTable("my table", {})};
  spec.tableCount = 3;
  const struct {
    std::int32_t table, column;
    std::optional<std::string> expected;
  } cases[] = {
      {0, -1, "dbo.Sales "},    {0, 0, "dbo.Sales.\"Unit Price\" "},
      {0, 1, "dbo.Sales.Qty "}, {0, 2, "dbo.Sales "},  // no such field: the table alone
      {1, 0, "s.t.a "},                                // a one-character schema is written here
      {2, 0, "\"my table\" "},                         // columns never read
      {-1, 0, std::nullopt},    {3, 0, std::nullopt},
  };
  for (const auto& c : cases) {
    spec.selectedTable = c.table;
    spec.insertColumn = c.column;
    EXPECT_EQ(qualifiedName(spec), c.expected) << c.table << "," << c.column;
  }
}

TEST_F(QueryModelTest, InsertAtTheCaret) {
  auto at = [](int par, int ch) { return TextSelection{{par, 0, ch}, {par, 0, ch}}; };
  const struct {
    std::string paragraph;
    TextSelection selection;
    std::string text;
    std::string expected;
    TextPosition caret;
  } cases[] = {
      {"", at(0, 0), " POWER(,) ", " POWER(,) ", {0, 0, 10}},
      {"Qty > 5", at(0, 0), " AND ", "Qty > 5 AND ", {0, 0, 12}},  // very start: appended
      {"Qty > 5", at(0, 7), " AND ", "Qty > 5 AND ", {0, 0, 12}},  // at the end
      {"Qty > 5", at(0, 3), " + ", "Qty +  > 5", {0, 0, 6}},
      {"Qty > 5", at(0, 99), "x", "Qty > 5x", {0, 0, 8}},  // beyond the end: clamped
      // A selection is not replaced; the caret goes behind the insertion.
      {"a = b", {{0, 0, 1}, {0, 0, 4}}, "\"Unit Price\"", "a\"Unit Price\" = b", {0, 0, 13}},
      {"Grüße = 1", at(0, 5), " ", "Grüße  = 1", {0, 0, 6}},
      // The caret of the second paragraph at its start counts as the very start.
      {"x", at(1, 0), "y", "xy", {1, 0, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    CaretInsertion r = insertIntoParagraph(c.paragraph, c.selection, c.text);
    EXPECT_EQ(r.paragraph, c.expected);
    EXPECT_EQ(r.caret.start, c.caret);
    EXPECT_EQ(r.caret.end, c.caret);
  }
}

TEST_F(QueryModelTest, FunctionAndOperatorLists) {
  ASSERT_EQ(kWhereFunctions.size(), 38u);
  ASSERT_EQ(kWhereOperators.size(), 13u);
  EXPECT_STREQ(kWhereFunctions[0].shown, "Absolute value(x)");
  EXPECT_STREQ(kWhereFunctions[15].inserted, " POWER(,) ");
  EXPECT_STREQ(kWhereFunctions[24].shown, "Concatentate(s1,s2)");
  EXPECT_STREQ(kWhereFunctions[37].inserted, " UCASE() ");
  EXPECT_STREQ(kWhereOperators[4].shown, "Less or equal to");
  EXPECT_STREQ(kWhereOperators[12].inserted, " OR ");
}

TEST_F(QueryModelTest, WhereConditionsAreTidied) {
  const struct {
    Lines lines;
    std::string expected;
  } cases[] = {
      {{"where  Qty > 5"}, "Qty > 5"},
      {{"WHERE"}, "WHERE"},  // the keyword alone stays
      {{"  Where a = 1  "}, "a = 1"},
      {{" POWER(,) "}, "POWER(,)"},
      {{"a = 1", "", "AND b = 2"}, "a = 1 AND b = 2"},
      {{"   "}, ""},
      {{}, ""},
      {{"name = 'x  y'"}, "name = 'x y'"},  // blanks collapse even inside quotes
  };
  for (const auto& c : cases) {
    EXPECT_EQ(tidyWhereCondition(c.lines), c.expected);
  }
}

TEST_F(QueryModelTest, StoringAConditionSetsTheTablesFields) {
  CatalogTable t = makeTable("t", {"a"});
  storeWhereCondition(t, {"where  Qty > 5"});
  EXPECT_TRUE(t.hasWhere);
  EXPECT_EQ(t.whereText, "Qty > 5");
  EXPECT_EQ(t.whereCapacity, 814);  // 14 characters + 800, before tidying
  storeWhereCondition(t, {"b = 2"});
  EXPECT_EQ(t.whereText, "b = 2");
  EXPECT_EQ(t.whereCapacity, 814);  // fits: kept
  storeWhereCondition(t, {""});
  EXPECT_FALSE(t.hasWhere);
  EXPECT_EQ(t.whereText, std::nullopt);
  EXPECT_EQ(t.whereCapacity, 0);
  EXPECT_EQ(joinParagraphsWithBlanks({"a = 1", "AND b", ""}), "a = 1 AND b ");
}

TEST_F(QueryModelTest, StatementsAreSplitIntoParagraphs) {
  const std::string sixty(60, 'x');
  const std::string list =
      "SELECT region,amount,\"Unit Price\",sold_on,customer_name,customer_city,"
      "customer_country FROM sales WHERE amount > 100";
  const struct {
    std::string sql;
    Lines expected;
  } cases[] = {
      {"", {}},
      {"SELECT * FROM t", {"SELECT * FROM t"}},
      {sixty, {sixty}},
      // A blank at 60 breaks there and is dropped.
      {sixty + " FROM t", {sixty, "FROM t"}},
      // Back from 60 to the last comma or blank; a comma stays with its line.
      {list,
       {"SELECT region,amount,\"Unit Price\",sold_on,customer_name,",
        "customer_city,customer_country FROM sales WHERE amount > 100"}},  // 60 left
      // Nothing between 20 and 60: forward to the first blank.
      {std::string(70, 'y') + " z", {std::string(70, 'y'), "z"}},
      {std::string(500, 'q'), {std::string(401, 'q'), std::string(99, 'q')}},
      {std::string(65, 'q'), {std::string(65, 'q')}},  // the limit is the last character
      // Characters, not bytes: 61 characters of two bytes each.
      {std::string(30, ' ') + "ü" + std::string(30, 'a') + "ü",
       {std::string(29, ' '), "ü" + std::string(30, 'a') + "ü"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(splitStatement(c.sql), c.expected);
  }
}

TEST_F(QueryModelTest, JoiningRestoresTheStatement) {
  const std::string list =
      "SELECT region,amount,\"Unit Price\",sold_on,customer_name,customer_city,"
      "customer_country FROM sales WHERE amount > 100";
  JoinedStatement j = joinStatement(splitStatement(list), 4096);
  EXPECT_EQ(j.text, list + " ");
  EXPECT_EQ(j.capacity, 4096);
  EXPECT_EQ(joinStatement({"SELECT *", "", "FROM t,"}, 4096).text, "SELECT * FROM t,");
  EXPECT_EQ(joinStatement({"  "}, 800).text, "  ");
  EXPECT_EQ(joinStatement({}, 800).text, "");
  // Growing: a line that might not fit makes the capacity length + 800.
  JoinedStatement grown = joinStatement({std::string(10, 'a'), std::string(795, 'b')}, 800);
  EXPECT_EQ(grown.capacity, 11 + 795 + 800);
  EXPECT_EQ(grown.text.size(), 10u + 1 + 795 + 1);
}

TEST_F(QueryModelTest, TheInsertDialogsModes) {
  RetrievalSpec spec;
  spec.tables = {makeTable("a", {"x", "y"}), makeTable("b", {})};
  spec.tables[1].columnCount = -1;
  spec.tableCount = 2;
  const struct {
    std::int32_t table, column;
    bool field;
    std::int32_t wantTable, wantColumn;
  } cases[] = {
      {-1, 5, false, 0, -1}, {7, 5, false, 1, -1}, {-1, 5, true, 0, 1},
      {0, -1, true, 0, 0},   {1, 0, true, 1, -2},  // unread columns: table mode
  };
  for (const auto& c : cases) {
    spec.selectedTable = c.table;
    spec.insertColumn = c.column;
    if (c.field) {
      chooseFieldMode(spec);
    } else {
      chooseTableMode(spec);
    }
    EXPECT_EQ(spec.selectedTable, c.wantTable);
    EXPECT_EQ(spec.insertColumn, c.wantColumn);
  }
}

}  // namespace
}  // namespace vodbc
