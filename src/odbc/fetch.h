// Runs one statement and turns its whole result set into a new Sheet.
//
// Usage (on any thread; the reporter must be safe to call from it):
//   FetchControl control(statement);        // keep it where Cancel can reach
//   FetchHooks hooks;
//   hooks.control = &control;
//   hooks.progress = [](std::int64_t rows) { ... };   // from the fetching thread
//   FetchOutcome outcome = fetchIntoSheet(statement, sql, reporter, hooks);
//   // another thread may call control.cancel() meanwhile
// Filled: currentSheet is the new Sheet. Failed: the messages have been
// shown (the texts are at the end of this file). Cancelled: nothing shown,
// no Sheet.
// In every case the statement stays allocated with its cursor closed and
// no column bound.
#pragma once

#include <sql.h>

#include <cstdint>
#include <functional>
#include <string_view>

#include "odbc/fetch_control.h"
#include "sheet/column_type.h"

namespace vodbc {

class OdbcReporter;

enum class FetchOutcome { kFilled, kFailed, kCancelled };

struct FetchHooks {
  // Rows staged so far; called from the fetching thread every
  // kProgressInterval rows and once when the last row is in.
  std::function<void(std::int64_t rows)> progress;
  FetchControl* control = nullptr;
  // Set to true when a fetch error ended the rows early: the Sheet holds
  // the rows before it (the interactive run keeps them; vodbc-batch writes
  // them only when asked to).
  bool* endedByError = nullptr;
};

inline constexpr std::int64_t kProgressInterval = 1000;

// How a result column is fetched and kept: the one place that maps SQL
// data types.
struct FetchColumnType {
  ColumnType columnType;    // Numeric or Text
  SQLSMALLINT targetType;   // SQL_C_DOUBLE, SQL_C_BIT (kept as 0 or 1) or SQL_C_CHAR
  std::int32_t valueWidth;  // 25 or 80
};
FetchColumnType fetchColumnType(SQLSMALLINT sqlType);

FetchOutcome fetchIntoSheet(SQLHSTMT statement, std::string_view sql, OdbcReporter& reporter,
                            const FetchHooks& hooks = {});

// True when a stored (trimmed) text value looks like a date or a timestamp
// ("yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss", or a cut of the latter that
// still holds the full date).
bool looksLikeTimestamp(std::string_view value);

// Limits and messages.
inline constexpr int kMaxFetchColumns = 250;
inline constexpr int kMaxColumnNameChars = 31;
inline constexpr int kMaxTextChars = 79;
inline constexpr std::int64_t kStagingLimitBytes = 16'000'000;
inline constexpr std::int64_t kStagingRowStep = 100;
inline constexpr const char* kTooManyColumnsFormat =
    "Warning: Maximum number of columns (%i) exceeded.\nIgnoring extra columns.";
inline constexpr const char* kStagingLimitMessage =
    "Error: ODBC data size too large for this version of the Velora ODBC";
inline constexpr const char* kNoDataMessage = "Error reading ODBC data: No valid data found!";
inline constexpr const char* kNoSheetMessage = "Error: Unable to create Sheet structure!";
inline constexpr const char* kNoRowAttributesMessage = "Error: Unable to create Row Attributes!";
inline constexpr const char* kClippedNumbersFormat =
    "Warning: Numbers in ODBC data greater than %s have been set to this value!";
inline constexpr const char* kLargestValueText = "9.99999E+37";

}  // namespace vodbc
