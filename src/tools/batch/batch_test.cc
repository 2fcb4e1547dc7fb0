// vodbc-batch as scripts use it: the real program against SQLite through
// its ODBC driver, judged by its exit status, its messages word for word,
// its JSON summary and vodbc-dump's reading of the file it wrote.
#include <gtest/gtest.h>
#include <unistd.h>

#include <future>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "process/run_program.h"
#include "servers/test_servers.h"

namespace vodbc {
namespace {

using Lines = std::vector<std::string>;
using Result = testing::ProgramResult;

const std::string kBatch = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-batch";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

using testing::replaceAll;
Lines lines(const std::string& text) { return testing::splitLines(text); }

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::usePrivateOdbcRegistration();
    shop_ = testing::makeSqliteDatabase(
        dir_ + "/shop.db",
        "CREATE TABLE sales (id INTEGER, region VARCHAR(20), amount DOUBLE,"
        " sold_on DATE);\n"
        "INSERT INTO sales VALUES (1, 'North', 2.5, '2024-03-01'),"
        " (2, 'South', 4.0, '2024-03-02'), (3, 'North', 1.25, NULL);\n");
    testing::writeWholeFile(dir_ + "/old.WOR", "keep me");
    setenv("VODBC_TEST_PASSWORD", "not;needed", 1);
  }

  // Writes {dir}/q.idb and runs the program; "{dir}" and "{shop}" in the
  // arguments and the connection string are replaced.
  Result batch(const std::string& connection, const Lines& sql, const Lines& args,
               const std::function<void(int)>& whileRunning = {}) {
    testing::writeRetrievalFileText(dir_ + "/q.idb", expand(connection), sql);
    Lines expanded;
    for (const std::string& a : args) expanded.push_back(expand(a));
    return testing::runProgram(kBatch, expanded, whileRunning);
  }
  std::string expand(const std::string& text) {
    return replaceAll(replaceAll(text, "{dir}", dir_), "{shop}", shop_);
  }
  std::string dumpCsv(const std::string& wor) {
    Result r = testing::runProgram(kDump, {"--csv", dir_ + "/" + wor});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  testing::TempFolder temp_{"vodbc-batch"};
  std::string dir_ = temp_.str();
  std::string shop_;
};

const std::string kReport = "note: Retrieved 4 columns by 3 rows of data from ODBC Query";
const std::string kQuestion =
    "question: Do you want to edit the SQL statement to correct this error? "
    "[No/Yes] -> No";
const Lines kQ = {"{dir}/q.idb", "{dir}/new.WOR"};
const std::string kSales =
    "id,region,amount,sold_on\n1,North,2.5,45352\n2,South,4,45353\n3,North,1.25,\n";

struct ExitCase {
  const char* name;
  std::string connection;
  Lines sql;
  Lines args;
  int status;
  Lines err;
  std::string written;       // the worksheet file left behind, "" for none
  std::string csv = kSales;  // vodbc-dump's reading of it
};

void PrintTo(const ExitCase& c, std::ostream* os) { *os << c.name; }

class BatchExitTest : public BatchTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(BatchExitTest, StatusMessagesAndFiles) {
  const ExitCase& c = GetParam();
  Result r = batch(c.connection, c.sql, c.args);
  EXPECT_EQ(r.status, c.status) << r.err;
  Lines expected;
  for (const std::string& line : c.err) expected.push_back(expand(line));
  EXPECT_EQ(lines(r.err), expected);
  if (c.written.empty()) {
    EXPECT_NE(::access((dir_ + "/new.WOR").c_str(), F_OK), 0);
  } else {
    EXPECT_EQ(dumpCsv(c.written), c.csv);
  }
  if (c.written != "old.WOR") {
    EXPECT_EQ(testing::readWholeFile(dir_ + "/old.WOR"), "keep me");
  }
}

const Lines kAll = {"SELECT id, region, amount, sold_on", "FROM sales"};

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchExitTest,
    ::testing::Values(
        ExitCase{"Written", "{shop}", kAll, kQ, 0, {kReport}, "new.WOR"},
        ExitCase{"OverwriteReplacesAndSaysSo",
                 "{shop}",
                 kAll,
                 {"--overwrite", "{dir}/q.idb", "{dir}/old.WOR"},
                 0,
                 {kReport,
                  "question: Warning: Overwriting {dir}/old.WOR will lose the Velora Strings, "
                  "Constants and SSP matrix!",
                  "", "Are you sure you want to do this? [No/Overwrite] -> Overwrite"},
                 "old.WOR"},
        // The file names a driver that does not exist; the flags supply the rest.
        ExitCase{
            "ConnectionSqlAndPasswordFromOutside",
            "DRIVER=nothing",
            {"SELECT nothing"},
            {"--connect", "{shop}", "--password-env", "VODBC_TEST_PASSWORD", "--sql",
             "SELECT amount FROM sales WHERE region = 'South'", "{dir}/q.idb", "{dir}/new.WOR"},
            0,
            {"note: Retrieved 1 columns by 1 rows of data from ODBC Query"},
            "new.WOR",
            "amount\n4\n"},
        ExitCase{"QuietSaysOnlyWhatWentWrong",
                 "{shop}",
                 kAll,
                 {"--quiet", "{dir}/q.idb", "{dir}/new.WOR"},
                 0,
                 {},
                 "new.WOR"},
        ExitCase{"DryRunWritesNothing",
                 "{shop}",
                 kAll,
                 {"--dry-run", "{dir}/q.idb", "{dir}/new.WOR"},
                 0,
                 {kReport},
                 ""},
        ExitCase{
            "NoArguments",
            "{shop}",
            kAll,
            {},
            2,
            {"vodbc-batch: RETRIEVAL.idb is required", "Run with --help for more information."},
            ""},
        ExitCase{
            "UnknownSummaryFormat",
            "{shop}",
            kAll,
            {"--summary", "xml", "{dir}/q.idb", "{dir}/new.WOR"},
            2,
            {"vodbc-batch: --summary: xml not in {json}", "Run with --help for more information."},
            ""},
        ExitCase{"PasswordVariableNotSet",
                 "{shop}",
                 kAll,
                 {"--password-env", "VODBC_TEST_NO_SUCH_VARIABLE", "{dir}/q.idb", "{dir}/new.WOR"},
                 2,
                 {"error: the environment variable VODBC_TEST_NO_SUCH_VARIABLE is "
                  "not set"},
                 ""},
        ExitCase{"MissingRetrievalFile",
                 "{shop}",
                 kAll,
                 {"{dir}/none.idb", "{dir}/new.WOR"},
                 3,
                 {"error: Error: In Write ODBC Retrieval File - could not open file "
                  "{dir}/none.idb"},
                 ""},
        // The rest of the line would otherwise be run as SQL, and a driver's
        // syntax error would show the password.
        ExitCase{"ConnectionLineTooLong",
                 "DRIVER=SQLite3;Database={dir}/shop.db;" + std::string(1000, 'x') + ";PWD=secret",
                 kAll,
                 kQ,
                 3,
                 {"error: Error: In Write ODBC Retrieval File - could not open file "
                  "{dir}/q.idb",
                  "The connection string on line 2 is longer than 1023 characters."},
                 ""},
        ExitCase{"RetrievalFileIsAFolder",
                 "{shop}",
                 kAll,
                 {"{dir}", "{dir}/new.WOR"},
                 3,
                 {"error: Error: In Write ODBC Retrieval File - could not open file {dir}"},
                 ""},
        ExitCase{"ConnectionRefused",
                 "DRIVER={dir}/none.so",
                 kAll,
                 kQ,
                 4,
                 {"error: Error: Could not Open Database Driver Connection correctly",
                  "error: Velora ODBC Error Message: SQL Error: 01000 Error Code: 0 "
                  "ODBC Error Message: [unixODBC][Driver Manager]Can't open lib "
                  "'{dir}/none.so' : file not found"},
                 ""},
        ExitCase{"NoTables",
                 "DRIVER=SQLite3;Database={dir}/empty.db",
                 kAll,
                 kQ,
                 4,
                 {"error: Error: Selected ODBC contains no valid tables!"},
                 ""},
        ExitCase{
            "EmptyStatement", "{shop}", {}, kQ, 5, {"error: Error: Empty ODBC SQL statement"}, ""},
        ExitCase{"BadStatement",
                 "{shop}",
                 {"SELECT amount FROM nowhere"},
                 kQ,
                 5,
                 {"error: Velora ODBC Error Message: SQL Error: S1000 Error Code: 1 "
                  "ODBC Error Message: [SQLite]no such table: nowhere (1)",
                  kQuestion, "error: Error reading ODBC Data!"},
                 ""},
        ExitCase{"ExistingOutputWithoutOverwrite",
                 "{shop}",
                 kAll,
                 {"{dir}/q.idb", "{dir}/old.WOR"},
                 6,
                 {"error: {dir}/old.WOR exists; --overwrite replaces it"},
                 ""},
        ExitCase{"OutputFolderMissing",
                 "{shop}",
                 kAll,
                 {"{dir}/q.idb", "{dir}/no/new.WOR"},
                 6,
                 {kReport,
                  "error: Error: In Write VELORA File - could not open file "
                  "{dir}/no/new.WOR"},
                 ""}),
    [](const ::testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

TEST_F(BatchTest, JsonSummaryDescribesEveryColumn) {
  // A text column and 39 numbers, with 31-character names: together they
  // need more room than the file's name block has, so all are cut.
  std::string create = "CREATE TABLE wide (", insert = "INSERT INTO wide VALUES ";
  Lines names;
  for (int i = 0; i < 40; ++i) {
    names.push_back("column_number_" + std::to_string(100 + i));
    names.back().resize(31, 'z');
    create += (i ? ", " : "") + names.back() + (i ? " INTEGER" : " VARCHAR(9)");
  }
  for (int row = 0; row < 3; ++row) {
    insert += row ? ", ('v" : "('v";
    insert += std::to_string(row % 2) + "'";
    for (int i = 1; i < 40; ++i) insert += ", " + std::to_string(row * i);
    insert += ")";
  }
  std::string wide =
      testing::makeSqliteDatabase(dir_ + "/wide.db", create + ");\n" + insert + ";\n");
  Result r = batch(wide, {"SELECT * FROM wide"},
                   {"--summary", "json", "--quiet", "{dir}/q.idb", "{dir}/new.WOR"});
  ASSERT_EQ(r.status, 0) << r.err;
  using nlohmann::json;
  json j = json::parse(r.out);
  for (const char* key : {"retrieval", "write", "total"}) {
    EXPECT_TRUE(j["seconds"][key].is_number()) << key;
  }
  ASSERT_EQ(j["column_list"].size(), 40u);
  const std::string cut = j["column_list"][0].value("written_name", "");
  EXPECT_LT(cut.size(), 31u);
  EXPECT_EQ(j["column_list"][0], (json{{"conversion", "text to factor"},
                                       {"levels", 2},
                                       {"name", names[0]},
                                       {"type", "factor"},
                                       {"written_name", names[0].substr(0, cut.size())}}));
  EXPECT_EQ(j["column_list"][39], (json{{"conversion", "none"},
                                        {"levels", nullptr},
                                        {"name", names[39]},
                                        {"type", "numeric"},
                                        {"written_name", names[39].substr(0, cut.size())}}));
  j.erase("seconds");
  j.erase("column_list");
  EXPECT_EQ(j, (json{{"columns", 40},
                     {"complete", true},
                     {"reason", nullptr},
                     {"dry_run", false},
                     {"output_file", dir_ + "/new.WOR"},
                     {"retrieval_file", dir_ + "/q.idb"},
                     {"rows", 3},
                     {"written", true}}));
  // The names the summary gives are the names the file holds.
  EXPECT_EQ(lines(dumpCsv("new.WOR"))[0].substr(0, cut.size() + 1), cut + ",");

  // A dry run describes the fetched columns and writes nothing.
  r = batch("{shop}", {"SELECT sold_on FROM sales"},
            {"--dry-run", "--summary", "json", "{dir}/q.idb", "{dir}/dry.WOR"});
  ASSERT_EQ(r.status, 0) << r.err;
  j = json::parse(r.out);
  j.erase("seconds");
  EXPECT_EQ(j, (json{{"column_list",
                      {{{"conversion", "text to date"},
                        {"levels", nullptr},
                        {"name", "sold_on"},
                        {"type", "date"},
                        {"written_name", nullptr}}}},
                     {"columns", 1},
                     {"complete", true},
                     {"reason", nullptr},
                     {"dry_run", true},
                     {"output_file", dir_ + "/dry.WOR"},
                     {"retrieval_file", dir_ + "/q.idb"},
                     {"rows", 3},
                     {"written", false}}));
}

TEST_F(BatchTest, SummaryIsValidJsonWhateverBytesTheNamesHold) {
  // A file name is any bytes; the summary replaces what is not UTF-8.
  const std::string name = "caf\xE9-\xFF.WOR";
  for (const char* mode : {"--quiet", "--dry-run"}) {
    SCOPED_TRACE(mode);
    Result r = batch("{shop}", kAll, {mode, "--summary", "json", "{dir}/q.idb", "{dir}/" + name});
    ASSERT_EQ(r.status, 0) << r.err;
    nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["output_file"], dir_ + "/caf\uFFFD-\uFFFD.WOR");
    EXPECT_EQ(j["written"], std::string(mode) == "--quiet");
  }
  EXPECT_EQ(dumpCsv(name), kSales);
}

// A run that writes nothing says why in its summary.
TEST_F(BatchTest, SummarySaysWhyNothingWasWritten) {
  const struct {
    std::string connection;
    Lines sql, args;
    int status;
    std::string reason;
  } cases[] = {
      {"{shop}",
       kAll,
       {"{dir}/none.idb", "{dir}/new.WOR"},
       3,
       "retrieval file missing or unreadable"},
      {"DRIVER={dir}/none.so", kAll, kQ, 4, "no driver manager, connection refused, or no tables"},
      {"{shop}", {"SELECT x FROM nowhere"}, kQ, 5, "empty statement, execution or fetch failed"},
      {"{shop}",
       kAll,
       {"{dir}/q.idb", "{dir}/old.WOR"},
       6,
       "the worksheet file exists and --overwrite was not given"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    Lines args = {"--summary", "json"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Result r = batch(c.connection, c.sql, args);
    EXPECT_EQ(r.status, c.status) << r.err;
    nlohmann::json j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["written"], false);
    EXPECT_EQ(j["reason"], c.reason);
    EXPECT_EQ(j["rows"], 0);
    EXPECT_NE(::access((dir_ + "/new.WOR").c_str(), F_OK), 0);
  }
}

// What the user reads when a fetch fails after some rows, and that nothing
// is written, is in the hostile-driver table; here a real driver's failure
// reaches the summary, and --allow-partial keeps the rows.
TEST_F(BatchTest, AFetchErrorAfterSomeRowsIsWrittenOnlyWhenAllowed) {
  // The driver steps the statement row by row, so row 1,000's overflow
  // arrives as an error of that row's fetch.
  const std::string connection = "{shop};StepAPI=1";
  const Lines sql = {"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c",
                     "WHERE x < 2000) SELECT CASE WHEN x < 1000 THEN x",
                     "ELSE abs(-9223372036854775807 - 1) END AS v FROM c"};
  Result r =
      batch(connection, sql, {"--quiet", "--summary", "json", "{dir}/q.idb", "{dir}/new.WOR"});
  EXPECT_EQ(r.status, 5) << r.err;
  EXPECT_NE(r.err.find("integer overflow"), std::string::npos) << r.err;
  nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["written"], false);
  EXPECT_EQ(j["complete"], false);
  EXPECT_EQ(j["reason"], "the fetch ended with an error");

  r = batch(connection, sql,
            {"--quiet", "--allow-partial", "--summary", "json", "{dir}/q.idb", "{dir}/new.WOR"});
  EXPECT_EQ(r.status, 0) << r.err;
  j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["written"], true);
  EXPECT_EQ(j["complete"], false);
  EXPECT_EQ(j["rows"], 999);
  EXPECT_EQ(lines(dumpCsv("new.WOR")).size(), 1000u);
}

TEST_F(BatchTest, ASummaryThatCannotBePrintedIsAFailure) {
  testing::writeRetrievalFileText(dir_ + "/q.idb", shop_, kAll);
  Result r =
      testing::runProgram("/bin/sh", {"-c", "exec \"$0\" \"$@\" >/dev/full", kBatch, "--quiet",
                                      "--summary", "json", dir_ + "/q.idb", dir_ + "/new.WOR"});
  EXPECT_EQ(r.status, 6);
  EXPECT_EQ(r.err, "error: the summary could not be written to standard output\n");
}

TEST_F(BatchTest, AWriteThatFailsSaysWhyAndLeavesNothing) {
  // A file size limit of 512 bytes stands in for a full disk.
  testing::writeRetrievalFileText(dir_ + "/q.idb", shop_, kAll);
  Result r = testing::runProgram("/bin/sh", {"-c", "ulimit -f 1 && exec \"$0\" \"$@\"", kBatch,
                                             "--quiet", dir_ + "/q.idb", dir_ + "/new.WOR"});
  EXPECT_EQ(r.status, 6);
  EXPECT_EQ(r.err, "error: " + dir_ + "/new.WOR was not written: File too large\n");
  EXPECT_EQ(testing::folderEntries(dir_), (Lines{"old.WOR", "q.idb", "shop.db"}));
}

TEST_F(BatchTest, ParallelRunsToOneNewFileLeaveOneWriterAndNoStrayFile) {
  // Every run finds no file when it starts; only one may create it, the
  // others must not replace it (--overwrite is not given).
  testing::writeRetrievalFileText(dir_ + "/q.idb", shop_, kAll);
  std::vector<std::future<Result>> runs;
  for (int i = 0; i < 20; ++i) {
    runs.push_back(std::async(std::launch::async, [this] {
      return testing::runProgram(kBatch, {"--quiet", dir_ + "/q.idb", dir_ + "/new.WOR"});
    }));
  }
  int written = 0;
  for (std::future<Result>& run : runs) {
    const Result r = run.get();
    if (r.status == 0) {
      ++written;
    } else {
      EXPECT_EQ(r.status, 6) << r.err;
      EXPECT_NE(r.err.find(dir_ + "/new.WOR"), std::string::npos) << r.err;
    }
  }
  EXPECT_EQ(written, 1);
  EXPECT_EQ(dumpCsv("new.WOR"), kSales);
  EXPECT_EQ(testing::folderEntries(dir_), (Lines{"new.WOR", "old.WOR", "q.idb", "shop.db"}));
}

TEST_F(BatchTest, RunningOutOfMemoryAnywhereEndsWithTheMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than any limit allows";
#endif
  // 300,000 rows of 80-character text, stepped by the driver so the
  // program's own staging holds them; the limits run out at different
  // moments of the fetch (on the worker thread). The Sheet takes the staged
  // values over, so the whole run needs little more than the staging: about
  // 52 MB of address space for the fetch, 56 MB with the conversions.
  std::string rows = testing::makeSqliteDatabase(
      dir_ + "/rows.db",
      "CREATE TABLE t (id INTEGER);\n"
      "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 10000)"
      " INSERT INTO t SELECT x FROM c;\n");
  testing::writeRetrievalFileText(
      dir_ + "/q.idb", rows + ";StepAPI=1",
      {"SELECT printf('%070d-%d', a.id, b.id) AS v, a.id * 1.5 AS w FROM t a, t b",
       "WHERE b.id <= 30"});
  for (int megabytes : {40, 46}) {
    SCOPED_TRACE(std::to_string(megabytes) + " MB");
    testing::ProgramRun run;
    run.program = "/bin/sh";
    run.arguments = {"-c",
                     "ulimit -v " + std::to_string(megabytes * 1024) + " && exec \"$0\" \"$@\"",
                     kBatch,
                     "--quiet",
                     dir_ + "/q.idb",
                     dir_ + "/new.WOR"};
    // One heap for every thread: without it each thread reserves its own
    // 64 MB of address space and the limit is met before any data.
    run.environment = {{"MALLOC_ARENA_MAX", "1"}};
    Result r = testing::runProgram(run);
    EXPECT_EQ(r.status, 8) << r.err;
    EXPECT_EQ(r.out, "Error: Not enough memory to read data!\n");
    EXPECT_NE(::access((dir_ + "/new.WOR").c_str(), F_OK), 0);
  }
}

}  // namespace
}  // namespace vodbc
