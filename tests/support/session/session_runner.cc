#include "session/session_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace toolkit::testing {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

SessionResult runSession(const SessionRun& run) {
  SessionResult result;
  char dirTemplate[] = "/tmp/vodbc-session-XXXXXX";
  const char* dir = ::mkdtemp(dirTemplate);
  if (!dir) return result;
  const std::string base = dir;
  const std::string script = base + "/script", transcript = base + "/transcript",
                    out = base + "/stdout", err = base + "/stderr";
  std::ofstream(script, std::ios::binary) << run.script;

  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setenv("VODBC_TOOLKIT", run.toolkit.c_str(), 1);
    ::setenv("VODBC_SCRIPT", script.c_str(), 1);
    ::setenv("VODBC_TRANSCRIPT", transcript.c_str(), 1);
    for (const auto& [name, value] : run.environment) {
      ::setenv(name.c_str(), value.c_str(), 1);
    }
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
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(run.program.c_str()));
    for (const auto& a : run.arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(run.program.c_str(), argv.data());
    ::_exit(127);
  }
  if (pid > 0) {
    int status = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(run.timeoutSeconds);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.transcript = splitLines(readFile(transcript));
  result.out = readFile(out);
  result.err = readFile(err);
  std::error_code ec;
  std::filesystem::remove_all(base, ec);
  return result;
}

}  // namespace toolkit::testing
