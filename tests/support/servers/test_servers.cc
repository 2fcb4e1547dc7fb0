#include "servers/test_servers.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <vector>

namespace vodbc::testing {
namespace {

std::string readFirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  return line;
}

// SQLite folders made by this process, removed when it ends. Never
// destroyed itself, so the exit handler can still read it.
std::vector<std::string>& sqliteFolders() {
  static auto* folders = new std::vector<std::string>;
  return *folders;
}

void removeSqliteFolders() {
  std::error_code ignored;
  for (const std::string& folder : sqliteFolders()) {
    std::filesystem::remove_all(folder, ignored);
  }
}

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
    char folder[] = "/tmp/vodbc-sqlite.XXXXXX";
    if (mkdtemp(folder) == nullptr) {
      result.skipReason = "no temporary folder for the SQLite database";
      return result;
    }
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(removeSqliteFolders); });
    sqliteFolders().push_back(folder);
    result.connectionString = std::string("Driver={SQLite3};Database=") + folder + "/test.db;";
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

}  // namespace vodbc::testing
