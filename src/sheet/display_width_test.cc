#include "sheet/display_width.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/sheet.h"
#include "sheet/sheet_test_support.h"
#include "sheet/value_format.h"

namespace vodbc {
namespace {

using testing::TestSheet;

void setLevelValues(SheetColumn& column, const std::vector<double>& values) {
  const ColumnStorage storage =
      allocateStorage(ColumnType::LevelValues, static_cast<std::int64_t>(values.size()));
  std::size_t i = 0;
  for (StorageNode* n = storage.first; n != nullptr; n = n->next) {
    static_cast<NumericNode*>(n)->value = values[i++];
  }
  column.levelValuesFirst = storage.first;
  column.levelValueBlockTable = storage.blockTable;
  column.levelValueBlockCount = storage.blockCount;
  column.levelValueCount = static_cast<std::int32_t>(values.size());
}

void setLabels(SheetColumn& column, const std::vector<std::string>& labels) {
  const ColumnStorage storage =
      allocateStorage(ColumnType::LevelLabels, static_cast<std::int64_t>(labels.size()));
  std::size_t i = 0;
  for (StorageNode* n = storage.first; n != nullptr; n = n->next) {
    storeText(*static_cast<TextNode*>(n), labels[i++], kLabelWidth);
  }
  column.levelLabelsFirst = storage.first;
  column.levelLabelBlockTable = storage.blockTable;
  column.levelLabelBlockCount = storage.blockCount;
  column.levelLabelCount = static_cast<std::int32_t>(labels.size());
}

TEST(DisplayWidth, TextColumnsMeasureTheirLongestValueAndName) {
  TestSheet sheet;
  SheetColumn* text = sheet.addTexts("abcdef", {"x", std::string(14, 'y'), ""});
  EXPECT_EQ(computeDisplayWidth(*text), 15);
  EXPECT_EQ(text->displayWidth, 15);
  EXPECT_EQ(text->levelCount, 14);

  SheetColumn* longName = sheet.addTexts("fifteen_chars_x", {"abc", "ab"});
  EXPECT_EQ(computeDisplayWidth(*longName), 12);
  EXPECT_EQ(longName->levelCount, 3);

  SheetColumn* tiny = sheet.addTexts("t", {"", "a"});
  EXPECT_EQ(computeDisplayWidth(*tiny), 3);
  EXPECT_EQ(tiny->levelCount, 2);
}

TEST(DisplayWidth, FactorsByLevelKind) {
  TestSheet sheet;
  struct Case {
    std::int32_t levels;
    std::int32_t width;
  };
  const Case plain[] = {{1, 3}, {5, 3}, {9, 3}, {10, 4}, {99, 4}, {100, 5}};
  for (const Case& c : plain) {
    SheetColumn* factor = sheet.addNumbers("f", {1}, ColumnType::Factor);
    factor->levelCount = c.levels;
    EXPECT_EQ(computeDisplayWidth(*factor), c.width) << c.levels;
  }

  SheetColumn* valued = sheet.addNumbers("v", {1, 2, 3}, ColumnType::Factor);
  valued->levelKind = 1;
  valued->levelCount = 3;
  setLevelValues(*valued, {10, 2.5, 1000.25});
  EXPECT_EQ(computeDisplayWidth(*valued), 8);

  SheetColumn* labelled = sheet.addNumbers("l", {1, 2}, ColumnType::Factor);
  labelled->levelKind = 2;
  labelled->levelCount = 2;
  setLabels(*labelled, {"ab", "abcdef"});
  EXPECT_EQ(computeDisplayWidth(*labelled), 7);
  EXPECT_EQ(labelled->labelWidth, 6);
}

TEST(DisplayWidth, NumbersUseTheirTextForms) {
  TestSheet sheet;
  SheetColumn* numbers = sheet.addNumbers("x", {1, 123.456, kMissingValueCode});
  EXPECT_EQ(computeDisplayWidth(*numbers), 8);
  numbers->formatKind = kFormatRowNumber;
  numbers->decimals = 2;
  EXPECT_EQ(computeDisplayWidth(*numbers), 7);  // "123.46"
  SheetColumn* missingOnly = sheet.addNumbers("m", {kMissingValueCode});
  EXPECT_EQ(computeDisplayWidth(*missingOnly), 3);
}

TEST(DisplayWidth, DateColumnsSetTheDateStateFirst) {
  TestSheet sheet;
  setDateFormat(1);
  SheetColumn* dates = sheet.addNumbers("when", {37000.4375});
  dates->formatKind = kFormatDateTime;
  dates->dateFormat = 34;
  EXPECT_EQ(computeDisplayWidth(*dates), 20);  // "2001-04-19 10:30:00"
  EXPECT_EQ(dateFormat(), 34);
  setDateFormat(1);
}

}  // namespace
}  // namespace vodbc
