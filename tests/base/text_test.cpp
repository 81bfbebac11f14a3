#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// Lower-casing as the platform does it in two code pages: Windows-1252
// (letters with accents too) and a double-byte one (whole characters, so a
// trail byte that equals a letter stays).
std::string Cp1252Lower(std::string_view text) {
  std::string s(text);
  for (char& c : s) {
    unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) c = static_cast<char>(b + 32);
  }
  return s;
}

std::string ShiftJisLower(std::string_view text) {
  std::string s(text);
  for (size_t i = 0; i < s.size(); ++i) {
    if (ShiftJisLead(static_cast<unsigned char>(s[i]))) ++i;
    else if (s[i] >= 'A' && s[i] <= 'Z') s[i] = static_cast<char>(s[i] + 32);
  }
  return s;
}

TEST(TitleFromProgramPath, NameBeforeTheFirstDotWithTheRestInLowerCase) {
  struct Row {
    const char* path;
    LeadByteTest lead;
    LowerCaseFn lower;
    const char* title;
  } rows[] = {
      {"C:\\Tools\\Qn3.EXE", nullptr, Cp1252Lower, "Qn3"},
      {"D:qn3", nullptr, Cp1252Lower, "qn3"},
      {"C:/a.b/QN3.exe", nullptr, Cp1252Lower, "Qn3"},
      {"QN\xC4X.EXE", nullptr, Cp1252Lower, "Qn\xE4x"},  // the code page's letters, not only A-Z
      // 0x83 0x5C is one character whose trail byte equals "\".
      {"C:\\\x83\x5CQN.EXE", ShiftJisLead, ShiftJisLower, "\x83\x5Cqn"},
      // 0x83 0x41: its trail byte equals "A" and stays.
      {"C:\\Q\x83\x41N.EXE", ShiftJisLead, ShiftJisLower, "Q\x83\x41n"},
      // A double-byte first character is kept whole.
      {"\x83\x41QN.EXE", ShiftJisLead, ShiftJisLower, "\x83\x41qn"},
  };
  for (const Row& r : rows) EXPECT_EQ(TitleFromProgramPath(r.path, r.lead, r.lower), r.title) << r.path;
}

TEST(SameTextAscii, IgnoresOnlyAsciiLetterCase) {
  EXPECT_TRUE(SameTextAscii("BtnOpen", "BTNOPEN"));
  EXPECT_TRUE(SameTextAscii("", ""));
  EXPECT_FALSE(SameTextAscii("Form1", "Form1_1"));
  EXPECT_FALSE(SameTextAscii("\xE9", "\xC9"));
}

// Text from the Help runtime as the list and its hint show it.
TEST(ShownText, OneLineUpToTheFirstNulAndCutWithAnEllipsis) {
  using namespace std::string_literals;
  struct Row {
    std::u16string in;
    size_t max;
    std::u16string out;
  } rows[] = {
      {u"Tab\there\r\n", 99, u"Tab here  "},
      {u"\x7F\x1F\x80\xA0x", 99, u"  \x80\xA0x"},  // 127 and below 32 only
      {u"kept\0dropped\tafter"s, 99, u"kept"},
      {u"abcdef", 6, u"abcdef"},
      {u"abcdef", 4, u"abc\u2026"},
      // The ellipsis never parts a surrogate pair.
      {u"ab\U0001F600cd", 4, u"ab\u2026"},
      {u"ab\U0001F600cd", 5, u"ab\U0001F600\u2026"},
  };
  for (const Row& r : rows) EXPECT_EQ(CutWithEllipsis(OneLine(r.in), r.max), r.out) << r.max;
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

// The programs throw the library's errors with texts of their own making:
// the same texts, numbers filled in, as the host's library gives.
TEST(ErrorMessage, TheLibrarysErrorsShowItsTexts) {
  static const char* volatile none = nullptr;
  struct Row {
    void (*fail)();
    const char* text;
  } rows[] = {
      {[] { (void)std::string("abc").at(5); }, "basic_string::at: __n (which is 5) >= this->size() (which is 3)"},
      {[] { (void)std::string("abc").substr(4); }, "basic_string::substr: __pos (which is 4) > this->size() (which is 3)"},
      {[] { (void)std::vector<int>(2).at(12345678); },
       "vector::_M_range_check: __n (which is 12345678) >= this->size() (which is 2)"},
      {[] { std::string().reserve(std::string().max_size() + 1); }, "basic_string::_M_create"},
      {[] { std::vector<int>().reserve(std::vector<int>().max_size() + 1); }, "vector::reserve"},
      {[] { std::string s(none); }, "basic_string: construction from null is not valid"},
  };
  for (const Row& r : rows) {
    try {
      r.fail();
      ADD_FAILURE() << "no error for " << r.text;
    } catch (const std::exception& e) {
      EXPECT_EQ(ErrorMessage(e), r.text);
    }
  }
}

}  // namespace
}  // namespace qn3
