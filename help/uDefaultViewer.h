// Finding the installed default viewer through its COM registration:
// AppID\dexplore.exe "AppID", then CLSID\<that>\LocalServer32, read only.
#pragma once

#include <windows.h>

#include <string>

namespace qn3 {

// An open registry key, closed when it goes.
class TRegKey {
public:
  TRegKey() = default;
  ~TRegKey() { Close(); }
  TRegKey(const TRegKey&) = delete;
  TRegKey& operator=(const TRegKey&) = delete;
  HKEY Get() const { return key_; }
  void Reset(HKEY key) {
    Close();
    key_ = key;
  }
  void Close();

private:
  HKEY key_ = nullptr;
};

// Reads text values of one key at a time below a root key.
class TRegistryReader {
public:
  explicit TRegistryReader(HKEY root) : root_(root) {}

  // Opens path below the root for reading, trying ever smaller access
  // requests; closes the key open before. False when none is granted.
  bool OpenKeyReadOnly(const std::string& path);
  void CloseKey() { key_.Close(); }
  // The open key has a value of that name, of any type.
  bool ValueExists(const std::string& name) const;
  // The value as text up to its first NUL; empty when it is missing or
  // holds no bytes. Raises ERegistryException when the data cannot be read
  // or is not text. An empty name reads the key's default value.
  std::string ReadString(const std::string& name) const;

private:
  HKEY root_;
  TRegKey key_;
};

// The registered viewer's path with its quotation marks removed, when it
// names an existing file. path is emptied first and set only on true.
// Registry errors other than missing keys and values propagate.
bool LocateDefaultViewer(std::string& path);
// The same lookup below another root, for a tree that stands in for it.
bool LocateDefaultViewerUnder(HKEY root, std::string& path);

// An existing file, not a folder, whose last-write time has a DOS form
// (1980 to 2107). A path with wildcards counts as missing.
bool FileExistsForViewer(const std::string& path);

}  // namespace qn3
