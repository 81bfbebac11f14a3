// Rules on the displays' rectangles that the platform reports for each
// monitor: the whole monitor and its work area (the monitor less the
// taskbar and other desktop toolbars), in screen coordinates.
#pragma once

#include <span>

namespace qn3 {

struct TRect {
  int left, top, right, bottom;
};

struct TDisplay {
  TRect monitor;
  TRect work;
};

// A window's restored place as the platform keeps it, in workspace
// coordinates (0,0 is the top-left of the work area), moved to screen
// coordinates on that display.
TRect WorkspaceToScreen(const TRect& place, const TDisplay& display);

// The rectangle moved just enough to lie inside the area (a work area);
// one larger than the area keeps its top-left corner inside.
TRect KeepInside(const TRect& place, const TRect& area);

// True when the rectangle overlaps some display's whole monitor, a place
// under the taskbar included; also true when there are no displays to ask.
bool OverlapsSomeDisplay(const TRect& place, std::span<const TDisplay> displays);

}  // namespace qn3
