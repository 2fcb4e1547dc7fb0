#include "text/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace vodbc {
namespace {

TEST(Utf8, CountsAndCutsWholeCharacters) {
  const struct {
    std::string text;
    std::size_t characters;  // countCharacters(text)
    std::size_t cutAt;
    std::string firstCut;  // firstCharacters(text, cutAt)
    std::size_t byteLimit;
    std::string bytesCut;  // firstBytes(text, byteLimit)
  } cases[] = {
      {"", 0, 3, "", 3, ""},
      {"plain", 5, 3, "pla", 9, "plain"},
      {"Grüße", 5, 3, "Grü", 3, "Gr"},
      {"漢字", 2, 1, "漢", 5, "漢"},
      {"\xF0\x9F\x98\x80!", 2, 1, "\xF0\x9F\x98\x80", 3, ""},
      {"éé", 2, 0, "", 4, "éé"},
      // Invalid bytes: a lead byte counts, a continuation byte never does.
      {"a\xFF"
       "b",
       3, 2, "a\xFF", 2, "a\xFF"},
      {"ab\xE2\x82", 3, 2, "ab", 3, "ab"},
      {"\x80\x80x", 1, 0, "\x80\x80", 2, "\x80\x80"},
      {"x\xBFy", 2, 1, "x\xBF", 2, "x\xBF"},
      {"\xC0\xAF\xED\xA0\x80", 2, 1, "\xC0\xAF", 4, "\xC0\xAF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(countCharacters(c.text), c.characters);
    EXPECT_EQ(firstCharacters(c.text, c.cutAt), c.firstCut);
    EXPECT_EQ(firstBytes(c.text, c.byteLimit), c.bytesCut);
    EXPECT_EQ(countCharacters(firstCharacters(c.text, c.cutAt)), std::min(c.cutAt, c.characters));
  }
  EXPECT_EQ(characterOffset("aé漢b", 3), 6u);
  EXPECT_EQ(characterOffset("aé", 5), 3u);
}

}  // namespace
}  // namespace vodbc
