// The program in its real windows, played by real X input: keys and clicks
// go through the X server to whichever window has the focus, as a user's
// would. Each flow checks that every window it meets takes the input, what
// the user saw (the transcript), and what was left on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "servers/test_servers.h"
#include "xinput/x_program.h"
#include "xinput/xinput_test.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;
using testing::XProgram;

const std::string kProgram = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
const std::string kTask = "open task \"Velora ODBC Query\"";
const std::string kTaskClosed = "close task \"Velora ODBC Query\"";

class ProgramXInput : public testing::XInputTest {
 protected:
  void SetUp() override {
    XInputTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    shop_ =
        testing::makeSqliteDatabase(folder_.file("shop.db"),
                                    "CREATE TABLE sales (region VARCHAR(20), amount DOUBLE);\n"
                                    "INSERT INTO sales VALUES ('North', 2.5), ('South', 4.0);\n");
  }

  // Answers the next window of `kind` with `keys`; fails the test when no
  // such window came up and took the focus.
  static void answer(XProgram& program, const std::string& kind, const std::string& keys) {
    ASSERT_TRUE(program.waitForWindow(kind)) << "no window " << kind << " took the input\n"
                                             << program.errors();
    program.key(keys);
  }

  std::string shop_;
};

// A statement that fails at once: the ODBC message, the question and the
// error each answered from the keyboard, with Enter and with Escape. The
// question's safe answer ("No") is what both keys choose.
TEST_F(ProgramXInput, BadStatementEveryMessageAnsweredByEnterOrEscape) {
  testing::writeRetrievalFileText(folder_.file("bad.idb"), shop_, {"SELECT amount FROM nowhere"});
  for (const std::string keys : {"Return", "Escape"}) {
    SCOPED_TRACE(keys);
    XProgram vodbc(display_, {kProgram, "x", folder_.file("bad.idb")}, {}, folder_.str());
    answer(vodbc, "103", keys);
    answer(vodbc, "message", keys);
    answer(vodbc, "message", keys);
    answer(vodbc, "task", "alt+F4");
    EXPECT_EQ(vodbc.waitForExit(), 0) << vodbc.errors();
    const Lines shown = vodbc.transcript();
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(shown[0], kTask);
    EXPECT_EQ(shown[1], "open 103 \"Velora ODBC Error Message\"");
    EXPECT_EQ(Lines(shown.end() - 4, shown.end()),
              (Lines{"close 103 \"Velora ODBC Error Message\"",
                     "ask \"Do you want to edit the SQL statement to correct this error?\" "
                     "\"No\" \"Yes\"",
                     "error \"Error reading ODBC Data!\"", kTaskClosed}));
  }
}

// The overwrite question answered by Escape, by the close box (Alt+F4) and
// by Enter: each keeps the existing file as it was.
TEST_F(ProgramXInput, OverwriteQuestionKeepsTheFileWhateverKeyAnswersIt) {
  testing::writeRetrievalFileText(folder_.file("old.idb"), shop_, {"SELECT * FROM sales"});
  const std::string kept = "not a worksheet, and kept";
  for (const std::string keys : {"Escape", "alt+F4", "Return"}) {
    SCOPED_TRACE(keys);
    testing::writeWholeFile(folder_.file("old.WOR"), kept);
    XProgram vodbc(display_, {kProgram, "x", folder_.file("old.idb")}, {}, folder_.str());
    answer(vodbc, "message", "Return");  // the note of what was fetched
    answer(vodbc, "file", "Return");     // the offered name: old.WOR
    ASSERT_TRUE(vodbc.waitForTranscript("ask \"Warning: Overwriting"));
    answer(vodbc, "message", keys);
    answer(vodbc, "task", "alt+F4");
    EXPECT_EQ(vodbc.waitForExit(), 0) << vodbc.errors();
    EXPECT_EQ(testing::readWholeFile(folder_.file("old.WOR")), kept);
    const Lines shown = vodbc.transcript();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2].rfind("ask \"Warning: Overwriting", 0), 0u);
    EXPECT_EQ(shown.back(), kTaskClosed);
  }
}

// Help from inside the modal data-source dialog, by its Help button and by
// F1: the help window takes the keyboard (scrolling, Escape closes it), and
// the dialog works as before afterwards.
TEST_F(ProgramXInput, HelpFromTheDataSourceDialogIsUsableAndClosesWithEscape) {
  for (const bool byButton : {true, false}) {
    SCOPED_TRACE(byButton ? "Help button" : "F1");
    XProgram vodbc(display_, {kProgram}, {}, folder_.str());
    const auto dialog = vodbc.waitForWindow("110");
    ASSERT_TRUE(dialog) << vodbc.errors();
    if (byButton) {
      ASSERT_TRUE(vodbc.click(*dialog, "9"));
    } else {
      vodbc.key("F1");
    }
    answer(vodbc, "help", "Next");  // scrolls the page
    vodbc.key("Escape");
    // Help is gone and the dialog has the keyboard again: Escape cancels it.
    ASSERT_TRUE(vodbc.waitForFocus(*dialog)) << vodbc.errors();
    for (const testing::XWindow& w : vodbc.windowsOnScreen()) EXPECT_NE(w.kind, "help");
    vodbc.key("Escape");
    answer(vodbc, "task", "alt+F4");
    EXPECT_EQ(vodbc.waitForExit(), 0) << vodbc.errors();
    const Lines shown = vodbc.transcript();
    EXPECT_NE(std::find(shown.begin(), shown.end(), "help 4402"), shown.end());
    EXPECT_EQ(shown.back(), kTaskClosed);
  }
}

// "Find..." (Shift+F1) from the task window: help comes up in front with
// the keyboard, and Escape gives the task window its keyboard back.
TEST_F(ProgramXInput, HelpFromTheTaskWindowComesToTheFront) {
  XProgram vodbc(display_, {kProgram}, {}, folder_.str());
  answer(vodbc, "110", "Escape");
  const auto task = vodbc.waitForWindow("task");
  ASSERT_TRUE(task) << vodbc.errors();
  vodbc.key("shift+F1");
  answer(vodbc, "help", "Escape");
  ASSERT_TRUE(vodbc.waitForFocus(*task)) << vodbc.errors();
  vodbc.key("alt+F4");
  EXPECT_EQ(vodbc.waitForExit(), 0) << vodbc.errors();
  const Lines shown = vodbc.transcript();
  ASSERT_GE(shown.size(), 2u);
  EXPECT_EQ(Lines(shown.end() - 2, shown.end()), (Lines{"help 0", kTaskClosed}));
}

}  // namespace
}  // namespace vodbc
