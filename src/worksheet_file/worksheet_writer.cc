#include "worksheet_file/worksheet_writer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sheet/checked_alloc.h"
#include "sheet/column_storage.h"
#include "sheet/convert_column.h"
#include "sheet/paths.h"
#include "sheet/sheet.h"
#include "sheet/two_threads.h"
#include "text/utf8.h"
#include "worksheet_file/number_cell.h"
#include "worksheet_file/windows1252.h"
#include "worksheet_file/worksheet_plan.h"

namespace vodbc {
namespace {

namespace fmt = worksheet_format;

std::string clipped(const char* text, std::size_t characters) {
  return std::string(
      firstCharacters(text ? std::string_view(text) : std::string_view(), characters));
}

std::string fileNameOf(const Sheet& sheet) {
  return std::string(sheet.fileName, strnlen(sheet.fileName, sizeof sheet.fileName));
}

// Text columns become factors; labelled factors with more levels than a
// label set holds become numeric, which the user is told about.
void convertForFile(Sheet& sheet, WriterMessages& messages) {
  // Text columns are converted side by side first: each conversion reads
  // and replaces only its own column once the Sheet is marked. Pinned text
  // is left to the loop below, since unpinning moves columns, and so are
  // locked columns, which no conversion touches.
  std::vector<SheetColumn*> texts;
  for (SheetColumn* column = sheet.firstColumn->next; column; column = column->next) {
    if (column->type == ColumnType::Text && column->locked == 0 && sheet.locked == 0) {
      texts.push_back(column);
    }
  }
  if (!texts.empty()) {
    markColumnChanged(texts.front(), true);
    forEachOnTwoThreads(
        texts.size(), static_cast<std::size_t>(sheet.rowCount), [&texts](std::size_t i) {
          convertColumn(texts[i], ColumnType::Text, ColumnType::Factor, true, true, true);
        });
  }
  auto convertedAlongside = [&texts](const SheetColumn* column) {
    return std::find(texts.begin(), texts.end(), column) != texts.end();
  };
  bool warned = false;
  for (SheetColumn* column = sheet.firstColumn->next; column; column = column->next) {
    if ((column->type == ColumnType::Text || column->type == ColumnType::PinnedText) &&
        !convertedAlongside(column)) {
      convertColumn(column, column->type, ColumnType::Factor, true, true, true);
    }
    if (column->type == ColumnType::Factor && column->levelCount > fmt::kMaxLabelledLevels &&
        column->levelLabelCount > 0) {
      if (!warned) {
        messages.warning("Error: Factors with more than 223 labels are not supported by Velora!\n");
        warned = true;
      }
      const std::string name(column->name, strnlen(column->name, sizeof column->name));
      messages.warning("Factor " + windows1252ToUtf8(name) + " converted to numeric levels");
      convertColumn(column, ColumnType::Factor, ColumnType::Numeric, true, true, true);
    }
  }
}

// Cells are collected before they go to the file, so the columns go out in
// a few large writes rather than one per value.
constexpr std::size_t kCellBatchBytes = 65536 * fmt::kCellSize;

// The batch holds every cell of a small file and a large file's cells in
// steps of kCellBatchBytes: a sheet of a few values takes no large buffer.
std::size_t cellBatchBytes(const WorksheetPlan& plan) {
  const auto cells = static_cast<std::uint64_t>(std::max(plan.columnSlots, 1)) *
                     static_cast<std::uint64_t>(std::max(plan.rows, 1));
  return static_cast<std::size_t>(std::min<std::uint64_t>(cells * fmt::kCellSize, kCellBatchBytes));
}

class CellWriter {
 public:
  CellWriter(OutputFile& file, std::uint8_t* buffer, std::size_t capacity)
      : file_(file), buffer_(buffer), capacity_(capacity) {}

  bool put(const std::uint8_t* cell) {
    std::memcpy(buffer_ + used_, cell, fmt::kCellSize);
    used_ += fmt::kCellSize;
    return used_ < capacity_ || flush();
  }

  bool putBlanks(std::int64_t count) {
    for (; count > 0; --count) {
      if (!put(fmt::kBlankCell.data())) return false;
    }
    return true;
  }

  bool flush() {
    const std::size_t n = used_;
    used_ = 0;
    return n == 0 || file_.write(buffer_, n);
  }

 private:
  OutputFile& file_;
  std::uint8_t* buffer_;
  std::size_t capacity_;  // a whole number of cells
  std::size_t used_ = 0;
};

bool writeBytes(OutputFile& file, const void* data, std::size_t size) {
  return size == 0 || file.write(data, size);
}

bool writeIntegers(OutputFile& file, const std::int32_t* values, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t cell[fmt::kCellSize];
    encodeIntegerCell(values[i], cell);
    if (!file.write(cell, sizeof cell)) return false;
  }
  return true;
}

bool writeMissingCells(OutputFile& file, int count) {
  for (int i = 0; i < count; ++i) {
    if (!file.write(fmt::kMissingCell.data(), fmt::kCellSize)) return false;
  }
  return true;
}

bool writeHead(const WorksheetPlan& plan, OutputFile& file) {
  const std::string_view title = plan.title;
  const std::string padding(static_cast<std::size_t>(fmt::kTitleWidth) - title.size(),
                            static_cast<char>(fmt::kSpace));
  const std::uint8_t end = fmt::kFieldEnd;
  if (!file.write(fmt::kSignature.data(), fmt::kSignature.size()) ||
      !writeBytes(file, title.data(), title.size()) || !file.write(&end, 1) ||
      !writeBytes(file, padding.data(), padding.size()) ||
      !file.write(fmt::kAfterTitle.data(), fmt::kAfterTitle.size()) ||
      !writeIntegers(file, plan.header.data(), plan.header.size()) ||
      !writeMissingCells(file, fmt::kHeaderMissingCount)) {
    return false;
  }
  for (const auto& row : plan.directory) {
    if (!writeIntegers(file, row.data(), row.size())) return false;
  }
  return true;
}

bool writeLines(const WorksheetPlan& plan, OutputFile& file) {
  for (const auto& section : plan.attributes) {
    for (const auto& field : section) {
      if (!writeTextField(field, static_cast<int>(field.size()), file)) return false;
    }
  }
  for (const auto& line : plan.linkLines) {
    if (!writeTextField(line, fmt::kLinkLineWidth, file)) return false;
  }
  if (!writeTextField(plan.nameLengthLine, plan.columnSlots, file)) return false;
  for (const auto& line : plan.nameLines) {
    if (!writeTextField(line, fmt::kNameLineWidth, file)) return false;
  }
  const std::string emptyString(fmt::kStringFieldWidth, static_cast<char>(fmt::kSpace));
  for (int i = 0; i < fmt::kStringFieldCount; ++i) {
    if (!writeTextField(emptyString, fmt::kStringFieldWidth, file)) return false;
  }
  // An empty labels section has no bytes at all, so the file agrees with
  // its directory; otherwise the last cell's 0x0D ends the field.
  if (!plan.labelCells.empty() &&
      !writeTextField(plan.labelCells, static_cast<int>(plan.labelCells.size()) - 1, file)) {
    return false;
  }
  return writeMissingCells(file, fmt::kConstantCount);
}

bool writeColumns(const WorksheetPlan& plan, OutputFile& file, std::uint8_t* buffer) {
  CellWriter cells(file, buffer, cellBatchBytes(plan));
  const std::int64_t rows = plan.rows;
  for (const PlannedColumn& planned : plan.written) {
    std::int64_t written = 0;
    if (planned.valuesWritten) {
      for (const double value : numericValues(*planned.column)) {
        if (written == rows) break;
        std::uint8_t cell[fmt::kCellSize];
        encodeRealCell(value, cell);
        if (!cells.put(cell)) return false;
        ++written;
      }
    }
    if (!cells.putBlanks(rows - written)) return false;
  }
  const std::int64_t spareSlots = plan.columnSlots - plan.columns;
  return cells.putBlanks(spareSlots * rows) && cells.flush();
}

}  // namespace

bool writeTextField(std::string_view text, int width, OutputFile& file) {
  const std::uint8_t end = fmt::kFieldEnd;
  const std::size_t n = width <= 0 ? 0 : std::min<std::size_t>(text.size(), width);
  return writeBytes(file, text.data(), n) && file.write(&end, 1);
}

std::uint16_t writeWorksheetFile(Sheet* sheet, const char* path, WriterMessages& messages,
                                 OutputFile& file) {
  if (path == nullptr) return 0;
  if (fileExists(path)) {
    const std::string question = "Warning: Overwriting " + clipped(path, 60) +
                                 " will lose the Velora Strings, Constants and SSP matrix!\n\n"
                                 "Are you sure you want to do this?";
    if (messages.ask(question, "No", "Overwrite") != WriterMessages::Button::kSecond) {
      return 0;
    }
  }
  if (sheet == nullptr || sheet->rowCount < 1 || sheet->columnCount < 1 ||
      sheet->firstColumn == nullptr) {
    return 0;
  }
  const std::int32_t rows = sheet->rowCount;
  const std::int32_t columns = sheet->columnCount;

  convertForFile(*sheet, messages);
  const std::string name = clipped(fileNameOf(*sheet).c_str(), 60);
  if (columns > fmt::kMaxColumns) {
    messages.error("Error: Too many columns in " + name +
                   " to save.\nVelora has a maximum of 127 columns.\n"
                   "Use a columns selection to save.");
    return 0;
  }
  if (rows > fmt::kMaxRows) {
    messages.error("Error: Too many rows in " + name +
                   " to save.\nVelora has a maximum of 50400 rows.");
    return 0;
  }

  // Everything is prepared before the file is created: nothing allocated
  // after this point can fail half-way through a file.
  const WorksheetPlan plan = planWorksheet(*sheet, rows, columns);
  const std::unique_ptr<std::uint8_t, decltype(&std::free)> cellBuffer(
      static_cast<std::uint8_t*>(checkedAlloc(cellBatchBytes(plan))), &std::free);
  if (!file.open(path)) {
    messages.error("Error: In Write VELORA File - could not open file " + clipped(path, 100));
    return 0;
  }
  const bool written =
      writeHead(plan, file) && writeLines(plan, file) && writeColumns(plan, file, cellBuffer.get());
  const bool closed = file.close();
  return written && closed ? 1 : 0;
}

std::uint16_t writeWorksheetFile(Sheet* sheet, const char* path, WriterMessages& messages) {
  AtomicOutputFile file;
  return writeWorksheetFile(sheet, path, messages, file);
}

}  // namespace vodbc
