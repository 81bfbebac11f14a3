// Marks for scripts/bench-trace.sh, which inserts QN3_MARK lines into a copy
// of the sources (never into the tree itself; see marks.txt). Each mark
// takes the time since the program's first mark; the first also takes the
// time since the process was created. The mark "idle" (put on the
// benchmark's first WM_NULL, which it sends once the program is idle)
// appends the run as one line to the file that QN3_TRACE_FILE names:
//   PROGRAM created:MS NAME:MS NAME:MS ...
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace qn3::bench {

inline void Mark(const char* name) {
  static LARGE_INTEGER frequency, first;
  static char line[4096];
  static int used = 0;
  static bool written = false;
  if (written) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  if (!frequency.QuadPart) {
    QueryPerformanceFrequency(&frequency);
    first = now;
    using Precise = void(WINAPI*)(LPFILETIME);
    auto precise = reinterpret_cast<Precise>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME wall{}, created{}, exited, kernel, user;
    if (precise) precise(&wall);
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* program = path;
    for (DWORD i = 0; i < n; ++i)
      if (path[i] == '\\') program = path + i + 1;
    used = std::snprintf(line, sizeof line, "%s created:%.3f", program,
                         precise ? static_cast<double>(ticks(wall) - ticks(created)) / 1e4 : 0.0);
  }
  double ms = static_cast<double>(now.QuadPart - first.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
  if (used < static_cast<int>(sizeof line) - 64) used += std::snprintf(line + used, sizeof line - used, " %s:%.3f", name, ms);
  if (std::strcmp(name, "idle") != 0) return;
  written = true;
  line[used++] = '\n';
  char file[MAX_PATH];
  if (!GetEnvironmentVariableA("QN3_TRACE_FILE", file, MAX_PATH)) return;
  HANDLE h = CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD done;
  WriteFile(h, line, static_cast<DWORD>(used), &done, nullptr);
  CloseHandle(h);
}

}  // namespace qn3::bench

#define QN3_MARK(name) ::qn3::bench::Mark(name)
