#include "odbc/catalog.h"

#include <sqlext.h>
#include <strings.h>

#include <cstring>

#include "odbc/connection.h"
#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc/reporter.h"
#include "odbc/retrieval_spec.h"
#include "text/utf8.h"

namespace vodbc {
namespace {

// Catalog names are UTF-8 and kept to a number of characters, not bytes:
// a name of 79 characters must arrive whole, so the driver gets room for
// four bytes a character. Cutting the buffer by bytes would split a
// character, and a buffer of 80 bytes would make the driver warn about
// truncation for every name of more than 40 accented letters.
constexpr std::size_t kNameChars = 79;
constexpr std::size_t kQualifierChars = 80;
constexpr SQLLEN kBindLength = kQualifierChars * 4 + 1;

// One bound character column of a catalog result; sized with room beyond
// the bound length so a driver that writes its NUL late stays inside.
struct BoundText {
  char buffer[kBindLength + 8] = {0};
  SQLLEN indicator = SQL_NULL_DATA;

  bool isNull() const { return indicator == SQL_NULL_DATA; }
  // The bound text up to its first NUL, cut to `characters` characters.
  std::string text(std::size_t characters) const {
    std::string_view all(buffer, strnlen(buffer, kBindLength - 1));
    return std::string(firstCharacters(all, characters));
  }
};

void bindText(SQLHSTMT statement, SQLUSMALLINT column, BoundText& bound) {
  odbc::call<&OdbcApi::SQLBindCol>(statement, column, SQLSMALLINT{SQL_C_CHAR},
                                   static_cast<SQLPOINTER>(bound.buffer), kBindLength,
                                   &bound.indicator);
}

void closeCursor(SQLHSTMT statement) {
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_UNBIND});
  odbc::call<&OdbcApi::SQLFreeStmt>(statement, SQLUSMALLINT{SQL_CLOSE});
}

// A qualifier is kept only when the data source takes it in statements and
// it has at least two characters.
std::optional<std::string> qualifier(bool bound, const BoundText& value) {
  if (!bound || value.indicator <= 1) return std::nullopt;
  std::string text = value.text(kQualifierChars);
  if (countCharacters(text) < 2) return std::nullopt;
  return text;
}

// Fetches every row of the open catalog result, calling `take` for each.
// A warning is shown for its first row only; an error ends the list, which
// keeps what was read.
template <class Take>
void fetchRows(SQLHSTMT statement, OdbcReporter& reporter, Take take) {
  bool warned = false;
  for (;;) {
    SQLRETURN rc = odbc::call<&OdbcApi::SQLFetch>(statement);
    if (rc == SQL_NO_DATA) return;
    if (rc == SQL_SUCCESS_WITH_INFO) {
      if (!warned) reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
      warned = true;
    } else if (rc != SQL_SUCCESS) {
      reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
      return;
    }
    take();
  }
}

// The catalog call and the column count; false after reporting a failure.
bool openCatalogResult(SQLRETURN rc, SQLHSTMT statement, OdbcReporter& reporter) {
  if (!checkOdbc(rc, statement, SQL_HANDLE_STMT, reporter)) return false;
  SQLSMALLINT columns = 0;
  rc = odbc::call<&OdbcApi::SQLNumResultCols>(statement, &columns);
  if (rc != SQL_SUCCESS) {
    reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
    return false;
  }
  return true;
}

SQLCHAR* sqlText(const std::optional<std::string>& text) {
  return text ? reinterpret_cast<SQLCHAR*>(const_cast<char*>(text->c_str())) : nullptr;
}

}  // namespace

char catalogTypeLetter(SQLSMALLINT sqlType) {
  // Numeric exactly when a fetch keeps the column as numbers.
  if (fetchColumnType(sqlType).columnType == ColumnType::Numeric) return 'N';
  switch (sqlType) {
    case SQL_LONGVARBINARY:
    case SQL_VARBINARY:
    case SQL_BINARY:
      return 'B';
    case SQL_TYPE_DATE:
      return 'D';
    case SQL_TYPE_TIME:
    case SQL_TYPE_TIMESTAMP:
      return 'T';
    default:
      // Character types, and the ODBC 2 date codes the driver manager
      // reports under ODBC 2 behaviour.
      return 'C';
  }
}

bool readTableList(SQLHSTMT statement, RetrievalSpec& spec, OdbcReporter& reporter) {
  SQLRETURN rc = odbc::call<&OdbcApi::SQLTables>(
      statement, static_cast<SQLCHAR*>(nullptr), SQLSMALLINT{SQL_NTS},
      static_cast<SQLCHAR*>(nullptr), SQLSMALLINT{SQL_NTS}, static_cast<SQLCHAR*>(nullptr),
      SQLSMALLINT{SQL_NTS}, static_cast<SQLCHAR*>(nullptr), SQLSMALLINT{SQL_NTS});
  bool ok = openCatalogResult(rc, statement, reporter);
  std::vector<CatalogTable> fetched;
  if (ok) {
    const DriverCapabilities& caps = driverCapabilities;
    BoundText catalog, schema, name, type;
    if (caps.catalogInDml) bindText(statement, 1, catalog);
    if (caps.schemaInDml) bindText(statement, 2, schema);
    bindText(statement, 3, name);
    bindText(statement, 4, type);
    fetchRows(statement, reporter, [&] {
      // A row without a table name names nothing the user could pick.
      if (name.isNull()) return;
      CatalogTable table;
      table.catalog = qualifier(caps.catalogInDml, catalog);
      table.schema = qualifier(caps.schemaInDml, schema);
      table.name = name.text(kNameChars);
      table.type = type.isNull() ? std::string() : type.text(kNameChars);
      fetched.push_back(std::move(table));
    });
    // Ordinary tables first, then views, synonyms, aliases and system
    // tables, then every other type, each group in fetch order.
    std::vector<CatalogTable> ordered;
    ordered.reserve(fetched.size());
    std::vector<bool> taken(fetched.size(), false);
    for (std::string_view wanted : kTableTypeOrder) {
      for (std::size_t i = 0; i < fetched.size(); ++i) {
        if (!taken[i] && fetched[i].type.size() == wanted.size() &&
            strncasecmp(fetched[i].type.c_str(), wanted.data(), wanted.size()) == 0) {
          ordered.push_back(std::move(fetched[i]));
          taken[i] = true;
        }
      }
    }
    for (std::size_t i = 0; i < fetched.size(); ++i) {
      if (!taken[i]) ordered.push_back(std::move(fetched[i]));
    }
    spec.tables = std::move(ordered);
    spec.tableCount = static_cast<std::int32_t>(spec.tables.size());
  }
  closeCursor(statement);
  return ok;
}

bool readColumnList(SQLHSTMT statement, CatalogTable& table, OdbcReporter& reporter) {
  const DriverCapabilities& caps = driverCapabilities;
  std::optional<std::string> catalog = caps.catalogInDml ? table.catalog : std::nullopt;
  std::optional<std::string> schema = caps.schemaInDml ? table.schema : std::nullopt;
  SQLRETURN rc = odbc::call<&OdbcApi::SQLColumns>(
      statement, sqlText(catalog), SQLSMALLINT{SQL_NTS}, sqlText(schema), SQLSMALLINT{SQL_NTS},
      reinterpret_cast<SQLCHAR*>(const_cast<char*>(table.name.c_str())), SQLSMALLINT{SQL_NTS},
      static_cast<SQLCHAR*>(nullptr), SQLSMALLINT{SQL_NTS});
  bool ok = openCatalogResult(rc, statement, reporter);
  if (ok) {
    BoundText name;
    struct {
      SQLSMALLINT value = 0;
      char pad[86] = {0};
    } dataType;
    constexpr SQLLEN kTypeBindLength = 80;
    SQLLEN typeIndicator = 0;
    bindText(statement, 4, name);
    odbc::call<&OdbcApi::SQLBindCol>(statement, SQLUSMALLINT{5}, SQLSMALLINT{SQL_C_SSHORT},
                                     static_cast<SQLPOINTER>(&dataType), kTypeBindLength,
                                     &typeIndicator);
    std::vector<CatalogColumn> columns;
    columns.reserve(10);
    fetchRows(statement, reporter, [&] {
      CatalogColumn column;
      column.name = name.isNull() ? std::string() : name.text(kNameChars);
      column.sqlType = typeIndicator == SQL_NULL_DATA ? 0 : dataType.value;
      column.typeLetter = catalogTypeLetter(column.sqlType);
      columns.push_back(std::move(column));
    });
    table.columns = std::move(columns);
    table.columnCount = static_cast<std::int32_t>(table.columns.size());
  }
  closeCursor(statement);
  return ok;
}

}  // namespace vodbc
