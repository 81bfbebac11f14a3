// Building the viewer's command line from the two option fields and the
// chosen namespace. Windows-free: upper-casing, the lead-byte test and the
// file-existence test are handed in, so the rules run natively too.
#pragma once

#include <string>
#include <string_view>

#include "base/Text.h"

namespace qn3 {

// The default parameter template, also the one the main window starts with.
inline constexpr char kDefaultParams[] = "/helpcol ms-help://$NAMESPACE$";
inline constexpr char kNamespacePlaceholder[] = "$NAMESPACE$";

// An upper-case copy of the same length in the current code page.
using UpperCaseFn = std::string (*)(std::string_view);
// True when the path names an existing file (not a folder).
using FileExistsFn = bool (*)(const std::string&);

struct CommandLinePlatform {
  UpperCaseFn upper;
  LeadByteTest isLeadByte;  // may be null: a single-byte code page
  FileExistsFn fileExists;
};

// The template with its first case-blind occurrence of "$NAMESPACE$" that
// begins on a character boundary replaced by the namespace.
std::string ReplaceNamespacePlaceholder(std::string_view templ, std::string_view ns, UpperCaseFn upper,
                                        LeadByteTest isLeadByte);

// The trimmed viewer, a blank, and the trimmed template with the namespace
// put in. An unquoted viewer with blanks that names an existing file is
// quoted so process creation cannot take a shorter prefix as the program.
// Empty when the trimmed viewer is empty: there is nothing to start.
std::string BuildCommandLine(std::string_view viewerText, std::string_view paramsText, std::string_view ns,
                             const CommandLinePlatform& platform);

}  // namespace qn3
