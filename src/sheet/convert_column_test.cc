// Conversions between numeric, text and factor columns, one by one and
// through convertColumn's dispatch.
#include "sheet/convert_column.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <random>
#include <tuple>

#include "sheet/names.h"
#include "sheets/test_sheet.h"

namespace vodbc {
namespace {

using testing::labelsOf;
using testing::levelValuesOf;
using testing::Numbers;
using testing::Texts;
using testing::textsOf;
using testing::valuesOf;
using ConvertColumnTest = testing::ConversionTest;
using ToFactorTest = testing::ConversionTest;
const double M = kMissingValueCode;

TEST_F(ConvertColumnTest, WrongSourceTypeChangesNothing) {
  SheetColumn* text = sheet.addTexts("t", {"1"});
  SheetColumn* number = sheet.addNumbers("n", {1});
  SheetColumn* factor = sheet.addNumbers("f", {1}, ColumnType::Factor);
  const std::function<bool()> calls[] = {[&] { return numericToFactor(*text, true); },
                                         [&] { return numericToText(*factor); },
                                         [&] { return textToFactor(*number, true, true, true); },
                                         [&] { return textToNumber(*number); },
                                         [&] { return textToDateTime(*factor); },
                                         [&] { return factorToNumeric(*number, true); },
                                         [&] { return factorToText(*text); },
                                         [&] { return pinNumeric(*text); },
                                         [&] { return pinText(*number); },
                                         [&] { return unpinNumeric(*number); },
                                         [&] { return unpinText(*text); }};
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
      {T::Text, T::Text, T::Factor, T::Factor},
      {T::Text, T::Text, T::Numeric, T::Numeric},
      {T::Numeric, T::Numeric, T::Factor, T::Factor},
      {T::Numeric, T::Numeric, T::Text, T::Text},
      {T::Numeric, T::Numeric, T{8}, T{8}},
      {T{5}, T{5}, T::Numeric, T::Numeric},
      {T{1}, T{1}, T::Factor, T::Factor},
      {T{8}, T{8}, T{5}, T{5}},
      {T::Factor, T::Factor, T::Text, T::Text},
      {T::Factor, T::Factor, T::Numeric, T::Numeric},
      // Unhandled: the column keeps its type and values.
      {T::Numeric, T{9}, T::Text, T::Numeric},
      {T::Numeric, T::RowNumber, T::Text, T::Numeric},
      {T::Numeric, T{-2}, T::Factor, T::Numeric},
      {T::Numeric, T::Numeric, T{7}, T::Numeric},
      {T::Factor, T::Factor, T{5}, T::Factor},
      // The caller's belief is checked against the real type.
      {T::Numeric, T::Text, T::Factor, T::Numeric},
      {T::Text, T::Factor, T::Numeric, T::Text},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(code(c.from)) + "->" + std::to_string(code(c.to)));
    const bool text = holdsTexts(c.type);
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
  EXPECT_TRUE(column->levelValueStorage.empty());

  SheetColumn* labelled = sheet.addTexts("l", {"x", "y", "x"});
  ASSERT_TRUE(textToFactor(*labelled, true, true, true));
  ASSERT_TRUE(factorToNumeric(*labelled, true));
  EXPECT_EQ(valuesOf(*labelled), (Numbers{1, 2, 1}));
  EXPECT_EQ(std::tuple(labelled->formatKind, labelled->levelLabelCount), std::tuple(1, 0));
  EXPECT_TRUE(labelled->levelLabelStorage.empty());
}

TEST_F(ConvertColumnTest, TextToNumberAndDateTime) {
  SheetColumn* numbers = sheet.addTexts("n", {"12", "", "abc", "2e38", "$1,5"});
  numbers->levelCount = 4;
  ASSERT_TRUE(textToNumber(*numbers));
  EXPECT_EQ(valuesOf(*numbers), (Numbers{12, M, M, 9.99999E+37, 1.5}));
  EXPECT_EQ(std::tuple(numbers->type, numbers->formatKind, numbers->valueWidth, numbers->decimals,
                       numbers->length),
            std::tuple(ColumnType::Numeric, 1, 25, -1, 5));

  SheetColumn* dates = sheet.addTexts("d", {"2001-12-25", "", "*", "2001-12-25 18:00:00"});
  ASSERT_TRUE(textToDateTime(*dates));
  EXPECT_EQ(valuesOf(*dates), (Numbers{37250, M, M, 37250.75}));
  EXPECT_EQ(std::tuple(dates->formatKind, dates->dateFormat, dates->valueWidth),
            std::tuple(5, 34, 25));
}

// The fetch's road to a date column (texts handed over, never stored)
// must end exactly where storing them and converting does.
TEST_F(ConvertColumnTest, DatesFromHandedTextsMatchStoredTexts) {
  const Texts texts = {"2001-12-25", "", "*", "2001-12-25 18:00:00", "1899-12-30"};
  SheetColumn* stored = sheet.addTexts("s", texts);
  ASSERT_TRUE(textToDateTime(*stored));

  SheetColumn* handed = addColumn(sheet.get(), ColumnType::Text, "h", kFetchedTextValueWidth);
  ASSERT_NE(handed, nullptr);
  handed->length = static_cast<std::int32_t>(texts.size());
  std::size_t next = 0;
  ASSERT_TRUE(textsToDateTime(*handed, [&] { return std::string_view(texts[next++]); }));
  EXPECT_EQ(next, texts.size());
  EXPECT_EQ(valuesOf(*handed), valuesOf(*stored));
  EXPECT_EQ(std::tuple(handed->type, handed->formatKind, handed->dateFormat, handed->valueWidth,
                       handed->decimals, handed->length, handed->levelCount, handed->changed),
            std::tuple(stored->type, stored->formatKind, stored->dateFormat, stored->valueWidth,
                       stored->decimals, stored->length, stored->levelCount, stored->changed));
}

TEST_F(ConvertColumnTest, NumericToText) {
  SheetColumn* numbers = sheet.addNumbers("n", {1.5, M, 1234567});
  ASSERT_TRUE(numericToText(*numbers));
  EXPECT_EQ(textsOf(*numbers), (Texts{"1.5", "", "1.23457e+06"}));
  EXPECT_EQ(
      std::tuple(numbers->type, numbers->levelCount, numbers->formatKind, numbers->valueWidth),
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
  *numericValues(*labelled).begin() = 3;  // beyond the labels
  ASSERT_TRUE(factorToText(*labelled));
  EXPECT_EQ(textsOf(*labelled), (Texts{"", "A", "b"}));
  EXPECT_EQ(std::tuple(labelled->levelLabelCount, labelled->levelCount, labelled->valueWidth),
            std::tuple(0, 1, 81));
}

TEST_F(ToFactorTest, NumericToFactor) {
  struct Case {
    const char* what;
    Numbers values;
    bool sort;
    Numbers codes;
    std::int32_t levelCount, levelKind;
    Numbers levels;
  };
  const Case cases[] = {
      {"counting levels, sorted", {3, 1, 3, M, 2}, true, {3, 1, 3, M, 2}, 3, 0, {}},
      {"level values", {10, 20, 10}, true, {1, 2, 1}, 2, 1, {10, 20}},
      {"only missing", {M, -1e38}, true, {M, -1e38}, 2, 0, {}},
      {"first met order", {3, 1, 3, 2}, false, {1, 2, 1, 3}, 3, 1, {3, 1, 2}},
      {"already counting", {1, 2, 1, 3}, false, {1, 2, 1, 3}, 3, 0, {}},
      {"sorted descending input", {30, 20, 10}, true, {3, 2, 1}, 3, 1, {10, 20, 30}},
      {"zero and minus zero are one value", {0.0, -0.0, 5}, true, {1, 1, 2}, 2, 1, {0, 5}},
      {"negative values", {-2.5, 7, -2.5}, true, {1, 2, 1}, 2, 1, {-2.5, 7}},
      {"empty column", {}, true, {}, 2, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SheetColumn* column = sheet.addNumbers("n", c.values);
    column->formatKind = 3;  // stays
    ASSERT_TRUE(numericToFactor(*column, c.sort));
    EXPECT_EQ(valuesOf(*column), c.codes);
    EXPECT_EQ(levelValuesOf(*column), c.levels);
    EXPECT_EQ(std::tuple(column->type, column->levelCount, column->levelKind,
                         column->levelValueCount, column->levelLabelCount, column->valueWidth,
                         column->formatKind, column->length, column->changed),
              std::tuple(ColumnType::Factor, c.levelCount, c.levelKind,
                         static_cast<std::int32_t>(c.levels.size()), 0, 41, 3,
                         static_cast<std::int32_t>(c.values.size()), 1));
    EXPECT_TRUE(column->levelLabelStorage.empty());
  }
}

TEST_F(ToFactorTest, NumericToFactorSortsNotANumberLast) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  SheetColumn* column = sheet.addNumbers("n", {2, nan, 1, nan});
  ASSERT_TRUE(numericToFactor(*column, true));
  EXPECT_EQ(valuesOf(*column), (Numbers{2, 3, 1, 3}));
  EXPECT_EQ(column->levelCount, 3);
}

TEST_F(ToFactorTest, TextToFactor) {
  struct Case {
    const char* what;
    Texts texts;
    bool ignoreCase, normalise, sort;
    Texts labels;
    Numbers codes;
  };
  const std::string long45 = std::string(40, 'L') + "tail1";
  const std::string other45 = std::string(40, 'L') + "tail2";
  const Case cases[] = {
      {"all flags", {"b", "A", "a ", ""}, true, true, true, {"A", "b"}, {2, 1, 1, M}},
      {"first met order", {"b", "A", "a", "b"}, false, false, false, {"b", "A", "a"}, {1, 2, 3, 1}},
      {"first spelling wins", {"Yes", "YES", "yes"}, true, false, false, {"Yes"}, {1, 1, 1}},
      {"folded sort", {"NEWARK", "NEW_YORK"}, true, false, true, {"NEW_YORK", "NEWARK"}, {2, 1}},
      {"byte sort", {"NEWARK", "NEW_YORK"}, false, false, true, {"NEWARK", "NEW_YORK"}, {1, 2}},
      {"bytes compare unsigned",
       {"\xE9t\xE9", "zebra"},
       false,
       false,
       true,
       {"zebra", "\xE9t\xE9"},
       {2, 1}},
      {"a shared first eight bytes",
       {"abcdefghZ", "abcdefgh", "abcdefgh\xE9", "abcdefg"},
       false,
       false,
       true,
       {"abcdefg", "abcdefgh", "abcdefghZ", "abcdefgh\xE9"},
       {3, 2, 4, 1}},
      {"blanks normalised", {"a b", " a  b ", " "}, false, true, true, {"a b"}, {1, 1, M}},
      {"labels cut to 40", {long45, other45}, false, false, true, {std::string(40, 'L')}, {1, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SheetColumn* column = sheet.addTexts("t", c.texts);
    ASSERT_TRUE(textToFactor(*column, c.ignoreCase, c.normalise, c.sort));
    EXPECT_EQ(labelsOf(*column), c.labels);
    EXPECT_EQ(valuesOf(*column), c.codes);
    std::size_t widest = 0;
    for (const std::string& label : c.labels) widest = std::max(widest, label.size());
    EXPECT_EQ(std::tuple(column->type, column->levelCount, column->levelKind, column->formatKind,
                         column->valueWidth, column->decimals, column->levelValueCount,
                         column->labelWidth),
              std::tuple(ColumnType::Factor, static_cast<std::int32_t>(c.labels.size()), 2, 4, 41,
                         -1, 0, static_cast<std::int32_t>(widest)));
    EXPECT_TRUE(column->levelValueStorage.empty());
  }
}

TEST_F(ToFactorTest, TextToFactorWithoutLabels) {
  SheetColumn* column = sheet.addTexts("t", {"", "   ", ""});
  ASSERT_TRUE(textToFactor(*column, true, true, true));
  EXPECT_EQ(valuesOf(*column), (Numbers{M, M, M}));
  EXPECT_EQ(std::tuple(column->levelCount, column->levelKind, column->formatKind,
                       column->labelWidth, column->levelLabelCount),
            std::tuple(2, 0, 1, 0, 0));
  EXPECT_TRUE(column->levelLabelStorage.empty());
}

TEST_F(ToFactorTest, FactorCollectionsOverTheLimitLeaveTheColumnAlone) {
  // Tables grow by 20 entries: 320 bytes hold 40 values of 8 bytes or 80
  // labels of 4 bytes.
  setCollectionByteLimitForTesting(320);
  Numbers numbers;
  Texts texts;
  for (int i = 1; i <= 80; ++i) {
    if (i <= 40) numbers.push_back(i * 1.5);
    texts.push_back("label" + std::to_string(i));
  }
  EXPECT_TRUE(numericToFactor(*sheet.addNumbers("ok", numbers), true));
  EXPECT_TRUE(textToFactor(*sheet.addTexts("ok", texts), true, true, true));

  numbers.push_back(1000);
  SheetColumn* overNumbers = sheet.addNumbers("n", numbers);
  const void* numbersFirst = overNumbers->valueStorage.blocks().front().values;
  EXPECT_FALSE(numericToFactor(*overNumbers, true));
  EXPECT_EQ(valuesOf(*overNumbers), numbers);
  EXPECT_EQ(std::tuple(overNumbers->type, overNumbers->valueStorage.blocks().front().values,
                       overNumbers->changed),
            std::tuple(ColumnType::Numeric, numbersFirst, 0));

  texts.push_back("one more");
  SheetColumn* overTexts = sheet.addTexts("t", texts);
  EXPECT_FALSE(textToFactor(*overTexts, true, true, true));
  EXPECT_EQ(textsOf(*overTexts), texts);
  EXPECT_EQ(std::tuple(overTexts->type, overTexts->levelLabelCount),
            std::tuple(ColumnType::Text, 0));
}

// The levels and codes of a factor as a plain scan in the order values are
// first met finds them; the conversions must agree with it exactly.
struct ScannedFactor {
  Texts labels;
  Numbers codes;
};

std::string folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

ScannedFactor scanTexts(const Texts& texts, bool ignoreCase, bool normalise, bool sort) {
  auto labelOf = [&](const std::string& text) {
    char buffer[256];
    if (normalise) normaliseBlanks(buffer, text.c_str(), 80);
    return std::string(normalise ? buffer : text).substr(0, 40);
  };
  auto same = [&](const std::string& a, const std::string& b) {
    return a == b || (ignoreCase && folded(a) == folded(b));
  };
  ScannedFactor result;
  for (const std::string& text : texts) {
    const std::string label = labelOf(text);
    if (label.empty()) continue;
    if (std::none_of(result.labels.begin(), result.labels.end(),
                     [&](const std::string& l) { return same(l, label); })) {
      result.labels.push_back(label);
    }
  }
  if (sort && result.labels.size() >= 2) {
    std::sort(result.labels.begin(), result.labels.end(),
              [&](const std::string& a, const std::string& b) {
                return ignoreCase ? folded(a) < folded(b) : a < b;
              });
  }
  for (const std::string& text : texts) {
    const std::string label = labelOf(text);
    const auto at = std::find_if(result.labels.begin(), result.labels.end(),
                                 [&](const std::string& l) { return same(l, label); });
    const bool found = !label.empty() && at != result.labels.end();
    result.codes.push_back(found ? static_cast<double>(at - result.labels.begin() + 1) : M);
  }
  return result;
}

TEST_F(ToFactorTest, TextToFactorAgreesWithAPlainScan) {
  std::mt19937 random(20240601);
  const char* const pieces[] = {"a", "A", "b", "B", " ", "  ", "_", "z", "\xC4", "x y"};
  Texts texts;
  for (int i = 0; i < 3000; ++i) {
    std::string text;
    const int length = static_cast<int>(random() % 5);
    for (int j = 0; j < length; ++j) text += pieces[random() % 10];
    if (random() % 50 == 0) text = std::string(39, 'q') + text;  // near the cut
    texts.push_back(text);
  }
  for (int flags = 0; flags < 8; ++flags) {
    const bool ignoreCase = flags & 1, normalise = flags & 2, sort = flags & 4;
    SheetColumn* column = sheet.addTexts("t", texts);
    ASSERT_TRUE(textToFactor(*column, ignoreCase, normalise, sort));
    const ScannedFactor expected = scanTexts(texts, ignoreCase, normalise, sort);
    EXPECT_EQ(labelsOf(*column), expected.labels) << "flags " << flags;
    EXPECT_EQ(valuesOf(*column), expected.codes) << "flags " << flags;
  }
}

}  // namespace
}  // namespace vodbc
