#include "odbc/run/run_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>

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

}  // namespace vodbc::testing
