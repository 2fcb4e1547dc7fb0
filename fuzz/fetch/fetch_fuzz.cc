// The whole fetch path fed by the fake driver manager with any result set:
// column counts (also past 250), SQL types (also unknown codes), names
// longer than their buffer, values of any length and bytes, NULLs, raw
// doubles (NaN, infinities), length indicators no driver should give, the
// three ways drivers cut text, and failures or warnings injected at any
// call. The Sheet it makes is written to memory and read back.
//
// Properties: no memory error or undefined behaviour; every handle is
// freed; a fetch nothing interfered with yields exactly the rows and
// columns delivered (at most 250, with the note when more came); whatever
// the writer writes, the independent reader accepts.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/fuzz_input.h"
#include "fake_odbc/fake_odbc.h"
#include "odbc/connection.h"
#include "odbc/driver_manager.h"
#include "odbc/fetch.h"
#include "odbc_doubles/recording_reporter.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"
#include "worksheet_file/output_file.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_writer.h"
#include "worksheet_file/writer_messages.h"

namespace vodbc::fuzz {
namespace {

// Answers every question with its first (safe) button.
class QuietMessages final : public WriterMessages {
 public:
  void error(std::string_view) override {}
  void warning(std::string_view) override {}
  void note(std::string_view) override {}
  Button ask(std::string_view, std::string_view, std::string_view, std::string_view) override {
    return Button::kFirst;
  }
};

const SQLSMALLINT kTypes[] = {SQL_BIT,         SQL_TINYINT,     SQL_BIGINT,    SQL_NUMERIC,
                              SQL_DECIMAL,     SQL_INTEGER,     SQL_SMALLINT,  SQL_FLOAT,
                              SQL_REAL,        SQL_DOUBLE,      SQL_CHAR,      SQL_VARCHAR,
                              SQL_LONGVARCHAR, SQL_BINARY,      SQL_TYPE_DATE, SQL_TYPE_TIMESTAMP,
                              SQL_TIMESTAMP,   SQL_UNKNOWN_TYPE};
const char* const kFunctions[] = {"SQLFetch", "SQLExecDirect", "SQLNumResultCols", "SQLDescribeCol",
                                  "SQLBindCol"};
const SQLRETURN kResults[] = {SQL_ERROR,          SQL_SUCCESS_WITH_INFO, SQL_NO_DATA,
                              SQL_INVALID_HANDLE, SQL_STILL_EXECUTING,   SQL_NEED_DATA};
const SQLLEN kIndicators[] = {SQL_NULL_DATA, SQL_NO_TOTAL, -2,   -1000,    0, 1, 78, 79,
                              316,           317,          1000, INT64_MAX};

int columnCount(std::uint8_t b) { return b >= 0xF0 ? 246 + (b & 0x0F) : b & 0x07; }

fake::ResultSet decodeResult(FuzzInput& in, int columns, std::size_t rows) {
  fake::ResultSet result;
  for (int c = 0; c < columns; ++c) {
    std::uint8_t pick = in.byte();
    SQLSMALLINT type = pick < 0xF0 ? kTypes[pick % std::size(kTypes)] : in.raw<SQLSMALLINT>();
    result.columns.push_back({in.text(200), type});
  }
  for (std::size_t r = 0; r < rows; ++r) {
    std::vector<fake::Value> row;
    for (int c = 0; c < columns; ++c) {
      switch (in.byte() % 4) {
        case 0:
          row.push_back(std::nullopt);
          break;
        case 1:
          row.push_back(in.text(400));
          break;
        case 2: {
          char number[64];
          std::snprintf(number, sizeof number, "%.17g", in.raw<double>());
          row.push_back(std::string(number));
          break;
        }
        default:
          row.push_back(in.text(120));
          result.indicators[{r, static_cast<std::size_t>(c)}] =
              kIndicators[in.below(std::size(kIndicators))];
      }
    }
    result.rows.push_back(row);
  }
  return result;
}

void checkSheet(const RecordingReporter& reporter, bool undisturbed, int columns,
                std::size_t rows) {
  Sheet* sheet = currentSheet;
  if (sheet == nullptr) fail("a filled fetch leaves a Sheet");
  if (sheet->columnCount > kMaxFetchColumns) fail("at most 250 columns");
  if (undisturbed) {
    if (sheet->rowCount != static_cast<std::int32_t>(rows)) fail("every row delivered is kept");
    if (sheet->columnCount != std::min(columns, kMaxFetchColumns)) fail("every column is kept");
    const bool noted = !reporter.lines.empty() && reporter.lines.front().rfind("note: ", 0) == 0;
    if (noted != (columns > kMaxFetchColumns)) fail("the column note comes exactly past 250");
  }
  QuietMessages messages;
  MemoryOutputFile file;
  if (writeWorksheetFile(sheet, "/nonexistent-vodbc-folder/out.WOR", messages, file) != 1) {
    return;  // refused (too many columns or rows): allowed
  }
  WorksheetImage image;
  WorksheetReadError error;
  if (!readWorksheet(file.bytes().data(), file.bytes().size(), &image, &error)) {
    std::fprintf(stderr, "%s\n", error.describe().c_str());
    fail("the reader accepts what the writer wrote");
  }
}

bool setUp() {
  setenv("VODBC_DRIVER_MANAGER", fake::libraryPath().c_str(), 1);
  initWorksheetDefaults();
  RecordingReporter reporter;
  if (!checkDriverManager(reporter)) fail("the fake driver manager loads");
  return true;
}

}  // namespace
}  // namespace vodbc::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vodbc;
  using namespace vodbc::fuzz;
  static const bool ready = setUp();
  (void)ready;
  FuzzInput in(data, size);
  const int columns = columnCount(in.byte());
  const std::size_t rows = in.below(40);
  fake::reset();
  fake::setTextTruncation(static_cast<fake::TextTruncation>(in.below(3)));
  const std::size_t failures = in.below(4);
  for (std::size_t i = 0; i < failures; ++i) {
    // Counted from the connection: SQLFetch call n is row n.
    fake::failAt(kFunctions[in.below(std::size(kFunctions))], static_cast<int>(in.below(8)) + 1,
                 kResults[in.below(std::size(kResults))], {{"01000", 1, in.text(40)}});
  }
  fake::queueResult(decodeResult(in, columns, rows));

  RecordingReporter reporter;
  std::string runString;
  if (openOdbc(reporter) != OpenResult::kOk) fail("the fake opens");
  if (driverConnect(std::string("DSN=fake"), runString, reporter, nullptr) !=
      ConnectResult::kConnected) {
    fail("the fake connects");
  }
  SQLHSTMT statement = openStatement(reporter);
  if (statement == SQL_NULL_HSTMT) fail("the fake gives a statement");
  const FetchOutcome outcome = fetchIntoSheet(statement, "SELECT * FROM t", reporter);
  if (outcome == FetchOutcome::kCancelled) fail("nobody cancelled");
  if (outcome == FetchOutcome::kFilled) {
    checkSheet(reporter, failures == 0, columns, rows);
  } else if (failures == 0 && rows > 0 && columns > 0) {
    fail("an undisturbed fetch with rows and columns fills a Sheet");
  }
  releaseOdbc(statement);
  discardCurrentSheet();
  if (fake::liveHandles() != 0) fail("every handle is freed");
  return 0;
}
