#include "base/Displays.h"

namespace qn3 {

TRect WorkspaceToScreen(const TRect& place, const TDisplay& display) {
  const int dx = display.work.left - display.monitor.left, dy = display.work.top - display.monitor.top;
  return {place.left + dx, place.top + dy, place.right + dx, place.bottom + dy};
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
