// The off-thread file checks with a check that blocks until the test lets
// it go, as a file on an unreachable share does: neither a list nor a
// newer list waits for it, the old list's answers are dropped, and the
// checks' end waits for nothing and leaves nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "base/FileChecks.h"

namespace qn3 {
namespace {

// Generous: only a broken worker comes near it.
constexpr DWORD kPatienceMs = 30000;

class Event {
public:
  explicit Event(bool manualReset = true) : handle_(CreateEventA(nullptr, manualReset, FALSE, nullptr)) {}
  ~Event() { CloseHandle(handle_); }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  void Set() const { SetEvent(handle_); }
  bool Wait() const { return WaitForSingleObject(handle_, kPatienceMs) == WAIT_OBJECT_0; }

private:
  HANDLE handle_;
};

// "slow" blocks until released; names that begin with "gone" are missing.
// The test holds one share of it and the worker another, for as long as
// it keeps its checks.
struct Checker {
  Event blocked, released, told{false};
  std::atomic<int> notices{0};
  FileChecks::Notice Notice() {
    return [this] {
      ++notices;
      told.Set();
      return true;
    };
  }
  static FileChecks::MissingTest Test(const std::shared_ptr<Checker>& self) {
    return [self](const std::wstring& path) {
      if (path == L"slow") {
        self->blocked.Set();
        self->released.Wait();
      }
      return path.rfind(L"gone", 0) == 0;
    };
  }
};

std::vector<size_t> Sorted(std::vector<size_t> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(FileChecks, NeitherAListNorANewerOneWaitsForABlockedCheck) {
  auto checker = std::make_shared<Checker>();
  FileChecks checks(checker->Notice(), Checker::Test(checker));
  checks.Start({{0, L"slow"}, {1, L"gone.old"}});
  ASSERT_TRUE(checker->blocked.Wait());
  // A refresh while the first file blocks: it returns, and nothing of the
  // old list is answered.
  checks.Start({{0, L"gone.a"}, {1, L"here"}, {2, L"gone.b"}});
  EXPECT_TRUE(checks.TakeMissing().empty());
  checker->released.Set();

  std::vector<size_t> missing;
  while (missing.size() < 2 && checker->told.Wait()) {
    for (size_t item : checks.TakeMissing()) missing.push_back(item);
  }
  EXPECT_EQ(Sorted(missing), (std::vector<size_t>{0, 2})) << "the old list's gone.old is dropped";
  EXPECT_LE(checker->notices.load(), 2);
}

TEST(FileChecks, TheEndWaitsForNothingAndTheWorkerLetsGoAfterwards) {
  auto checker = std::make_shared<Checker>();
  {
    FileChecks checks(checker->Notice(), Checker::Test(checker));
    checks.Start({{0, L"slow"}, {1, L"gone"}});
    ASSERT_TRUE(checker->blocked.Wait());
  }  // gone while the check blocks
  checker->released.Set();
  // The worker's share of the test goes with the shared state.
  for (DWORD waited = 0; checker.use_count() > 1 && waited < kPatienceMs; waited += 10) Sleep(10);
  EXPECT_EQ(checker.use_count(), 1) << "the worker kept what it shared";
  EXPECT_EQ(checker->notices.load(), 0) << "nothing is told after the end";
}

}  // namespace
}  // namespace qn3
