#include "servers/test_servers.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <vector>

#include "files/temp_folder.h"

namespace vodbc::testing {
namespace {

std::string readFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  return line;
}

// SQLite folders made by this process, removed when it ends. Never
// destroyed itself, so the exit handler can still reach it.
std::vector<std::unique_ptr<TempFolder>>& sqliteFolders() {
  static auto* folders = new std::vector<std::unique_ptr<TempFolder>>;
  return *folders;
}

void removeSqliteFolders() { sqliteFolders().clear(); }

}  // namespace

const char* databaseName(Database database) {
  switch (database) {
    case Database::SQLite:
      return "SQLite";
    case Database::PostgreSQL:
      return "PostgreSQL";
    case Database::MariaDB:
      return "MariaDB";
  }
  return "?";
}

void PrintTo(Database database, std::ostream* out) { *out << databaseName(database); }

bool inCi() {
  const char* ci = std::getenv("CI");
  return ci != nullptr && std::string(ci) == "true";
}

void usePrivateOdbcRegistration() {
  std::string dir = std::string(VODBC_BINARY_DIR) + "/odbc-env";
  setenv("ODBCSYSINI", dir.c_str(), 1);
  setenv("ODBCINI", (dir + "/odbc.ini").c_str(), 1);
}

ServerConnection serverConnection(Database database) {
  ServerConnection result;
  if (database == Database::SQLite) {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(removeSqliteFolders); });
    sqliteFolders().push_back(std::make_unique<TempFolder>("vodbc-sqlite"));
    result.connectionString =
        "Driver={SQLite3};Database=" + sqliteFolders().back()->file("test.db") + ";";
    return result;
  }
  std::string kind = database == Database::PostgreSQL ? "postgres" : "mariadb";
  std::string base = std::string(VODBC_BINARY_DIR) + "/servers/" + kind;
  result.connectionString = readFirstLine(base + ".conn");
  if (result.connectionString.empty()) {
    result.skipReason = readFirstLine(base + ".skip");
    if (result.skipReason.empty()) {
      result.skipReason = kind + " server fixture did not run (" + base + ".conn is missing)";
    }
  }
  return result;
}

std::string makeSqliteDatabase(const std::string& path, const std::string& sql) {
  const std::string script = path + ".sql";
  writeWholeFile(script, sql);
  const std::string command = "sqlite3 '" + path + "' < '" + script + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::remove(script.c_str());
  return "DRIVER=SQLite3;Database=" + path;
}

}  // namespace vodbc::testing
