// The file-open dialog, from the system folder's comdlg32.dll loaded at its
// first showing: only Browse needs it, so the program's start does not load
// that DLL and what it pulls in.
#pragma once

#include <windows.h>
#include <commdlg.h>

namespace qn3::ui {

// GetOpenFileNameA: false when cancelled, failed, or the DLL is missing.
bool ShowOpenDialog(OPENFILENAMEA& ofn);

}  // namespace qn3::ui
