#include <gtest/gtest.h>

#include "toolkit/resource.h"

namespace toolkit {
namespace {

TEST(BuiltinResources, EveryFileParses) {
  resources().clear();
  EXPECT_TRUE(addBuiltinResources());
}

TEST(BuiltinResources, MenuBarHasTheCommandsAndKeys) {
  resources().clear();
  ASSERT_TRUE(addBuiltinResources());
  const MenuBarResource* m = resources().menuBar(1000);
  ASSERT_NE(m, nullptr);
  ASSERT_EQ(m->entries.size(), 3u);
  EXPECT_EQ(m->entries[0].label, "&Query");
  EXPECT_EQ(m->entries[1].label, "&Help");
  EXPECT_EQ(m->entries[2].kind, MenuEntry::Kind::Command);
  EXPECT_EQ(m->entries[2].tag, 1002);
  EXPECT_EQ(m->entries[2].label, "E&xit");
  std::vector<std::pair<int, std::string>> query, help;
  for (const auto& e : m->entries[0].entries) {
    if (e.kind == MenuEntry::Kind::Command) query.emplace_back(e.tag, e.label);
  }
  for (const auto& e : m->entries[1].entries) {
    if (e.kind == MenuEntry::Kind::Command) help.emplace_back(e.tag, e.label);
  }
  EXPECT_EQ(query, (std::vector<std::pair<int, std::string>>{
                       {1001, "&Database...\tF2"},
                       {1003, "&Rerun Saved...\tF3"},
                       {1006, "E&xit\tAlt+F4"}}));
  EXPECT_EQ(help, (std::vector<std::pair<int, std::string>>{
                      {1008, "&Contents..."}, {1009, "&Find..."}, {1004, "&About..."}}));
  std::vector<std::pair<std::string, int>> keys;
  for (const auto& k : m->keys) keys.emplace_back(k.key, k.tag);
  EXPECT_EQ(keys, (std::vector<std::pair<std::string, int>>{
                      {"F2", 1001}, {"F1", 1008}, {"Shift+F1", 1009},
                      {"Ctrl+F1", 32457}, {"Alt+F1", 32462}}));
}

struct Row {
  int id;
  ControlKind kind;
  const char* text;
  int x, y, cx, cy;
};

struct Layout {
  int id;
  const char* title;
  int width, height;
  std::vector<Row> rows;  // in resource order
};

using K = ControlKind;

const Layout kLayouts[] = {
    {101, "Open Spreadsheet from ODBC Data", 152, 166,
     {{1, K::Button, "OK", 6, 152, 32, 12},
      {2, K::Button, "Cancel", 42, 152, 32, 12},
      {3, K::Button, "Clear", 100, 114, 38, 12},
      {4, K::Button, "Select All", 12, 114, 38, 12},
      {5, K::Button, "Where", 78, 152, 32, 12},
      {6, K::Static, "Table:", 2, 2, 136, 8},
      {7, K::DropDown, "", 2, 12, 148, 58},
      {8, K::Static, "Available Columns:", 4, 26, 68, 8},
      {9, K::MultiList, "", 4, 36, 64, 76},
      {10, K::Static, "Selected Columns:", 86, 26, 64, 8},
      {11, K::TextEdit, "", 88, 36, 60, 74},
      {12, K::Button, ">>", 70, 66, 16, 12},
      {13, K::Check, "Edit resulting SQL statement", 6, 128, 134, 8},
      {14, K::Check, "Save Retrieval in file for re-use ", 6, 140, 134, 8},
      {15, K::Button, "~Help", 114, 152, 32, 12}}},
    {102, "ODBC: Edit SQL Statement", 258, 102,
     {{1, K::Button, "OK", 4, 88, 34, 12},
      {2, K::Button, "Cancel", 42, 88, 34, 12},
      {3, K::TextEdit, "", 2, 2, 254, 82},
      {4, K::Button, "Tables", 80, 88, 36, 12},
      {5, K::Button, "Columns", 120, 88, 36, 12},
      {6, K::Check, "Save edited text", 196, 88, 60, 8},
      {7, K::Button, "Help", 160, 88, 32, 12}}},
    {103, "Velora ODBC Error Message", 174, 92,
     {{1, K::Static, "SQL Error:", 2, 2, 40, 8},
      {3, K::Static, "", 42, 2, 48, 8},
      {2, K::Static, "Error Code:", 92, 2, 40, 8},
      {4, K::Static, "", 132, 2, 40, 8},
      {5, K::Static, "ODBC Error Message:", 2, 12, 76, 8},
      {6, K::TextEdit, "", 2, 22, 170, 54},
      {7, K::Button, "OK", 54, 78, 62, 12}}},
    {104, "ODBC Insert Tables/Fields", 176, 106,
     {{1, K::Button, "~OK", 14, 92, 36, 12},
      {2, K::Button, "Cancel", 66, 92, 36, 12},
      {3, K::Static, "~Tables:", 4, 2, 68, 8},
      {4, K::List, "", 2, 12, 90, 76},
      {5, K::Static, "~Fields:", 100, 2, 68, 8},
      {6, K::List, "", 96, 12, 76, 80},
      {7, K::Button, "~Help", 116, 92, 36, 12}}},
    {105, "ODBC Data: Select rows with Where statement", 245, 96,
     {{1, K::Button, "OK", 180, 2, 32, 12},
      {2, K::Button, "Cancel", 180, 18, 32, 12},
      {3, K::Button, "Clear", 180, 34, 32, 12},
      {4, K::Static, "Where clause (type or double click items in lists):", 2, 2, 172, 8},
      {5, K::TextEdit, "", 2, 12, 174, 36},
      {6, K::Static, "Available Columns:", 4, 52, 70, 8},
      {7, K::List, "", 2, 60, 72, 36},
      {8, K::Static, "Available Functions:", 80, 52, 70, 8},
      {9, K::List, "", 76, 60, 90, 36},
      {10, K::Static, "Operators:", 174, 52, 60, 8},
      {11, K::List, "", 168, 60, 76, 36},
      {12, K::Button, "Help", 216, 2, 28, 12}}},
};

class WindowLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(WindowLayout, MatchesTheWindowsTable) {
  resources().clear();
  ASSERT_TRUE(addBuiltinResources());
  const Layout& want = GetParam();
  const WindowResource* w = resources().window(want.id);
  ASSERT_NE(w, nullptr) << want.id;
  EXPECT_EQ(w->title, want.title);
  EXPECT_EQ(w->width, want.width);
  EXPECT_EQ(w->height, want.height);
  ASSERT_EQ(w->controls.size(), want.rows.size());
  for (std::size_t i = 0; i < want.rows.size(); ++i) {
    const ControlResource& c = w->controls[i];
    const Row& r = want.rows[i];
    EXPECT_EQ(c.id, r.id) << want.id;
    EXPECT_EQ(c.kind, r.kind) << want.id << "/" << c.id;
    EXPECT_EQ(c.text, r.text) << want.id << "/" << c.id;
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}),
              (std::vector<int>{r.x, r.y, r.cx, r.cy}))
        << want.id << "/" << c.id;
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, WindowLayout, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::to_string(info.param.id); });

TEST(BuiltinResources, DefaultButtons) {
  resources().clear();
  ASSERT_TRUE(addBuiltinResources());
  for (int id : {101, 103, 104, 105, 107}) {
    ASSERT_NE(resources().window(id), nullptr) << id;
    const ControlResource* ok = resources().window(id)->controlByName("ok");
    ASSERT_NE(ok, nullptr) << id;
    EXPECT_TRUE(ok->isDefault) << id;
  }
  EXPECT_FALSE(resources().window(102)->control(1)->isDefault)
      << "the editor's Enter key makes new lines, not OK";
}

TEST(BuiltinResources, AboutBoxLayout) {
  resources().clear();
  ASSERT_TRUE(addBuiltinResources());
  const WindowResource* w = resources().window(107);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->title, "About Velora ODBC Query");
  EXPECT_EQ(w->width, 195);
  EXPECT_EQ(w->height, 78);
  ASSERT_NE(w->control(1), nullptr);
  EXPECT_EQ(w->control(1)->text, "OK");
  ASSERT_NE(w->control(2), nullptr);
  EXPECT_EQ(w->control(2)->text, "Velora for Windows ODBC Query program");
  EXPECT_EQ(w->control(2)->alignment, Alignment::Centre);
  for (int id : {3, 4, 5}) {
    ASSERT_NE(w->control(id), nullptr) << id;
    EXPECT_EQ(w->control(id)->alignment, Alignment::Centre) << id;
  }
}

}  // namespace
}  // namespace toolkit
