// What the program is asked to do at start, read from its command line:
// show its window as usual, open one namespace without it, or show how it
// is called. Windows-free: the command line is split by the rules that
// Windows programs' runtimes follow, so the rules run natively too.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/Text.h"

namespace qn3 {

enum class TStartKind { Window, Open, Usage };

struct TStartRequest {
  TStartKind kind = TStartKind::Window;
  std::string name;  // the namespace to open
};

// The arguments after the program's name. The name ends at the first blank
// or tab outside quotation marks, and knows no escapes. Then blanks and
// tabs outside quotation marks separate arguments; 2n backslashes before a
// quotation mark give n and the mark opens or closes a quoted part, 2n+1
// give n and a literal mark; two marks inside a quoted part give one
// literal mark; other backslashes stay. A trail byte that equals a
// backslash or a blank is none.
std::vector<std::string> SplitArguments(std::string_view commandLine, LeadByteTest isLeadByte);

// No argument: Window. "/open NAME" or "-open NAME", the switch in any
// letter case: Open. Anything else, a missing NAME or a further argument
// included: Usage.
TStartRequest ParseStartRequest(std::string_view commandLine, LeadByteTest isLeadByte);

// The argument in quotation marks, written so SplitArguments reads it back
// unchanged.
std::string QuoteArgument(std::string_view argument, LeadByteTest isLeadByte);

// The switch as the program writes it into the jump list's tasks.
inline constexpr char kOpenSwitch[] = "/open";

}  // namespace qn3
