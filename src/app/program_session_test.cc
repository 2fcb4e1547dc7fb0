// The whole program in scripted sessions: the real vodbc executable, the
// real SQLite ODBC driver, a script playing the user and the transcript of
// everything the user saw, compared line for line. Written files are read
// back with vodbc-dump.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/temp_folder.h"
#include "process/run_program.h"
#include "servers/test_servers.h"
#include "session/session_runner.h"

namespace vodbc {
namespace {

const std::string kProgram = std::string(VODBC_BINARY_DIR) + "/bin/vodbc";
const std::string kDump = std::string(VODBC_BINARY_DIR) + "/bin/vodbc-dump";

const char* kShopSql =
    "CREATE TABLE sales (region VARCHAR(20), amount DOUBLE);\n"
    "INSERT INTO sales VALUES ('North', 2.5), ('South', 4.0), ('North', 1.25);\n";

using testing::replaceAll;

struct SessionCase {
  const char* name;
  std::vector<std::string> arguments;  // "{dir}" is the session's folder
  std::string script;
  std::vector<std::string> transcript;
  std::vector<std::string> written;  // worksheet files the session leaves
  std::vector<std::string> notWritten;
  bool ownCopy = false;  // run a copy in {dir}/bin, with no help folder beside it
};

void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

class ProgramSessionTest : public ::testing::TestWithParam<SessionCase> {
 protected:
  void SetUp() override {
    testing::usePrivateOdbcRegistration();
    shop_ = testing::makeSqliteDatabase(dir_ + "/shop.db", kShopSql);
    testing::writeRetrievalFileText(dir_ + "/q.idb", shop_,
                                    {"SELECT region, amount", "FROM sales"});
    ::mkdir((dir_ + "/sub").c_str(), 0700);
    testing::writeRetrievalFileText(dir_ + "/sub/weekly.idb", shop_, {"SELECT amount FROM sales"});
    testing::writeRetrievalFileText(dir_ + "/bad.idb", shop_, {"SELECT amount FROM nowhere"});
    testing::writeRetrievalFileText(dir_ + "/refused.idb", "DRIVER=" + dir_ + "/none.so",
                                    {"SELECT 1"});
  }
  testing::TempFolder temp_{"vodbc-session"};
  std::string dir_ = temp_.str();
  std::string shop_;
};

TEST_P(ProgramSessionTest, Transcript) {
  const SessionCase& c = GetParam();
  toolkit::testing::SessionRun run;
  run.program = kProgram;
  if (c.ownCopy) {
    ::mkdir((dir_ + "/bin").c_str(), 0700);
    ASSERT_TRUE(std::filesystem::copy_file(kProgram, dir_ + "/bin/vodbc"));
    testing::writeWholeFile(dir_ + "/notes.txt", "notes\n");
    run.program = dir_ + "/bin/vodbc";
  }
  for (const std::string& a : c.arguments) {
    run.arguments.push_back(replaceAll(a, "{dir}", dir_));
  }
  run.script = replaceAll(replaceAll(c.script, "{dir}", dir_), "{help}",
                          std::string(VODBC_SOURCE_DIR) + "/help/vodbc.html");
  run.workingDirectory = dir_;
  toolkit::testing::SessionResult result = toolkit::testing::runSession(run);
  EXPECT_EQ(result.exitStatus, 0) << result.err;
  std::vector<std::string> expected;
  for (const std::string& line : c.transcript) {
    expected.push_back(replaceAll(line, "{dir}", dir_));
  }
  EXPECT_EQ(result.transcript, expected);
  for (const std::string& file : c.written) {
    testing::ProgramResult r = testing::runProgram(kDump, {"--csv", dir_ + "/" + file});
    EXPECT_EQ(r.status, 0) << file << ": " << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              file == "sub/weekly.WOR" ? "amount" : "region,amount")
        << file;
  }
  for (const std::string& file : c.notWritten) {
    EXPECT_NE(::access((dir_ + "/" + file).c_str(), F_OK), 0) << file;
  }
}

const std::string kTaskOpen = "open task \"Velora ODBC Query\"";
const std::string kTaskClose = "close task \"Velora ODBC Query\"";
const std::string kReport = "note \"Retrieved 2 columns by 3 rows of data from ODBC Query\"";
const std::string kSaveDialog =
    "file open \"Velora Save ODBC data in Worksheet\" \"{dir}\" \"WOR\" ";
const std::string kOpenDialog =
    "file open \"Velora Open ODBC data retrieval file\" \"{dir}\" \"idb\" \"\"";
const std::string kDataSourceOpen = "open 110 \"Select Data Source\"";
const std::string kDrivers = "list 110 4: \"PostgreSQL ANSI\" \"MariaDB Unicode\" \"SQLite3\"";
const std::string kDataSourceClose = "close 110 \"Select Data Source\"";
const std::string kHelpDialog = "file open \"Please Find and Open help file...\" \"{dir}\" \"\" ";

std::string overwriteQuestion(const std::string& file) {
  return "ask \"Warning: Overwriting {dir}/" + file +
         " will lose the Velora Strings, Constants and SSP matrix!\\n\\nAre you "
         "sure you want to do this?\" \"No\" \"Overwrite\"";
}

INSTANTIATE_TEST_SUITE_P(
    App, ProgramSessionTest,
    ::testing::Values(
        SessionCase{"StartUpRerunWithCloseEndsAfterTheWrite",
                    {"/c", "x", "{dir}/q.idb"},
                    "answer OK\nfile q.WOR\n",
                    {kTaskOpen, kReport, kSaveDialog + "\"q.WOR\"", kTaskClose},
                    {"q.WOR"},
                    {}},
        SessionCase{"CancelledOutputDialogKeepsTheProgramRunning",
                    {"/c", "x", "{dir}/q.idb"},
                    "answer OK\nfile cancel\nwindow task\nmenu 1006\n",
                    {kTaskOpen, kReport, kSaveDialog + "\"q.WOR\"", kTaskClose},
                    {},
                    {"q.WOR"}},
        SessionCase{"RerunSavedOffersTheNameBesideTheRetrievalFile",
                    {},
                    "connect cancel\nmenu 1003\nfile sub/weekly.idb\nanswer OK\n"
                    "file weekly.WOR\nmenu 1002\n",
                    {kTaskOpen, kDataSourceOpen, kDrivers, kDataSourceClose, kOpenDialog,
                     "note \"Retrieved 1 columns by 3 rows of data from ODBC Query\"",
                     "file open \"Velora Save ODBC data in Worksheet\" \"{dir}/sub\" "
                     "\"WOR\" \"weekly.WOR\"",
                     kTaskClose},
                    {"sub/weekly.WOR"},
                    {}},
        // The worksheet file chosen for the start-up run is where every
        // later run of the process writes, without a dialog or a report; the
        // overwrite question still comes.
        SessionCase{"StartUpChoiceIsKeptForLaterRuns",
                    {"x", "{dir}/q.idb"},
                    "answer OK\nfile out.WOR\nmenu 1003\nfile q.idb\n"
                    "answer Overwrite\nmenu 1006\n",
                    {kTaskOpen, kReport, kSaveDialog + "\"q.WOR\"", kOpenDialog,
                     overwriteQuestion("out.WOR"), kTaskClose},
                    {"out.WOR"},
                    {"q.WOR"}},
        SessionCase{
            "ConnectionRefused",
            {"x", "{dir}/refused.idb"},
            "answer OK\nclose\nmenu 1006\n",
            {kTaskOpen, "error \"Error: Could not Open Database Driver Connection correctly\"",
             "open 103 \"Velora ODBC Error Message\"", "set 103 3 \"01000\"", "set 103 4 \"0\"",
             "text 103 6: \"[unixODBC][Driver Manager]Can't open lib "
             "'{dir}/none.so' : file not found\"",
             "close 103 \"Velora ODBC Error Message\"", kTaskClose},
            {},
            {"refused.WOR"}},
        SessionCase{"BadStatementNotCorrected",
                    {"/c", "x", "{dir}/bad.idb"},
                    "close\nanswer No\nanswer OK\nmenu 1006\n",
                    {kTaskOpen, "open 103 \"Velora ODBC Error Message\"", "set 103 3 \"S1000\"",
                     "set 103 4 \"1\"", "text 103 6: \"[SQLite]no such table: nowhere (1)\"",
                     "close 103 \"Velora ODBC Error Message\"",
                     "ask \"Do you want to edit the SQL statement to correct this "
                     "error?\" \"No\" \"Yes\"",
                     "error \"Error reading ODBC Data!\"", kTaskClose},
                    {},
                    {"bad.WOR"}},
        SessionCase{"DirectorySwitchMovesTheStart",
                    {"/d={dir}/sub", "x", "weekly.idb"},
                    "answer OK\nfile cancel\nmenu 1006\n",
                    {kTaskOpen, "note \"Retrieved 1 columns by 3 rows of data from ODBC Query\"",
                     "file open \"Velora Save ODBC data in Worksheet\" \"{dir}/sub\" "
                     "\"WOR\" \"weekly.WOR\"",
                     kTaskClose},
                    {},
                    {"sub/weekly.WOR"}},
        SessionCase{
            "HelpTopicsAndAboutBox",
            {},
            "connect cancel\nmenu 1008\nmenu 1009\nmenu 32457\nmenu 1004\n"
            "window 107\nclick ok\nmenu 1006\n",
            {kTaskOpen, kDataSourceOpen, kDrivers, kDataSourceClose, "help 4401", "help 0",
             "help 0", "open 107 \"About Velora ODBC Query\"", "set 107 3 \"vodbc developers\"",
             "set 107 4 \"Version 0.1.0\"", "set 107 5 \"Made for Velora users on Linux\"",
             "close 107 \"About Velora ODBC Query\"", kTaskClose},
            {},
            {}},
        // Without a help folder beside its own folder the program asks for
        // the help file, refuses what is not one, and keeps what the user
        // found.
        SessionCase{
            "SearchesForAMissingHelpFile",
            {},
            "connect cancel\nmenu 32457\nfile cancel\nmenu 32462\nfile bin\n"
            "answer OK\nfile notes.txt\nanswer OK\nfile {help}\nmenu 32457\nmenu 1006\n",
            {kTaskOpen, kDataSourceOpen, kDrivers, kDataSourceClose,
             kHelpDialog + "\"vodbc\"",  // cancelled: help stays closed
             kHelpDialog + "\"vodbc\"", "error \"Invalid help file, please choose another.\"",
             kHelpDialog + "\"bin\"", "note \"Invalid help file, please choose another.\"",
             kHelpDialog + "\"notes.txt\"", "help 0",
             "help 0",  // found once, not asked again
             kTaskClose},
            {},
            {},
            true}),
    [](const ::testing::TestParamInfo<SessionCase>& info) { return std::string(info.param.name); });

// With no display and no script nobody could answer a window: one line
// says so and the program ends at once with status 2.
TEST(ProgramCommandLine, NoDisplayAndNoScriptEndsWithOneLine) {
  testing::ProgramRun run;
  run.program = kProgram;
  run.environment = {{"VODBC_TOOLKIT", ""},   {"VODBC_SCRIPT", ""},    {"VODBC_TRANSCRIPT", ""},
                     {"QT_QPA_PLATFORM", ""}, {"WAYLAND_DISPLAY", ""}, {"DISPLAY", ":97"}};
  const testing::ProgramResult r = testing::runProgram(run);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "vodbc: no display (cannot connect to the X server of DISPLAY=:97); vodbc-batch "
            "reruns retrieval files without one\n");
}

}  // namespace
}  // namespace vodbc
