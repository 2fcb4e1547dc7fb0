// AtomicOutputFile against the file system: whatever ends the process, no
// name is left behind; new files are never replaced by a parallel writer;
// a replacement keeps what the old file was.
#include "worksheet_file/output_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/temp_folder.h"

namespace vodbc {
namespace {

// Runs `body` in a child process and gives the signal that ended it (0
// when it exited).
int signalEndingChild(const std::function<void()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST(AtomicOutputFile, NoDeathDuringTheWriteLeavesANameBehind) {
  const std::string twelveMegabytes(12 << 20, 'w');
  const struct {
    const char* name;
    bool targetExists;
    int signal;
    std::function<void()> death;
  } cases[] = {
      {"kill -9 writing a new file", false, SIGKILL, [] { ::raise(SIGKILL); }},
      {"kill -9 replacing a file", true, SIGKILL, [] { ::raise(SIGKILL); }},
      // The size limit ends the writer with SIGXFSZ in the middle of a write.
      {"file size limit", true, SIGXFSZ, [] {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder folder("vodbc-atomic");
    const std::string target = folder.file("victim.WOR");
    if (c.targetExists) testing::writeWholeFile(target, "old");
    const int signal = signalEndingChild([&] {
      if (c.signal == SIGXFSZ) {
        const rlimit limit{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
      }
      AtomicOutputFile file;
      if (!file.open(target)) ::_exit(1);
      file.write(twelveMegabytes.data(), twelveMegabytes.size());
      c.death();
      ::_exit(2);
    });
    EXPECT_EQ(signal, c.signal);
    EXPECT_EQ(testing::folderEntries(folder.path()),
              c.targetExists ? std::vector<std::string>{"victim.WOR"} : std::vector<std::string>{});
    if (c.targetExists) {
      EXPECT_EQ(testing::readWholeFile(target), "old");
    }
  }
}

TEST(AtomicOutputFile, WritersOfOneNewFileNeverReplaceEachOther) {
  testing::TempFolder folder("vodbc-atomic");
  const std::string target = folder.file("new.WOR");
  // Every writer finds no file at open(); only the first to finish may
  // create it.
  std::vector<std::unique_ptr<AtomicOutputFile>> writers;
  for (int i = 0; i < 20; ++i) {
    writers.push_back(std::make_unique<AtomicOutputFile>());
    ASSERT_TRUE(writers.back()->open(target));
    const std::string content = "writer " + std::to_string(i);
    ASSERT_TRUE(writers.back()->write(content.data(), content.size()));
  }
  std::vector<std::size_t> finished;
  for (std::size_t i = 0; i < writers.size(); ++i) {
    if (writers[i]->close()) {
      finished.push_back(i);
    } else {
      EXPECT_EQ(writers[i]->failureError(), EEXIST);
    }
  }
  ASSERT_EQ(finished, std::vector<std::size_t>{0});
  EXPECT_EQ(testing::readWholeFile(target), "writer 0");
  EXPECT_EQ(testing::folderEntries(folder.path()), std::vector<std::string>{"new.WOR"});
}

TEST(AtomicOutputFile, AReplacementKeepsModeOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  testing::TempFolder folder("vodbc-atomic");
  const std::string target = folder.file("theirs.WOR");
  testing::writeWholeFile(target, "old");
  ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  AtomicOutputFile file;
  ASSERT_TRUE(file.open(target));
  ASSERT_TRUE(file.write("new", 3));
  ASSERT_TRUE(file.close());
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4321u);
  EXPECT_EQ(info.st_gid, 4322u);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(testing::readWholeFile(target), "new");
  EXPECT_EQ(testing::folderEntries(folder.path()), std::vector<std::string>{"theirs.WOR"});
}

}  // namespace
}  // namespace vodbc
