// Failures: every write failing in turn, the close and the open failing,
// refused sheets, and the real file's promise that an existing worksheet is
// never harmed and no temporary file is left behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "files/temp_folder.h"
#include "process/fresh_process.h"
#include "sheets/test_sheet.h"
#include "worksheet_file/worksheet_reader.h"
#include "worksheet_file/worksheet_writer.h"
#include "worksheets/memory_write.h"

namespace vodbc {
namespace {

namespace fs = std::filesystem;
using namespace testing;  // NOLINT: the helpers are this file's vocabulary
using Entry = RecordingMessages::Entry;

// Four rows of a factor and a number column: many writes, few bytes.
struct SmallSheet : TestSheet {
  SmallSheet() : TestSheet(4) {
    addTexts("City", {"Oslo", "Rome", "Oslo", ""});
    addNumbers("Amount", {1.5, -2, 1e-3, 4});
  }
};

TEST(WorksheetFaults, EveryWriteFailingStopsWritingAtOnceWithoutAMessage) {
  SmallSheet whole;
  const WriteOutcome complete = writeToMemory(whole.get());
  const std::size_t writes = complete.writes;
  ASSERT_GT(writes, 100u) << "the fields and cells go out in many writes";
  for (std::size_t n = 1; n <= writes; ++n) {
    SCOPED_TRACE("write " + std::to_string(n) + " of " + std::to_string(writes) + " fails");
    SmallSheet sheet;
    RecordingMessages messages;
    MemoryOutputFile file;
    file.failWrite(n);
    ASSERT_EQ(writeWorksheetFile(sheet.get(), kMemoryPath, messages, file), 0);
    EXPECT_TRUE(messages.log.empty());
    EXPECT_TRUE(file.closed());
    EXPECT_EQ(file.writeCount(), n);
    EXPECT_EQ(file.writesAfterFailure(), 0u);
    ASSERT_LT(file.bytes().size(), complete.bytes.size());
    EXPECT_TRUE(std::equal(file.bytes().begin(), file.bytes().end(), complete.bytes.begin()));
  }
}

TEST(WorksheetFaults, CloseOrOpenFailingGivesZero) {
  const std::string longPath = "/nonexistent-vodbc-folder/" + std::string(120, 'p') + ".WOR";
  const std::string openError = "Error: In Write VELORA File - could not open file ";
  const struct {
    bool failOpen;
    std::string path;
    std::vector<Entry> messages;
  } cases[] = {
      {false, kMemoryPath, {}},  // the close fails, silently
      {true, kMemoryPath, {{"error", openError + kMemoryPath}}},
      {true, longPath, {{"error", openError + longPath.substr(0, 100)}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    SmallSheet sheet;
    RecordingMessages messages;
    MemoryOutputFile file;
    c.failOpen ? file.failOpen() : file.failClose();
    EXPECT_EQ(writeWorksheetFile(sheet.get(), c.path.c_str(), messages, file), 0);
    EXPECT_EQ(messages.log, c.messages);
    EXPECT_EQ(file.closed(), !c.failOpen);
    if (c.failOpen) {
      EXPECT_EQ(file.writeCount(), 0u);
    }
  }
}

TEST(WorksheetFaults, SheetsWithNothingToWriteAreRefusedSilently) {
  for (const int what : {0, 1, 2, 3}) {  // no rows, no columns, no column list, no sheet
    SCOPED_TRACE(what);
    TestSheet sheet(what == 0 ? 0 : 3);
    if (what != 1) sheet.addNumbers("X", {1, 2, 3});
    SheetColumn* saved = sheet->firstColumn;
    if (what == 2) sheet->firstColumn = nullptr;
    const WriteOutcome outcome = writeToMemory(what == 3 ? nullptr : sheet.get());
    sheet->firstColumn = saved;
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.messages, std::vector<Entry>{});
    EXPECT_FALSE(outcome.opened);
  }
}

// A fresh folder per test, removed afterwards.
class RealFileTest : public ::testing::Test {
 protected:
  std::string path(const std::string& name) const { return folder_.file(name); }
  std::vector<std::string> listing() const { return testing::folderEntries(folder_.path()); }

  // Writes the small sheet to `target`, answering the question with `answer`.
  static std::uint16_t save(const std::string& target, const char* answer,
                            std::vector<Entry>* log) {
    SmallSheet sheet;
    RecordingMessages messages(answer);
    const std::uint16_t result = writeWorksheetFile(sheet.get(), target.c_str(), messages);
    *log = messages.log;
    return result;
  }

  static mode_t mode(const std::string& file) {
    struct stat info {};
    EXPECT_EQ(::stat(file.c_str(), &info), 0);
    return info.st_mode & 07777;
  }

  static std::string question(const std::string& file) {
    return "Warning: Overwriting " + file.substr(0, 60) +
           " will lose the Velora Strings, Constants and SSP matrix!\n\n"
           "Are you sure you want to do this?|No|Overwrite";
  }

  TempFolder folder_{"vodbc-writer"};
};

TEST_F(RealFileTest, NewFileIsWrittenWithTheUmasksMode) {
  const std::string target = path("new.WOR");
  std::vector<Entry> log;
  const mode_t mask = ::umask(022);
  EXPECT_EQ(save(target, "No", &log), 1);
  ::umask(mask);
  EXPECT_EQ(log, std::vector<Entry>{});
  EXPECT_EQ(listing(), std::vector<std::string>{"new.WOR"});
  EXPECT_EQ(mode(target), 0644u);
  WorksheetImage image;
  WorksheetReadError error;
  EXPECT_TRUE(readWorksheetFile(target, &image, &error)) << error.describe();
}

TEST_F(RealFileTest, ExistingFileIsKeptUnlessTheAnswerIsOverwrite) {
  for (const char* answer : {"No", "Cancel"}) {
    SCOPED_TRACE(answer);
    // A long folder name shows the path cut to 60 characters in the question.
    const std::string target = path(std::string(70, 'd') + ".WOR");
    writeWholeFile(target, "old contents");
    std::vector<Entry> log;
    EXPECT_EQ(save(target, answer, &log), 0);
    EXPECT_EQ(log, (std::vector<Entry>{{"ask", question(target)}}));
    EXPECT_EQ(readWholeFile(target), "old contents");
    EXPECT_EQ(listing().size(), 1u);
  }
}

// Overwriting replaces the file in place, keeping its mode; a link is
// followed and stays a link.
TEST_F(RealFileTest, OverwriteReplacesTheFileAndKeepsItsModeAndLink) {
  fs::create_directory(folder_.path() / "real");
  const std::string real = path("real/data.WOR");
  writeWholeFile(real, "old contents");
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  fs::create_symlink(real, path("link.WOR"));
  for (const std::string& target : {real, path("link.WOR")}) {
    SCOPED_TRACE(target);
    std::vector<Entry> log;
    EXPECT_EQ(save(target, "Overwrite", &log), 1);
    EXPECT_EQ(log, (std::vector<Entry>{{"ask", question(target)}}));
    EXPECT_EQ(mode(real), 0640u);
    EXPECT_EQ(readWholeFile(real).substr(0, 3), "\x40\x0D\xC1");
    writeWholeFile(real, "old contents");
  }
  EXPECT_TRUE(fs::is_symlink(path("link.WOR")));
  EXPECT_EQ(listing(), (std::vector<std::string>{"link.WOR", "real"}));
  EXPECT_EQ(fs::directory_iterator(folder_.path() / "real")->path().filename(), "data.WOR");
}

TEST_F(RealFileTest, WhatCannotBeOpenedGivesTheOpenMessage) {
  fs::create_directory(folder_.path() / "a-folder.WOR");
  writeWholeFile(path("locked.WOR"), "old contents");
  ASSERT_EQ(::chmod(path("locked.WOR").c_str(), 0444), 0);
  const bool root = ::geteuid() == 0;  // root may write any file
  for (const std::string& target :
       {path("missing/out.WOR"), path("a-folder.WOR"), path("locked.WOR")}) {
    SCOPED_TRACE(target);
    if (root && target == path("locked.WOR")) continue;
    std::vector<Entry> log, expected;
    EXPECT_EQ(save(target, "Overwrite", &log), 0);
    if (target == path("locked.WOR")) expected.push_back({"ask", question(target)});
    expected.push_back({"error", "Error: In Write VELORA File - could not open file " + target});
    EXPECT_EQ(log, expected);
  }
  EXPECT_EQ(listing(), (std::vector<std::string>{"a-folder.WOR", "locked.WOR"}));
  EXPECT_EQ(readWholeFile(path("locked.WOR")), "old contents");
}

// Reruns the case in a process of its own, writing over an existing file,
// and gives its status; whatever ended that process, the old file is kept
// and no temporary is left.
int rerunOnAnExistingFile() {
  const TempFolder folder("vodbc-writer");
  const std::string target = folder.file("kept.WOR");
  writeWholeFile(target, "old contents");
  const int status = rerunInFreshProcess(target).status;
  EXPECT_EQ(readWholeFile(target), "old contents");
  EXPECT_EQ(testing::folderEntries(folder.path()), std::vector<std::string>{"kept.WOR"});
  return status;
}

// A real write failure: the file size limit makes write() fail part-way
// through the columns. The limit is set in a process of its own, so it
// never reaches another case.
TEST(RealFileLimits, AFailedWriteLeavesTheOldFileAndNoTemporary) {
  if (const auto target = freshProcessArgument()) {
    std::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {64 * 1024, 64 * 1024};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    // Larger than the output buffer, so a write() of the columns fails.
    TestSheet sheet(30000);
    sheet.addNumbers("X", std::vector<double>(30000, 0.5));
    RecordingMessages messages("Overwrite");
    const auto result = writeWorksheetFile(sheet.get(), target->c_str(), messages);
    std::_Exit(result == 0 && messages.log.size() == 1 ? 0 : 1);
  }
  EXPECT_EQ(rerunOnAnExistingFile(), 0) << "the write fails with no message but the question";
}

// Running out of memory ends the process, but only before the temporary
// file exists: the writer's buffers come first. The case runs in a new
// process, whose heap no earlier case has grown: memory freed back to the
// heap would otherwise serve the buffers under the limit.
TEST(RealFileLimits, RunningOutOfMemoryEndsTheProcessBeforeAnyFileIsMade) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  if (const auto target = freshProcessArgument()) {
    SmallSheet sheet;
    RecordingMessages messages("Overwrite");
    // Address space for what the process has now and little more.
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t now = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE);
    const struct rlimit limit = {now + 256 * 1024, now + 256 * 1024};
    ::setrlimit(RLIMIT_AS, &limit);
    writeWorksheetFile(sheet.get(), target->c_str(), messages);
    std::_Exit(0);
  }
  EXPECT_EQ(rerunOnAnExistingFile(), 8) << "Error: Not enough memory to read data!";
}

}  // namespace
}  // namespace vodbc
