// Throughput of the settings reader and writer on texts far larger than a
// real settings file: thousands of property lines, and one long text value.
// Time per byte should stay flat as the size doubles.
#include <chrono>
#include <cstdio>
#include <string>

#include "tests/settings/TestHost.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double BestSeconds(F&& f) {
  double best = 1e9;
  for (int i = 0; i < 5; ++i) {
    auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - t0).count());
  }
  return best;
}

void Report(const char* what, size_t items, size_t bytes, double seconds) {
  std::printf("%-28s %9zu %10zu bytes %9.3f ms %8.1f MB/s %8.1f ns/byte\n", what, items, bytes, seconds * 1e3,
              bytes / seconds / 1e6, seconds * 1e9 / bytes);
}

// A value with plain runs, apostrophes and non-ASCII characters, so every
// writer path is taken.
std::string MixedValue(size_t bytes) {
  std::string s;
  s.reserve(bytes);
  const std::string piece = "C:\\Program Files\\Viewer's \xE9\x80 dexplore.exe /helpcol\t";
  while (s.size() < bytes) s += piece;
  s.resize(bytes);
  return s;
}

}  // namespace

int main() {
  using namespace qn3;
  test::TTestHost host;
  std::printf("%-28s %9s\n", "case", "size");
  for (size_t lines = 2000; lines <= 32000; lines *= 2) {
    std::string text = "object TPrefs\r\n";
    for (size_t i = 0; i < lines; ++i)
      text += (i % 3 == 0 ? "  Left = " : i % 3 == 1 ? "  Top = " : "  Tag = ") + std::to_string(i * 7919) + "\r\n";
    text += "end\r\n";
    TPrefs prefs(host, "", "");
    double s = BestSeconds([&] {
      if (!TextToComponent(text, nullptr, prefs)) std::abort();
    });
    Report("read property lines", lines, text.size(), s);
  }
  for (size_t mb4 = 1; mb4 <= 8; mb4 *= 2) {
    size_t bytes = mb4 * 256 * 1024;
    TPrefs prefs(host, "", "");
    prefs.SetViewer(MixedValue(bytes));
    std::string text;
    double w = BestSeconds([&] { text = WriteComponentText(prefs); });
    Report("write text value (in bytes)", bytes, text.size(), w);
    TPrefs copy(host, "", "");
    double r = BestSeconds([&] {
      if (!TextToComponent(text, nullptr, copy) || copy.Viewer() != prefs.Viewer()) std::abort();
    });
    Report("read text value (in bytes)", bytes, text.size(), r);
  }
  return 0;
}
