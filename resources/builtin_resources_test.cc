#include <gtest/gtest.h>

#include <string>

#include "toolkit/resource.h"
#include "toolkit/session.h"

namespace toolkit {
namespace {

// One line per window and per control: what the layouts promise the user.
std::string describe(const WindowResource& w) {
  static const char* const kinds[] = {"button", "static", "edit", "textedit",
                                      "list", "multilist", "dropdown", "check"};
  std::string s = std::to_string(w.id) + " " + quoteText(w.title) + " " +
                  std::to_string(w.width) + "x" + std::to_string(w.height) + "\n";
  for (const ControlResource& c : w.controls) {
    s += "  " + std::to_string(c.id) + " " + kinds[static_cast<int>(c.kind)] + " " +
         quoteText(c.text) + " " + std::to_string(c.x) + " " + std::to_string(c.y) + " " +
         std::to_string(c.width) + " " + std::to_string(c.height) +
         (c.isDefault ? " default" : "") +
         (c.alignment == Alignment::Centre ? " centre" : "") + "\n";
  }
  return s;
}

std::string describe(const std::vector<MenuEntry>& entries, const std::string& indent) {
  std::string s;
  for (const MenuEntry& e : entries) {
    if (e.kind == MenuEntry::Kind::Separator) s += indent + "-\n";
    if (e.kind == MenuEntry::Kind::Command) {
      s += indent + std::to_string(e.tag) + " " + quoteText(e.label) + "\n";
    }
    if (e.kind == MenuEntry::Kind::Submenu) {
      s += indent + quoteText(e.label) + "\n" + describe(e.entries, indent + "  ");
    }
  }
  return s;
}

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
  std::string keys;
  for (const auto& k : m->keys) keys += k.key + "=" + std::to_string(k.tag) + " ";
  EXPECT_EQ(describe(m->entries, "") + keys, R"("&Query"
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
    all += describe(*w);
  }
  // The editor's OK is no default: Enter makes new lines there.
  EXPECT_EQ(all, R"(101 "Open Spreadsheet from ODBC Data" 152x166
  1 button "OK" 6 152 32 12 default
  2 button "Cancel" 42 152 32 12
  3 button "Clear" 100 114 38 12
  4 button "Select All" 12 114 38 12
  5 button "Where" 78 152 32 12
  6 static "Table:" 2 2 136 8
  7 dropdown "" 2 12 148 58
  8 static "Available Columns:" 4 26 68 8
  9 multilist "" 4 36 64 76
  10 static "Selected Columns:" 86 26 64 8
  11 textedit "" 88 36 60 74
  12 button ">>" 70 66 16 12
  13 check "Edit resulting SQL statement" 6 128 134 8
  14 check "Save Retrieval in file for re-use " 6 140 134 8
  15 button "~Help" 114 152 32 12
102 "ODBC: Edit SQL Statement" 258x102
  1 button "OK" 4 88 34 12
  2 button "Cancel" 42 88 34 12
  3 textedit "" 2 2 254 82
  4 button "Tables" 80 88 36 12
  5 button "Columns" 120 88 36 12
  6 check "Save edited text" 196 88 60 8
  7 button "Help" 160 88 32 12
103 "Velora ODBC Error Message" 174x92
  1 static "SQL Error:" 2 2 40 8
  3 static "" 42 2 48 8
  2 static "Error Code:" 92 2 40 8
  4 static "" 132 2 40 8
  5 static "ODBC Error Message:" 2 12 76 8
  6 textedit "" 2 22 170 54
  7 button "OK" 54 78 62 12 default
104 "ODBC Insert Tables/Fields" 176x106
  1 button "~OK" 14 92 36 12 default
  2 button "Cancel" 66 92 36 12
  3 static "~Tables:" 4 2 68 8
  4 list "" 2 12 90 76
  5 static "~Fields:" 100 2 68 8
  6 list "" 96 12 76 80
  7 button "~Help" 116 92 36 12
105 "ODBC Data: Select rows with Where statement" 245x96
  1 button "OK" 180 2 32 12 default
  2 button "Cancel" 180 18 32 12
  3 button "Clear" 180 34 32 12
  4 static "Where clause (type or double click items in lists):" 2 2 172 8
  5 textedit "" 2 12 174 36
  6 static "Available Columns:" 4 52 70 8
  7 list "" 2 60 72 36
  8 static "Available Functions:" 80 52 70 8
  9 list "" 76 60 90 36
  10 static "Operators:" 174 52 60 8
  11 list "" 168 60 76 36
  12 button "Help" 216 2 28 12
107 "About Velora ODBC Query" 195x78
  1 button "OK" 80 62 34 12 default
  2 static "Velora for Windows ODBC Query program" 2 6 191 12 centre
  3 static "" 2 22 191 8 centre
  4 static "" 2 32 191 8 centre
  5 static "" 2 42 191 8 centre
)");
  // Scripts and the program find the default buttons by name.
  for (int id : {101, 103, 104, 105, 107}) {
    const ControlResource* ok = resources().window(id)->controlByName("ok");
    EXPECT_TRUE(ok && ok->isDefault) << id;
  }
}

}  // namespace
}  // namespace toolkit
