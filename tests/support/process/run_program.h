// Runs a program to its end and captures what it printed.
//
//   vodbc::testing::ProgramRun run;
//   run.program = VODBC_BINARY_DIR "/bin/vodbc-dump";
//   run.arguments = {path};
//   const vodbc::testing::ProgramResult r = vodbc::testing::runProgram(run);
//   EXPECT_EQ(r.status, 0) << r.err;
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vodbc::testing {

struct ProgramRun {
  std::string program;                 // path of the executable
  std::vector<std::string> arguments;  // without the program name
  // Set (or replaced) in the program's environment, on top of the test's.
  std::vector<std::pair<std::string, std::string>> environment;
  std::string workingDirectory;  // "" keeps the test's own
  int timeoutSeconds = 120;      // the program is killed after this
  // Called with the process id once the program runs (e.g. to signal it).
  std::function<void(int pid)> whileRunning;
};

// Exit status (128 + the signal number when a signal ended it), stdout and
// stderr. Standard input is /dev/null.
struct ProgramResult {
  int status = -1;
  std::string out, err;
};

ProgramResult runProgram(const ProgramRun& run);

// The common case: a program and its arguments, nothing else changed.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(int pid)>& whileRunning = {});

// Waits until process `pid` has its own handler for `signal` (so a signal
// sent now is handled by the program, not the default end of the process).
// False when the process ended first.
bool waitUntilCatching(int pid, int signal);

}  // namespace vodbc::testing
