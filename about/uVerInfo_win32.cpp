#include <windows.h>

#include "about/uVerInfo.h"
#include "base/SystemLibrary.h"

namespace qn3 {

namespace {

// version.dll is no system-protected DLL from Windows 7 on: loaded on first
// use from the system folder, never imported, and kept to the end.
struct VersionLibrary {
  using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using ReadFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

  VersionLibrary() : library(LoadSystemLibrary("version.dll")) {
    size = library.Find<SizeFn>("GetFileVersionInfoSizeA");
    read = library.Find<ReadFn>("GetFileVersionInfoA");
    query = library.Find<QueryFn>("VerQueryValueA");
    // All three or none: a block is only read when it can be queried.
    if (!size || !read || !query) size = nullptr, read = nullptr, query = nullptr;
  }

  LibraryHandle library;
  SizeFn size = nullptr;
  ReadFn read = nullptr;
  QueryFn query = nullptr;
};

const VersionLibrary& Version() {
  static const VersionLibrary library;
  return library;
}

uint32_t BlockSize(const char* fileName) {
  DWORD unused = 0;
  const auto size = Version().size;
  return size ? size(fileName, &unused) : 0;
}

bool ReadBlock(const char* fileName, uint32_t size, void* block) {
  const auto read = Version().read;
  return read && read(fileName, 0, size, block) != 0;
}

bool Query(const void* block, const char* path, const void** value, uint32_t* length) {
  const auto query = Version().query;
  void* found = nullptr;
  UINT bytes = 0;
  if (!query || !query(block, path, &found, &bytes)) return false;
  *value = found;
  *length = bytes;
  return true;
}

}  // namespace

const VersionInfoApi& Win32VersionInfoApi() {
  static constexpr VersionInfoApi api{BlockSize, ReadBlock, Query};
  return api;
}

bool GetVersionString(const std::string& fileName, std::string_view keyName, std::string& value) {
  return GetVersionStringWith(Win32VersionInfoApi(), fileName, keyName, value);
}

bool GetVersionItem(const std::string& fileName, TVersionKey key, std::string& value) {
  return GetVersionString(fileName, kVersionKeyNames[static_cast<int>(key)], value);
}

}  // namespace qn3
