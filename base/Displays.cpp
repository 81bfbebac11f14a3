#include "base/Displays.h"

namespace qn3 {

TRect WorkspaceToScreen(const TRect& place, const TDisplay& display) {
  const int dx = display.work.left - display.monitor.left, dy = display.work.top - display.monitor.top;
  return {place.left + dx, place.top + dy, place.right + dx, place.bottom + dy};
}

namespace {

// The start of a span of that length moved inside [low, high).
int Inside(int start, int length, int low, int high) {
  if (start + length > high) start = high - length;
  return start < low ? low : start;
}

}  // namespace

TRect KeepInside(const TRect& place, const TRect& area) {
  const int width = place.right - place.left, height = place.bottom - place.top;
  const int left = Inside(place.left, width, area.left, area.right);
  const int top = Inside(place.top, height, area.top, area.bottom);
  return {left, top, left + width, top + height};
}

bool OverlapsSomeDisplay(const TRect& place, std::span<const TDisplay> displays) {
  if (displays.empty()) return true;
  for (const TDisplay& d : displays) {
    const TRect& m = d.monitor;
    if (place.left < m.right && m.left < place.right && place.top < m.bottom && m.top < place.bottom) return true;
  }
  return false;
}

}  // namespace qn3
