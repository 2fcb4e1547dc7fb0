#include <gtest/gtest.h>

#include "toolkit/session.h"

namespace toolkit {
namespace {

using V = ScriptCommand::Verb;

struct GoodLine {
  const char* line;
  V verb;
  const char* control;
  const char* value;
  bool cancel;
  bool byIndex;
  int number;
  int number2;
  bool on;
  std::vector<int> indices;
};

class ScriptLineGood : public ::testing::TestWithParam<GoodLine> {};

TEST_P(ScriptLineGood, Parses) {
  const GoodLine& g = GetParam();
  ScriptCommand c;
  std::string error;
  ASSERT_TRUE(parseScriptLine(g.line, c, error)) << g.line << ": " << error;
  EXPECT_EQ(c.verb, g.verb) << g.line;
  EXPECT_EQ(c.control, g.control) << g.line;
  EXPECT_EQ(c.value, g.value) << g.line;
  EXPECT_EQ(c.cancel, g.cancel) << g.line;
  EXPECT_EQ(c.byIndex, g.byIndex) << g.line;
  EXPECT_EQ(c.number, g.number) << g.line;
  EXPECT_EQ(c.number2, g.number2) << g.line;
  EXPECT_EQ(c.on, g.on) << g.line;
  EXPECT_EQ(c.indices, g.indices) << g.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptLineGood,
    ::testing::Values(
        GoodLine{"", V::None, "", "", false, false, 0, 0, false, {}},
        GoodLine{"   # a comment", V::None, "", "", false, false, 0, 0, false, {}},
        GoodLine{"connect DSN=x;UID=a b", V::Connect, "", "DSN=x;UID=a b", false, false, 0, 0, false, {}},
        GoodLine{"connect cancel", V::Connect, "", "", true, false, 0, 0, false, {}},
        GoodLine{"connect \"cancel\"", V::Connect, "", "cancel", false, false, 0, 0, false, {}},
        GoodLine{"answer   No  ", V::Answer, "", "No", false, false, 0, 0, false, {}},
        GoodLine{"answer cancel", V::Answer, "", "cancel", false, false, 0, 0, false, {}},
        GoodLine{"file /tmp/a b.WOR", V::File, "", "/tmp/a b.WOR", false, false, 0, 0, false, {}},
        GoodLine{"file cancel", V::File, "", "", true, false, 0, 0, false, {}},
        GoodLine{"window 101", V::WindowIs, "", "", false, false, 101, 0, false, {}},
        GoodLine{"select 7 0", V::Select, "7", "", false, true, 0, 0, false, {}},
        GoodLine{"select tables \"T: a \\\"b\\\"\"", V::Select, "tables", "T: a \"b\"", false, false, 0, 0, false, {}},
        GoodLine{"dblclick 9 12", V::DoubleClick, "9", "", false, true, 12, 0, false, {}},
        GoodLine{"multiselect 9 1, 3,5", V::MultiSelect, "9", "", false, false, 0, 0, false, {1, 3, 5}},
        GoodLine{"multiselect 9", V::MultiSelect, "9", "", false, false, 0, 0, false, {}},
        GoodLine{"check 13 on", V::Check, "13", "", false, false, 0, 0, true, {}},
        GoodLine{"check save off", V::Check, "save", "", false, false, 0, 0, false, {}},
        GoodLine{"text 5 \"a\\nb\\tc\\\\\"", V::Text, "5", "a\nb\tc\\", false, false, 0, 0, false, {}},
        GoodLine{"text 5 \"\"", V::Text, "5", "", false, false, 0, 0, false, {}},
        GoodLine{"caret 3 2 17", V::Caret, "3", "", false, false, 2, 17, false, {}},
        GoodLine{"click ok", V::Click, "ok", "", false, false, 0, 0, false, {}},
        GoodLine{"close", V::Close, "", "", false, false, 0, 0, false, {}},
        GoodLine{"menu 1006", V::Menu, "", "", false, false, 1006, 0, false, {}}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ScriptLine, WindowTask) {
  ScriptCommand c;
  std::string error;
  ASSERT_TRUE(parseScriptLine("window task", c, error)) << error;
  EXPECT_EQ(c.verb, V::WindowIs);
  EXPECT_TRUE(c.isTask);
}

struct BadLine {
  const char* line;
  const char* error;
};

class ScriptLineBad : public ::testing::TestWithParam<BadLine> {};

TEST_P(ScriptLineBad, IsRefusedWithItsReason) {
  ScriptCommand c;
  std::string error;
  EXPECT_FALSE(parseScriptLine(GetParam().line, c, error)) << GetParam().line;
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptLineBad,
    ::testing::Values(
        BadLine{"push 1", "unknown command 'push'"},
        BadLine{"answer", "'answer' needs a button label"},
        BadLine{"file", "'file' needs a path or 'cancel'"},
        BadLine{"connect  ", "'connect' needs a connection string or 'cancel'"},
        BadLine{"answer \"No", "text without its closing quote"},
        BadLine{"answer \"No\" x", "unexpected text after the closing quote"},
        BadLine{"text 5 \"\\x\"", "unknown escape \\x"},
        BadLine{"window", "'window' needs a resource id or 'task'"},
        BadLine{"window 101 x", "'window' needs a resource id or 'task'"},
        BadLine{"close now", "'close' takes nothing more"},
        BadLine{"menu File", "'menu' needs a menu tag"},
        BadLine{"select", "'select' needs a control id or name"},
        BadLine{"select 7", "'select' needs an item index or a quoted item text"},
        BadLine{"select 7 -1", "'select' needs an item index or a quoted item text"},
        BadLine{"dblclick 7 Apple", "'dblclick' needs an item index or a quoted item text"},
        BadLine{"multiselect 9 1,,2", "'multiselect' needs item indexes separated by commas"},
        BadLine{"multiselect 9 1,", "'multiselect' needs item indexes separated by commas"},
        BadLine{"check 13 yes", "'check' needs 'on' or 'off'"},
        BadLine{"caret 3 1", "'caret' needs a paragraph and a position"},
        BadLine{"click ok now", "'click' takes only a control"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(QuoteText, EscapesWhatWouldBreakALine) {
  EXPECT_EQ(quoteText("plain"), "\"plain\"");
  EXPECT_EQ(quoteText("a \"b\"\\c\nd\te"), "\"a \\\"b\\\"\\\\c\\nd\\te\"");
  EXPECT_EQ(quoteText(""), "\"\"");
}

}  // namespace
}  // namespace toolkit
