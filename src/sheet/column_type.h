// Column type codes and the missing-value convention of the worksheet model.
#pragma once

#include <cstdint>

namespace vodbc {

// A signed 32-bit code. The same code selects what a value is when storage is
// allocated, so LevelValues, LevelLabels and RowAttributes name storage kinds
// rather than column types. Codes without a name (-2, -1, 1, 5, 6, 7, 8, 22,
// ...) are still valid values: write them as ColumnType{5}.
//   -4 PinnedNumeric  doubles, held at position 1 behind "Row"
//   -3 PinnedText     text, held at position 1
//   -2, -1            no values; storage requests allocate nothing
//    0 RowNumber      the row numbers 1..n of "Row"
//    1                doubles, treated as Numeric by every conversion
//    2 Factor         level codes 1..k, with optional level values or labels
//    3 Text           text of at most 80 characters per value
//    4 Numeric        doubles (numbers, and dates/times as day numbers)
//    5, 8             doubles; converting to Numeric only relabels them
//    6, 7, 22         doubles; storage only, no conversion handles them
//   90 LevelValues    storage kind: numeric level values of a Factor
//   91 LevelLabels    storage kind: level labels of a Factor, 40 characters
//   92 RowAttributes  storage kind: the Sheet's row attributes, which nothing
//                     reads, so none are kept
enum class ColumnType : std::int32_t {
  PinnedNumeric = -4,
  PinnedText = -3,
  RowNumber = 0,
  Factor = 2,
  Text = 3,
  Numeric = 4,
  LevelValues = 90,
  LevelLabels = 91,
  RowAttributes = 92,
};

constexpr std::int32_t code(ColumnType type) { return static_cast<std::int32_t>(type); }

// Storage kinds whose values are doubles.
constexpr bool holdsNumbers(ColumnType type) {
  switch (code(type)) {
    case -4:
    case 0:
    case 1:
    case 2:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 22:
    case 90:
      return true;
    default:
      return false;
  }
}

// Storage kinds whose values are texts.
constexpr bool holdsTexts(ColumnType type) {
  return type == ColumnType::PinnedText || type == ColumnType::Text ||
         type == ColumnType::LevelLabels;
}

// The missing-value code: the double with bit pattern 0xC79E17B84357691A
// (-9.999999999999998E36, one unit in the last place closer to zero than
// -1.0E37). A numeric value is missing when it is <= the Sheet's
// missingValue, which the fetch sets to this code.
extern const double kMissingValueCode;

// Numbers above this are stored as it (by the fetch and by text -> number).
constexpr double kLargestValue = 9.99999E+37;

// The wider test used when values are written out: v < -1.0E36 and either
// v <= the missing-value code or the seven most significant bytes of v's
// IEEE double equal those of the code (the least significant byte is
// ignored).
bool isMissing(double value);

// The program-wide copy of the missing-value code, set by
// initWorksheetDefaults (it holds kMissingValueCode from the start, too).
double programMissingValue();
void setProgramMissingValue(double value);

}  // namespace vodbc
