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

bool OpenNamespace(const std::string& ns, const std::string& viewerText, const std::string& paramsText) {
  std::string line = BuildCommandLine(viewerText, paramsText, ns, WindowsCommandLinePlatform());
  if (line.empty()) return false;
  return RunCommandLine(line) == 0;
}

}  // namespace qn3
