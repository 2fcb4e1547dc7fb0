// The worksheet model's own structure: the sheet and its settings, column
// order, names, display widths and file paths.
#include "sheet/sheet.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>

#include "files/temp_folder.h"
#include "sheet/column_order.h"
#include "sheet/display_width.h"
#include "sheet/names.h"
#include "sheet/paths.h"
#include "sheet/worksheet_settings.h"
#include "sheets/test_sheet.h"

namespace vodbc {
namespace {

using testing::Numbers;
using testing::TestSheet;

TEST(Sheet, NewSheetHoldsOnlyTheRowColumn) {
  TestSheet sheet;
  EXPECT_EQ(currentSheet, sheet.get());
  EXPECT_EQ(std::tuple(sheet->kind, sheet->columnCount, sheet->rowCount, sheet->pinnedCount,
                       sheet->cursorIndex, sheet->columnSerial, sheet->changed, sheet->changeSeen,
                       sheet->locked, sheet->noteCount),
            std::tuple(1, 0, 0, 1, -1, 1, 0, 0, 0, 0));
  EXPECT_EQ(std::tuple(sheet->cursorColumn, sheet->notes), std::tuple(nullptr, nullptr));
  EXPECT_EQ(std::string(sheet->fileName) + "|" + sheet->directory, "|");

  const SheetColumn* row = sheet->firstColumn;
  ASSERT_NE(row, nullptr);
  EXPECT_STREQ(row->name, "Row");
  EXPECT_EQ(std::tuple(row->type, row->position, row->displayWidth, row->formatKind, row->decimals,
                       row->valueWidth, row->serial, row->refreshOnMark),
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
  const Case cases[] = {{ColumnType::Numeric, 1, 1},       {ColumnType::Text, 4, 1},
                        {ColumnType::Factor, 1, 1},        {ColumnType::PinnedText, 4, 2},
                        {ColumnType::PinnedNumeric, 1, 3}, {ColumnType{7}, 1, 3}};
  std::int32_t position = 1;
  for (const Case& c : cases) {
    SheetColumn* column = addColumn(sheet.get(), c.type, "name", 80);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(
        std::tuple(column->type, column->formatKind, column->decimals, column->valueWidth,
                   column->position, column->serial, sheet->pinnedCount, sheet->columnCount),
        std::tuple(c.type, c.formatKind, -1, 80, position, position, c.pinnedAfter, position));
    EXPECT_EQ(std::tuple(sheet->lastColumn, column->prev->next, column->valueStorage.size()),
              std::tuple(column, column, 0));
    ++position;
  }
  EXPECT_EQ(
      std::string(addColumn(sheet.get(), ColumnType::Numeric, std::string(40, 'n'), 25)->name),
      std::string(32, 'n'));
}

TEST(Sheet, TwoHundredFiftyDataColumnsFitTheFiftyFirstDoesNot) {
  TestSheet sheet;
  for (int i = 0; i < kMaxDataColumns; ++i) {
    ASSERT_NE(addColumn(sheet.get(), ColumnType::Numeric, "c", 25), nullptr) << i;
  }
  EXPECT_EQ(std::tuple(sheet->lastColumn->position, sheet->lastColumn->serial),
            std::tuple(250, 250));
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
  EXPECT_EQ(empty->firstColumn->length, 0);
  EXPECT_FALSE(createRowAttributes(nullptr));
}

TEST(Sheet, RowNumbersAcrossBlocks) {
  ScopedStorageLimits small({.numbersPerBlock = 2});
  TestSheet sheet;
  sheet->rowCount = 7;
  ASSERT_TRUE(createRowAttributes(sheet.get()));
  EXPECT_EQ(sheet->firstColumn->valueStorage.blocks().size(), 4u);
  EXPECT_EQ(testing::valuesOf(*sheet->firstColumn), (Numbers{1, 2, 3, 4, 5, 6, 7}));
  // Built again for another row count, "Row" holds only the new numbers.
  sheet->rowCount = 3;
  ASSERT_TRUE(createRowAttributes(sheet.get()));
  EXPECT_EQ(testing::valuesOf(*sheet->firstColumn), (Numbers{1, 2, 3}));
  EXPECT_EQ(sheet->firstColumn->valueStorage.size(), 3);
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
  const std::tuple<std::int32_t, std::int32_t, const char*> cases[] = {{3, 1, "Row c a b d e "},
                                                                       {1, 3, "Row b c a d e "},
                                                                       {2, 9, "Row a c d e b "},
                                                                       {5, 5, "Row a b c d e "},
                                                                       {5, 1, "Row e a b c d "}};
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

std::string normalised(const std::string& text, std::int64_t max = 80) {
  char out[256];
  normaliseBlanks(out, text.c_str(), max);
  return out;
}

std::string sanitised(const std::string& name) {
  char buffer[kNameLength + 1] = {};
  std::strncpy(buffer, name.c_str(), kNameLength);
  sanitiseName(buffer);
  return buffer;
}

class NamesTest : public ::testing::Test {
 protected:
  void SetUp() override { initWorksheetDefaults(); }
  void TearDown() override { initWorksheetDefaults(); }
};

TEST_F(NamesTest, NormaliseBlanks) {
  const std::pair<const char*, const char*> cases[] = {{"", ""},
                                                       {"   ", ""},
                                                       {" ", ""},
                                                       {"a", "a"},
                                                       {"  a  b   c  ", "a b c"},
                                                       {"First  Name", "First Name"},
                                                       {"tab\tstays", "tab\tstays"},
                                                       {" x", "x"}};
  for (auto [in, out] : cases) EXPECT_EQ(normalised(in), out) << '"' << in << '"';
  // Only the first `max` characters are looked at.
  EXPECT_EQ(normalised("abc def", 5), "abc d");
  EXPECT_EQ(normalised("abc    def", 5), "abc");
  char text[] = "  in   place ";
  normaliseBlanks(text, text, 80);
  EXPECT_STREQ(text, "in place");
}

TEST_F(NamesTest, SanitiseName) {
  const std::string L40(40, 'L'), a31(31, 'a'), a30(30, 'a');
  const std::pair<std::string, std::string> cases[] = {
      {"Unit Price ($)", "Unit_Price_"},
      {"First  Name", "First_Name"},
      {"2001", "%2001"},
      {"_id", "%_id"},
      {"[x]", "%[x]"},
      {"]x", "%_x"},
      {"a[b", "a[b]"},
      {"a[]b", "ab"},
      {"a][b", "ab"},
      {"a]b[c", "a[b]"},
      {"Sales[2001]Q", "Sales[2001]"},
      {"a]b", "a_b"},
      {"Amount", "Amount"},
      {"amount", "amount"},
      {"per%cent", "per%cent"},
      {"a\\b^c`d", "a_b_c_d"},
      {"caf\xE9", "caf_"},
      {"x__y", "x_y"},
      {"  padded  ", "padded"},
      {L40, L40.substr(0, 32)},
      // Built by appending: GCC 12 at -O3 warns (wrongly, -Wrestrict) about
      // the inlined `"x" + std::string&&`.
      {std::string("9").append(31, 'd'), std::string("%9").append(30, 'd')},
      {a31 + "[", a31 + "_"},
      {a30 + "[", a30 + "[]"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(sanitised(in), out) << in;
  sanitiseName(nullptr);
}

TEST_F(NamesTest, UnusableNamesBecomeDefaultNamesCountedAcrossSheets) {
  EXPECT_EQ(sanitised("   "), "C1");
  EXPECT_EQ(sanitised(""), "C2");
  EXPECT_EQ(sanitised("----"), "C3");
  EXPECT_EQ(sanitised("()"), "C4");
  EXPECT_EQ(programSettings().nameCounter, 4);
  createSheet();
  EXPECT_EQ(sanitised(""), "C5");
  discardCurrentSheet();
  createSheet();
  EXPECT_EQ(sanitised(""), "C6");
  discardCurrentSheet();
}

TEST_F(NamesTest, DefaultNamePatterns) {
  char name[kNameLength + 1];
  defaultName(name, 7);
  EXPECT_STREQ(name, "C7");
  EXPECT_EQ(programSettings().nameCounter, 0);
  defaultName(name, 0);
  EXPECT_STREQ(name, "C1");
  defaultName(name, -3);
  EXPECT_STREQ(name, "C2");

  initWorksheetDefaults();
  SheetSettings& settings = programSettings();
  settings.options[kBracketNamesOption] = 1;
  std::strcpy(settings.namePrefix, "Column");
  defaultName(name, 0);
  EXPECT_STREQ(name, "Column[1]");
  std::strcpy(settings.namePrefix, "LongPrefix");  // 8 characters are used
  defaultName(name, 12);
  EXPECT_STREQ(name, "LongPref[12]");
  settings.options[kBracketNamesOption] = 0;
  defaultName(name, 12);  // 6 characters without brackets
  EXPECT_STREQ(name, "LongPr12");
}

TEST(DisplayWidth, TextColumnsMeasureTheirLongestValueAndName) {
  testing::TestSheet sheet;
  // Name, values, then the width and the longest value's length.
  const std::tuple<const char*, testing::Texts, std::int32_t, std::int32_t> cases[] = {
      {"abcdef", {"x", std::string(14, 'y'), ""}, 15, 14},
      {"fifteen_chars_x", {"abc", "ab"}, 12, 3},
      {"t", {"", "a"}, 3, 2},
  };
  for (const auto& [name, texts, width, longest] : cases) {
    SheetColumn* column = sheet.addTexts(name, texts);
    EXPECT_EQ(computeDisplayWidth(*column), width) << name;
    EXPECT_EQ(std::tuple(column->displayWidth, column->levelCount), std::tuple(width, longest));
  }
}

TEST(DisplayWidth, FactorsByLevelKind) {
  testing::TestSheet sheet;
  const std::pair<std::int32_t, std::int32_t> plain[] = {{1, 3},  {5, 3},  {9, 3},
                                                         {10, 4}, {99, 4}, {100, 5}};
  for (auto [levels, width] : plain) {
    SheetColumn* factor = sheet.addNumbers("f", {1}, ColumnType::Factor);
    factor->levelCount = levels;
    EXPECT_EQ(computeDisplayWidth(*factor), width) << levels;
  }
  SheetColumn* valued = sheet.addNumbers("v", {1, 2, 3}, ColumnType::Factor);
  valued->levelKind = 1;
  valued->levelCount = 3;
  testing::attachLevelValues(*valued, {10, 2.5, 1000.25});
  EXPECT_EQ(computeDisplayWidth(*valued), 8);

  SheetColumn* labelled = sheet.addNumbers("l", {1, 2}, ColumnType::Factor);
  labelled->levelKind = 2;
  labelled->levelCount = 2;
  testing::attachLabels(*labelled, {"ab", "abcdef"});
  EXPECT_EQ(computeDisplayWidth(*labelled), 7);
  EXPECT_EQ(labelled->labelWidth, 6);
}

TEST(DisplayWidth, NumbersAndDatesUseTheirTextForms) {
  testing::TestSheet sheet;
  SheetColumn* numbers = sheet.addNumbers("x", {1, 123.456, kMissingValueCode});
  EXPECT_EQ(computeDisplayWidth(*numbers), 8);
  numbers->formatKind = kFormatRowNumber;
  numbers->decimals = 2;
  EXPECT_EQ(computeDisplayWidth(*numbers), 7);  // "123.46"
  EXPECT_EQ(computeDisplayWidth(*sheet.addNumbers("m", {kMissingValueCode})), 3);

  // A date column sets the program's date layout before measuring.
  setDateFormat(1);
  SheetColumn* dates = sheet.addNumbers("when", {37000.4375});
  dates->formatKind = kFormatDateTime;
  dates->dateFormat = 34;
  EXPECT_EQ(computeDisplayWidth(*dates), 20);  // "2001-04-19 10:30:00"
  EXPECT_EQ(dateFormat(), 34);
  setDateFormat(1);
}

TEST(Paths, SplitPath) {
  setDefaultDirectory("/start/dir");
  struct Case {
    std::string path, directory, name;
  };
  const std::string longName(300, 'n');
  const Case cases[] = {
      {"/data/q.idb", "/data", "q.idb"},
      {"/q.idb", "/", "q.idb"},
      {"q.idb", "/start/dir", "q.idb"},
      {"sub/q.idb", "sub", "q.idb"},
      {"/a/b/c.WOR", "/a/b", "c.WOR"},
      {"data/", "data", ""},
      {"/", "/", ""},
      {"back\\slash.idb", "/start/dir", "back\\slash.idb"},
      {longName, "/start/dir", std::string(255, 'n')},
      // Only the first 256 characters are split.
      {"/x/" + longName, "/x", std::string(253, 'n')},
      {std::string(300, 'f') + "/name", std::string(256, 'f'), ""},
  };
  for (const Case& c : cases) {
    std::string directory = "old", name = "old";
    EXPECT_TRUE(splitPath(c.path, directory, name)) << c.path;
    EXPECT_EQ(directory + "|" + name, c.directory + "|" + c.name) << c.path;
  }
  std::string directory, name = "old";
  EXPECT_FALSE(splitPath("", directory, name));
  EXPECT_EQ(name, "");
  setDefaultDirectory("");
}

TEST(Paths, JoinPath) {
  struct Case {
    std::string directory, name;
    bool joined;
    std::string path;
  };
  const std::string d256(256, 'd');
  const Case cases[] = {
      {"/data", "q.idb", true, "/data/q.idb"},
      {"/data/", "q.idb", true, "/data/q.idb"},
      {"/", "q.idb", true, "/q.idb"},
      {"rel", "", true, "rel/"},
      {"", "q.idb", false, ""},
      {d256, "n", true, d256 + "/n"},
      {d256 + "d", "n", false, ""},
  };
  for (const Case& c : cases) {
    std::string path = "old";
    EXPECT_EQ(joinPath(c.directory, c.name, path), c.joined) << c.directory;
    EXPECT_EQ(path, c.path) << c.directory;
  }
}

TEST(Paths, FileExistsForFilesButNotFolders) {
  const testing::TempFolder temp("vodbc-paths");
  const std::string folder = temp.str();
  ASSERT_TRUE(std::ofstream(folder + "/present.WOR").good());
  ASSERT_TRUE(std::filesystem::create_directory(folder + "/folder"));
  EXPECT_TRUE(fileExists(folder + "/present.WOR"));
  for (const std::string& absent :
       {folder + "/PRESENT.WOR", folder + "/absent.WOR", folder + "/folder", folder + "/",
        std::string(), std::string("/no/such/folder/present.WOR")}) {
    EXPECT_FALSE(fileExists(absent)) << absent;
  }
  // A bare name lives in the default directory.
  EXPECT_FALSE(fileExists("present.WOR"));
  setDefaultDirectory(folder);
  EXPECT_TRUE(fileExists("present.WOR"));
  setDefaultDirectory("");
}

TEST(Paths, SetSheetPath) {
  testing::TestSheet sheet;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string f300(300, 'f');
  struct Case {
    std::string path, directory, name;
  };
  const Case cases[] = {
      {"/data/out.WOR", "/data", "out.WOR"},
      {"/out.WOR", "/", "out.WOR"},
      {"D:\\data/out.WOR", "D:\\data", "out.WOR"},
      {"/" + f300 + "/" + std::string(300, 'n'), std::string("/").append(f300, 0, 254),
       std::string(256, 'n')},
      {"bare.WOR", cwd, "bare.WOR"},
  };
  for (const Case& c : cases) {
    setSheetPath(*sheet.get(), c.path);
    EXPECT_EQ(std::string(sheet->directory) + "|" + sheet->fileName, c.directory + "|" + c.name);
  }
  sheet->directory[0] = '\0';
  EXPECT_TRUE(setSheetDirectory(*sheet.get(), true));
  EXPECT_STREQ(sheet->directory, cwd);
  setSheetFileName(*sheet.get(), std::string(300, 'f'));
  EXPECT_EQ(std::string(sheet->fileName), std::string(256, 'f'));
}

}  // namespace
}  // namespace vodbc
