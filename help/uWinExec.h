// Starting a program from a command line without waiting for it.
#pragma once

#include <string>

namespace qn3 {

// Starts the command line as a new process shown normally and returns at
// once: 0 when the process was created, the Windows error code when not,
// -1 when anything else went wrong. Never throws.
int RunCommandLine(const std::string& commandLine) noexcept;

}  // namespace qn3
