// vodbc-batch against a PostgreSQL server started by the test fixture.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "odbc/run/run_test_support.h"
#include "servers/test_servers.h"

namespace vodbc {
namespace {

using testing::Result;
using testing::runProgram;

const std::string kBatch = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-batch";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

TEST(BatchPostgres, RerunsAgainstTheServer) {
  testing::usePrivateOdbcRegistration();
  auto pg = testing::serverConnection(testing::Database::PostgreSQL);
  if (!pg.available()) {
    if (testing::inCi()) FAIL() << pg.skipReason;
    GTEST_SKIP() << pg.skipReason;
  }
  // A run needs at least one table in the data source.
  std::string conn = pg.connectionString;
  std::size_t at = conn.find("Port=");
  ASSERT_NE(at, std::string::npos) << conn;
  std::string port = conn.substr(at + 5, conn.find(';', at) - at - 5);
  std::string psql = "psql -q -h 127.0.0.1 -p " + port +
                     " -U postgres -d postgres -c 'CREATE TABLE IF NOT EXISTS "
                     "batch_days (n INTEGER)' >/dev/null";
  ASSERT_EQ(std::system(psql.c_str()), 0) << psql;
  std::string folder = testing::makeTempFolder();
  std::string path = folder + "/pg.idb";
  testing::writeRetrievalFileText(
      path, pg.connectionString,
      {"SELECT n AS num, 'L' || (n % 3) AS label, DATE '2024-01-01' + n AS day",
       "FROM generate_series(1, 4) AS g(n)"});
  std::string out = folder + "/pg.WOR";
  Result r = runProgram(kBatch, {"--summary", "json", path, out}, folder);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "note: Retrieved 3 columns by 4 rows of data from ODBC Query\n");
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["column_list"][1]["conversion"], "text to factor");
  EXPECT_EQ(j["column_list"][2]["conversion"], "text to date");
  Result dump = runProgram(kDump, {"--csv", out}, folder);
  EXPECT_EQ(dump.out,
            "num,label,day\n1,L1,45293\n2,L2,45294\n3,L0,45295\n4,L1,45296\n");
  std::system(("rm -rf '" + folder + "'").c_str());
}

}  // namespace
}  // namespace vodbc
