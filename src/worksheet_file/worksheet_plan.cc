#include "worksheet_file/worksheet_plan.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "sheet/column_storage.h"
#include "sheet/sheet.h"
#include "text/utf8.h"
#include "worksheet_file/name_block.h"
#include "worksheet_file/number_cell.h"

namespace vodbc {
namespace {

namespace fmt = worksheet_format;

constexpr char kSpaceChar = static_cast<char>(fmt::kSpace);

bool isTextColumn(const SheetColumn& column) {
  return column.type == ColumnType::Text || column.type == ColumnType::PinnedText;
}

// A factor with more labels than a label set holds is left out of the file
// altogether (the writer has already tried to make it numeric).
bool isOverlargeFactor(const SheetColumn& column) {
  return column.type == ColumnType::Factor && column.levelLabelCount > fmt::kMaxLabelledLevels;
}

// Types whose values are doubles the file can hold.
bool hasWritableValues(ColumnType type) {
  switch (code(type)) {
    case -4:
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 22:
      return true;
    default:
      return false;
  }
}

std::string_view textOf(const char* text, std::size_t most) {
  return text == nullptr ? std::string_view() : std::string_view(text, strnlen(text, most));
}

std::string blankField(int width) {
  return std::string(static_cast<std::size_t>(width), kSpaceChar);
}

char byteOf(int value) { return static_cast<char>(static_cast<unsigned char>(value)); }

// Puts a label's first 8 characters into its cell; an empty label leaves
// the cell blank.
void putLabel(std::string& cells, std::size_t cell, std::string_view label) {
  const std::size_t n = std::min<std::size_t>(label.size(), fmt::kLabelWidth);
  if (n > 0) std::memcpy(cells.data() + cell * fmt::kLabelCellSize, label.data(), n);
}

}  // namespace

std::string worksheetTitle(const Sheet& sheet) {
  std::string title;
  if (sheet.noteCount > 0 && sheet.notes != nullptr) {
    title = sheet.notes;  // the first line ends at its NUL
  } else {
    title = "Data from ";
    title += firstCharacters(textOf(sheet.fileName, sizeof sheet.fileName), 90);
  }
  return std::string(firstBytes(title, fmt::kTitleWidth));
}

WorksheetPlan planWorksheet(const Sheet& sheet, std::int32_t rows, std::int32_t columns) {
  WorksheetPlan plan;
  plan.rows = rows;
  plan.columns = columns;
  plan.columnSlots = fmt::columnSlots(columns, rows);
  const int S = plan.columnSlots;
  const bool textLabelled = rows < fmt::kLengthCodeBase;

  const SheetColumn* first = sheet.firstColumn ? sheet.firstColumn->next : nullptr;

  // Label sets: labelled factors, and text columns that could not be made
  // factors (their values become the labels) when there are few rows.
  for (const SheetColumn* column = first; column; column = column->next) {
    int count = -1;
    if (column->type == ColumnType::Factor && column->levelLabelCount > 0) {
      count = column->levelLabelCount;
    } else if (isTextColumn(*column) && textLabelled) {
      count = column->length;
    }
    if (count < 0) continue;
    ++plan.labelSets;
    plan.labelsPerSet = std::max(plan.labelsPerSet, count);
  }
  plan.labelSlots = fmt::labelSetSlots(plan.labelSets);
  const int L = plan.labelSlots;
  const int M = plan.labelsPerSet;

  // Every field starts as spaces.
  const int labelWidths[] = {L, L, L, 0, L};
  const int columnWidths[] = {2 * S, S, S, S, S};
  for (int f = 0; f < fmt::kAttributeFieldsPerSection; ++f) {
    plan.attributes[fmt::kStrings][f] = blankField(fmt::kStringsFieldWidths[f]);
    plan.attributes[fmt::kLabels][f] = blankField(labelWidths[f]);
    plan.attributes[fmt::kConstants][f] = blankField(fmt::kConstantsFieldWidths[f]);
    plan.attributes[fmt::kColumns][f] = blankField(columnWidths[f]);
    plan.attributes[fmt::kSsp][f] = blankField(fmt::kSspFieldWidths[f]);
  }
  for (auto& line : plan.linkLines) line = blankField(fmt::kLinkLineWidth);
  plan.labelCells.assign(static_cast<std::size_t>(fmt::kLabelCellSize) * M * L, kSpaceChar);
  for (std::size_t end = fmt::kLabelWidth; end < plan.labelCells.size();
       end += fmt::kLabelCellSize) {
    plan.labelCells[end] = static_cast<char>(fmt::kFieldEnd);
  }

  auto& setCounts = plan.attributes[fmt::kLabels][0];
  auto& setOwners = plan.attributes[fmt::kLabels][1];
  auto& setMarks = plan.attributes[fmt::kLabels][2];
  auto& lengthCodes = plan.attributes[fmt::kColumns][0];
  auto& kinds = plan.attributes[fmt::kColumns][2];
  auto& levels = plan.attributes[fmt::kColumns][3];

  std::vector<int> nameLengths;
  std::vector<std::string_view> names;
  int b = 0;
  for (const SheetColumn* column = first; column; column = column->next) {
    if (isTextColumn(*column)) {
      if (textLabelled) {
        setCounts[b] = byteOf(column->length + fmt::kCountBias);
        setMarks[b] = static_cast<char>(fmt::kLabelSetMark);
        std::size_t i = 0;
        for (const char* text : textValues(*column)) {
          putLabel(plan.labelCells, static_cast<std::size_t>(b) * M + i++,
                   textOf(text, fmt::kLabelWidth));
        }
        ++b;
      }
      continue;
    }
    if (isOverlargeFactor(*column)) continue;

    const auto c = static_cast<int>(plan.written.size());
    if (column->type == ColumnType::Factor) {
      kinds[c] = static_cast<char>(fmt::kFactorMark);
      levels[c] = byteOf(column->levelCount + fmt::kLevelBias);
      if (column->levelLabelCount > 0) {
        setCounts[b] = byteOf(column->levelLabelCount + fmt::kCountBias);
        setOwners[b] = static_cast<char>(fmt::kFactorSetMark);
        setMarks[b] = static_cast<char>(fmt::kLabelSetMark);
        // Sets from 50 on have no room in the link lines.
        if (b < fmt::kLinkPairs) {
          plan.linkLines[0][2 * b] = static_cast<char>(fmt::kLinkColumnsSection);
          plan.linkLines[0][2 * b + 1] = byteOf(c + fmt::kLinkIndexBias);
          plan.linkLines[1][2 * b] = static_cast<char>(fmt::kLinkLabelsSection);
          plan.linkLines[1][2 * b + 1] = byteOf(b + fmt::kLinkIndexBias);
        }
        std::size_t i = 0;
        for (const char* label : levelLabels(*column)) {
          if (i == static_cast<std::size_t>(fmt::kMaxLabelledLevels)) break;
          putLabel(plan.labelCells, static_cast<std::size_t>(b) * M + i++,
                   textOf(label, fmt::kLabelWidth));
        }
        ++b;
      }
    } else {
      kinds[c] = static_cast<char>(fmt::kValueMark);
    }
    std::uint8_t code[2];
    encodeLengthCode(std::min(column->length, rows), code);
    lengthCodes[2 * c] = static_cast<char>(code[0]);
    lengthCodes[2 * c + 1] = static_cast<char>(code[1]);
    names.push_back(textOf(column->name, sizeof column->name));
    nameLengths.push_back(static_cast<int>(names.back().size()));
    plan.written.push_back({column, hasWritableValues(column->type)});
  }

  const std::vector<int> fitted = fitNameLengths(nameLengths, columns);
  plan.nameLengthLine = blankField(S);
  for (std::size_t c = 0; c < fitted.size(); ++c) {
    plan.nameLengthLine[c] = byteOf(fitted[c] + fmt::kCountBias);
  }
  plan.nameLines = packNames(names, fitted);

  plan.title = worksheetTitle(sheet);
  plan.header = fmt::kHeaderIntegers;
  plan.header[fmt::kHeaderLabelSlots] = L + 1;
  plan.header[fmt::kHeaderCellCount] = S * rows;
  plan.header[fmt::kHeaderTitleLength] = static_cast<std::int32_t>(plan.title.size());

  const auto A = static_cast<std::int32_t>(fmt::attributeSize(L, S));
  const std::int32_t strings = static_cast<std::int32_t>(fmt::kStringsBase) + A + S;
  const std::int32_t labels = strings + static_cast<std::int32_t>(fmt::kStringsSize);
  const std::int32_t constants = labels + fmt::kLabelCellSize * M * L;
  const std::int32_t cells = constants + static_cast<std::int32_t>(fmt::kConstantsSize);
  const std::int32_t cell = fmt::kCellSize;
  plan.directory[fmt::kStrings] = {fmt::kStringFieldCount,     fmt::kStringFieldWidth,     strings,
                                   fmt::kStringFieldWidth + 1, fmt::kStringFieldWidth + 1, 0};
  plan.directory[fmt::kLabels] = {L, M, labels, fmt::kLabelCellSize * M, fmt::kLabelCellSize, L};
  plan.directory[fmt::kConstants] = {fmt::kConstantCount, 1, constants, cell, cell, 0};
  plan.directory[fmt::kColumns] = {S, rows, cells, cell * rows, cell, columns};
  plan.directory[fmt::kSsp] = {0, rows, cells + cell * rows * columns, cell * rows, cell, 0};
  return plan;
}

}  // namespace vodbc
