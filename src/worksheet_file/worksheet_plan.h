// Everything the writer prepares from a sheet before it creates the file:
// the fixed-width fields of every section and the list of written columns.
// Preparing it all first means a file is only ever created once nothing
// more needs to be allocated.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "worksheet_file/worksheet_format.h"

namespace vodbc {

struct Sheet;
struct SheetColumn;

struct PlannedColumn {
  const SheetColumn* column = nullptr;
  // False for types whose values the format cannot hold: their slot is
  // written as blank cells.
  bool valuesWritten = true;
};

struct WorksheetPlan {
  std::int32_t rows = 0;          // R
  std::int32_t columns = 0;       // K
  std::int32_t columnSlots = 0;   // S
  std::int32_t labelSets = 0;     // B
  std::int32_t labelsPerSet = 0;  // M
  std::int32_t labelSlots = 0;    // L

  std::string title;  // at most 100 bytes
  std::array<std::int32_t, worksheet_format::kHeaderIntegerCount> header{};
  std::array<std::array<std::int32_t, worksheet_format::kDirectoryFields>,
             worksheet_format::kSectionCount>
      directory{};
  // Each attribute field exactly as wide as the format says.
  std::array<std::array<std::string, worksheet_format::kAttributeFieldsPerSection>,
             worksheet_format::kSectionCount>
      attributes;
  std::array<std::string, 2> linkLines;
  std::string nameLengthLine;  // S bytes
  std::array<std::string, worksheet_format::kNameLineCount> nameLines;
  std::string labelCells;  // 9 * M * L bytes
  std::vector<PlannedColumn> written;
};

// Lays out a sheet whose text columns have been converted, with R rows and
// K columns (K <= 127, 1 <= R <= 50400).
WorksheetPlan planWorksheet(const Sheet& sheet, std::int32_t rows, std::int32_t columns);

// The worksheet's title: the sheet's first note line when it has notes,
// otherwise "Data from " and the file name (at most 90 characters); at most
// 100 bytes, never splitting a UTF-8 character.
std::string worksheetTitle(const Sheet& sheet);

}  // namespace vodbc
