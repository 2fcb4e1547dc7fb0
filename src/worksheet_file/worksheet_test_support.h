// Test helpers for the worksheet file: sheets built from plain vectors, a
// message recorder, and the expected bytes of a worksheet file built from
// first principles (literal numbers and the cell rules worked bit by bit),
// never from the writer's own functions or constants.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/sheet.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/writer_messages.h"

namespace vodbc::testing {

using Bytes = std::vector<unsigned char>;

// A Sheet as the fetch leaves it: "ODBC.WOR", the missing-value code,
// `rows` rows; freed at the end of the test.
class TestSheet {
 public:
  explicit TestSheet(std::int32_t rows);
  ~TestSheet();
  TestSheet(const TestSheet&) = delete;
  TestSheet& operator=(const TestSheet&) = delete;

  Sheet* get() const { return sheet_; }
  Sheet* operator->() const { return sheet_; }

  SheetColumn* addNumbers(std::string_view name, const std::vector<double>& values,
                          ColumnType type = ColumnType::Numeric);
  SheetColumn* addTexts(std::string_view name, const std::vector<std::string>& texts,
                        ColumnType type = ColumnType::Text);
  // The first note line becomes the title.
  void setNotes(const std::vector<std::string>& lines);

 private:
  Sheet* sheet_;
};

// Records every message and answers questions with a fixed button label.
class RecordingMessages final : public WriterMessages {
 public:
  explicit RecordingMessages(std::string answer = "No") : answer_(std::move(answer)) {}

  struct Entry {
    std::string kind;  // "error", "warning", "note", "ask"
    std::string text;  // for "ask": text + "|" + button labels joined by "|"
    bool operator==(const Entry&) const = default;
  };
  std::vector<Entry> log;

  void error(std::string_view text) override { log.push_back({"error", std::string(text)}); }
  void warning(std::string_view text) override { log.push_back({"warning", std::string(text)}); }
  void note(std::string_view text) override { log.push_back({"note", std::string(text)}); }
  Button ask(std::string_view text, std::string_view first, std::string_view second,
             std::string_view third) override;

 private:
  std::string answer_;
};

// Cells worked out by the rules as a person would apply them.
Bytes integerCell(std::int64_t n);
Bytes realCell(double v);
Bytes blankCell();
Bytes missingCell();

struct ExpectedColumn {
  std::string name;  // as it must appear (already clipped)
  bool factor = false;
  int levelCount = 0;        // factors
  int length = 0;            // for the length code
  std::vector<Bytes> cells;  // written cells; blanks follow up to R
};

struct ExpectedLabelSet {
  std::vector<std::string> labels;  // cut to 8 characters by the builder
  int factorColumn = -1;            // written column of its factor; -1 for text values
};

struct ExpectedWorksheet {
  std::string title;
  int rows = 0;
  int columns = 0;  // K
  std::vector<ExpectedColumn> written;
  std::vector<ExpectedLabelSet> labelSets;
};

Bytes buildWorksheetBytes(const ExpectedWorksheet& expected);

// A path no real file can have; the memory writes only report it.
inline constexpr const char* kMemoryPath = "/nonexistent-vodbc-folder/out.WOR";

// What one write to memory left behind.
struct WriteOutcome {
  std::uint16_t result = 0;
  std::vector<RecordingMessages::Entry> messages;
  bool opened = false;
  bool closed = false;
  std::size_t writes = 0;  // calls of the file's write
  Bytes bytes;
};
WriteOutcome writeToMemory(Sheet* sheet);

// Reads the bytes back with the independent reader; a refusal fails the test.
WorksheetImage readBack(const Bytes& bytes);

// "C007": a prefix and a three-digit number.
std::string numbered(const char* prefix, int i);

// The expected file of `columns` with the title a fresh sheet gets.
ExpectedWorksheet expectedSheet(int rows, std::vector<ExpectedColumn> columns,
                                std::vector<ExpectedLabelSet> labelSets = {});

// The first offset where the two differ, with some context, or "" when
// they are equal.
std::string firstDifference(const Bytes& actual, const Bytes& expected);

}  // namespace vodbc::testing
