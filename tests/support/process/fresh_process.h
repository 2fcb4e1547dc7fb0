// Runs the current test again, alone, in a new process of the same test
// program, for cases that need a process as it starts: a heap no earlier
// case has grown, limits that must not outlive the case, state that cannot
// be put back.
//
//   TEST_F(RealFileTest, RunningOutOfMemory...) {
//     if (auto target = freshProcessArgument()) {   // in the new process
//       ... set the limit, do the work ...
//       std::_Exit(0);
//     }
//     EXPECT_EQ(rerunInFreshProcess(path("kept.WOR")).status, 8);
//   }
#pragma once

#include <optional>
#include <string>

#include "process/run_program.h"

namespace vodbc::testing {

// In the parent: starts this test program with only the current test
// selected (no shuffle, no repeat) and `argument` handed to it, and waits
// for it. A case that returns normally in the new process ends it with the
// status GoogleTest gives (0 when it passed).
ProgramResult rerunInFreshProcess(const std::string& argument = "");

// In the new process: the argument its parent gave; nullopt in an ordinary
// run.
std::optional<std::string> freshProcessArgument();

}  // namespace vodbc::testing
