// The headless road to a first retrieval file, as a user without a display
// walks it: the real vodbc-batch lists drivers, data sources and tables and
// saves a checked query; the saved file then reruns with vodbc-batch and
// with "vodbc /c" in a scripted session. Built once per database (see
// CMakeLists.txt); the cases that need no data source run in the SQLite
// program only.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "live_odbc/run_statements.h"
#include "process/run_program.h"
#include "servers/test_servers.h"
#include "session/session_runner.h"

namespace vodbc {
namespace {

using testing::Database;
using Lines = std::vector<std::string>;

const std::string kBatch = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-batch";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";
const std::string kProgram = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";

constexpr Database kDatabase = testing::kDatabaseUnderTest;

bool contains(const Lines& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class HeadlessRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::usePrivateOdbcRegistration();
    unsetenv("VODBC_DRIVER_MANAGER");
    if (kDatabase == Database::SQLite) {
      connection_ = testing::makeSqliteDatabase(dir_ + "/shop.db", "SELECT 1;");
    } else {
      testing::ServerConnection server = testing::serverConnection(kDatabase);
      if (!server.available()) {
        if (testing::inCi()) FAIL() << server.skipReason;
        GTEST_SKIP() << server.skipReason;
      }
      connection_ = server.connectionString;
    }
    // Names of our own, so runs against one server never meet. TEXT is a
    // long-data type to psqlODBC (SQL_LONGVARCHAR), which no other column of
    // the whole-program runs has.
    table_ = "road_items_" + std::to_string(getpid());
    view_ = "road_view_" + std::to_string(getpid());
    ASSERT_EQ(testing::runStatements(connection_,
                                     {"CREATE TABLE " + table_ + " (item TEXT, qty INTEGER)",
                                      "INSERT INTO " + table_ + " VALUES ('apple', 1), ('pear', 4)",
                                      "CREATE VIEW " + view_ + " AS SELECT qty FROM " + table_}),
              "");
  }

  void TearDown() override {
    if (table_.empty() || connection_.empty()) return;
    EXPECT_EQ(testing::runStatements(connection_, {"DROP VIEW " + view_, "DROP TABLE " + table_}),
              "");
  }

  testing::ProgramResult batch(const Lines& arguments) {
    testing::ProgramRun run;
    run.program = kBatch;
    run.arguments = arguments;
    run.workingDirectory = dir_;
    return testing::runProgram(run);
  }

  std::string csv(const std::string& worksheet) {
    testing::ProgramResult r = testing::runProgram(kDump, {"--csv", worksheet});
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  testing::TempFolder folder_{"vodbc-road"};
  std::string dir_ = folder_.str();
  std::string connection_, table_, view_;
};

TEST_F(HeadlessRoadTest, TablesAreListedAsTheSelectDataWindowListsThem) {
  testing::ProgramResult r = batch({"--list-tables", "--connect", connection_});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string schema = kDatabase == Database::PostgreSQL ? "public." : "";
  Lines listed = testing::splitLines(r.out);
  EXPECT_TRUE(contains(listed, "TABLE: " + schema + table_)) << r.out;
  EXPECT_TRUE(contains(listed, "VIEW: " + schema + view_)) << r.out;
  // Tables come before views, as the window orders them.
  auto table = std::find(listed.begin(), listed.end(), "TABLE: " + schema + table_);
  auto view = std::find(listed.begin(), listed.end(), "VIEW: " + schema + view_);
  EXPECT_LT(table, view);
}

TEST_F(HeadlessRoadTest, SavedRetrievalFileRerunsAndOverwriteReplacesIt) {
  const std::string saved = dir_ + "/weekly.idb";
  const std::string sql = "SELECT item, qty FROM " + table_ + " ORDER BY qty";
  const Lines before = testing::folderEntries(dir_);
  testing::ProgramResult r =
      batch({"--connect", connection_, "--sql", sql, "--save-retrieval", saved});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "note: saved " + saved + "\n");

  // The file as the program writes one: tag, completed string, statement,
  // CR LF, readable only by its owner, and nothing else left in the folder.
  struct stat status {};
  ASSERT_EQ(::stat(saved.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  Lines after = before;
  after.push_back("weekly.idb");
  std::sort(after.begin(), after.end());
  EXPECT_EQ(testing::folderEntries(dir_), after);
  const std::string bytes = testing::readWholeFile(saved);
  const std::size_t first = bytes.find("\r\n"), second = bytes.find("\r\n", first + 2);
  ASSERT_NE(second, std::string::npos) << bytes;
  EXPECT_EQ(bytes.substr(0, first), "ODBC Data");
  const std::string stored = bytes.substr(first + 2, second - first - 2);
  EXPECT_EQ(bytes.substr(second + 2), sql + "\r\n");
  if (kDatabase == Database::SQLite) {
    // The SQLite driver completes the string without its DRIVER=; the one
    // that connected is put back in front, so the file reruns.
    EXPECT_EQ(stored.rfind("DRIVER=SQLite3;DSN=;Database=" + dir_ + "/shop.db;", 0), 0u) << stored;
  } else {
    EXPECT_NE(stored, connection_) << "not the completed string";
  }

  const std::string expected = "item,qty\napple,1\npear,4\n";
  testing::ProgramResult rerun = batch({saved, dir_ + "/batch.WOR"});
  EXPECT_EQ(rerun.status, 0) << rerun.err;
  EXPECT_EQ(csv(dir_ + "/batch.WOR"), expected);

  toolkit::testing::SessionRun session;
  session.program = kProgram;
  session.arguments = {"/c", "x", saved};
  session.workingDirectory = dir_;
  session.script = "answer OK\nfile program.WOR\n";
  toolkit::testing::SessionResult program = toolkit::testing::runSession(session);
  EXPECT_EQ(program.exitStatus, 0) << program.err;
  EXPECT_EQ(csv(dir_ + "/program.WOR"), expected);

  // --overwrite replaces the file, which keeps the mode it has.
  ASSERT_EQ(::chmod(saved.c_str(), 0640), 0);
  const std::string other = "SELECT qty FROM " + table_;
  r = batch({"--connect", connection_, "--sql", other, "--save-retrieval", saved, "--overwrite"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::readWholeFile(saved), bytes.substr(0, second + 2) + other + "\r\n");
  ASSERT_EQ(::stat(saved.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640u);
}

// What goes wrong on the road: the status, and the file left as it was.
struct RoadFailure {
  const char* name;
  Lines arguments;  // "{conn}", "{dir}" and "{table}" are replaced
  int status;
  std::string message;  // one of the lines on stderr
};

void PrintTo(const RoadFailure& c, std::ostream* os) { *os << c.name; }

class HeadlessRoadFailureTest : public HeadlessRoadTest,
                                public ::testing::WithParamInterface<RoadFailure> {};

TEST_P(HeadlessRoadFailureTest, StatusAndNoHarm) {
  const RoadFailure& c = GetParam();
  testing::writeWholeFile(dir_ + "/old.idb", "keep me");
  Lines arguments;
  for (const std::string& a : c.arguments) {
    arguments.push_back(testing::replaceAll(
        testing::replaceAll(testing::replaceAll(a, "{conn}", connection_), "{dir}", dir_),
        "{table}", table_));
  }
  const Lines before = testing::folderEntries(dir_);
  testing::ProgramResult r = batch(arguments);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_TRUE(contains(testing::splitLines(r.err), testing::replaceAll(c.message, "{dir}", dir_)))
      << r.err;
  EXPECT_EQ(testing::folderEntries(dir_), before);
  EXPECT_EQ(testing::readWholeFile(dir_ + "/old.idb"), "keep me");
}

INSTANTIATE_TEST_SUITE_P(
    Road, HeadlessRoadFailureTest,
    ::testing::Values(
        RoadFailure{"StatementThatFailsSavesNothing",
                    {"--connect", "{conn}", "--sql", "SELECT nothing FROM {table}",
                     "--save-retrieval", "{dir}/new.idb"},
                    5,
                    "error: Error reading ODBC Data!"},
        RoadFailure{"ExistingFileWithoutOverwrite",
                    {"--connect", "{conn}", "--sql", "SELECT qty FROM {table}", "--save-retrieval",
                     "{dir}/old.idb"},
                    6,
                    "error: {dir}/old.idb exists; --overwrite replaces it"},
        RoadFailure{"FolderThatCannotBeWritten",
                    {"--connect", "{conn}", "--sql", "SELECT qty FROM {table}", "--save-retrieval",
                     "{dir}/missing/new.idb"},
                    6,
                    "error: Error: In Write ODBC Retrieval File - could not open file "
                    "{dir}/missing/new.idb"},
        RoadFailure{"ConnectionRefused",
                    {"--connect", "DRIVER=NoSuchDriver", "--sql", "SELECT 1", "--save-retrieval",
                     "{dir}/new.idb"},
                    4,
                    "error: Error: Could not Open Database Driver Connection correctly"},
        RoadFailure{"TablesOfARefusedConnection",
                    {"--list-tables", "--connect", "DRIVER=NoSuchDriver"},
                    4,
                    "error: Error: Could not Open Database Driver Connection correctly"}),
    [](const auto& info) { return std::string(info.param.name); });

#if VODBC_TEST_DATABASE == 0
// Listings straight from the driver manager and the command line's rules
// need no data source: they run once, in the SQLite program.

TEST(HeadlessRoadListing, DriversAndDataSourcesFromTheDriverManager) {
  testing::usePrivateOdbcRegistration();
  testing::TempFolder folder("vodbc-road-sources");
  const std::string odbcIni = folder.file("odbc.ini");
  testing::writeWholeFile(odbcIni,
                          "[shop]\nDriver=SQLite3\nDatabase=/data/shop.db\n\n"
                          "[sales]\nDriver=PostgreSQL ANSI\nServername=db\n");
  testing::ProgramRun run;
  run.program = kBatch;
  run.environment = {{"ODBCINI", odbcIni}};

  run.arguments = {"--list-drivers"};
  testing::ProgramResult drivers = testing::runProgram(run);
  EXPECT_EQ(drivers.status, 0) << drivers.err;
  // The private registration the tests use (tests/support/servers).
  EXPECT_EQ(testing::splitLines(drivers.out),
            (Lines{"PostgreSQL ANSI", "MariaDB Unicode", "SQLite3"}));

  run.arguments = {"--list-sources"};
  testing::ProgramResult sources = testing::runProgram(run);
  EXPECT_EQ(sources.status, 0) << sources.err;
  Lines listed = testing::splitLines(sources.out);
  EXPECT_TRUE(contains(listed, "shop\tSQLite3")) << sources.out;
  EXPECT_TRUE(contains(listed, "sales\tPostgreSQL ANSI")) << sources.out;

  // Without a driver manager there is nothing to list, and the user is told.
  run.environment.push_back({"VODBC_DRIVER_MANAGER", folder.file("no-such-library.so")});
  testing::ProgramResult none = testing::runProgram(run);
  EXPECT_EQ(none.status, 4);
  EXPECT_EQ(none.out, "");
  EXPECT_NE(none.err.find("ODBC has NOT been installed"), std::string::npos) << none.err;
}

TEST(HeadlessRoadUsage, CommandsThatDoNotFitTogetherAreUsageErrors) {
  const struct {
    Lines arguments;
    std::string message;
  } cases[] = {
      {{"--list-tables"}, "--connect STRING is required here"},
      {{"--save-retrieval", "q.idb", "--connect", "DSN=x"},
       "--sql TEXT is required with --save-retrieval"},
      {{"--list-drivers", "--list-sources"},
       "--list-drivers, --list-sources, --list-tables and --save-retrieval exclude each other"},
      {{"--list-drivers", "--connect", "DSN=x"},
       "--list-drivers and --list-sources take no other options"},
      {{"--list-tables", "--connect", "DSN=x", "--sql", "SELECT 1"},
       "--list-tables takes only --connect"},
      {{"--list-tables", "--connect", "DSN=x", "q.idb", "out.WOR"},
       "RETRIEVAL.idb and OUTPUT.WOR are not given with --list-drivers, --list-sources, "
       "--list-tables or --save-retrieval"},
      {{"--save-retrieval", "q.idb", "--connect", "DSN=x", "--sql", "SELECT 1", "--dry-run"},
       "--dry-run and --summary only go with a rerun"},
      {{"--save-retrieval", "q.idb", "--connect", "DSN=x", "--sql", "SELECT 1", "--password-env",
        "PW"},
       "--password-env only goes with a rerun"},
      {{"--save-retrieval", "", "--connect", "DSN=x", "--sql", "SELECT 1"},
       "--save-retrieval needs a file name"},
      {{"q.idb"}, "OUTPUT.WOR is required"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    testing::ProgramResult r = testing::runProgram(kBatch, c.arguments);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "vodbc-batch: " + c.message + "\nRun with --help for more information.\n");
  }
}
#endif

}  // namespace
}  // namespace vodbc
