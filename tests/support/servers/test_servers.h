// Connection strings of the real data sources the driver tests use.
//
// Usage in a test program:
//   vodbc::testing::usePrivateOdbcRegistration();   // before the first ODBC call
//   auto pg = vodbc::testing::serverConnection(vodbc::testing::Database::PostgreSQL);
//   if (!pg.available()) GTEST_SKIP() << pg.skipReason;
//   ... connect with pg.connectionString ...
// PostgreSQL and MariaDB need the CTest fixtures postgres_server and
// mariadb_server (FIXTURES in vodbc_add_test). SQLite needs no server: each
// call makes a fresh database file in a new temporary folder, removed
// when the process ends.
// In CI (CI=true) a missing server is never a skip: available() is false
// and skipReason says why, and the test must fail.
#pragma once

#include <ostream>
#include <string>

namespace vodbc::testing {

// In the order vodbc_add_database_tests numbers them.
enum class Database { SQLite, PostgreSQL, MariaDB };

const char* databaseName(Database database);
void PrintTo(Database database, std::ostream* out);

#ifdef VODBC_TEST_DATABASE
// The database a suite built by vodbc_add_database_tests runs against.
inline constexpr Database kDatabaseUnderTest = static_cast<Database>(VODBC_TEST_DATABASE);
#endif

// Points ODBCSYSINI and ODBCINI at the build tree's private registration.
void usePrivateOdbcRegistration();

struct ServerConnection {
  std::string connectionString;  // empty when not available
  std::string skipReason;        // why not
  bool available() const { return !connectionString.empty(); }
};

ServerConnection serverConnection(Database database);

// Makes an SQLite database at `path` by running `sql` with the sqlite3
// command; returns its connection string through the private driver
// registration ("DRIVER=SQLite3;Database=<path>").
std::string makeSqliteDatabase(const std::string& path, const std::string& sql);

// True when running in CI, where missing servers fail instead of skipping.
bool inCi();

}  // namespace vodbc::testing
