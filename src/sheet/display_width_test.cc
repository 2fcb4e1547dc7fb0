#include "sheet/display_width.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

TEST(DisplayWidth, TextColumnsMeasureTheirLongestValueAndName) {
  testing::TestSheet sheet;
  // Name, values, then the width and the longest value's length.
  const std::tuple<const char*, testing::Texts, std::int32_t, std::int32_t> cases[] = {
      {"abcdef", {"x", std::string(14, 'y'), ""}, 15, 14},
      {"fifteen_chars_x", {"abc", "ab"}, 12, 3},
      {"t", {"", "a"}, 3, 2},
  };
  for (const auto& [name, texts, width, longest] : cases) {
    SheetColumn* column = sheet.addTexts(name, texts);
    EXPECT_EQ(computeDisplayWidth(*column), width) << name;
    EXPECT_EQ(std::tuple(column->displayWidth, column->levelCount), std::tuple(width, longest));
  }
}

TEST(DisplayWidth, FactorsByLevelKind) {
  testing::TestSheet sheet;
  const std::pair<std::int32_t, std::int32_t> plain[] = {{1, 3},  {5, 3},  {9, 3},
                                                         {10, 4}, {99, 4}, {100, 5}};
  for (auto [levels, width] : plain) {
    SheetColumn* factor = sheet.addNumbers("f", {1}, ColumnType::Factor);
    factor->levelCount = levels;
    EXPECT_EQ(computeDisplayWidth(*factor), width) << levels;
  }
  SheetColumn* valued = sheet.addNumbers("v", {1, 2, 3}, ColumnType::Factor);
  valued->levelKind = 1;
  valued->levelCount = 3;
  testing::attachLevelValues(*valued, {10, 2.5, 1000.25});
  EXPECT_EQ(computeDisplayWidth(*valued), 8);

  SheetColumn* labelled = sheet.addNumbers("l", {1, 2}, ColumnType::Factor);
  labelled->levelKind = 2;
  labelled->levelCount = 2;
  testing::attachLabels(*labelled, {"ab", "abcdef"});
  EXPECT_EQ(computeDisplayWidth(*labelled), 7);
  EXPECT_EQ(labelled->labelWidth, 6);
}

TEST(DisplayWidth, NumbersAndDatesUseTheirTextForms) {
  testing::TestSheet sheet;
  SheetColumn* numbers = sheet.addNumbers("x", {1, 123.456, kMissingValueCode});
  EXPECT_EQ(computeDisplayWidth(*numbers), 8);
  numbers->formatKind = kFormatRowNumber;
  numbers->decimals = 2;
  EXPECT_EQ(computeDisplayWidth(*numbers), 7);  // "123.46"
  EXPECT_EQ(computeDisplayWidth(*sheet.addNumbers("m", {kMissingValueCode})), 3);

  // A date column sets the program's date layout before measuring.
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
