#include <gtest/gtest.h>

#include "toolkit/session.h"

namespace toolkit {
namespace {

// The parsed command with only the fields that differ from their defaults,
// or the error: "select ctl=7 index n=2", "error: ...".
std::string parsed(const char* line) {
  static const char* const verbs[] = {"none",   "connect",  "answer", "file",  "window",
                                      "select", "dblclick", "multi",  "check", "text",
                                      "caret",  "click",    "close",  "menu"};
  ScriptCommand c;
  std::string error;
  if (!parseScriptLine(line, c, error)) return "error: " + error;
  std::string s = verbs[static_cast<int>(c.verb)];
  if (!c.control.empty()) s += " ctl=" + c.control;
  if (!c.value.empty()) s += " value=" + quoteText(c.value);
  if (c.cancel) s += " cancel";
  if (c.byIndex) s += " index";
  if (c.number) s += " n=" + std::to_string(c.number);
  if (c.number2) s += " n2=" + std::to_string(c.number2);
  if (c.on) s += " on";
  if (c.isTask) s += " task";
  for (std::size_t i = 0; i < c.indices.size(); ++i) {
    s += (i ? "," : " indices=") + std::to_string(c.indices[i]);
  }
  return s;
}

struct LineCase {
  const char* line;
  const char* parsed;
};

class ScriptLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(ScriptLine, ParsesOrIsRefusedWithItsReason) {
  EXPECT_EQ(parsed(GetParam().line), GetParam().parsed) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Good, ScriptLine,
    ::testing::Values(
        LineCase{"", "none"}, LineCase{"   # a comment", "none"},
        LineCase{"connect DSN=x;UID=a b", "connect value=\"DSN=x;UID=a b\""},
        LineCase{"connect cancel", "connect cancel"},
        LineCase{"connect \"cancel\"", "connect value=\"cancel\""},
        LineCase{"answer   No  ", "answer value=\"No\""},
        LineCase{"answer cancel", "answer value=\"cancel\""},
        LineCase{"file /tmp/a b.WOR", "file value=\"/tmp/a b.WOR\""},
        LineCase{"file cancel", "file cancel"}, LineCase{"window 101", "window n=101"},
        LineCase{"window task", "window task"},
        LineCase{"select 7 0", "select ctl=7 index"},  // n=0: the first item
        LineCase{"select tables \"T: a \\\"b\\\"\"", "select ctl=tables value=\"T: a \\\"b\\\"\""},
        LineCase{"dblclick 9 12", "dblclick ctl=9 index n=12"},
        LineCase{"multiselect 9 1, 3,5", "multi ctl=9 indices=1,3,5"},
        LineCase{"multiselect 9", "multi ctl=9"}, LineCase{"check 13 on", "check ctl=13 on"},
        LineCase{"check save off", "check ctl=save"},
        LineCase{"text 5 \"a\\nb\\tc\\\\\"", "text ctl=5 value=\"a\\nb\\tc\\\\\""},
        LineCase{"text 5 \"\"", "text ctl=5"}, LineCase{"caret 3 2 17", "caret ctl=3 n=2 n2=17"},
        LineCase{"click ok", "click ctl=ok"}, LineCase{"close", "close"},
        LineCase{"menu 1006", "menu n=1006"}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    Bad, ScriptLine,
    ::testing::Values(
        LineCase{"push 1", "error: unknown command 'push'"},
        LineCase{"answer", "error: 'answer' needs a button label"},
        LineCase{"file", "error: 'file' needs a path or 'cancel'"},
        LineCase{"connect  ", "error: 'connect' needs a connection string or 'cancel'"},
        LineCase{"answer \"No", "error: text without its closing quote"},
        LineCase{"answer \"No\" x", "error: unexpected text after the closing quote"},
        LineCase{"text 5 \"\\x\"", "error: unknown escape \\x"},
        LineCase{"window", "error: 'window' needs a resource id or 'task'"},
        LineCase{"close now", "error: 'close' takes nothing more"},
        LineCase{"menu File", "error: 'menu' needs a menu tag"},
        LineCase{"select", "error: 'select' needs a control id or name"},
        LineCase{"select 7", "error: 'select' needs an item index or a quoted item text"},
        LineCase{"select 7 -1", "error: 'select' needs an item index or a quoted item text"},
        LineCase{"dblclick 7 Apple", "error: 'dblclick' needs an item index or a quoted item text"},
        LineCase{"multiselect 9 1,,2",
                 "error: 'multiselect' needs item indexes separated by commas"},
        LineCase{"check 13 yes", "error: 'check' needs 'on' or 'off'"},
        LineCase{"caret 3 1", "error: 'caret' needs a paragraph and a position"},
        LineCase{"click ok now", "error: 'click' takes only a control"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(QuoteText, EscapesWhatWouldBreakALine) {
  EXPECT_EQ(quoteText("plain"), "\"plain\"");
  EXPECT_EQ(quoteText("a \"b\"\\c\nd\te"), "\"a \\\"b\\\"\\\\c\\nd\\te\"");
  EXPECT_EQ(quoteText(""), "\"\"");
}

}  // namespace
}  // namespace toolkit
