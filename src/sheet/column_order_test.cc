#include "sheet/column_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet/sheet.h"
#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

using testing::TestSheet;

std::string order(const Sheet& sheet) {
  std::string names;
  std::int32_t position = 0;
  for (const SheetColumn* c = sheet.firstColumn; c != nullptr; c = c->next) {
    EXPECT_EQ(c->position, position++);
    if (c->next != nullptr) {
      EXPECT_EQ(c->next->prev, c);
    }
    names += c->name;
    names += ' ';
  }
  EXPECT_EQ(sheet.lastColumn->next, nullptr);
  return names;
}

class ColumnOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      addColumn(sheet.get(), ColumnType::Numeric, name, 25);
    }
  }
  TestSheet sheet;
};

TEST_F(ColumnOrderTest, FindColumnByPositionFromEitherEndOrTheCursor) {
  for (std::int32_t p : {0, 1, 2, 3, 4, 5, 4, 2, 3, 1, 5, 0}) {
    SheetColumn* column = findColumn(sheet.get(), p);
    ASSERT_NE(column, nullptr) << p;
    EXPECT_EQ(column->position, p);
    EXPECT_EQ(sheet->cursorColumn, column);
    EXPECT_EQ(sheet->cursorIndex, p);
  }
  EXPECT_EQ(findColumn(sheet.get(), 6), nullptr);
  EXPECT_EQ(findColumn(sheet.get(), -1), nullptr);
  EXPECT_EQ(sheet->cursorIndex, 0);  // a failed search keeps the cursor
  EXPECT_EQ(findColumn(nullptr, 1), nullptr);
}

TEST_F(ColumnOrderTest, MoveColumns) {
  struct Case {
    std::int32_t from, to;
    const char* order;
  };
  const Case cases[] = {
      {3, 1, "Row c a b d e "},
      {1, 3, "Row b c a d e "},
      {2, 9, "Row a c d e b "},
      {5, 5, "Row a b c d e "},
      {5, 1, "Row e a b c d "},
  };
  for (const Case& c : cases) {
    TestSheet fresh;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
      addColumn(fresh.get(), ColumnType::Numeric, name, 25);
    }
    findColumn(fresh.get(), 2);
    ASSERT_TRUE(moveColumn(fresh.get(), c.from, c.to)) << c.from << "->" << c.to;
    EXPECT_EQ(order(*fresh.get()), c.order);
    EXPECT_EQ(fresh->columnCount, 5);
    if (c.from != c.to) {
      EXPECT_EQ(fresh->cursorIndex, -1);
      EXPECT_EQ(fresh->cursorColumn, nullptr);
    }
  }
}

TEST_F(ColumnOrderTest, RefusedMovesLeaveTheListAsItWas) {
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
  SheetColumn* pinned = findColumn(sheet.get(), 1);
  pinned->type = ColumnType::PinnedNumeric;
  EXPECT_FALSE(moveColumn(sheet.get(), 4, 1));
  EXPECT_FALSE(moveColumn(sheet.get(), 1, 3));
  EXPECT_TRUE(moveColumn(sheet.get(), 1, 1));
  EXPECT_EQ(order(*sheet.get()), before);
  EXPECT_TRUE(moveColumn(sheet.get(), 4, 2));
  EXPECT_EQ(order(*sheet.get()), "Row a d b c e ");
}

}  // namespace
}  // namespace vodbc
