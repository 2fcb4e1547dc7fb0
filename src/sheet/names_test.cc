#include "sheet/names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sheet/sheet.h"
#include "sheet/worksheet_settings.h"

namespace vodbc {
namespace {

std::string normalised(const std::string& text, std::int64_t max = 80) {
  char out[256];
  normaliseBlanks(out, text.c_str(), max);
  return out;
}

std::string sanitised(const std::string& name) {
  char buffer[kNameLength + 1] = {};
  std::strncpy(buffer, name.c_str(), kNameLength);
  sanitiseName(buffer);
  return buffer;
}

class NamesTest : public ::testing::Test {
 protected:
  void SetUp() override { initWorksheetDefaults(); }
  void TearDown() override { initWorksheetDefaults(); }
};

TEST_F(NamesTest, NormaliseBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},   {"   ", ""}, {" ", ""},  {"a", "a"}, {"  a  b   c  ", "a b c"},
      {"First  Name", "First Name"}, {"tab\tstays", "tab\tstays"}, {" x", "x"}};
  for (auto [in, out] : cases) EXPECT_EQ(normalised(in), out) << '"' << in << '"';
  // Only the first `max` characters are looked at.
  EXPECT_EQ(normalised("abc def", 5), "abc d");
  EXPECT_EQ(normalised("abc    def", 5), "abc");
  char text[] = "  in   place ";
  normaliseBlanks(text, text, 80);
  EXPECT_STREQ(text, "in place");
}

TEST_F(NamesTest, SanitiseName) {
  const std::string L40(40, 'L'), a31(31, 'a'), a30(30, 'a');
  const std::pair<std::string, std::string> cases[] = {
      {"Unit Price ($)", "Unit_Price_"}, {"First  Name", "First_Name"}, {"2001", "%2001"},
      {"_id", "%_id"},  {"[x]", "%[x]"},  {"]x", "%_x"},  {"a[b", "a[b]"},  {"a[]b", "ab"},
      {"a][b", "ab"},   {"a]b[c", "a[b]"}, {"Sales[2001]Q", "Sales[2001]"}, {"a]b", "a_b"},
      {"Amount", "Amount"}, {"amount", "amount"}, {"per%cent", "per%cent"},
      {"a\\b^c`d", "a_b_c_d"}, {"caf\xE9", "caf_"}, {"x__y", "x_y"}, {"  padded  ", "padded"},
      {L40, L40.substr(0, 32)}, {"9" + std::string(31, 'd'), "%9" + std::string(30, 'd')},
      {a31 + "[", a31 + "_"}, {a30 + "[", a30 + "[]"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(sanitised(in), out) << in;
  sanitiseName(nullptr);
}

TEST_F(NamesTest, UnusableNamesBecomeDefaultNamesCountedAcrossSheets) {
  EXPECT_EQ(sanitised("   "), "C1");
  EXPECT_EQ(sanitised(""), "C2");
  EXPECT_EQ(sanitised("----"), "C3");
  EXPECT_EQ(sanitised("()"), "C4");
  EXPECT_EQ(programSettings().nameCounter, 4);
  createSheet();
  EXPECT_EQ(sanitised(""), "C5");
  discardCurrentSheet();
  createSheet();
  EXPECT_EQ(sanitised(""), "C6");
  discardCurrentSheet();
}

TEST_F(NamesTest, DefaultNamePatterns) {
  char name[kNameLength + 1];
  defaultName(name, 7);
  EXPECT_STREQ(name, "C7");
  EXPECT_EQ(programSettings().nameCounter, 0);
  defaultName(name, 0);
  EXPECT_STREQ(name, "C1");
  defaultName(name, -3);
  EXPECT_STREQ(name, "C2");

  initWorksheetDefaults();
  SheetSettings& settings = programSettings();
  settings.options[kBracketNamesOption] = 1;
  std::strcpy(settings.namePrefix, "Column");
  defaultName(name, 0);
  EXPECT_STREQ(name, "Column[1]");
  std::strcpy(settings.namePrefix, "LongPrefix");  // 8 characters are used
  defaultName(name, 12);
  EXPECT_STREQ(name, "LongPref[12]");
  settings.options[kBracketNamesOption] = 0;
  defaultName(name, 12);  // 6 characters without brackets
  EXPECT_STREQ(name, "LongPr12");
}

}  // namespace
}  // namespace vodbc
