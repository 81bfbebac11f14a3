#include <windows.h>

#include <algorithm>

#include "settings/uPrefs.h"

namespace qn3 {
namespace {

struct TOverlapSearch {
  RECT rect;
  int monitors = 0;
  bool found = false;
};

BOOL CALLBACK CheckMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* search = reinterpret_cast<TOverlapSearch*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  ++search->monitors;
  RECT common;
  if (IntersectRect(&common, &search->rect, &info.rcWork)) search->found = true;
  return search->found ? FALSE : TRUE;
}

}  // namespace

bool IntersectsSomeWorkArea(int left, int top, int width, int height) {
  // A window of no size still has a place; test its corner.
  TOverlapSearch search{{left, top, left + std::max(width, 1), top + std::max(height, 1)}};
  EnumDisplayMonitors(nullptr, nullptr, CheckMonitor, reinterpret_cast<LPARAM>(&search));
  // No display answered: nothing to compare with, so keep the saved place.
  return search.found || search.monitors == 0;
}

}  // namespace qn3
