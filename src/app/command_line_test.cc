// The command line, the names given to worksheets and paths, and where the
// help files are found.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/help.h"
#include "app/output_names.h"

namespace vodbc {
namespace {

// The line as the program gets it, and what the parser makes of it: the
// start folder, the close switch, the retrieval file and the tail left for
// the arguments.
TEST(CommandLine, SwitchesAndArguments) {
  const std::string k300(300, 'p');
  const std::string a255(255, 'a');
  const struct {
    std::string line, directory;
    bool close;
    std::string retrievalFile, tail;
  } cases[] = {
      {"vodbc", "", false, "", "vodbc"},
      {"vodbc x", "", false, "", "vodbc x"},
      {"vodbc x /data/q.idb", "", false, "/data/q.idb", "vodbc x /data/q.idb"},
      {"vodbc /w=10,20,300,120 /c x /data/q.idb", "", true, "/data/q.idb", "vodbc   x /data/q.idb"},
      {"vodbc x /data/q.idb /c /d=/tmp", "/tmp", true, "/data/q.idb", "vodbc x /data/q.idb  "},
      {"vodbc x /c /data/q.idb", "", true, "/data/q.idb", "vodbc x  /data/q.idb"},
      {"vodbc x /code/q.idb", "", false, "/code/q.idb", "vodbc x /code/q.idb"},
      {"vodbc x a/c/d=1", "", false, "a/c/d=1", "vodbc x a/c/d=1"},
      {"vodbc /c /c", "", true, "", "vodbc  /c"},
      {"vodbc /w=1,2 x q.idb", "", false, "q.idb", "vodbc  x q.idb"},
      {"vodbc /d= x q.idb", "", false, "q.idb", "vodbc  x q.idb"},
      {"vodbc /d=\"\" x q.idb", "", false, "q.idb", "vodbc  x q.idb"},
      {"vodbc /d=\"/my data\" x q.idb", "/my data", false, "q.idb", "vodbc  x q.idb"},
      {"vodbc /d=\"/my data", "/my data", false, "", "vodbc "},
      {"vodbc /d=" + k300, k300.substr(0, 256), false, "", "vodbc "},
      {"vodbc x " + k300, "", false, k300.substr(0, 256), "vodbc x " + k300},
      {"vodbc x " + a255 + "\xC3\xA9\xC3\xA9", "", false, a255 + "\xC3\xA9",
       "vodbc x " + a255 + "\xC3\xA9\xC3\xA9"},
      {"vodbc /q x q.idb", "", false, "x", "vodbc /q x q.idb"},
      {"vodbc \"a b\" q.idb", "", false, "q.idb", "vodbc \"a b\" q.idb"},
      {"vodbc x \"/my data/q.idb\"", "", false, "/my data/q.idb", "vodbc x \"/my data/q.idb\""},
      {"vodbc \"a b\" \"/my data/q.idb\"", "", false, "\"/my", "vodbc \"a b\" \"/my data/q.idb\""},
      {"vodbc \"a b\"\"/my data/q.idb\"", "", false, "/my data/q.idb",
       "vodbc \"a b\"\"/my data/q.idb\""},
      {"vodbc x \"/my data", "", false, "/my data", "vodbc x \"/my data"},
      {"vodbc \"a b q.idb", "", false, "", "vodbc \"a b q.idb"},
      {"\"/opt/v b/vodbc\" x q.idb", "", false, "q.idb", "\"/opt/v b/vodbc\" x q.idb"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const CommandLine cl = parseCommandLine(c.line);
    EXPECT_EQ(cl.startDirectory, c.directory);
    EXPECT_EQ(cl.closeAfterRun, c.close);
    EXPECT_EQ(cl.startRetrievalFile, c.retrievalFile);
    EXPECT_EQ(cl.tail, c.tail);
  }
}

// On a 1024 x 768 screen.
TEST(CommandLine, TaskWindowPlacement) {
  const struct {
    std::string line;
    std::array<int, 4> expected;  // top, left, width, height
  } cases[] = {
      {"vodbc", {133, 154, 250, 100}},           {"vodbc /w=10,20,300,120 x", {10, 20, 300, 120}},
      {"vodbc /w=5,6", {5, 6, 250, 100}},        {"vodbc /w=5", {5, 154, 250, 100}},
      {"vodbc /w=", {133, 154, 250, 100}},       {"vodbc /w=,7", {0, 7, 250, 100}},
      {"vodbc /w=-5;+6x30/40", {-5, 6, 30, 40}}, {"vodbc /w=99999999999,1", {32767, 1, 250, 100}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const TaskWindowPlacement p = placeTaskWindow(parseCommandLine(c.line), 1024, 768);
    EXPECT_EQ((std::array{p.top, p.left, p.width, p.height}), c.expected);
  }
}

TEST(CommandLine, RebuildQuotesEmptyArgumentsAndArgumentsWithBlanks) {
  const char* argv[] = {"/usr/bin/vodbc", "/c", "", "a b", "/data/q.idb"};
  EXPECT_EQ(rebuildCommandLine(5, argv), "vodbc \"\"\"a b\" /data/q.idb /c");
  const char* alone[] = {"./vodbc"};
  EXPECT_EQ(rebuildCommandLine(1, alone), "vodbc");
}

// What a shell hands over, rebuilt and parsed: directories and retrieval
// files whose paths hold blanks arrive whole.
TEST(CommandLine, PathsWithBlanksFromAShellSurviveRebuildingAndParsing) {
  const struct {
    std::vector<const char*> argv;
    std::string directory, retrievalFile;
    bool close;
  } cases[] = {
      {{"vodbc", "/d=/tmp/sp ace", "x", "w.idb"}, "/tmp/sp ace", "w.idb", false},
      {{"vodbc", "/d=\"/tmp/sp ace\"", "x", "w.idb"}, "/tmp/sp ace", "w.idb", false},
      {{"vodbc", "/d=/tmp/plain", "/c", "x", "w.idb"}, "/tmp/plain", "w.idb", true},
      {{"vodbc", "x y", "/tmp/sp ace/q.idb"}, "", "/tmp/sp ace/q.idb", false},
      {{"vodbc", "x", "/tmp/sp ace/q.idb"}, "", "/tmp/sp ace/q.idb", false},
      {{"vodbc", "/d=/a b", "x y", "/c d/q.idb"}, "/a b", "/c d/q.idb", false},
      {{"vodbc", "/d=/a b", "/c", "x", "/c d/q.idb"}, "/a b", "/c d/q.idb", true},
      {{"vodbc", "/c", "x y", "/w=1,2", "/c d/q.idb"}, "", "/c d/q.idb", true},
  };
  for (const auto& c : cases) {
    const std::string line = rebuildCommandLine(static_cast<int>(c.argv.size()), c.argv.data());
    SCOPED_TRACE(line);
    const CommandLine cl = parseCommandLine(line);
    EXPECT_EQ(cl.startDirectory, c.directory);
    EXPECT_EQ(cl.startRetrievalFile, c.retrievalFile);
    EXPECT_EQ(cl.closeAfterRun, c.close);
  }
}

TEST(OutputNames, SheetAndWorksheetNames) {
  EXPECT_EQ(numberedSheetName(1), "Sheet1.WOR");
  EXPECT_EQ(numberedSheetName(12), "Sheet12.WOR");
  const std::pair<const char*, const char*> cases[] = {
      {"query.idb", "query.WOR"}, {"query", "query.WOR"}, {"sales.2002.idb", "sales.2002.WOR"},
      {".idb", ".WOR"},           {"q.", "q.WOR"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(worksheetNameFor(in), out) << in;
}

TEST(OutputNames, JoinRefusesPathsOverTheLimit) {
  std::string path = "unchanged";
  std::string folder = "/" + std::string(249, 'd');     // 250 characters
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
      {"/usr/bin/vodbc", "/usr/help/vodbc.html", "/usr/share/vodbc/help/vodbc.html"},
      {"/bin/vodbc", "/help/vodbc.html", "/share/vodbc/help/vodbc.html"},
      {"/vodbc", "/help/vodbc.html", "/share/vodbc/help/vodbc.html"},
      {"/b/bin/vodbc.debug", "/b/help/vodbc.html", "/b/share/vodbc/help/vodbc.html"},
      {"build/bin/vodbc", "build/help/vodbc.html", "build/share/vodbc/help/vodbc.html"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(helpFileCandidates(c.program), (std::vector<std::string>{c.first, c.second}))
        << c.program;
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
  for (int resource : {0, 101, 102, 104, 105, 110}) {
    int topic = helpTopicForResource(resource);
    std::string page = read(helpTopicFile(contents, topic));
    EXPECT_NE(page.find("id=\"topic" + std::to_string(topic) + "\""), std::string::npos) << topic;
    EXPECT_NE(index.find("href=\"" + std::to_string(topic) + ".html\""), std::string::npos)
        << topic;
  }
}

}  // namespace
}  // namespace vodbc
