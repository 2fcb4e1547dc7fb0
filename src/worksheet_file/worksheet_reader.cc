#include "worksheet_file/worksheet_reader.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace vodbc {
namespace {

namespace fmt = worksheet_format;

std::string hexByte(unsigned char b) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", b);
  return text;
}

std::string trimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

const char* sectionName(int section) {
  static const char* const kNames[] = {"strings", "labels", "constants", "columns", "SSP matrix"};
  return kNames[section];
}

const char* directoryFieldName(int field) {
  static const char* const kNames[] = {"slot count",     "cells per slot", "offset",
                                       "bytes per slot", "bytes per cell", "slots in use"};
  return kNames[field];
}

class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size, WorksheetImage* image,
         WorksheetReadError* error)
      : data_(data), size_(size), image_(*image), error_(*error) {}

  bool run() {
    image_ = WorksheetImage{};
    image_.fileSize = size_;
    return readPreamble() && readDirectory() && checkDirectory() && readAttributes() &&
           readLinkLines() && readNameLengths() && readNames() && readStrings() && readLabels() &&
           readConstants() && readColumns();
  }

 private:
  bool fail(std::size_t at, std::string expected) {
    error_.offset = at;
    error_.expected = std::move(expected);
    return false;
  }

  // True when `n` bytes from `at` are in the file; otherwise fails at the
  // end of the file.
  bool need(std::size_t at, std::size_t n, const std::string& what) {
    if (at <= size_ && n <= size_ - at) return true;
    return fail(size_, what + ", but the file ends after " + std::to_string(size_) + " bytes");
  }

  bool expectByte(std::size_t at, unsigned char want, const std::string& what) {
    if (!need(at, 1, what)) return false;
    if (data_[at] == want) return true;
    return fail(at, what + " (" + hexByte(want) + "), found " + hexByte(data_[at]));
  }

  bool readInteger(std::size_t at, const std::string& what, std::int32_t* out) {
    if (!need(at, fmt::kCellSize, what)) return false;
    const WorksheetCell cell = decodeWorksheetCell(data_ + at);
    if (cell.kind != WorksheetCell::Kind::kInteger) {
      return fail(at, what + " as an integer cell");
    }
    *out = static_cast<std::int32_t>(cell.value);
    return true;
  }

  // A text field of `width` bytes and its 0x0D; `out` gets the bytes.
  bool readField(std::size_t at, int width, const std::string& what, std::string* out) {
    const auto w = static_cast<std::size_t>(width);
    if (!need(at, w + 1, what)) return false;
    if (data_[at + w] != fmt::kFieldEnd) {
      return fail(at + w, "0x0D ending " + what + ", found " + hexByte(data_[at + w]));
    }
    out->assign(reinterpret_cast<const char*>(data_ + at), w);
    return true;
  }

  bool readPreamble() {
    for (std::size_t i = 0; i < fmt::kSignature.size(); ++i) {
      if (!expectByte(i, fmt::kSignature[i], "the worksheet signature")) return false;
    }
    if (!need(fmt::kTitleOffset, fmt::kTitleWidth + 1, "the title field")) return false;
    for (std::size_t i = 0; i < fmt::kAfterTitle.size(); ++i) {
      if (!expectByte(fmt::kAfterTitleOffset + i, fmt::kAfterTitle[i],
                      "the bytes after the title")) {
        return false;
      }
    }
    for (int i = 0; i < fmt::kHeaderIntegerCount; ++i) {
      const std::size_t at = fmt::kHeaderOffset + fmt::kCellSize * i;
      const std::string what = "header integer " + std::to_string(i + 1);
      if (!readInteger(at, what, &image_.header[i])) return false;
      const bool variable =
          i == fmt::kHeaderLabelSlots || i == fmt::kHeaderCellCount || i == fmt::kHeaderTitleLength;
      if (!variable && image_.header[i] != fmt::kHeaderIntegers[i]) {
        return fail(at, what + " to be " + std::to_string(fmt::kHeaderIntegers[i]) + ", found " +
                            std::to_string(image_.header[i]));
      }
    }
    const std::int32_t titleLength = image_.header[fmt::kHeaderTitleLength];
    if (titleLength < 0 || titleLength > fmt::kTitleWidth) {
      return fail(fmt::kHeaderOffset + fmt::kCellSize * fmt::kHeaderTitleLength,
                  "a title length from 0 to 100, found " + std::to_string(titleLength));
    }
    const std::size_t end = fmt::kTitleOffset + static_cast<std::size_t>(titleLength);
    if (!expectByte(end, fmt::kFieldEnd,
                    "0x0D ending the title of " + std::to_string(titleLength) + " bytes")) {
      return false;
    }
    image_.title.assign(reinterpret_cast<const char*>(data_ + fmt::kTitleOffset),
                        static_cast<std::size_t>(titleLength));
    for (int i = 0; i < fmt::kHeaderMissingCount; ++i) {
      const std::size_t at = fmt::kHeaderMissingOffset + fmt::kCellSize * i;
      if (!need(at, fmt::kCellSize, "a missing cell after the header")) return false;
      if (std::memcmp(data_ + at, fmt::kMissingCell.data(), fmt::kCellSize) != 0) {
        return fail(at, "a missing cell after the header");
      }
    }
    return true;
  }

  std::size_t directoryAt(int section, int field) const {
    return fmt::kDirectoryOffset +
           fmt::kCellSize * static_cast<std::size_t>(section * fmt::kDirectoryFields + field);
  }

  bool readDirectory() {
    for (int s = 0; s < fmt::kSectionCount; ++s) {
      for (int f = 0; f < fmt::kDirectoryFields; ++f) {
        const std::string what =
            std::string("the ") + sectionName(s) + " section's " + directoryFieldName(f);
        if (!readInteger(directoryAt(s, f), what, &image_.directory[s][f])) return false;
      }
    }
    return true;
  }

  bool checkField(int section, int field, std::int64_t want) {
    const std::int32_t found = image_.directory[section][field];
    if (found == want) return true;
    return fail(directoryAt(section, field), std::string("the ") + sectionName(section) +
                                                 " section's " + directoryFieldName(field) +
                                                 " to be " + std::to_string(want) + ", found " +
                                                 std::to_string(found));
  }

  bool checkRange(int section, int field, std::int32_t low, std::int32_t high) {
    const std::int32_t found = image_.directory[section][field];
    if (found >= low && found <= high) return true;
    return fail(directoryAt(section, field),
                std::string("the ") + sectionName(section) + " section's " +
                    directoryFieldName(field) + " from " + std::to_string(low) + " to " +
                    std::to_string(high) + ", found " + std::to_string(found));
  }

  bool checkDirectory() {
    const auto& d = image_.directory;
    if (!checkRange(fmt::kLabels, fmt::kSlots, 1, fmt::kMaxLabelSetSlots) ||
        !checkRange(fmt::kLabels, fmt::kCellsPerSlot, 0, fmt::kMaxLabelledLevels) ||
        !checkRange(fmt::kColumns, fmt::kSlots, 1, fmt::kMaxColumnSlots) ||
        !checkRange(fmt::kColumns, fmt::kCellsPerSlot, 1, fmt::kMaxRows)) {
      return false;
    }
    L_ = d[fmt::kLabels][fmt::kSlots];
    M_ = d[fmt::kLabels][fmt::kCellsPerSlot];
    S_ = d[fmt::kColumns][fmt::kSlots];
    R_ = d[fmt::kColumns][fmt::kCellsPerSlot];
    if (!checkRange(fmt::kColumns, fmt::kSlotsInUse, 0, S_) ||
        !checkRange(fmt::kLabels, fmt::kSlotsInUse, 0, L_)) {
      return false;
    }
    K_ = d[fmt::kColumns][fmt::kSlotsInUse];
    const std::int64_t cell = static_cast<std::int64_t>(fmt::kCellSize);
    const std::int64_t sizes[fmt::kSectionCount] = {
        static_cast<std::int64_t>(fmt::kStringsSize), std::int64_t{9} * M_ * L_,
        static_cast<std::int64_t>(fmt::kConstantsSize), cell * R_ * S_, 0};
    const bool ok =
        checkField(fmt::kStrings, fmt::kSlots, fmt::kStringFieldCount) &&
        checkField(fmt::kStrings, fmt::kCellsPerSlot, fmt::kStringFieldWidth) &&
        checkField(fmt::kStrings, fmt::kBytesPerSlot, fmt::kStringFieldWidth + 1) &&
        checkField(fmt::kStrings, fmt::kBytesPerCell, fmt::kStringFieldWidth + 1) &&
        checkRange(fmt::kStrings, fmt::kSlotsInUse, 0, fmt::kStringFieldCount) &&
        checkField(fmt::kLabels, fmt::kBytesPerSlot, std::int64_t{fmt::kLabelCellSize} * M_) &&
        checkField(fmt::kLabels, fmt::kBytesPerCell, fmt::kLabelCellSize) &&
        checkField(fmt::kConstants, fmt::kSlots, fmt::kConstantCount) &&
        checkField(fmt::kConstants, fmt::kCellsPerSlot, 1) &&
        checkField(fmt::kConstants, fmt::kBytesPerSlot, cell) &&
        checkField(fmt::kConstants, fmt::kBytesPerCell, cell) &&
        checkRange(fmt::kConstants, fmt::kSlotsInUse, 0, fmt::kConstantCount) &&
        checkField(fmt::kColumns, fmt::kBytesPerSlot, cell * R_) &&
        checkField(fmt::kColumns, fmt::kBytesPerCell, cell) &&
        // An SSP matrix, which vodbc never writes, fills spare column slots.
        checkRange(fmt::kSsp, fmt::kSlots, 0, S_ - K_) &&
        checkField(fmt::kSsp, fmt::kCellsPerSlot, R_) &&
        checkField(fmt::kSsp, fmt::kBytesPerSlot, cell * R_) &&
        checkField(fmt::kSsp, fmt::kBytesPerCell, cell) &&
        checkRange(fmt::kSsp, fmt::kSlotsInUse, 0, d[fmt::kSsp][fmt::kSlots]);
    if (!ok) return false;

    // Every section must lie within the file before anything relies on it.
    for (int s = 0; s < fmt::kSectionCount; ++s) {
      const std::int64_t offset = d[s][fmt::kOffset];
      if (offset < 0 || offset + sizes[s] > static_cast<std::int64_t>(size_)) {
        return fail(directoryAt(s, fmt::kOffset),
                    std::string("the ") + sectionName(s) + " section (" + std::to_string(sizes[s]) +
                        " bytes at offset " + std::to_string(offset) + ") within the file of " +
                        std::to_string(size_) + " bytes");
      }
    }
    const std::int64_t attributes = static_cast<std::int64_t>(fmt::attributeSize(L_, S_));
    const std::int64_t strings = static_cast<std::int64_t>(fmt::kStringsBase) + attributes + S_;
    if (!checkField(fmt::kStrings, fmt::kOffset, strings) ||
        !checkField(fmt::kLabels, fmt::kOffset, strings + sizes[fmt::kStrings]) ||
        !checkField(fmt::kConstants, fmt::kOffset,
                    d[fmt::kLabels][fmt::kOffset] + sizes[fmt::kLabels]) ||
        !checkField(fmt::kColumns, fmt::kOffset,
                    d[fmt::kConstants][fmt::kOffset] + sizes[fmt::kConstants]) ||
        !checkField(fmt::kSsp, fmt::kOffset, d[fmt::kColumns][fmt::kOffset] + cell * R_ * K_)) {
      return false;
    }
    const std::size_t end =
        static_cast<std::size_t>(d[fmt::kColumns][fmt::kOffset] + sizes[fmt::kColumns]);
    if (size_ > end) {
      return fail(end, "the end of the file, found " + std::to_string(size_ - end) + " more bytes");
    }
    const std::size_t headerLabels = fmt::kHeaderOffset + fmt::kCellSize * fmt::kHeaderLabelSlots;
    if (image_.header[fmt::kHeaderLabelSlots] != L_ + 1) {
      return fail(headerLabels, "header integer 7 to be the label-set slots plus 1 (" +
                                    std::to_string(L_ + 1) + ")");
    }
    if (image_.header[fmt::kHeaderCellCount] != S_ * R_) {
      return fail(
          fmt::kHeaderOffset + fmt::kCellSize * fmt::kHeaderCellCount,
          "header integer 11 to be column slots times rows (" + std::to_string(S_ * R_) + ")");
    }
    if (S_ != fmt::columnSlots(K_, R_)) {
      return fail(directoryAt(fmt::kColumns, fmt::kSlots),
                  "the columns section's slot count to be " +
                      std::to_string(fmt::columnSlots(K_, R_)) + " for " + std::to_string(K_) +
                      " columns of " + std::to_string(R_) + " rows");
    }
    return true;
  }

  int fieldWidth(int section, int field) const {
    switch (section) {
      case fmt::kStrings:
        return fmt::kStringsFieldWidths[field];
      case fmt::kConstants:
        return fmt::kConstantsFieldWidths[field];
      case fmt::kSsp:
        return fmt::kSspFieldWidths[field];
      case fmt::kLabels:
        return field == 3 ? 0 : L_;
      default:
        return field == 0 ? 2 * S_ : S_;
    }
  }

  bool readAttributes() {
    std::size_t at = fmt::kAttributeOffset;
    std::size_t fieldStart[fmt::kSectionCount][fmt::kAttributeFieldsPerSection];
    for (int s = 0; s < fmt::kSectionCount; ++s) {
      for (int f = 0; f < fmt::kAttributeFieldsPerSection; ++f) {
        const int width = fieldWidth(s, f);
        const std::string what =
            "attribute field " + std::to_string(f + 1) + " of the " + sectionName(s) + " section";
        if (!readField(at, width, what, &image_.attributes[s][f])) return false;
        fieldStart[s][f] = at;
        at += static_cast<std::size_t>(width) + 1;
      }
    }

    // Label sets: every slot marked 'L'.
    const auto& counts = image_.attributes[fmt::kLabels][0];
    const auto& owners = image_.attributes[fmt::kLabels][1];
    const auto& marks = image_.attributes[fmt::kLabels][2];
    for (int b = 0; b < L_; ++b) {
      const auto mark = static_cast<unsigned char>(marks[b]);
      if (mark == fmt::kSpace) continue;
      const std::size_t markAt = fieldStart[fmt::kLabels][2] + b;
      if (mark != fmt::kLabelSetMark || b != static_cast<int>(image_.labelSets.size())) {
        return fail(markAt, "'L' or a space marking label set " + std::to_string(b + 1) +
                                " after " + std::to_string(image_.labelSets.size()) +
                                " sets, found " + hexByte(mark));
      }
      const int count = static_cast<unsigned char>(counts[b]) - fmt::kCountBias;
      if (count < 0 || count > M_) {
        return fail(fieldStart[fmt::kLabels][0] + b,
                    "the label count of label set " + std::to_string(b + 1) + " from 0 to " +
                        std::to_string(M_) + ", found " + std::to_string(count));
      }
      WorksheetLabelSet set;
      set.factor = static_cast<unsigned char>(owners[b]) == fmt::kFactorSetMark;
      set.labels.resize(static_cast<std::size_t>(count));
      image_.labelSets.push_back(std::move(set));
    }

    // Written columns: a length code, a kind mark and, for factors, a level
    // count.
    const auto& lengths = image_.attributes[fmt::kColumns][0];
    const auto& kinds = image_.attributes[fmt::kColumns][2];
    const auto& levels = image_.attributes[fmt::kColumns][3];
    for (int c = 0; c < K_; ++c) {
      WorksheetColumn column;
      const int high = static_cast<unsigned char>(lengths[2 * c]) - fmt::kCountBias;
      const int low = static_cast<unsigned char>(lengths[2 * c + 1]) - fmt::kCountBias;
      const std::size_t codeAt = fieldStart[fmt::kColumns][0] + 2 * c;
      if (high < 0 || low < 0 || low >= fmt::kLengthCodeBase) {
        return fail(codeAt, "the length code of column " + std::to_string(c + 1) + ", found " +
                                hexByte(static_cast<unsigned char>(lengths[2 * c])) + " " +
                                hexByte(static_cast<unsigned char>(lengths[2 * c + 1])));
      }
      column.length = high * fmt::kLengthCodeBase + low;
      if (column.length == fmt::kLargestLengthCode && R_ > fmt::kLargestLengthCode) {
        column.length = R_;
        column.lengthSaturated = true;
      }
      if (column.length > R_) {
        return fail(codeAt, "a length of at most " + std::to_string(R_) + " rows for column " +
                                std::to_string(c + 1) + ", found " + std::to_string(column.length));
      }
      const auto kind = static_cast<unsigned char>(kinds[c]);
      if (kind != fmt::kFactorMark && kind != fmt::kValueMark) {
        return fail(fieldStart[fmt::kColumns][2] + c,
                    "'F' or 'V' for column " + std::to_string(c + 1) + ", found " + hexByte(kind));
      }
      column.factor = kind == fmt::kFactorMark;
      if (column.factor) {
        column.levelCount = static_cast<unsigned char>(levels[c]) - fmt::kLevelBias;
      }
      image_.columns.push_back(std::move(column));
    }
    linkStart_ = at;
    return true;
  }

  bool readLinkLines() {
    std::size_t at = linkStart_;
    for (auto& line : image_.linkLines) {
      if (!readField(at, fmt::kLinkLineWidth, "a link line", &line)) return false;
      at += fmt::kLinkLineWidth + 1;
    }
    const auto& toColumns = image_.linkLines[0];
    const auto& toLabels = image_.linkLines[1];
    for (int b = 0; b < fmt::kLinkPairs; ++b) {
      const auto section = static_cast<unsigned char>(toColumns[2 * b]);
      const std::size_t pairAt = linkStart_ + 2 * b;
      if (section == fmt::kSpace) continue;
      if (section != fmt::kLinkColumnsSection) {
        return fail(pairAt, "a space or the columns section (0x03) in link pair " +
                                std::to_string(b + 1) + ", found " + hexByte(section));
      }
      const int c = static_cast<unsigned char>(toColumns[2 * b + 1]) - fmt::kLinkIndexBias;
      if (c < 0 || c >= K_ || !image_.columns[c].factor) {
        return fail(pairAt + 1, "a factor column in link pair " + std::to_string(b + 1));
      }
      if (b >= static_cast<int>(image_.labelSets.size()) || !image_.labelSets[b].factor) {
        return fail(pairAt, "no link for label set " + std::to_string(b + 1) +
                                ", which belongs to no factor");
      }
      const std::size_t backAt = linkStart_ + fmt::kLinkLineWidth + 1 + 2 * b;
      if (static_cast<unsigned char>(toLabels[2 * b]) != fmt::kLinkLabelsSection ||
          static_cast<unsigned char>(toLabels[2 * b + 1]) != b + fmt::kLinkIndexBias) {
        return fail(backAt, "the labels section (0x01) and label set " + std::to_string(b + 1) +
                                " in link pair " + std::to_string(b + 1));
      }
      image_.labelSets[b].linkedColumn = c;
      image_.columns[c].labelSet = b;
    }
    nameLengthStart_ = at;
    return true;
  }

  bool readNameLengths() {
    std::string line;
    if (!readField(nameLengthStart_, S_, "the name-length line", &line)) return false;
    for (int c = 0; c < K_; ++c) {
      const int n = static_cast<unsigned char>(line[c]) - fmt::kCountBias;
      if (n < 0 || n > 32) {
        return fail(nameLengthStart_ + c,
                    "a name length from 0 to 32 for column " + std::to_string(c + 1));
      }
      image_.nameLengths.push_back(n);
    }
    return true;
  }

  bool readNames() {
    const std::size_t block = nameLengthStart_ + static_cast<std::size_t>(S_) + 1;
    if (!need(block, fmt::kNameBlockSize, "the name block")) return false;
    const auto lineEnd = [&](int line) {
      return block + static_cast<std::size_t>(line) * (fmt::kNameLineWidth + 1) +
             fmt::kNameLineWidth;
    };
    for (int line = 0; line < fmt::kNameLineCount; ++line) {
      if (data_[lineEnd(line)] != fmt::kFieldEnd) {
        return fail(lineEnd(line), "0x0D ending name line " + std::to_string(line + 1));
      }
    }
    int line = 0;
    int position = 1;
    int lineEnds[fmt::kNameLineCount] = {1, 1, 1, 1};
    if (!expectByte(block, fmt::kNameMark, "0x80 opening the name block")) return false;
    for (int c = 0; c < K_; ++c) {
      const int n = image_.nameLengths[c];
      if (position + n >= fmt::kNameLineWidth) {
        lineEnds[line] = position;
        ++line;
        position = 0;
      }
      if (line >= fmt::kNameLineCount) {
        return fail(block + fmt::kNameBlockSize,
                    "room in the name block for the name of column " + std::to_string(c + 1));
      }
      const std::size_t at = block + static_cast<std::size_t>(line) * (fmt::kNameLineWidth + 1) +
                             static_cast<std::size_t>(position);
      image_.columns[c].name.assign(reinterpret_cast<const char*>(data_ + at),
                                    static_cast<std::size_t>(n));
      if (!expectByte(at + n, static_cast<unsigned char>(fmt::kNameMark + c + 1),
                      "the mark after the name of column " + std::to_string(c + 1))) {
        return false;
      }
      position += n + 1;
    }
    lineEnds[line] = position;
    // The rest of the used lines is padding; unused lines are a lone mark.
    for (int l = 0; l < fmt::kNameLineCount; ++l) {
      const std::size_t start = block + static_cast<std::size_t>(l) * (fmt::kNameLineWidth + 1);
      if (l > line && data_[start] != fmt::kNameMark) {
        return fail(start, "0x80 opening unused name line " + std::to_string(l + 1));
      }
      for (int p = lineEnds[l]; p < fmt::kNameLineWidth; ++p) {
        if (data_[start + p] != fmt::kSpace) {
          return fail(start + p, "a space after the last name of name line " +
                                     std::to_string(l + 1) + ", found " +
                                     hexByte(data_[start + p]));
        }
      }
    }
    stringsStart_ = block + fmt::kNameBlockSize;
    return true;
  }

  bool readStrings() {
    std::size_t at = stringsStart_;
    for (int i = 0; i < fmt::kStringFieldCount; ++i) {
      std::string field;
      if (!readField(at, fmt::kStringFieldWidth, "a field of the strings section", &field)) {
        return false;
      }
      image_.strings.push_back(trimRight(field));
      at += fmt::kStringFieldWidth + 1;
    }
    return true;
  }

  bool readLabels() {
    const std::size_t start =
        static_cast<std::size_t>(image_.directory[fmt::kLabels][fmt::kOffset]);
    for (int b = 0; b < L_; ++b) {
      for (int i = 0; i < M_; ++i) {
        const std::size_t at = start + static_cast<std::size_t>(fmt::kLabelCellSize) *
                                           (static_cast<std::size_t>(b) * M_ + i);
        std::string label;
        if (!readField(at, fmt::kLabelWidth, "a label cell", &label)) return false;
        if (b < static_cast<int>(image_.labelSets.size()) &&
            i < static_cast<int>(image_.labelSets[b].labels.size())) {
          image_.labelSets[b].labels[i] = trimRight(label);
        }
      }
    }
    return true;
  }

  bool readConstants() {
    const std::size_t start =
        static_cast<std::size_t>(image_.directory[fmt::kConstants][fmt::kOffset]);
    for (int i = 0; i < fmt::kConstantCount; ++i) {
      image_.constants.push_back(decodeWorksheetCell(data_ + start + fmt::kCellSize * i));
    }
    return true;
  }

  bool readColumns() {
    const std::size_t start =
        static_cast<std::size_t>(image_.directory[fmt::kColumns][fmt::kOffset]);
    const auto rows = static_cast<std::size_t>(R_);
    const int sspEnd = K_ + image_.directory[fmt::kSsp][fmt::kSlots];
    for (int c = 0; c < S_; ++c) {
      if (c >= K_ && c < sspEnd) continue;  // the SSP matrix's cells
      const std::size_t slot = start + fmt::kCellSize * rows * static_cast<std::size_t>(c);
      const std::size_t used = c < K_ ? static_cast<std::size_t>(image_.columns[c].length) : 0;
      if (c < K_) {
        auto& cells = image_.columns[c].cells;
        cells.reserve(used);
        for (std::size_t r = 0; r < used; ++r) {
          cells.push_back(decodeWorksheetCell(data_ + slot + fmt::kCellSize * r));
        }
      }
      for (std::size_t r = used; r < rows; ++r) {
        const std::size_t at = slot + fmt::kCellSize * r;
        if (std::memcmp(data_ + at, fmt::kBlankCell.data(), fmt::kCellSize) != 0) {
          return fail(at, "a blank cell in row " + std::to_string(r + 1) + " of column slot " +
                              std::to_string(c + 1) + ", beyond the column's " +
                              std::to_string(used) + " values");
        }
      }
    }
    return true;
  }

  const unsigned char* data_;
  std::size_t size_;
  WorksheetImage& image_;
  WorksheetReadError& error_;
  int L_ = 0, M_ = 0, S_ = 0, R_ = 0, K_ = 0;
  std::size_t linkStart_ = 0, nameLengthStart_ = 0, stringsStart_ = 0;
};

}  // namespace

std::string WorksheetReadError::describe() const {
  return "byte " + std::to_string(offset) + ": expected " + expected;
}

bool readWorksheet(const unsigned char* data, std::size_t size, WorksheetImage* image,
                   WorksheetReadError* error) {
  return Reader(data, size, image, error).run();
}

bool readWorksheetFile(const std::string& path, WorksheetImage* image, WorksheetReadError* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error->offset = 0;
    error->expected = "a readable file";
    return false;
  }
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
  if (in.bad()) {
    error->offset = 0;
    error->expected = "a readable file";
    return false;
  }
  return readWorksheet(bytes.data(), bytes.size(), image, error);
}

}  // namespace vodbc
