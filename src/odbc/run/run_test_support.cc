#include "odbc/run/run_test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

extern char** environ;

namespace vodbc::testing {

std::string makeTempFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/vodbc-run-XXXXXX";
  char* made = ::mkdtemp(pattern.data());
  EXPECT_NE(made, nullptr);
  return pattern;
}

std::string makeSqliteDatabase(const std::string& path, const std::string& sql) {
  std::string script = path + ".sql";
  {
    std::ofstream out(script);
    out << sql;
  }
  std::string command = "sqlite3 '" + path + "' < '" + script + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::remove(script.c_str());
  return "DRIVER=SQLite3;Database=" + path;
}

void writeRetrievalFileText(const std::string& path, const std::string& connection,
                            const std::vector<std::string>& sqlLines) {
  std::ofstream out(path, std::ios::binary);
  out << "ODBC Data\r\n" << connection << "\r\n";
  for (const std::string& line : sqlLines) out << line << "\r\n";
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

Result runProgram(const std::string& program, const std::vector<std::string>& args,
                  const std::string& folder, const std::function<void(int pid)>& whileRunning) {
  std::string outPath = folder + "/stdout", errPath = folder + "/stderr";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  Result r;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) {
    ADD_FAILURE() << "cannot start " << program;
    return r;
  }
  posix_spawn_file_actions_destroy(&actions);
  if (whileRunning) whileRunning(pid);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
  r.out = readWholeFile(outPath);
  r.err = readWholeFile(errPath);
  return r;
}

}  // namespace vodbc::testing
