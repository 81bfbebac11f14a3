// e2e-wait-window CLASS [SECONDS]: waits until a visible window of CLASS
// exists (any process) and prints "left top right bottom" of it in screen
// coordinates. Exit 0 when found, 1 on timeout, 2 for wrong arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: e2e-wait-window CLASS [SECONDS]\n");
    return 2;
  }
  const DWORD limit = (argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 30) * 1000;
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(argv[1], nullptr);
    if (window && IsWindowVisible(window)) {
      RECT r{};
      GetWindowRect(window, &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
      return 0;
    }
    if (GetTickCount() - start >= limit) return 1;
    Sleep(20);
  }
}
