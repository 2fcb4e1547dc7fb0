#include "app/output_names.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/help.h"

namespace vodbc {
namespace {

TEST(OutputNames, NumberedSheetNames) {
  EXPECT_EQ(numberedSheetName(1), "Sheet1.WOR");
  EXPECT_EQ(numberedSheetName(12), "Sheet12.WOR");
}

TEST(OutputNames, WorksheetNameForRetrievalFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"query.idb", "query.WOR"},
      {"query", "query.WOR"},
      {"sales.2002.idb", "sales.2002.WOR"},
      {".idb", ".WOR"},
      {"q.", "q.WOR"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(worksheetNameFor(in), out) << in;
}

TEST(OutputNames, JoinRefusesPathsOverTheLimit) {
  std::string path = "unchanged";
  std::string folder = "/" + std::string(249, 'd');  // 250 characters
  EXPECT_TRUE(joinLimitedPath(folder, "a.WOR", path));  // 256 characters
  EXPECT_EQ(path.size(), 256u);
  EXPECT_FALSE(joinLimitedPath(folder, "ab.WOR", path));
  EXPECT_EQ(path, "");
  // Characters are counted, not bytes.
  std::string wide = "/";
  for (int i = 0; i < 100; ++i) wide += "\xC3\xA9";
  EXPECT_TRUE(joinLimitedPath(wide, std::string(60, 'x'), path));
  EXPECT_EQ(path.size(), 262u);
  EXPECT_TRUE(joinLimitedPath("/", "q.WOR", path));
  EXPECT_EQ(path, "/q.WOR");
}

TEST(HelpFiles, FoundBesideTheProgramsFolderThenInShare) {
  struct Case {
    const char* program;
    const char* first;
    const char* second;
  } cases[] = {
      {"/opt/vodbc/bin/vodbc", "/opt/vodbc/help/vodbc.html",
       "/opt/vodbc/share/vodbc/help/vodbc.html"},
      {"/usr/bin/vodbc", "/usr/help/vodbc.html",
       "/usr/share/vodbc/help/vodbc.html"},
      {"/bin/vodbc", "/help/vodbc.html", "/share/vodbc/help/vodbc.html"},
      {"/vodbc", "/help/vodbc.html", "/share/vodbc/help/vodbc.html"},
      {"/b/bin/vodbc.debug", "/b/help/vodbc.html",
       "/b/share/vodbc/help/vodbc.html"},
      {"build/bin/vodbc", "build/help/vodbc.html",
       "build/share/vodbc/help/vodbc.html"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> found = helpFileCandidates(c.program);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0], c.first) << c.program;
    EXPECT_EQ(found[1], c.second) << c.program;
  }
  EXPECT_EQ(helpTopicFile("/opt/help/vodbc.html", 4403), "/opt/help/4403.html");
}

// Every topic the program opens has its page, anchored for the help
// window, and the contents page links it.
TEST(HelpFiles, EveryTopicTheProgramOpensIsInstalled) {
  auto read = [](const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  std::string contents = std::string(VODBC_SOURCE_DIR) + "/help/vodbc.html";
  std::string index = read(contents);
  for (int resource : {0, 101, 102, 104, 105}) {
    int topic = helpTopicForResource(resource);
    std::string page = read(helpTopicFile(contents, topic));
    EXPECT_NE(page.find("id=\"topic" + std::to_string(topic) + "\""),
              std::string::npos) << topic;
    EXPECT_NE(index.find("href=\"" + std::to_string(topic) + ".html\""),
              std::string::npos) << topic;
  }
}

}  // namespace
}  // namespace vodbc
