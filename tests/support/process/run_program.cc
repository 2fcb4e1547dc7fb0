#include "process/run_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "files/temp_folder.h"

extern char** environ;

namespace vodbc::testing {
namespace {

// The test's environment with `changes` applied in order (a later change of
// the same name wins), as "NAME=VALUE" strings.
std::vector<std::string> environmentWith(
    const std::vector<std::pair<std::string, std::string>>& changes) {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) out.push_back(*e);
  for (const auto& [name, value] : changes) {
    const std::string prefix = name + "=";
    std::erase_if(out, [&](const std::string& entry) { return entry.rfind(prefix, 0) == 0; });
    out.push_back(prefix + value);
  }
  return out;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> out;
  for (std::string& text : texts) out.push_back(text.data());
  out.push_back(nullptr);
  return out;
}

}  // namespace

ProgramResult runProgram(const ProgramRun& run) {
  ProgramResult result;
  TempFolder folder("vodbc-run");
  const std::string out = folder.file("stdout"), err = folder.file("stderr");
  // Everything the child needs is prepared here: between fork and exec it
  // only makes system calls.
  std::vector<std::string> argumentTexts{run.program};
  argumentTexts.insert(argumentTexts.end(), run.arguments.begin(), run.arguments.end());
  std::vector<std::string> environmentTexts = environmentWith(run.environment);
  std::vector<char*> argv = pointers(argumentTexts), envp = pointers(environmentTexts);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int n = ::open("/dev/null", O_RDONLY);
    if (o < 0 || e < 0 || n < 0) ::_exit(126);
    ::dup2(n, 0);
    ::dup2(o, 1);
    ::dup2(e, 2);
    if (!run.workingDirectory.empty() && ::chdir(run.workingDirectory.c_str()) != 0) {
      ::_exit(126);
    }
    ::execve(run.program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  if (pid < 0) return result;
  if (run.whileRunning) run.whileRunning(pid);
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(run.timeoutSeconds);
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readWholeFile(out);
  result.err = readWholeFile(err);
  return result;
}

bool waitUntilCatching(int pid, int signal) {
  for (;;) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    if (!status) return false;
    bool zombie = false;
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("State:", 0) == 0) zombie = line.find('Z') != std::string::npos;
      if (line.rfind("SigCgt:", 0) == 0 && !zombie &&
          ((std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1)) {
        return true;
      }
    }
    if (zombie) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::function<void(int pid)>& whileRunning) {
  ProgramRun run;
  run.program = program;
  run.arguments = arguments;
  run.whileRunning = whileRunning;
  return runProgram(run);
}

}  // namespace vodbc::testing
