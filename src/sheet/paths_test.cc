#include "sheet/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sheet/sheet.h"
#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

TEST(Paths, SplitPath) {
  setDefaultDirectory("/start/dir");
  struct Case {
    std::string path;
    bool split;
    std::string directory;
    std::string name;
  };
  const std::string longName(300, 'n');
  const std::string longFolder(300, 'f');
  const Case cases[] = {
      {"/data/q.idb", true, "/data", "q.idb"},
      {"/q.idb", true, "/", "q.idb"},
      {"q.idb", true, "/start/dir", "q.idb"},
      {"sub/q.idb", true, "sub", "q.idb"},
      {"/a/b/c.WOR", true, "/a/b", "c.WOR"},
      {"data/", true, "data", ""},
      {"/", true, "/", ""},
      {"back\\slash.idb", true, "/start/dir", "back\\slash.idb"},
      {longName, true, "/start/dir", std::string(255, 'n')},
      // Only the first 256 characters are split.
      {"/x/" + longName, true, "/x", std::string(253, 'n')},
      {longFolder + "/name", true, std::string(256, 'f'), ""},
  };
  for (const Case& c : cases) {
    std::string directory = "old";
    std::string name = "old";
    EXPECT_EQ(splitPath(c.path, directory, name), c.split) << c.path;
    EXPECT_EQ(directory, c.directory) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
  }
  std::string directory;
  std::string name = "old";
  EXPECT_FALSE(splitPath("", directory, name));
  EXPECT_EQ(name, "");
  setDefaultDirectory("");
}

TEST(Paths, JoinPath) {
  struct Case {
    std::string directory;
    std::string name;
    bool joined;
    std::string path;
  };
  const Case cases[] = {
      {"/data", "q.idb", true, "/data/q.idb"},
      {"/data/", "q.idb", true, "/data/q.idb"},
      {"/", "q.idb", true, "/q.idb"},
      {"rel", "", true, "rel/"},
      {"", "q.idb", false, ""},
      {std::string(256, 'd'), "n", true, std::string(256, 'd') + "/n"},
      {std::string(257, 'd'), "n", false, ""},
  };
  for (const Case& c : cases) {
    std::string path = "old";
    EXPECT_EQ(joinPath(c.directory, c.name, path), c.joined) << c.directory;
    EXPECT_EQ(path, c.path) << c.directory;
  }
}

class FileExistsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vodbc_paths_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::FILE* file = std::fopen((folder_ + "/present.WOR").c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    ASSERT_EQ(mkdir((folder_ + "/folder").c_str(), 0700), 0);
  }
  void TearDown() override {
    setDefaultDirectory("");
    std::remove((folder_ + "/present.WOR").c_str());
    rmdir((folder_ + "/folder").c_str());
    rmdir(folder_.c_str());
  }
  std::string folder_;
};

TEST_F(FileExistsTest, FilesButNotFolders) {
  EXPECT_TRUE(fileExists(folder_ + "/present.WOR"));
  EXPECT_FALSE(fileExists(folder_ + "/PRESENT.WOR"));
  EXPECT_FALSE(fileExists(folder_ + "/absent.WOR"));
  EXPECT_FALSE(fileExists(folder_ + "/folder"));
  EXPECT_FALSE(fileExists(folder_ + "/"));
  EXPECT_FALSE(fileExists(""));
  EXPECT_FALSE(fileExists("/no/such/folder/present.WOR"));
  // A bare name lives in the default directory.
  EXPECT_FALSE(fileExists("present.WOR"));
  setDefaultDirectory(folder_);
  EXPECT_TRUE(fileExists("present.WOR"));
}

TEST(Paths, SetSheetPath) {
  testing::TestSheet sheet;
  setSheetPath(*sheet.get(), "/data/out.WOR");
  EXPECT_STREQ(sheet->fileName, "out.WOR");
  EXPECT_STREQ(sheet->directory, "/data");

  setSheetPath(*sheet.get(), "/out.WOR");
  EXPECT_STREQ(sheet->fileName, "out.WOR");
  EXPECT_STREQ(sheet->directory, "/");

  setSheetPath(*sheet.get(), "D:\\data/out.WOR");
  EXPECT_STREQ(sheet->fileName, "out.WOR");
  EXPECT_STREQ(sheet->directory, "D:\\data");

  setSheetPath(*sheet.get(), "/" + std::string(300, 'f') + "/" + std::string(300, 'n'));
  EXPECT_EQ(std::string(sheet->directory), "/" + std::string(254, 'f'));
  EXPECT_EQ(std::string(sheet->fileName), std::string(256, 'n'));

  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  setSheetPath(*sheet.get(), "bare.WOR");
  EXPECT_STREQ(sheet->fileName, "bare.WOR");
  EXPECT_STREQ(sheet->directory, cwd);
  std::strcpy(sheet->directory, "");
  EXPECT_TRUE(setSheetDirectory(*sheet.get(), true));
  EXPECT_STREQ(sheet->directory, cwd);
}

}  // namespace
}  // namespace vodbc
