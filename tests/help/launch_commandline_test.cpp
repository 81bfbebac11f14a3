// The command line Open builds, with a fake platform: ASCII upper-casing,
// a code page whose lead bytes are 0x81..0x9F, and a fixed set of files.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "help/uCommandLine.h"

namespace qn3 {
namespace {

std::string AsciiUpper(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

bool FakeLeadByte(unsigned char b) { return b >= 0x81 && b <= 0x9F; }

bool FakeFileExists(const std::string& path) {
  static const std::set<std::string> files = {
      "C:\\Tools\\Viewer.exe",
      "C:\\Program Files\\Help Viewer\\dexplore.exe",
  };
  return files.count(path) != 0;
}

const CommandLinePlatform kPlatform{&AsciiUpper, &FakeLeadByte, &FakeFileExists};

struct Case {
  const char* what;
  std::string viewer, params, ns, expected;
};

TEST(BuildCommandLine, Table) {
  const std::string dexplore = "C:\\Program Files\\Help Viewer\\dexplore.exe";
  const Case cases[] = {
      {"default template", "C:\\Tools\\Viewer.exe", kDefaultParams, "Alpha",
       "C:\\Tools\\Viewer.exe /helpcol ms-help://Alpha"},
      {"placeholder in lower case", "v.exe", "/helpcol ms-help://$namespace$", "Alpha", "v.exe /helpcol ms-help://Alpha"},
      {"placeholder in mixed case", "v.exe", "x$NameSpace$y", "Alpha", "v.exe xAlphay"},
      {"only the first occurrence", "v.exe", "$NAMESPACE$ $NAMESPACE$", "Alpha", "v.exe Alpha $NAMESPACE$"},
      {"namespace not searched again", "v.exe", "$NAMESPACE$", "a$namespace$b", "v.exe a$namespace$b"},
      {"no placeholder: namespace dropped", "v.exe", "/nothing here", "Alpha", "v.exe /nothing here"},
      {"template case kept around the match", "v.exe", "/HelpCol $namespace$/Index", "Alpha",
       "v.exe /HelpCol Alpha/Index"},
      {"truncated placeholder", "v.exe", "$NAMESPACE", "Alpha", "v.exe $NAMESPACE"},
      {"blanks and controls trimmed, inner kept", " \t v.exe \r\n", "\n /a  $NAMESPACE$ b \t", " Alpha ",
       "v.exe /a   Alpha  b"},
      {"template of blanks only", "v.exe", "   ", "Alpha", "v.exe "},
      {"empty template", "v.exe", "", "Alpha", "v.exe "},
      {"nothing selected", "v.exe", kDefaultParams, "", "v.exe /helpcol ms-help://"},
      // An unquoted existing path with blanks is quoted, so no shorter
      // prefix such as C:\Program.exe can be taken as the program.
      {"existing path with blanks quoted", dexplore, kDefaultParams, "Alpha",
       "\"" + dexplore + "\" /helpcol ms-help://Alpha"},
      {"quoted only after trimming", "  " + dexplore + "\t", "$NAMESPACE$", "A", "\"" + dexplore + "\" A"},
      {"user's quotes stay as typed", "\"" + dexplore + "\"", "$NAMESPACE$", "A", "\"" + dexplore + "\" A"},
      {"program with its own arguments stays unquoted", dexplore + " /x", "$NAMESPACE$", "A", dexplore + " /x A"},
      {"missing path with blanks stays unquoted", "C:\\No Such\\v.exe", "$NAMESPACE$", "A", "C:\\No Such\\v.exe A"},
      {"namespace and template never quoted", "C:\\Tools\\Viewer.exe", "/a b $NAMESPACE$", "Two Words",
       "C:\\Tools\\Viewer.exe /a b Two Words"},
      // Nothing to start: process creation would take the template's
      // first word as the program.
      {"empty viewer", "", kDefaultParams, "Alpha", ""},
      {"blank viewer", " \t ", kDefaultParams, "Alpha", ""},
      {"both fields empty", "", "", "Alpha", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildCommandLine(c.viewer, c.params, c.ns, kPlatform), c.expected) << c.what;
  }
}

TEST(ReplaceNamespacePlaceholder, DoubleByteBoundaries) {
  struct DbcsCase {
    const char* what;
    std::string templ, expected;
  } cases[] = {
      // 0x81 is a lead byte, so the "$" behind it is a trail byte: no match
      // there, the search goes on behind it.
      {"match on a trail byte skipped", "\x81$NAMESPACE$ $NAMESPACE$", "\x81$NAMESPACE$ Alpha"},
      {"match behind a whole character", "\x81x$NAMESPACE$", "\x81xAlpha"},
      {"only a trail-byte match: unchanged", "\x81$NAMESPACE$", "\x81$NAMESPACE$"},
      // A lead byte as the last byte has no trail to swallow.
      {"lone lead byte at the end", "$NAMESPACE$\x81", "Alpha\x81"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceNamespacePlaceholder(c.templ, "Alpha", &AsciiUpper, &FakeLeadByte), c.expected) << c.what;
  }
  // In a single-byte code page the same bytes are separate characters.
  EXPECT_EQ(ReplaceNamespacePlaceholder("\x81$NAMESPACE$", "Alpha", &AsciiUpper, nullptr), "\x81"
                                                                                              "Alpha");
}

// The upper-cased copy only locates the match; the text around it comes
// from the template itself, even where upper-casing changes other letters.
TEST(ReplaceNamespacePlaceholder, UpperCasingOnlyLocates) {
  auto upperWithAccent = [](std::string_view t) {
    std::string s = AsciiUpper(t);
    for (char& c : s)
      if (c == '\xE9') c = '\xC9';  // e-acute to E-acute, as Windows-1252 does
    return s;
  };
  EXPECT_EQ(ReplaceNamespacePlaceholder("caf\xE9 $namespace$ \xE9", "Alpha", +upperWithAccent, nullptr),
            "caf\xE9 Alpha \xE9");
}

// An upper-casing that breaks the same-length contract must not make the
// replacement cut the template at a wrong place.
TEST(ReplaceNamespacePlaceholder, UpperCopyOfOtherLengthFallsBackToExactMatch) {
  auto growing = [](std::string_view t) { return "XX" + std::string(t); };
  EXPECT_EQ(ReplaceNamespacePlaceholder("a $NAMESPACE$ b", "N", +growing, nullptr), "a N b");
  EXPECT_EQ(ReplaceNamespacePlaceholder("a $namespace$ b", "N", +growing, nullptr), "a $namespace$ b");
}

}  // namespace
}  // namespace qn3
