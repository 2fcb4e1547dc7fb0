// Whole worksheet files: the writer's bytes against bytes built from first
// principles, then read back by the independent reader.
#include "worksheet_file/worksheet_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_test_support.h"

namespace vodbc {
namespace {

using testing::Bytes;
using testing::ExpectedColumn;
using testing::ExpectedWorksheet;
using testing::RecordingMessages;
using testing::TestSheet;
using testing::integerCell;
using testing::missingCell;
using testing::realCell;
using Kind = WorksheetCell::Kind;

constexpr const char* kPath = "/nonexistent-vodbc-folder/out.WOR";

// Writes to memory; the write must succeed without any message.
Bytes writeToMemory(Sheet* sheet) {
  RecordingMessages messages;
  MemoryOutputFile file;
  EXPECT_EQ(writeWorksheetFile(sheet, kPath, messages, file), 1);
  EXPECT_TRUE(messages.log.empty());
  EXPECT_TRUE(file.closed());
  return file.bytes();
}

WorksheetImage readBack(const Bytes& bytes) {
  WorksheetImage image;
  WorksheetReadError error;
  EXPECT_TRUE(readWorksheet(bytes.data(), bytes.size(), &image, &error)) << error.describe();
  return image;
}

std::int32_t integerAt(const Bytes& bytes, std::size_t at) {
  const WorksheetCell cell = decodeWorksheetCell(bytes.data() + at);
  EXPECT_EQ(cell.kind, Kind::kInteger) << "at " << at;
  return static_cast<std::int32_t>(cell.value);
}

TEST(WorksheetWriter, NumericSheetMatchesByteForByte) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TestSheet sheet(5);
  sheet.addNumbers("Height", {1.5, -256, kMissingValueCode, 0.1, 1e36});
  sheet.addNumbers("Weight", {3.25, 1000, nan});  // shorter than the sheet

  const Bytes written = writeToMemory(sheet.get());

  ExpectedWorksheet expected;
  expected.title = "Data from ODBC.WOR";
  expected.rows = 5;
  expected.columns = 2;
  expected.written = {
      {"Height", false, 0, 5,
       {realCell(1.5), integerCell(-256), missingCell(), realCell(0.1), realCell(1e35)}},
      {"Weight", false, 0, 3, {realCell(3.25), integerCell(1000), missingCell()}}};
  EXPECT_EQ(testing::firstDifference(written, testing::buildWorksheetBytes(expected)), "");

  // The directory of this sheet, worked out by hand: S = 30, L = 5, M = 0,
  // A = 299; an empty labels section takes no bytes.
  const std::int32_t directory[5][6] = {{10, 80, 1906, 81, 81, 0},
                                        {5, 0, 2716, 0, 9, 5},
                                        {10, 1, 2716, 5, 5, 0},
                                        {30, 5, 2766, 25, 5, 2},
                                        {0, 5, 2816, 25, 5, 0}};
  for (int s = 0; s < 5; ++s) {
    for (int f = 0; f < 6; ++f) {
      EXPECT_EQ(integerAt(written, 200 + 5 * (6 * s + f)), directory[s][f]) << s << "," << f;
    }
  }
  EXPECT_EQ(written.size(), 2766u + 5 * 5 * 30);
  EXPECT_EQ(std::string(written.begin() + 11, written.begin() + 30), "Data from ODBC.WOR\r");
  EXPECT_EQ(integerAt(written, 115 + 5 * 11), 18);

  const WorksheetImage image = readBack(written);
  ASSERT_EQ(image.columns.size(), 2u);
  EXPECT_EQ(image.columns[0].name, "Height");
  EXPECT_EQ(image.columns[1].length, 3);
  EXPECT_EQ(image.columns[0].cells[1], (WorksheetCell{Kind::kInteger, -256}));
  EXPECT_EQ(image.columns[0].cells[2].kind, Kind::kMissing);
  EXPECT_EQ(image.columns[1].cells[2].kind, Kind::kMissing);
}

TEST(WorksheetWriter, TextColumnsBecomeLabelledFactors) {
  TestSheet sheet(4);
  sheet.addTexts("City", {"b", "A", "a ", ""});
  sheet.addNumbers("N", {1, 2, 3, 4});
  sheet.addTexts("Long", {"Mississippi river", "x"});

  const Bytes written = writeToMemory(sheet.get());

  ExpectedWorksheet expected;
  expected.title = "Data from ODBC.WOR";
  expected.rows = 4;
  expected.columns = 3;
  expected.written = {
      {"City", true, 2, 4, {integerCell(2), integerCell(1), integerCell(1), missingCell()}},
      {"N", false, 0, 4, {integerCell(1), integerCell(2), integerCell(3), integerCell(4)}},
      {"Long", true, 2, 2, {integerCell(1), integerCell(2)}}};
  expected.labelSets = {{{"A", "b"}, 0}, {{"Mississippi river", "x"}, 2}};
  EXPECT_EQ(testing::firstDifference(written, testing::buildWorksheetBytes(expected)), "");

  const WorksheetImage image = readBack(written);
  ASSERT_EQ(image.labelSets.size(), 2u);
  EXPECT_EQ(image.labelSets[1].labels, (std::vector<std::string>{"Mississi", "x"}));
  EXPECT_EQ(image.labelSets[1].linkedColumn, 2);
  EXPECT_EQ(image.columns[0].labelSet, 0);
  EXPECT_TRUE(image.columns[0].factor);
  EXPECT_EQ(image.columns[0].levelCount, 2);
  EXPECT_EQ(image.columns[1].labelSet, -1);
}

TEST(WorksheetWriter, TypesWithoutWritableValuesGetBlankCells) {
  TestSheet sheet(3);
  sheet.addNumbers("Five", {1, 2.5, 3}, ColumnType{5});
  sheet.addNumbers("Pinned", {-1, -2, -3}, ColumnType::PinnedNumeric);
  SheetColumn* none = addColumn(sheet.get(), ColumnType{9}, "None", kNumericValueWidth);
  none->length = 3;
  sheet.addNumbers("TwentyTwo", {7, 8, 9}, ColumnType{22});

  const Bytes written = writeToMemory(sheet.get());

  ExpectedWorksheet expected;
  expected.title = "Data from ODBC.WOR";
  expected.rows = 3;
  expected.columns = 4;
  expected.written = {
      {"Five", false, 0, 3, {integerCell(1), realCell(2.5), integerCell(3)}},
      {"Pinned", false, 0, 3, {integerCell(-1), integerCell(-2), integerCell(-3)}},
      {"None", false, 0, 3, {}},
      {"TwentyTwo", false, 0, 3, {integerCell(7), integerCell(8), integerCell(9)}}};
  EXPECT_EQ(testing::firstDifference(written, testing::buildWorksheetBytes(expected)), "");
}

struct TitleCase {
  const char* what;
  std::vector<std::string> notes;
  std::string fileName;
  std::string title;
};

TEST(WorksheetWriter, TitleComesFromNotesOrFileName) {
  const std::string hundredTwenty(120, 'n');
  const TitleCase cases[] = {
      {"first note line", {"Quarterly sales", "second line"}, "ODBC.WOR", "Quarterly sales"},
      {"long note cut to 100", {hundredTwenty}, "ODBC.WOR", std::string(100, 'n')},
      {"file name cut to 90", {}, std::string(95, 'f'), "Data from " + std::string(90, 'f')},
      {"short file name", {}, "q.WOR", "Data from q.WOR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSheet sheet(1);
    sheet.addNumbers("X", {1});
    if (!c.notes.empty()) sheet.setNotes(c.notes);
    setSheetFileName(*sheet.get(), c.fileName);
    const Bytes written = writeToMemory(sheet.get());
    const std::string field(written.begin() + 11, written.begin() + 112);
    EXPECT_EQ(field, c.title + "\r" + std::string(100 - c.title.size(), ' '));
    EXPECT_EQ(integerAt(written, 115 + 5 * 11), static_cast<int>(c.title.size()));
    EXPECT_EQ(readBack(written).title, c.title);
  }
}

struct SlotCase {
  int columns;
  int rows;
  int slots;
};

TEST(WorksheetWriter, ColumnSlotsFollowColumnsAndRows) {
  const SlotCase cases[] = {
      {1, 5, 30}, {25, 1000, 50}, {106, 10, 127}, {1, 1001, 11}, {120, 5000, 127}, {4, 1000, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.columns) + " columns, " + std::to_string(c.rows) + " rows");
    TestSheet sheet(c.rows);
    std::vector<double> values(static_cast<std::size_t>(c.rows));
    for (int r = 0; r < c.rows; ++r) values[r] = r + 0.25;
    for (int k = 0; k < c.columns; ++k) sheet.addNumbers("C" + std::to_string(k + 1), values);
    const Bytes written = writeToMemory(sheet.get());
    const WorksheetImage image = readBack(written);
    EXPECT_EQ(image.columnSlots(), c.slots);
    EXPECT_EQ(image.header[10], c.slots * c.rows);
    EXPECT_EQ(written.size(), static_cast<std::size_t>(image.directory[3][2]) +
                                  5u * c.rows * c.slots);
    ASSERT_EQ(static_cast<int>(image.columns.size()), c.columns);
    EXPECT_EQ(image.columns.back().cells.back().value, c.rows - 1 + 0.25);
  }
}

}  // namespace
}  // namespace vodbc
