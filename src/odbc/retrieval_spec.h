// The record of one retrieval run, shared by the run and the query windows.
//
// Usage: the run creates one once the statement handle exists, fills it
// with readDriverCapabilities and readTableList, hands it to the query
// windows and reads their choices back. Text is UTF-8 throughout.
#pragma once

#include <sql.h>

#include <cstdint>
#include <string>
#include <vector>

#include "odbc/catalog.h"

namespace vodbc {

// SQL buffer capacities in characters: a composed statement starts at 4096
// and grows by 4096; text read from a retrieval file gets 32,768.
inline constexpr std::int32_t kComposedSqlCapacity = 4096;
inline constexpr std::int32_t kRetrievalSqlCapacity = 32768;

struct RetrievalSpec {
  std::string dataSourceName;  // server name, or "Unnamed Data Source"
  std::string sqlText;         // the statement
  std::int32_t tableCount = 0;
  std::int32_t selectedTable = 0;  // negative: the user cancelled
  std::int32_t insertColumn = 0;   // -1 for table mode in the insert dialog
  std::int32_t sqlCapacity = 0;    // characters sqlText may hold
  bool editSql = false;
  bool saveRetrieval = false;
  SQLHSTMT statement = SQL_NULL_HSTMT;
  std::vector<CatalogTable> tables;  // in catalog order
};

}  // namespace vodbc
