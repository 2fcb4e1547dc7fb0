#include "sheet/convert_column.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

using testing::Numbers;
using testing::textsOf;
using testing::Texts;
using testing::valuesOf;
using ConvertColumnTest = testing::ConversionTest;
const double M = kMissingValueCode;

TEST_F(ConvertColumnTest, WrongSourceTypeChangesNothing) {
  SheetColumn* text = sheet.addTexts("t", {"1"});
  SheetColumn* number = sheet.addNumbers("n", {1});
  SheetColumn* factor = sheet.addNumbers("f", {1}, ColumnType::Factor);
  const std::function<bool()> calls[] = {
      [&] { return numericToFactor(*text, true); }, [&] { return numericToText(*factor); },
      [&] { return textToFactor(*number, true, true, true); },
      [&] { return textToNumber(*number); }, [&] { return textToDateTime(*factor); },
      [&] { return factorToNumeric(*number, true); }, [&] { return factorToText(*text); },
      [&] { return pinNumeric(*text); }, [&] { return pinText(*number); },
      [&] { return unpinNumeric(*number); }, [&] { return unpinText(*text); }};
  for (std::size_t i = 0; i < std::size(calls); ++i) EXPECT_FALSE(calls[i]()) << "call " << i;
  EXPECT_EQ(std::tuple(text->type, number->type, factor->type),
            std::tuple(ColumnType::Text, ColumnType::Numeric, ColumnType::Factor));
  EXPECT_EQ(textsOf(*text), (Texts{"1"}));
  EXPECT_EQ(text->changed + number->changed + factor->changed + sheet->changed, 0);
}

TEST_F(ConvertColumnTest, NothingHappensWhenTheRequestIsVoid) {
  SheetColumn* column = sheet.addTexts("t", {"a"});
  convertColumn(column, ColumnType::Text, ColumnType::Text, true, true, true);
  EXPECT_EQ(column->changed, 0);
  for (std::uint16_t* lock : {&column->locked, &sheet->locked}) {
    *lock = 1;
    convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
    *lock = 0;
  }
  convertColumn(nullptr, ColumnType::Text, ColumnType::Factor, true, true, true);
  Sheet* owner = column->sheet;
  column->sheet = nullptr;
  convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
  column->sheet = owner;
  EXPECT_EQ(column->type, ColumnType::Text);
  EXPECT_EQ(column->changed + sheet->changed, 0);
}

TEST_F(ConvertColumnTest, DispatchByPairAndUnhandledPairsOnlyMarkTheColumn) {
  using T = ColumnType;
  struct Case {
    ColumnType type, from, to, result;
  };
  const Case cases[] = {
      {T::Text, T::Text, T::Factor, T::Factor},  {T::Text, T::Text, T::Numeric, T::Numeric},
      {T::Numeric, T::Numeric, T::Factor, T::Factor},
      {T::Numeric, T::Numeric, T::Text, T::Text}, {T::Numeric, T::Numeric, T{8}, T{8}},
      {T{5}, T{5}, T::Numeric, T::Numeric},       {T{1}, T{1}, T::Factor, T::Factor},
      {T{8}, T{8}, T{5}, T{5}},                   {T::Factor, T::Factor, T::Text, T::Text},
      {T::Factor, T::Factor, T::Numeric, T::Numeric},
      // Unhandled: the column keeps its type and values.
      {T::Numeric, T{9}, T::Text, T::Numeric},    {T::Numeric, T::RowNumber, T::Text, T::Numeric},
      {T::Numeric, T{-2}, T::Factor, T::Numeric}, {T::Numeric, T::Numeric, T{7}, T::Numeric},
      {T::Factor, T::Factor, T{5}, T::Factor},
      // The caller's belief is checked against the real type.
      {T::Numeric, T::Text, T::Factor, T::Numeric}, {T::Text, T::Factor, T::Numeric, T::Text},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(code(c.from)) + "->" + std::to_string(code(c.to)));
    const bool text = holdsTextNodes(c.type);
    SheetColumn* column =
        text ? sheet.addTexts("x", {"1", "2"}) : sheet.addNumbers("x", {1, 2}, c.type);
    sheet->changeSeen = 1;
    convertColumn(column, c.from, c.to, true, true, true);
    EXPECT_EQ(column->type, c.result);
    EXPECT_EQ(column->changed, 1);
    EXPECT_EQ(sheet->changeSeen, 0);
    if (c.result == c.type && text) {
      EXPECT_EQ(textsOf(*column), (Texts{"1", "2"}));
    } else if (c.result == c.type) {
      EXPECT_EQ(valuesOf(*column), (Numbers{1, 2}));
    }
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
  auto convert = [](SheetColumn* column, ColumnType from, ColumnType to) {
    convertColumn(column, from, to, true, true, true);
  };
  // Type, place and format of a column, and the sheet's pinned count.
  auto state = [&](const SheetColumn* c) {
    return std::tuple(c->type, c->position, c->formatKind, sheet->pinnedCount);
  };
  convert(text, ColumnType::Text, ColumnType::PinnedText);
  EXPECT_EQ(state(text), std::tuple(ColumnType::PinnedText, 1, 4, 2));
  EXPECT_EQ(first->position, 2);

  // A second pinned column is refused, but the column is still marked.
  convert(number, ColumnType::Numeric, ColumnType::PinnedNumeric);
  EXPECT_EQ(state(number), std::tuple(ColumnType::Numeric, 3, 1, 2));
  EXPECT_EQ(number->changed, 1);

  // Back to plain text, then to a factor, keeping its place.
  convert(text, ColumnType::PinnedText, ColumnType::Factor);
  EXPECT_EQ(state(text), std::tuple(ColumnType::Factor, 1, 4, 1));

  // Factor to pinned number: converted, then moved in front.
  convert(number, ColumnType::Numeric, ColumnType::Factor);
  convert(number, ColumnType::Factor, ColumnType::PinnedNumeric);
  EXPECT_EQ(state(number), std::tuple(ColumnType::PinnedNumeric, 1, 1, 2));
  EXPECT_EQ(valuesOf(*number), (Numbers{1}));  // codes, not level values

  convert(number, ColumnType::PinnedNumeric, ColumnType::Text);
  EXPECT_EQ(state(number), std::tuple(ColumnType::Text, 1, 4, 1));
  EXPECT_EQ(textsOf(*number), (Texts{"1"}));
  convert(number, ColumnType::Text, ColumnType::PinnedNumeric);
  EXPECT_EQ(number->type, ColumnType::PinnedNumeric);
  convert(number, ColumnType::PinnedNumeric, ColumnType::Numeric);
  EXPECT_EQ(state(number), std::tuple(ColumnType::Numeric, 1, 1, 1));
}

TEST_F(ConvertColumnTest, FactorToNumeric) {
  // Codes beyond the list and below 1 stay; 2.7 counts as level 2.
  SheetColumn* column = sheet.addNumbers("f", {1, 2, M, 3, 0.5, 2.7}, ColumnType::Factor);
  column->levelKind = 1;
  testing::attachLevelValues(*column, {10, 20});
  ASSERT_TRUE(factorToNumeric(*column, true));
  EXPECT_EQ(valuesOf(*column), (Numbers{10, 20, M, 3, 0.5, 20}));
  EXPECT_EQ(std::tuple(column->type, column->valueWidth, column->levelValueCount),
            std::tuple(ColumnType::Numeric, 25, 0));
  EXPECT_EQ(column->levelValuesFirst, nullptr);

  SheetColumn* labelled = sheet.addTexts("l", {"x", "y", "x"});
  ASSERT_TRUE(textToFactor(*labelled, true, true, true));
  ASSERT_TRUE(factorToNumeric(*labelled, true));
  EXPECT_EQ(valuesOf(*labelled), (Numbers{1, 2, 1}));
  EXPECT_EQ(std::tuple(labelled->formatKind, labelled->levelLabelCount), std::tuple(1, 0));
  EXPECT_EQ(labelled->levelLabelsFirst, nullptr);
}

TEST_F(ConvertColumnTest, TextToNumberAndDateTime) {
  SheetColumn* numbers = sheet.addTexts("n", {"12", "", "abc", "2e38", "$1,5"});
  numbers->levelCount = 4;
  ASSERT_TRUE(textToNumber(*numbers));
  EXPECT_EQ(valuesOf(*numbers), (Numbers{12, M, M, 9.99999E+37, 1.5}));
  EXPECT_EQ(std::tuple(numbers->type, numbers->formatKind, numbers->valueWidth,
                       numbers->decimals, numbers->length),
            std::tuple(ColumnType::Numeric, 1, 25, -1, 5));

  SheetColumn* dates = sheet.addTexts("d", {"2001-12-25", "", "*", "2001-12-25 18:00:00"});
  ASSERT_TRUE(textToDateTime(*dates));
  EXPECT_EQ(valuesOf(*dates), (Numbers{37250, M, M, 37250.75}));
  EXPECT_EQ(std::tuple(dates->formatKind, dates->dateFormat, dates->valueWidth),
            std::tuple(5, 34, 25));
}

TEST_F(ConvertColumnTest, NumericToText) {
  SheetColumn* numbers = sheet.addNumbers("n", {1.5, M, 1234567});
  ASSERT_TRUE(numericToText(*numbers));
  EXPECT_EQ(textsOf(*numbers), (Texts{"1.5", "", "1.23457e+06"}));
  EXPECT_EQ(std::tuple(numbers->type, numbers->levelCount, numbers->formatKind,
                       numbers->valueWidth),
            std::tuple(ColumnType::Text, 11, 4, 81));

  setDateFormat(1);
  SheetColumn* dates = sheet.addNumbers("d", {37000.4375});
  dates->formatKind = kFormatDateTime;
  dates->dateFormat = 34;
  ASSERT_TRUE(numericToText(*dates));
  EXPECT_EQ(textsOf(*dates), (Texts{"2001-04-19 10:30:00"}));
  EXPECT_EQ(dateFormat(), 34);
  setDateFormat(1);
}

TEST_F(ConvertColumnTest, FactorToTextByLevelKind) {
  SheetColumn* plain = sheet.addNumbers("p", {1, 2, M});
  ASSERT_TRUE(numericToFactor(*plain, true));
  ASSERT_TRUE(factorToText(*plain));
  EXPECT_EQ(textsOf(*plain), (Texts{"1", "2", ""}));
  EXPECT_EQ(plain->levelCount, 1);

  // Level k is the smallest whole number >= 1 and >= the code; a code
  // beyond the list gives the missing text form.
  SheetColumn* valued = sheet.addNumbers("v", {3, 1.2, 0.3}, ColumnType::Factor);
  valued->levelKind = 1;
  testing::attachLevelValues(*valued, {10.5, 20});
  ASSERT_TRUE(factorToText(*valued));
  EXPECT_EQ(textsOf(*valued), (Texts{"*", "20", "10.5"}));
  EXPECT_EQ(valued->levelValueCount, 0);

  SheetColumn* labelled = sheet.addTexts("l", {"b", "A", "b"});
  ASSERT_TRUE(textToFactor(*labelled, true, true, true));
  numericValues(*labelled).begin()->value = 3;  // beyond the labels
  ASSERT_TRUE(factorToText(*labelled));
  EXPECT_EQ(textsOf(*labelled), (Texts{"", "A", "b"}));
  EXPECT_EQ(std::tuple(labelled->levelLabelCount, labelled->levelCount, labelled->valueWidth),
            std::tuple(0, 1, 81));
}

}  // namespace
}  // namespace vodbc
