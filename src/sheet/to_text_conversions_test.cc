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

class ToTextTest : public ::testing::Test {
 protected:
  void TearDown() override { setCollectionByteLimitForTesting(0); }
  TestSheet sheet;
};

TEST_F(ToTextTest, NumericToText) {
  SheetColumn* numbers = sheet.addNumbers("n", {1.5, M, 1234567});
  ASSERT_TRUE(numericToText(*numbers));
  EXPECT_EQ(textsOf(*numbers), (Texts{"1.5", "", "1.23457e+06"}));
  EXPECT_EQ(numbers->type, ColumnType::Text);
  EXPECT_EQ(numbers->levelCount, 11);
  EXPECT_EQ(numbers->formatKind, 4);
  EXPECT_EQ(numbers->valueWidth, 81);

  setDateFormat(1);
  SheetColumn* dates = sheet.addNumbers("d", {37000.4375});
  dates->formatKind = kFormatDateTime;
  dates->dateFormat = 34;
  ASSERT_TRUE(numericToText(*dates));
  EXPECT_EQ(textsOf(*dates), (Texts{"2001-04-19 10:30:00"}));
  EXPECT_EQ(dateFormat(), 34);
  setDateFormat(1);
}

TEST_F(ToTextTest, FactorToTextByLevelKind) {
  SheetColumn* plain = sheet.addNumbers("p", {1, 2, M});
  ASSERT_TRUE(numericToFactor(*plain, true));
  ASSERT_TRUE(factorToText(*plain));
  EXPECT_EQ(textsOf(*plain), (Texts{"1", "2", ""}));
  EXPECT_EQ(plain->levelCount, 1);

  // Level k is the smallest whole number >= 1 and >= the code.
  SheetColumn* valued = sheet.addNumbers("v", {10.5, 20, 10.5});
  ASSERT_TRUE(numericToFactor(*valued, true));
  for (NumericNode& node : numericValues(*valued)) node.value = 0;
  auto codes = numericValues(*valued).begin();
  (codes++)->value = 3;    // beyond the list: the missing text form
  (codes++)->value = 1.2;  // level 2
  codes->value = 0.3;      // level 1
  ASSERT_TRUE(factorToText(*valued));
  EXPECT_EQ(textsOf(*valued), (Texts{"*", "20", "10.5"}));
  EXPECT_EQ(valued->levelValueCount, 0);

  SheetColumn* labelled = sheet.addTexts("l", {"b", "A", "b"});
  ASSERT_TRUE(textToFactor(*labelled, true, true, true));
  numericValues(*labelled).begin()->value = 3;  // beyond the labels
  ASSERT_TRUE(factorToText(*labelled));
  EXPECT_EQ(textsOf(*labelled), (Texts{"", "A", "b"}));
  EXPECT_EQ(labelled->levelLabelCount, 0);
  EXPECT_EQ(labelled->levelCount, 1);
  EXPECT_EQ(labelled->valueWidth, 81);
}

}  // namespace
}  // namespace vodbc
