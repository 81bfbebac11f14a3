#include "base/SystemLibrary.h"

#include <string>

#include "base/DllSearch.h"

namespace qn3 {
namespace {

constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
constexpr DWORD kSearchUserDirs = 0x00000400;  // LOAD_LIBRARY_SEARCH_USER_DIRS

template <typename Function>
Function Kernel32Function(const char* name) {
  // Loaded in every process: nothing is loaded to find it.
  HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
  return kernel32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel32, name))) : nullptr;
}

}  // namespace

void NarrowDllSearch() noexcept {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  using SetDirectory = BOOL(WINAPI*)(LPCSTR);
  const auto narrow = Kernel32Function<SetDefaultDirectories>("SetDefaultDllDirectories");
  const auto setDirectory = Kernel32Function<SetDirectory>("SetDllDirectoryA");
  // The one place the program asks for the version: see PlanDllSearch.
  DllSearchOffer offer{narrow != nullptr, setDirectory != nullptr, GetVersion()};
  DllSearchPlan plan = PlanDllSearch(offer);
  if (plan.narrow) {
    if (narrow(kSearchSystem32 | kSearchUserDirs)) return;
    offer.setDefaultDllDirectories = false;  // refused: as a system without it
    plan = PlanDllSearch(offer);
  }
  if (plan.leaveCurrentFolder) setDirectory("");
  if (plan.preload)
    for (const char* name : kDllsLoadedByName) LoadSystemLibrary(name).release();
}

LibraryHandle LoadSystemLibrary(const char* fileName) noexcept {
  try {
    std::string path(MAX_PATH, '\0');
    UINT n = GetSystemDirectoryA(path.data(), static_cast<UINT>(path.size()));
    if (n >= path.size()) {
      path.resize(n);
      n = GetSystemDirectoryA(path.data(), static_cast<UINT>(path.size()));
    }
    if (n == 0 || n >= path.size()) return {};
    path.resize(n);
    path.append("\\").append(fileName);
    // The altered search looks for the DLL's own imports in its folder,
    // never in the program's.
    return LibraryHandle(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  } catch (...) {
    return {};
  }
}

}  // namespace qn3
