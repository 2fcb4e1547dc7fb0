#include "toolkit/resource.h"

#include <gtest/gtest.h>

#include "toolkit/types.h"

namespace toolkit {
namespace {

TEST(ParseResource, DialogWithEveryKindOfControl) {
  const char* text =
      "# a comment\n"
      "\n"
      "dialog 200 \"Pick \\\"one\\\"\" size 150 100 at 5 6\n"
      "button 1 \"~OK\" at 6 80 size 32 12 default name ok\n"
      "static 2 \"Line\\none\" at 2 2 size 100 8 centre\n"
      "edit 3 \"\" at 2 12 size 100 12 name connection\n"
      "textedit 4 at 2 26 size 100 30 hidden\n"
      "list 5 at 2 58 size 40 20 disabled\n"
      "multilist 6 at 44 58 size 40 20 right\n"
      "dropdown 7 at 90 58 size 40 40\n"
      "check 8 \"Save\" at 2 90 size 60 8\n";
  ParsedResource parsed;
  std::string error;
  ASSERT_TRUE(parseResource(text, "t.res", parsed, error)) << error;
  ASSERT_TRUE(parsed.window);
  const WindowResource& w = *parsed.window;
  EXPECT_EQ(w.id, 200);
  EXPECT_FALSE(w.resizable);
  EXPECT_EQ(w.title, "Pick \"one\"");
  EXPECT_EQ(w.width, 150);
  EXPECT_EQ(w.height, 100);
  EXPECT_TRUE(w.hasPosition);
  EXPECT_EQ(w.x, 5);
  EXPECT_EQ(w.y, 6);
  ASSERT_EQ(w.controls.size(), 8u);
  const ControlKind kinds[] = {ControlKind::Button, ControlKind::Static,
                               ControlKind::Edit, ControlKind::TextEdit,
                               ControlKind::List, ControlKind::MultiList,
                               ControlKind::DropDown, ControlKind::Check};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(w.controls[i].id, i + 1);
    EXPECT_EQ(w.controls[i].kind, kinds[i]) << i;
  }
  EXPECT_EQ(w.controls[0].text, "~OK");
  EXPECT_TRUE(w.controls[0].isDefault);
  EXPECT_EQ(w.controlByName("ok"), &w.controls[0]);
  EXPECT_EQ(w.controls[1].text, "Line\none");
  EXPECT_EQ(w.controls[1].alignment, Alignment::Centre);
  EXPECT_EQ(w.controlByName("connection")->id, 3);
  EXPECT_TRUE(w.controls[3].hidden);
  EXPECT_TRUE(w.controls[4].disabled);
  EXPECT_EQ(w.controls[5].alignment, Alignment::Right);
  EXPECT_EQ(w.control(8)->text, "Save");
  EXPECT_EQ(w.control(8)->x, 2);
  EXPECT_EQ(w.control(8)->y, 90);
  EXPECT_EQ(w.control(8)->width, 60);
  EXPECT_EQ(w.control(8)->height, 8);
  EXPECT_EQ(w.control(9), nullptr);
  EXPECT_EQ(w.controlByName(""), nullptr);
}

TEST(ParseResource, MenuBarWithSubmenusBarItemsAndKeys) {
  const char* text =
      "menubar 1000\n"
      "menu \"&Query\"\n"
      "item 1001 \"&Database...\\tF2\"\n"
      "separator\n"
      "item 1006 \"E&xit\"\n"
      "end\n"
      "item 1002 \"E&xit\"\n"
      "key Shift+F1 1009\n";
  ParsedResource parsed;
  std::string error;
  ASSERT_TRUE(parseResource(text, "m.res", parsed, error)) << error;
  ASSERT_TRUE(parsed.menuBar);
  const MenuBarResource& m = *parsed.menuBar;
  EXPECT_EQ(m.id, 1000);
  ASSERT_EQ(m.entries.size(), 2u);
  EXPECT_EQ(m.entries[0].kind, MenuEntry::Kind::Submenu);
  EXPECT_EQ(m.entries[0].label, "&Query");
  ASSERT_EQ(m.entries[0].entries.size(), 3u);
  EXPECT_EQ(m.entries[0].entries[0].label, "&Database...\tF2");
  EXPECT_EQ(m.entries[0].entries[1].kind, MenuEntry::Kind::Separator);
  EXPECT_EQ(m.entries[1].kind, MenuEntry::Kind::Command);
  EXPECT_EQ(m.entries[1].tag, 1002);
  EXPECT_TRUE(m.hasCommand(1006));
  EXPECT_TRUE(m.hasCommand(1002));
  EXPECT_FALSE(m.hasCommand(1009));
  ASSERT_EQ(m.keys.size(), 1u);
  EXPECT_EQ(m.keys[0].key, "Shift+F1");
  EXPECT_EQ(m.keys[0].tag, 1009);
}

struct BadCase {
  const char* text;
  const char* error;
};

class BadResource : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadResource, IsRefusedWithFileAndLine) {
  ParsedResource parsed;
  std::string error;
  EXPECT_FALSE(parseResource(GetParam().text, "x.res", parsed, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadResource,
    ::testing::Values(
        BadCase{"", "x.res:1: no resource in the file"},
        BadCase{"# only\n", "x.res:1: no resource in the file"},
        BadCase{"button 1 at 1 1 size 1 1\n",
                "x.res:1: a resource begins with 'dialog', 'window' or 'menubar'"},
        BadCase{"dialog 5 size 1 1\n",
                "x.res:1: expected 'dialog ID \"TITLE\" size W H [at X Y]'"},
        BadCase{"dialog 5 \"T\" size 1 1 at 2\n", "x.res:1: expected 'at N N'"},
        BadCase{"dialog 5 \"T\" size 10 10\nknob 1 at 1 1 size 1 1\n",
                "x.res:2: unknown statement 'knob'"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 \"a at 1 1 size 1 1\n",
                "x.res:2: text without its closing quote"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 \"\\q\" at 1 1 size 1 1\n",
                "x.res:2: unknown escape \\q"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 \"A\" size 1 1 at 1 1\n",
                "x.res:2: expected 'at N N'"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 at 1 1 size 1 1\n"
                "static 1 at 1 1 size 1 1\n",
                "x.res:3: control 1 defined twice"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 at 1 1 size 1 1 name a\n"
                "static 2 at 1 1 size 1 1 name a\n",
                "x.res:3: name 'a' used twice"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 at 1 1 size 1 1 name a-b\n",
                "x.res:2: expected a name of letters, digits and '_' after 'name'"},
        BadCase{"dialog 5 \"T\" size 10 10\nbutton 1 at 1 1 size 1 1 bold\n",
                "x.res:2: unknown option 'bold'"},
        BadCase{"menubar 7\nmenu \"A\"\nitem 1 \"x\"\n",
                "x.res:3: menu \"A\" without 'end'"},
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
  bool ok;
  Font font;
};

class FontDescription : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontDescription, Parses) {
  const auto parsed = parseFontDescription(GetParam().description);
  ASSERT_EQ(parsed.has_value(), GetParam().ok) << GetParam().description;
  if (parsed) {
    EXPECT_EQ(*parsed, GetParam().font) << GetParam().description;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontDescription,
    ::testing::Values(
        FontCase{"01\\times\\1\\14\\", true, Font{"times", true, true, false, false, 14}},
        FontCase{"01\\MS Sans Serif\\0\\8\\NT_01/-13/0/0/0/400/0/0/0/0/1/2/1/34/MS Sans Serif",
                 true, Font{"MS Sans Serif", false, false, false, false, 8}},
        FontCase{"01\\Serif\\6\\10", true, Font{"Serif", true, false, true, true, 10}},
        FontCase{"02\\times\\1\\14\\", false, {}},
        FontCase{"01\\\\1\\14\\", false, {}},
        FontCase{"01\\times\\x\\14\\", false, {}},
        FontCase{"01\\times\\1\\0\\", false, {}},
        FontCase{"01\\times\\1", false, {}},
        FontCase{"", false, {}}),
    [](const auto& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace toolkit
