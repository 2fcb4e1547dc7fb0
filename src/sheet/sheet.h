// The in-memory worksheet: a doubly linked list of columns, each with its
// own block-allocated storage, plus a copy of the worksheet settings and the
// missing-value code. The first column is always the row-number column
// "Row".
#pragma once

#include <cstdint>
#include <string_view>

#include "sheet/column_storage.h"
#include "sheet/column_type.h"
#include "sheet/value_format.h"  // formatKind codes
#include "sheet/worksheet_settings.h"

namespace vodbc {

constexpr int kMaxDataColumns = 250;  // besides "Row"
constexpr int kNameLength = 32;       // column names: 32 characters + NUL
constexpr int kPathLength = 256;      // fileName, directory: 256 + NUL

// Value width classes.
constexpr std::int32_t kNumericValueWidth = 25;
constexpr std::int32_t kFactorValueWidth = 41;
constexpr std::int32_t kTextClassValueWidth = 81;
constexpr std::int32_t kFetchedTextValueWidth = 80;

struct Sheet;

struct SheetColumn {
  SheetColumn* next{};
  SheetColumn* prev{};
  ColumnType type{};
  Sheet* sheet{};  // owning Sheet
  char name[kNameLength + 1]{};
  std::int32_t serial{};        // the Sheet's columnSerial when added
  ColumnStorage valueStorage;   // `length` values of the column's type
  std::int32_t position{};      // 0 for "Row", 1 for the next, ...
  std::int32_t length{};        // number of values
  std::int32_t decimals{};      // -1 automatic; 0 for "Row"
  std::int32_t displayWidth{};  // characters (computeDisplayWidth)
  std::int32_t valueWidth{};    // 25 numeric, 41 factor, 81 text (80 fetched)
  std::int32_t formatKind{};    // 1 plain, 3 row number, 4 text, 5 date/time
  std::uint16_t changed{};
  std::uint16_t refreshOnMark{};  // 1 at creation
  std::uint16_t locked{};         // convertColumn leaves a locked column alone
  std::uint16_t dateOption{};     // from the settings at creation
  std::int32_t dateFormat{};      // layout code for formatKind 5
  // Factor: number of levels k; Text/PinnedText: longest value as measured.
  std::int32_t levelCount{};
  std::int32_t levelValueCount{};
  std::int32_t levelLabelCount{};
  std::int32_t labelWidth{};        // longest level label
  std::int32_t levelKind{};         // 0 plain codes, 1 level values, 2 level labels
  ColumnStorage levelValueStorage;  // level i's value is value i (from 1)
  ColumnStorage levelLabelStorage;  // level i's label (at most 40 characters)
};

struct Sheet {
  std::int32_t kind{};         // 1 for every Sheet this system makes
  SheetColumn* firstColumn{};  // always "Row"
  SheetColumn* lastColumn{};
  SheetColumn* cursorColumn{};  // last findColumn result; null after a move
  SheetSettings* settings{};    // own copy; owned
  std::int32_t columnSerial{};  // serial of the next added column
  char* notes{};                // NUL-ended lines one after another; owned
  char fileName[kPathLength + 1]{};
  char directory[kPathLength + 1]{};
  std::int32_t columnCount{};  // columns other than "Row"; at most 250
  std::int32_t rowCount{};
  std::int32_t pinnedCount{};  // RowNumber + pinned columns; 1 after creation
  std::int32_t cursorIndex{};  // position of cursorColumn; -1 for none
  std::uint16_t changed{};
  std::uint16_t changeSeen{};
  std::uint16_t locked{};
  std::int32_t noteCount{};
  std::int32_t notesLength{};
  double missingValue{};
};

// The Sheet made last by createSheet. The shell clears it (discardCurrentSheet)
// before every retrieval run.
extern Sheet* currentSheet;

// A new empty Sheet with its "Row" column (RowNumber, valueWidth 25,
// displayWidth 4); it becomes currentSheet. missingValue is left 0 for the
// caller to set. Never null (memory failure ends the process).
Sheet* createSheet();

// Frees a Sheet with its columns, storages, settings copy and notes. Null is
// ignored. Does not touch currentSheet.
void freeSheet(Sheet* sheet);

// Frees currentSheet (when there is one) and sets it to null.
void discardCurrentSheet();

// Appends a column and returns it; null when `sheet` is null or already has
// 250 columns besides "Row". Takes the first 32 bytes of `name` (up to its
// end). Text gets formatKind 4; RowNumber formatKind 3 and decimals 0;
// pinned types and RowNumber add 1 to pinnedCount; all but RowNumber add 1
// to columnCount.
SheetColumn* addColumn(Sheet* sheet, ColumnType type, std::string_view name,
                       std::int32_t valueWidth);

// Fills "Row" with 1..rowCount and sets its displayWidth (4, 5 above 1000
// rows, 6 above 10000). Row attributes proper are never read by anything,
// so none are kept. Needs rowCount set; false (nothing changed) when it is
// 0.
bool createRowAttributes(Sheet* sheet);

// Sets the column's and its Sheet's `changed`; with alsoClearSeen clears the
// Sheet's changeSeen. Writes the Sheet only when that changes something, so
// different columns of a Sheet already marked may be marked from different
// threads at once.
void markColumnChanged(SheetColumn* column, bool alsoClearSeen);

// Marks, with alsoClearSeen, every column whose refreshOnMark is set, or
// every column when `force` is set.
void markAllColumnsChanged(Sheet* sheet, bool force);

// Copies at most 256 characters into the Sheet's fileName.
void setSheetFileName(Sheet& sheet, std::string_view name);

// The missing-value code that applies to a column: its Sheet's, or the
// program-wide code when it has none.
double missingValueOf(const SheetColumn& column);

}  // namespace vodbc
