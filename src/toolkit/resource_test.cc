#include "toolkit/resource.h"

#include <gtest/gtest.h>

#include <optional>

#include "layouts/layout_listing.h"
#include "toolkit/types.h"

namespace toolkit {
namespace {

using testing::listing;

TEST(ParseResource, DialogWithEveryKindOfControl) {
  ParsedResource parsed;
  std::string error;
  ASSERT_TRUE(parseResource(R"(# a comment

dialog 200 "Pick \"one\"" size 150 100 at 5 6
button 1 "~OK" at 6 80 size 32 12 default name ok
static 2 "Line\none" at 2 2 size 100 8 centre
edit 3 "" at 2 12 size 100 12 name connection
textedit 4 at 2 26 size 100 30 hidden
list 5 at 2 58 size 40 20 disabled
multilist 6 at 44 58 size 40 20 right
dropdown 7 at 90 58 size 40 40
check 8 "Save" at 2 90 size 60 8
tab 3 1 8
)",
                            "t.res", parsed, error))
      << error;
  ASSERT_TRUE(parsed.window);
  EXPECT_EQ(listing(*parsed.window), R"(dialog 200 "Pick \"one\"" 150x100 at 5 6
  1 button "~OK" 6 80 32 12 default name=ok
  2 static "Line\none" 2 2 100 8 centre
  3 edit "" 2 12 100 12 name=connection
  4 textedit "" 2 26 100 30 hidden
  5 list "" 2 58 40 20 disabled
  6 multilist "" 44 58 40 20 right
  7 dropdown "" 90 58 40 40
  8 check "Save" 2 90 60 8
  tab 3 1 8
)");
  const WindowResource& w = *parsed.window;
  EXPECT_EQ(w.controlByName("connection"), &w.controls[2]);
  EXPECT_EQ(w.control(8), &w.controls[7]);
  EXPECT_EQ(w.control(9), nullptr);
  EXPECT_EQ(w.controlByName(""), nullptr);
}

TEST(ParseResource, MenuBarWithSubmenusBarItemsAndKeys) {
  ParsedResource parsed;
  std::string error;
  ASSERT_TRUE(parseResource(R"(menubar 1000
menu "&Query"
item 1001 "&Database...\tF2"
separator
item 1006 "E&xit"
end
item 1002 "E&xit"
key Shift+F1 1009
)",
                            "m.res", parsed, error))
      << error;
  ASSERT_TRUE(parsed.menuBar);
  const MenuBarResource& m = *parsed.menuBar;
  EXPECT_EQ(listing(m), R"(menubar 1000
  "&Query"
    1001 "&Database...\tF2"
    -
    1006 "E&xit"
  1002 "E&xit"
Shift+F1=1009 )");
  EXPECT_TRUE(m.hasCommand(1006));
  EXPECT_TRUE(m.hasCommand(1002));
  EXPECT_FALSE(m.hasCommand(1009)) << "a key's tag is no menu command";
}

struct BadCase {
  std::string text;
  const char* error;
};

class BadResource : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadResource, IsRefusedWithFileAndLine) {
  ParsedResource parsed;
  std::string error;
  EXPECT_FALSE(parseResource(GetParam().text, "x.res", parsed, error));
  EXPECT_EQ(error, GetParam().error);
}

const std::string kDialog = "dialog 5 \"T\" size 10 10\n";
const std::string kButton = kDialog + "button 1 at 1 1 size 1 1";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadResource,
    ::testing::Values(
        BadCase{"", "x.res:1: no resource in the file"},
        BadCase{"# only\n", "x.res:1: no resource in the file"},
        BadCase{"button 1 at 1 1 size 1 1\n",
                "x.res:1: a resource begins with 'dialog', 'window' or 'menubar'"},
        BadCase{"dialog 5 size 1 1\n", "x.res:1: expected 'dialog ID \"TITLE\" size W H [at X Y]'"},
        BadCase{"dialog 5 \"T\" size 1 1 at 2\n", "x.res:1: expected 'at N N'"},
        BadCase{kDialog + "knob 1 at 1 1 size 1 1\n", "x.res:2: unknown statement 'knob'"},
        BadCase{kDialog + "button 1 \"a at 1 1 size 1 1\n",
                "x.res:2: text without its closing quote"},
        BadCase{kDialog + "button 1 \"\\q\" at 1 1 size 1 1\n", "x.res:2: unknown escape \\q"},
        BadCase{kDialog + "button 1 \"A\" size 1 1 at 1 1\n", "x.res:2: expected 'at N N'"},
        BadCase{kButton + "\nstatic 1 at 1 1 size 1 1\n", "x.res:3: control 1 defined twice"},
        BadCase{kButton + " name a\nstatic 2 at 1 1 size 1 1 name a\n",
                "x.res:3: name 'a' used twice"},
        BadCase{kButton + " name a-b\n",
                "x.res:2: expected a name of letters, digits and '_' after 'name'"},
        BadCase{kButton + " bold\n", "x.res:2: unknown option 'bold'"},
        BadCase{kButton + "\ntab 1\n", "x.res:3: expected 'tab ID ID ...'"},
        BadCase{kButton + "\ntab 1 2\n", "x.res:3: 'tab' names no control '2'"},
        BadCase{kButton + "\ntab 1 1\n", "x.res:3: 'tab' names control 1 twice"},
        BadCase{kButton + "\nstatic 2 at 1 1 size 1 1\ntab 1 2\ntab 2 1\n",
                "x.res:5: a second 'tab' line"},
        BadCase{kButton + "\nstatic 2 at 1 1 size 1 1\ntab 1 2\nstatic 3 at 1 1 size 1 1\n",
                "x.res:5: a control after the 'tab' line"},
        BadCase{"menubar 7\nmenu \"A\"\nitem 1 \"x\"\n", "x.res:3: menu \"A\" without 'end'"},
        BadCase{"menubar 7\nend\n", "x.res:2: 'end' without a menu"},
        BadCase{"menubar 7\nmenu \"A\"\nmenu \"B\"\n", "x.res:3: a menu inside a menu"},
        BadCase{"menubar 7\nitem 1 \"x\"\nitem 1 \"y\"\n", "x.res:3: tag 1 used twice"},
        BadCase{"menubar 7\nseparator\n", "x.res:2: 'separator' outside a menu"},
        BadCase{"menubar 7\nkey F13 5\n",
                "x.res:2: expected 'key [Shift+|Ctrl+|Alt+]F1..F12 TAG'"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ResourceTable, LaterTextReplacesTheSameId) {
  ResourceTable table;
  std::string error;
  ASSERT_TRUE(table.add("dialog 9 \"First\" size 1 1\n", "a", error));
  ASSERT_TRUE(table.add("dialog 9 \"Second\" size 1 1\n", "b", error));
  ASSERT_TRUE(table.add("menubar 9\nitem 1 \"x\"\n", "c", error));
  ASSERT_NE(table.window(9), nullptr);
  EXPECT_EQ(table.window(9)->title, "Second");
  ASSERT_NE(table.menuBar(9), nullptr);
  EXPECT_EQ(table.window(10), nullptr);
  EXPECT_FALSE(table.add("dialog x", "d", error));
  EXPECT_EQ(error, "d:1: expected 'dialog ID \"TITLE\" size W H [at X Y]'");
  table.clear();
  EXPECT_EQ(table.window(9), nullptr);
}

struct FontCase {
  const char* description;
  std::optional<Font> font;  // nullopt: refused
};

class FontDescription : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontDescription, Parses) {
  EXPECT_EQ(parseFontDescription(GetParam().description), GetParam().font)
      << GetParam().description;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontDescription,
    ::testing::Values(
        FontCase{"01\\times\\1\\14\\", Font{"times", true, true, false, false, 14}},
        FontCase{"01\\MS Sans Serif\\0\\8\\NT_01/-13/0/0/0/400/0/0/0/0/1/2/1/34/MS Sans Serif",
                 Font{"MS Sans Serif", false, false, false, false, 8}},
        FontCase{"01\\Serif\\6\\10", Font{"Serif", true, false, true, true, 10}},
        FontCase{"02\\times\\1\\14\\", std::nullopt}, FontCase{"01\\\\1\\14\\", std::nullopt},
        FontCase{"01\\times\\x\\14\\", std::nullopt}, FontCase{"01\\times\\1\\0\\", std::nullopt},
        FontCase{"01\\times\\1", std::nullopt}, FontCase{"", std::nullopt}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace toolkit
