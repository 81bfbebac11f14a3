#include "about/uDlgUtils.h"

#include <algorithm>

namespace qn3 {

ScreenPoint CenteredOrigin(const ScreenRect& on, int32_t width, int32_t height) {
  // Integer division in C++ truncates toward zero, which is the halving wanted.
  return {on.left + (on.right - on.left - width) / 2, on.top + (on.bottom - on.top - height) / 2};
}

ScreenPoint CenteredOriginOnScreen(const ScreenRect& on, int32_t width, int32_t height) {
  const ScreenPoint p = CenteredOrigin(on, width, height);
  return {std::max(p.x, 0), std::max(p.y, 0)};
}

Bounds Anchored(const Bounds& bounds, uint8_t anchors, int dx, int dy) {
  Bounds out = bounds;
  auto axis = [](int& start, int& size, bool nearEdge, bool farEdge, int delta) {
    if (nearEdge && farEdge)
      size += delta;
    else if (farEdge)
      start += delta;
  };
  axis(out.left, out.width, anchors & akLeft, anchors & akRight, dx);
  axis(out.top, out.height, anchors & akTop, anchors & akBottom, dy);
  return out;
}

int CaptionOverflow(std::span<const CaptionFit> captions) {
  int overflow = 0;
  for (const CaptionFit& c : captions) overflow = std::max(overflow, c.textWidth - c.labelWidth);
  return overflow;
}

}  // namespace qn3
