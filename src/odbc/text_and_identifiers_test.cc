// Windows-1252 conversion, character-safe cuts, the timestamp test and the
// quoting of identifiers.
#include <gtest/gtest.h>

#include <string>

#include "odbc/connection.h"
#include "odbc/fetch.h"
#include "odbc/text_encoding.h"

namespace vodbc {
namespace {

TEST(TextEncoding, ConvertsCountsAndNeverSplitsACharacter) {
  const struct {
    std::string utf8;
    std::size_t maxChars;
    std::string cp1252;
  } cases[] = {
      {"plain", 79, "plain"},
      {"Grüße €", 79,
       "Gr\xFC\xDF"
       "e \x80"},
      {"漢字 and ☃", 79, "?? and ?"},
      {"é", 0, ""},
      {"ééé", 2, "\xE9\xE9"},
      // Bytes that are not UTF-8 are kept, one character each.
      {"a\xFF"
       "b\xE9",
       79,
       "a\xFF"
       "b\xE9"},
      // A sequence cut short by the driver is not UTF-8 either.
      {"ab\xE2\x82", 79, "ab\xE2\x82"},
      {std::string(100, 'x'), 79, std::string(79, 'x')},
      {"\xF0\x9F\x98\x80!", 79, "?!"},
      // Overlong and surrogate encodings are not characters.
      {"\xC0\xAF"
       "\xED\xA0\x80",
       79, "\xC0\xAF\xED\xA0\x80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8ToWindows1252(c.utf8, c.maxChars), c.cp1252) << c.utf8;
  }
}

TEST(TimestampTest, AcceptsFullDatesAndTheirTimesOnly) {
  for (const char* value : {"2002-03-04", "2002-03-04 05:06:07", "2002-03-04 05"}) {
    EXPECT_TRUE(looksLikeTimestamp(value)) << value;
  }
  // A full stop at position 19, a "T", a year alone, a short date, another
  // order, a trailing blank.
  for (const char* value : {"2002-03-04 05:06:07.5", "2002-03-04T05:06:07", "2002", "2002-03-0",
                            "02/03/2004", "2002-03-04 05:06:07 "}) {
    EXPECT_FALSE(looksLikeTimestamp(value)) << value;
  }
}

TEST(AppendIdentifier, QuotesSpecialFoldedAndReservedNames) {
  const struct {
    char quote;
    SQLUSMALLINT folding;
    const char *name, *written;
  } cases[] = {
      {'"', SQL_IC_MIXED, "Sales", "Sales"},
      {'"', SQL_IC_MIXED, "sales2", "sales2"},
      {'"', SQL_IC_MIXED, "Unit Price", "\"Unit Price\""},
      {'"', SQL_IC_MIXED, "unit_price", "\"unit_price\""},
      {'"', SQL_IC_MIXED, "a-b", "\"a-b\""},
      {'"', SQL_IC_MIXED, "dbo.t", "\"dbo.t\""},
      {'"', SQL_IC_MIXED, "say \"hi\"", "\"say \"\"hi\"\"\""},
      {'"', SQL_IC_MIXED, "order", "\"order\""},
      {'"', SQL_IC_MIXED, "Select", "\"Select\""},
      {'"', SQL_IC_MIXED, "myword", "\"myword\""},  // the data source's keyword
      {'"', SQL_IC_LOWER, "Sales", "\"Sales\""},
      {'"', SQL_IC_LOWER, "sales", "sales"},
      {'"', SQL_IC_UPPER, "sales", "\"sales\""},
      {'`', SQL_IC_MIXED, "a`b c", "`a``b c`"},
      {'`', SQL_IC_MIXED, "Unit Price", "`Unit Price`"},
      {' ', SQL_IC_MIXED, "Unit Price", " Unit Price "},
  };
  for (const auto& c : cases) {
    driverCapabilities = DriverCapabilities{};
    driverCapabilities.quoteChar = c.quote;
    driverCapabilities.identifierCase = c.folding;
    driverCapabilities.keywords = {"MYWORD"};
    std::string text = "SELECT ";
    appendIdentifier(text, c.name);
    EXPECT_EQ(text, std::string("SELECT ") + c.written) << c.name;
  }
}

TEST(KeepDriverAttribute, ACompletedStringWithoutDataSourceOrDriverKeepsTheDriver) {
  const struct {
    const char* completed;
    const char* connected;
    const char* kept;
  } cases[] = {
      {"DSN=;Database=/tmp/a.db;", "DRIVER=SQLite3;Database=/tmp/a.db",
       "DRIVER=SQLite3;DSN=;Database=/tmp/a.db;"},
      {"Database=/tmp/a;b.db", "Driver={SQLite3};Database=/tmp/a;b.db",
       "Driver={SQLite3};Database=/tmp/a;b.db"},
      {"DSN=shop;Database=x", "DSN=shop", "DSN=shop;Database=x"},
      {"DRIVER={PostgreSQL ANSI};SERVER=h", "Driver={PostgreSQL ANSI}",
       "DRIVER={PostgreSQL ANSI};SERVER=h"},
      {"FILEDSN=/x.dsn;UID=me", "FILEDSN=/x.dsn", "FILEDSN=/x.dsn;UID=me"},
      {"DSN=;Database=x", "Database=x", "DSN=;Database=x"},  // nothing to keep
      {" driver = {A;B}} c};x=1", "DRIVER=other", " driver = {A;B}} c};x=1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(keepDriverAttribute(c.completed, c.connected), c.kept) << c.completed;
  }
}

}  // namespace
}  // namespace vodbc
