#include "sheet/sheet.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "sheet/checked_alloc.h"
#include "sheet/fixed_text.h"

namespace vodbc {

Sheet* currentSheet = nullptr;

namespace {

constexpr char kRowColumnName[] = "Row";

bool countsAsPinned(ColumnType type) {
  return type == ColumnType::RowNumber || type == ColumnType::PinnedNumeric ||
         type == ColumnType::PinnedText;
}

void freeColumn(SheetColumn* column) {
  releaseStorage(*column, StorageSlot::LevelValues);
  releaseStorage(*column, StorageSlot::LevelLabels);
  releaseStorage(*column, StorageSlot::Values);
  checkedDelete(column);
}

}  // namespace

Sheet* createSheet() {
  Sheet* sheet = checkedNew<Sheet>();
  sheet->settings = checkedNew<SheetSettings>();
  copySettingsForSheet(programSettings(), *sheet->settings);
  currentSheet = sheet;
  sheet->kind = 1;
  sheet->cursorIndex = -1;
  SheetColumn* row = addColumn(sheet, ColumnType::RowNumber, kRowColumnName, kNumericValueWidth);
  row->displayWidth = 4;
  return sheet;
}

void freeSheet(Sheet* sheet) {
  if (sheet == nullptr) return;
  for (SheetColumn* column = sheet->firstColumn; column != nullptr;) {
    SheetColumn* next = column->next;
    freeColumn(column);
    column = next;
  }
  std::free(sheet->notes);
  checkedDelete(sheet->settings);
  checkedDelete(sheet);
}

void discardCurrentSheet() {
  freeSheet(currentSheet);
  currentSheet = nullptr;
}

SheetColumn* addColumn(Sheet* sheet, ColumnType type, std::string_view name,
                       std::int32_t valueWidth) {
  if (sheet == nullptr || sheet->columnCount >= kMaxDataColumns) return nullptr;
  SheetColumn* column = checkedNew<SheetColumn>();
  column->type = type;
  column->sheet = sheet;
  copyCut(column->name, name.substr(0, name.find('\0')), kNameLength);
  column->serial = sheet->columnSerial++;
  column->decimals = -1;
  column->valueWidth = valueWidth;
  column->formatKind = kFormatPlain;
  column->refreshOnMark = 1;
  column->dateOption = sheet->settings->options[kDateOptionOption];
  column->dateFormat = sheet->settings->dateFormat;

  std::int32_t ahead = 0;
  SheetColumn* tail = nullptr;
  for (SheetColumn* c = sheet->firstColumn; c != nullptr; c = c->next) {
    tail = c;
    ++ahead;
  }
  column->prev = tail;
  if (tail != nullptr) {
    tail->next = column;
  } else {
    sheet->firstColumn = column;
  }
  column->position = ahead;
  sheet->lastColumn = column;

  if (type == ColumnType::RowNumber) {
    column->formatKind = kFormatRowNumber;
    column->decimals = 0;
  } else if (type == ColumnType::PinnedText || type == ColumnType::Text) {
    column->formatKind = kFormatText;
  }
  if (countsAsPinned(type)) ++sheet->pinnedCount;
  if (type != ColumnType::RowNumber) ++sheet->columnCount;
  return column;
}

bool createRowAttributes(Sheet* sheet) {
  if (sheet == nullptr || sheet->rowCount <= 0) return false;
  SheetColumn* row = sheet->firstColumn;
  releaseStorage(*row, StorageSlot::Values);
  allocateColumnValues(*row, sheet->rowCount);
  row->position = 0;
  row->decimals = 0;
  double number = 0;
  for (double& value : numericValues(*row)) value = ++number;
  row->displayWidth = sheet->rowCount > 10000 ? 6 : (sheet->rowCount > 1000 ? 5 : 4);
  return true;
}

void markColumnChanged(SheetColumn* column, bool alsoClearSeen) {
  if (column == nullptr) return;
  column->changed = 1;
  if (column->sheet == nullptr) return;
  // Only what changes is written: once a Sheet is marked, its columns may
  // be converted on different threads, each marking only itself.
  Sheet& sheet = *column->sheet;
  if (sheet.changed != 1) sheet.changed = 1;
  if (alsoClearSeen && sheet.changeSeen != 0) sheet.changeSeen = 0;
}

void markAllColumnsChanged(Sheet* sheet, bool force) {
  if (sheet == nullptr) return;
  std::int32_t left = sheet->columnCount + 1;
  for (SheetColumn* c = sheet->firstColumn; c != nullptr && left > 0; c = c->next, --left) {
    if (force || c->refreshOnMark != 0) markColumnChanged(c, true);
  }
}

void setSheetFileName(Sheet& sheet, std::string_view name) {
  copyCut(sheet.fileName, name, kPathLength);
}

double missingValueOf(const SheetColumn& column) {
  return column.sheet != nullptr ? column.sheet->missingValue : programMissingValue();
}

}  // namespace vodbc
