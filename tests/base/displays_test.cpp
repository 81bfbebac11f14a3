// The displays' rules with made-up monitors: a taskbar at the top or the
// left moves the work area's origin, which the platform's own displays
// here never do.
#include <gtest/gtest.h>

#include <vector>

#include "base/Displays.h"

namespace qn3 {
namespace {

// 1280 x 1024 with a 40-pixel taskbar at the top, and a second monitor to
// its right with one of 60 pixels at the left.
const TDisplay kTopBar{{0, 0, 1280, 1024}, {0, 40, 1280, 1024}};
const TDisplay kLeftBar{{1280, 0, 2560, 1024}, {1340, 0, 2560, 1024}};

bool Same(const TRect& a, const TRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Displays, WorkspacePlaceMovesByTheWorkAreasOffset) {
  const TRect place{100, 50, 463, 189};
  EXPECT_TRUE(Same(WorkspaceToScreen(place, kTopBar), {100, 90, 463, 229}));
  EXPECT_TRUE(Same(WorkspaceToScreen(place, kLeftBar), {160, 50, 523, 189}));
  const TDisplay noBar{{0, 0, 1024, 768}, {0, 0, 1024, 738}};  // taskbar at the bottom: no offset
  EXPECT_TRUE(Same(WorkspaceToScreen(place, noBar), place));
}

TEST(Displays, APlaceIsOffScreenOnlyWhenItMissesEveryMonitor) {
  const std::vector<TDisplay> both{kTopBar, kLeftBar};
  struct Row {
    TRect place;
    bool on;
  } rows[] = {
      {{200, 5, 563, 35}, true},         // only under the top taskbar
      {{1290, 100, 1330, 200}, true},    // only under the left taskbar
      {{-362, 0, 1, 139}, true},         // one pixel on screen
      {{-363, 0, 0, 139}, false},        // touching the edge is not overlapping
      {{2560, 0, 2923, 139}, false},     // right of the second monitor
      {{-30000, -30000, -29637, -29861}, false},
  };
  for (const Row& r : rows) EXPECT_EQ(OverlapsSomeDisplay(r.place, both), r.on) << r.place.left << "," << r.place.top;
  EXPECT_TRUE(OverlapsSomeDisplay({-30000, -30000, -29637, -29861}, {})) << "no display to compare with";
}

}  // namespace
}  // namespace qn3
