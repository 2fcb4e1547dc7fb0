// The data source's catalog: its tables, and the columns of one table.
//
// Usage: readTableList(statement, spec, reporter) once per run, right after
// connecting; readColumnList(statement, table, reporter) for a table whose
// columnCount is negative, when a dialog first needs its columns. Both leave
// the statement with no open cursor and no bound columns. Catalog names
// stay UTF-8: they go back into SQL unchanged.
#pragma once

#include <sql.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vodbc {

class OdbcReporter;
struct RetrievalSpec;

struct CatalogColumn {
  std::string name;          // COLUMN_NAME, at most 79 characters
  char typeLetter = 'C';     // N, B, D, T or C (see catalogTypeLetter)
  std::int16_t sqlType = 0;  // DATA_TYPE as reported
  bool selected = false;     // chosen in the select-data window
};

struct CatalogTable {
  std::string name;  // TABLE_NAME, at most 79 characters
  std::string type;  // TABLE_TYPE, at most 79 characters
  // Present only when the data source takes the qualifier in statements
  // and the name has at least two characters.
  std::optional<std::string> catalog;
  std::optional<std::string> schema;
  std::optional<std::string> whereText;  // set by the WHERE builder
  std::int32_t columnCount = -1;         // -1 until the columns are read
  std::int32_t whereCapacity = 0;
  bool hasWhere = false;
  std::vector<CatalogColumn> columns;
};

// Table types listed first, in this order; every other type follows.
inline constexpr std::string_view kTableTypeOrder[] = {"TABLE", "VIEW", "SYNONYM", "ALIAS",
                                                       "SYSTEM TABLE"};

// The letter the dialogs show beside a column of this SQL data type.
char catalogTypeLetter(SQLSMALLINT sqlType);

// Reads every table of every type into spec.tables, ordered by type; false
// only when the catalog call itself failed.
bool readTableList(SQLHSTMT statement, RetrievalSpec& spec, OdbcReporter& reporter);

// Reads the columns of `table`; false (table unchanged) when the catalog
// call failed.
bool readColumnList(SQLHSTMT statement, CatalogTable& table, OdbcReporter& reporter);

// Messages the callers show.
inline constexpr const char* kNoTableNamesMessage = "Error: Could NOT get table names!";
inline constexpr const char* kNoTablesMessage = "Error: Selected ODBC contains no valid tables!";
inline constexpr const char* kNoColumnsWarningFormat =
    "Warning: Could NOT get columns for table %s";

}  // namespace vodbc
