#include "odbc/run/build_select.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "odbc/connection.h"

namespace vodbc {
namespace {

CatalogTable table(std::string name, std::vector<std::string> columns,
                   std::vector<int> selected) {
  CatalogTable t;
  t.name = std::move(name);
  t.columnCount = static_cast<std::int32_t>(columns.size());
  for (std::string& c : columns) t.columns.push_back({c, 'N', 4, false});
  for (int i : selected) t.columns[static_cast<std::size_t>(i)].selected = true;
  return t;
}

struct SelectCase {
  const char* name;
  CatalogTable table;
  char quote;
  std::string expected;
};

void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.name; }

class BuildSelectTest : public ::testing::TestWithParam<SelectCase> {};

TEST_P(BuildSelectTest, ComposesTheStatement) {
  const SelectCase& c = GetParam();
  driverCapabilities = DriverCapabilities{};
  driverCapabilities.quoteChar = c.quote;
  RetrievalSpec spec;
  spec.sqlText = "left over from an earlier run";
  buildSelect(spec, c.table);
  EXPECT_EQ(spec.sqlText, c.expected);
  EXPECT_EQ(spec.sqlCapacity, 4096);
}

CatalogTable withSchema(CatalogTable t, std::string schema) {
  t.schema = std::move(schema);
  return t;
}

CatalogTable withWhere(CatalogTable t, std::string where) {
  t.hasWhere = true;
  t.whereText = std::move(where);
  return t;
}

CatalogTable unread(CatalogTable t) {
  t.columnCount = -1;
  return t;
}

const std::vector<std::string> kFive = {"a", "b", "c", "d", "e"};

INSTANTIATE_TEST_SUITE_P(
    Run, BuildSelectTest,
    ::testing::Values(
        SelectCase{"TwoOfFive", table("t", kFive, {0, 1}), '"',
                   "SELECT a,b FROM t"},
        SelectCase{"ListOrderNotClickOrder", table("t", kFive, {4, 2}), '"',
                   "SELECT c,e FROM t"},
        SelectCase{"AllFiveIsStar", table("t", kFive, {0, 1, 2, 3, 4}), '"',
                   "SELECT * FROM t"},
        SelectCase{"NoneIsStar", table("t", kFive, {}), '"', "SELECT * FROM t"},
        SelectCase{"UnreadColumnsIsStar", unread(table("t", kFive, {0})), '"',
                   "SELECT * FROM t"},
        SelectCase{"SpecialNamesQuoted",
                   withSchema(table("Sales", {"Order Date", "Qty", "Unit Price"},
                                    {0, 1}),
                              "dbo"),
                   '"', "SELECT \"Order Date\",Qty FROM dbo.Sales"},
        SelectCase{"DriverQuoteCharacter",
                   table("my table", {"unit_price", "x"}, {0}), '`',
                   "SELECT `unit_price` FROM `my table`"},
        SelectCase{"OneCharacterSchemaLeftOut",
                   withSchema(table("t", kFive, {}), "s"), '"',
                   "SELECT * FROM t"},
        SelectCase{"WhereAppendedUnchanged",
                   withWhere(table("t", kFive, {1}), " a >  1 AND b='x y'"), '"',
                   "SELECT b FROM t WHERE  a >  1 AND b='x y'"},
        SelectCase{"EmptyWhereStillWritten", withWhere(table("t", kFive, {}), ""),
                   '"', "SELECT * FROM t WHERE "}),
    [](const ::testing::TestParamInfo<SelectCase>& info) {
      return std::string(info.param.name);
    });

}  // namespace
}  // namespace vodbc
