// The statement composed from the selection window, and the password
// added to a connection string.
#include "odbc/run/build_select.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "odbc/connection.h"
#include "odbc/run/connection_password.h"

namespace vodbc {
namespace {

CatalogTable table(std::string name, std::vector<std::string> columns, std::vector<int> selected) {
  CatalogTable t;
  t.name = std::move(name);
  t.columnCount = static_cast<std::int32_t>(columns.size());
  for (std::string& c : columns) t.columns.push_back({c, 'N', 4, false});
  for (int i : selected) t.columns[static_cast<std::size_t>(i)].selected = true;
  return t;
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

TEST(BuildSelect, ComposesTheStatement) {
  const std::vector<std::string> kFive = {"a", "b", "c", "d", "e"};
  const struct {
    CatalogTable table;
    char quote;
    std::string expected;
  } cases[] = {
      {table("t", kFive, {0, 1}), '"', "SELECT a,b FROM t"},
      {table("t", kFive, {4, 2}), '"', "SELECT c,e FROM t"},  // list order, not click order
      {table("t", kFive, {0, 1, 2, 3, 4}), '"', "SELECT * FROM t"},
      {table("t", kFive, {}), '"', "SELECT * FROM t"},
      {unread(table("t", kFive, {0})), '"', "SELECT * FROM t"},
      {withSchema(table("Sales", {"Order Date", "Qty", "Unit Price"}, {0, 1}), "dbo"), '"',
       "SELECT \"Order Date\",Qty FROM dbo.Sales"},
      {table("my table", {"unit_price", "x"}, {0}), '`', "SELECT `unit_price` FROM `my table`"},
      {withSchema(table("t", kFive, {}), "s"), '"', "SELECT * FROM t"},  // one-character schema
      {withWhere(table("t", kFive, {1}), " a >  1 AND b='x y'"), '"',
       "SELECT b FROM t WHERE  a >  1 AND b='x y'"},
      {withWhere(table("t", kFive, {}), ""), '"', "SELECT * FROM t WHERE "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    driverCapabilities = DriverCapabilities{};
    driverCapabilities.quoteChar = c.quote;
    RetrievalSpec spec;
    spec.sqlText = "left over from an earlier run";
    buildSelect(spec, c.table);
    EXPECT_EQ(spec.sqlText, c.expected);
    EXPECT_EQ(spec.sqlCapacity, 4096);
  }
}

TEST(ConnectionPassword, FindsPasswordAttributes) {
  const struct {
    const char* connection;
    bool hasPassword;
  } cases[] = {
      {"DRIVER=x;UID=me", false},
      {"DRIVER=x;UID=me;PWD=secret", true},
      {"driver=x; pwd =secret", true},
      {"DSN=a;Password=secret;", true},
      {"DSN=a;PWDX=1", false},
      {"DRIVER={a;PWD=b};UID=me", false},  // inside a braced value
      {"DRIVER={a}};PWD=b};UID=me", false},
      {"DRIVER={a}}b};PWD=1", true},
      {"", false},
      {";;PWD=", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hasPasswordAttribute(c.connection), c.hasPassword) << c.connection;
  }
}

TEST(ConnectionPassword, AddsPasswordAttribute) {
  struct Case {
    const char* connection;
    const char* password;
    const char* expected;
  } cases[] = {
      {"DRIVER=x;UID=me", "secret", "DRIVER=x;UID=me;PWD=secret;"},
      {"DRIVER=x;UID=me;", "secret", "DRIVER=x;UID=me;PWD=secret;"},
      {"", "s", "PWD=s;"},
      {"DSN=a", "a;b", "DSN=a;PWD={a;b};"},
      {"DSN=a", "x}y", "DSN=a;PWD={x}}y};"},
      {"DSN=a", " lead", "DSN=a;PWD={ lead};"},
  };
  for (const Case& c : cases) {
    std::string out = addPasswordAttribute(c.connection, c.password);
    EXPECT_EQ(out, c.expected);
    EXPECT_TRUE(hasPasswordAttribute(out)) << out;
  }
}

}  // namespace
}  // namespace vodbc
