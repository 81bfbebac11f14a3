#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/Displays.h"
#include "settings/uPrefs.h"

namespace qn3 {
namespace {

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK AddDisplay(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info))
    reinterpret_cast<std::vector<TDisplay>*>(data)->push_back({ToRect(info.rcMonitor), ToRect(info.rcWork)});
  return TRUE;
}

}  // namespace

bool IntersectsSomeDisplay(int left, int top, int width, int height) {
  std::vector<TDisplay> displays;
  EnumDisplayMonitors(nullptr, nullptr, AddDisplay, reinterpret_cast<LPARAM>(&displays));
  // A window of no size still has a place; test its corner. No display
  // answered: nothing to compare with, so the saved place is kept.
  return OverlapsSomeDisplay({left, top, left + std::max(width, 1), top + std::max(height, 1)}, displays);
}

}  // namespace qn3
