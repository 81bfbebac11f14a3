// Shared by the launch tests under Wine: the stand-in viewer beside the
// test program, scratch folders, and the viewer log it writes.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace qn3::test {

inline std::string ExeDir() {
  char buffer[MAX_PATH * 2] = {};
  std::string path(buffer, GetModuleFileNameA(nullptr, buffer, sizeof(buffer)));
  return path.substr(0, path.find_last_of('\\'));
}

inline std::string StandinViewer() { return ExeDir() + "\\viewer-standin.exe"; }

inline bool WriteWholeFile(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) && written == data.size();
  CloseHandle(h);
  return ok;
}

inline std::string ReadWholeFile(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string data;
  char chunk[4096];
  DWORD n = 0;
  while (ReadFile(h, chunk, sizeof(chunk), &n, nullptr) && n > 0) data.append(chunk, n);
  CloseHandle(h);
  return data;
}

// Removes a folder tree, files first.
inline void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(dir.c_str());
}

// A fresh folder below the temp folder, removed with everything in it.
class ScratchDir {
public:
  explicit ScratchDir(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    path_ = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~ScratchDir() { RemoveTree(path_); }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

// A copy of the stand-in viewer at a chosen path, deleted afterwards along
// with the folders it had to create.
class PlantedViewer {
public:
  explicit PlantedViewer(std::string path) : path_(std::move(path)) {
    for (size_t at = path_.find('\\', 3); at != std::string::npos; at = path_.find('\\', at + 1)) {
      std::string dir = path_.substr(0, at);
      if (CreateDirectoryA(dir.c_str(), nullptr)) madeDirs_.push_back(dir);
    }
    ok_ = CopyFileA(StandinViewer().c_str(), path_.c_str(), FALSE) != FALSE;
  }
  ~PlantedViewer() {
    DeleteFileA(path_.c_str());
    for (auto it = madeDirs_.rbegin(); it != madeDirs_.rend(); ++it) RemoveDirectoryA(it->c_str());
  }
  PlantedViewer(const PlantedViewer&) = delete;
  PlantedViewer& operator=(const PlantedViewer&) = delete;
  bool Ok() const { return ok_; }
  const std::string& Path() const { return path_; }

private:
  std::string path_;
  std::vector<std::string> madeDirs_;
  bool ok_ = false;
};

// One line of the stand-in viewer's log.
struct ViewerStart {
  std::string module, commandLine, startup;
};

// Points QN3_VIEWER_LOG of this process, and so of every viewer it starts,
// at a fresh file, and reads the lines the viewers append.
class ViewerLog {
public:
  explicit ViewerLog(const std::string& dir) : path_(dir + "\\viewer.log") {
    DeleteFileA(path_.c_str());
    SetEnvironmentVariableA("QN3_VIEWER_LOG", path_.c_str());
  }
  ~ViewerLog() { SetEnvironmentVariableA("QN3_VIEWER_LOG", nullptr); }
  ViewerLog(const ViewerLog&) = delete;
  ViewerLog& operator=(const ViewerLog&) = delete;

  const std::string& Path() const { return path_; }

  std::vector<ViewerStart> Lines() const {
    std::vector<ViewerStart> lines;
    std::string data = ReadWholeFile(path_);
    size_t start = 0;
    for (size_t end; (end = data.find('\n', start)) != std::string::npos; start = end + 1) {
      std::string line = data.substr(start, end - start);
      size_t tab1 = line.find('\t'), tab2 = line.rfind('\t');
      if (tab1 == std::string::npos || tab1 == tab2) continue;
      lines.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return lines;
  }

  // Waits until at least count lines are there; the lines found by then.
  std::vector<ViewerStart> WaitFor(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<ViewerStart> lines = Lines();
    while (lines.size() < count && std::chrono::steady_clock::now() < deadline) {
      Sleep(20);
      lines = Lines();
    }
    return lines;
  }

private:
  std::string path_;
};

}  // namespace qn3::test
