// Whole scripted sessions of the demo program: the transcript line by line
// on both backends, a script that runs out, bad script lines, and the
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

SessionResult runDemo(const std::string& script, const std::string& toolkit = "headless",
                      std::vector<std::pair<std::string, std::string>> env = {}) {
  SessionRun run;
  run.program = VODBC_DEMO_PROGRAM;
  run.script = script;
  run.toolkit = toolkit;
  run.environment = std::move(env);
  run.workingDirectory = "/tmp";
  return runSession(run);
}

// The demo's transcript: the task window and the dialog with its lists, then
// `middle`, then the task window closing.
Lines demoTranscript(const Lines& middle) {
  Lines t{"open task \"Toolkit Demo\"", "open 9001 \"Toolkit Demo\"",
          "list 9001 3: \"Apple\" \"Banana\" \"Cherry\"", "list 9001 4: \"Red\" \"Green\" \"Blue\"",
          "list 9001 5: \"Small\" *\"Medium\" \"Large\""};
  t.insert(t.end(), middle.begin(), middle.end());
  t.push_back("close task \"Toolkit Demo\"");
  return t;
}

// The dialog twice (the second time opening with the data the first left),
// the About box, a help command and Exit. The caret counts characters:
// "Bob" goes in behind "añd 😀".
const char* const kFullScript =
    "window 9001\ntext notes \"añd 😀 x\"\nselect fruits \"Banana\"\ndblclick 3 2\n"
    "multiselect colours 0,2\ntext name \"Bob\"\ncaret notes 0 5\nclick add\n"
    "check save on\nclick ask\nanswer Cancel\nclick open\nfile picked\n"
    "text name \"Zed\"\nclick ok\n"
    "window task\nmenu 1001\nclick ok\n"
    "menu 1004\nwindow 107\nclick 1\nmenu 32457\nanswer OK\nmenu 1006\n";

class WholeSession : public ::testing::TestWithParam<const char*> {};

// Both backends give the same transcript, line by line.
TEST_P(WholeSession, Transcript) {
  const SessionResult r = runDemo(
      kFullScript, GetParam(), {{"QT_QPA_PLATFORM", "offscreen"}, {"QT_LOGGING_RULES", "*=false"}});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "ok name=\"Zed\" fruit=2 colours=0,2 size=1 save=1 answer=2 "
            "file=\"/tmp/picked.txt\" notes=añd 😀Bob x|Cherry\n"
            "ok name=\"Zed\" fruit=-1 colours= size=1 save=1 answer=2 "
            "file=\"/tmp/picked.txt\" notes=añd 😀Bob x|Cherry\n");
  EXPECT_EQ(r.transcript,
            demoTranscript({"set 9001 13 \"Fruit: Banana\"",
                            "text 9001 7: \"añd 😀 x\" \"Cherry\"",
                            "set 9001 13 \"Fruit: Cherry\"",
                            "text 9001 7: \"añd 😀Bob x\" \"Cherry\"",
                            "ask \"Keep the notes?\" \"Yes\" \"No\" \"Cancel\"",
                            "file open \"Open a text file\" \"/tmp\" \"txt\" \"*.txt\"",
                            "set 9001 13 \"File: picked.txt\"",
                            "close 9001 \"Toolkit Demo\"",
                            "open 9001 \"Toolkit Demo\"",
                            "list 9001 3: \"Apple\" \"Banana\" \"Cherry\"",
                            "list 9001 4: \"Red\" \"Green\" \"Blue\"",
                            "list 9001 5: \"Small\" *\"Medium\" \"Large\"",
                            "set 9001 6 \"Zed\"",
                            "text 9001 7: \"añd 😀Bob x\" \"Cherry\"",
                            "check 9001 8 on",
                            "close 9001 \"Toolkit Demo\"",
                            "open 107 \"About Velora ODBC Query\"",
                            "set 107 3 \"vodbc developers\"",
                            "set 107 4 \"toolkit demo\"",
                            "close 107 \"About Velora ODBC Query\"",
                            "note \"Help requested (command 32457, window 0)\""}));
}

INSTANTIATE_TEST_SUITE_P(Backends, WholeSession, ::testing::Values("headless", "qt"),
                         [](const auto& info) { return std::string(info.param); });

TEST(ScriptedSession, ACheckBoxTheProgramDoesNotToggleIsReported) {
  // The dialog's handler toggles check 8 itself; clicking it twice by
  // script leaves it off, and nothing is reported because the user saw
  // their own clicks. Cancel then leaves the data as it was.
  const SessionResult r =
      runDemo("check save on\ncheck save off\ncheck save off\nclick cancel\nmenu 1006\n");
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.out,
            "cancelled name=\"\" fruit=-1 colours= size=-1 save=0 answer=-1 file=\"\" notes=\n");
  EXPECT_EQ(r.transcript, demoTranscript({"close 9001 \"Toolkit Demo\""}));
}

struct Failure {
  const char* script;
  const char* message;  // the whole of stderr
};

class ScriptFailure : public ::testing::TestWithParam<Failure> {};

TEST_P(ScriptFailure, EndsWithStatus3AndSaysWhy) {
  const SessionResult r = runDemo(GetParam().script);
  EXPECT_EQ(r.exitStatus, 3) << GetParam().script;
  EXPECT_EQ(r.err, std::string("vodbc-toolkit-demo: ") + GetParam().message + "\n");
}

// Running out names what was waiting; a bad line gives its number (comments
// and blank lines count) and, where a window is concerned, the window.
INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptFailure,
    ::testing::Values(
        Failure{"# nothing\n\n", "script ran out while waiting for window 9001 \"Toolkit Demo\""},
        Failure{"click ask\n",
                "script ran out while waiting for an answer to ask \"Keep the notes?\""},
        Failure{"click open\n",
                "script ran out while waiting for the open file dialog \"Open a text file\""},
        Failure{"click cancel\nmenu 1004\n",
                "script ran out while waiting for window 107 \"About Velora ODBC Query\""},
        Failure{"click cancel\n",
                "script ran out while waiting for the task window \"Toolkit Demo\""},
        Failure{"# first\nselect 3 0\npush 1\n", "script line 3: unknown command 'push'"},
        Failure{"select 3 0\nclick okay\n",
                "script line 2: no control okay in window 9001 \"Toolkit Demo\""},
        Failure{"click cancel\nclick 1\n", "script line 2: the task window has no control 1"},
        Failure{"select fruits \"Durian\"\n",
                "script line 1: no item \"Durian\" in list 3 of window 9001"},
        Failure{"dblclick 3 3\n", "script line 1: no item 3 in list 3 of window 9001 (3 items)"},
        Failure{"multiselect 3 0,1\n",
                "script line 1: control 3 of window 9001 takes one selection"},
        Failure{"check 3 on\n", "script line 1: control 3 of window 9001 is not a check box"},
        Failure{"text notes \"ab\"\ncaret notes 0 3\n",
                "script line 2: no position 0 3 in control 7 of window 9001"},
        Failure{"window 103\n",
                "script line 1: the top window is window 9001 \"Toolkit Demo\", not window 103"},
        Failure{"answer OK\n",
                "script line 1: no message box is open (window 9001 \"Toolkit Demo\" is waiting)"},
        Failure{"file x.txt\n",
                "script line 1: no file dialog is open (window 9001 \"Toolkit Demo\" is waiting)"},
        Failure{"click ask\nclick ok\n",
                "script line 2: expected 'answer LABEL' for ask \"Keep the notes?\""},
        Failure{"click ask\nanswer Maybe\n",
                "script line 2: no button \"Maybe\" in ask \"Keep the notes?\" (buttons \"Yes\" "
                "\"No\" \"Cancel\")"},
        Failure{"click open\nclick ok\n",
                "script line 2: expected 'file PATH' or 'file cancel' for the open file dialog "
                "\"Open a text file\""},
        Failure{"menu 1004\n", "script line 1: no menu while window 9001 \"Toolkit Demo\" is open"},
        Failure{"click cancel\nmenu 4242\n", "script line 2: no command 4242 in the menu bar"},
        Failure{"connect DSN=x\n",
                "script line 1: window 9001 \"Toolkit Demo\" is not a data-source dialog"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(ScriptedSession, TranscriptKeepsEverythingUpToTheFailure) {
  const SessionResult r = runDemo("select 3 1\nclick ask\n");
  EXPECT_EQ(r.exitStatus, 3);
  Lines want = demoTranscript(
      {"set 9001 13 \"Fruit: Banana\"", "ask \"Keep the notes?\" \"Yes\" \"No\" \"Cancel\""});
  want.pop_back();  // the task window never closed
  EXPECT_EQ(r.transcript, want);
}

TEST(BackendChoice, RefusesAnUnknownToolkitAndAnUnreadableScript) {
  SessionResult r = runDemo("", "motif");
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_EQ(r.err,
            "vodbc-toolkit-demo: VODBC_TOOLKIT must be \"qt\" or \"headless\", not \"motif\"\n");
  r = runDemo("", "headless", {{"VODBC_SCRIPT", "/nonexistent/script"}});
  EXPECT_EQ(r.exitStatus, 2);
  EXPECT_EQ(r.err, "vodbc-toolkit-demo: cannot read the script /nonexistent/script\n");
}

TEST(BackendChoice, QtWithoutADisplayFallsBackToHeadless) {
  // No platform forced and an X display nobody listens on.
  const SessionResult r =
      runDemo("click cancel\nmenu 1006\n", "qt",
              {{"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""}, {"DISPLAY", ":97"}});
  EXPECT_EQ(r.exitStatus, 0) << r.err;
  EXPECT_EQ(r.err,
            "vodbc-toolkit-demo: no display (cannot connect to the X server of "
            "DISPLAY=:97); using the headless backend\n");
  EXPECT_EQ(r.transcript, demoTranscript({"close 9001 \"Toolkit Demo\""}));
}

}  // namespace
