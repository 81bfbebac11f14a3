// DLLs from the system folder only. The program is run from wherever it was
// unpacked (a Downloads folder, a shared folder), where anyone may have left
// a DLL of a system name: the loader would look there first.
#pragma once

#include <windows.h>

#include <utility>

namespace qn3 {

// Keeps the program's folder and the current folder out of the search for
// every DLL loaded from now on, by the program or by the system's own
// libraries, the way PlanDllSearch chooses: SetDefaultDllDirectories
// (Windows 8 on, 7 with KB2533623); elsewhere SetDllDirectoryA("") for the
// current folder (XP SP1 on) and kDllsLoadedByName loaded from the system
// folder for the life of the process. The first thing each program does.
void NarrowDllSearch() noexcept;

// A loaded DLL, freed with the owner.
class LibraryHandle {
public:
  LibraryHandle() = default;
  explicit LibraryHandle(HMODULE module) : module_(module) {}
  LibraryHandle(LibraryHandle&& other) noexcept : module_(std::exchange(other.module_, nullptr)) {}
  LibraryHandle& operator=(LibraryHandle&& other) noexcept {
    std::swap(module_, other.module_);
    return *this;
  }
  LibraryHandle(const LibraryHandle&) = delete;
  LibraryHandle& operator=(const LibraryHandle&) = delete;
  ~LibraryHandle() {
    if (module_) FreeLibrary(module_);
  }
  HMODULE get() const { return module_; }
  // The DLL stays loaded for the life of the process.
  HMODULE release() { return std::exchange(module_, nullptr); }
  explicit operator bool() const { return module_ != nullptr; }

  // A function of the DLL as its declared type; null when it lacks it.
  template <typename Function>
  Function Find(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name))) : nullptr;
  }

private:
  HMODULE module_ = nullptr;
};

// The DLL of that file name (no folder) from the system folder, by its full
// path, its own imports searched from there too; empty when it cannot be
// loaded.
LibraryHandle LoadSystemLibrary(const char* fileName) noexcept;

}  // namespace qn3
