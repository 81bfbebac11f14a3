#include <gtest/gtest.h>

#include "base/AnsiText.h"

namespace qn3 {
namespace {

// Both builds run under Western European rules here: Windows-1252 natively,
// and the test prefix's ANSI code page under Wine.
TEST(AnsiText, WesternBytesRoundTripThroughUtf16) {
  EXPECT_EQ(AnsiToUtf16("Caf\xE9"), u"Caf\u00E9");
  EXPECT_EQ(AnsiToUtf16("\x80"), u"\u20AC");
  EXPECT_EQ(Utf16ToAnsi(u"\u20AC \u00E9"), "\x80 \xE9");
  EXPECT_EQ(AnsiToUtf16(""), u"");
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf16ToAnsi(AnsiToUtf16(all)), all);
}

TEST(AnsiText, CharactersTheCodePageLacksBecomeItsDefaultCharacter) {
  EXPECT_EQ(Utf16ToAnsi(u"\u4E2D"), "?");
  EXPECT_FALSE(IsAnsiLeadByte(0x81));
}

}  // namespace
}  // namespace qn3
