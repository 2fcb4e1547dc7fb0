#include "sheet/sheet.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

using testing::Numbers;
using testing::TestSheet;

TEST(Sheet, NewSheetHoldsOnlyTheRowColumn) {
  TestSheet sheet;
  EXPECT_EQ(currentSheet, sheet.get());
  EXPECT_EQ(std::tuple(sheet->kind, sheet->columnCount, sheet->rowCount, sheet->pinnedCount,
                       sheet->cursorIndex, sheet->columnSerial, sheet->changed,
                       sheet->changeSeen, sheet->locked, sheet->noteCount),
            std::tuple(1, 0, 0, 1, -1, 1, 0, 0, 0, 0));
  EXPECT_EQ(std::tuple(sheet->cursorColumn, sheet->notes), std::tuple(nullptr, nullptr));
  EXPECT_EQ(std::string(sheet->fileName) + "|" + sheet->directory, "|");

  const SheetColumn* row = sheet->firstColumn;
  ASSERT_NE(row, nullptr);
  EXPECT_STREQ(row->name, "Row");
  EXPECT_EQ(std::tuple(row->type, row->position, row->displayWidth, row->formatKind,
                       row->decimals, row->valueWidth, row->serial, row->refreshOnMark),
            std::tuple(ColumnType::RowNumber, 0, 4, kFormatRowNumber, 0, 25, 0, 1));
  EXPECT_EQ(std::tuple(sheet->lastColumn, row->sheet), std::tuple(row, sheet.get()));
}

TEST(Sheet, SettingsCopyLeavesThreeFlagsOut) {
  initWorksheetDefaults();
  SheetSettings& program = programSettings();
  const std::uint16_t defaults[17] = {1, 0, 1, 1, 1, 1, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(program.options, defaults, sizeof defaults), 0);
  EXPECT_EQ(std::string(program.namePrefix) + "|" + program.monthNames[1] + "|" +
                program.monthNames[13] + "|" + program.monthAbbrevs[12] + "|" + program.datePattern,
            "C|January|***|Dec|DD.MM.YY");
  EXPECT_EQ(std::tuple(program.counts[0], program.counts[1], program.dateFormat),
            std::tuple(5, 300, 1));

  for (std::uint16_t& flag : program.options) flag = 1;
  program.dateFormat = 17;
  program.nameCounter = 9;
  Sheet* sheet = createSheet();
  for (int i = 0; i < kOptionFlagCount; ++i) {
    const bool dropped = i == 7 || i == 8 || i == 16;
    EXPECT_EQ(sheet->settings->options[i], dropped ? 0 : 1) << "flag " << i;
  }
  EXPECT_EQ(std::tuple(sheet->settings->dateFormat, sheet->settings->nameCounter),
            std::tuple(17, 9));
  SheetColumn* column = addColumn(sheet, ColumnType::Numeric, "x", 25);
  EXPECT_EQ(column->dateOption, 1);  // the sixteenth flag
  EXPECT_EQ(column->dateFormat, 17);
  discardCurrentSheet();
  EXPECT_EQ(currentSheet, nullptr);
  initWorksheetDefaults();
}

TEST(Sheet, AddColumnSetsFieldsByTypeAndCutsNames) {
  TestSheet sheet;
  struct Case {
    ColumnType type;
    std::int32_t formatKind, pinnedAfter;
  };
  const Case cases[] = {{ColumnType::Numeric, 1, 1},    {ColumnType::Text, 4, 1},
                        {ColumnType::Factor, 1, 1},     {ColumnType::PinnedText, 4, 2},
                        {ColumnType::PinnedNumeric, 1, 3}, {ColumnType{7}, 1, 3}};
  std::int32_t position = 1;
  for (const Case& c : cases) {
    SheetColumn* column = addColumn(sheet.get(), c.type, "name", 80);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(std::tuple(column->type, column->formatKind, column->decimals, column->valueWidth,
                         column->position, column->serial, sheet->pinnedCount,
                         sheet->columnCount),
              std::tuple(c.type, c.formatKind, -1, 80, position, position, c.pinnedAfter,
                         position));
    EXPECT_EQ(std::tuple(sheet->lastColumn, column->prev->next, column->first),
              std::tuple(column, column, nullptr));
    ++position;
  }
  EXPECT_EQ(std::string(addColumn(sheet.get(), ColumnType::Numeric, std::string(40, 'n'), 25)
                            ->name),
            std::string(32, 'n'));
}

TEST(Sheet, TwoHundredFiftyDataColumnsFitTheFiftyFirstDoesNot) {
  TestSheet sheet;
  for (int i = 0; i < kMaxDataColumns; ++i) {
    ASSERT_NE(addColumn(sheet.get(), ColumnType::Numeric, "c", 25), nullptr) << i;
  }
  EXPECT_EQ(std::tuple(sheet->lastColumn->position, sheet->lastColumn->serial), std::tuple(250, 250));
  EXPECT_EQ(addColumn(sheet.get(), ColumnType::Numeric, "c", 25), nullptr);
  EXPECT_EQ(std::tuple(sheet->columnCount, sheet->columnSerial), std::tuple(250, 251));
  EXPECT_EQ(addColumn(nullptr, ColumnType::Numeric, "c", 25), nullptr);
}

TEST(Sheet, RowColumnWidthFollowsTheRowCount) {
  const std::pair<std::int32_t, std::int32_t> cases[] = {
      {1, 4}, {1000, 4}, {1001, 5}, {10000, 5}, {10001, 6}};
  for (auto [rows, width] : cases) {
    TestSheet sheet;
    sheet->rowCount = rows;
    ASSERT_TRUE(createRowAttributes(sheet.get()));
    EXPECT_EQ(std::tuple(sheet->firstColumn->displayWidth, sheet->firstColumn->length),
              std::tuple(width, rows));
  }
  TestSheet empty;
  EXPECT_FALSE(createRowAttributes(empty.get()));
  EXPECT_EQ(std::tuple(empty->rowAttrFirst, empty->firstColumn->length), std::tuple(nullptr, 0));
  EXPECT_FALSE(createRowAttributes(nullptr));
}

TEST(Sheet, RowAttributesAndRowNumbersAcrossBlocks) {
  ScopedStorageLimits small({.numericNodesPerBlock = 2, .rowAttributeNodesPerBlock = 3});
  TestSheet sheet;
  sheet->rowCount = 7;
  ASSERT_TRUE(createRowAttributes(sheet.get()));
  EXPECT_EQ(sheet->firstColumn->blockCount, 4);
  EXPECT_EQ(testing::valuesOf(*sheet->firstColumn), (Numbers{1, 2, 3, 4, 5, 6, 7}));
  std::int32_t index = 0;
  const RowAttributeNode* last = nullptr;
  for (auto* node = sheet->rowAttrFirst; node != nullptr;
       node = static_cast<RowAttributeNode*>(node->next)) {
    EXPECT_EQ(std::tuple(node->rowIndex, node->classNumber, node->flag1, node->flag2,
                         node->flag3, node->prev),
              std::tuple(index++, 6, 0, 0, 1, last));
    last = node;
  }
  EXPECT_EQ(std::tuple(index, sheet->rowAttrLast, sheet->rowAttrStorage.blockCount),
            std::tuple(7, last, 3));
}

TEST(Sheet, ChangeFlags) {
  TestSheet sheet;
  SheetColumn* a = addColumn(sheet.get(), ColumnType::Numeric, "a", 25);
  SheetColumn* b = addColumn(sheet.get(), ColumnType::Numeric, "b", 25);
  sheet->changeSeen = 1;
  markColumnChanged(a, false);
  EXPECT_EQ(std::tuple(a->changed, sheet->changed, sheet->changeSeen), std::tuple(1, 1, 1));
  markColumnChanged(a, true);
  EXPECT_EQ(sheet->changeSeen, 0);

  b->refreshOnMark = 0;
  a->changed = 0;
  sheet->changeSeen = 1;
  markAllColumnsChanged(sheet.get(), false);
  EXPECT_EQ(std::tuple(a->changed, b->changed, sheet->firstColumn->changed, sheet->changeSeen),
            std::tuple(1, 0, 1, 0));
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
    allocateColumnValues(*addColumn(sheet, type, "x", 25), 3);
  }
  testing::attachLabels(*sheet->lastColumn, {"a", "b"});
  testing::attachLevelValues(*sheet->lastColumn, {1, 2});
  sheet->notes = static_cast<char*>(std::malloc(4));
  EXPECT_EQ(currentSheet, sheet);
  discardCurrentSheet();
  EXPECT_EQ(currentSheet, nullptr);
  discardCurrentSheet();  // nothing to free
  freeSheet(nullptr);
}

}  // namespace
}  // namespace vodbc
