// The ODBC layer against real drivers, built once per database.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "live_odbc/live_database_test.h"
#include "odbc/catalog.h"
#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/retrieval_spec.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

using testing::Database;
using Lines = std::vector<std::string>;

class DriverTest : public testing::LiveDatabaseTest {
 protected:
  FetchOutcome fetch(const std::string& sql) { return fetchIntoSheet(statement_, sql, reporter_); }

  SheetColumn* column(int position) const {
    SheetColumn* c = currentSheet->firstColumn;
    while (c != nullptr && c->position != position) c = c->next;
    return c;
  }

  std::vector<double> numbers(int position) const {
    std::vector<double> out;
    for (const double value : numericValues(*column(position))) out.push_back(value);
    return out;
  }
  Lines texts(int position) const {
    Lines out;
    for (const char* text : textValues(*column(position))) out.push_back(text);
    return out;
  }
};

const double kMissing = kMissingValueCode;

TEST_P(DriverTest, TypesNullsTextAndDatesArriveAsTheSheetKeepsThem) {
  std::string t = unique("types_");
  std::string dbl = database() == Database::PostgreSQL ? "double precision" : "double";
  std::string ts = database() == Database::MariaDB ? "datetime" : "timestamp";
  execute("CREATE TABLE " + t + " (id integer, n numeric(12,3), big bigint, f " + dbl +
          ", flag boolean, c char(10), v varchar(100), d date, ts " + ts + ", tm time)");
  execute("INSERT INTO " + t +
          " VALUES (1, 12.5, 5000000000, 0.25, true, 'ab', "
          "' x  ', '2002-03-04', '2002-03-04 05:06:07', '05:06:07'), "
          "(2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL), "
          "(3, -1234.125, -7, -1e300, false, 'Grüße', 'Grüße €漢', '1999-12-31', "
          "'1999-12-31 23:59:59', '23:59:59')");

  ASSERT_EQ(fetch("SELECT * FROM " + t + " ORDER BY id"), FetchOutcome::kFilled) << reported();
  EXPECT_TRUE(reporter_.lines.empty()) << reported();
  Sheet& sheet = *currentSheet;
  EXPECT_EQ(sheet.rowCount, 3);
  EXPECT_EQ(sheet.columnCount, 10);
  EXPECT_EQ(sheet.missingValue, kMissing);
  EXPECT_STREQ(sheet.fileName, "ODBC.WOR");

  // Name, kind and format of each column. psqlODBC hands booleans over as
  // character data unless told otherwise (BoolsAsChar=0); the others report
  // a bit. A time of day alone is not a date: it stays text.
  Lines shapes;
  for (int i = 1; i <= 10; ++i) {
    const SheetColumn& c = *column(i);
    shapes.push_back(std::string(c.name) + (c.type == ColumnType::Text        ? " text"
                                            : c.formatKind == kFormatPlain    ? " number"
                                            : c.formatKind == kFormatDateTime ? " date"
                                                                              : " other"));
  }
  EXPECT_EQ(shapes, (Lines{"id number", "n number", "big number", "f number",
                           database() == Database::PostgreSQL ? "flag text" : "flag number",
                           "c text", "v text", "d date", "ts date", "tm text"}));
  EXPECT_EQ(numbers(1), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(numbers(2), (std::vector<double>{12.5, kMissing, -1234.125}));
  EXPECT_EQ(numbers(3), (std::vector<double>{5e9, kMissing, -7}));
  EXPECT_EQ(numbers(4), (std::vector<double>{0.25, kMissing, -1e300}));
  if (database() == Database::PostgreSQL) {
    EXPECT_EQ(texts(5), (Lines{"1", "", "0"}));
  } else {
    EXPECT_EQ(numbers(5), (std::vector<double>{1, kMissing, 0}));
  }

  // Windows-1252: ü ß € have single-byte forms, 漢 has none.
  EXPECT_EQ(texts(6), (Lines{"ab", "",
                             "Gr\xFC\xDF"
                             "e"}));
  EXPECT_EQ(texts(7), (Lines{" x", "",
                             "Gr\xFC\xDF"
                             "e \x80?"}));

  // Dates and timestamps become day numbers (1 = 1 January 1900).
  EXPECT_EQ(numbers(8), (std::vector<double>{37319, kMissing, 36525}));
  std::vector<double> stamps = numbers(9);
  ASSERT_EQ(stamps.size(), 3u);
  EXPECT_NEAR(stamps[0], 37319 + (5 * 3600 + 6 * 60 + 7) / 86400.0, 1e-9);
  EXPECT_EQ(stamps[1], kMissing);
  EXPECT_NEAR(stamps[2], 36525 + 86399 / 86400.0, 1e-9);
  EXPECT_EQ(texts(10), (Lines{"05:06:07", "", "23:59:59"}));
}

TEST_P(DriverTest, BitsAndBooleansArriveAsZeroAndOne) {
  if (database() == Database::PostgreSQL) {
    // psqlODBC reports booleans as bits only when told to; otherwise they
    // are the text "1" and "0" (see the first test).
    releaseOdbc(statement_);
    ASSERT_EQ(openOdbc(reporter_), OpenResult::kOk) << reported();
    std::string runString;
    ASSERT_EQ(driverConnect(connection_ + "BoolsAsChar=0;", runString, reporter_, nullptr),
              ConnectResult::kConnected)
        << reported();
    statement_ = openStatement(reporter_);
    ASSERT_NE(statement_, nullptr);
  }
  std::string t = unique("bits_");
  // The MariaDB driver once copied BIT(1)'s raw bit into a double buffer:
  // TRUE arrived as 4.94e-324.
  std::string bit = database() == Database::MariaDB ? "bit(1)" : "boolean";
  execute("CREATE TABLE " + t + " (id integer, b " + bit + ", flag boolean)");
  execute("INSERT INTO " + t + " VALUES (1, true, true), (2, false, false), (3, NULL, NULL)");
  ASSERT_EQ(fetch("SELECT b, flag FROM " + t + " ORDER BY id"), FetchOutcome::kFilled)
      << reported();
  for (int position : {1, 2}) {
    SCOPED_TRACE(position);
    ASSERT_EQ(column(position)->type, ColumnType::Numeric);
    EXPECT_EQ(numbers(position), (std::vector<double>{1, 0, kMissing}));
  }
}

TEST_P(DriverTest, HugeNumbersAreClippedWithOneWarningAndNaNIsMissing) {
  std::string t = unique("huge_");
  std::string dbl = database() == Database::PostgreSQL ? "double precision" : "double";
  execute("CREATE TABLE " + t + " (id integer, x " + dbl + ")");
  execute("INSERT INTO " + t + " VALUES (1, 1e38), (2, -1e38), (3, 2e38), (4, 9.99999e37)");
  std::vector<double> expected = {kLargestValue, -1e38, kLargestValue, 9.99999e37};
  if (database() == Database::PostgreSQL) {
    execute("INSERT INTO " + t + " VALUES (5, 'NaN')");
    expected.push_back(kMissing);
  }
  ASSERT_EQ(fetch("SELECT x FROM " + t + " ORDER BY id"), FetchOutcome::kFilled) << reported();
  EXPECT_EQ(numbers(1), expected);
  EXPECT_EQ(reporter_.lines, Lines{"error: Warning: Numbers in ODBC data greater than "
                                   "9.99999E+37 have been set to this value!"});
}

TEST_P(DriverTest, MoreThan250ColumnsKeepTheFirst250AfterANote) {
  std::string sql = "SELECT 1 AS c1";
  for (int i = 2; i <= 260; ++i) {
    sql.append(",").append(std::to_string(i)).append(" AS c").append(std::to_string(i));
  }
  ASSERT_EQ(fetch(sql), FetchOutcome::kFilled) << reported();
  EXPECT_EQ(reporter_.lines, Lines{"note: Warning: Maximum number of columns (250) "
                                   "exceeded.\nIgnoring extra columns."});
  EXPECT_EQ(currentSheet->columnCount, 250);
  EXPECT_STREQ(column(250)->name, "c250");
  EXPECT_EQ(numbers(250), std::vector<double>{250});
}

TEST_P(DriverTest, CatalogListsTablesBeforeViewsAndQuotesWhatNeedsIt) {
  std::string plain = unique("plain_");
  std::string odd = unique("Odd Name_");
  std::string view = unique("view_");
  execute("CREATE TABLE " + plain + " (a integer)");
  std::string quotedTable, quotedColumn;
  appendIdentifier(quotedTable, odd);
  appendIdentifier(quotedColumn, "Unit Price");
  execute("CREATE TABLE " + quotedTable + " (id integer, " + quotedColumn +
          " numeric(8,2), label varchar(20), stamp date)");
  execute("INSERT INTO " + quotedTable + " VALUES (1, 2.5, 'x', '2020-01-02')");
  execute("CREATE VIEW " + view + " AS SELECT a FROM " + plain);
  EXPECT_EQ(driverCapabilities.quoteChar, database() == Database::MariaDB ? '`' : '"');
  EXPECT_FALSE(spec_.dataSourceName.empty());

  ASSERT_TRUE(readTableList(statement_, spec_, reporter_)) << reported();
  EXPECT_EQ(spec_.tableCount, static_cast<int>(spec_.tables.size()));
  // Tables come before views; within a kind the order is the driver's.
  std::vector<std::string> ours;
  CatalogTable* oddEntry = nullptr;
  for (CatalogTable& entry : spec_.tables) {
    EXPECT_EQ(entry.columnCount, -1);
    if (entry.name == odd) oddEntry = &entry;
    if (entry.name == odd || entry.name == plain || entry.name == view) {
      ours.push_back(entry.name + ":" + entry.type);
    }
  }
  if (ours.size() == 3 && ours[0] == plain + ":TABLE") std::swap(ours[0], ours[1]);
  EXPECT_EQ(ours, (Lines{odd + ":TABLE", plain + ":TABLE", view + ":VIEW"})) << reported();
  ASSERT_NE(oddEntry, nullptr);
  CatalogTable& oddTable = *oddEntry;
  ASSERT_TRUE(readColumnList(statement_, oddTable, reporter_)) << reported();
  ASSERT_EQ(oddTable.columnCount, 4);
  Lines columns;
  for (const CatalogColumn& c : oddTable.columns) columns.push_back(c.name + " " + c.typeLetter);
  columns.pop_back();  // how a date column is typed is the driver's choice
  EXPECT_EQ(columns, (Lines{"id N", "Unit Price N", "label C"}));

  // A statement composed from the catalog runs as it is.
  std::string sql = "SELECT ";
  appendIdentifier(sql, oddTable.columns[1].name);
  sql += " FROM ";
  if (oddTable.schema) {
    appendIdentifier(sql, *oddTable.schema);
    sql += ".";
  }
  appendIdentifier(sql, oddTable.name);
  ASSERT_EQ(fetch(sql), FetchOutcome::kFilled) << sql << "\n" << reported();
  EXPECT_EQ(numbers(1), std::vector<double>{2.5});
  EXPECT_STREQ(column(1)->name, "Unit_Price");  // sanitised
}

TEST_P(DriverTest, AFailedOrCancelledFetchLeavesTheStatementUsable) {
  std::string missing = unique("no_such_table_");
  EXPECT_EQ(fetch("SELECT * FROM " + missing), FetchOutcome::kFailed);
  ASSERT_FALSE(reporter_.records.empty()) << reported();
  const OdbcDiagnostic& first = reporter_.records.front();
  EXPECT_FALSE(first.isWarning);
  EXPECT_EQ(first.sqlState.size(), 5u);
  EXPECT_NE(first.message.find(missing), std::string::npos) << first.message;
  EXPECT_EQ(first.nativeCode.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  for (const std::string& line : reporter_.lines) {
    EXPECT_EQ(line.rfind("diagnostic: Velora ODBC Error Message|", 0), 0u) << line;
  }

  const std::string noData = "error: Error reading ODBC data: No valid data found!";
  std::string t = unique("norows_");
  reporter_.lines.clear();
  EXPECT_EQ(fetch("CREATE TABLE " + t + " (a integer)"), FetchOutcome::kFailed);
  // The driver may say why the fetch found no cursor; the message comes last.
  EXPECT_EQ(reporter_.lines.empty() ? "" : reporter_.lines.back(), noData);
  EXPECT_EQ(currentSheet, nullptr);
  reporter_.lines.clear();
  EXPECT_EQ(fetch("SELECT * FROM " + t), FetchOutcome::kFailed);
  EXPECT_EQ(reporter_.lines, Lines{noData});
  EXPECT_EQ(currentSheet, nullptr);

  // A cancel ends the fetch quietly.
  reporter_.lines.clear();
  FetchControl control(statement_);
  std::int64_t lastSeen = 0;
  FetchHooks hooks{[&](std::int64_t rows) {
                     lastSeen = rows;
                     if (rows == 2000) control.cancel();
                   },
                   &control};
  // 10,000 rows on every database (MariaDB stops recursion at 1,000 levels).
  std::string sql =
      "WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < "
      "100) SELECT a.n FROM s a, s b";
  EXPECT_EQ(fetchIntoSheet(statement_, sql, reporter_, hooks), FetchOutcome::kCancelled);
  EXPECT_EQ(lastSeen, 2000);
  EXPECT_TRUE(reporter_.lines.empty()) << reported();
  EXPECT_EQ(currentSheet, nullptr);

  // Nothing stays open or bound: the next statement runs on the same handle.
  execute("INSERT INTO " + t + " VALUES (7)");
  ASSERT_EQ(fetch("SELECT a FROM " + t), FetchOutcome::kFilled) << reported();
  EXPECT_EQ(numbers(1), std::vector<double>{7});
}

TEST_P(DriverTest, ARefusedConnectionSaysWhyAndReleasesEverything) {
  releaseOdbc(statement_);
  statement_ = SQL_NULL_HSTMT;
  reporter_.lines.clear();
  std::string bad = database() == Database::SQLite
                        ? "Driver={SQLite3};Database=/nonexistent/folder/x.db;"
                        : connection_ + "Database=no_such_database_" + unique("") + ";";
  ASSERT_EQ(openOdbc(reporter_), OpenResult::kOk);
  std::string runString = "unchanged";
  EXPECT_EQ(driverConnect(bad, runString, reporter_, nullptr), ConnectResult::kFailed);
  ASSERT_GE(reporter_.lines.size(), 2u) << reported();
  EXPECT_EQ(reporter_.lines[0],
            "error: Error: Could not Open Database Driver Connection correctly");
  EXPECT_EQ(reporter_.lines[1].rfind("diagnostic: Velora ODBC Error Message|", 0), 0u);
  EXPECT_EQ(runString, "unchanged");
  releaseOdbc(SQL_NULL_HSTMT);
  EXPECT_EQ(odbcHandles.connection, nullptr);
  EXPECT_EQ(odbcHandles.environment, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Real, DriverTest, ::testing::Values(testing::kDatabaseUnderTest),
                         testing::databaseTestName);

}  // namespace
}  // namespace vodbc
