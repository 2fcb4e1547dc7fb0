// The Velora worksheet file (".WOR"), written down once for the writer and
// for the reader. Both take every size, offset and fixed byte from here, so
// the two can only disagree about what the bytes mean, never about where
// they are.
//
// Building blocks
//   number cell   5 bytes. Byte 4 == 0: integer cell, bytes 0..3 hold n
//                 little-endian for n >= 0; for n < 0 (m = -n) byte 3 =
//                 255 - (m >> 24), byte 2 = 255 - ((m >> 16) & 255),
//                 byte 1 = 255 - ((m >> 8) & 255), byte 0 = (256 - (m & 255))
//                 & 255 (no carry from byte 0 into byte 1: not two's
//                 complement). Byte 4 != 0: real cell, value =
//                 (-1)^s * 0.1b2..b32 (binary) * 2^(byte4 - 127), the 32
//                 fraction bits in bytes 3,2,1,0 (most significant first)
//                 with the always-set first bit replaced by the sign s.
//   missing cell  3A 6B 0B DE BB (the real cell of -1.0E18).
//   blank cell    20 20 20 20 20: a value that does not exist.
//   text field    up to w bytes of text, then 0x0D. Fixed-width fields are
//                 w spaces with the content written over them: w + 1 bytes.
//   count byte    n + 32; a factor's level count k as k + 31.
//   length code   two bytes: n / 224 + 32, n % 224 + 32 (n <= 50175).
//
// Quantities
//   R rows, K columns besides "Row" (taken before any conversion),
//   S column slots   R <= 1000: ((K + 5) / 10 + 2) * 10, within 30..127;
//                    R > 1000: K + 10, at most 127
//   B label sets, M largest label count of one set (0 without sets),
//   L label-set slots B + 5, at most 127,
//   T title length (at most 100), A = 99 + 4 * L + 6 * S.
//
// Layout (offsets from the start of the file)
//   offset                 size      content
//   0                      11        signature kSignature
//   11                     101       title: T bytes, 0x0D, 100 - T spaces
//   112                    3         kAfterTitle
//   115                    70        14 header integers:
//                                    2 0 0 1 0 100 L+1 3 255 1 S*R T 8 1
//   185                    15        three missing cells
//   200                    150       section directory, 5 rows x 6 integer
//                                    cells (see below)
//   350                    A         25 attribute fields, 5 per section
//   350 + A                101       first link line (width 100)
//   451 + A                101       second link line (width 100)
//   552 + A                S + 1     name-length line (width S)
//   553 + A + S            1024      name block: 4 lines of width 255
//   1577 + A + S           810       strings: 10 fields of width 80, spaces
//   2387 + A + S           9*M*L     labels: L slots of M cells of 9 bytes
//                                    (8 characters, 0x0D)
//   2387 + A + S + 9ML     50        constants: 10 missing cells
//   2437 + A + S + 9ML     5*R*S     columns: S slots of R cells each
//
// Section directory rows (slots, cells per slot, offset, bytes per slot,
// bytes per cell, slots in use):
//   strings    10  80  1577+A+S             81   81  0
//   labels     L   M   strings + 810        9M   9   L
//   constants  10  1   labels + 9ML         5    5   0
//   columns    S   R   constants + 50       5R   5   K
//   SSP        0   R   columns + 5RK        5R   5   0
// The SSP matrix counts the used columns K, not the slots, and has no bytes
// of its own: it lies inside the columns section.
//
// Attribute fields (width; content, positions from 0):
//   strings    10, 10, 10, 0, 10                       all spaces
//   labels     L  (count + 32 of set b at b), L ('"' at a set that belongs
//              to a factor), L ('L' at every set), 0, L
//   constants  10, 10, 0, 0, 10                        all spaces
//   columns    2S (length code of written column c at 2c), S,
//              S ('F' factor, 'V' other written column), S (level count
//              + 31 at a factor), S
//   SSP        1, 1, 1, 1, 0                           all spaces
//
// Link lines: for a labelled factor column c with label set b, the first
// line holds 3 (the columns section) and c + 33 at 2b and 2b + 1, the second
// holds 1 (the labels section) and b + 33. 50 pairs per line; sets from 50
// on get no link.
//
// Name-length line: length + 32 of each written name, packed from 0.
// Name block: names packed in order, the first line opening with 0x80, each
// name followed by 0x80 + j (j = 1 for the first written column). A name
// that would reach position 255 starts the next line at 0 with no 0x80 in
// front. Unused lines are 0x80 and 254 spaces.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vodbc::worksheet_format {

inline constexpr std::array<std::uint8_t, 11> kSignature = {0x40, 0x0D, 0xC1, 0x02, 0x67, 0x0C,
                                                            0x70, 0x00, 0x70, 0x01, 0x70};
inline constexpr std::array<std::uint8_t, 3> kAfterTitle = {0x03, 0x00, 0x00};

inline constexpr std::size_t kCellSize = 5;
inline constexpr std::array<std::uint8_t, kCellSize> kMissingCell = {0x3A, 0x6B, 0x0B, 0xDE, 0xBB};
inline constexpr std::array<std::uint8_t, kCellSize> kBlankCell = {0x20, 0x20, 0x20, 0x20, 0x20};
inline constexpr std::uint8_t kFieldEnd = 0x0D;
inline constexpr std::uint8_t kSpace = 0x20;

// Exponent byte of a real cell whose fraction lies in [0.5, 1).
inline constexpr int kExponentBias = 127;

inline constexpr int kCountBias = 32;  // counts and lengths as one byte
inline constexpr int kLevelBias = 31;  // a factor's level count as one byte
inline constexpr int kLengthCodeBase = 224;
inline constexpr int kLargestLengthCode = 50175;

inline constexpr std::size_t kTitleOffset = 11;
inline constexpr int kTitleWidth = 100;
inline constexpr std::size_t kAfterTitleOffset = 112;
inline constexpr std::size_t kHeaderOffset = 115;
inline constexpr int kHeaderIntegerCount = 14;
inline constexpr std::size_t kHeaderMissingOffset = 185;
inline constexpr int kHeaderMissingCount = 3;
inline constexpr std::size_t kDirectoryOffset = 200;
inline constexpr int kSectionCount = 5;
inline constexpr int kDirectoryFields = 6;
inline constexpr std::size_t kAttributeOffset = 350;
inline constexpr int kAttributeFieldsPerSection = 5;
// A = kAttributeFixedSize + 4 * L + 6 * S: the widths below plus one 0x0D
// for each of the 25 fields.
inline constexpr int kAttributeFixedSize = 99;

// Index of a section in the directory and in the attribute lines.
enum Section : int {
  kStrings = 0,
  kLabels = 1,
  kConstants = 2,
  kColumns = 3,
  kSsp = 4,
};

// Index of a field in a directory row.
enum DirectoryField : int {
  kSlots = 0,
  kCellsPerSlot = 1,
  kOffset = 2,
  kBytesPerSlot = 3,
  kBytesPerCell = 4,
  kSlotsInUse = 5,
};

// Attribute field widths of the sections without variable parts; -1 marks
// a width that depends on L or S (see the table above).
inline constexpr std::array<int, kAttributeFieldsPerSection> kStringsFieldWidths = {10, 10, 10, 0,
                                                                                    10};
inline constexpr std::array<int, kAttributeFieldsPerSection> kConstantsFieldWidths = {10, 10, 0, 0,
                                                                                      10};
inline constexpr std::array<int, kAttributeFieldsPerSection> kSspFieldWidths = {1, 1, 1, 1, 0};

inline constexpr std::uint8_t kFactorMark = 'F';
inline constexpr std::uint8_t kValueMark = 'V';
inline constexpr std::uint8_t kFactorSetMark = '"';
inline constexpr std::uint8_t kLabelSetMark = 'L';

inline constexpr int kLinkLineWidth = 100;
inline constexpr int kLinkPairs = kLinkLineWidth / 2;
inline constexpr std::uint8_t kLinkColumnsSection = 3;
inline constexpr std::uint8_t kLinkLabelsSection = 1;
inline constexpr int kLinkIndexBias = 33;

inline constexpr int kNameLineWidth = 255;
inline constexpr int kNameLineCount = 4;
inline constexpr std::size_t kNameBlockSize = kNameLineCount * (kNameLineWidth + 1);
inline constexpr std::uint8_t kNameMark = 0x80;
// The name block's budget: 4 lines of 255, less what the marks take.
inline constexpr int kNameBudget = 1020;
inline constexpr int kShortestClippedName = 7;

inline constexpr int kStringFieldWidth = 80;
inline constexpr int kStringFieldCount = 10;
inline constexpr std::size_t kStringsSize = kStringFieldCount * (kStringFieldWidth + 1);

inline constexpr int kLabelWidth = 8;
inline constexpr int kLabelCellSize = kLabelWidth + 1;

inline constexpr int kConstantCount = 10;
inline constexpr std::size_t kConstantsSize = kConstantCount * kCellSize;

// Fixed part of the offsets: the name block starts at kNameBlockBase + A + S
// and the strings section at kStringsBase + A + S.
inline constexpr std::size_t kLinkLinesBase = kAttributeOffset;
inline constexpr std::size_t kNameLengthBase = kAttributeOffset + 2 * 101;
inline constexpr std::size_t kNameBlockBase = kNameLengthBase + 1;
inline constexpr std::size_t kStringsBase = kNameBlockBase + kNameBlockSize;

// Limits of what the format can hold.
inline constexpr int kMaxColumns = 127;
inline constexpr int kMaxRows = 50400;
inline constexpr int kMaxLabelledLevels = 223;
inline constexpr int kMaxColumnSlots = 127;
inline constexpr int kMaxLabelSetSlots = 127;
inline constexpr int kSpareLabelSetSlots = 5;

// Header integers other than the three that depend on the sheet: position
// kHeaderLabelSlots holds L + 1, kHeaderCellCount S * R, kHeaderTitleLength T.
inline constexpr std::array<std::int32_t, kHeaderIntegerCount> kHeaderIntegers = {
    2, 0, 0, 1, 0, 100, 0, 3, 255, 1, 0, 0, 8, 1};
inline constexpr int kHeaderLabelSlots = 6;
inline constexpr int kHeaderCellCount = 10;
inline constexpr int kHeaderTitleLength = 11;

// Column slots S for K columns and R rows.
constexpr int columnSlots(int columns, int rows) {
  int slots = 0;
  if (rows <= 1000) {
    slots = ((columns + 5) / 10 + 2) * 10;
    if (slots < 30) slots = 30;
  } else {
    slots = columns + 10;
  }
  return slots > kMaxColumnSlots ? kMaxColumnSlots : slots;
}

// Label-set slots L for B label sets.
constexpr int labelSetSlots(int labelSets) {
  const int slots = labelSets + kSpareLabelSetSlots;
  return slots > kMaxLabelSetSlots ? kMaxLabelSetSlots : slots;
}

// Total size A of the 25 attribute fields.
constexpr std::size_t attributeSize(int labelSlots, int columnSlots) {
  return static_cast<std::size_t>(kAttributeFixedSize) + 4 * static_cast<std::size_t>(labelSlots) +
         6 * static_cast<std::size_t>(columnSlots);
}

// The largest file the format allows: every slot used, the most labels a
// label set holds, the most rows, and the single byte an empty labels
// section may take. Nothing larger is a worksheet file.
inline constexpr std::uint64_t kLargestFileSize =
    kStringsBase + attributeSize(kMaxLabelSetSlots, kMaxColumnSlots) + kMaxColumnSlots +
    kStringsSize + std::uint64_t{kLabelCellSize} * kMaxLabelledLevels * kMaxLabelSetSlots + 1 +
    kConstantsSize + std::uint64_t{kCellSize} * kMaxRows * kMaxColumnSlots;

}  // namespace vodbc::worksheet_format
