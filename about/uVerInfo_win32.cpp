#include <windows.h>

#include "about/uVerInfo.h"

namespace qn3 {

namespace {

uint32_t BlockSize(const char* fileName) {
  DWORD unused = 0;
  return GetFileVersionInfoSizeA(fileName, &unused);
}

bool ReadBlock(const char* fileName, uint32_t size, void* block) {
  return GetFileVersionInfoA(fileName, 0, size, block) != 0;
}

bool Query(const void* block, const char* path, const void** value, uint32_t* length) {
  void* found = nullptr;
  UINT bytes = 0;
  if (!VerQueryValueA(block, path, &found, &bytes)) return false;
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
