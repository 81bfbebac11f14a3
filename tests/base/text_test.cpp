#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/Text.h"

namespace qn3 {
namespace {

bool ShiftJisLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

TEST(Trim, RemovesBlanksAndControlCharactersOnlyAtTheEnds) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"", ""},
      {"   ", ""},
      {" \t\r\nC:\\Tools\\Viewer.exe\r\n", "C:\\Tools\\Viewer.exe"},
      {"  a  b  ", "a  b"},
      {"\x01x\x1F", "x"},
      {"\xA0x\xA0", "\xA0x\xA0"},  // code above 32: a character like any other
  };
  for (const Row& r : rows) EXPECT_EQ(Trim(r.in), r.out) << r.in;
}

TEST(ClosingPeriod, AddedAfterCharactersAboveThePeriod) {
  struct Row {
    const char* in;
    const char* out;
  } rows[] = {
      {"", ""},
      {"Failed", "Failed."},
      {"Error 5", "Error 5."},
      {"Why:", "Why:."},
      {"Really?", "Really?."},
      {"Done.", "Done."},
      {"Trailing ", "Trailing "},
      {"Stop!", "Stop!"},
      {"(x)", "(x)"},
      {"a,", "a,"},
      {"a-", "a-"},
      {"Invalid data type for 'AppID'", "Invalid data type for 'AppID'"},  // apostrophe is below the period
  };
  for (const Row& r : rows) EXPECT_EQ(WithClosingPeriod(r.in, nullptr), r.out) << r.in;
}

TEST(ClosingPeriod, DoubleByteLastCharacterIsJudgedByItsFirstByte) {
  // 0x81 0x40: lead byte above "." decides, although the trail byte is "@".
  EXPECT_EQ(WithClosingPeriod("x\x81\x40", ShiftJisLead), "x\x81\x40.");
  // Without double-byte rules the last byte "(" (40) decides: no period.
  EXPECT_EQ(WithClosingPeriod("x\x81(", nullptr), "x\x81(");
  EXPECT_EQ(LastCharStart("ab\x81\x40", ShiftJisLead), 2u);
  EXPECT_EQ(LastCharStart("\x81\x40" "b", ShiftJisLead), 2u);
}

TEST(SameTextAscii, IgnoresOnlyAsciiLetterCase) {
  EXPECT_TRUE(SameTextAscii("BtnOpen", "BTNOPEN"));
  EXPECT_TRUE(SameTextAscii("", ""));
  EXPECT_FALSE(SameTextAscii("Form1", "Form1_1"));
  EXPECT_FALSE(SameTextAscii("\xE9", "\xC9"));
}

TEST(ErrorMessage, OwnErrorsKeepTheirTextAndMemoryExhaustionHasAStockText) {
  EXPECT_EQ(ErrorMessage(EOleSysError("Class not registered", 0x80040154u)), "Class not registered");
  EXPECT_EQ(ErrorMessage(std::bad_alloc()), "Out of memory");
  EOleException e("Boom", 0x80004005u, "Src", "help.chm", 7);
  EXPECT_EQ(e.HelpContext(), 7);
  EXPECT_EQ(e.ErrorCode(), 0x80004005u);
  const EOleError& base = e;
  EXPECT_STREQ(base.what(), "Boom");
}

}  // namespace
}  // namespace qn3
