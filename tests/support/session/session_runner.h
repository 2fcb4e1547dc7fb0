// Runs a program as a scripted session, for the tests of every part of
// vodbc: writes the script to a file, starts the program with
// VODBC_TOOLKIT, VODBC_SCRIPT and VODBC_TRANSCRIPT set, waits for it and
// hands back its exit status, transcript lines, stdout and stderr.
//
//   toolkit::testing::SessionRun run;
//   run.program = VODBC_BINARY_DIR "/bin/vodbc";
//   run.script = "answer OK\nmenu 1006\n";
//   const auto result = toolkit::testing::runSession(run);
//   EXPECT_EQ(result.exitStatus, 0);
//   EXPECT_EQ(result.transcript, (std::vector<std::string>{...}));
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "files/temp_folder.h"

namespace toolkit::testing {

struct SessionRun {
  std::string program;                 // path of the executable
  std::vector<std::string> arguments;  // without the program name
  std::string script;                  // the script's text
  std::string toolkit = "headless";    // VODBC_TOOLKIT
  // Further environment variables (e.g. QT_QPA_PLATFORM=offscreen).
  std::vector<std::pair<std::string, std::string>> environment;
  std::string workingDirectory;  // "" keeps the test's own
  int timeoutSeconds = 60;       // the program is killed after this
};

struct SessionResult {
  int exitStatus = -1;  // 128 + signal number when killed by a signal
  std::vector<std::string> transcript;
  std::string out;  // stdout
  std::string err;  // stderr
};

SessionResult runSession(const SessionRun& run);

// Splits text into lines (without their '\n').
using vodbc::testing::splitLines;

}  // namespace toolkit::testing
