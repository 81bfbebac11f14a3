// File and folder calls on Windows: the settings location, the read with
// its share mode, and the save by a new file that replaces the old one.
#include <windows.h>

#include <utility>

#include "base/AnsiText.h"
#include "settings/uAppState.h"
#include "settings/uSpecialFld.h"

namespace qn3 {
namespace {

class THandle {
public:
  explicit THandle(HANDLE h) : h_(h) {}
  ~THandle() {
    if (Valid()) CloseHandle(h_);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE Get() const { return h_; }
  // Closes now; a failed close counts, since buffered data may be lost.
  bool Close() {
    HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
    return CloseHandle(h) != FALSE;
  }

private:
  HANDLE h_;
};

bool IsNtFamily() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool DirectoryExists(const std::string& dir) {
  DWORD a = GetFileAttributesA(dir.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Separators are found by characters: 0x5C is also a trail byte in the
// double-byte code pages.
size_t LastSeparator(const std::string& path) { return FindLastOf(path, "\\:", IsAnsiLeadByte); }

std::string ExtractFilePath(const std::string& path) {
  size_t sep = LastSeparator(path);
  return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

// Creates the directory and every missing parent; drive roots and UNC
// share names are taken as given.
bool ForceDirectories(std::string dir) {
  while (!dir.empty() && dir.back() == '\\') dir.pop_back();
  if (dir.size() < 3 || DirectoryExists(dir) || ExtractFilePath(dir) == dir) return true;
  if (!ForceDirectories(ExtractFilePath(dir))) return false;
  return CreateDirectoryA(dir.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

std::string SettingsFileLocator(const std::string& subFolder, const std::string& programPath, const std::string& ext) {
  if (IsNtFamily()) {
    size_t sep = LastSeparator(programPath);
    std::string name =
        ChangeFileExt(sep == std::string::npos ? programPath : programPath.substr(sep + 1), ext, IsAnsiLeadByte);
    std::string folder;
    if (GetSpecialFolderPath(kCsidlAppData, folder)) {
      std::string dir = folder + subFolder;
      if (ForceDirectories(dir) && DirectoryExists(dir)) return dir + name;
    }
  }
  return ChangeFileExt(programPath, ext, IsAnsiLeadByte);
}

std::string ProgramFilePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

bool ReadSettingsFile(const std::string& path, std::string& bytes) {
  THandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!ReadFile(file.Get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr) || n == 0)
      return false;
    done += n;
  }
  return true;
}

bool WriteSettingsFile(const std::string& path, std::string_view bytes) {
  std::string dir = ExtractFilePath(path);
  char temp[MAX_PATH] = {};
  if (!GetTempFileNameA(dir.empty() ? "." : dir.c_str(), "qn3", 0, temp)) return false;
  bool ok = false;
  {
    THandle file(CreateFileA(temp, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr));
    if (file.Valid()) {
      DWORD written = 0;
      ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
      ok = FlushFileBuffers(file.Get()) && ok;
      ok = file.Close() && ok;
    }
  }
  ok = ok && MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) DeleteFileA(temp);
  return ok;
}

bool ForceFileFolder(const std::string& path) {
  std::string dir = ExtractFilePath(path);
  return dir.empty() || (ForceDirectories(dir) && DirectoryExists(dir));
}

bool SettingsFileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool CopySettingsFile(const std::string& path, const std::string& copyPath) {
  return CopyFileA(path.c_str(), copyPath.c_str(), FALSE) != FALSE;
}

}  // namespace qn3
