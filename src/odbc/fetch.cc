#include "odbc/fetch.h"

#include <sqlext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "odbc/diagnostics.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch_stage.h"
#include "odbc/reporter.h"
#include "odbc/result_binding.h"
#include "odbc/text_encoding.h"
#include "sheet/column_storage.h"
#include "sheet/convert_column.h"
#include "sheet/display_width.h"
#include "sheet/names.h"
#include "sheet/sheet.h"
#include "sheet/two_threads.h"

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

// Closes the cursor and unbinds whatever happens after execution, once:
// early, by close(), as soon as every row is staged, else when it goes.
class CursorCloser {
 public:
  explicit CursorCloser(SQLHSTMT statement) : statement_(statement) {}
  ~CursorCloser() { close(); }
  CursorCloser(const CursorCloser&) = delete;
  CursorCloser& operator=(const CursorCloser&) = delete;

  void close() {
    if (closed_) return;
    closed_ = true;
    odbc::call<&OdbcApi::SQLFreeStmt>(statement_, SQLUSMALLINT{SQL_UNBIND});
    odbc::call<&OdbcApi::SQLFreeStmt>(statement_, SQLUSMALLINT{SQL_CLOSE});
  }

 private:
  SQLHSTMT statement_;
  bool closed_ = false;
};

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

// Takes a staged numeric column over as its Sheet column's values, making
// each value one a worksheet can hold on the way; returns true when a number
// had to be clipped.
bool fillNumeric(SheetColumn& column, ColumnStage& staged) {
  column.valueStorage = adoptNumbers(staged.takeBlocks());
  bool clipped = false;
  const double missing = programMissingValue();
  for (double& value : numericValues(column)) {
    if (value > kLargestValue) {
      value = kLargestValue;
      clipped = true;
    } else if (std::isnan(value)) {
      // A worksheet has no "not a number": it is a missing value there.
      value = missing;
    }
  }
  return clipped;
}

// Takes a staged text column over: the staged texts already are what the
// column stores.
void fillText(SheetColumn& column, ColumnStage& staged) {
  TextStorageBuilder texts(column.type, column.length);
  for (const MemoryBlock& block : staged.takeBlocks()) texts.adoptTexts(block);
  column.valueStorage = texts.finish();
}

// Fills one result column from its staging, which is taken over or, for a
// column of dates, released as soon as the column has its values. A column
// whose texts are all date-shaped gets their day numbers and never stores
// the texts. Returns true when a number had to be clipped.
bool fillColumn(SheetColumn& column, ColumnStage& staged, std::int32_t rows) {
  column.length = rows;
  bool clipped = false;
  if (column.type == ColumnType::Numeric) {
    clipped = fillNumeric(column, staged);
  } else if (staged.allDateShaped()) {
    ColumnStage::Reader reader = staged.reader();
    textsToDateTime(column, [&reader] { return reader.text(); });
  } else {
    fillText(column, staged);
  }
  staged.release();
  return clipped;
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
  std::vector<ColumnStage> staged(columns.size());

  // Stage every row: the Sheet must know its row count before it is built.
  const std::size_t usedColumns = static_cast<std::size_t>(count);
  const double missing = programMissingValue();
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
    for (std::size_t c = 0; c < usedColumns; ++c) {
      const BoundColumn& column = columns[c];
      ColumnStage& stage = staged[c];
      if (column.type.columnType == ColumnType::Numeric) {
        double number = missing;
        if (column.indicator != SQL_NULL_DATA) {
          if (column.type.targetType == SQL_C_BIT) {
            number = column.buffer[0] != 0 ? 1.0 : 0.0;
          } else {
            std::memcpy(&number, column.buffer, sizeof number);
          }
        }
        stage.addNumber(number);
      } else {
        stage.addText(std::string_view(column.buffer, boundTextLength(column)), kMaxTextChars);
      }
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

  // Every row is staged: the driver's copy of the result goes back before
  // the Sheet takes its room. Freed in one piece at the top of the heap, it
  // returns to the system by itself; trimming the rest of the heap as well
  // only made the pages that later allocations reuse fault in again.
  closer.close();

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

  std::vector<SheetColumn*> built;
  for (std::size_t c = 0; c < usedColumns; ++c) {
    const BoundColumn& bound = columns[c];
    char name[kNameLength + 1] = {0};
    std::strncpy(name, bound.name.c_str(), kNameLength);
    sanitiseName(name);
    name[kNameLength] = 0;
    SheetColumn* column = addColumn(sheet, bound.type.columnType, name, bound.type.valueWidth);
    if (column == nullptr) break;  // the columns made so far stay
    column->decimals = -1;
    column->formatKind = bound.type.columnType == ColumnType::Numeric ? kFormatPlain : kFormatText;
    built.push_back(column);
  }

  // The columns are filled side by side; the Sheet is marked once here if
  // date columns will mark it, so filling them writes nothing shared. A
  // date column's display width depends on the program-wide date state
  // that its own settings set, so those widths come one after the other,
  // in column order, at the end.
  std::vector<SheetColumn*> dates;
  for (std::size_t c = 0; c < built.size(); ++c) {
    if (built[c]->type == ColumnType::Text && staged[c].allDateShaped()) dates.push_back(built[c]);
  }
  if (!dates.empty()) markColumnChanged(dates.front(), true);
  std::vector<char> clippedIn(built.size(), 0);
  forEachOnTwoThreads(built.size(), static_cast<std::size_t>(sheet->rowCount), [&](std::size_t c) {
    SheetColumn& column = *built[c];
    clippedIn[c] = fillColumn(column, staged[c], sheet->rowCount);
    if (column.formatKind != kFormatDateTime) computeDisplayWidth(column);
  });
  for (SheetColumn* column : dates) computeDisplayWidth(*column);
  const bool clipped = std::find(clippedIn.begin(), clippedIn.end(), 1) != clippedIn.end();
  sheet->changeSeen = 0;
  if (clipped) reporter.error(formatWith(kClippedNumbersFormat, kLargestValueText));
  return FetchOutcome::kFilled;
}

}  // namespace vodbc
