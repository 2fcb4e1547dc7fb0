#include "sheet/convert_column.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/sheet.h"
#include "sheet/sheet_test_support.h"
#include "sheet/value_format.h"

namespace vodbc {
namespace {

using testing::labelsOf;
using testing::levelValuesOf;
using testing::TestSheet;
using testing::textsOf;
using testing::valuesOf;
using Numbers = std::vector<double>;
using Texts = std::vector<std::string>;

constexpr double M = -9.999999999999998E36;  // the missing-value code

class ToNumberTest : public ::testing::Test {
 protected:
  void TearDown() override { setCollectionByteLimitForTesting(0); }
  TestSheet sheet;
};

TEST_F(ToNumberTest, FactorToNumeric) {
  SheetColumn* valued = sheet.addNumbers("v", {10, 20, 10});
  ASSERT_TRUE(numericToFactor(*valued, true));
  // Codes beyond the list and below 1 stay; 2.7 counts as level 2.
  std::vector<double> codes{1, 2, M, 3, 0.5, 2.7};
  SheetColumn* column = sheet.addNumbers("f", codes, ColumnType::Factor);
  column->levelValuesFirst = valued->levelValuesFirst;
  column->levelValueBlockTable = valued->levelValueBlockTable;
  column->levelValueBlockCount = valued->levelValueBlockCount;
  column->levelValueCount = 2;
  column->levelKind = 1;
  valued->levelValuesFirst = nullptr;
  valued->levelValueBlockTable = nullptr;
  valued->levelValueBlockCount = 0;
  valued->levelValueCount = 0;
  ASSERT_TRUE(factorToNumeric(*column, true));
  EXPECT_EQ(valuesOf(*column), (Numbers{10, 20, M, 3, 0.5, 20}));
  EXPECT_EQ(column->type, ColumnType::Numeric);
  EXPECT_EQ(column->valueWidth, 25);
  EXPECT_EQ(column->levelValueCount, 0);
  EXPECT_EQ(column->levelValuesFirst, nullptr);

  SheetColumn* labelled = sheet.addTexts("l", {"x", "y", "x"});
  ASSERT_TRUE(textToFactor(*labelled, true, true, true));
  ASSERT_TRUE(factorToNumeric(*labelled, true));
  EXPECT_EQ(valuesOf(*labelled), (Numbers{1, 2, 1}));
  EXPECT_EQ(labelled->formatKind, 1);
  EXPECT_EQ(labelled->levelLabelCount, 0);
  EXPECT_EQ(labelled->levelLabelsFirst, nullptr);
}

TEST_F(ToNumberTest, TextToNumberAndDateTime) {
  SheetColumn* numbers = sheet.addTexts("n", {"12", "", "abc", "2e38", "$1,5"});
  numbers->levelCount = 4;
  ASSERT_TRUE(textToNumber(*numbers));
  EXPECT_EQ(valuesOf(*numbers), (Numbers{12, M, M, 9.99999E+37, 1.5}));
  EXPECT_EQ(numbers->type, ColumnType::Numeric);
  EXPECT_EQ(numbers->formatKind, 1);
  EXPECT_EQ(numbers->valueWidth, 25);
  EXPECT_EQ(numbers->decimals, -1);
  EXPECT_EQ(numbers->length, 5);

  SheetColumn* dates = sheet.addTexts("d", {"2001-12-25", "", "*", "2001-12-25 18:00:00"});
  ASSERT_TRUE(textToDateTime(*dates));
  EXPECT_EQ(valuesOf(*dates), (Numbers{37250, M, M, 37250.75}));
  EXPECT_EQ(dates->formatKind, 5);
  EXPECT_EQ(dates->dateFormat, 34);
  EXPECT_EQ(dates->valueWidth, 25);
}

}  // namespace
}  // namespace vodbc
