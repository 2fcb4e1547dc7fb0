#include "sheets/test_sheet.h"

#include <cstdlib>
#include <cstring>
#include <utility>

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
  for (double& value : numericValues(*column)) value = values[i++];
  return column;
}

SheetColumn* TestSheet::addTexts(std::string_view name, const std::vector<std::string>& texts,
                                 ColumnType type) {
  SheetColumn* column = addColumn(sheet_, type, name, kFetchedTextValueWidth);
  TextStorageBuilder storage(type, static_cast<std::int64_t>(texts.size()));
  for (const std::string& text : texts) storage.add(text);
  column->valueStorage = storage.finish();
  column->length = static_cast<std::int32_t>(texts.size());
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

void attachLevelValues(SheetColumn& column, const Numbers& values) {
  ColumnStorage storage =
      allocateStorage(ColumnType::LevelValues, static_cast<std::int64_t>(values.size()));
  std::size_t i = 0;
  for (double& value : numbersIn(storage)) value = values[i++];
  column.levelValueStorage = std::move(storage);
  column.levelValueCount = static_cast<std::int32_t>(values.size());
}

void attachLabels(SheetColumn& column, const Texts& labels) {
  TextStorageBuilder storage(ColumnType::LevelLabels, static_cast<std::int64_t>(labels.size()));
  for (const std::string& label : labels) storage.add(label);
  column.levelLabelStorage = storage.finish();
  column.levelLabelCount = static_cast<std::int32_t>(labels.size());
}

}  // namespace vodbc::testing
