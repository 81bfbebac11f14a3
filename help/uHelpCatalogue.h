// The program's view of the Help 2 namespace registry. Each call creates
// its own walker and releases everything it obtained before it returns;
// COM must be initialised on the calling thread.
#pragma once

#include "base/Strings.h"

namespace qn3 {

// True when the runtime's registry walker can be created and offers the
// walker interface. Never raises.
bool IsHelpApiAvailable() noexcept;

// Clears the list, then appends every registered namespace name in the
// runtime's order, each with its description and its collection file's
// path, in UTF-16 as registered ("" when it has none). True
// when the list then holds an entry. Raises EOleSysError, EIntfCastError
// or EOleException when the runtime fails; names read before the failure
// stay in the list.
bool EnumHelpNamespaces(TStrings& list);

}  // namespace qn3
