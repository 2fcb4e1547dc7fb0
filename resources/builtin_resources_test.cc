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

TEST(BuiltinResources, OdbcMessageWindowLayout) {
  resources().clear();
  ASSERT_TRUE(addBuiltinResources());
  const WindowResource* w = resources().window(103);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->title, "Velora ODBC Error Message");
  EXPECT_EQ(w->width, 174);
  EXPECT_EQ(w->height, 92);
  struct Row { int id; ControlKind kind; const char* text; int x, y, cx, cy; };
  const Row rows[] = {
      {1, ControlKind::Static, "SQL Error:", 2, 2, 40, 8},
      {3, ControlKind::Static, "", 42, 2, 48, 8},
      {2, ControlKind::Static, "Error Code:", 92, 2, 40, 8},
      {4, ControlKind::Static, "", 132, 2, 40, 8},
      {5, ControlKind::Static, "ODBC Error Message:", 2, 12, 76, 8},
      {6, ControlKind::TextEdit, "", 2, 22, 170, 54},
      {7, ControlKind::Button, "OK", 54, 78, 62, 12}};
  ASSERT_EQ(w->controls.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const ControlResource& c = w->controls[i];
    EXPECT_EQ(c.id, rows[i].id);
    EXPECT_EQ(c.kind, rows[i].kind) << c.id;
    EXPECT_EQ(c.text, rows[i].text) << c.id;
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}),
              (std::vector<int>{rows[i].x, rows[i].y, rows[i].cx, rows[i].cy}))
        << c.id;
  }
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
