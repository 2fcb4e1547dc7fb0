#include "odbc/result_binding.h"

#include <sqlext.h>

#include <cstring>
#include <string_view>

#include "odbc/driver_manager.h"
#include "odbc/text_encoding.h"

namespace vodbc {
namespace {

constexpr SQLSMALLINT kNameBufferBytes = kMaxColumnNameChars * 4 + 1;

}  // namespace

std::vector<BoundColumn> describeAndBind(SQLHSTMT statement, int count) {
  std::vector<BoundColumn> columns(static_cast<std::size_t>(count));
  for (int c = 0; c < count; ++c) {
    BoundColumn& column = columns[static_cast<std::size_t>(c)];
    SQLCHAR name[kNameBufferBytes + 1] = {0};
    SQLSMALLINT nameLength = 0, dataType = SQL_UNKNOWN_TYPE, digits = 0, nullable = 0;
    SQLULEN size = 0;
    odbc::call<&OdbcApi::SQLDescribeCol>(statement, static_cast<SQLUSMALLINT>(c + 1), name,
                                         kNameBufferBytes, &nameLength, &dataType, &size, &digits,
                                         &nullable);
    name[kNameBufferBytes] = 0;
    const char* raw = reinterpret_cast<const char*>(name);
    column.name = utf8ToWindows1252(std::string_view(raw, std::strlen(raw)), kMaxColumnNameChars);
    column.type = fetchColumnType(dataType);
    odbc::call<&OdbcApi::SQLBindCol>(statement, static_cast<SQLUSMALLINT>(c + 1),
                                     column.type.targetType, static_cast<SQLPOINTER>(column.buffer),
                                     kTextBindBytes, &column.indicator);
  }
  return columns;
}

}  // namespace vodbc
