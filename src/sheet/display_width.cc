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

std::size_t widestText(NodeList<TextNode> nodes) {
  std::size_t widest = kNarrowest;
  for (const TextNode& node : nodes) widest = std::max(widest, std::strlen(node.text));
  return widest;
}

std::size_t widestNumber(NodeList<NumericNode> nodes, const SheetColumn& column) {
  const double missing = missingValueOf(column);
  std::size_t widest = kNarrowest;
  // Runs of one value (codes, flags, repeated amounts) are common; the same
  // bits always give the same text.
  bool measured = false;
  std::uint64_t previous = 0;
  for (const NumericNode& node : nodes) {
    const auto bits = std::bit_cast<std::uint64_t>(node.value);
    if (measured && bits == previous) continue;
    measured = true;
    previous = bits;
    // Most values cannot be wider than the widest so far, which their
    // magnitude alone shows; only the others are measured.
    if (formattedLengthBound(node.value, column.formatKind, column.decimals, missing) <= widest) {
      continue;
    }
    widest =
        std::max(widest, formattedLength(node.value, column.formatKind, column.decimals, missing));
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
