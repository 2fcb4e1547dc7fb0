// Retrieval files: what is read from files as people and other programs
// write them, what is written, and the messages on the way.
#include "odbc/retrieval_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "files/temp_folder.h"
#include "odbc/retrieval_spec.h"
#include "odbc_doubles/recording_reporter.h"

namespace vodbc {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using testing::repeat;

class RetrievalFileTest : public ::testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& bytes) {
    std::string path = folder_.file(name);
    testing::writeWholeFile(path, bytes);
    return path;
  }
  static std::string slurp(const std::string& path) { return testing::readWholeFile(path); }

  // Reads a file as the run does: "connection|SQL text", "" when it does
  // not open.
  std::string read(const std::string& path) {
    std::string connection;
    auto file = openRetrievalFile(path, connection, reporter_);
    if (!file) return "";
    readRetrievalSql(*file, path, spec_, reporter_);
    EXPECT_FALSE(file->isOpen());
    return connection + "|" + spec_.sqlText;
  }

  testing::TempFolder folder_{"vodbc-idb"};
  std::string dir_ = folder_.str();
  RecordingReporter reporter_;
  RetrievalSpec spec_;
};

TEST_F(RetrievalFileTest, ReadsTheConnectionAndJoinsTheSqlLines) {
  // The SQL text as read, before the run trims trailing blanks.
  const struct {
    const char* name;
    std::string bytes, connection, sql;
  } cases[] = {
      {"ThreeLinesWithLf", "ODBC Data\nDSN=a\nSELECT a\nFROM t\nWHERE a > 1\n", "DSN=a",
       "SELECT a FROM t WHERE a > 1 "},
      {"CrLf", "ODBC Data\r\nDSN=a;UID=u\r\nSELECT a\r\nFROM t\r\n", "DSN=a;UID=u",
       "SELECT a FROM t "},
      {"NoFinalNewline", "ODBC Data\nDSN=a\nSELECT a\nFROM t", "DSN=a", "SELECT a FROM t"},
      {"LineEndingWithABlank", "ODBC Data\nDSN=a\nSELECT a \nFROM t\n", "DSN=a",
       "SELECT a FROM t "},
      {"EmptyLineInside", "ODBC Data\nDSN=a\nSELECT a\n\nFROM t\n", "DSN=a", "SELECT a FROM t "},
      {"AnyFirstLine", "something else\nDSN=b\nSELECT 1\n", "DSN=b", "SELECT 1 "},
      {"EndsAfterTheConnection", "ODBC Data\nDSN=a\n", "DSN=a", ""},
      {"EmptyFile", "", "", ""},
      {"Utf8KeptAsItIs", "ODBC Data\nDSN=Grüße\nSELECT 'é'\n", "DSN=Grüße", "SELECT 'é' "},
      // An over-long line is read in pieces of 1023 characters, as the
      // reader always has: the rest of line 1 becomes the connection.
      {"OverLongFirstLine", repeat("x", 1030) + "\nDSN=a\nSELECT 1\n", "xxxxxxx",
       "DSN=a SELECT 1 "},
      // A connection of exactly 1023 characters still fits, with either
      // line end or none.
      {"LongestConnection", "ODBC Data\n" + repeat("é", 1023) + "\r\nSELECT 1\n", repeat("é", 1023),
       "SELECT 1 "},
      {"LongestConnectionAtTheEnd", "ODBC Data\n" + repeat("c", 1023), repeat("c", 1023), ""},
      // Bytes that begin no character still bound the SQL text.
      {"SqlOfContinuationBytes", "ODBC Data\nDSN=a\n" + std::string(300000, '\x80'), "DSN=a",
       std::string(32768 * 4, '\x80')},
      // Characters are counted line by line as lines are joined: two-byte
      // characters with CR LF fill the text to exactly 32768 characters; the
      // cut falls between the last line's CR and LF.
      {"ManyShortCrLfLinesOfTwoByteCharacters", "ODBC Data\r\nDSN=a\r\n" + repeat("é\r\n", 20000),
       "DSN=a", repeat("é ", 16383) + "é\r"},
      {"ManyEmptyLinesBeforeTheSql", "ODBC Data\nDSN=a\n" + repeat("\r\n", 100000) + "SELECT 1\n",
       "DSN=a", "SELECT 1 "},
      // SQL beyond 32768 characters is ignored.
      {"SqlOf50000Bytes", "ODBC Data\nDSN=a\n" + repeat(repeat("a", 99) + "\n", 500), "DSN=a",
       repeat(repeat("a", 99) + " ", 500).substr(0, 32768)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reporter_ = RecordingReporter{};
    spec_ = RetrievalSpec{};
    EXPECT_EQ(read(write("q.idb", c.bytes)), c.connection + "|" + c.sql);
    EXPECT_TRUE(reporter_.lines.empty());
    EXPECT_EQ(spec_.sqlCapacity, 32768);
  }
}

TEST_F(RetrievalFileTest, AMissingFileIsReportedWithItsPathCut) {
  std::string path = dir_ + "/" + std::string(150, 'n') + ".idb";
  std::string connection = "untouched";
  EXPECT_FALSE(openRetrievalFile(path, connection, reporter_).has_value());
  EXPECT_EQ(connection, "untouched");
  // The path is cut at 100 characters.
  EXPECT_EQ(reporter_.lines,
            Lines{"error: Error: In Write ODBC Retrieval File - could not open file " +
                  path.substr(0, 100)});
  // Stray continuation bytes are no characters: the cut never counts them.
  EXPECT_EQ(retrievalOpenError(std::string(99, 'n') + "\x80\x80xyz"),
            "Error: In Write ODBC Retrieval File - could not open file " + std::string(99, 'n') +
                "\x80\x80x");
}

TEST_F(RetrievalFileTest, OnlyARegularFileWithAConnectionLineThatEndsIsOpened) {
  const std::string cannotOpen =
      "error: Error: In Write ODBC Retrieval File - could not open file ";
  const std::string tooLong = "\nThe connection string on line 2 is longer than 1023 characters.";
  std::string fifo = folder_.file("fifo.idb");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string path;
    std::string message;
  } cases[] = {
      // None of these may block or read without end.
      {"Folder", dir_, cannotOpen + dir_},
      {"FifoWithoutWriter", fifo, cannotOpen + fifo},
      {"Device", "/dev/zero", cannotOpen + "/dev/zero"},
      // The rest of a long connection would be sent as SQL, password and all.
      {"ConnectionOf1024Characters",
       write("long.idb",
             "ODBC Data\n" + repeat("é", 1000) + ";PWD=" + repeat("s", 19) + "\nSELECT 1\n"),
       cannotOpen + dir_ + "/long.idb" + tooLong},
      {"ConnectionWithoutEndOfContinuationBytes",
       write("bytes.idb", "ODBC Data\n" + std::string(10000, '\x80')),
       cannotOpen + dir_ + "/bytes.idb" + tooLong},
      {"FirstLineOfContinuationBytes",
       write("first.idb", std::string(100000, '\xBF') + "\nDSN=a\n"),
       cannotOpen + dir_ + "/first.idb" + tooLong},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reporter_ = RecordingReporter{};
    std::string connection = "untouched";
    EXPECT_FALSE(openRetrievalFile(c.path, connection, reporter_).has_value());
    EXPECT_EQ(connection, "untouched");
    EXPECT_EQ(reporter_.lines, Lines{c.message});
  }
}

TEST_F(RetrievalFileTest, WrittenFilesAreCrLfReadBackKeepTheirModeAndFailuresHarmNothing) {
  std::string path = dir_ + "/saved.idb";
  std::string sql = "SELECT a,\"Unit Price\"\nFROM t\nWHERE a > 'é'";
  ASSERT_TRUE(saveRetrievalFile(path, "DSN=x;PWD=secret", sql, reporter_));
  EXPECT_EQ(slurp(path),
            "ODBC Data\r\nDSN=x;PWD=secret\r\nSELECT a,\"Unit Price\"\r\nFROM t\r\n"
            "WHERE a > 'é'\r\n");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  EXPECT_EQ(read(path), "DSN=x;PWD=secret|SELECT a,\"Unit Price\" FROM t WHERE a > 'é' ");

  // Rewriting keeps the mode the file has.
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(saveRetrievalFile(path, "DSN=new", "SELECT 2", reporter_));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(slurp(path), "ODBC Data\r\nDSN=new\r\nSELECT 2\r\n");

  // A folder in the way cannot be replaced: the message, and nothing else.
  std::string folder = dir_ + "/taken.idb";
  fs::create_directory(folder);
  EXPECT_FALSE(saveRetrievalFile(folder, "DSN=new", "SELECT 3", reporter_));
  EXPECT_EQ(reporter_.lines,
            Lines{"error: Error: In Write ODBC Retrieval File - could not open file " + folder});
  EXPECT_FALSE(saveRetrievalFile(dir_ + "/no/such/folder/q.idb", "DSN", "S", reporter_));
  EXPECT_EQ(reporter_.lines.size(), 2u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(RetrievalFileTest, ASaveCutShortLeavesTheOldFileAndNoOtherName) {
  // The file size limit stops the save in the middle of its write: by the
  // signal, or (with the signal ignored) by a failing write.
  const struct {
    const char* name;
    bool targetExists;
    bool signalIgnored;
  } cases[] = {
      {"new file, killed", false, false},
      {"new file, write fails", false, true},
      {"replacement, killed", true, false},
      {"replacement, write fails", true, true},
  };
  const std::string longSql = "SELECT " + std::string(100'000, 'x');
  for (const auto& c : cases) {
    testing::TempFolder folder("vodbc-idb-cut");
    const std::string path = folder.file("q.idb");
    if (c.targetExists) testing::writeWholeFile(path, "old");
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::signal(SIGXFSZ, c.signalIgnored ? SIG_IGN : SIG_DFL);
      const rlimit limit{4096, 4096};
      ::setrlimit(RLIMIT_FSIZE, &limit);
      RecordingReporter quiet;
      ::_exit(saveRetrievalFile(path, "DSN=x", longSql, quiet) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    if (c.signalIgnored) {
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name;
    } else {
      EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << c.name;
    }
    EXPECT_EQ(testing::folderEntries(folder.path()), c.targetExists ? Lines{"q.idb"} : Lines{})
        << c.name;
    if (c.targetExists) {
      EXPECT_EQ(slurp(path), "old") << c.name;
    }
  }
}

TEST_F(RetrievalFileTest, TheSaveDialogRemembersWhereTheUserSaved) {
  retrievalSaveState() = RetrievalSaveState{};
  std::vector<std::string> offered;
  std::string chosen = dir_ + "/first.idb";
  RetrievalSaveHooks hooks;
  hooks.currentDirectory = [&] { return dir_; };
  hooks.askFileName = [&](std::string& directory, std::string& name, const std::string& prompt) {
    offered.push_back(directory + "|" + name + "|" + prompt);
    directory = dir_ + "/chosen";
    name = "first.idb";
    return std::optional<std::string>(chosen);
  };
  writeRetrievalFile("DSN=a", "SELECT 1", nullptr, reporter_, hooks);
  writeRetrievalFile("DSN=a", "SELECT 1", nullptr, reporter_, hooks);
  EXPECT_EQ(offered, (Lines{dir_ + "|*.idb|Save Velora ODBC Data Retrieval file:",
                            dir_ + "/chosen|first.idb|Save Velora ODBC Data Retrieval file:"}));
  EXPECT_TRUE(fs::exists(chosen));

  // After a rerun the rerun file's folder and its name before the first "."
  // are offered.
  offered.clear();
  std::string rerun = "/data/sales.2002.idb";
  hooks.recordSheetPath = [](const std::string&) {
    return std::optional<std::pair<std::string, std::string>>({"/data", "sales.2002.idb"});
  };
  hooks.askFileName = [&](std::string& directory, std::string& name, const std::string&) {
    offered.push_back(directory + "|" + name);
    return std::optional<std::string>();  // cancelled: nothing written, nothing said
  };
  writeRetrievalFile("DSN=a", "SELECT 1", &rerun, reporter_, hooks);
  EXPECT_EQ(offered, Lines{"/data|sales.idb"});
  EXPECT_TRUE(reporter_.lines.empty());
}

}  // namespace
}  // namespace vodbc
