#include "sheet/convert_column.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "sheet/names.h"
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

class ToFactorTest : public ::testing::Test {
 protected:
  void TearDown() override { setCollectionByteLimitForTesting(0); }
  TestSheet sheet;
};

TEST_F(ToFactorTest, NumericToFactor) {
  struct Case {
    const char* what;
    Numbers values;
    bool sort;
    Numbers codes;
    std::int32_t levelCount;
    std::int32_t levelKind;
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
    SheetColumn* column = sheet.addNumbers("n", c.values);
    column->formatKind = 3;
    ASSERT_TRUE(numericToFactor(*column, c.sort)) << c.what;
    EXPECT_EQ(column->type, ColumnType::Factor) << c.what;
    EXPECT_EQ(valuesOf(*column), c.codes) << c.what;
    EXPECT_EQ(column->levelCount, c.levelCount) << c.what;
    EXPECT_EQ(column->levelKind, c.levelKind) << c.what;
    EXPECT_EQ(levelValuesOf(*column), c.levels) << c.what;
    EXPECT_EQ(column->levelValueCount, static_cast<std::int32_t>(c.levels.size()));
    EXPECT_EQ(column->levelLabelCount, 0);
    EXPECT_EQ(column->levelLabelsFirst, nullptr);
    EXPECT_EQ(column->valueWidth, 41);
    EXPECT_EQ(column->formatKind, 3) << "formatKind stays";
    EXPECT_EQ(column->length, static_cast<std::int32_t>(c.values.size()));
    EXPECT_EQ(column->changed, 1);
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
      {"case kept apart", {"b", "A", "a"}, false, false, true, {"A", "a", "b"}, {3, 1, 2}},
      {"first met order", {"b", "A", "a", "b"}, false, false, false, {"b", "A", "a"},
       {1, 2, 3, 1}},
      {"first spelling wins", {"Yes", "YES", "yes"}, true, false, false, {"Yes"},
       {1, 1, 1}},
      {"folded sort", {"NEWARK", "NEW_YORK"}, true, false, true, {"NEW_YORK", "NEWARK"},
       {2, 1}},
      {"byte sort", {"NEWARK", "NEW_YORK"}, false, false, true, {"NEWARK", "NEW_YORK"},
       {1, 2}},
      {"bytes compare unsigned", {"\xE9t\xE9", "zebra"}, false, false, true,
       {"zebra", "\xE9t\xE9"}, {2, 1}},
      {"blanks kept", {"a b", "a  b", " "}, false, false, true, {" ", "a  b", "a b"},
       {3, 2, 1}},
      {"blanks normalised", {"a b", " a  b ", " "}, false, true, true, {"a b"},
       {1, 1, M}},
      {"labels cut to 40", {long45, other45}, false, false, true,
       {std::string(40, 'L')}, {1, 1}},
  };
  for (const Case& c : cases) {
    SheetColumn* column = sheet.addTexts("t", c.texts);
    ASSERT_TRUE(textToFactor(*column, c.ignoreCase, c.normalise, c.sort)) << c.what;
    EXPECT_EQ(column->type, ColumnType::Factor) << c.what;
    EXPECT_EQ(labelsOf(*column), c.labels) << c.what;
    EXPECT_EQ(valuesOf(*column), c.codes) << c.what;
    EXPECT_EQ(column->levelCount, static_cast<std::int32_t>(c.labels.size())) << c.what;
    EXPECT_EQ(column->levelKind, 2);
    EXPECT_EQ(column->formatKind, 4);
    EXPECT_EQ(column->valueWidth, 41);
    EXPECT_EQ(column->decimals, -1);
    EXPECT_EQ(column->levelValueCount, 0);
    EXPECT_EQ(column->levelValuesFirst, nullptr);
    std::size_t widest = 0;
    for (const std::string& label : c.labels) widest = std::max(widest, label.size());
    EXPECT_EQ(column->labelWidth, static_cast<std::int32_t>(widest)) << c.what;
  }
}

TEST_F(ToFactorTest, TextToFactorWithoutLabels) {
  SheetColumn* column = sheet.addTexts("t", {"", "   ", ""});
  ASSERT_TRUE(textToFactor(*column, true, true, true));
  EXPECT_EQ(valuesOf(*column), (Numbers{M, M, M}));
  EXPECT_EQ(column->levelCount, 2);
  EXPECT_EQ(column->levelKind, 0);
  EXPECT_EQ(column->formatKind, 1);
  EXPECT_EQ(column->labelWidth, 0);
  EXPECT_EQ(column->levelLabelCount, 0);
  EXPECT_EQ(column->levelLabelsFirst, nullptr);
}

TEST_F(ToFactorTest, FactorCollectionsOverTheLimitLeaveTheColumnAlone) {
  // Tables grow by 20 entries: 320 bytes hold 40 values of 8 bytes or 80
  // labels of 4 bytes.
  setCollectionByteLimitForTesting(320);
  Numbers forty;
  Texts eighty;
  for (int i = 1; i <= 80; ++i) {
    if (i <= 40) forty.push_back(i * 1.5);
    eighty.push_back("label" + std::to_string(i));
  }
  EXPECT_TRUE(numericToFactor(*sheet.addNumbers("ok", forty), true));
  EXPECT_TRUE(textToFactor(*sheet.addTexts("ok", eighty), true, true, true));

  Numbers fortyOne = forty;
  fortyOne.push_back(1000);
  SheetColumn* numbers = sheet.addNumbers("n", fortyOne);
  const StorageNode* numbersFirst = numbers->first;
  EXPECT_FALSE(numericToFactor(*numbers, true));
  EXPECT_EQ(numbers->type, ColumnType::Numeric);
  EXPECT_EQ(valuesOf(*numbers), fortyOne);
  EXPECT_EQ(numbers->first, numbersFirst);
  EXPECT_EQ(numbers->changed, 0);

  Texts eightyOne = eighty;
  eightyOne.push_back("one more");
  SheetColumn* texts = sheet.addTexts("t", eightyOne);
  EXPECT_FALSE(textToFactor(*texts, true, true, true));
  EXPECT_EQ(texts->type, ColumnType::Text);
  EXPECT_EQ(textsOf(*texts), eightyOne);
  EXPECT_EQ(texts->levelLabelCount, 0);
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
    std::string label = text;
    if (normalise) {
      normaliseBlanks(buffer, text.c_str(), 80);
      label = buffer;
    }
    return label.substr(0, 40);
  };
  auto same = [&](const std::string& a, const std::string& b) {
    return a == b || (ignoreCase && folded(a) == folded(b));
  };
  ScannedFactor result;
  for (const std::string& text : texts) {
    const std::string label = labelOf(text);
    if (label.empty()) continue;
    bool known = false;
    for (const std::string& l : result.labels) known = known || same(l, label);
    if (!known) result.labels.push_back(label);
  }
  if (sort && result.labels.size() >= 2) {
    std::sort(result.labels.begin(), result.labels.end(),
              [&](const std::string& a, const std::string& b) {
                return ignoreCase ? folded(a) < folded(b) : a < b;
              });
  }
  for (const std::string& text : texts) {
    const std::string label = labelOf(text);
    double code = M;
    for (std::size_t j = 0; j < result.labels.size() && !label.empty(); ++j) {
      if (same(result.labels[j], label)) {
        code = static_cast<double>(j + 1);
        break;
      }
    }
    result.codes.push_back(code);
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

TEST_F(ToFactorTest, NumericToFactorAgreesWithAPlainScan) {
  std::mt19937 random(7);
  const double pool[] = {3, -1, 0.0, -0.0, 2.5, 1e30, 7, M, -1e38, 4, 1, 2};
  Numbers values;
  for (int i = 0; i < 2000; ++i) values.push_back(pool[random() % 12]);
  for (bool sort : {false, true}) {
    Numbers distinct;
    for (double v : values) {
      if (v <= M) continue;
      if (std::find(distinct.begin(), distinct.end(), v) == distinct.end()) {
        distinct.push_back(v);
      }
    }
    if (sort) std::sort(distinct.begin(), distinct.end());
    Numbers codes;
    for (double v : values) {
      codes.push_back(v <= M ? v
                             : static_cast<double>(
                                   std::find(distinct.begin(), distinct.end(), v) -
                                   distinct.begin() + 1));
    }
    SheetColumn* column = sheet.addNumbers("n", values);
    ASSERT_TRUE(numericToFactor(*column, sort));
    EXPECT_EQ(valuesOf(*column), codes) << "sort " << sort;
    EXPECT_EQ(levelValuesOf(*column), distinct) << "sort " << sort;
  }
}

}  // namespace
}  // namespace vodbc
