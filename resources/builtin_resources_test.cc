#include <gtest/gtest.h>

#include <string>

#include "layouts/layout_listing.h"
#include "toolkit/resource.h"

namespace toolkit {
namespace {

using testing::listing;

class BuiltinResources : public ::testing::Test {
 protected:
  void SetUp() override {
    resources().clear();
    ASSERT_TRUE(addBuiltinResources()) << "every file parses";
  }
};

TEST_F(BuiltinResources, MenuBarHasTheCommandsAndKeys) {
  const MenuBarResource* m = resources().menuBar(1000);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(listing(*m), R"(menubar 1000
  "&Query"
    1001 "&Database...\tF2"
    1003 "&Rerun Saved...\tF3"
    -
    1006 "E&xit\tAlt+F4"
  "&Help"
    1008 "&Contents..."
    1009 "&Find..."
    -
    1004 "&About..."
  1002 "E&xit"
F2=1001 F1=1008 Shift+F1=1009 Ctrl+F1=32457 Alt+F1=32462 )");
}

TEST_F(BuiltinResources, WindowLayouts) {
  std::string all;
  for (int id : {101, 102, 103, 104, 105, 107}) {
    const WindowResource* w = resources().window(id);
    ASSERT_NE(w, nullptr) << id;
    all += listing(*w);
  }
  // Scripts and the program find controls by name. The editor's OK is no
  // default: Enter makes new lines there.
  EXPECT_EQ(all, R"(window 101 "Open Spreadsheet from ODBC Data" 152x166
  1 button "OK" 6 152 32 12 default name=ok
  2 button "Cancel" 42 152 32 12 name=cancel
  3 button "Clear" 100 114 38 12 name=clear
  4 button "Select All" 12 114 38 12 name=select_all
  5 button "Where" 78 152 32 12 name=where
  6 static "Table:" 2 2 136 8
  7 dropdown "" 2 12 148 58 name=tables
  8 static "Available Columns:" 4 26 68 8
  9 multilist "" 4 36 64 76 name=columns
  10 static "Selected Columns:" 86 26 64 8
  11 textedit "" 88 36 60 74 name=selected
  12 button ">>" 70 66 16 12 name=add
  13 check "Edit resulting SQL statement" 6 128 134 8 name=edit_sql
  14 check "Save Retrieval in file for re-use " 6 140 134 8 name=save
  15 button "~Help" 114 152 32 12 name=help
  tab 7 9 12 11 4 3 13 14 1 2 5 15
window 102 "ODBC: Edit SQL Statement" 258x102
  1 button "OK" 4 88 34 12 name=ok
  2 button "Cancel" 42 88 34 12 name=cancel
  3 textedit "" 2 2 254 82 name=sql
  4 button "Tables" 80 88 36 12 name=tables
  5 button "Columns" 120 88 36 12 name=columns
  6 check "Save edited text" 196 88 60 8 name=save
  7 button "Help" 160 88 32 12 name=help
  tab 3 1 2 4 5 7 6
window 103 "Velora ODBC Error Message" 240x124 at 86 76
  1 static "SQL Error:" 4 4 50 8
  3 static "" 56 4 50 8 name=sqlstate
  2 static "Error Code:" 112 4 54 8
  4 static "" 168 4 68 8 name=native
  5 static "ODBC Error Message:" 4 16 232 8
  6 textedit "" 4 26 232 76 readonly stretch name=message
  7 button "OK" 89 106 62 14 default name=ok
dialog 104 "ODBC Insert Tables/Fields" 176x106
  1 button "~OK" 14 92 36 12 default name=ok
  2 button "Cancel" 66 92 36 12 name=cancel
  3 static "~Tables:" 4 2 68 8
  4 list "" 2 12 90 76 name=tables
  5 static "~Fields:" 100 2 68 8
  6 list "" 96 12 76 80 name=fields
  7 button "~Help" 116 92 36 12 name=help
  tab 4 6 1 2 7
window 105 "ODBC Data: Select rows with Where statement" 245x96
  1 button "OK" 180 2 32 12 default name=ok
  2 button "Cancel" 180 18 32 12 name=cancel
  3 button "Clear" 180 34 32 12 name=clear
  4 static "Where clause (type or double click items in lists):" 2 2 172 8
  5 textedit "" 2 12 174 36 name=condition
  6 static "Available Columns:" 4 52 70 8
  7 list "" 2 60 72 36 name=columns
  8 static "Available Functions:" 80 52 70 8
  9 list "" 76 60 90 36 name=functions
  10 static "Operators:" 174 52 60 8
  11 list "" 168 60 76 36 name=operators
  12 button "Help" 216 2 28 12 name=help
  tab 5 7 9 11 1 2 3 12
dialog 107 "About Velora ODBC Query" 195x78
  1 button "OK" 80 62 34 12 default name=ok
  2 static "Velora for Windows ODBC Query program" 2 6 191 12 centre name=heading
  3 static "" 2 22 191 8 centre name=author
  4 static "" 2 32 191 8 centre name=version
  5 static "" 2 42 191 8 centre name=maker
)");
}

}  // namespace
}  // namespace toolkit
