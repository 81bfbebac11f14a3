// Starting a program under measurement and watching it from outside: the
// time until it is ready, its peak working set, and a clean end.
#pragma once

#include <windows.h>

#include <string>

namespace qn3::bench {

// Seconds on the high-resolution clock.
double Now();

// What makes a started program "ready": a visible top-level window of the
// class, and (when comboId is not 0) that window's combo box filled.
struct ReadyCondition {
  const char* windowClass = nullptr;
  int comboId = 0;
};

class Program {
public:
  Program() = default;
  ~Program();  // ends the program, terminating it when it does not close
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // CreateProcess of `path` in `dir`; false when it could not start.
  bool Start(const std::string& path, const std::string& dir);
  // Waits until the program's thread is idle with `ready` observed, then
  // until it answers a message (it is idle again, not still painting).
  bool WaitReady(const ReadyCondition& ready, DWORD timeoutMs);
  HWND Window() const { return window_; }
  HANDLE Process() const { return pi_.hProcess; }
  // Peak working set in bytes, 0 when unknown.
  size_t PeakWorkingSet() const;
  // Closes the window and waits for the end; terminates after the timeout.
  void Close(DWORD timeoutMs = 10000);

private:
  PROCESS_INFORMATION pi_{};
  HWND window_ = nullptr;
};

// Writes `text` to `path` so a reader never sees it half written.
bool WriteFileAtomically(const std::string& path, const std::string& text);
bool WriteTextFile(const std::string& path, const std::string& text);

// The size of a file in bytes, -1 when it cannot be read.
long long FileSize(const std::string& path);

// The folder of the running program, without a trailing backslash.
std::string ProgramFolder();

}  // namespace qn3::bench
