// The program started to open one namespace, or to say how it is called,
// without its main window: the same catalogue, settings, default viewer
// and launcher as the window's Open, and one message box for a failure.
#pragma once

#include <windows.h>

#include "app/uStartRequest.h"

namespace qn3 {

// Exit codes of a run without the window.
inline constexpr int kExitOpened = 0;
inline constexpr int kExitOpenFailed = 1;
inline constexpr int kExitUsage = 2;

// Opens the request's namespace as Open would with it selected, or shows
// the usage; the process's exit code. The settings file is read for the
// viewer and template only, and never written.
int RunStartRequest(HINSTANCE instance, const TStartRequest& request);

}  // namespace qn3
