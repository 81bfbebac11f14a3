#include "base/FileChecks.h"


namespace qn3 {

bool FileIsMissing(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_DRIVE;
}

// What the window's side and the worker share; the last of the two to let
// go of it frees it. Everything in it is guarded by the lock.
struct FileChecks::Shared {
  Shared(Notice n, MissingTest m) : notice(std::move(n)), isMissing(std::move(m)) {
    InitializeCriticalSection(&lock);
  }
  ~Shared() {
    if (wake) CloseHandle(wake);
    DeleteCriticalSection(&lock);
  }
  Shared(const Shared&) = delete;
  Shared& operator=(const Shared&) = delete;

  Notice notice;
  MissingTest isMissing;
  CRITICAL_SECTION lock;
  HANDLE wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);  // auto-reset: work or the end
  unsigned generation = 0;  // of the list the files below belong to
  std::vector<std::pair<size_t, std::wstring>> pending;  // from next on
  size_t next = 0;
  std::vector<size_t> missing;
  bool told = false;   // a notice is out that TakeMissing has not answered yet
  bool closed = false; // the window's side is gone
};

namespace {

// The worker calls little beyond the file test: a small stack (XP on take
// this as the reservation; 2000 commits it, which it can afford).
constexpr SIZE_T kStackBytes = 64 * 1024;

class Locked {
public:
  explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
  ~Locked() { LeaveCriticalSection(&lock_); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

private:
  CRITICAL_SECTION& lock_;
};

}  // namespace

FileChecks::FileChecks(Notice notice, MissingTest isMissing)
    : shared_(std::make_shared<Shared>(std::move(notice), std::move(isMissing))) {}

FileChecks::~FileChecks() {
  Locked locked(shared_->lock);
  shared_->closed = true;
  shared_->pending.clear();
  shared_->next = 0;
  if (shared_->wake) SetEvent(shared_->wake);
}

void FileChecks::Start(std::vector<std::pair<size_t, std::wstring>> files) {
  bool any = false;
  {
    Locked locked(shared_->lock);
    ++shared_->generation;
    shared_->pending.swap(files);  // the old list's rest is freed outside the lock
    shared_->next = 0;
    shared_->missing.clear();
    any = !shared_->pending.empty();
    if (shared_->wake) SetEvent(shared_->wake);
  }
  if (working_ || !any || !shared_->wake) return;
  // The worker holds its own share; its handle is not needed, as nobody
  // ever waits for it. Without a worker nothing is marked.
  auto* share = new std::shared_ptr<Shared>(shared_);
  if (HANDLE thread =
          CreateThread(nullptr, kStackBytes, &FileChecks::Work, share, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr)) {
    CloseHandle(thread);
    working_ = true;
  } else {
    delete share;
  }
}

std::vector<size_t> FileChecks::TakeMissing() {
  Locked locked(shared_->lock);
  shared_->told = false;
  return std::exchange(shared_->missing, {});
}

DWORD WINAPI FileChecks::Work(void* share) {
  const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(share));
  Shared& s = **owned;
  std::pair<size_t, std::wstring> file;
  unsigned generation = 0;
  // The next file to check, with the list it belongs to; false once the
  // window's side is gone. Start and the end set the event after changing
  // what it guards, so no wake-up is lost between the look and the wait.
  const auto next = [&] {
    for (;;) {
      {
        Locked locked(s.lock);
        if (s.closed) return false;
        if (s.next < s.pending.size()) {
          file = std::move(s.pending[s.next++]);
          generation = s.generation;
          return true;
        }
      }
      WaitForSingleObject(s.wake, INFINITE);
    }
  };
  while (next()) {
    bool missing = false;
    try {
      missing = s.isMissing(file.second);
    } catch (...) {
      // An answer that cannot be had marks nothing.
    }
    Locked locked(s.lock);
    if (s.closed) break;
    if (!missing || generation != s.generation) continue;
    try {
      s.missing.push_back(file.first);
      if (!s.told) s.told = s.notice();
    } catch (...) {
    }
  }
  return 0;
}

}  // namespace qn3
