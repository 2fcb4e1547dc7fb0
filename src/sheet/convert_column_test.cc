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

class ConvertColumnTest : public ::testing::Test {
 protected:
  void TearDown() override { setCollectionByteLimitForTesting(0); }
  TestSheet sheet;
};

TEST_F(ConvertColumnTest, WrongSourceTypeChangesNothing) {
  SheetColumn* text = sheet.addTexts("t", {"1"});
  SheetColumn* number = sheet.addNumbers("n", {1});
  SheetColumn* factor = sheet.addNumbers("f", {1}, ColumnType::Factor);
  EXPECT_FALSE(numericToFactor(*text, true));
  EXPECT_FALSE(numericToText(*factor));
  EXPECT_FALSE(textToFactor(*number, true, true, true));
  EXPECT_FALSE(textToNumber(*number));
  EXPECT_FALSE(textToDateTime(*factor));
  EXPECT_FALSE(factorToNumeric(*number, true));
  EXPECT_FALSE(factorToText(*text));
  EXPECT_FALSE(pinNumeric(*text));
  EXPECT_FALSE(pinText(*number));
  EXPECT_FALSE(unpinNumeric(*number));
  EXPECT_FALSE(unpinText(*text));
  EXPECT_EQ(text->type, ColumnType::Text);
  EXPECT_EQ(number->type, ColumnType::Numeric);
  EXPECT_EQ(factor->type, ColumnType::Factor);
  EXPECT_EQ(textsOf(*text), (Texts{"1"}));
  EXPECT_EQ(text->changed + number->changed + factor->changed, 0);
  EXPECT_EQ(sheet->changed, 0);
}


TEST_F(ConvertColumnTest, NothingHappensWhenTheRequestIsVoid) {
  SheetColumn* column = sheet.addTexts("t", {"a"});
  convertColumn(column, ColumnType::Text, ColumnType::Text, true, true, true);
  EXPECT_EQ(column->changed, 0);

  column->locked = 1;
  convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
  EXPECT_EQ(column->type, ColumnType::Text);
  EXPECT_EQ(column->changed, 0);
  column->locked = 0;

  sheet->locked = 1;
  convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
  EXPECT_EQ(column->type, ColumnType::Text);
  EXPECT_EQ(column->changed, 0);
  EXPECT_EQ(sheet->changed, 0);
  sheet->locked = 0;

  convertColumn(nullptr, ColumnType::Text, ColumnType::Factor, true, true, true);
  Sheet* owner = column->sheet;
  column->sheet = nullptr;
  convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
  column->sheet = owner;
  EXPECT_EQ(column->type, ColumnType::Text);
  EXPECT_EQ(column->changed, 0);
}

TEST_F(ConvertColumnTest, UnhandledPairsOnlyMarkTheColumn) {
  struct Case {
    ColumnType type, from, to;
  };
  const Case cases[] = {
      {ColumnType::Numeric, ColumnType{9}, ColumnType::Text},
      {ColumnType::Numeric, ColumnType::RowNumber, ColumnType::Text},
      {ColumnType::Numeric, ColumnType{-2}, ColumnType::Factor},
      {ColumnType::Numeric, ColumnType::Numeric, ColumnType{7}},
      {ColumnType::Factor, ColumnType::Factor, ColumnType{5}},
      // The caller's belief is checked against the real type.
      {ColumnType::Numeric, ColumnType::Text, ColumnType::Factor},
      {ColumnType::Text, ColumnType::Factor, ColumnType::Numeric},
  };
  for (const Case& c : cases) {
    const bool text = holdsTextNodes(c.type);
    SheetColumn* column = text ? sheet.addTexts("x", {"1", "2"})
                               : sheet.addNumbers("x", {1, 2}, c.type);
    sheet->changeSeen = 1;
    convertColumn(column, c.from, c.to, true, true, true);
    EXPECT_EQ(column->type, c.type) << code(c.from) << "->" << code(c.to);
    if (text) {
      EXPECT_EQ(textsOf(*column), (Texts{"1", "2"}));
    } else {
      EXPECT_EQ(valuesOf(*column), (Numbers{1, 2}));
    }
    EXPECT_EQ(column->changed, 1);
    EXPECT_EQ(sheet->changeSeen, 0);
  }
}

TEST_F(ConvertColumnTest, DispatchByPair) {
  struct Case {
    ColumnType type, from, to, result;
  };
  const Case cases[] = {
      {ColumnType::Text, ColumnType::Text, ColumnType::Factor, ColumnType::Factor},
      {ColumnType::Text, ColumnType::Text, ColumnType::Numeric, ColumnType::Numeric},
      {ColumnType::Numeric, ColumnType::Numeric, ColumnType::Factor, ColumnType::Factor},
      {ColumnType::Numeric, ColumnType::Numeric, ColumnType::Text, ColumnType::Text},
      {ColumnType::Numeric, ColumnType::Numeric, ColumnType{8}, ColumnType{8}},
      {ColumnType{5}, ColumnType{5}, ColumnType::Numeric, ColumnType::Numeric},
      {ColumnType{1}, ColumnType{1}, ColumnType::Factor, ColumnType::Factor},
      {ColumnType{8}, ColumnType{8}, ColumnType{5}, ColumnType{5}},
      {ColumnType::Factor, ColumnType::Factor, ColumnType::Text, ColumnType::Text},
      {ColumnType::Factor, ColumnType::Factor, ColumnType::Numeric, ColumnType::Numeric},
  };
  for (const Case& c : cases) {
    SheetColumn* column = holdsTextNodes(c.type) ? sheet.addTexts("x", {"1", "2"})
                                                 : sheet.addNumbers("x", {1, 2}, c.type);
    convertColumn(column, c.from, c.to, true, true, true);
    EXPECT_EQ(column->type, c.result) << code(c.from) << "->" << code(c.to);
  }
}

TEST_F(ConvertColumnTest, FactorToNumericUsesLevelValuesOnlyWhenItHasThem) {
  SheetColumn* valued = sheet.addNumbers("v", {10, 20});
  convertColumn(valued, ColumnType::Numeric, ColumnType::Factor, true, true, true);
  convertColumn(valued, ColumnType::Factor, ColumnType::Numeric, true, true, true);
  EXPECT_EQ(valuesOf(*valued), (Numbers{10, 20}));

  SheetColumn* labelled = sheet.addTexts("l", {"b", "a"});
  convertColumn(labelled, ColumnType::Text, ColumnType::Factor, true, true, true);
  convertColumn(labelled, ColumnType::Factor, ColumnType::Numeric, true, true, true);
  EXPECT_EQ(valuesOf(*labelled), (Numbers{2, 1}));
}

TEST_F(ConvertColumnTest, PinningAndUnpinning) {
  SheetColumn* first = sheet.addNumbers("a", {1});
  SheetColumn* text = sheet.addTexts("t", {"x"});
  SheetColumn* number = sheet.addNumbers("n", {5});

  convertColumn(text, ColumnType::Text, ColumnType::PinnedText, true, true, true);
  EXPECT_EQ(text->type, ColumnType::PinnedText);
  EXPECT_EQ(text->position, 1);
  EXPECT_EQ(first->position, 2);
  EXPECT_EQ(text->formatKind, 4);
  EXPECT_EQ(sheet->pinnedCount, 2);

  // A second pinned column is refused, but the column is still marked.
  convertColumn(number, ColumnType::Numeric, ColumnType::PinnedNumeric, true, true, true);
  EXPECT_EQ(number->type, ColumnType::Numeric);
  EXPECT_EQ(number->position, 3);
  EXPECT_EQ(number->changed, 1);
  EXPECT_EQ(sheet->pinnedCount, 2);

  // Back to plain text, then to a factor, keeping its place.
  convertColumn(text, ColumnType::PinnedText, ColumnType::Factor, true, true, true);
  EXPECT_EQ(text->type, ColumnType::Factor);
  EXPECT_EQ(text->position, 1);
  EXPECT_EQ(sheet->pinnedCount, 1);

  // Factor to pinned number: converted, then moved in front.
  convertColumn(number, ColumnType::Numeric, ColumnType::Factor, true, true, true);
  convertColumn(number, ColumnType::Factor, ColumnType::PinnedNumeric, true, true, true);
  EXPECT_EQ(number->type, ColumnType::PinnedNumeric);
  EXPECT_EQ(number->position, 1);
  EXPECT_EQ(number->formatKind, 1);
  EXPECT_EQ(valuesOf(*number), (Numbers{1}));  // codes, not level values
  EXPECT_EQ(sheet->pinnedCount, 2);

  convertColumn(number, ColumnType::PinnedNumeric, ColumnType::Text, true, true, true);
  EXPECT_EQ(number->type, ColumnType::Text);
  EXPECT_EQ(textsOf(*number), (Texts{"1"}));
  EXPECT_EQ(sheet->pinnedCount, 1);

  convertColumn(number, ColumnType::Text, ColumnType::PinnedNumeric, true, true, true);
  EXPECT_EQ(number->type, ColumnType::PinnedNumeric);
  convertColumn(number, ColumnType::PinnedNumeric, ColumnType::Numeric, true, true, true);
  EXPECT_EQ(number->type, ColumnType::Numeric);
  EXPECT_EQ(number->position, 1);
  EXPECT_EQ(sheet->pinnedCount, 1);
}

}  // namespace
}  // namespace vodbc
