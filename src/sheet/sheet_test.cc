#include "sheet/sheet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

using testing::TestSheet;
using testing::valuesOf;

TEST(Sheet, NewSheetHoldsOnlyTheRowColumn) {
  TestSheet sheet;
  EXPECT_EQ(currentSheet, sheet.get());
  EXPECT_EQ(sheet->kind, 1);
  EXPECT_EQ(sheet->columnCount, 0);
  EXPECT_EQ(sheet->rowCount, 0);
  EXPECT_EQ(sheet->pinnedCount, 1);
  EXPECT_EQ(sheet->cursorColumn, nullptr);
  EXPECT_EQ(sheet->cursorIndex, -1);
  EXPECT_EQ(sheet->columnSerial, 1);
  EXPECT_STREQ(sheet->fileName, "");
  EXPECT_STREQ(sheet->directory, "");
  EXPECT_EQ(sheet->changed, 0);
  EXPECT_EQ(sheet->changeSeen, 0);
  EXPECT_EQ(sheet->locked, 0);
  EXPECT_EQ(sheet->notes, nullptr);
  EXPECT_EQ(sheet->noteCount, 0);

  const SheetColumn* row = sheet->firstColumn;
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(sheet->lastColumn, row);
  EXPECT_STREQ(row->name, "Row");
  EXPECT_EQ(row->type, ColumnType::RowNumber);
  EXPECT_EQ(row->position, 0);
  EXPECT_EQ(row->displayWidth, 4);
  EXPECT_EQ(row->formatKind, kFormatRowNumber);
  EXPECT_EQ(row->decimals, 0);
  EXPECT_EQ(row->valueWidth, 25);
  EXPECT_EQ(row->serial, 0);
  EXPECT_EQ(row->sheet, sheet.get());
  EXPECT_EQ(row->refreshOnMark, 1);
}

TEST(Sheet, SettingsCopyLeavesThreeFlagsOut) {
  initWorksheetDefaults();
  SheetSettings& program = programSettings();
  const std::uint16_t defaults[17] = {1, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(program.options, defaults, sizeof defaults), 0);
  EXPECT_STREQ(program.namePrefix, "C");
  EXPECT_STREQ(program.monthNames[1], "January");
  EXPECT_STREQ(program.monthNames[13], "***");
  EXPECT_STREQ(program.monthAbbrevs[12], "Dec");
  EXPECT_STREQ(program.datePattern, "DD.MM.YY");
  EXPECT_EQ(program.counts[0], 5);
  EXPECT_EQ(program.counts[1], 300);
  EXPECT_EQ(program.dateFormat, 1);

  for (std::uint16_t& flag : program.options) flag = 1;
  program.dateFormat = 17;
  program.nameCounter = 9;
  Sheet* sheet = createSheet();
  for (int i = 0; i < kOptionFlagCount; ++i) {
    const bool dropped = i == 7 || i == 8 || i == 16;
    EXPECT_EQ(sheet->settings->options[i], dropped ? 0 : 1) << "flag " << i;
  }
  EXPECT_EQ(sheet->settings->dateFormat, 17);
  EXPECT_EQ(sheet->settings->nameCounter, 9);
  SheetColumn* column = addColumn(sheet, ColumnType::Numeric, "x", 25);
  EXPECT_EQ(column->dateOption, 1);  // the sixteenth flag
  EXPECT_EQ(column->dateFormat, 17);
  discardCurrentSheet();
  EXPECT_EQ(currentSheet, nullptr);
  initWorksheetDefaults();
}

TEST(Sheet, AddColumnSetsFieldsByType) {
  TestSheet sheet;
  struct Case {
    ColumnType type;
    std::int32_t formatKind;
    std::int32_t pinnedAfter;
  };
  const Case cases[] = {{ColumnType::Numeric, 1, 1},
                        {ColumnType::Text, 4, 1},
                        {ColumnType::Factor, 1, 1},
                        {ColumnType::PinnedText, 4, 2},
                        {ColumnType::PinnedNumeric, 1, 3},
                        {ColumnType{7}, 1, 3}};
  std::int32_t position = 1;
  for (const Case& c : cases) {
    SheetColumn* column = addColumn(sheet.get(), c.type, "name", 80);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->type, c.type);
    EXPECT_EQ(column->formatKind, c.formatKind) << code(c.type);
    EXPECT_EQ(column->decimals, -1);
    EXPECT_EQ(column->valueWidth, 80);
    EXPECT_EQ(column->position, position);
    EXPECT_EQ(column->serial, position);
    EXPECT_EQ(sheet->pinnedCount, c.pinnedAfter) << code(c.type);
    EXPECT_EQ(sheet->columnCount, position);
    EXPECT_EQ(sheet->lastColumn, column);
    EXPECT_EQ(column->prev->next, column);
    EXPECT_EQ(column->first, nullptr);
    ++position;
  }
}

TEST(Sheet, NamesAreCutAt32Bytes) {
  TestSheet sheet;
  const std::string longName(40, 'n');
  EXPECT_EQ(std::string(addColumn(sheet.get(), ColumnType::Numeric, longName, 25)->name),
            std::string(32, 'n'));
  EXPECT_STREQ(addColumn(sheet.get(), ColumnType::Numeric, "short", 25)->name, "short");
}

TEST(Sheet, TwoHundredFiftyDataColumnsFitTheFiftyFirstDoesNot) {
  TestSheet sheet;
  for (int i = 0; i < kMaxDataColumns; ++i) {
    ASSERT_NE(addColumn(sheet.get(), ColumnType::Numeric, "c", 25), nullptr) << i;
  }
  EXPECT_EQ(sheet->columnCount, 250);
  EXPECT_EQ(sheet->lastColumn->position, 250);
  EXPECT_EQ(sheet->lastColumn->serial, 250);
  EXPECT_EQ(addColumn(sheet.get(), ColumnType::Numeric, "c", 25), nullptr);
  EXPECT_EQ(sheet->columnCount, 250);
  EXPECT_EQ(sheet->columnSerial, 251);
  EXPECT_EQ(addColumn(nullptr, ColumnType::Numeric, "c", 25), nullptr);
}

TEST(Sheet, RowColumnWidthFollowsTheRowCount) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {1, 4}, {1000, 4}, {1001, 5}, {10000, 5}, {10001, 6}};
  for (auto [rows, width] : cases) {
    TestSheet sheet;
    sheet->rowCount = rows;
    ASSERT_TRUE(createRowAttributes(sheet.get()));
    EXPECT_EQ(sheet->firstColumn->displayWidth, width) << rows;
    EXPECT_EQ(sheet->firstColumn->length, rows);
  }
}

TEST(Sheet, RowAttributesAndRowNumbersAcrossBlocks) {
  ScopedStorageLimits small({.numericNodesPerBlock = 2, .rowAttributeNodesPerBlock = 3});
  TestSheet sheet;
  sheet->rowCount = 7;
  ASSERT_TRUE(createRowAttributes(sheet.get()));
  const SheetColumn* row = sheet->firstColumn;
  EXPECT_EQ(row->blockCount, 4);
  EXPECT_EQ(valuesOf(*row), (std::vector<double>{1, 2, 3, 4, 5, 6, 7}));
  std::int32_t index = 0;
  const RowAttributeNode* last = nullptr;
  for (auto* node = sheet->rowAttrFirst; node != nullptr;
       node = static_cast<RowAttributeNode*>(node->next)) {
    EXPECT_EQ(node->rowIndex, index);
    EXPECT_EQ(node->classNumber, 6);
    EXPECT_EQ(node->flag1, 0);
    EXPECT_EQ(node->flag2, 0);
    EXPECT_EQ(node->flag3, 1);
    EXPECT_EQ(node->prev, last);
    last = node;
    ++index;
  }
  EXPECT_EQ(index, 7);
  EXPECT_EQ(sheet->rowAttrLast, last);
  EXPECT_EQ(sheet->rowAttrStorage.blockCount, 3);
}

TEST(Sheet, NoRowAttributesWithoutRows) {
  TestSheet sheet;
  EXPECT_FALSE(createRowAttributes(sheet.get()));
  EXPECT_EQ(sheet->rowAttrFirst, nullptr);
  EXPECT_EQ(sheet->firstColumn->length, 0);
  EXPECT_FALSE(createRowAttributes(nullptr));
}

TEST(Sheet, ChangeFlags) {
  TestSheet sheet;
  SheetColumn* a = addColumn(sheet.get(), ColumnType::Numeric, "a", 25);
  SheetColumn* b = addColumn(sheet.get(), ColumnType::Numeric, "b", 25);
  sheet->changeSeen = 1;
  markColumnChanged(a, false);
  EXPECT_EQ(a->changed, 1);
  EXPECT_EQ(sheet->changed, 1);
  EXPECT_EQ(sheet->changeSeen, 1);
  markColumnChanged(a, true);
  EXPECT_EQ(sheet->changeSeen, 0);

  b->refreshOnMark = 0;
  a->changed = 0;
  sheet->changeSeen = 1;
  markAllColumnsChanged(sheet.get(), false);
  EXPECT_EQ(a->changed, 1);
  EXPECT_EQ(b->changed, 0);
  EXPECT_EQ(sheet->firstColumn->changed, 1);
  EXPECT_EQ(sheet->changeSeen, 0);
  markAllColumnsChanged(sheet.get(), true);
  EXPECT_EQ(b->changed, 1);
}

TEST(Sheet, FileNameIsCutAt256) {
  TestSheet sheet;
  setSheetFileName(*sheet.get(), "ODBC.WOR");
  EXPECT_STREQ(sheet->fileName, "ODBC.WOR");
  setSheetFileName(*sheet.get(), std::string(300, 'f'));
  EXPECT_EQ(std::string(sheet->fileName), std::string(256, 'f'));
}

TEST(Sheet, FreeingASheetWithEveryKindOfStorage) {
  // Run under the address sanitizer, this shows that every block is freed.
  initWorksheetDefaults();
  Sheet* sheet = createSheet();
  sheet->rowCount = 3;
  ASSERT_TRUE(createRowAttributes(sheet));
  for (ColumnType type : {ColumnType::Numeric, ColumnType::Text, ColumnType::Factor}) {
    SheetColumn* column = addColumn(sheet, type, "x", 25);
    allocateColumnValues(*column, 3);
  }
  SheetColumn* factor = sheet->lastColumn;
  const ColumnStorage labels = allocateStorage(ColumnType::LevelLabels, 2);
  factor->levelLabelsFirst = labels.first;
  factor->levelLabelBlockTable = labels.blockTable;
  factor->levelLabelBlockCount = labels.blockCount;
  factor->levelLabelCount = 2;
  sheet->notes = static_cast<char*>(std::malloc(4));
  EXPECT_EQ(currentSheet, sheet);
  discardCurrentSheet();
  EXPECT_EQ(currentSheet, nullptr);
  discardCurrentSheet();  // nothing to free
  freeSheet(nullptr);
}

}  // namespace
}  // namespace vodbc
