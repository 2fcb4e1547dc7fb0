// Whole scripted sessions of the demo program on the headless backend: the
// transcript line by line, a script that runs out, bad script lines, and the
// backend choice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/session_runner.h"

namespace {

using toolkit::testing::runSession;
using toolkit::testing::SessionResult;
using toolkit::testing::SessionRun;
using Lines = std::vector<std::string>;

SessionResult runDemo(const std::string& script,
                      std::vector<std::pair<std::string, std::string>> env = {}) {
  SessionRun run;
  run.program = VODBC_DEMO_PROGRAM;
  run.script = script;
  run.environment = std::move(env);
  run.workingDirectory = "/tmp";
  return runSession(run);
}

const char* const kFullScript =
    "window 9001\n"
    "select fruits \"Banana\"\n"
    "dblclick 3 2\n"
    "multiselect colours 0,2\n"
    "text name \"Bob\"\n"
    "caret notes 0 3\n"
    "click add\n"
    "check save on\n"
    "click ask\n"
    "answer No\n"
    "click open\n"
    "file picked\n"
    "text name \"Zed\"\n"
    "click ok\n"
    "answer Yes\n"
    "window task\n"
    "menu 1004\n"
    "window 107\n"
    "click 1\n"
    "menu 32457\n"
    "answer OK\n"
    "menu 1006\n";

TEST(ScriptedSession, TranscriptOfAWholeSession) {
  const SessionResult r = runDemo(kFullScript);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "ok name=\"Zed\" fruit=2 colours=0,2 size=1 save=1 answer=1 "
            "file=\"/tmp/picked.txt\" notes=\n");
  EXPECT_EQ(r.transcript,
            (Lines{"open task \"Toolkit Demo\"",
                   "open 9001 \"Toolkit Demo\"",
                   "list 9001 3: \"Apple\" \"Banana\" \"Cherry\"",
                   "list 9001 4: \"Red\" \"Green\" \"Blue\"",
                   "list 9001 5: \"Small\" *\"Medium\" \"Large\"",
                   "set 9001 13 \"Fruit: Banana\"",
                   "text 9001 7: \"Cherry\"",
                   "set 9001 13 \"Fruit: Cherry\"",
                   "text 9001 7: \"CheBobrry\"",
                   "ask \"Keep the notes?\" \"Yes\" \"No\" \"Cancel\"",
                   "text 9001 7:",
                   "file open \"Open a text file\" \"/tmp\" \"txt\" \"*.txt\"",
                   "set 9001 13 \"File: picked.txt\"",
                   "ask \"No notes. Close anyway?\" \"No\" \"Yes\"",
                   "close 9001 \"Toolkit Demo\"",
                   "open 107 \"About Velora ODBC Query\"",
                   "set 107 3 \"vodbc developers\"",
                   "set 107 4 \"toolkit demo\"",
                   "close 107 \"About Velora ODBC Query\"",
                   "note \"Help requested (command 32457, window 0)\"",
                   "close task \"Toolkit Demo\""}));
}

TEST(ScriptedSession, ACheckBoxTheProgramDoesNotToggleIsReported) {
  // The dialog's handler toggles check 8 itself; clicking it twice by
  // script leaves it off, and nothing is reported because the user saw
  // their own clicks. Cancel then leaves the data as it was.
  const SessionResult r = runDemo(
      "check save on\ncheck save off\ncheck save off\nclick cancel\nmenu 1006\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out,
            "cancelled name=\"\" fruit=-1 colours= size=-1 save=0 answer=-1 file=\"\" notes=\n");
  EXPECT_EQ(r.transcript, (Lines{"open task \"Toolkit Demo\"",
                                 "open 9001 \"Toolkit Demo\"",
                                 "list 9001 3: \"Apple\" \"Banana\" \"Cherry\"",
                                 "list 9001 4: \"Red\" \"Green\" \"Blue\"",
                                 "list 9001 5: \"Small\" *\"Medium\" \"Large\"",
                                 "close 9001 \"Toolkit Demo\"",
                                 "close task \"Toolkit Demo\""}));
}

struct Failure {
  const char* what;
  const char* script;
  const char* message;  // the whole of stderr
};

class ScriptFailure : public ::testing::TestWithParam<Failure> {};

TEST_P(ScriptFailure, EndsWithStatus3AndSaysWhy) {
  const SessionResult r = runDemo(GetParam().script);
  EXPECT_EQ(r.exitStatus, 3) << GetParam().what;
  EXPECT_EQ(r.err, std::string("vodbc-toolkit-demo: ") + GetParam().message + "\n")
      << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    RunsOut, ScriptFailure,
    ::testing::Values(
        Failure{"empty script", "",
                "script ran out while waiting for window 9001 \"Toolkit Demo\""},
        Failure{"only comments", "# nothing\n\n",
                "script ran out while waiting for window 9001 \"Toolkit Demo\""},
        Failure{"in a question", "click ask\n",
                "script ran out while waiting for an answer to ask \"Keep the notes?\""},
        Failure{"in a file dialog", "click open\n",
                "script ran out while waiting for the open file dialog \"Open a text file\""},
        Failure{"in a modeless window", "click cancel\nmenu 1004\n",
                "script ran out while waiting for window 107 \"About Velora ODBC Query\""},
        Failure{"in the task window", "click cancel\n",
                "script ran out while waiting for the task window \"Toolkit Demo\""}),
    [](const auto& info) { return std::to_string(info.index); });

INSTANTIATE_TEST_SUITE_P(
    BadLines, ScriptFailure,
    ::testing::Values(
        Failure{"unknown command", "# first\nselect 3 0\npush 1\n",
                "script line 3: unknown command 'push'"},
        Failure{"unknown control", "select 3 0\nclick 99\n",
                "script line 2: no control 99 in window 9001 \"Toolkit Demo\""},
        Failure{"unknown control name", "click okay\n",
                "script line 1: no control okay in window 9001 \"Toolkit Demo\""},
        Failure{"no such item", "select fruits \"Durian\"\n",
                "script line 1: no item \"Durian\" in list 3 of window 9001"},
        Failure{"index beyond the list", "dblclick 3 3\n",
                "script line 1: no item 3 in list 3 of window 9001 (3 items)"},
        Failure{"several items in a single list", "multiselect 3 0,1\n",
                "script line 1: control 3 of window 9001 takes one selection"},
        Failure{"select on a button", "select ok 0\n",
                "script line 1: control 1 of window 9001 is not a list"},
        Failure{"check on a list", "check 3 on\n",
                "script line 1: control 3 of window 9001 is not a check box"},
        Failure{"text into a label", "text 13 \"x\"\n",
                "script line 1: control 13 of window 9001 is not an edit"},
        Failure{"caret beyond the text", "text notes \"ab\"\ncaret notes 0 3\n",
                "script line 2: no position 0 3 in control 7 of window 9001"},
        Failure{"wrong window", "window 103\n",
                "script line 1: the top window is window 9001 \"Toolkit Demo\", not window 103"},
        Failure{"answer without a message box", "answer OK\n",
                "script line 1: no message box is open (window 9001 \"Toolkit Demo\" is waiting)"},
        Failure{"file without a file dialog", "file x.txt\n",
                "script line 1: no file dialog is open (window 9001 \"Toolkit Demo\" is waiting)"},
        Failure{"window command in a question", "click ask\nclick ok\n",
                "script line 2: expected 'answer LABEL' for ask \"Keep the notes?\""},
        Failure{"no such button", "click ask\nanswer Maybe\n",
                "script line 2: no button \"Maybe\" in ask \"Keep the notes?\" (buttons \"Yes\" \"No\" \"Cancel\")"},
        Failure{"window command in a file dialog", "click open\nclick ok\n",
                "script line 2: expected 'file PATH' or 'file cancel' for the open file dialog \"Open a text file\""},
        Failure{"menu under a modal window", "menu 1004\n",
                "script line 1: no menu while window 9001 \"Toolkit Demo\" is open"},
        Failure{"unknown menu tag", "click cancel\nmenu 4242\n",
                "script line 2: no command 4242 in the menu bar"},
        Failure{"not a data-source dialog", "connect DSN=x\n",
                "script line 1: window 9001 \"Toolkit Demo\" is not a data-source dialog"},
        Failure{"control in the task window", "click cancel\nclick 1\n",
                "script line 2: the task window has no control 1"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ScriptedSession, TranscriptKeepsEverythingUpToTheFailure) {
  const SessionResult r = runDemo("select 3 1\nclick ask\n");
  EXPECT_EQ(r.exitStatus, 3);
  ASSERT_GE(r.transcript.size(), 2u);
  EXPECT_EQ(r.transcript.back(), "ask \"Keep the notes?\" \"Yes\" \"No\" \"Cancel\"");
  EXPECT_EQ(r.transcript[r.transcript.size() - 2], "set 9001 13 \"Fruit: Banana\"");
}

TEST(BackendChoice, UnknownToolkitIsRefused) {
  SessionRun run;
  run.program = VODBC_DEMO_PROGRAM;
  run.toolkit = "motif";
  const SessionResult r = runSession(run);
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_EQ(r.err,
            "vodbc-toolkit-demo: VODBC_TOOLKIT must be \"qt\" or \"headless\", not \"motif\"\n");
}

TEST(BackendChoice, QtWithoutADisplayFallsBackToHeadless) {
  SessionRun run;
  run.program = VODBC_DEMO_PROGRAM;
  run.toolkit = "qt";
  run.script = "click cancel\nmenu 1006\n";
  // No platform forced and an X display nobody listens on.
  run.environment = {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""},
                     {"DISPLAY", ":97"}};
  const SessionResult r = runSession(run);
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err,
            "vodbc-toolkit-demo: no display (cannot connect to the X server of "
            "DISPLAY=:97); using the headless backend\n");
  ASSERT_FALSE(r.transcript.empty());
  EXPECT_EQ(r.transcript.front(), "open task \"Toolkit Demo\"");
  EXPECT_EQ(r.transcript.back(), "close task \"Toolkit Demo\"");
}

TEST(BackendChoice, UnreadableScriptIsRefused) {
  SessionRun run;
  run.program = VODBC_DEMO_PROGRAM;
  run.environment = {{"VODBC_SCRIPT", "/nonexistent/script"}};
  const SessionResult r = runSession(run);
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_EQ(r.err, "vodbc-toolkit-demo: cannot read the script /nonexistent/script\n");
}

}  // namespace
