// Throughput of the worksheet writer on the largest sheet the format holds.
//
//   WriteWorksheet/file     the whole writer through the real atomic file
//                           (temporary file, fsync, rename) in $TMPDIR
//   WriteWorksheet/memory   the same, into a sink that keeps no bytes: the
//                           cost of encoding alone
//   CopyEncodedBytes/file   baseline: the same number of already encoded
//                           bytes through the real atomic file
//
// Each reports bytes per second of wall-clock time; WriteWorksheet/file
// divided by CopyEncodedBytes/file is the share of the file system's own
// speed that the writer reaches on the same machine in the same run.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sheet/column_storage.h"
#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"
#include "worksheet_file/output_file.h"
#include "worksheet_file/worksheet_writer.h"

namespace {

using namespace vodbc;

constexpr int kRows = 50400;
constexpr int kColumns = 127;

// Counts bytes and drops them.
class DiscardingFile final : public OutputFile {
 public:
  bool open(const std::string&) override {
    size_ = 0;
    return true;
  }
  bool write(const void*, std::size_t size) override {
    size_ += size;
    return true;
  }
  bool close() override { return true; }
  std::size_t size() const { return size_; }

 private:
  std::size_t size_ = 0;
};

class SilentMessages final : public WriterMessages {
 public:
  void error(std::string_view) override {}
  void warning(std::string_view) override {}
  void note(std::string_view) override {}
  Button ask(std::string_view, std::string_view, std::string_view, std::string_view) override {
    return Button::kSecond;  // overwrite the previous iteration's file
  }
};

// Values of every cell kind: whole numbers, fractions, negatives, missing.
Sheet* largestSheet() {
  static Sheet* sheet = [] {
    initWorksheetDefaults();
    Sheet* s = createSheet();
    s->missingValue = programMissingValue();
    setSheetFileName(*s, "ODBC.WOR");
    s->rowCount = kRows;
    createRowAttributes(s);
    for (int c = 0; c < kColumns; ++c) {
      SheetColumn* column =
          addColumn(s, ColumnType::Numeric, "Column" + std::to_string(c + 1), kNumericValueWidth);
      allocateColumnValues(*column, kRows);
      int r = 0;
      for (double& value : numericValues(*column)) {
        switch ((r + c) % 4) {
          case 0:
            value = r;
            break;
          case 1:
            value = r * 0.37 + c;
            break;
          case 2:
            value = -r * 1.0e-3;
            break;
          default:
            value = r % 97 == 0 ? programMissingValue() : 1.0e6 / (r + 1);
            break;
        }
        ++r;
      }
    }
    return s;
  }();
  return sheet;
}

std::string scratchFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vodbc-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return std::string();
    return pattern;
  }();
  return folder;
}

void WriteWorksheetToFile(benchmark::State& state) {
  Sheet* sheet = largestSheet();
  SilentMessages messages;
  const std::string path = scratchFolder() + "/bench.WOR";
  std::size_t bytes = 0;
  for (auto _ : state) {
    if (writeWorksheetFile(sheet, path.c_str(), messages) != 1) {
      state.SkipWithError("write failed");
      break;
    }
  }
  bytes = std::filesystem::file_size(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
  state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void WriteWorksheetToMemory(benchmark::State& state) {
  Sheet* sheet = largestSheet();
  SilentMessages messages;
  DiscardingFile file;
  for (auto _ : state) {
    if (writeWorksheetFile(sheet, "/nonexistent-vodbc-bench/x.WOR", messages, file) != 1) {
      state.SkipWithError("write failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(file.size()) * state.iterations());
}

void CopyEncodedBytesToFile(benchmark::State& state) {
  DiscardingFile measure;
  SilentMessages messages;
  writeWorksheetFile(largestSheet(), "/nonexistent-vodbc-bench/x.WOR", messages, measure);
  const std::vector<unsigned char> bytes(measure.size(), 0x20);
  const std::string path = scratchFolder() + "/copy.WOR";
  constexpr std::size_t kChunk = 65536 * 5;  // the writer's cell batch
  for (auto _ : state) {
    AtomicOutputFile file;
    bool ok = file.open(path);
    for (std::size_t at = 0; ok && at < bytes.size(); at += kChunk) {
      ok = file.write(bytes.data() + at, std::min(kChunk, bytes.size() - at));
    }
    if (!(ok && file.close())) {
      state.SkipWithError("copy failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size()) * state.iterations());
}

BENCHMARK(WriteWorksheetToFile)
    ->Name("WriteWorksheet/file")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(WriteWorksheetToMemory)
    ->Name("WriteWorksheet/memory")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();
BENCHMARK(CopyEncodedBytesToFile)
    ->Name("CopyEncodedBytes/file")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!scratchFolder().empty()) std::filesystem::remove_all(scratchFolder());
  return 0;
}
