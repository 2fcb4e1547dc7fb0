#include "sheet/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "sheet/sheet_test_support.h"

namespace vodbc {
namespace {

TEST(Paths, SplitPath) {
  setDefaultDirectory("/start/dir");
  struct Case {
    std::string path, directory, name;
  };
  const std::string longName(300, 'n');
  const Case cases[] = {
      {"/data/q.idb", "/data", "q.idb"}, {"/q.idb", "/", "q.idb"},
      {"q.idb", "/start/dir", "q.idb"},  {"sub/q.idb", "sub", "q.idb"},
      {"/a/b/c.WOR", "/a/b", "c.WOR"},   {"data/", "data", ""},  {"/", "/", ""},
      {"back\\slash.idb", "/start/dir", "back\\slash.idb"},
      {longName, "/start/dir", std::string(255, 'n')},
      // Only the first 256 characters are split.
      {"/x/" + longName, "/x", std::string(253, 'n')},
      {std::string(300, 'f') + "/name", std::string(256, 'f'), ""},
  };
  for (const Case& c : cases) {
    std::string directory = "old", name = "old";
    EXPECT_TRUE(splitPath(c.path, directory, name)) << c.path;
    EXPECT_EQ(directory + "|" + name, c.directory + "|" + c.name) << c.path;
  }
  std::string directory, name = "old";
  EXPECT_FALSE(splitPath("", directory, name));
  EXPECT_EQ(name, "");
  setDefaultDirectory("");
}

TEST(Paths, JoinPath) {
  struct Case {
    std::string directory, name;
    bool joined;
    std::string path;
  };
  const std::string d256(256, 'd');
  const Case cases[] = {
      {"/data", "q.idb", true, "/data/q.idb"}, {"/data/", "q.idb", true, "/data/q.idb"},
      {"/", "q.idb", true, "/q.idb"},          {"rel", "", true, "rel/"},
      {"", "q.idb", false, ""},                {d256, "n", true, d256 + "/n"},
      {d256 + "d", "n", false, ""},
  };
  for (const Case& c : cases) {
    std::string path = "old";
    EXPECT_EQ(joinPath(c.directory, c.name, path), c.joined) << c.directory;
    EXPECT_EQ(path, c.path) << c.directory;
  }
}

TEST(Paths, FileExistsForFilesButNotFolders) {
  char pattern[] = "/tmp/vodbc_paths_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = pattern;
  std::FILE* file = std::fopen((folder + "/present.WOR").c_str(), "w");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
  ASSERT_EQ(mkdir((folder + "/folder").c_str(), 0700), 0);

  EXPECT_TRUE(fileExists(folder + "/present.WOR"));
  for (const std::string& absent :
       {folder + "/PRESENT.WOR", folder + "/absent.WOR", folder + "/folder", folder + "/",
        std::string(), std::string("/no/such/folder/present.WOR")}) {
    EXPECT_FALSE(fileExists(absent)) << absent;
  }
  // A bare name lives in the default directory.
  EXPECT_FALSE(fileExists("present.WOR"));
  setDefaultDirectory(folder);
  EXPECT_TRUE(fileExists("present.WOR"));
  setDefaultDirectory("");
  std::remove((folder + "/present.WOR").c_str());
  rmdir((folder + "/folder").c_str());
  rmdir(folder.c_str());
}

TEST(Paths, SetSheetPath) {
  testing::TestSheet sheet;
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  const std::string f300(300, 'f');
  struct Case {
    std::string path, directory, name;
  };
  const Case cases[] = {
      {"/data/out.WOR", "/data", "out.WOR"},
      {"/out.WOR", "/", "out.WOR"},
      {"D:\\data/out.WOR", "D:\\data", "out.WOR"},
      {"/" + f300 + "/" + std::string(300, 'n'), "/" + f300.substr(0, 254), std::string(256, 'n')},
      {"bare.WOR", cwd, "bare.WOR"},
  };
  for (const Case& c : cases) {
    setSheetPath(*sheet.get(), c.path);
    EXPECT_EQ(std::string(sheet->directory) + "|" + sheet->fileName, c.directory + "|" + c.name);
  }
  sheet->directory[0] = '\0';
  EXPECT_TRUE(setSheetDirectory(*sheet.get(), true));
  EXPECT_STREQ(sheet->directory, cwd);
}

}  // namespace
}  // namespace vodbc
