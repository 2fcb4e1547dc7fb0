// An independent reader of worksheet files. It shares nothing with the
// writer but the format constants, so a file it accepts and reads back as
// the sheet that was written is evidence that the writer is right, not that
// the writer agrees with itself.
//
// Every size and offset is checked against the section directory and the
// fixed layout before it is used; the first inconsistency ends the read with
// the byte offset where it was found and what was expected there.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "worksheet_file/worksheet_format.h"

namespace vodbc {

struct WorksheetCell {
  enum class Kind { kInteger, kReal, kMissing, kBlank };
  Kind kind = Kind::kBlank;
  double value = 0;  // integer and real cells

  bool operator==(const WorksheetCell&) const = default;
};

// Decodes the 5-byte cell at p: blank and missing cells by their exact
// bytes, then integer cells (byte 4 == 0), then real cells.
WorksheetCell decodeWorksheetCell(const unsigned char* p);

struct WorksheetLabelSet {
  bool factor = false;              // '"': the labels of a factor column
  int linkedColumn = -1;            // from the link lines; -1 without link
  std::vector<std::string> labels;  // trailing spaces removed
};

struct WorksheetColumn {
  std::string name;                  // as written (clipped), Windows-1252
  bool factor = false;               // 'F'
  int levelCount = 0;                // factors only
  int length = 0;                    // values written; the rest of the slot is blank
  bool lengthSaturated = false;      // the length code could not hold `length`
  int labelSet = -1;                 // linked label set, -1 for none
  std::vector<WorksheetCell> cells;  // `length` cells
};

struct WorksheetImage {
  std::string title;
  std::array<std::int32_t, worksheet_format::kHeaderIntegerCount> header{};
  std::array<std::array<std::int32_t, worksheet_format::kDirectoryFields>,
             worksheet_format::kSectionCount>
      directory{};
  // The raw bytes of each attribute field, without its 0x0D.
  std::array<std::array<std::string, worksheet_format::kAttributeFieldsPerSection>,
             worksheet_format::kSectionCount>
      attributes;
  std::array<std::string, 2> linkLines;  // without their 0x0D
  std::vector<int> nameLengths;
  std::vector<std::string> strings;  // the strings section's fields
  std::vector<WorksheetLabelSet> labelSets;
  std::vector<WorksheetCell> constants;
  std::vector<WorksheetColumn> columns;
  std::size_t fileSize = 0;

  int rows() const {
    return directory[worksheet_format::kColumns][worksheet_format::kCellsPerSlot];
  }
  int columnSlots() const {
    return directory[worksheet_format::kColumns][worksheet_format::kSlots];
  }
  int labelSlots() const { return directory[worksheet_format::kLabels][worksheet_format::kSlots]; }
  int labelsPerSet() const {
    return directory[worksheet_format::kLabels][worksheet_format::kCellsPerSlot];
  }
};

struct WorksheetReadError {
  std::size_t offset = 0;
  std::string expected;  // what should have been at `offset`

  // "byte <offset>: expected <expected>"
  std::string describe() const;
};

// Reads a whole file image. True on success; otherwise `error` names the
// first inconsistency and `image` holds what was read up to it.
bool readWorksheet(const unsigned char* data, std::size_t size, WorksheetImage* image,
                   WorksheetReadError* error);

// Reads the file at `path`; an unreadable file is reported at offset 0.
bool readWorksheetFile(const std::string& path, WorksheetImage* image, WorksheetReadError* error);

}  // namespace vodbc
