#include "odbc/run/build_select.h"

#include <cstddef>
#include <string_view>

#include "odbc/connection.h"
#include "text/utf8.h"

namespace vodbc {
namespace {

std::int32_t countChars(std::string_view text) {
  return static_cast<std::int32_t>(countCharacters(text));
}

// Grows the capacity in whole steps until `room` more characters fit.
void makeRoom(RetrievalSpec& spec, std::int32_t room) {
  while (countChars(spec.sqlText) + room > spec.sqlCapacity) {
    spec.sqlCapacity += kComposedSqlCapacity;
  }
  spec.sqlText.reserve(static_cast<std::size_t>(spec.sqlCapacity) + 1);
}

}  // namespace

void buildSelect(RetrievalSpec& spec, const CatalogTable& table) {
  spec.sqlCapacity = kComposedSqlCapacity;
  spec.sqlText = "SELECT ";

  std::int32_t selected = 0;
  if (table.columnCount > 0) {
    for (const CatalogColumn& column : table.columns) {
      if (column.selected) ++selected;
    }
  }
  if (selected >= 1 && selected < table.columnCount) {
    bool first = true;
    for (const CatalogColumn& column : table.columns) {
      if (!column.selected) continue;
      makeRoom(spec, countChars(column.name) + 3);
      if (!first) spec.sqlText += kColumnSeparator;
      appendIdentifier(spec.sqlText, column.name);
      first = false;
    }
  } else {
    spec.sqlText += "*";
  }

  makeRoom(spec, 8);
  spec.sqlText += " FROM ";
  if (table.schema && countChars(*table.schema) >= 2) {
    makeRoom(spec, countChars(*table.schema) + 4);
    appendIdentifier(spec.sqlText, *table.schema);
    spec.sqlText += kQualifierSeparator;
  }
  makeRoom(spec, countChars(table.name) + 2);
  appendIdentifier(spec.sqlText, table.name);

  if (table.hasWhere) {
    std::string_view where;
    if (table.whereText) where = *table.whereText;
    makeRoom(spec, countChars(where) + 7);
    spec.sqlText += " WHERE ";
    spec.sqlText += where;
  }
}

}  // namespace vodbc
