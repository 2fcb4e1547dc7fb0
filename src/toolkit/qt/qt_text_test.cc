// The conversions between the toolkit's conventions and Qt's.
#include <gtest/gtest.h>

#include <QtGui/QColor>

#include "toolkit/qt/qt_internal.h"

namespace toolkit::qt {
namespace {

TEST(QtText, CharacterOffsetsCountCodePointsNotUtf16Units) {
  const QString s = QString::fromUtf8("a😀bñ😀");  // 5 characters, 7 units
  ASSERT_EQ(s.size(), 7);
  struct { int units, characters; } rows[] = {
      {0, 0}, {1, 1}, {3, 2}, {4, 3}, {5, 4}, {7, 5}};
  for (const auto& r : rows) {
    EXPECT_EQ(unitsToCharacters(s, r.units), r.characters) << r.units;
    EXPECT_EQ(charactersToUnits(s, r.characters), r.units) << r.characters;
  }
  EXPECT_EQ(charactersToUnits(s, 99), 7) << "beyond the end stops at the end";
}

TEST(QtText, MnemonicsAndAmpersands) {
  EXPECT_EQ(mnemonicText("~Help"), QStringLiteral("&Help"));
  EXPECT_EQ(mnemonicText("~OK"), QStringLiteral("&OK"));
  EXPECT_EQ(mnemonicText("Fish & Chips"), QStringLiteral("Fish && Chips"));
  EXPECT_EQ(mnemonicText("Plain"), QStringLiteral("Plain"));
}

TEST(QtText, ColoursAreBlueGreenRedFromTheHighByteDown) {
  EXPECT_EQ(toQColor(255), QColor(255, 0, 0));
  EXPECT_EQ(toQColor(0x00FF0000), QColor(0, 0, 255));
  EXPECT_EQ(toQColor(0x00123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(toQColor(0x0AC0C0C0), QColor(192, 192, 192)) << "the flag byte is ignored";
}

}  // namespace
}  // namespace toolkit::qt
