// The expected bytes of a worksheet file, built from first principles
// (literal numbers and the cell rules worked bit by bit), never from the
// writer's own functions or constants.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vodbc::testing {

using Bytes = std::vector<unsigned char>;

// Cells worked out by the rules as a person would apply them.
Bytes integerCell(std::int64_t n);
Bytes realCell(double v);
Bytes blankCell();
Bytes missingCell();

struct ExpectedColumn {
  std::string name;  // as it must appear (already clipped)
  bool factor = false;
  int levelCount = 0;        // factors
  int length = 0;            // for the length code
  std::vector<Bytes> cells;  // written cells; blanks follow up to R
};

struct ExpectedLabelSet {
  std::vector<std::string> labels;  // cut to 8 characters by the builder
  int factorColumn = -1;            // written column of its factor; -1 for text values
};

struct ExpectedWorksheet {
  std::string title;
  int rows = 0;
  int columns = 0;  // K
  std::vector<ExpectedColumn> written;
  std::vector<ExpectedLabelSet> labelSets;
};

Bytes buildWorksheetBytes(const ExpectedWorksheet& expected);

// "C007": a prefix and a three-digit number.
std::string numbered(const char* prefix, int i);

// The expected file of `columns` with the title a fresh sheet gets.
ExpectedWorksheet expectedSheet(int rows, std::vector<ExpectedColumn> columns,
                                std::vector<ExpectedLabelSet> labelSets = {});

// The first offset where the two differ, with some context, or "" when
// they are equal.
std::string firstDifference(const Bytes& actual, const Bytes& expected);

}  // namespace vodbc::testing
