#include "sheets/test_sheet.h"

#include <cstdlib>
#include <cstring>

#include "sheet/column_storage.h"
#include "sheet/worksheet_settings.h"

namespace vodbc::testing {

TestSheet::TestSheet() {
  initWorksheetDefaults();
  sheet_ = createSheet();
  sheet_->missingValue = programMissingValue();
}

TestSheet::TestSheet(std::int32_t rows) : TestSheet() {
  setSheetFileName(*sheet_, "ODBC.WOR");
  sheet_->rowCount = rows;
  if (rows > 0) createRowAttributes(sheet_);
}

TestSheet::~TestSheet() {
  if (currentSheet == sheet_) currentSheet = nullptr;
  freeSheet(sheet_);
}

SheetColumn* TestSheet::addNumbers(std::string_view name, const std::vector<double>& values,
                                   ColumnType type) {
  SheetColumn* column = addColumn(sheet_, type, name, kNumericValueWidth);
  allocateColumnValues(*column, static_cast<std::int32_t>(values.size()));
  std::size_t i = 0;
  for (NumericNode& node : numericValues(*column)) node.value = values[i++];
  return column;
}

SheetColumn* TestSheet::addTexts(std::string_view name, const std::vector<std::string>& texts,
                                 ColumnType type) {
  SheetColumn* column = addColumn(sheet_, type, name, kFetchedTextValueWidth);
  allocateColumnValues(*column, static_cast<std::int32_t>(texts.size()));
  std::size_t i = 0;
  for (TextNode& node : textValues(*column)) storeText(node, texts[i++]);
  return column;
}

void TestSheet::setNotes(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& line : lines) {
    all += line;
    all.push_back('\0');
  }
  std::free(sheet_->notes);
  sheet_->notes = static_cast<char*>(std::malloc(all.size() + 1));
  std::memcpy(sheet_->notes, all.data(), all.size());
  sheet_->notes[all.size()] = '\0';
  sheet_->noteCount = static_cast<std::int32_t>(lines.size());
  sheet_->notesLength = static_cast<std::int32_t>(all.size());
}

std::vector<double> valuesOf(const SheetColumn& column) {
  std::vector<double> values;
  for (const NumericNode& node : numericValues(column)) values.push_back(node.value);
  return values;
}

std::vector<std::string> textsOf(const SheetColumn& column) {
  std::vector<std::string> texts;
  for (const TextNode& node : textValues(column)) texts.emplace_back(node.text);
  return texts;
}

std::vector<double> levelValuesOf(const SheetColumn& column) {
  std::vector<double> values;
  for (const NumericNode& node : levelValues(column)) values.push_back(node.value);
  return values;
}

std::vector<std::string> labelsOf(const SheetColumn& column) {
  std::vector<std::string> labels;
  for (const TextNode& node : levelLabels(column)) labels.emplace_back(node.text);
  return labels;
}

void attachLevelValues(SheetColumn& column, const Numbers& values) {
  const ColumnStorage storage =
      allocateStorage(ColumnType::LevelValues, static_cast<std::int64_t>(values.size()));
  std::size_t i = 0;
  for (StorageNode* n = storage.first; n != nullptr; n = n->next) {
    static_cast<NumericNode*>(n)->value = values[i++];
  }
  column.levelValueStorage = storage;
  column.levelValueCount = static_cast<std::int32_t>(values.size());
}

void attachLabels(SheetColumn& column, const Texts& labels) {
  const ColumnStorage storage =
      allocateStorage(ColumnType::LevelLabels, static_cast<std::int64_t>(labels.size()));
  std::size_t i = 0;
  for (StorageNode* n = storage.first; n != nullptr; n = n->next) {
    storeText(*static_cast<TextNode*>(n), labels[i++], kLabelWidth);
  }
  column.levelLabelStorage = storage;
  column.levelLabelCount = static_cast<std::int32_t>(labels.size());
}

}  // namespace vodbc::testing
