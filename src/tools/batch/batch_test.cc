// vodbc-batch as scripts use it: the real program against SQLite (and
// PostgreSQL where the server fixture runs), judged by its exit status, its
// messages word for word, its JSON summary and vodbc-dump's reading of the
// file it wrote.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "odbc/run/run_test_support.h"
#include "servers/test_servers.h"

namespace vodbc {
namespace {

using testing::Result;
using testing::runProgram;

const std::string kBatch = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-batch";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

const char* kShopSql =
    "CREATE TABLE sales (id INTEGER, region VARCHAR(20), amount DOUBLE,"
    " sold_on DATE);\n"
    "INSERT INTO sales VALUES (1, 'North', 2.5, '2024-03-01'),"
    " (2, 'South', 4.0, '2024-03-02'), (3, 'North', 1.25, NULL);\n";

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::usePrivateOdbcRegistration();
    folder_ = testing::makeTempFolder();
    shop_ = testing::makeSqliteDatabase(folder_ + "/shop.db", kShopSql);
  }
  void TearDown() override { std::system(("rm -rf '" + folder_ + "'").c_str()); }

  std::string idb(const std::string& connection, const std::vector<std::string>& sql,
                  const std::string& name = "q.idb") {
    std::string path = folder_ + "/" + name;
    testing::writeRetrievalFileText(path, connection, sql);
    return path;
  }
  Result batch(const std::vector<std::string>& args,
               const std::function<void(pid_t)>& whileRunning = {}) {
    return runProgram(kBatch, args, folder_, whileRunning);
  }
  std::string dumpCsv(const std::string& wor) {
    Result r = runProgram(kDump, {"--csv", wor}, folder_);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  std::string folder_;
  std::string shop_;
};

const std::string kReport =
    "note: Retrieved 4 columns by 3 rows of data from ODBC Query";
const std::string kQuestion =
    "question: Do you want to edit the SQL statement to correct this error? "
    "[No/Yes] -> No";

TEST_F(BatchTest, WritesTheWorksheet) {
  std::string out = folder_ + "/out.WOR";
  Result r = batch({idb(shop_, {"SELECT region, amount, sold_on, id", "FROM sales"}), out});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, kReport + "\n");
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(dumpCsv(out),
            "region,amount,sold_on,id\n"
            "North,2.5,45352,1\n"
            "South,4,45353,2\n"
            "North,1.25,,3\n");
}

struct ExitCase {
  const char* name;
  int status;
  // Builds the arguments in the test's folder.
  std::function<std::vector<std::string>(BatchTest&, const std::string& folder,
                                         const std::string& shop)>
      args;
  std::vector<std::string> err;  // "PREFIX*" matches a line's start
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class BatchExitTest : public BatchTest,
                      public ::testing::WithParamInterface<ExitCase> {
 public:
  using BatchTest::idb;
};

TEST_P(BatchExitTest, StatusAndMessages) {
  const ExitCase& c = GetParam();
  Result r = batch(c.args(*this, folder_, shop_));
  EXPECT_EQ(r.status, c.status) << r.err;
  std::vector<std::string> seen = lines(r.err);
  ASSERT_EQ(seen.size(), c.err.size()) << r.err;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const std::string& want = c.err[i];
    const std::string& got = seen[i];
    if (!want.empty() && want.back() == '*') {
      EXPECT_EQ(got.substr(0, want.size() - 1), want.substr(0, want.size() - 1));
    } else {
      std::string expected = want;
      std::size_t at = expected.find("{folder}");
      if (at != std::string::npos) expected.replace(at, 8, folder_);
      EXPECT_EQ(got, expected);
    }
  }
  // Nothing is ever written on a failure.
  if (c.status != 0) {
    EXPECT_NE(access((folder_ + "/new.WOR").c_str(), F_OK), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchExitTest,
    ::testing::Values(
        ExitCase{"NoArguments", 2, [](BatchTest&, auto&, auto&) {
                   return std::vector<std::string>{};
                 },
                 {"vodbc-batch: RETRIEVAL.idb is required",
                  "Run with --help for more information."}},
        ExitCase{"UnknownSummaryFormat", 2,
                 [](BatchTest&, auto& f, auto&) {
                   return std::vector<std::string>{"--summary", "xml", f + "/q.idb",
                                                   f + "/new.WOR"};
                 },
                 {"vodbc-batch: --summary: xml not in {json}",
                  "Run with --help for more information."}},
        ExitCase{"PasswordVariableNotSet", 2,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       "--password-env", "VODBC_TEST_NO_SUCH_VARIABLE",
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT 1"}),
                       f + "/new.WOR"};
                 },
                 {"error: the environment variable VODBC_TEST_NO_SUCH_VARIABLE is not set"}},
        ExitCase{"MissingRetrievalFile", 3,
                 [](BatchTest&, auto& f, auto&) {
                   return std::vector<std::string>{f + "/none.idb", f + "/new.WOR"};
                 },
                 {"error: Error: In Write ODBC Retrieval File - could not open file "
                  "{folder}/none.idb"}},
        ExitCase{"ConnectionRefused", 4,
                 [](BatchTest& t, auto& f, auto&) {
                   return std::vector<std::string>{
                       static_cast<BatchExitTest&>(t).idb("DRIVER=" + f + "/none.so",
                                                          {"SELECT 1"}),
                       f + "/new.WOR"};
                 },
                 {"error: Error: Could not Open Database Driver Connection correctly",
                  "error: Velora ODBC Error Message: SQL Error: *"}},
        ExitCase{"NoTables", 4,
                 [](BatchTest& t, auto& f, auto&) {
                   std::string empty = testing::makeSqliteDatabase(
                       f + "/empty.db", "PRAGMA user_version = 2;\n");
                   return std::vector<std::string>{
                       static_cast<BatchExitTest&>(t).idb(empty, {"SELECT 1"}),
                       f + "/new.WOR"};
                 },
                 {"error: Error: Selected ODBC contains no valid tables!"}},
        ExitCase{"EmptyStatement", 5,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       static_cast<BatchExitTest&>(t).idb(shop, {}), f + "/new.WOR"};
                 },
                 {"error: Error: Empty ODBC SQL statement"}},
        ExitCase{"BadStatement", 5,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT nothing FROM sales"}),
                       f + "/new.WOR"};
                 },
                 {"error: Velora ODBC Error Message: SQL Error: S1000 *", kQuestion,
                  "error: Error reading ODBC Data!"}},
        ExitCase{"SqlOverrideFails", 5,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       "--sql", "SELECT * FROM sales WHERE id > 9",
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT * FROM sales"}),
                       f + "/new.WOR"};
                 },
                 {"error: Error reading ODBC data: No valid data found!", kQuestion,
                  "error: Error reading ODBC Data!"}},
        ExitCase{"ExistingOutputWithoutOverwrite", 6,
                 [](BatchTest& t, auto& f, auto& shop) {
                   std::ofstream(f + "/old.WOR") << "keep me";
                   return std::vector<std::string>{
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT * FROM sales"}),
                       f + "/old.WOR"};
                 },
                 {"error: {folder}/old.WOR exists; --overwrite replaces it"}},
        ExitCase{"OutputFolderMissing", 6,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT * FROM sales"}),
                       f + "/no/new.WOR"};
                 },
                 {kReport,
                  "error: Error: In Write VELORA File - could not open file "
                  "{folder}/no/new.WOR"}},
        ExitCase{"DryRunWritesNothing", 0,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       "--dry-run",
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT * FROM sales"}),
                       f + "/new.WOR"};
                 },
                 {kReport}},
        ExitCase{"QuietSaysOnlyWhatWentWrong", 0,
                 [](BatchTest& t, auto& f, auto& shop) {
                   return std::vector<std::string>{
                       "--quiet",
                       static_cast<BatchExitTest&>(t).idb(shop, {"SELECT * FROM sales"}),
                       f + "/written.WOR"};
                 },
                 {}}),
    [](const ::testing::TestParamInfo<ExitCase>& info) {
      return std::string(info.param.name);
    });

TEST_F(BatchTest, OverwriteReplacesAndSaysSo) {
  std::string out = folder_ + "/old.WOR";
  std::ofstream(out) << "old";
  Result r = batch({"--overwrite", idb(shop_, {"SELECT id FROM sales"}), out});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(lines(r.err),
            (std::vector<std::string>{
                "note: Retrieved 1 columns by 3 rows of data from ODBC Query",
                "question: Warning: Overwriting " + out +
                    " will lose the Velora Strings, Constants and SSP matrix!",
                "",
                "Are you sure you want to do this? [No/Overwrite] -> Overwrite"}));
  EXPECT_EQ(dumpCsv(out), "id\n1\n2\n3\n");
}

TEST_F(BatchTest, ConnectionAndPasswordFromOutside) {
  // The file names a driver that does not exist; the flags supply the rest.
  setenv("VODBC_TEST_PASSWORD", "not;needed", 1);
  std::string out = folder_ + "/out.WOR";
  Result r = batch({"--connect", shop_, "--password-env", "VODBC_TEST_PASSWORD",
                    "--sql", "SELECT amount FROM sales WHERE region = 'South'",
                    idb("DRIVER=nothing", {"SELECT nothing"}), out});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dumpCsv(out), "amount\n4\n");
}

TEST_F(BatchTest, JsonSummaryDescribesEveryColumn) {
  // 40 text values in one column and 31-character names on 40 columns, so
  // names must be cut to fit the file.
  std::string create = "CREATE TABLE wide (";
  std::string insert = "INSERT INTO wide VALUES ";
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) {
    std::string n = "column_number_" + std::to_string(100 + i);
    n.resize(31, 'z');
    names.push_back(n);
    create += (i ? ", " : "") + n + (i == 0 ? " VARCHAR(10)" : " INTEGER");
  }
  create += ");\n";
  for (int row = 0; row < 3; ++row) {
    insert += row ? ", (" : "(";
    for (int i = 0; i < 40; ++i) {
      insert += i ? ", " : "";
      insert += i == 0 ? "'v" + std::to_string(row % 2) + "'" : std::to_string(row * i);
    }
    insert += ")";
  }
  std::string wide = testing::makeSqliteDatabase(folder_ + "/wide.db", create + insert + ";\n");
  std::string out = folder_ + "/wide.WOR";
  Result r = batch({"--summary", "json", "--quiet", idb(wide, {"SELECT * FROM wide"}), out});
  ASSERT_EQ(r.status, 0) << r.err;
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["columns"], 40);
  EXPECT_EQ(j["rows"], 3);
  EXPECT_EQ(j["written"], true);
  EXPECT_EQ(j["dry_run"], false);
  EXPECT_EQ(j["output_file"], out);
  ASSERT_EQ(j["column_list"].size(), 40u);
  const nlohmann::json& first = j["column_list"][0];
  EXPECT_EQ(first["name"], names[0]);
  EXPECT_EQ(first["type"], "factor");
  EXPECT_EQ(first["levels"], 2);
  EXPECT_EQ(first["conversion"], "text to factor");
  // 40 names of 31 characters need 1280 bytes of the 1020 the file holds:
  // every name is cut to the same length.
  std::string cut = first["written_name"];
  EXPECT_LT(cut.size(), 31u);
  EXPECT_EQ(cut, names[0].substr(0, cut.size()));
  const nlohmann::json& last = j["column_list"][39];
  EXPECT_EQ(last["type"], "numeric");
  EXPECT_TRUE(last["levels"].is_null());
  EXPECT_EQ(last["conversion"], "none");
  EXPECT_EQ(last["written_name"], names[39].substr(0, cut.size()));
  for (const char* key : {"retrieval", "write", "total"}) {
    EXPECT_TRUE(j["seconds"][key].is_number()) << key;
  }
  // The names the summary gives are the names the file holds.
  std::string header = lines(dumpCsv(out))[0];
  EXPECT_EQ(header.substr(0, cut.size() + 1), cut + ",");
}

TEST_F(BatchTest, DryRunSummaryNamesTheDateConversion) {
  Result r = batch({"--dry-run", "--summary", "json", "--quiet",
                    idb(shop_, {"SELECT sold_on FROM sales"}), folder_ + "/new.WOR"});
  ASSERT_EQ(r.status, 0) << r.err;
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["written"], false);
  EXPECT_EQ(j["dry_run"], true);
  EXPECT_EQ(j["column_list"][0]["type"], "date");
  EXPECT_EQ(j["column_list"][0]["conversion"], "text to date");
  EXPECT_TRUE(j["column_list"][0]["written_name"].is_null());
}

// True once the process has its own handler for SIGINT, so that a Ctrl+C
// from here is a cancel and not the default end of the process.
bool catchesInterrupts(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("SigCgt:", 0) == 0) {
      unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
      return (mask >> (SIGINT - 1)) & 1;
    }
  }
  return false;
}

TEST_F(BatchTest, CtrlCCancelsTheFetchAndWritesNothing) {
  // A statement that never ends by itself.
  std::string forever = idb(shop_, {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL",
                                    "SELECT x + 1 FROM c) SELECT max(x) FROM c"});
  std::string out = folder_ + "/new.WOR";
  Result r = batch({forever, out}, [](pid_t pid) {
    while (!catchesInterrupts(pid)) usleep(1000);
    kill(pid, SIGINT);
  });
  EXPECT_EQ(r.status, 130);
  EXPECT_EQ(r.err, "note: interrupted; nothing was written\n");
  EXPECT_NE(access(out.c_str(), F_OK), 0);
}

}  // namespace
}  // namespace vodbc
