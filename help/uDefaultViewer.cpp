#include "help/uDefaultViewer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Exception.h"

namespace qn3 {

void TRegKey::Close() {
  if (key_) RegCloseKey(key_);
  key_ = nullptr;
}

bool TRegistryReader::OpenKeyReadOnly(const std::string& path) {
  key_.Close();
  // Some keys grant only part of KEY_READ; settle for less before giving up.
  const REGSAM requests[] = {KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
                             KEY_QUERY_VALUE};
  for (REGSAM access : requests) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root_, path.c_str(), 0, access, &key) == ERROR_SUCCESS) {
      key_.Reset(key);
      return true;
    }
  }
  return false;
}

bool TRegistryReader::ValueExists(const std::string& name) const {
  DWORD type = 0, size = 0;
  return RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

std::string TRegistryReader::ReadString(const std::string& name) const {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return {};
  // One zero byte more than reported, and only the bytes the read says it
  // wrote: a value that shrank in between leaves no stale bytes in the text.
  std::vector<char> data(size_t{size} + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got) !=
      ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '" + name + "'");
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
  got = std::min(got, size);
  return std::string(data.data(), strnlen(data.data(), got));
}

bool LocateDefaultViewerUnder(HKEY root, std::string& path) {
  path.clear();
  TRegistryReader reader(root);
  if (!reader.OpenKeyReadOnly(std::string("AppID") + '\\' + "dexplore.exe")) return false;
  if (!reader.ValueExists("AppID")) return false;
  std::string appId = reader.ReadString("AppID");
  if (appId.empty()) return false;
  reader.CloseKey();

  if (!reader.OpenKeyReadOnly("CLSID\\" + appId + "\\LocalServer32")) return false;
  std::string server = reader.ReadString("");
  server.erase(std::remove(server.begin(), server.end(), '"'), server.end());
  if (!FileExistsForViewer(server)) return false;
  path = server;
  return true;
}

bool LocateDefaultViewer(std::string& path) { return LocateDefaultViewerUnder(HKEY_CLASSES_ROOT, path); }

bool FileExistsForViewer(const std::string& path) {
  // FindFirstFileA would take these as a pattern and "find" some other file.
  if (path.find_first_of("*?") != std::string::npos) return false;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  FILETIME local{};
  WORD dosDate = 0, dosTime = 0;
  return FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) &&
         FileTimeToDosDateTime(&local, &dosDate, &dosTime);
}

}  // namespace qn3
