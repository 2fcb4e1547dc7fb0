// Times textToFactor, as the worksheet writer calls it (all three flags), on
// a text column of N rows drawn from 5,000 distinct labels, for N = 1,000,000
// and 10 x N. The conversion must grow linearly with the rows: the ratio of
// the two times should be close to 10.
//
//   vodbc_bench_factor_conversion [rows [labels [repetitions]]]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sheet/convert_column.h"
#include "sheet/sheet.h"

namespace {

using vodbc::ColumnType;
using Clock = std::chrono::steady_clock;

// Labels of mixed case and varied length, some with blanks to normalise, as
// a data source's category column would hold them.
std::vector<std::string> makeLabels(int count) {
  static const char* const kWords[] = {"North", "south", "EAST", "West",
                                       "Central", "harbour", "Old Town"};
  std::vector<std::string> labels;
  labels.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::string label = kWords[i % 7];
    label += "  district ";
    label += std::to_string(100000 + i * 37);
    if (i % 5 == 0) label += " annex";
    labels.push_back(label);
  }
  return labels;
}

// A Sheet with one text column of `rows` values; label of row r is chosen by
// a fixed scramble so that every label occurs and the order is irregular.
vodbc::SheetColumn* makeTextColumn(vodbc::Sheet* sheet, std::int32_t rows,
                                   const std::vector<std::string>& labels) {
  vodbc::SheetColumn* column =
      vodbc::addColumn(sheet, ColumnType::Text, "Region", vodbc::kFetchedTextValueWidth);
  vodbc::allocateColumnValues(*column, rows);
  const auto count = static_cast<std::uint64_t>(labels.size());
  std::uint64_t r = 0;
  for (vodbc::TextNode& node : vodbc::textValues(*column)) {
    vodbc::storeText(node, labels[(r * 7919 + r / count) % count]);
    ++r;
  }
  return column;
}

// Best of `repetitions` conversions of a fresh column, in seconds.
double bestConversionSeconds(std::int32_t rows, const std::vector<std::string>& labels,
                             int repetitions) {
  double best = 1e300;
  for (int i = 0; i < repetitions; ++i) {
    vodbc::Sheet* sheet = vodbc::createSheet();
    sheet->missingValue = vodbc::programMissingValue();
    vodbc::SheetColumn* column = makeTextColumn(sheet, rows, labels);
    const Clock::time_point start = Clock::now();
    vodbc::convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (column->type != ColumnType::Factor ||
        column->levelCount != static_cast<std::int32_t>(labels.size())) {
      std::fprintf(stderr, "conversion failed: type %d, %d levels\n",
                   vodbc::code(column->type), column->levelCount);
      std::exit(1);
    }
    vodbc::discardCurrentSheet();
    best = std::min(best, seconds);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const std::int32_t rows = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  const int labelCount = argc > 2 ? std::atoi(argv[2]) : 5'000;
  const int repetitions = argc > 3 ? std::atoi(argv[3]) : 3;
  vodbc::initWorksheetDefaults();
  const std::vector<std::string> labels = makeLabels(labelCount);

  const double base = bestConversionSeconds(rows, labels, repetitions);
  std::printf("text -> factor, %d rows, %d labels: %.3f s\n", rows, labelCount, base);
  const double large = bestConversionSeconds(rows * 10, labels, repetitions);
  std::printf("text -> factor, %d rows, %d labels: %.3f s\n", rows * 10, labelCount,
              large);
  std::printf("ratio (10x rows): %.2f\n", large / base);
  return 0;
}
