// Which way the program keeps the DLLs of its own folder and of the current
// folder out of what is loaded for it, chosen from what the system offers.
// Windows-free, so every kind of system is a row of a native test.
#pragma once

#include <cstdint>

namespace qn3 {

// What kernel32 exports, and the version that GetVersion reports (major in
// the low byte, minor in the next).
struct DllSearchOffer {
  bool setDefaultDllDirectories = false;  // 8 on; 7 and Vista with KB2533623
  bool setDllDirectory = false;           // XP SP1 on
  std::uint32_t version = 0;
};

// The steps to take, in this order.
struct DllSearchPlan {
  bool narrow = false;              // SetDefaultDllDirectories: the system folder only
  bool leaveCurrentFolder = false;  // SetDllDirectoryA("")
  bool preload = false;             // kDllsLoadedByName, from the system folder
};

DllSearchPlan PlanDllSearch(const DllSearchOffer& offer);

// Where the search cannot be narrowed, the program's folder stays first in
// it. The system's libraries load these by bare name on the program's
// behalf; loaded once from the system folder by full path, a later load by
// bare name finds them loaded and searches nothing.
inline constexpr const char* kDllsLoadedByName[] = {
    "uxtheme.dll",  "userenv.dll", "setupapi.dll", "apphelp.dll", "propsys.dll", "dwmapi.dll", "cryptbase.dll",
    "oleacc.dll",   "clbcatq.dll", "version.dll",
    // The file dialog's views: the shell's sharing handler and shortcut
    // resolution, both loaded by bare name on XP.
    "ntshrui.dll", "linkinfo.dll"};

}  // namespace qn3
