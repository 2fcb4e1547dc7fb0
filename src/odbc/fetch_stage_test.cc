#include "odbc/fetch_stage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace vodbc {
namespace {

// Enough values to fill several blocks, so reading crosses block ends with
// values of every size.
constexpr int kManyValues = 200'000;

TEST(ColumnStage, NumbersComeBackInOrderAcrossBlocks) {
  ColumnStage stage;
  for (int i = 0; i < kManyValues; ++i) stage.addNumber(i * 0.5 - 7);
  ColumnStage::Reader read = stage.reader();
  for (int i = 0; i < kManyValues; ++i) ASSERT_EQ(read.number(), i * 0.5 - 7) << i;
}

TEST(ColumnStage, TextsComeBackInOrderAcrossBlocks) {
  // Lengths 0..79 in turn, so block ends fall on every kind of text.
  ColumnStage stage;
  std::vector<std::string> added;
  for (int i = 0; i < kManyValues / 4; ++i) {
    added.push_back(std::string(static_cast<std::size_t>(i % 80), static_cast<char>('a' + i % 26)));
    stage.addText(added.back(), 79);
  }
  ColumnStage::Reader read = stage.reader();
  for (const std::string& text : added) ASSERT_EQ(read.text(), text);
}

TEST(ColumnStage, TextsAreConvertedCutAndUnpadded) {
  struct Case {
    std::string utf8;
    std::size_t maxChars;
    std::string staged;  // Windows-1252
  };
  const std::vector<Case> cases = {
      {"", 79, ""},
      {"plain", 79, "plain"},
      {"Z\xC3\xBCrich", 79, "Z\xFCrich"},           // one character, two bytes in UTF-8
      {"\xE2\x82\xAC 5", 79, "\x80 5"},             // the euro sign has a single byte
      {"\xE4\xB8\xAD", 79, "?"},                    // no single-byte form
      {"abcdef", 3, "abc"},                         // cut at the character limit
      {"\xC3\xA9\xC3\xA9\xC3\xA9", 2, "\xE9\xE9"},  // cut counts characters
      {"ab   ", 79, "ab"},                          // the padding of a fixed-width type
      {"    ", 79, ""},
      {"  a b", 79, "  a b"},              // leading and inner blanks are data
      {"abc  d", 4, "abc"},                // cut, then unpadded
      {std::string("a\0b ", 4), 79, "a"},  // a NUL ends it; the next text still follows
      {"next", 79, "next"},
  };
  ColumnStage stage;
  for (const Case& c : cases) stage.addText(c.utf8, c.maxChars);
  ColumnStage::Reader read = stage.reader();
  for (const Case& c : cases) EXPECT_EQ(read.text(), c.staged) << c.utf8;
}

// The stage decides which columns become dates while the texts arrive;
// a single text that is not date-shaped keeps the whole column text.
TEST(ColumnStage, NotesWhetherEveryTextIsDateShaped) {
  struct Case {
    std::vector<std::string> texts;
    bool allDates;
  };
  const std::vector<Case> cases = {
      {{}, true},
      {{"", "   "}, true},  // empty, or padding only
      {{"2002-03-04", "2002-03-04 05:06:07", ""}, true},
      {{"2002-03-04 05:06   "}, true},         // a cut timestamp, padded
      {{"1999", "2002"}, false},               // years are not dates
      {{"2002-03-04", " 2002-03-04"}, false},  // a leading blank is data
      {{"2002-03-04 05:06:07.5"}, false},      // fractional seconds
      {{"2002-03-04", "north", "2002-03-05"}, false},
  };
  for (const Case& c : cases) {
    ColumnStage stage;
    for (const std::string& text : c.texts) stage.addText(text, 79);
    EXPECT_EQ(stage.allDateShaped(), c.allDates) << ::testing::PrintToString(c.texts);
  }
}

TEST(ColumnStage, ReleaseEmptiesAndAMovedStageKeepsItsValues) {
  ColumnStage first;
  for (int i = 0; i < kManyValues; ++i) first.addNumber(i);
  ColumnStage second(std::move(first));
  ColumnStage::Reader read = second.reader();
  EXPECT_EQ(read.number(), 0);
  EXPECT_EQ(read.number(), 1);
  second.release();
  second.addNumber(42);  // usable again after release
  EXPECT_EQ(second.reader().number(), 42);
}

TEST(ColumnStage, TakingTheBlocksHandsOverEveryValue) {
  ColumnStage stage;
  for (int i = 0; i < kManyValues; ++i) stage.addNumber(i);
  const std::size_t reserved = stage.reservedBytes();
  std::vector<MemoryBlock> blocks = stage.takeBlocks();
  EXPECT_EQ(stage.reservedBytes(), 0u);
  std::size_t size = 0;
  double expected = 0;
  for (MemoryBlock& block : blocks) {
    size += block.size;
    ASSERT_EQ(block.used % sizeof(double), 0u);
    for (std::size_t at = 0; at < block.used; at += sizeof(double)) {
      double value;
      std::memcpy(&value, block.start + at, sizeof value);
      ASSERT_EQ(value, expected++);
    }
    freeMemoryBlock(block);
  }
  EXPECT_EQ(std::tuple(size, expected), std::tuple(reserved, double{kManyValues}));
}

TEST(ColumnStage, ReservesRoomInProportionToItsValues) {
  // A result of a few rows in many columns must not cost a large block per
  // column; a long column still grows in large steps.
  struct Case {
    int numbers;
    std::size_t atMost;
  };
  const std::vector<Case> cases = {
      {0, 0}, {1, 1024}, {128, 1024}, {129, 3 * 1024}, {kManyValues, 4 * kManyValues * 8}};
  for (const Case& c : cases) {
    ColumnStage stage;
    for (int i = 0; i < c.numbers; ++i) stage.addNumber(i);
    EXPECT_LE(stage.reservedBytes(), c.atMost) << c.numbers;
    EXPECT_GE(stage.reservedBytes(), static_cast<std::size_t>(c.numbers) * 8) << c.numbers;
  }
}

TEST(ColumnStage, AValueLargerThanTheNextBlockGetsABlockOfItsOwn) {
  const std::string longText(100'000, 'x');
  ColumnStage stage;
  stage.addText("short", 79);
  stage.addText(longText, longText.size());
  stage.addText("after", 79);
  ColumnStage::Reader read = stage.reader();
  EXPECT_EQ(read.text(), "short");
  EXPECT_EQ(read.text(), longText);
  EXPECT_EQ(read.text(), "after");
}

}  // namespace
}  // namespace vodbc
