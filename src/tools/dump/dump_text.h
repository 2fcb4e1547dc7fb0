// The text forms vodbc-dump prints for a worksheet file that the reader has
// accepted. Worksheet text (names, labels, the title) is Windows-1252 and is
// printed as UTF-8.
#pragma once

#include <iosfwd>
#include <string>

#include "worksheet_file/worksheet_reader.h"

namespace vodbc {

// Everything in the file, section by section: title, header integers,
// directory, attribute fields, link lines, names, label sets, the strings
// and constants, and the data as one row per line (tab-separated).
void printWorksheet(const WorksheetImage& image, std::ostream& out);

// The data as CSV: a header of column names, then one line per row; missing
// and blank cells are empty, labelled factors show their labels.
void printCsv(const WorksheetImage& image, std::ostream& out);

// The text of one cell: integers as integers, reals as the shortest decimal
// number that the cell would hold exactly as it is, missing as "*", blank
// as "".
std::string cellText(const WorksheetCell& cell);

}  // namespace vodbc
