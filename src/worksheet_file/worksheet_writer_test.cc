// Whole worksheet files, the writer's bytes against bytes built from first
// principles and read back by the independent reader; and what the format
// cannot hold: column and row limits, factors with too many labels, names
// that need clipping, more label sets than the link lines have room for.
#include "worksheet_file/worksheet_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "sheets/test_sheet.h"
#include "worksheet_file/name_block.h"
#include "worksheets/expected_worksheet.h"
#include "worksheets/memory_write.h"

namespace vodbc {
namespace {

using namespace testing;  // NOLINT: the helpers are this file's vocabulary
using Entry = RecordingMessages::Entry;

// A successful write to memory that says nothing.
Bytes written(Sheet* sheet) {
  const WriteOutcome outcome = writeToMemory(sheet);
  EXPECT_EQ(outcome.result, 1);
  EXPECT_EQ(outcome.messages, std::vector<Entry>{});
  EXPECT_TRUE(outcome.closed);
  return outcome.bytes;
}

struct FileCase {
  const char* what;
  int rows;
  std::function<void(TestSheet&)> fill;
  std::vector<ExpectedColumn> columns;
  std::vector<ExpectedLabelSet> labelSets;
};

TEST(WorksheetWriter, WholeFilesMatchByteForByte) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const FileCase cases[] = {
      {"numbers, one column shorter than the sheet",
       5,
       [nan](TestSheet& s) {
         s.addNumbers("Height", {1.5, -256, kMissingValueCode, 0.1, 1e36});
         s.addNumbers("Weight", {3.25, 1000, nan});
       },
       {{"Height",
         false,
         0,
         5,
         {realCell(1.5), integerCell(-256), missingCell(), realCell(0.1), realCell(1e35)}},
        {"Weight", false, 0, 3, {realCell(3.25), integerCell(1000), missingCell()}}},
       {}},
      {"texts become labelled factors",
       4,
       [](TestSheet& s) {
         s.addTexts("City", {"b", "A", "a ", ""});
         s.addNumbers("N", {1, 2, 3, 4});
         s.addTexts("Long", {"Mississippi river", "x"});
       },
       {{"City", true, 2, 4, {integerCell(2), integerCell(1), integerCell(1), missingCell()}},
        {"N", false, 0, 4, {integerCell(1), integerCell(2), integerCell(3), integerCell(4)}},
        {"Long", true, 2, 2, {integerCell(1), integerCell(2)}}},
       {{{"A", "b"}, 0}, {{"Mississippi river", "x"}, 2}}},
      {"types without writable values get blank cells",
       3,
       [](TestSheet& s) {
         s.addNumbers("Five", {1, 2.5, 3}, ColumnType{5});
         s.addNumbers("Pinned", {-1, -2, -3}, ColumnType::PinnedNumeric);
         addColumn(s.get(), ColumnType{9}, "None", kNumericValueWidth)->length = 3;
         s.addNumbers("TwentyTwo", {7, 8, 9}, ColumnType{22});
       },
       {{"Five", false, 0, 3, {integerCell(1), realCell(2.5), integerCell(3)}},
        {"Pinned", false, 0, 3, {integerCell(-1), integerCell(-2), integerCell(-3)}},
        {"None", false, 0, 3, {}},
        {"TwentyTwo", false, 0, 3, {integerCell(7), integerCell(8), integerCell(9)}}},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSheet sheet(c.rows);
    c.fill(sheet);
    const Bytes bytes = written(sheet.get());
    EXPECT_EQ(
        firstDifference(bytes, buildWorksheetBytes(expectedSheet(c.rows, c.columns, c.labelSets))),
        "");
    const WorksheetImage image = readBack(bytes);
    ASSERT_EQ(image.columns.size(), c.columns.size());
    for (std::size_t k = 0; k < c.columns.size(); ++k) {
      EXPECT_EQ(image.columns[k].name, c.columns[k].name);
      EXPECT_EQ(image.columns[k].factor, c.columns[k].factor);
    }
  }
}

TEST(WorksheetWriter, TitleComesFromNotesOrFileName) {
  const struct {
    std::vector<std::string> notes;
    std::string fileName, title;
  } cases[] = {
      {{"Quarterly sales", "second line"}, "ODBC.WOR", "Quarterly sales"},
      {{std::string(120, 'n')}, "ODBC.WOR", std::string(100, 'n')},
      {{}, std::string(95, 'f'), "Data from " + std::string(90, 'f')},
      {{}, "q.WOR", "Data from q.WOR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    TestSheet sheet(1);
    sheet.addNumbers("X", {1});
    if (!c.notes.empty()) sheet.setNotes(c.notes);
    setSheetFileName(*sheet.get(), c.fileName);
    const Bytes bytes = written(sheet.get());
    EXPECT_EQ(std::string(bytes.begin() + 11, bytes.begin() + 112),
              c.title + "\r" + std::string(100 - c.title.size(), ' '));
    EXPECT_EQ(readBack(bytes).title, c.title);
  }
}

std::string tooManyColumns(const std::string& sheet) {
  return "Error: Too many columns in " + sheet +
         " to save.\nVelora has a maximum of 127 columns.\nUse a columns selection to save.";
}

// The reader checks the header's cell count and the file's size against
// the slots; beyond 127 columns or 50400 rows nothing is written.
TEST(WorksheetLimits, SlotsFollowColumnsAndRowsUpToTheLimits) {
  const Entry tooManyRows = {
      "error", "Error: Too many rows in ODBC.WOR to save.\nVelora has a maximum of 50400 rows."};
  const struct {
    int columns, rows;
    int slots;  // 0: refused with `messages`
    std::string sheetName = "ODBC.WOR";
    std::vector<Entry> messages = {};
  } cases[] = {
      {1, 5, 30},
      {25, 1000, 50},
      {106, 10, 127},
      {1, 1001, 11},
      {120, 5000, 127},
      {4, 1000, 30},
      {127, 2, 127},
      {128, 2, 0, "ODBC.WOR", {{"error", tooManyColumns("ODBC.WOR")}}},
      {128, 1, 0, std::string(70, 'w'), {{"error", tooManyColumns(std::string(60, 'w'))}}},
      {1, 50400, 11},
      {1, 50401, 0, "ODBC.WOR", {tooManyRows}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.rows));
    TestSheet sheet(c.rows);
    setSheetFileName(*sheet.get(), c.sheetName);
    std::vector<double> values(static_cast<std::size_t>(c.rows));
    for (int r = 0; r < c.rows; ++r) values[r] = r + 0.25;
    for (int k = 0; k < c.columns; ++k) sheet.addNumbers(numbered("C", k), values);
    const WriteOutcome outcome = writeToMemory(sheet.get());
    EXPECT_EQ(outcome.messages, c.messages);
    if (c.slots == 0) {
      EXPECT_EQ(outcome.result, 0);
      EXPECT_FALSE(outcome.opened) << "nothing is created for a refused sheet";
      continue;
    }
    ASSERT_EQ(outcome.result, 1);
    EXPECT_TRUE(outcome.closed);
    const WorksheetImage image = readBack(outcome.bytes);
    EXPECT_EQ(image.columnSlots(), c.slots);
    ASSERT_EQ(static_cast<int>(image.columns.size()), c.columns);
    EXPECT_EQ(image.columns.back().length, c.rows);
    EXPECT_EQ(image.columns.back().cells.back().value, c.rows - 1 + 0.25);
    // 50400 rows do not fit the length code: it saturates at 50175.
    EXPECT_EQ(image.columns.back().lengthSaturated, c.rows > 50175);
  }
}

TEST(WorksheetLimits, FactorsWithMoreThan223LabelsBecomeNumeric) {
  const Entry tooMany = {"warning",
                         "Error: Factors with more than 223 labels are not supported by Velora!\n"};
  const Entry converted = {"warning", "Factor T000 converted to numeric levels"};
  const struct {
    int levels, factors;  // distinct texts, one per row; how many such columns
    std::vector<Entry> messages;
  } cases[] = {
      {223, 1, {}},
      {224, 1, {tooMany, converted}},
      {224, 2, {tooMany, converted, {"warning", "Factor T001 converted to numeric levels"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.levels) + " labels, " + std::to_string(c.factors) + " factors");
    TestSheet sheet(c.levels);
    std::vector<std::string> texts;
    for (int i = 0; i < c.levels; ++i) texts.push_back(numbered("L", i));
    for (int k = 0; k < c.factors; ++k) sheet.addTexts(numbered("T", k), texts);
    const WriteOutcome outcome = writeToMemory(sheet.get());
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.messages, c.messages);
    const WorksheetImage image = readBack(outcome.bytes);
    ASSERT_EQ(static_cast<int>(image.columns.size()), c.factors);
    const bool factor = c.levels <= 223;
    EXPECT_EQ(image.columns[0].factor, factor);
    EXPECT_EQ(image.columns[0].cells.back().value, c.levels) << "the codes are kept";
    ASSERT_EQ(image.labelSets.size(), factor ? 1u : 0u);
    if (factor) {
      EXPECT_EQ(image.columns[0].levelCount, 223);
      EXPECT_EQ(static_cast<unsigned char>(image.attributes[3][3][0]), 254);
      EXPECT_EQ(image.labelSets[0].labels.size(), 223u);
      EXPECT_EQ(image.labelSets[0].labels.back(), "L222");
      EXPECT_EQ(static_cast<unsigned char>(image.attributes[1][0][0]), 255);
    } else {
      EXPECT_EQ(image.labelsPerSet(), 0);
    }
  }
}

TEST(WorksheetLimits, NamesAreClippedUntilTheyFitFourLines) {
  const struct {
    const char* what;
    int columns, nameLength, writtenLength;
  } cases[] = {
      {"short names untouched", 10, 32, 32},
      {"120 long names: cut 8 then 7", 120, 32, 7},
      {"60 of 16 pass the budget but need a fifth line", 60, 16, 15},
      {"29 of 31 pass the budget but need a fifth line", 29, 31, 30},
      {"127 of 10: cut 7 still needs a fifth line", 127, 10, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSheet sheet(1);
    std::vector<ExpectedColumn> columns;
    for (int k = 0; k < c.columns; ++k) {
      std::string name = numbered("N", k);
      name.resize(static_cast<std::size_t>(c.nameLength), 'x');
      sheet.addNumbers(name, {static_cast<double>(k)});
      columns.push_back({name.substr(0, static_cast<std::size_t>(c.writtenLength)),
                         false,
                         0,
                         1,
                         {integerCell(k)}});
    }
    EXPECT_EQ(firstDifference(written(sheet.get()), buildWorksheetBytes(expectedSheet(1, columns))),
              "");
  }
}

TEST(WorksheetLimits, FitNameLengths) {
  std::vector<int> oneLong(127, 7);
  oneLong[0] = 32;
  const struct {
    const char* what;
    std::vector<int> lengths;
    int columns;
    std::vector<int> fitted;
  } cases[] = {
      {"within budget", {32, 5, 0}, 3, {32, 5, 0}},
      {"one long name among short ones: the cut falls to 10, then the fifth-line rule to 6",
       oneLong, 127, std::vector<int>(127, 6)},
      {"40 long names of 40 columns", std::vector<int>(40, 32), 40, std::vector<int>(40, 24)},
      {"the same names among 127 columns: unwritten ones count one byte each",
       std::vector<int>(40, 32), 127, std::vector<int>(40, 22)},
      {"within budget but a fifth line needed", std::vector<int>(30, 32), 127,
       std::vector<int>(30, 30)},
  };
  for (const auto& c : cases) EXPECT_EQ(fitNameLengths(c.lengths, c.columns), c.fitted) << c.what;
}

TEST(WorksheetLimits, LabelSetsBeyondFiftyGetNoLink) {
  TestSheet sheet(2);
  std::vector<ExpectedColumn> columns;
  std::vector<ExpectedLabelSet> labelSets;
  for (int k = 0; k < 60; ++k) {
    sheet.addTexts(numbered("F", k), {"yes", "no"});
    columns.push_back({numbered("F", k), true, 2, 2, {integerCell(2), integerCell(1)}});
    labelSets.push_back({{"no", "yes"}, k});
  }
  const Bytes bytes = written(sheet.get());
  EXPECT_EQ(firstDifference(bytes, buildWorksheetBytes(expectedSheet(2, columns, labelSets))), "");
  const WorksheetImage image = readBack(bytes);
  ASSERT_EQ(image.labelSets.size(), 60u);
  EXPECT_EQ(image.labelSlots(), 65);
  EXPECT_EQ(image.labelSets[49].linkedColumn, 49);
  EXPECT_EQ(image.labelSets[50].linkedColumn, -1);
  EXPECT_EQ(image.columns[59].labelSet, -1);
}

}  // namespace
}  // namespace vodbc
