#include "sheet/display_width.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "sheet/conversion_support.h"
#include "sheet/sheet.h"
#include "sheet/value_format.h"

namespace vodbc {
namespace {

constexpr std::size_t kNarrowest = 2;
constexpr std::size_t kLongNameWidth = 11;  // longer names count as 11

std::size_t widestText(TextRange texts) {
  std::size_t widest = kNarrowest;
  for (const char* text : texts) widest = std::max(widest, std::strlen(text));
  return widest;
}

std::size_t widestNumber(NumberRange values, const SheetColumn& column) {
  const double missing = missingValueOf(column);
  std::size_t widest = kNarrowest;
  // Runs of one value (codes, flags, repeated amounts) are common; the same
  // bits always give the same text.
  bool measured = false;
  std::uint64_t previous = 0;
  for (const double value : values) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if (measured && bits == previous) continue;
    measured = true;
    previous = bits;
    // Most values cannot be wider than the widest so far, which their
    // magnitude alone shows; only the others are measured.
    if (formattedLengthBound(value, column.formatKind, column.decimals, missing) <= widest) {
      continue;
    }
    widest = std::max(widest, formattedLength(value, column.formatKind, column.decimals, missing));
  }
  return widest;
}

std::size_t valueWidthOf(SheetColumn& column) {
  switch (column.type) {
    case ColumnType::Text:
    case ColumnType::PinnedText: {
      const std::size_t widest = widestText(textValues(column));
      column.levelCount = static_cast<std::int32_t>(widest);
      return widest;
    }
    case ColumnType::Factor:
      if (column.levelKind == 0) {
        const auto digits =
            static_cast<std::int64_t>(std::ceil(std::log10(column.levelCount + 1.0)) + 1.0);
        return digits >= 2 ? static_cast<std::size_t>(digits) : kNarrowest;
      }
      if (column.levelKind == 1) return widestNumber(levelValues(column), column);
      if (column.levelKind == 2) {
        const std::size_t widest = widestText(levelLabels(column));
        column.labelWidth = static_cast<std::int32_t>(widest);
        return widest;
      }
      return kNarrowest;
    default:
      return widestNumber(numericValues(column), column);
  }
}

}  // namespace

std::int32_t computeDisplayWidth(SheetColumn& column) {
  prepareDateState(column);
  const std::size_t valueWidth = valueWidthOf(column);
  const std::size_t nameWidth = std::min(std::strlen(column.name), kLongNameWidth);
  column.displayWidth = static_cast<std::int32_t>(std::max(valueWidth, nameWidth) + 1);
  return column.displayWidth;
}

}  // namespace vodbc
