#include "sheet/convert_column.h"

#include "sheet/sheet.h"

namespace vodbc {
namespace {

// Each step of a pair checks the column's real type itself and does nothing
// when it does not match, so the steps run one after the other regardless of
// the result of the one before.

bool isNumericAlias(ColumnType type) {
  const std::int32_t c = code(type);
  return c == 1 || c == 4 || c == 5 || c == 8;
}

bool mayPin(const SheetColumn& column) { return column.sheet->pinnedCount <= 1; }

void convertFromPinnedNumeric(SheetColumn& column, ColumnType to, bool sortLevels) {
  switch (to) {
    case ColumnType::Factor:
      unpinNumeric(column);
      numericToFactor(column, sortLevels);
      break;
    case ColumnType::Text:
      unpinNumeric(column);
      numericToText(column);
      break;
    case ColumnType::Numeric:
      unpinNumeric(column);
      break;
    default:
      break;
  }
}

void convertFromPinnedText(SheetColumn& column, ColumnType to, bool ignoreCase,
                           bool normaliseSpaces, bool sortLevels) {
  switch (to) {
    case ColumnType::Factor:
      unpinText(column);
      textToFactor(column, ignoreCase, normaliseSpaces, sortLevels);
      break;
    case ColumnType::Text:
      unpinText(column);
      break;
    case ColumnType::Numeric:
      unpinText(column);
      textToNumber(column);
      break;
    default:
      break;
  }
}

void convertFromNumeric(SheetColumn& column, ColumnType to, bool sortLevels) {
  // Codes 1, 5 and 8 hold plain numbers too; they become Numeric first.
  if (code(column.type) == 1 || code(column.type) == 5 || code(column.type) == 8) {
    column.type = ColumnType::Numeric;
  }
  switch (code(to)) {
    case -4:
      if (mayPin(column)) pinNumeric(column);
      break;
    case 2:
      numericToFactor(column, sortLevels);
      break;
    case 3:
      numericToText(column);
      break;
    case 5:
    case 8:
      if (column.type == ColumnType::Numeric) column.type = to;
      break;
    default:
      break;
  }
}

void convertFromFactor(SheetColumn& column, ColumnType to) {
  switch (to) {
    case ColumnType::PinnedNumeric:
      if (mayPin(column)) {
        factorToNumeric(column, false);
        pinNumeric(column);
      }
      break;
    case ColumnType::PinnedText:
      if (mayPin(column)) {
        factorToText(column);
        pinText(column);
      }
      break;
    case ColumnType::Text:
      factorToText(column);
      break;
    case ColumnType::Numeric:
      factorToNumeric(column, column.levelKind != 0 && column.levelValueCount > 0);
      break;
    default:
      break;
  }
}

void convertFromText(SheetColumn& column, ColumnType to, bool ignoreCase, bool normaliseSpaces,
                     bool sortLevels) {
  switch (to) {
    case ColumnType::PinnedNumeric:
      if (mayPin(column)) {
        textToNumber(column);
        pinNumeric(column);
      }
      break;
    case ColumnType::PinnedText:
      if (mayPin(column)) pinText(column);
      break;
    case ColumnType::Factor:
      textToFactor(column, ignoreCase, normaliseSpaces, sortLevels);
      break;
    case ColumnType::Numeric:
      textToNumber(column);
      break;
    default:
      break;
  }
}

}  // namespace

void convertColumn(SheetColumn* column, ColumnType from, ColumnType to, bool ignoreCase,
                   bool normaliseSpaces, bool sortLevels) {
  if (column == nullptr || column->sheet == nullptr) return;
  if (column->sheet->locked != 0 || column->locked != 0 || from == to) return;
  markColumnChanged(column, true);
  if (code(from) < -4 || code(from) > 8) return;

  if (from == ColumnType::PinnedNumeric) {
    convertFromPinnedNumeric(*column, to, sortLevels);
  } else if (from == ColumnType::PinnedText) {
    convertFromPinnedText(*column, to, ignoreCase, normaliseSpaces, sortLevels);
  } else if (isNumericAlias(from)) {
    convertFromNumeric(*column, to, sortLevels);
  } else if (from == ColumnType::Factor) {
    convertFromFactor(*column, to);
  } else if (from == ColumnType::Text) {
    convertFromText(*column, to, ignoreCase, normaliseSpaces, sortLevels);
  }
}

}  // namespace vodbc
