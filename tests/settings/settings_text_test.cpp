// The component text writer and reader, byte for byte, against TPrefs.
#include <gtest/gtest.h>

#include <random>

#include "base/AnsiText.h"
#include "tests/settings/TestHost.h"

namespace qn3 {
namespace {

using test::TTestHost;

std::string Rep(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

// The text that a TPrefs with these property lines reads from.
std::string Doc(const std::string& lines) { return "object TPrefs\r\n" + lines + "\r\nend\r\n"; }

bool Latin1IsCp1252() { return AnsiToUtf16("\xE9") == u"\u00E9"; }

struct TPrefsFixture : ::testing::Test {
  TTestHost host;
  TPrefs prefs{host, "\\Tarvik\\QN3\\", ".dat"};
  std::string message;
  bool Read(const std::string& text) { return TextToComponent(text, host.OpenWindows(), prefs, &message); }
};

struct TWriteCase {
  const char* what;
  int32_t tag, left, top;
  std::string viewer, params, expectedBody;
};

TEST_F(TPrefsFixture, WritesTheStoredPropertiesByteForByte) {
  const std::string a64 = Rep("a", 64), pos = "  Left = 1\r\n  Top = 2\r\n";
  const TWriteCase cases[] = {
      {"empty texts are not stored", 0, 1, 2, "", "", pos},
      {"Tag 7 before Left", 7, 1, 2, "", "", "  Tag = 7\r\n" + pos},
      {"no default for Left", 0, INT32_MIN, 0, "", "", "  Left = -2147483648\r\n  Top = 0\r\n"},
      {"64 units stay on the line", 0, 1, 2, a64, "", pos + "  Viewer = '" + a64 + "'\r\n"},
      {"65 units split 64 + 1", 0, 1, 2, a64 + "b", "", pos + "  Viewer = \r\n    '" + a64 + "' +\r\n    'b'\r\n"},
      {"130 units split 64 + 64 + 2", 0, 1, 2, a64 + a64 + "bc", "",
       pos + "  Viewer = \r\n    '" + a64 + "' +\r\n    '" + a64 + "' +\r\n    'bc'\r\n"},
      {"apostrophe, tab, CR LF as codes", 0, 1, 2, "it's\t", "a\r\nb",
       pos + "  Viewer = 'it'#39's'#9\r\n  Params = 'a'#13#10'b'\r\n"},
      {"a lone apostrophe has no quotes", 0, 1, 2, "'", "", pos + "  Viewer = #39\r\n"},
      {"codes count one unit each", 0, 1, 2, Rep("'", 70), "",
       pos + "  Viewer = \r\n    " + Rep("#39", 64) + " +\r\n    " + Rep("#39", 6) + "\r\n"},
      {"a run ends where the line is full", 0, 1, 2, Rep("a", 63) + "'bc", "",
       pos + "  Viewer = \r\n    '" + Rep("a", 63) + "'#39 +\r\n    'bc'\r\n"},
  };
  for (const TWriteCase& c : cases) {
    SCOPED_TRACE(c.what);
    prefs.SetTag(c.tag), prefs.SetLeft(c.left), prefs.SetTop(c.top);
    prefs.SetViewer(c.viewer), prefs.SetParams(c.params);
    EXPECT_EQ(WriteComponentText(prefs), "object TPrefs\r\n" + c.expectedBody + "end\r\n");
  }
}

TEST_F(TPrefsFixture, WritesNonAsciiAsUtf16Codes) {
  if (!Latin1IsCp1252()) GTEST_SKIP() << "needs the Western European code page";
  prefs.SetName("Prefs1");
  prefs.SetTag(7);
  prefs.SetParams("/helpcol ms-help://$NAMESPACE$ /title 'Caf\xE9 docs'");
  EXPECT_EQ(WriteComponentText(prefs),
            "object Prefs1: TPrefs\r\n  Tag = 7\r\n  Left = 100\r\n  Top = 100\r\n"
            "  Params = '/helpcol ms-help://$NAMESPACE$ /title '#39'Caf'#233' docs'#39\r\nend\r\n");
  EXPECT_EQ(TextValueNotation("\x80"), "#8364");  // the euro sign's UTF-16 unit
}

TEST(ChangeFileExt, ReplacesTheExtensionOfTheFileNameOnly) {
  auto shiftJisLead = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
  struct Row {
    const char* path;
    LeadByteTest lead;
    const char* result;
  } rows[] = {
      {"C:\\Tools\\my.tool.exe", nullptr, "C:\\Tools\\my.tool.dat"},
      {"C:\\dot.dir\\tool", nullptr, "C:\\dot.dir\\tool.dat"},
      {"D:x.y:tool", nullptr, "D:x.y:tool.dat"},
      // 0x83 0x5C is one character: its trail byte is no separator.
      {"C:\\my.\x83\x5C", +shiftJisLead, "C:\\my.dat"},
      {"C:\\my.\x83\x5C", nullptr, "C:\\my.\x83\x5C.dat"},
  };
  for (const Row& r : rows) EXPECT_EQ(ChangeFileExt(r.path, ".dat", r.lead), r.result) << r.path;
}

TEST(TextValueNotation, IsTheWritersPiecesOnOneLine) {
  EXPECT_EQ(TextValueNotation(""), "''");
  const std::string a70 = Rep("a", 70);
  EXPECT_EQ(TextValueNotation(a70 + "'"), std::string("'").append(a70).append("'#39"));
  EXPECT_EQ(TextValueNotation("a'b"), "'a'#39'b'");
}

struct TReadCase {
  std::string text;
  int32_t left, top;
  std::string viewer;
};

TEST_F(TPrefsFixture, ReadsHandEditedText) {
  const TReadCase cases[] = {
      {Doc("  viewer = 'x'"), 100, 100, "x"},
      {"OBJECT TPrefs\r\n  Left = 1\r\nEND\r\n", 1, 100, "old"},
      {"inherited TPrefs\r\n  Left = 1\r\nend", 1, 100, "old"},
      {"object Anything [3]\r\n  Left = 1\r\nend", 1, 100, "old"},
      {Doc("  Viewer = 'It''s'"), 100, 100, "It's"},
      {Doc("  Viewer = 'a' +\r\n    'b'"), 100, 100, "ab"},
      {Doc("  Viewer = 'a'#13#10'b'"), 100, 100, "a\r\nb"},
      {Doc("  Viewer = ''"), 100, 100, ""},
      {Doc("  Viewer = #"), 100, 100, std::string(1, '\0')},
      {Doc("  Left = $64"), 100, 100, "old"},
      {Doc("  Left = -5"), -5, 100, "old"},
      {Doc("  Top = 1 Left = 2"), 2, 1, "old"},
      {Doc("  Left = $FFFFFFFFFFFFFFFF"), -1, 100, "old"},
      {Doc("  Left = -2147483648  Top = 2147483647"), INT32_MIN, INT32_MAX, "old"},
      {Doc("  Left = 1  Left = 2"), 2, 100, "old"},
      {"object TPrefs\n Left = 3\nend", 3, 100, "old"},
      {Doc("  Left = 4") + "whatever ( [ 'x' ", 4, 100, "old"},
  };
  for (const TReadCase& c : cases) {
    SCOPED_TRACE(c.text);
    prefs.SetLeft(100), prefs.SetTop(100), prefs.SetViewer("old");
    EXPECT_TRUE(Read(c.text)) << message;
    EXPECT_EQ(prefs.Left(), c.left);
    EXPECT_EQ(prefs.Top(), c.top);
    EXPECT_EQ(prefs.Viewer(), c.viewer);
  }
}

TEST_F(TPrefsFixture, ReadsWideCodesBackToTheCodePage) {
  if (!Latin1IsCp1252()) GTEST_SKIP() << "needs the Western European code page";
  EXPECT_TRUE(Read(Doc("  Viewer = 'Caf'#233' '#8364")));
  EXPECT_EQ(prefs.Viewer(), "Caf\xE9 \x80");
  // A quoted byte above 127 is in the code page unless the token is wide.
  EXPECT_TRUE(Read(Doc("  Viewer = '\x80'")));
  EXPECT_EQ(prefs.Viewer(), "\x80");
}

struct TFailCase {
  std::string text;
  std::string message;
  bool appliesLeft7;  // phase 2: the line Left = 7 before the failure stays
};

TEST_F(TPrefsFixture, RefusesBrokenTextWithItsMessage) {
  const std::string left7 = "  Left = 7\r\n";
  const TFailCase cases[] = {
      {"", "OBJECT expected on line 1", false},
      {"\xEF\xBB\xBF" + Doc(""), "OBJECT expected on line 1", false},
      {"object TPrefs\r\n" + left7, "Identifier expected on line 3", false},
      {"object\r\n", "Identifier expected on line 2", false},
      {"object TPrefs\r\n" + left7 + std::string(1, '\0') + "end\r\n", "Identifier expected on line 3", false},
      {Doc(left7 + "  Top = +5"), "Invalid property value on line 3", false},
      {Doc(left7 + "  Top = - 5"), "'-' is not a valid integer value", false},
      {Doc(left7 + "  Top = $"), "'$' is not a valid integer value", false},
      {Doc(left7 + "  Top = 9223372036854775808"), "'9223372036854775808' is not a valid integer value", false},
      {Doc(left7 + "  Top = $10000000000000000"), "'$10000000000000000' is not a valid integer value", false},
      {Doc(left7 + "  Viewer = C:\\x"), "Identifier expected on line 3", false},
      {Doc(left7 + "  Viewer = 'abc\r\n'"), "Invalid string constant on line 3", false},
      {Doc(left7 + "  Viewer = 'a' + 5"), "String expected on line 3", false},
      {Doc(left7 + "  Top 5"), "''='' expected on line 3", false},
      {Doc(left7 + "  Top = {0F1}"), "Invalid binary value on line 3", false},
      {Doc(left7) + "'broken", "Invalid string constant on line 5", false},
      {Doc(left7 + "  Top = " + Rep("(", 200)), "Too deeply nested on line 3", false},
      {Doc(left7 + "  Top = 2147483648"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = $FFFFFFFF"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = 1.0"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = '100'"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = True"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = [a, 1]"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = <item [0] x = 1 end>"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Top = (1 'a' {00ff})"), "Error reading TPrefs.Top: Invalid property value", true},
      {Doc(left7 + "  Viewer = 5"), "Error reading TPrefs.Viewer: Invalid property value", true},
      {Doc(left7 + "  width = 3"), "Error reading TPrefs.width: Property width does not exist", true},
      {Doc(left7 + "  Font.Size = 8"), "Error reading TPrefs.Font.Size: Property Font does not exist", true},
      {Doc(left7 + "  Top.X = 8"), "Error reading TPrefs.Top.X: Invalid property path", true},
      {Doc(left7 + "  Name = '1x'"), "Error reading TPrefs.Name: ''1x'' is not a valid component name", true},
      {Doc(left7 + "  Name = 'btnopen'"), "Error reading TPrefs.Name: A component named btnopen already exists",
       true},
      {Doc(left7 + "  object Child: TFoo\r\n  end"), "Class TFoo not found", true},
  };
  for (const TFailCase& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 120));
    prefs.SetLeft(100), prefs.SetTop(100), prefs.SetViewer("old");
    EXPECT_FALSE(Read(c.text));
    EXPECT_EQ(message, c.message);
    EXPECT_EQ(prefs.Left(), c.appliesLeft7 ? 7 : 100);
    EXPECT_EQ(prefs.Top(), 100);
    EXPECT_EQ(prefs.Viewer(), "old");
  }
}

TEST_F(TPrefsFixture, StopsAtTheFirstFailingLine) {
  EXPECT_FALSE(Read(Doc("  Top = 5\r\n  Width = 3\r\n  Left = 7")));
  EXPECT_EQ(prefs.Top(), 5);
  EXPECT_EQ(prefs.Left(), 100);
  // The name set by a line before the failure names the component in it.
  EXPECT_FALSE(Read(Doc("  Name = 'Mine'\r\n  Width = 3")));
  EXPECT_EQ(message, "Error reading Mine.Width: Property Width does not exist");
}

TEST_F(TPrefsFixture, LinesMustFitTheReadWindow) {
  // A line of 4095 bytes with its CR LF still fits a window of 4096 bytes.
  auto lineOf = [](size_t bytes) { return "  Viewer = '" + std::string(bytes - 15, 'v') + "'\r\n"; };
  std::string tail = "  Left = 1\r\n" + Rep("  Top = 2\r\n", 500) + "end\r\n";
  EXPECT_TRUE(Read("object TPrefs\r\n" + lineOf(4095) + tail)) << message;
  EXPECT_EQ(prefs.Viewer().size(), 4095u - 15);
  EXPECT_FALSE(Read("object TPrefs\r\n" + lineOf(4096) + tail));
  EXPECT_EQ(message, "Line too long on line 2");
  // Many short lines cross many windows and keep their line count.
  EXPECT_FALSE(Read("object TPrefs\r\n" + Rep("  Top = 2\r\n", 2000) + "  Top = +\r\nend\r\n"));
  EXPECT_EQ(message, "Invalid property value on line 2002");
}

TEST_F(TPrefsFixture, HeaderNameIsMadeUniqueAmongOpenWindows) {
  EXPECT_TRUE(Read("object Form1: TPrefs\r\nend\r\n")) << message;
  EXPECT_EQ(prefs.Name(), "Form1_1");
  EXPECT_EQ(WriteComponentText(prefs).substr(0, 24), "object Form1_1: TPrefs\r\n");
  host.openWindows = {"Form1", "FORM1_1"};
  EXPECT_TRUE(Read("object form1: TPrefs\r\nend\r\n"));
  EXPECT_EQ(prefs.Name(), "form1_2");
  // An unnamed header clears the name again.
  EXPECT_TRUE(Read(Doc("")));
  EXPECT_EQ(prefs.Name(), "");
}

TEST_F(TPrefsFixture, HeaderNameTakenByTheOwnerOrTooLongChangesNothing) {
  EXPECT_FALSE(Read("object BtnOpen: TPrefs\r\n  Left = 7\r\nend\r\n"));
  EXPECT_EQ(message, "A component named BtnOpen already exists");
  EXPECT_EQ(prefs.Left(), 100);
  const std::string longest(kMaxNameLength, 'n');
  EXPECT_TRUE(Read("object " + longest + ": TPrefs\r\nend\r\n"));
  EXPECT_EQ(prefs.Name(), longest);
  EXPECT_FALSE(Read("object " + longest + "n: TPrefs\r\n  Left = 7\r\nend\r\n"));
  EXPECT_EQ(message, "''" + longest + "n'' is not a valid component name");
  EXPECT_EQ(prefs.Left(), 100);
  // The name that is kept reads back from the text written with it.
  TTestHost other;
  TPrefs copy(other, "", "");
  EXPECT_TRUE(TextToComponent(WriteComponentText(prefs), nullptr, copy));
  EXPECT_EQ(copy.Name(), longest);
}

TEST_F(TPrefsFixture, RandomValuesSurviveWriteAndRead) {
  std::mt19937 rng(20240601);
  // Bytes the code page maps to UTF-16 and back unchanged.
  std::string alphabet;
  for (int b = 1; b < 256; ++b) {
    std::string s(1, static_cast<char>(b));
    if (Utf16ToAnsi(AnsiToUtf16(s)) == s) alphabet += s;
  }
  auto randomText = [&] {
    std::string s(rng() % 200, ' ');
    for (char& c : s) c = alphabet[rng() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 300; ++round) {
    prefs.SetTag(static_cast<int32_t>(rng())), prefs.SetLeft(static_cast<int32_t>(rng())),
        prefs.SetTop(static_cast<int32_t>(rng())), prefs.SetViewer(randomText()), prefs.SetParams(randomText());
    TTestHost other;
    TPrefs copy(other, "", "");
    std::string text = WriteComponentText(prefs);
    ASSERT_TRUE(TextToComponent(text, other.OpenWindows(), copy)) << text;
    ASSERT_EQ(copy.Tag(), prefs.Tag());
    ASSERT_EQ(copy.Left(), prefs.Left());
    ASSERT_EQ(copy.Top(), prefs.Top());
    ASSERT_EQ(copy.Viewer(), prefs.Viewer());
    ASSERT_EQ(copy.Params(), prefs.Params());
    for (unsigned char c : text) ASSERT_TRUE(c >= 32 ? c < 128 : c == '\r' || c == '\n');
  }
}

}  // namespace
}  // namespace qn3
