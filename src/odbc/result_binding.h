// How the fetch describes and binds the columns of a result set: one bind
// buffer per column, filled by the driver on every SQLFetch. The fetch and
// the benchmark's floor bind through this one function, so the floor always
// measures the same driver work as the fetch.
//
//   std::vector<BoundColumn> columns = describeAndBind(statement, count);
//   while (SQLFetch(statement) succeeds) { read columns[c].buffer ... }
//   SQLFreeStmt(statement, SQL_UNBIND) before `columns` goes away.
#pragma once

#include <sql.h>
#include <string.h>

#include <cstddef>
#include <string>
#include <vector>

#include "odbc/fetch.h"

namespace vodbc {

// Room for the longest kept text in UTF-8 (four bytes a character) and its
// NUL, so no character is cut by the driver before it is converted.
inline constexpr SQLLEN kTextBindBytes = kMaxTextChars * 4 + 1;

struct BoundColumn {
  FetchColumnType type;
  std::string name;  // Windows-1252, at most 31 characters
  alignas(8) char buffer[kTextBindBytes + 3];
  SQLLEN indicator = 0;
};

// Describes the first `count` result columns and binds each to its buffer.
// The buffers stay where they are: the vector is never resized.
std::vector<BoundColumn> describeAndBind(SQLHSTMT statement, int count);

// The length of the value in a text bind buffer. A negative indicator other
// than NULL (no total known) or one at least as long as the buffer (cut
// by the driver, which may not have written a NUL) means: up to the first
// NUL, never past the buffer.
inline std::size_t boundTextLength(const BoundColumn& column) {
  SQLLEN indicator = column.indicator;
  if (indicator == SQL_NULL_DATA) return 0;
  if (indicator < 0 || indicator >= kTextBindBytes) {
    return strnlen(column.buffer, kTextBindBytes);
  }
  return static_cast<std::size_t>(indicator);
}

}  // namespace vodbc
