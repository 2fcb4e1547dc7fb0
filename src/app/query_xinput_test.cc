// The interactive query in the real windows, played by real X input: the
// data-source dialog, select data, the WHERE builder, the SQL editor and
// the insert dialog each take their keys and clicks as a user gives them,
// and what the run leaves behind is judged by vodbc-dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "process/run_program.h"
#include "servers/test_servers.h"
#include "xinput/x_program.h"
#include "xinput/xinput_test.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;
using testing::XProgram;
using testing::XWindow;

const std::string kProgram = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";
const std::string kTaskClosed = "close task \"Velora ODBC Query\"";

// A click on control `control` of the window of resource `kind`.
struct Click {
  std::string kind, control;
};

class QueryXInput : public testing::XInputTest {
 protected:
  void SetUp() override {
    XInputTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    connection_ = testing::makeSqliteDatabase(
        folder_.file("shop.db"),
        "CREATE TABLE customers (name VARCHAR(20));\n"
        "CREATE TABLE items (\"item name\" VARCHAR(20), qty INTEGER, \"unit price\" DOUBLE);\n"
        "INSERT INTO items VALUES ('apple', 1, 0.5), ('pear', 4, 1.25), ('plum', 7, 2);\n");
  }

  // The window of `kind` that came up last, waiting for it to take the
  // input the first time it is asked for.
  XWindow window(XProgram& vodbc, const std::string& kind) {
    if (!seen_.contains(kind)) {
      auto w = vodbc.waitForWindow(kind);
      EXPECT_TRUE(w) << "no window " << kind << " took the input\n" << story(vodbc);
      if (w) seen_[kind] = *w;
    }
    return seen_[kind];
  }

  void click(XProgram& vodbc, const Click& c, int clicks = 1) {
    EXPECT_TRUE(vodbc.click(window(vodbc, c.kind), c.control, clicks))
        << c.kind << " " << c.control;
  }

  // Types the connection string into the data-source dialog and connects.
  void connect(XProgram& vodbc) {
    click(vodbc, {"110", "6"});
    vodbc.type(connection_);
    vodbc.key("Return");
  }

  // Opens the table drop-down with the mouse and picks "items" with the
  // keys, then puts its first column under "Selected Columns".
  void pickItemsTable(XProgram& vodbc) {
    ASSERT_TRUE(vodbc.waitForTranscript("list 101 7:")) << story(vodbc);
    ASSERT_TRUE(shows(vodbc, "list 101 7: *\"TABLE: customers\" \"TABLE: items\"")) << story(vodbc);
    click(vodbc, {"101", "7"});
    vodbc.key("Down");
    vodbc.key("Return");
    ASSERT_TRUE(vodbc.waitForTranscript(kItemColumns)) << story(vodbc);
    click(vodbc, {"101", "9/0"}, 2);
    ASSERT_TRUE(vodbc.waitForTranscript("text 101 11: \"item name\"")) << story(vodbc);
  }

  // Says the note of what was fetched, gives up the worksheet's file
  // dialog and closes the program.
  void finish(XProgram& vodbc, const std::string& note) {
    if (!note.empty()) {
      ASSERT_TRUE(vodbc.waitForTranscript(note)) << story(vodbc);
      window(vodbc, "message");
      vodbc.key("Return");
      window(vodbc, "file");
      vodbc.key("Escape");
    }
    window(vodbc, "task");
    vodbc.key("alt+F4");
    EXPECT_EQ(vodbc.waitForExit(), 0) << story(vodbc);
    const Lines shown = vodbc.transcript();
    EXPECT_EQ(shown.empty() ? "" : shown.back(), kTaskClosed);
  }

  // What the program showed and said, for a failure's message.
  static std::string story(XProgram& vodbc) {
    std::string s = vodbc.errors();
    for (const std::string& line : vodbc.transcript()) s += "\n  " + line;
    return s;
  }

  static bool shows(XProgram& vodbc, const std::string& line) {
    const Lines shown = vodbc.transcript();
    return std::find(shown.begin(), shown.end(), line) != shown.end();
  }

  static constexpr const char* kItemColumns =
      "list 101 9: \"C: item name\" \"N: qty\" \"N: unit price\"";

  std::string connection_;
  std::map<std::string, XWindow> seen_;
};

// The whole interactive query by mouse and keyboard: columns by a click and
// ">>" and by a double-click, a condition from the lists and the keyboard,
// a field name inserted into the edited statement, the worksheet saved.
TEST_F(QueryXInput, MainFlowByMouseAndKeyboardWritesTheWorksheet) {
  XProgram vodbc(display_, {kProgram}, {}, folder_.str());
  connect(vodbc);
  ASSERT_NO_FATAL_FAILURE(pickItemsTable(vodbc));
  click(vodbc, {"101", "13"});  // edit the statement
  click(vodbc, {"101", "9/2"});
  click(vodbc, {"101", "12"});  // >>
  ASSERT_TRUE(vodbc.waitForTranscript("text 101 11: \"item name\" \"unit price\""));

  click(vodbc, {"101", "5"});  // Where
  click(vodbc, {"105", "7/1"}, 2);
  click(vodbc, {"105", "11/3"}, 2);  // " > "
  vodbc.type("1");
  ASSERT_TRUE(vodbc.waitForTranscript("text 105 5: \"qty > 1\"")) << story(vodbc);
  click(vodbc, {"105", "1"});
  click(vodbc, {"101", "1"});

  const std::string composed =
      R"(text 102 3: "SELECT \"item name\",\"unit price\" FROM items WHERE qty > 1")";
  ASSERT_TRUE(vodbc.waitForTranscript(composed)) << story(vodbc);
  click(vodbc, {"102", "3"});
  vodbc.key("ctrl+End");
  vodbc.type(" ORDER BY ");
  click(vodbc, {"102", "5"});  // Columns: the insert dialog for a field
  click(vodbc, {"104", "6/1"}, 2);
  ASSERT_TRUE(vodbc.waitForTranscript("text 102 3:", 2)) << story(vodbc);
  vodbc.type(" DESC");
  click(vodbc, {"102", "1"});

  ASSERT_TRUE(
      vodbc.waitForTranscript("note \"Retrieved 2 columns by 2 rows of data from ODBC Query\""))
      << story(vodbc);
  window(vodbc, "message");
  vodbc.key("Return");
  window(vodbc, "file");
  vodbc.key("ctrl+a");
  vodbc.type(folder_.file("items.WOR"));
  vodbc.key("Return");
  finish(vodbc, "");
  const testing::ProgramResult dump =
      testing::runProgram(kDump, {"--csv", folder_.file("items.WOR")});
  EXPECT_EQ(dump.status, 0) << dump.err;
  EXPECT_EQ(dump.out, "item_name,unit_price\nplum,2\npear,1.25\n");
}

// Each query window: where Tab takes the focus, help by its button and by
// F1 while the window stays usable, and Escape or the close box as the
// window's Cancel, with what the run does afterwards.
struct WindowCase {
  std::string kind;
  int helpTopic;
  std::string helpButton;
  std::vector<Click> path;  // after the items table is picked (none for 101)
  Lines tabOrder;           // from the control that has the focus on opening
  std::string editIn;       // a control clicked before cancelling ("" none)
  std::string typed;        // typed at the end of the focused edit; the cancel undoes both
  std::string returnsTo;    // the window that has the input afterwards ("" none)
  std::vector<Click> then;  // what the user does there
  std::string note;         // what the run fetched in the end ("" nothing)
};

const std::string kAllItems = "note \"Retrieved 1 columns by 3 rows of data from ODBC Query\"";

const WindowCase kWindowCases[] = {
    {"101",
     4403,
     "15",
     {},
     {"7", "9", "12", "11", "4", "3", "13", "14", "1", "2", "5", "15"},
     "",
     "",
     "task",
     {},
     ""},
    {"105",
     4404,
     "12",
     {{"101", "5"}},
     {"5", "7", "9", "11", "1", "2", "3", "12"},
     "5",
     "qty > 1",
     "101",
     {{"101", "1"}},
     kAllItems},
    {"102",
     4405,
     "7",
     {{"101", "13"}, {"101", "1"}},
     {"3", "1", "2", "4", "5", "7", "6"},
     "3",
     " WHERE qty > 1",
     "",
     {},
     kAllItems},
    {"104",
     4406,
     "7",
     {{"101", "13"}, {"101", "1"}, {"102", "4"}},
     {"4", "1", "2", "7"},
     "4/0",
     "",
     "102",
     {{"102", "1"}},
     kAllItems},
};

TEST_F(QueryXInput, EveryQueryWindowTabsHelpsAndCancelsByEscapeAndTheCloseBox) {
  for (const WindowCase& c : kWindowCases) {
    for (const std::string cancel : {"Escape", "alt+F4"}) {
      SCOPED_TRACE(c.kind + " " + cancel);
      seen_.clear();
      XProgram vodbc(display_, {kProgram}, {}, folder_.str());
      connect(vodbc);
      if (c.kind != "101") {
        ASSERT_NO_FATAL_FAILURE(pickItemsTable(vodbc));
      }
      for (const Click& step : c.path) click(vodbc, step);
      const XWindow w = window(vodbc, c.kind);

      for (std::size_t i = 0; i <= c.tabOrder.size(); ++i) {
        if (i > 0) vodbc.key("Tab");
        const std::string& expected = c.tabOrder[i % c.tabOrder.size()];
        ASSERT_TRUE(vodbc.waitForFocusOn(w, expected))
            << "Tab " << i << " left the focus on " << vodbc.focusIn(w) << ", not " << expected;
      }
      const std::string help = "help " + std::to_string(c.helpTopic);
      for (int asked = 1; asked <= 2; ++asked) {
        if (asked == 1) {
          click(vodbc, {c.kind, c.helpButton});
        } else {
          vodbc.key("F1");
        }
        ASSERT_TRUE(vodbc.waitForTranscript(help, asked)) << story(vodbc);
        ASSERT_TRUE(vodbc.waitForWindow("help")) << story(vodbc);
        vodbc.key("Escape");
        ASSERT_TRUE(vodbc.waitForFocus(w)) << "help did not give the window its input back";
      }

      if (!c.editIn.empty()) click(vodbc, {c.kind, c.editIn});
      if (!c.typed.empty()) {
        vodbc.key("ctrl+End");
        vodbc.type(c.typed);
      }
      vodbc.key(cancel);
      if (seen_.contains(c.returnsTo)) {
        EXPECT_TRUE(vodbc.waitForFocus(seen_[c.returnsTo])) << "no input back in " << c.returnsTo;
      } else if (!c.returnsTo.empty()) {
        window(vodbc, c.returnsTo);  // waits for it to take the input
      }
      for (const Click& step : c.then) click(vodbc, step);
      finish(vodbc, c.note);
      const Lines shown = vodbc.transcript();
      EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                              [](const std::string& l) { return l.rfind("note ", 0) == 0; }),
                c.note.empty() ? 0 : 1);
    }
  }
}

}  // namespace
}  // namespace vodbc
