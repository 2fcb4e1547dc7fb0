// Conversions whose result is a Numeric column: from text (numbers or
// timestamps) and from a factor.
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "sheet/conversion_support.h"
#include "sheet/convert_column.h"
#include "sheet/sheet.h"
#include "sheet/value_parse.h"

namespace vodbc {
namespace {

// Builds numeric storage with `parse` from the texts that `texts` hands,
// in row order, to the callback it is given (which answers false once it
// wants no more), installs it and makes the column Numeric.
template <class Parse, class Texts>
bool textToNumeric(SheetColumn& column, Parse parse, Texts texts) {
  if (column.type != ColumnType::Text) return false;
  const double missing = missingValueOf(column);
  ColumnStorage storage = allocateStorage(ColumnType::Numeric, column.length);
  const NumberRange values = numbersIn(storage);
  NumberRange::iterator out = values.begin();
  texts([&](std::string_view text) {
    if (out == values.end()) return false;
    *out = text.empty() ? missing : parse(text, missing);
    ++out;
    return true;
  });
  // A column whose texts are fewer than its length gets missing values for
  // the rest rather than zeros.
  for (; out != values.end(); ++out) *out = missing;
  replaceValues(column, std::move(storage));
  column.valueWidth = kNumericValueWidth;
  column.decimals = -1;
  column.type = ColumnType::Numeric;
  markColumnChanged(&column, true);
  return true;
}

// The column's own stored texts.
auto storedTexts(const SheetColumn& column) {
  return [&column](const auto& take) {
    for (const char* text : textValues(column)) {
      if (!take(std::string_view(text))) break;
    }
  };
}

// Gives a column that has just become Numeric its date format.
bool asDateColumn(SheetColumn& column, bool converted) {
  if (converted) {
    column.formatKind = kFormatDateTime;
    column.dateFormat = 34;
  }
  return converted;
}

}  // namespace

bool textToNumber(SheetColumn& column) {
  const bool converted = textToNumeric(column, parseNumber, storedTexts(column));
  if (converted) column.formatKind = kFormatPlain;
  return converted;
}

bool textToDateTime(SheetColumn& column) {
  return asDateColumn(column, textToNumeric(column, parseTimestamp, storedTexts(column)));
}

bool textsToDateTime(SheetColumn& column, const std::function<std::string_view()>& next) {
  const std::int32_t rows = column.length;
  return asDateColumn(column,
                      textToNumeric(column, parseTimestamp, [&next, rows](const auto& take) {
                        for (std::int32_t row = 0; row < rows && take(next()); ++row) {
                        }
                      }));
}

bool factorToNumeric(SheetColumn& column, bool useLevelValues) {
  if (column.type != ColumnType::Factor) return false;
  if (useLevelValues && column.levelValueCount >= 1) {
    std::vector<double> levels;
    for (const double level : levelValues(column)) levels.push_back(level);
    const double missing = missingValueOf(column);
    const auto n = static_cast<double>(levels.size());
    for (double& value : numericValues(column)) {
      const double v = value;
      // The integer part k of v, truncated toward zero, must lie in 1..n.
      if (v <= missing || !(v >= 1.0 && v < n + 1.0)) continue;
      value = levels[static_cast<std::size_t>(v) - 1];
    }
  }
  if (column.levelValueCount >= 1) releaseStorage(column, StorageSlot::LevelValues);
  if (column.levelLabelCount > 0) releaseStorage(column, StorageSlot::LevelLabels);
  column.valueWidth = kNumericValueWidth;
  if (column.formatKind == kFormatText) column.formatKind = kFormatPlain;
  column.type = ColumnType::Numeric;
  markColumnChanged(&column, true);
  return true;
}

}  // namespace vodbc
