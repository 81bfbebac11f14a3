#include <gtest/gtest.h>

#include "base/Text.h"
#include "help/uOleMessages.h"

namespace qn3 {
namespace {

// A double-byte code page in miniature: bytes from 0x81 begin a pair.
bool HighIsLead(unsigned char b) { return b >= 0x81; }

TEST(OleDescription, TrimsBlanksControlsAndPeriodsFromTheEndOnly) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Broken.\r\n", "Broken"},
      {"Broken", "Broken"},
      {"  Lead stays. ", "  Lead stays"},
      {"a.b", "a.b"},
      {"Done!..\t\n", "Done!"},
      {"...", ""},
      {" \r\n\x01", ""},
      {"", ""},
      {"Ends in colon:", "Ends in colon:"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.out, TrimOleDescription(c.in, nullptr)) << c.in;
}

TEST(OleDescription, NeverCutsADoubleByteLastCharacter) {
  // "\x82\x2E" is one character whose trail byte happens to be a period.
  EXPECT_EQ("x\x82\x2E", TrimOleDescription("x\x82\x2E", HighIsLead));
  EXPECT_EQ("x\x82\x2E", TrimOleDescription("x\x82\x2E. \n", HighIsLead));
  // Without the lead-byte rule the same bytes are a letter and a period.
  EXPECT_EQ("x\x82", TrimOleDescription("x\x82\x2E", nullptr));
  // Pairs are counted from the start: after a whole pair a period is its
  // own character, after a third lead byte it is a trail byte.
  EXPECT_EQ("\x82\x82", TrimOleDescription("\x82\x82.", HighIsLead));
  EXPECT_EQ("\x82\x82\x82.", TrimOleDescription("\x82\x82\x82.", HighIsLead));
}

TEST(SystemMessageText, LosesClosingPeriodAndLineBreak) {
  EXPECT_EQ("Not implemented", TrimSystemMessage("Not implemented.\r\n"));
  EXPECT_EQ("Catastrophic failure", TrimSystemMessage("Catastrophic failure \r\n"));
  EXPECT_EQ("", TrimSystemMessage(".\r\n"));
  // Byte-wise: even a trail byte that is a period goes.
  EXPECT_EQ("x\x82", TrimSystemMessage("x\x82."));
}

TEST(OleErrorFallback, EightUpperCaseDigits) {
  EXPECT_EQ("OLE error 8007000E", OleErrorFallback(0x8007000E));
  EXPECT_EQ("OLE error 00ABCDEF", OleErrorFallback(0x00abcdef));
  EXPECT_EQ("OLE error 00000000", OleErrorFallback(0));
  EXPECT_EQ("OLE error FFFFFFFF", OleErrorFallback(0xFFFFFFFF));
}

int g_lookups = 0;
std::string KnownOnlyE_FAIL(uint32_t code) {
  ++g_lookups;
  return code == 0x80004005 ? "Unspecified error" : "";
}

TEST(OleMessages, DescriptionThenSystemMessageThenFallback) {
  struct Case {
    const char* description;
    uint32_t code;
    const char* message;
    int lookups;
  } cases[] = {
      {"Walker broke.\r\n", 0x80004005, "Walker broke", 0},
      {"", 0x80004005, "Unspecified error", 1},
      {" .\r\n", 0x80004005, "Unspecified error", 1},
      {"", 0x8BADF00D, "OLE error 8BADF00D", 1},
  };
  for (const Case& c : cases) {
    g_lookups = 0;
    EXPECT_EQ(c.message, OleExceptionMessage(c.description, c.code, KnownOnlyE_FAIL, nullptr)) << c.description;
    EXPECT_EQ(c.lookups, g_lookups) << c.description;
  }
  EXPECT_EQ("Unspecified error", OleSysErrorMessage(0x80004005, KnownOnlyE_FAIL));
  EXPECT_EQ("OLE error 80004003", OleSysErrorMessage(0x80004003, KnownOnlyE_FAIL));
}

TEST(OleMessages, TrimmedDescriptionGainsOnePeriodInTheReport) {
  EXPECT_EQ("Walker broke.", WithClosingPeriod(TrimOleDescription("Walker broke.\r\n", nullptr), nullptr));
}

}  // namespace
}  // namespace qn3
