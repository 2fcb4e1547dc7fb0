#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vodbc {
namespace {

struct ParseCase {
  const char* name;
  std::string line;
  std::string directory;
  bool close;
  std::string retrievalFile;
  std::string tail;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << c.name; }

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, SwitchesAndArguments) {
  const ParseCase& c = GetParam();
  CommandLine cl = parseCommandLine(c.line);
  EXPECT_EQ(cl.startDirectory, c.directory);
  EXPECT_EQ(cl.closeAfterRun, c.close);
  EXPECT_EQ(cl.startRetrievalFile, c.retrievalFile);
  EXPECT_EQ(cl.tail, c.tail);
}

const std::string k300(300, 'p');

INSTANTIATE_TEST_SUITE_P(
    CommandLine, ParseTest,
    ::testing::Values(
        ParseCase{"NoArguments", "vodbc", "", false, "", "vodbc"},
        ParseCase{"OnlyTheDiscardedFirstArgument", "vodbc x", "", false, "",
                  "vodbc x"},
        ParseCase{"FirstArgumentThenRetrievalFile", "vodbc x /data/q.idb", "",
                  false, "/data/q.idb", "vodbc x /data/q.idb"},
        ParseCase{"AllSwitchesBeforeArguments",
                  "vodbc /w=10,20,300,120 /c x /data/q.idb", "", true,
                  "/data/q.idb", "vodbc   x /data/q.idb"},
        ParseCase{"SwitchesAfterArguments", "vodbc x /data/q.idb /c /d=/tmp",
                  "/tmp", true, "/data/q.idb", "vodbc x /data/q.idb  "},
        ParseCase{"SwitchesBetweenArguments", "vodbc x /c /data/q.idb", "",
                  true, "/data/q.idb", "vodbc x  /data/q.idb"},
        ParseCase{"PathStartingWithCIsNotTheSwitch", "vodbc x /code/q.idb", "",
                  false, "/code/q.idb", "vodbc x /code/q.idb"},
        ParseCase{"SwitchInsideAWordIsNotASwitch", "vodbc x a/c/d=1", "", false,
                  "a/c/d=1", "vodbc x a/c/d=1"},
        ParseCase{"OnlyTheFirstCloseSwitchIsCut", "vodbc /c /c", "", true, "",
                  "vodbc  /c"},
        ParseCase{"DirectoryFollowedByABlank", "vodbc /d= x q.idb", "", false,
                  "q.idb", "vodbc  x q.idb"},
        ParseCase{"EmptyQuotedDirectory", "vodbc /d=\"\" x q.idb", "", false,
                  "q.idb", "vodbc  x q.idb"},
        ParseCase{"QuotedDirectoryWithABlank",
                  "vodbc /d=\"/my data\" x q.idb", "/my data", false, "q.idb",
                  "vodbc  x q.idb"},
        ParseCase{"QuotedDirectoryWithoutClosingQuote", "vodbc /d=\"/my data",
                  "/my data", false, "", "vodbc "},
        ParseCase{"OverLongDirectoryIsCut", "vodbc /d=" + k300, k300.substr(0, 256),
                  false, "", "vodbc "},
        ParseCase{"OverLongRetrievalFileIsCut", "vodbc x " + k300, "", false,
                  k300.substr(0, 256), "vodbc x " + k300},
        ParseCase{"CutNeverSplitsACharacter",
                  "vodbc x " + std::string(255, 'a') + "\xC3\xA9\xC3\xA9", "",
                  false, std::string(255, 'a') + "\xC3\xA9",
                  "vodbc x " + std::string(255, 'a') + "\xC3\xA9\xC3\xA9"},
        ParseCase{"UnknownSwitchIsAnArgument", "vodbc /q x q.idb", "", false,
                  "x", "vodbc /q x q.idb"},
        ParseCase{"QuotedFirstArgument", "vodbc \"a b\" q.idb", "", false,
                  "q.idb", "vodbc \"a b\" q.idb"},
        ParseCase{"QuotedRetrievalFileBehindUnquotedFirst",
                  "vodbc x \"/my data/q.idb\"", "", false, "/my data/q.idb",
                  "vodbc x \"/my data/q.idb\""},
        ParseCase{"QuotedSecondOnlyRightBehindTheTerminator",
                  "vodbc \"a b\" \"/my data/q.idb\"", "", false, "\"/my",
                  "vodbc \"a b\" \"/my data/q.idb\""},
        ParseCase{"QuotedSecondDirectlyBehindQuotedFirst",
                  "vodbc \"a b\"\"/my data/q.idb\"", "", false,
                  "/my data/q.idb", "vodbc \"a b\"\"/my data/q.idb\""},
        ParseCase{"QuotedSecondWithoutClosingQuote", "vodbc x \"/my data",
                  "", false, "/my data", "vodbc x \"/my data"},
        ParseCase{"QuotedFirstWithoutClosingQuote", "vodbc \"a b q.idb", "",
                  false, "", "vodbc \"a b q.idb"},
        ParseCase{"QuotedProgramPath", "\"/opt/v b/vodbc\" x q.idb", "", false,
                  "q.idb", "\"/opt/v b/vodbc\" x q.idb"}),
    [](const ::testing::TestParamInfo<ParseCase>& info) {
      return std::string(info.param.name);
    });

struct PlacementCase {
  const char* name;
  std::string line;
  int screenWidth, screenHeight;
  TaskWindowPlacement expected;
};

void PrintTo(const PlacementCase& c, std::ostream* os) { *os << c.name; }

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, TaskWindow) {
  const PlacementCase& c = GetParam();
  TaskWindowPlacement p =
      placeTaskWindow(parseCommandLine(c.line), c.screenWidth, c.screenHeight);
  EXPECT_EQ(p.top, c.expected.top);
  EXPECT_EQ(p.left, c.expected.left);
  EXPECT_EQ(p.width, c.expected.width);
  EXPECT_EQ(p.height, c.expected.height);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, PlacementTest,
    ::testing::Values(
        PlacementCase{"DefaultIsOneFifthOfFreeSpace", "vodbc", 1024, 768,
                      {133, 154, 250, 100}},
        PlacementCase{"AllFourValues", "vodbc /w=10,20,300,120 x", 1024, 768,
                      {10, 20, 300, 120}},
        PlacementCase{"TwoValues", "vodbc /w=5,6", 1024, 768, {5, 6, 250, 100}},
        PlacementCase{"OneValueLeftFromDefault", "vodbc /w=5", 1024, 768,
                      {5, 154, 250, 100}},
        PlacementCase{"NoValues", "vodbc /w=", 1024, 768, {133, 154, 250, 100}},
        PlacementCase{"EmptyValueReadsAsZero", "vodbc /w=,7", 1024, 768,
                      {0, 7, 250, 100}},
        PlacementCase{"AnySeparatorAndSigns", "vodbc /w=-5;+6x30/40", 1024, 768,
                      {-5, 6, 30, 40}},
        PlacementCase{"OverLongValueSaturates", "vodbc /w=99999999999,1", 1024,
                      768, {32767, 1, 250, 100}}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) {
      return std::string(info.param.name);
    });

TEST(CommandLine, WindowSwitchIsCutWithoutItsBlank) {
  EXPECT_EQ(parseCommandLine("vodbc /w=1,2 x q.idb").tail, "vodbc  x q.idb");
}

TEST(CommandLine, RebuildQuotesEmptyArgumentsAndArgumentsWithBlanks) {
  const char* argv[] = {"/usr/bin/vodbc", "/c", "", "a b", "/data/q.idb"};
  EXPECT_EQ(rebuildCommandLine(5, argv), "vodbc /c \"\" \"a b\" /data/q.idb");
  const char* alone[] = {"./vodbc"};
  EXPECT_EQ(rebuildCommandLine(1, alone), "vodbc");
}

}  // namespace
}  // namespace vodbc
