// Conversions whose result is a Text column: each value becomes its text
// form, a factor's codes their level value or label.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "sheet/conversion_support.h"
#include "sheet/convert_column.h"
#include "sheet/fixed_text.h"
#include "sheet/sheet.h"
#include "sheet/value_format.h"

namespace vodbc {
namespace {

// Builds text storage with one text per value, written by
// `write(text, value, missing)` into a buffer of kValueTextSize bytes for
// non-missing values (missing ones stay empty), releases the level storages
// and the old values, installs the texts and makes the column Text.
template <class Write>
void rebuildAsText(SheetColumn& column, Write write) {
  prepareDateState(column);
  const double missing = missingValueOf(column);
  TextStorageBuilder texts(ColumnType::Text, column.length);
  std::size_t longest = 0;
  for (const double value : numericValues(column)) {
    char text[kValueTextSize];
    text[0] = '\0';
    if (!(value <= missing)) write(text, value, missing);
    const std::size_t length = std::strlen(text);
    longest = std::max(longest, length);
    texts.add(std::string_view(text, length));
  }

  if (column.levelValueCount > 0) releaseStorage(column, StorageSlot::LevelValues);
  if (column.levelLabelCount > 0) releaseStorage(column, StorageSlot::LevelLabels);
  replaceValues(column, texts.finish());
  column.levelCount = static_cast<std::int32_t>(longest);
  column.type = ColumnType::Text;
  column.formatKind = kFormatText;
  column.valueWidth = kTextClassValueWidth;
  markColumnChanged(&column, true);
}

}  // namespace

bool numericToText(SheetColumn& column) {
  if (column.type != ColumnType::Numeric) return false;
  const std::int32_t kind = column.formatKind;
  const std::int32_t decimals = column.decimals;
  rebuildAsText(column, [&](char* text, double value, double missing) {
    formatValue(text, value, kind, decimals, missing);
  });
  return true;
}

bool factorToText(SheetColumn& column) {
  if (column.type != ColumnType::Factor) return false;
  const std::int32_t kind = column.formatKind;
  const std::int32_t decimals = column.decimals;
  const std::int32_t levelKind = column.levelKind;
  std::vector<double> values;
  for (const double level : levelValues(column)) values.push_back(level);
  std::vector<const char*> labels;
  for (const char* label : levelLabels(column)) labels.push_back(label);

  rebuildAsText(column, [&](char* text, double code, double missing) {
    // Level k is the smallest whole number that is at least 1 and at least
    // the code.
    const double k = std::max(1.0, std::ceil(code));
    if (levelKind == 1) {
      const bool listed = k <= static_cast<double>(values.size());
      formatValue(text, listed ? values[static_cast<std::size_t>(k) - 1] : missing, kind, decimals,
                  missing);
    } else if (levelKind == 2) {
      if (k <= static_cast<double>(labels.size())) {
        const char* label = labels[static_cast<std::size_t>(k) - 1];
        copyCut(text, std::string_view(label, strnlen(label, kLabelWidth)), kLabelWidth);
      }
    } else {
      formatValue(text, code, kind, decimals, missing);
    }
  });
  return true;
}

}  // namespace vodbc
