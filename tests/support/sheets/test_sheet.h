// Sheets for tests: a Sheet that frees itself, columns built from and read
// back into plain vectors, and the fixture the conversion tests share.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sheet/convert_column.h"
#include "sheet/sheet.h"

namespace vodbc::testing {

using Numbers = std::vector<double>;
using Texts = std::vector<std::string>;

// A Sheet made from the default settings, with the missing-value code set
// as the fetch sets it; freed at the end of the test (and no longer the
// current Sheet then).
class TestSheet {
 public:
  // A fresh sheet with no rows and no file name.
  TestSheet();
  // A sheet as the fetch leaves it: "ODBC.WOR", `rows` rows.
  explicit TestSheet(std::int32_t rows);
  ~TestSheet();
  TestSheet(const TestSheet&) = delete;
  TestSheet& operator=(const TestSheet&) = delete;

  Sheet* get() const { return sheet_; }
  Sheet* operator->() const { return sheet_; }

  SheetColumn* addNumbers(std::string_view name, const std::vector<double>& values,
                          ColumnType type = ColumnType::Numeric);
  SheetColumn* addTexts(std::string_view name, const std::vector<std::string>& texts,
                        ColumnType type = ColumnType::Text);
  // The first note line becomes the title.
  void setNotes(const std::vector<std::string>& lines);

 private:
  Sheet* sheet_;
};

// The values of any storage range (numericValues, textsIn, ...) as plain
// vectors a test can compare.
template <class Range>
std::vector<double> numbersFrom(const Range& range) {
  return std::vector<double>(range.begin(), range.end());
}
template <class Range>
std::vector<std::string> textsFrom(const Range& range) {
  std::vector<std::string> texts;
  for (const char* text : range) texts.emplace_back(text);
  return texts;
}

inline std::vector<double> valuesOf(const SheetColumn& column) {
  return numbersFrom(numericValues(column));
}
inline std::vector<std::string> textsOf(const SheetColumn& column) {
  return textsFrom(textValues(column));
}
inline std::vector<double> levelValuesOf(const SheetColumn& column) {
  return numbersFrom(levelValues(column));
}
inline std::vector<std::string> labelsOf(const SheetColumn& column) {
  return textsFrom(levelLabels(column));
}

// Gives a factor column the level values or labels it names its codes by.
void attachLevelValues(SheetColumn& column, const Numbers& values);
void attachLabels(SheetColumn& column, const Texts& labels);

// A sheet for one conversion test; a lowered collection limit never leaks
// into the next test.
class ConversionTest : public ::testing::Test {
 protected:
  void TearDown() override { setCollectionByteLimitForTesting(0); }
  TestSheet sheet;
};

}  // namespace vodbc::testing
