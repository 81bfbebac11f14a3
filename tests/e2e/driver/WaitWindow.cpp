// e2e-wait-window CLASS [SECONDS [DROP-ID]]: waits until a visible window of
// CLASS exists (any process) and prints "left top right bottom" of it in
// screen coordinates. With DROP-ID, it first drops the drop-down list of
// that control identifier and prints the rectangle that holds both the
// window and the dropped list. Exit 0 when found, 1 on timeout, 2 for
// wrong arguments.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct DroppedList {
  DWORD pid;
  HWND found;
};

// The dropped list is a top-level window of the program's own; asking the
// combo box for it (GetComboBoxInfo) fails from another process under Wine.
BOOL CALLBACK FindDroppedList(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DroppedList*>(param);
  char name[32] = {};
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name) ||
      lstrcmpiA(name, "ComboLBox") != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

// The window and, when asked, its dropped list.
RECT Shown(HWND window, int dropId) {
  RECT r{};
  GetWindowRect(window, &r);
  HWND combo = dropId ? GetDlgItem(window, dropId) : nullptr;
  if (!combo) return r;
  // Dropped before the program is idle, the list would close again when
  // the window takes the foreground.
  DroppedList search{0, nullptr};
  GetWindowThreadProcessId(window, &search.pid);
  if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, search.pid)) {
    WaitForInputIdle(process, 5000);
    CloseHandle(process);
  }
  SendMessageTimeoutA(combo, CB_SHOWDROPDOWN, TRUE, 0, SMTO_NORMAL, 5000, nullptr);
  EnumWindows(FindDroppedList, reinterpret_cast<LPARAM>(&search));
  RECT list{};
  if (!search.found || !GetWindowRect(search.found, &list)) return r;
  return {std::min(r.left, list.left), std::min(r.top, list.top), std::max(r.right, list.right),
          std::max(r.bottom, list.bottom)};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: e2e-wait-window CLASS [SECONDS [DROP-ID]]\n");
    return 2;
  }
  const DWORD limit = (argc >= 3 ? std::strtoul(argv[2], nullptr, 10) : 30) * 1000;
  const int dropId = argc == 4 ? std::atoi(argv[3]) : 0;
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(argv[1], nullptr);
    if (window && IsWindowVisible(window)) {
      const RECT r = Shown(window, dropId);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
      return 0;
    }
    if (GetTickCount() - start >= limit) return 1;
    Sleep(20);
  }
}
