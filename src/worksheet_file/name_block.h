// Column names in a worksheet file: four lines of 255 bytes hold every
// written name, each followed by a numbered mark, so long names are clipped
// until they fit.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "worksheet_file/worksheet_format.h"

namespace vodbc {

// The lengths the names are written with, given their full lengths (one per
// written column) and K, the sheet's column count (columns that are not
// written still count one byte each in the budget).
//
// When the names and their marks take more than 1020 bytes, a common cut
// starts at longest - (total - 1020) / K and every name is clipped to it,
// the cut falling by one until the total is below 1020 or the cut reaches 7.
// Whatever the total says, the names must also pack into four lines: while
// they do not, the longest name's length less one becomes the cut for all.
std::vector<int> fitNameLengths(const std::vector<int>& lengths, int columnCount);

// True when names of these lengths pack into the name block's four lines.
bool namesFitBlock(const std::vector<int>& lengths);

// The four name lines (255 bytes each, without their 0x0D) for the names,
// each written with its length from `lengths`. Requires namesFitBlock.
std::array<std::string, worksheet_format::kNameLineCount> packNames(
    const std::vector<std::string_view>& names, const std::vector<int>& lengths);

}  // namespace vodbc
