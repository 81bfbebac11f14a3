// Stands in for the Help 2 viewer. When QN3_VIEWER_LOG names a file it
// appends one line
//   <module path> TAB <GetCommandLineA()> TAB flags=0x<hex> show=<n> LF
// and exits at once, so a test can see exactly how it was started. Without
// it, a small window shows the command line.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string ModulePath() {
  char buffer[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof(buffer));
  return std::string(buffer, n);
}

std::string LogLine() {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  char tail[64];
  std::snprintf(tail, sizeof(tail), "flags=0x%lx show=%u\n", static_cast<unsigned long>(startup.dwFlags),
                static_cast<unsigned>(startup.wShowWindow));
  return ModulePath() + '\t' + GetCommandLineA() + '\t' + tail;
}

// One write in append mode, so lines of viewers started together never mix.
bool AppendLine(const char* file, const std::string& line) {
  HANDLE h = CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == line.size();
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CREATE: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      HWND edit = CreateWindowExA(0, "EDIT", GetCommandLineA(),
                                  WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL,
                                  8, 8, rc.right - 16, rc.bottom - 16, hwnd, nullptr, nullptr, nullptr);
      SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int ShowWindowWithCommandLine(HINSTANCE instance, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "Qn3ViewerStandin";
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Help viewer (stand-in)", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 520, 160, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  char logFile[MAX_PATH * 2] = {};
  DWORD n = GetEnvironmentVariableA("QN3_VIEWER_LOG", logFile, sizeof(logFile));
  if (n > 0 && n < sizeof(logFile)) return AppendLine(logFile, LogLine()) ? 0 : 1;
  return ShowWindowWithCommandLine(instance, show);
}
