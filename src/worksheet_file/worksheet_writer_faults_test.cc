// Failures: every write failing in turn, the close and the open failing,
// refused sheets, and the real file's promise that an existing worksheet is
// never harmed and no temporary file is left behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_test_support.h"
#include "worksheet_file/worksheet_writer.h"

namespace vodbc {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::RecordingMessages;
using testing::TestSheet;
using Entry = RecordingMessages::Entry;

constexpr const char* kMemoryPath = "/nonexistent-vodbc-folder/out.WOR";

void fillSmallSheet(TestSheet& sheet) {
  sheet.addTexts("City", {"Oslo", "Rome", "Oslo", ""});
  sheet.addNumbers("Amount", {1.5, -2, 1e-3, 4});
}

TEST(WorksheetFaults, EveryWriteFailingStopsWritingAtOnceWithoutAMessage) {
  Bytes complete;
  std::size_t writes = 0;
  {
    TestSheet sheet(4);
    fillSmallSheet(sheet);
    RecordingMessages messages;
    MemoryOutputFile file;
    ASSERT_EQ(writeWorksheetFile(sheet.get(), kMemoryPath, messages, file), 1);
    complete = file.bytes();
    writes = file.writeCount();
  }
  ASSERT_GT(writes, 100u) << "the fields and cells go out in many writes";
  for (std::size_t n = 1; n <= writes; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " of " + std::to_string(writes) + " fails");
    TestSheet sheet(4);
    fillSmallSheet(sheet);
    RecordingMessages messages;
    MemoryOutputFile file;
    file.failWrite(n);
    ASSERT_EQ(writeWorksheetFile(sheet.get(), kMemoryPath, messages, file), 0);
    EXPECT_TRUE(messages.log.empty());
    EXPECT_TRUE(file.closed());
    EXPECT_EQ(file.writeCount(), n);
    EXPECT_EQ(file.writesAfterFailure(), 0u);
    ASSERT_LT(file.bytes().size(), complete.size());
    EXPECT_TRUE(std::equal(file.bytes().begin(), file.bytes().end(), complete.begin()));
  }
}

TEST(WorksheetFaults, CloseFailingGivesZeroWithoutAMessage) {
  TestSheet sheet(4);
  fillSmallSheet(sheet);
  RecordingMessages messages;
  MemoryOutputFile file;
  file.failClose();
  EXPECT_EQ(writeWorksheetFile(sheet.get(), kMemoryPath, messages, file), 0);
  EXPECT_TRUE(messages.log.empty());
  EXPECT_TRUE(file.closed());
}

TEST(WorksheetFaults, OpenFailingIsReportedWithThePathCutTo100Characters) {
  const std::string longPath = "/nonexistent-vodbc-folder/" + std::string(120, 'p') + ".WOR";
  for (const std::string& path : {std::string(kMemoryPath), longPath}) {
    TestSheet sheet(4);
    fillSmallSheet(sheet);
    RecordingMessages messages;
    MemoryOutputFile file;
    file.failOpen();
    EXPECT_EQ(writeWorksheetFile(sheet.get(), path.c_str(), messages, file), 0);
    EXPECT_EQ(messages.log,
              (std::vector<Entry>{{"error", "Error: In Write VELORA File - could not open file " +
                                                path.substr(0, 100)}}));
    EXPECT_EQ(file.writeCount(), 0u);
  }
}

TEST(WorksheetFaults, SheetsWithNothingToWriteAreRefusedSilently) {
  struct Case {
    const char* what;
    int rows;
    bool addColumn;
    bool dropColumns;
  };
  const Case cases[] = {
      {"no rows", 0, true, false},
      {"no columns", 3, false, false},
      {"no column list", 3, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestSheet sheet(c.rows);
    if (c.addColumn) sheet.addNumbers("X", {1, 2, 3});
    SheetColumn* saved = sheet->firstColumn;
    if (c.dropColumns) sheet->firstColumn = nullptr;
    RecordingMessages messages;
    MemoryOutputFile file;
    EXPECT_EQ(writeWorksheetFile(sheet.get(), kMemoryPath, messages, file), 0);
    sheet->firstColumn = saved;
    EXPECT_TRUE(messages.log.empty());
    EXPECT_FALSE(file.opened());
  }
  RecordingMessages messages;
  MemoryOutputFile file;
  EXPECT_EQ(writeWorksheetFile(nullptr, kMemoryPath, messages, file), 0);
  EXPECT_FALSE(file.opened());
}

// A fresh folder per test, removed afterwards.
class RealFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vodbc-writer-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  std::vector<std::string> listing() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  static std::string contents(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  static void put(const std::string& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
  }

  static std::string question(const std::string& file) {
    return "Warning: Overwriting " + file.substr(0, 60) +
           " will lose the Velora Strings, Constants and SSP matrix!\n\n"
           "Are you sure you want to do this?|No|Overwrite";
  }

  fs::path folder_;
};

TEST_F(RealFileTest, NewFileIsWrittenWithTheUmasksMode) {
  TestSheet sheet(4);
  fillSmallSheet(sheet);
  RecordingMessages messages;
  const std::string target = path("new.WOR");
  const mode_t mask = ::umask(022);
  EXPECT_EQ(writeWorksheetFile(sheet.get(), target.c_str(), messages), 1);
  ::umask(mask);
  EXPECT_TRUE(messages.log.empty());
  EXPECT_EQ(listing(), std::vector<std::string>{"new.WOR"});
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  WorksheetImage image;
  WorksheetReadError error;
  EXPECT_TRUE(readWorksheetFile(target, &image, &error)) << error.describe();
}

TEST_F(RealFileTest, ExistingFileIsKeptUnlessTheAnswerIsOverwrite) {
  for (const char* answer : {"No", "Cancel"}) {
    SCOPED_TRACE(answer);
    TestSheet sheet(4);
    fillSmallSheet(sheet);
    // A long folder name shows the path cut to 60 characters in the question.
    const std::string target = path(std::string(70, 'd') + ".WOR");
    put(target, "old contents");
    RecordingMessages messages(answer);
    EXPECT_EQ(writeWorksheetFile(sheet.get(), target.c_str(), messages), 0);
    EXPECT_EQ(messages.log, (std::vector<Entry>{{"ask", question(target)}}));
    EXPECT_EQ(contents(target), "old contents");
    EXPECT_EQ(listing().size(), 1u);
  }
}

TEST_F(RealFileTest, OverwriteReplacesTheFileAndKeepsItsMode) {
  TestSheet sheet(4);
  fillSmallSheet(sheet);
  const std::string target = path("old.WOR");
  put(target, "old contents");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  RecordingMessages messages("Overwrite");
  EXPECT_EQ(writeWorksheetFile(sheet.get(), target.c_str(), messages), 1);
  EXPECT_EQ(messages.log, (std::vector<Entry>{{"ask", question(target)}}));
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(contents(target).substr(0, 3), "\x40\x0D\xC1");
  EXPECT_EQ(listing(), std::vector<std::string>{"old.WOR"});
}

TEST_F(RealFileTest, ALinkIsFollowedAndStaysALink) {
  TestSheet sheet(4);
  fillSmallSheet(sheet);
  fs::create_directory(folder_ / "real");
  const std::string real = path("real/data.WOR");
  put(real, "old contents");
  const std::string link = path("link.WOR");
  fs::create_symlink(real, link);
  RecordingMessages messages("Overwrite");
  EXPECT_EQ(writeWorksheetFile(sheet.get(), link.c_str(), messages), 1);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(contents(real).substr(0, 3), "\x40\x0D\xC1");
  EXPECT_EQ(listing(), (std::vector<std::string>{"link.WOR", "real"}));
  EXPECT_EQ(fs::directory_iterator(folder_ / "real")->path().filename(), "data.WOR");
}

TEST_F(RealFileTest, WhatCannotBeCreatedGivesTheOpenMessage) {
  fs::create_directory(folder_ / "a-folder.WOR");
  for (const std::string& target : {path("missing/out.WOR"), path("a-folder.WOR")}) {
    SCOPED_TRACE(target);
    TestSheet sheet(4);
    fillSmallSheet(sheet);
    RecordingMessages messages;
    EXPECT_EQ(writeWorksheetFile(sheet.get(), target.c_str(), messages), 0);
    EXPECT_EQ(messages.log,
              (std::vector<Entry>{
                  {"error", "Error: In Write VELORA File - could not open file " + target}}));
  }
  EXPECT_EQ(listing(), std::vector<std::string>{"a-folder.WOR"});
}

TEST_F(RealFileTest, ATargetThatIsNotWritableGivesTheOpenMessage) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  TestSheet sheet(4);
  fillSmallSheet(sheet);
  const std::string target = path("locked.WOR");
  put(target, "old contents");
  ASSERT_EQ(::chmod(target.c_str(), 0444), 0);
  RecordingMessages messages("Overwrite");
  EXPECT_EQ(writeWorksheetFile(sheet.get(), target.c_str(), messages), 0);
  ASSERT_EQ(messages.log.size(), 2u);
  EXPECT_EQ(messages.log[1],
            (Entry{"error", "Error: In Write VELORA File - could not open file " + target}));
  EXPECT_EQ(contents(target), "old contents");
}

// A real write failure: the file size limit makes write() fail part-way
// through the columns, in a child process so the limit stays there.
TEST_F(RealFileTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  const std::string target = path("kept.WOR");
  put(target, "old contents");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    // Larger than the output buffer, so a write() of the columns fails.
    TestSheet sheet(30000);
    sheet.addNumbers("X", std::vector<double>(30000, 0.5));
    RecordingMessages messages("Overwrite");
    const auto result = writeWorksheetFile(sheet.get(), target.c_str(), messages);
    ::_exit(result == 0 && messages.log.size() == 1 ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write fails with no message but the question";
  EXPECT_EQ(contents(target), "old contents");
  EXPECT_EQ(listing(), std::vector<std::string>{"kept.WOR"});
}

// Running out of memory ends the process, but only before the temporary
// file exists: the writer's buffers come first.
TEST_F(RealFileTest, RunningOutOfMemoryEndsTheProcessBeforeAnyFileIsMade) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  const std::string target = path("kept.WOR");
  put(target, "old contents");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TestSheet sheet(4);
    fillSmallSheet(sheet);
    RecordingMessages messages("Overwrite");
    // Address space for what the process has now and little more.
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t now = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
    const struct rlimit limit = {now + 256 * 1024, now + 256 * 1024};
    ::setrlimit(RLIMIT_AS, &limit);
    writeWorksheetFile(sheet.get(), target.c_str(), messages);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 8) << "Error: Not enough memory to read data!";
  EXPECT_EQ(contents(target), "old contents");
  EXPECT_EQ(listing(), std::vector<std::string>{"kept.WOR"});
}

TEST(ConsoleWriterMessages, PrintsEachKindAndAnswersFromItsSetting) {
  struct Case {
    std::string answer;
    WriterMessages::Button pressed;
    std::string printed;
  };
  const Case cases[] = {
      {"Overwrite", WriterMessages::Button::kSecond, "question: Replace? [No/Overwrite] -> Overwrite\n"},
      {"", WriterMessages::Button::kFirst, "question: Replace? [No/Overwrite] -> No\n"},
      {"Maybe", WriterMessages::Button::kFirst, "question: Replace? [No/Overwrite] -> No\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    ConsoleWriterMessages messages(c.answer, out);
    EXPECT_EQ(messages.ask("Replace?", "No", "Overwrite"), c.pressed);
    EXPECT_EQ(out.str(), c.printed);
  }
  std::ostringstream out;
  ConsoleWriterMessages messages("", out);
  messages.error("Error: one");
  messages.warning("Error: two\n");
  messages.note("three");
  EXPECT_EQ(out.str(), "error: Error: one\nwarning: Error: two\nnote: three\n");
}

}  // namespace
}  // namespace vodbc
