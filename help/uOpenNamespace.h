// Open: start the viewer for a namespace with the command line built from
// the two option fields, and forget it.
#pragma once

#include <string>
#include <string_view>

#include "help/uCommandLine.h"

namespace qn3 {

// CharUpperBuffA on a copy: the current ANSI code page's upper case.
std::string UpperCaseAnsi(std::string_view text);

// The system's ANSI code page for upper-casing and lead bytes, and the viewer
// existence test.
CommandLinePlatform WindowsCommandLinePlatform();

// Starts the viewer for ns; nothing when the trimmed viewer is empty.
// True when a process was created. Callers need not look at it; those that
// report a failure get the launcher's code in error (0 when nothing was
// started).
bool OpenNamespace(const std::string& ns, const std::string& viewerText, const std::string& paramsText,
                   int* error = nullptr);

}  // namespace qn3
