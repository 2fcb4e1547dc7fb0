#include "odbc/fetch.h"

#include <sqlext.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/reporter.h"
#include "odbc/text_encoding.h"
#include "sheet/column_storage.h"
#include "sheet/convert_column.h"
#include "sheet/display_width.h"
#include "sheet/names.h"
#include "sheet/sheet.h"

namespace vodbc {

FetchColumnType fetchColumnType(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_BIT:
      // Bound as a bit so every driver hands over 0 or 1: one copies the
      // raw bit into a double buffer instead of converting it.
      return {ColumnType::Numeric, SQL_C_BIT, kNumericValueWidth};
    case SQL_TINYINT:
    case SQL_BIGINT:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
    case SQL_INTEGER:
    case SQL_SMALLINT:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
      return {ColumnType::Numeric, SQL_C_DOUBLE, kNumericValueWidth};
    default:
      // Character, binary, unknown and the date and time types arrive as
      // text; date-shaped text becomes day numbers later.
      return {ColumnType::Text, SQL_C_CHAR, kFetchedTextValueWidth};
  }
}

bool looksLikeTimestamp(std::string_view value) {
  // Shorter values (years, say) are not dates, whatever their digits.
  if (value.size() < 10) return false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    char c = value[i];
    switch (i) {
      case 4:
      case 7:
        if (c != '-') return false;
        break;
      case 10:
        if (c != ' ') return false;
        break;
      case 13:
      case 16:
        if (c != ':') return false;
        break;
      default:
        if (c < '0' || c > '9') return false;
    }
  }
  return true;
}

namespace {

// Room for the longest kept text in UTF-8 (four bytes a character) and its
// NUL, so no character is cut by the driver before it is converted.
constexpr SQLLEN kTextBindBytes = kMaxTextChars * 4 + 1;
constexpr SQLSMALLINT kNameBufferBytes = kMaxColumnNameChars * 4 + 1;

union Cell {
  double number;
  const char* text;
};

// Staged texts are packed into blocks instead of one allocation each;
// cells point into them, so a full block is never moved.
class TextArena {
 public:
  char* take(std::size_t bytes) {
    if (bytes > left_) {
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes + 2));
      at_ = blocks_.back().get();
      left_ = kBlockBytes;
    }
    char* out = at_;
    at_ += bytes;
    left_ -= bytes;
    return out;
  }

 private:
  static constexpr std::size_t kBlockBytes = 32000;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* at_ = nullptr;
  std::size_t left_ = 0;
};

struct BoundColumn {
  FetchColumnType type;
  std::string name;  // Windows-1252, at most 31 characters
  alignas(8) char buffer[kTextBindBytes + 3];
  SQLLEN indicator = 0;
  // The column's staged values, and its texts. Each column keeps its own,
  // so the Sheet is filled from memory read in order.
  std::vector<Cell> cells;
  TextArena texts;
};

// Closes the cursor and unbinds whatever happens after execution.
class CursorCloser {
 public:
  explicit CursorCloser(SQLHSTMT statement) : statement_(statement) {}
  ~CursorCloser() {
    odbc::call<&OdbcApi::SQLFreeStmt>(statement_, SQLUSMALLINT{SQL_UNBIND});
    odbc::call<&OdbcApi::SQLFreeStmt>(statement_, SQLUSMALLINT{SQL_CLOSE});
  }
  CursorCloser(const CursorCloser&) = delete;
  CursorCloser& operator=(const CursorCloser&) = delete;

 private:
  SQLHSTMT statement_;
};

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

std::string formatWith(const char* format, const char* value) {
  char text[256];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Runs one driver call that a cancel may stop; false when the fetch was
// cancelled before it.
template <class Call>
bool runCall(FetchControl* control, Call&& call) {
  if (control == nullptr) {
    call();
    return true;
  }
  return control->run(call);
}

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

// Copies one staged column into its Sheet column; returns true when a
// number had to be clipped.
bool fillNumeric(SheetColumn& target, const std::vector<Cell>& cells) {
  bool clipped = false;
  std::size_t at = 0;
  const double missing = programMissingValue();
  for (NumericNode& node : numericValues(target)) {
    double value = cells[at++].number;
    if (value > kLargestValue) {
      value = kLargestValue;
      clipped = true;
    } else if (std::isnan(value)) {
      // A worksheet has no "not a number": it is a missing value there.
      value = missing;
    }
    node.value = value;
  }
  return clipped;
}

// Copies one staged text column; true when every non-empty value is
// date-shaped.
bool fillText(SheetColumn& target, const std::vector<Cell>& cells) {
  bool allDates = true;
  std::size_t at = 0;
  for (TextNode& node : textValues(target)) {
    std::string_view text(cells[at++].text);
    // Trailing blanks are padding of fixed-width types; leading ones are
    // data.
    std::size_t end = text.find_last_not_of(' ');
    text = end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
    storeText(node, text);
    if (!text.empty() && allDates && !looksLikeTimestamp(text)) allDates = false;
  }
  return allDates;
}

}  // namespace

FetchOutcome fetchIntoSheet(SQLHSTMT statement, std::string_view sql, OdbcReporter& reporter,
                            const FetchHooks& hooks) {
  FetchControl* control = hooks.control;
  auto cancelled = [control] { return control != nullptr && control->cancelled(); };
  std::string text(sql);
  SQLRETURN rc = SQL_ERROR;
  if (!runCall(control, [&] {
        rc = odbc::call<&OdbcApi::SQLExecDirect>(statement, reinterpret_cast<SQLCHAR*>(text.data()),
                                                 SQLINTEGER{SQL_NTS});
      })) {
    return FetchOutcome::kCancelled;
  }
  CursorCloser closer(statement);
  if (cancelled()) return FetchOutcome::kCancelled;
  if (!checkOdbc(rc, statement, SQL_HANDLE_STMT, reporter)) {
    return FetchOutcome::kFailed;
  }

  SQLSMALLINT resultColumns = 0;
  rc = odbc::call<&OdbcApi::SQLNumResultCols>(statement, &resultColumns);
  if (rc != SQL_SUCCESS) {
    reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
    return FetchOutcome::kFailed;
  }
  int count = resultColumns < 0 ? 0 : resultColumns;
  if (count > kMaxFetchColumns) {
    char note[128];
    std::snprintf(note, sizeof note, kTooManyColumnsFormat, kMaxFetchColumns);
    reporter.note(note);
    count = kMaxFetchColumns;
  }
  std::vector<BoundColumn> columns = describeAndBind(statement, count);

  // Stage every row: the Sheet must know its row count before it is built.
  const std::size_t usedColumns = static_cast<std::size_t>(count);
  const double missing = programMissingValue();
  for (BoundColumn& column : columns) column.cells.reserve(kStagingRowStep + 1);
  std::int64_t rows = 0;
  std::int64_t rowCapacity = kStagingRowStep;
  bool warned = false;
  for (;;) {
    if (!runCall(control, [&] { rc = odbc::call<&OdbcApi::SQLFetch>(statement); })) {
      return FetchOutcome::kCancelled;
    }
    if (rc == SQL_NO_DATA) break;
    if (cancelled()) return FetchOutcome::kCancelled;
    if (rc == SQL_SUCCESS_WITH_INFO) {
      if (!warned) reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
      warned = true;
    } else if (rc != SQL_SUCCESS) {
      // The rows fetched so far are kept.
      reportOdbcDiagnostics(statement, SQL_HANDLE_STMT, rc, reporter);
      if (hooks.endedByError != nullptr) *hooks.endedByError = true;
      break;
    }
    // Staging is bounded as one table of 8-byte cells growing by 100 rows,
    // however the cells are laid out, so the same rows fit everywhere.
    if (rows == rowCapacity) {
      rowCapacity += kStagingRowStep;
      if ((rowCapacity + 1) * static_cast<std::int64_t>(usedColumns) * 8 > kStagingLimitBytes) {
        reporter.error(kStagingLimitMessage);
        return FetchOutcome::kFailed;
      }
    }
    for (BoundColumn& column : columns) {
      Cell cell;
      if (column.type.columnType == ColumnType::Numeric) {
        if (column.indicator == SQL_NULL_DATA) {
          cell.number = missing;
        } else if (column.type.targetType == SQL_C_BIT) {
          cell.number = column.buffer[0] != 0 ? 1.0 : 0.0;
        } else {
          std::memcpy(&cell.number, column.buffer, sizeof(double));
        }
      } else {
        std::size_t length = boundTextLength(column);
        std::size_t room = length < kMaxTextChars ? length : kMaxTextChars;
        char* copy = column.texts.take(room + 1);
        utf8ToWindows1252(std::string_view(column.buffer, length), kMaxTextChars, copy);
        cell.text = copy;
      }
      column.cells.push_back(cell);
    }
    ++rows;
    if (hooks.progress && rows % kProgressInterval == 0) hooks.progress(rows);
  }
  if (cancelled()) return FetchOutcome::kCancelled;
  if (hooks.progress && rows % kProgressInterval != 0) hooks.progress(rows);
  if (rows == 0 || count == 0) {
    reporter.error(kNoDataMessage);
    return FetchOutcome::kFailed;
  }

  Sheet* sheet = createSheet();
  if (sheet == nullptr) {
    reporter.error(kNoSheetMessage);
    return FetchOutcome::kFailed;
  }
  sheet->missingValue = missing;
  setSheetFileName(*sheet, "ODBC.WOR");
  sheet->kind = 1;
  sheet->rowCount = static_cast<std::int32_t>(rows);
  if (!createRowAttributes(sheet)) {
    reporter.error(kNoRowAttributesMessage);
    return FetchOutcome::kFailed;
  }

  bool clipped = false;
  for (std::size_t c = 0; c < usedColumns; ++c) {
    const BoundColumn& bound = columns[c];
    char name[kNameLength + 1] = {0};
    std::strncpy(name, bound.name.c_str(), kNameLength);
    sanitiseName(name);
    name[kNameLength] = 0;
    SheetColumn* column = addColumn(sheet, bound.type.columnType, name, bound.type.valueWidth);
    if (column == nullptr) break;  // the columns made so far stay
    allocateColumnValues(*column, sheet->rowCount);
    column->decimals = -1;
    column->length = sheet->rowCount;
    if (bound.type.columnType == ColumnType::Numeric) {
      column->formatKind = kFormatPlain;
      clipped |= fillNumeric(*column, bound.cells);
    } else {
      column->formatKind = kFormatText;
      if (fillText(*column, bound.cells)) textToDateTime(*column);
    }
    computeDisplayWidth(*column);
  }
  sheet->changeSeen = 0;
  if (clipped) reporter.error(formatWith(kClippedNumbersFormat, kLargestValueText));
  return FetchOutcome::kFilled;
}

}  // namespace vodbc
