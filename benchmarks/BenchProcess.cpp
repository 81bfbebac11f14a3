#include "benchmarks/BenchProcess.h"

#include <psapi.h>

namespace qn3::bench {
namespace {

struct FindState {
  DWORD pid;
  const char* cls;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<FindState*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[128] = {};
  if (pid == s->pid && IsWindowVisible(hwnd) && GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, s->cls) == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND VisibleWindow(DWORD pid, const char* cls) {
  FindState s{pid, cls, nullptr};
  EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool Answers(HWND hwnd, UINT msg, DWORD timeoutMs, DWORD_PTR* result) {
  return SendMessageTimeoutA(hwnd, msg, 0, 0, SMTO_NORMAL, timeoutMs, result) != 0;
}

}  // namespace

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / frequency;
}

Program::~Program() { Close(); }

bool Program::Start(const std::string& path, const std::string& dir) {
  std::string cmd = "\"" + path + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_)) {
    pi_ = {};
    return false;
  }
  return true;
}

bool Program::WaitReady(const ReadyCondition& ready, DWORD timeoutMs) {
  const double deadline = Now() + timeoutMs / 1000.0;
  for (;;) {
    double left = deadline - Now();
    if (left <= 0) return false;
    DWORD slice = static_cast<DWORD>(left * 1000) + 1;
    DWORD idle = WaitForInputIdle(pi_.hProcess, slice < 50 ? slice : 50);
    if (idle == WAIT_FAILED) return false;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0) return false;
    if (idle == 0) {
      window_ = VisibleWindow(pi_.dwProcessId, ready.windowClass);
      bool filled = true;
      if (window_ && ready.comboId) {
        DWORD_PTR count = 0;
        HWND combo = GetDlgItem(window_, ready.comboId);
        filled = combo && Answers(combo, CB_GETCOUNT, timeoutMs, &count) && static_cast<LONG_PTR>(count) > 0;
      }
      DWORD_PTR ignored;
      if (window_ && filled && Answers(window_, WM_NULL, timeoutMs, &ignored)) return true;
    }
    Sleep(1);
  }
}

size_t Program::PeakWorkingSet() const {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  if (!pi_.hProcess || !GetProcessMemoryInfo(pi_.hProcess, &pmc, sizeof pmc)) return 0;
  return pmc.PeakWorkingSetSize;
}

void Program::Close(DWORD timeoutMs) {
  if (!pi_.hProcess) return;
  if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) {
    HWND w = window_ ? window_ : nullptr;
    if (w) PostMessageA(w, WM_CLOSE, 0, 0);
    if (!w || WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, timeoutMs);
    }
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
  pi_ = {};
  window_ = nullptr;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(f);
  return ok && written == text.size();
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
  std::string temp = path + ".new";
  return WriteTextFile(temp, text) && MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

long long FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string ProgramFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  size_t slash = s.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : s.substr(0, slash);
}

}  // namespace qn3::bench
