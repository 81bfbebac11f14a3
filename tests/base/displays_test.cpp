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

TEST(Displays, ABoxIsMovedJustEnoughToLieInsideTheWorkArea) {
  // The second monitor's work area; a box of 300 x 120.
  struct Row {
    TRect place, expected;
  } rows[] = {
      {{1500, 300, 1800, 420}, {1500, 300, 1800, 420}},  // inside: stays
      {{1200, 300, 1500, 420}, {1340, 300, 1640, 420}},  // over the left taskbar and the other monitor
      {{2400, -50, 2700, 70}, {2260, 0, 2560, 120}},     // past the right and the top edges
      {{1500, 980, 1800, 1100}, {1500, 904, 1800, 1024}},
      {{1000, 100, 2300, 200}, {1340, 100, 2640, 200}},  // wider than the area: its left edge inside
  };
  for (const Row& r : rows)
    EXPECT_TRUE(Same(KeepInside(r.place, kLeftBar.work), r.expected)) << r.place.left << "," << r.place.top;
}

}  // namespace
}  // namespace qn3
