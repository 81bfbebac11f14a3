// Which of a list's files are missing, found off the window's thread: a
// file on an unreachable network share can take many seconds to answer,
// and the window must not wait for it. One worker thread, started with the
// first list, checks one file after the other; a missing one is told
// through the notice (the window posts itself a message), and the window
// takes the answers on its own thread. A new list drops what is left of
// the old one, answers included. Destroying the object waits for nothing:
// a check in progress finishes on the worker, which then ends and frees
// what it shared; nothing is told after that.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qn3 {

// True when the path names no file: neither it nor its folder is there.
// A file that cannot be reached or read is not called missing.
bool FileIsMissing(const std::wstring& path);

class FileChecks {
public:
  // Runs on the worker when the first missing file of a batch is found;
  // false when the notice could not be given (it is tried again then).
  using Notice = std::function<bool()>;
  using MissingTest = std::function<bool(const std::wstring& path)>;

  explicit FileChecks(Notice notice, MissingTest isMissing = FileIsMissing);
  ~FileChecks();
  FileChecks(const FileChecks&) = delete;
  FileChecks& operator=(const FileChecks&) = delete;

  // Checks these files, each with the item it belongs to, in this order,
  // instead of whatever was still to be checked. Never waits.
  void Start(std::vector<std::pair<size_t, std::wstring>> files);
  // The items of the current list found missing since the last call.
  std::vector<size_t> TakeMissing();

private:
  struct Shared;
  static DWORD WINAPI Work(void* shared);

  std::shared_ptr<Shared> shared_;
  bool working_ = false;
};

}  // namespace qn3
