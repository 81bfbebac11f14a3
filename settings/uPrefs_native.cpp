#include "settings/uPrefs.h"

namespace qn3 {

// The host build has no displays to ask.
bool IntersectsSomeDisplay(int, int, int, int) { return true; }

}  // namespace qn3
