#include "xinput/x_tools.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "process/run_program.h"

extern char** environ;

namespace vodbc::testing {

std::string findTool(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "/usr/bin:/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::string candidate = folder + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

std::vector<std::string> environmentWith(const Environment& changes) {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
  for (const auto& variable : changes) {
    const std::string prefix = variable.first + "=";
    std::erase_if(env, [&prefix](const std::string& s) { return s.rfind(prefix, 0) == 0; });
    env.push_back(prefix + variable.second);
  }
  return env;
}

int spawnTool(const std::vector<std::string>& argv, const Environment& environment, int keepFd) {
  std::vector<std::string> env = environmentWith(environment);
  std::vector<std::string> args = argv;
  std::vector<char*> argp, envp;
  for (std::string& a : args) argp.push_back(a.data());
  for (std::string& e : env) envp.push_back(e.data());
  argp.push_back(nullptr);
  envp.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    ::dup2(null, 1);
    ::dup2(null, 2);
    for (int fd = 3; fd < 1024; ++fd) {
      if (fd != keepFd) ::close(fd);
    }
    // A session of its own: the test's terminal signals do not reach it.
    ::setsid();
    ::execve(argp[0], argp.data(), envp.data());
    ::_exit(127);
  }
  return pid;
}

ToolResult runTool(const std::vector<std::string>& argv, const std::string& display) {
  ProgramRun run;
  run.program = findTool(argv.front());
  if (run.program.empty()) return {127, ""};
  run.arguments.assign(argv.begin() + 1, argv.end());
  run.environment = {{"DISPLAY", display}};
  run.timeoutSeconds = 30;
  const ProgramResult r = runProgram(run);
  return {r.status, r.out};
}

}  // namespace vodbc::testing
