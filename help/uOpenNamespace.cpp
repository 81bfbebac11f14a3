#include "help/uOpenNamespace.h"

#include <windows.h>

#include "base/AnsiText.h"
#include "help/uDefaultViewer.h"
#include "help/uWinExec.h"

namespace qn3 {

std::string UpperCaseAnsi(std::string_view text) {
  std::string copy(text);
  if (!copy.empty()) CharUpperBuffA(copy.data(), static_cast<DWORD>(copy.size()));
  return copy;
}

CommandLinePlatform WindowsCommandLinePlatform() {
  return CommandLinePlatform{&UpperCaseAnsi, &IsAnsiLeadByte, &FileExistsForViewer};
}

bool OpenNamespace(const std::string& ns, const std::string& viewerText, const std::string& paramsText, int* error) {
  std::string line = BuildCommandLine(viewerText, paramsText, ns, WindowsCommandLinePlatform());
  const int code = line.empty() ? 0 : RunCommandLine(line);
  if (error) *error = code;
  return !line.empty() && code == 0;
}

}  // namespace qn3
