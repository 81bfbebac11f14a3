// The way each kind of system takes, from what its kernel32 exports and the
// version GetVersion reports there (build in the high word, minor and major
// in the low one).
#include <gtest/gtest.h>

#include "base/DllSearch.h"

namespace qn3 {
namespace {

TEST(DllSearch, EachSystemTakesTheWayItsKernelAllows) {
  struct Row {
    const char* system;
    DllSearchOffer offer;
    bool narrow, leaveCurrentFolder, preload;
  } rows[] = {
      {"11 23H2, manifested", {true, true, 0x5867000A}, true, false, false},
      {"10 as GetVersion tells it without a manifest", {true, true, 0x23F00206}, true, false, false},
      {"7 SP1 with KB2533623", {true, true, 0x1DB10106}, true, false, false},
      {"7 SP1 without it", {false, true, 0x1DB10106}, false, true, true},
      {"Vista SP2 with KB2533623", {true, true, 0x17720006}, false, true, true},
      {"Vista SP2 without it", {false, true, 0x17720006}, false, true, true},
      {"XP SP3", {false, true, 0x0A280105}, false, true, true},
      {"XP before SP1", {false, false, 0x0A280105}, false, false, true},
      {"2000 SP4", {false, false, 0x08930005}, false, false, true},
  };
  for (const Row& r : rows) {
    const DllSearchPlan plan = PlanDllSearch(r.offer);
    EXPECT_EQ(plan.narrow, r.narrow) << r.system;
    EXPECT_EQ(plan.leaveCurrentFolder, r.leaveCurrentFolder) << r.system;
    EXPECT_EQ(plan.preload, r.preload) << r.system;
  }
}

}  // namespace
}  // namespace qn3
