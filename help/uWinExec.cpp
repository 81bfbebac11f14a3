#include "help/uWinExec.h"

#include <windows.h>

#include <vector>

namespace qn3 {

int RunCommandLine(const std::string& commandLine) noexcept {
  try {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    // Show as asked, with the start-up feedback cursor while it starts.
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};

    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');

    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, nullptr,
                        &startup, &process)) {
      return static_cast<int>(GetLastError());
    }
    // The viewer runs on its own; nothing here waits for it or asks after it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
  } catch (...) {
    return -1;
  }
}

}  // namespace qn3
