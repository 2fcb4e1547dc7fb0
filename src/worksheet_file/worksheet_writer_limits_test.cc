// What the format cannot hold: column and row limits, factors with too many
// labels, names that need clipping, and more label sets than the link lines
// have room for.
#include <gtest/gtest.h>

#include <cstdio>

#include "worksheet_file/name_block.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_test_support.h"
#include "worksheet_file/worksheet_writer.h"

namespace vodbc {
namespace {

using testing::Bytes;
using testing::ExpectedColumn;
using testing::ExpectedWorksheet;
using testing::RecordingMessages;
using testing::TestSheet;
using testing::integerCell;
using Entry = RecordingMessages::Entry;

constexpr const char* kPath = "/nonexistent-vodbc-folder/out.WOR";

struct Outcome {
  std::uint16_t result = 0;
  std::vector<Entry> messages;
  bool opened = false;
  Bytes bytes;
};

Outcome write(Sheet* sheet) {
  RecordingMessages messages;
  MemoryOutputFile file;
  Outcome outcome;
  outcome.result = writeWorksheetFile(sheet, kPath, messages, file);
  outcome.messages = messages.log;
  outcome.opened = file.opened();
  outcome.bytes = file.bytes();
  return outcome;
}

WorksheetImage readBack(const Bytes& bytes) {
  WorksheetImage image;
  WorksheetReadError error;
  EXPECT_TRUE(readWorksheet(bytes.data(), bytes.size(), &image, &error)) << error.describe();
  return image;
}

std::string numbered(const char* prefix, int i) {
  char text[16];
  std::snprintf(text, sizeof text, "%s%03d", prefix, i);
  return text;
}

const std::string kTooManyColumns =
    "Error: Too many columns in ODBC.WOR to save.\nVelora has a maximum of 127 columns.\n"
    "Use a columns selection to save.";
const std::string kTooManyRows =
    "Error: Too many rows in ODBC.WOR to save.\nVelora has a maximum of 50400 rows.";

struct LimitCase {
  int columns;
  int rows;
  std::vector<Entry> messages;  // empty: the file is written
};

TEST(WorksheetLimits, ColumnsAndRowsUpToTheLimitAreWrittenBeyondRefused) {
  const LimitCase cases[] = {
      {127, 2, {}},
      {128, 2, {{"error", kTooManyColumns}}},
      {1, 50400, {}},
      {1, 50401, {{"error", kTooManyRows}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.rows));
    TestSheet sheet(c.rows);
    std::vector<double> values(static_cast<std::size_t>(c.rows));
    for (int r = 0; r < c.rows; ++r) values[r] = r + 1;
    for (int k = 0; k < c.columns; ++k) sheet.addNumbers(numbered("C", k), values);
    const Outcome outcome = write(sheet.get());
    EXPECT_EQ(outcome.messages, c.messages);
    if (!c.messages.empty()) {
      EXPECT_EQ(outcome.result, 0);
      EXPECT_FALSE(outcome.opened) << "nothing is created for a refused sheet";
      continue;
    }
    ASSERT_EQ(outcome.result, 1);
    const WorksheetImage image = readBack(outcome.bytes);
    ASSERT_EQ(static_cast<int>(image.columns.size()), c.columns);
    const WorksheetColumn& last = image.columns.back();
    EXPECT_EQ(last.length, c.rows);
    EXPECT_EQ(last.cells.back().value, c.rows);
    // 50400 rows do not fit the length code: it saturates at 50175.
    EXPECT_EQ(last.lengthSaturated, c.rows > 50175);
  }
}

TEST(WorksheetLimits, MessagesNameTheSheetCutTo60Characters) {
  TestSheet sheet(1);
  for (int k = 0; k < 128; ++k) sheet.addNumbers(numbered("C", k), {1});
  const std::string name(70, 'w');
  setSheetFileName(*sheet.get(), name);
  const Outcome outcome = write(sheet.get());
  ASSERT_EQ(outcome.messages.size(), 1u);
  EXPECT_EQ(outcome.messages[0].text,
            "Error: Too many columns in " + name.substr(0, 60) +
                " to save.\nVelora has a maximum of 127 columns.\nUse a columns selection to save.");
}

struct LabelCase {
  const char* what;
  int levels;    // distinct texts, one per row
  int factors;   // how many such columns
  std::vector<Entry> messages;
  bool factorWritten;
};

const std::string kTooManyLabels =
    "Error: Factors with more than 223 labels are not supported by Velora!\n";

TEST(WorksheetLimits, FactorsWithMoreThan223LabelsBecomeNumeric) {
  const LabelCase cases[] = {
      {"223 labels stay a factor", 223, 1, {}, true},
      {"224 labels", 224, 1,
       {{"warning", kTooManyLabels}, {"warning", "Factor T000 converted to numeric levels"}},
       false},
      {"two of them: the first warning once", 224, 2,
       {{"warning", kTooManyLabels},
        {"warning", "Factor T000 converted to numeric levels"},
        {"warning", "Factor T001 converted to numeric levels"}},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSheet sheet(c.levels);
    std::vector<std::string> texts;
    for (int i = 0; i < c.levels; ++i) texts.push_back(numbered("L", i));
    for (int k = 0; k < c.factors; ++k) sheet.addTexts(numbered("T", k), texts);
    const Outcome outcome = write(sheet.get());
    EXPECT_EQ(outcome.result, 1);
    EXPECT_EQ(outcome.messages, c.messages);
    const WorksheetImage image = readBack(outcome.bytes);
    ASSERT_EQ(static_cast<int>(image.columns.size()), c.factors);
    const WorksheetColumn& column = image.columns[0];
    EXPECT_EQ(column.factor, c.factorWritten);
    EXPECT_EQ(image.columns[0].cells.back().value, c.levels) << "the codes are kept";
    if (c.factorWritten) {
      EXPECT_EQ(column.levelCount, 223);
      EXPECT_EQ(static_cast<unsigned char>(image.attributes[3][3][0]), 254);
      ASSERT_EQ(image.labelSets.size(), 1u);
      EXPECT_EQ(image.labelSets[0].labels.size(), 223u);
      EXPECT_EQ(image.labelSets[0].labels.back(), "L222");
      EXPECT_EQ(static_cast<unsigned char>(image.attributes[1][0][0]), 255);
    } else {
      EXPECT_TRUE(image.labelSets.empty());
      EXPECT_EQ(image.labelsPerSet(), 0);
    }
  }
}

struct NameCase {
  const char* what;
  int columns;
  int nameLength;
  int writtenLength;
};

TEST(WorksheetLimits, NamesAreClippedUntilTheyFitFourLines) {
  const NameCase cases[] = {
      {"short names untouched", 10, 32, 32},
      {"120 long names: cut 8 then 7", 120, 32, 7},
      {"60 of 16 pass the budget but need a fifth line", 60, 16, 15},
      {"29 of 31 pass the budget but need a fifth line", 29, 31, 30},
      {"127 of 10: cut 7 still needs a fifth line", 127, 10, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSheet sheet(1);
    ExpectedWorksheet expected;
    expected.title = "Data from ODBC.WOR";
    expected.rows = 1;
    expected.columns = c.columns;
    for (int k = 0; k < c.columns; ++k) {
      std::string name = numbered("N", k);
      name.resize(static_cast<std::size_t>(c.nameLength), 'x');
      sheet.addNumbers(name, {static_cast<double>(k)});
      expected.written.push_back({name.substr(0, static_cast<std::size_t>(c.writtenLength)),
                                  false, 0, 1, {integerCell(k)}});
    }
    const Outcome outcome = write(sheet.get());
    ASSERT_EQ(outcome.result, 1);
    EXPECT_EQ(testing::firstDifference(outcome.bytes, testing::buildWorksheetBytes(expected)),
              "");
    const WorksheetImage image = readBack(outcome.bytes);
    EXPECT_EQ(image.nameLengths,
              std::vector<int>(static_cast<std::size_t>(c.columns), c.writtenLength));
  }
}

// 120 names of 7 characters fill the lines with 31, 31, 31 and 27 names.
TEST(WorksheetLimits, ClippedNamesFillTheLinesInOrder) {
  const std::vector<int> lengths(120, 7);
  std::vector<std::string> names;
  std::vector<std::string_view> views;
  for (int k = 0; k < 120; ++k) names.push_back(numbered("Nam", k));
  for (const auto& name : names) views.push_back(name);
  const auto lines = packNames(views, lengths);
  const int expectedPerLine[] = {31, 31, 31, 27};
  for (int l = 0; l < 4; ++l) {
    int marks = 0;
    for (const char ch : lines[l]) marks += static_cast<unsigned char>(ch) > 0x80;
    EXPECT_EQ(marks, expectedPerLine[l]) << "line " << l + 1;
  }
}

struct FitCase {
  const char* what;
  std::vector<int> lengths;
  int columns;
  std::vector<int> fitted;
};

TEST(WorksheetLimits, FitNameLengths) {
  std::vector<int> oneLong(127, 7);
  oneLong[0] = 32;
  const FitCase cases[] = {
      {"within budget", {32, 5, 0}, 3, {32, 5, 0}},
      {"one long name among short ones: the cut falls to 10, then the fifth-line rule to 6",
       oneLong, 127, std::vector<int>(127, 6)},
      {"40 long names of 40 columns", std::vector<int>(40, 32), 40, std::vector<int>(40, 24)},
      {"the same names among 127 columns: unwritten ones count one byte each",
       std::vector<int>(40, 32), 127, std::vector<int>(40, 22)},
      {"within budget but a fifth line needed", std::vector<int>(30, 32), 127,
       std::vector<int>(30, 30)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(fitNameLengths(c.lengths, c.columns), c.fitted);
  }
}

TEST(WorksheetLimits, LabelSetsBeyondFiftyGetNoLink) {
  TestSheet sheet(2);
  ExpectedWorksheet expected;
  expected.title = "Data from ODBC.WOR";
  expected.rows = 2;
  expected.columns = 60;
  for (int k = 0; k < 60; ++k) {
    const std::string name = numbered("F", k);
    sheet.addTexts(name, {"yes", "no"});
    expected.written.push_back({name, true, 2, 2, {integerCell(2), integerCell(1)}});
    expected.labelSets.push_back({{"no", "yes"}, k});
  }
  const Outcome outcome = write(sheet.get());
  ASSERT_EQ(outcome.result, 1);
  EXPECT_EQ(testing::firstDifference(outcome.bytes, testing::buildWorksheetBytes(expected)), "");
  const WorksheetImage image = readBack(outcome.bytes);
  ASSERT_EQ(image.labelSets.size(), 60u);
  EXPECT_EQ(image.labelSlots(), 65);
  EXPECT_EQ(image.labelSets[49].linkedColumn, 49);
  EXPECT_EQ(image.labelSets[50].linkedColumn, -1);
  EXPECT_EQ(image.columns[59].labelSet, -1);
}

}  // namespace
}  // namespace vodbc
