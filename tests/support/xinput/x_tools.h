// Starting the X tools (Xvfb, openbox, xdotool, xprop) for the xinput
// helpers.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vodbc::testing {

// The tool's path in $PATH, "" when it is not there.
std::string findTool(const std::string& name);

using Environment = std::vector<std::pair<std::string, std::string>>;

// The test's own environment ("NAME=VALUE" each) with `changes` set over
// it, a variable in `changes` replacing the test's of the same name.
std::vector<std::string> environmentWith(const Environment& changes);

// Starts argv[0] (a path) with `environment` added to the test's; `keepFd`
// stays open in the child. Standard input and output go to /dev/null.
// Returns the process id, or -1.
int spawnTool(const std::vector<std::string>& argv, const Environment& environment,
              int keepFd = -1);

struct ToolResult {
  int status = -1;
  std::string out;
};

// Runs a tool from $PATH on `display` to its end.
ToolResult runTool(const std::vector<std::string>& argv, const std::string& display);

}  // namespace vodbc::testing
