#include "base/DllSearch.h"

namespace qn3 {

DllSearchPlan PlanDllSearch(const DllSearchOffer& offer) {
  // Vista (6.0) with KB2533623 has the narrowing, but after it the shell
  // link object cannot be created (7-Zip's DllSecur.c skips it on 6.0 for
  // that); the Help runtime and the file dialog are COM. Vista takes the
  // older way.
  const bool vista = (offer.version & 0xFFFF) == 0x0006;
  if (offer.setDefaultDllDirectories && !vista) return {true, false, false};
  return {false, offer.setDllDirectory, true};
}

}  // namespace qn3
