// Helpers for the worksheet model's tests: a Sheet that frees itself,
// columns built from and read back into plain vectors, and the fixture the
// conversion tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "sheet/convert_column.h"
#include "sheet/sheet.h"

namespace vodbc::testing {

using Numbers = std::vector<double>;
using Texts = std::vector<std::string>;

// A fresh Sheet made from the default settings, with the missing-value code
// set as the fetch sets it; freed at the end of the test.
class TestSheet {
 public:
  TestSheet() {
    initWorksheetDefaults();
    sheet_ = createSheet();
    sheet_->missingValue = programMissingValue();
  }
  ~TestSheet() {
    if (currentSheet == sheet_) currentSheet = nullptr;
    freeSheet(sheet_);
  }
  TestSheet(const TestSheet&) = delete;
  TestSheet& operator=(const TestSheet&) = delete;

  Sheet* get() const { return sheet_; }
  Sheet* operator->() const { return sheet_; }

  SheetColumn* addNumbers(std::string_view name, const std::vector<double>& values,
                          ColumnType type = ColumnType::Numeric) {
    SheetColumn* column = addColumn(sheet_, type, name, kNumericValueWidth);
    allocateColumnValues(*column, static_cast<std::int32_t>(values.size()));
    std::size_t i = 0;
    for (NumericNode& node : numericValues(*column)) node.value = values[i++];
    return column;
  }

  SheetColumn* addTexts(std::string_view name, const std::vector<std::string>& texts,
                        ColumnType type = ColumnType::Text) {
    SheetColumn* column = addColumn(sheet_, type, name, kFetchedTextValueWidth);
    allocateColumnValues(*column, static_cast<std::int32_t>(texts.size()));
    std::size_t i = 0;
    for (TextNode& node : textValues(*column)) storeText(node, texts[i++]);
    return column;
  }

 private:
  Sheet* sheet_;
};

inline std::vector<double> valuesOf(const SheetColumn& column) {
  std::vector<double> values;
  for (const NumericNode& node : numericValues(column)) values.push_back(node.value);
  return values;
}

inline std::vector<std::string> textsOf(const SheetColumn& column) {
  std::vector<std::string> texts;
  for (const TextNode& node : textValues(column)) texts.emplace_back(node.text);
  return texts;
}

inline std::vector<double> levelValuesOf(const SheetColumn& column) {
  std::vector<double> values;
  for (const NumericNode& node : levelValues(column)) values.push_back(node.value);
  return values;
}

inline std::vector<std::string> labelsOf(const SheetColumn& column) {
  std::vector<std::string> labels;
  for (const TextNode& node : levelLabels(column)) labels.emplace_back(node.text);
  return labels;
}

// Gives a factor column the level values or labels it names its codes by.
inline void attachLevelValues(SheetColumn& column, const Numbers& values) {
  const ColumnStorage storage =
      allocateStorage(ColumnType::LevelValues, static_cast<std::int64_t>(values.size()));
  std::size_t i = 0;
  for (StorageNode* n = storage.first; n != nullptr; n = n->next) {
    static_cast<NumericNode*>(n)->value = values[i++];
  }
  column.levelValueStorage = storage;
  column.levelValueCount = static_cast<std::int32_t>(values.size());
}

inline void attachLabels(SheetColumn& column, const Texts& labels) {
  const ColumnStorage storage =
      allocateStorage(ColumnType::LevelLabels, static_cast<std::int64_t>(labels.size()));
  std::size_t i = 0;
  for (StorageNode* n = storage.first; n != nullptr; n = n->next) {
    storeText(*static_cast<TextNode*>(n), labels[i++], kLabelWidth);
  }
  column.levelLabelStorage = storage;
  column.levelLabelCount = static_cast<std::int32_t>(labels.size());
}

// A sheet for one conversion test; a lowered collection limit never leaks
// into the next test.
class ConversionTest : public ::testing::Test {
 protected:
  void TearDown() override { setCollectionByteLimitForTesting(0); }
  TestSheet sheet;
};

}  // namespace vodbc::testing
