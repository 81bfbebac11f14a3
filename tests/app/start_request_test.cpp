// What the command line asks of the program, split by the rules of Windows
// programs' runtimes, in a code page whose lead bytes are 0x81..0x9F (0x5C
// is then a trail byte as well as the backslash). Every name that opens is
// also quoted as the jump list writes it, and must read back unchanged.
#include <gtest/gtest.h>

#include <string>

#include "app/uStartRequest.h"

namespace qn3 {
namespace {

bool FakeLeadByte(unsigned char b) { return b >= 0x81 && b <= 0x9F; }

constexpr auto W = TStartKind::Window;
constexpr auto O = TStartKind::Open;
constexpr auto U = TStartKind::Usage;

struct Case {
  const char* what;
  std::string line;
  TStartKind kind;
  std::string name;
};

TEST(ParseStartRequest, Table) {
  const Case cases[] = {
      {"no arguments", "qn3.exe", W, ""},
      {"blanks after the program", "qn3.exe  \t ", W, ""},
      {"quoted program with blanks", "\"C:\\Program Files\\qn3.exe\"", W, ""},
      {"no escapes in the program's name", "\"C:\\Tools\\\" /open Beta", O, "Beta"},
      {"/open", "qn3.exe /open Beta", O, "Beta"},
      {"-open", "qn3.exe -open Beta", O, "Beta"},
      {"switch in any case", "qn3.exe /OPEN Beta", O, "Beta"},
      {"switch in mixed case", "qn3.exe -oPeN Beta", O, "Beta"},
      {"tabs and runs of blanks", "qn3.exe\t/open \t  Beta  ", O, "Beta"},
      {"name case kept", "qn3.exe /open bETA", O, "bETA"},
      {"quoted name with blanks", "\"C:\\Program Files\\qn3.exe\" /open \"MS.VSCC.v90 Library\"", O,
       "MS.VSCC.v90 Library"},
      {"quotes inside an argument", "qn3.exe /open Two\" \"Words", O, "Two Words"},
      {"quoted switch", "qn3.exe \"/open\" Beta", O, "Beta"},
      {"escaped mark", "qn3.exe /open a\\\"b", O, "a\"b"},
      {"doubled mark in a quoted part", "qn3.exe /open \"a\"\"b\"", O, "a\"b"},
      {"even backslashes before a mark", "qn3.exe /open \"a\\\\\" b", U, ""},
      {"odd backslashes before a mark", "qn3.exe /open \"a\\\\\\\" b\"", O, "a\\\" b"},
      {"backslashes elsewhere literal", "qn3.exe /open C:\\a\\\\b\\", O, "C:\\a\\\\b\\"},
      {"unclosed quote runs to the end", "qn3.exe /open \"Two Words", O, "Two Words"},
      {"empty name", "qn3.exe /open \"\"", O, ""},
      {"trail byte 0x5C is no backslash", "qn3.exe /open \"\x81\\\"", O, "\x81\\"},
      {"missing name", "qn3.exe /open", U, ""},
      {"missing name after blanks", "qn3.exe -open   ", U, ""},
      {"/?", "qn3.exe /?", U, ""},
      {"-?", "qn3.exe -?", U, ""},
      {"unknown option", "qn3.exe /opne Beta", U, ""},
      {"switch with its name run in", "qn3.exe /openBeta", U, ""},
      {"name without the switch", "qn3.exe Beta", U, ""},
      {"extra argument", "qn3.exe /open Beta Gamma", U, ""},
      {"switch twice", "qn3.exe /open Beta /open Gamma", U, ""},
      {"empty argument", "qn3.exe \"\"", U, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TStartRequest r = ParseStartRequest(c.line, FakeLeadByte);
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.name, c.name);
    if (c.kind != O) continue;
    const std::string quoted = "\"C:\\Program Files\\qn3.exe\" /open " + QuoteArgument(c.name, FakeLeadByte);
    const TStartRequest back = ParseStartRequest(quoted, FakeLeadByte);
    EXPECT_EQ(back.kind, O) << quoted;
    EXPECT_EQ(back.name, c.name) << quoted;
  }
}

}  // namespace
}  // namespace qn3
