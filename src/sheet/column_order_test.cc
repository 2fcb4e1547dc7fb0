#include "sheet/column_order.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

// A sheet with the row column and data columns a to e.
struct FiveColumns : testing::TestSheet {
  FiveColumns() {
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      addColumn(get(), ColumnType::Numeric, name, 25);
    }
  }
};

// The names in list order, checking positions and links on the way.
std::string order(const Sheet& sheet) {
  std::string names;
  std::int32_t position = 0;
  for (const SheetColumn* c = sheet.firstColumn; c != nullptr; c = c->next) {
    EXPECT_EQ(c->position, position++);
    EXPECT_EQ(c->next == nullptr ? sheet.lastColumn : c->next->prev, c);
    names += std::string(c->name) + ' ';
  }
  return names;
}

TEST(ColumnOrder, FindColumnByPositionFromEitherEndOrTheCursor) {
  FiveColumns sheet;
  for (std::int32_t p : {0, 1, 2, 3, 4, 5, 4, 2, 3, 1, 5, 0}) {
    SheetColumn* column = findColumn(sheet.get(), p);
    ASSERT_NE(column, nullptr) << p;
    EXPECT_EQ(std::tuple(column->position, sheet->cursorColumn, sheet->cursorIndex),
              std::tuple(p, column, p));
  }
  EXPECT_EQ(findColumn(sheet.get(), 6), nullptr);
  EXPECT_EQ(findColumn(sheet.get(), -1), nullptr);
  EXPECT_EQ(sheet->cursorIndex, 0);  // a failed search keeps the cursor
  EXPECT_EQ(findColumn(nullptr, 1), nullptr);
}

TEST(ColumnOrder, MoveColumns) {
  const std::tuple<std::int32_t, std::int32_t, const char*> cases[] = {
      {3, 1, "Row c a b d e "}, {1, 3, "Row b c a d e "}, {2, 9, "Row a c d e b "},
      {5, 5, "Row a b c d e "}, {5, 1, "Row e a b c d "}};
  for (auto [from, to, expected] : cases) {
    FiveColumns sheet;
    findColumn(sheet.get(), 2);
    ASSERT_TRUE(moveColumn(sheet.get(), from, to)) << from << "->" << to;
    EXPECT_EQ(order(*sheet.get()), expected);
    EXPECT_EQ(sheet->columnCount, 5);
    if (from == to) continue;
    // A move forgets the cursor.
    EXPECT_EQ(std::tuple(sheet->cursorIndex, sheet->cursorColumn), std::tuple(-1, nullptr));
  }
}

TEST(ColumnOrder, RefusedMovesLeaveTheListAsItWas) {
  FiveColumns sheet;
  const std::string before = order(*sheet.get());
  EXPECT_FALSE(moveColumn(sheet.get(), 0, 1));
  EXPECT_FALSE(moveColumn(sheet.get(), 1, 0));
  EXPECT_FALSE(moveColumn(sheet.get(), 9, 1));
  sheet->locked = 1;
  EXPECT_FALSE(moveColumn(sheet.get(), 3, 1));
  sheet->locked = 0;
  EXPECT_EQ(order(*sheet.get()), before);

  // Nothing is moved in front of a pinned column, and a pinned column only
  // goes to position 1.
  findColumn(sheet.get(), 1)->type = ColumnType::PinnedNumeric;
  EXPECT_FALSE(moveColumn(sheet.get(), 4, 1));
  EXPECT_FALSE(moveColumn(sheet.get(), 1, 3));
  EXPECT_TRUE(moveColumn(sheet.get(), 1, 1));
  EXPECT_EQ(order(*sheet.get()), before);
  EXPECT_TRUE(moveColumn(sheet.get(), 4, 2));
  EXPECT_EQ(order(*sheet.get()), "Row a d b c e ");
}

}  // namespace
}  // namespace vodbc
