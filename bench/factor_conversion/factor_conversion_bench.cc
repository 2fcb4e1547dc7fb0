// Times textToFactor, as the worksheet writer calls it (all three flags), on
// text columns of 100,000, 1,000,000 and 10,000,000 rows drawn from 5,000
// distinct labels. The conversion must grow linearly with the rows: after
// the benchmarks the program prints, for every size that ran, the mean
// times (wall clock and processor) and their ratio to the smallest size,
// beside the ratio of the rows. bench/run runs it (--benchmark_filter picks
// sizes).
//
// Only the conversion is timed (manual time); building the column is not.

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "sheet/convert_column.h"
#include "sheet/sheet.h"

namespace {

using vodbc::ColumnType;
using Clock = std::chrono::steady_clock;

constexpr std::int64_t kBaseRows = 100'000;
constexpr int kLabelCount = 5'000;

// Labels of mixed case and varied length, some with runs of blanks to
// normalise, as a data source's category column would hold them.
std::vector<std::string> makeLabels(int count) {
  static const char* const kWords[] = {"North",   "south",   "EAST",    "West",
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

// A text column of `rows` values in `sheet`; the label of each row is picked
// by a fixed scramble, so every label occurs in an irregular order.
vodbc::SheetColumn* makeTextColumn(vodbc::Sheet* sheet, std::int64_t rows,
                                   const std::vector<std::string>& labels) {
  vodbc::SheetColumn* column =
      vodbc::addColumn(sheet, ColumnType::Text, "Region", vodbc::kFetchedTextValueWidth);
  vodbc::TextStorageBuilder texts(ColumnType::Text, rows);
  const auto count = static_cast<std::uint64_t>(labels.size());
  for (std::uint64_t r = 0; r < static_cast<std::uint64_t>(rows); ++r) {
    texts.add(labels[(r * 7919 + r / count) % count]);
  }
  column->valueStorage = texts.finish();
  column->length = static_cast<std::int32_t>(rows);
  return column;
}

// This thread's processor time; on a machine shared with other work the
// ratio of processor times shows the growth better than wall-clock time.
double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Total conversion seconds (wall clock and processor) and conversions per
// row count, for the ratios.
struct Totals {
  double seconds = 0;
  double cpuSeconds = 0;
  int conversions = 0;
};
std::map<std::int64_t, Totals> totals;

void textToFactorConversion(benchmark::State& state) {
  static const std::vector<std::string> labels = makeLabels(kLabelCount);
  const std::int64_t rows = state.range(0);
  for (auto _ : state) {
    vodbc::Sheet* sheet = vodbc::createSheet();
    sheet->missingValue = vodbc::programMissingValue();
    vodbc::SheetColumn* column = makeTextColumn(sheet, rows, labels);
    const double cpuStart = threadCpuSeconds();
    const Clock::time_point start = Clock::now();
    vodbc::convertColumn(column, ColumnType::Text, ColumnType::Factor, true, true, true);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    totals[rows].cpuSeconds += threadCpuSeconds() - cpuStart;
    state.SetIterationTime(seconds);
    if (column->type != ColumnType::Factor || column->levelCount != kLabelCount) {
      state.SkipWithError("the column did not become a factor of every label");
    }
    totals[rows].seconds += seconds;
    totals[rows].conversions += 1;
    vodbc::discardCurrentSheet();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

BENCHMARK(textToFactorConversion)
    ->Arg(kBaseRows)
    ->Arg(kBaseRows * 10)
    ->Arg(kBaseRows * 100)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  vodbc::initWorksheetDefaults();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  // One line per size: rows, mean seconds, and the ratios to the smallest.
  const Totals* base = nullptr;
  std::int64_t baseRows = 0;
  for (const auto& [rows, sizeTotals] : totals) {
    if (sizeTotals.conversions == 0) continue;
    const double mean = sizeTotals.seconds / sizeTotals.conversions;
    const double cpu = sizeTotals.cpuSeconds / sizeTotals.conversions;
    if (base == nullptr) {
      base = &sizeTotals;
      baseRows = rows;
    }
    const double baseMean = base->seconds / base->conversions;
    const double baseCpu = base->cpuSeconds / base->conversions;
    std::printf(
        "factor rows %lld wall %.4f s cpu %.4f s rows-ratio %.0f wall-ratio %.2f cpu-ratio %.2f\n",
        static_cast<long long>(rows), mean, cpu,
        static_cast<double>(rows) / static_cast<double>(baseRows), mean / baseMean, cpu / baseCpu);
  }
  return 0;
}
