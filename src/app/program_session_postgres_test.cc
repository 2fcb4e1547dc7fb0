// The whole program against a PostgreSQL server started by the test
// fixture: a start-up rerun with "/c".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "process/run_program.h"
#include "servers/test_servers.h"
#include "session/session_runner.h"

namespace vodbc {
namespace {

const std::string kProgram = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";

class PostgresSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::usePrivateOdbcRegistration();
    auto pg = testing::serverConnection(testing::Database::PostgreSQL);
    if (!pg.available()) {
      if (testing::inCi()) FAIL() << pg.skipReason;
      GTEST_SKIP() << pg.skipReason;
    }
    conn_ = pg.connectionString;
    std::size_t at = conn_.find("Port=");
    ASSERT_NE(at, std::string::npos) << conn_;
    std::string port = conn_.substr(at + 5, conn_.find(';', at) - at - 5);
    // A run needs at least one table in the data source.
    std::string psql = "psql -q -h 127.0.0.1 -p " + port +
                       " -U postgres -d postgres -c 'CREATE TABLE IF NOT EXISTS "
                       "session_items (item VARCHAR(10), price NUMERIC(6,2))' "
                       ">/dev/null";
    ASSERT_EQ(std::system(psql.c_str()), 0) << psql;
  }

  toolkit::testing::SessionResult session(const std::vector<std::string>& sql,
                                          const std::string& script) {
    testing::writeRetrievalFileText(dir_ + "/pg.idb", conn_, sql);
    toolkit::testing::SessionRun run;
    run.program = kProgram;
    run.arguments = {"/c", "x", dir_ + "/pg.idb"};
    run.workingDirectory = dir_;
    run.script = script;
    return toolkit::testing::runSession(run);
  }

  testing::TempFolder temp_{"vodbc-session"};
  std::string conn_, dir_ = temp_.str();
};

TEST_F(PostgresSessionTest, StartUpRerunWritesAndEnds) {
  auto result = session({"SELECT n, 'item ' || n AS item FROM generate_series(1, 5) n"},
                        "answer OK\nfile pg.WOR\n");
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  EXPECT_EQ(result.transcript, (std::vector<std::string>{
                                   "open task \"Velora ODBC Query\"",
                                   "note \"Retrieved 2 columns by 5 rows of data from ODBC Query\"",
                                   "file open \"Velora Save ODBC data in Worksheet\" \"" + dir_ +
                                       "\" \"WOR\" \"pg.WOR\"",
                                   "close task \"Velora ODBC Query\""}));
  testing::ProgramResult dump = testing::runProgram(
      std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump", {"--csv", dir_ + "/pg.WOR"});
  EXPECT_EQ(dump.out, "n,item\n1,item 1\n2,item 2\n3,item 3\n4,item 4\n5,item 5\n");
}

}  // namespace
}  // namespace vodbc
