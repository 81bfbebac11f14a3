// qn3bench: the start-up, memory and refresh benchmarks, run under Wine by
// scripts/bench.sh in the bench tree's prefix with the stand-in runtime
// registered. Paired measurements alternate A B A B so that drift on a noisy
// machine hits both sides alike; the figures are medians.
//
//   qn3bench startup ROUNDS OUT.json   qn3.exe against bare.exe
//   qn3bench refresh ROUNDS OUT.json   Refresh with 10, 1000, 10000 names
//   qn3bench pair A.exe CLASS B.exe CLASS ROUNDS   any two programs' start-up,
//                                     for finding where start-up time goes
//
// Each prints a table and writes its figures as one JSON object.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "benchmarks/BenchProcess.h"
#include "benchmarks/BenchStats.h"

namespace qn3::bench {
namespace {

// The main window's class and the ids of its list and Refresh button; the
// program's tests drive it by the same names.
constexpr char kMainClass[] = "QN3Helper.Main";
constexpr char kBareClass[] = "QN3Bench.Bare";
constexpr int kCmbNamespace = 101;
constexpr int kBtnRefresh = 102;
constexpr DWORD kReadyTimeoutMs = 60000;

constexpr double kStartupTarget = 1.2;
constexpr double kMemoryTarget = 1.2;
constexpr long long kSizeTarget = 300 * 1024;
constexpr double kRefreshTargetMs = 100;
constexpr double kRefreshGrowthTarget = 11;

std::string Folder() { return ProgramFolder(); }
std::string NamesPath() { return Folder() + "\\bench-names.txt"; }

bool SetNames(int count) { return WriteFileAtomically(NamesPath(), NamesText(count)); }

void Fail(const char* what) {
  std::fprintf(stderr, "qn3bench: %s\n", what);
  std::exit(1);
}

struct Run {
  double ms = 0;
  size_t peak = 0;
};

Run StartOnce(const std::string& exe, const ReadyCondition& ready) {
  Program p;
  double t0 = Now();
  if (!p.Start(exe, Folder())) Fail(("cannot start " + exe).c_str());
  if (!p.WaitReady(ready, kReadyTimeoutMs)) Fail(("not ready in time: " + exe).c_str());
  Run run{(Now() - t0) * 1000, p.PeakWorkingSet()};
  p.Close();
  return run;
}

int Startup(int rounds, const std::string& out) {
  if (!SetNames(10)) Fail("cannot write the names file");
  const std::string qn3 = Folder() + "\\qn3.exe", bare = Folder() + "\\bare.exe";
  const ReadyCondition qn3Ready{kMainClass, kCmbNamespace}, bareReady{kBareClass, 0};
  // One unmeasured pair first: the first start of each loads its files.
  StartOnce(qn3, qn3Ready);
  StartOnce(bare, bareReady);
  std::vector<double> qn3Ms, bareMs, qn3Peak, barePeak;
  for (int i = 0; i < rounds; ++i) {
    Run a = StartOnce(qn3, qn3Ready);
    Run b = StartOnce(bare, bareReady);
    qn3Ms.push_back(a.ms);
    bareMs.push_back(b.ms);
    qn3Peak.push_back(a.peak / 1024.0);
    barePeak.push_back(b.peak / 1024.0);
  }
  double mq = Median(qn3Ms), mb = Median(bareMs), startRatio = Ratio(mq, mb);
  double pq = Median(qn3Peak), pb = Median(barePeak), memRatio = Ratio(pq, pb);
  long long size = FileSize(qn3);

  std::printf("Start-up (%d pairs, CreateProcess until the window is shown, filled and idle)\n%s\n", rounds,
              Table({{"program", "median ms", "min ms", "max ms"},
                     {"qn3.exe", Fixed(mq, 1), Fixed(*std::min_element(qn3Ms.begin(), qn3Ms.end()), 1),
                      Fixed(*std::max_element(qn3Ms.begin(), qn3Ms.end()), 1)},
                     {"bare.exe", Fixed(mb, 1), Fixed(*std::min_element(bareMs.begin(), bareMs.end()), 1),
                      Fixed(*std::max_element(bareMs.begin(), bareMs.end()), 1)},
                     {"ratio", Fixed(startRatio, 3), "target <= 1.2", startRatio <= kStartupTarget ? "met" : "MISSED"}})
                  .c_str());
  std::printf("Size and memory\n%s\n",
              Table({{"figure", "qn3.exe", "bare.exe", "ratio", "target", "result"},
                     {"peak working set KiB", Fixed(pq, 0), Fixed(pb, 0), Fixed(memRatio, 3), "<= 1.2",
                      memRatio > 0 && memRatio <= kMemoryTarget ? "met" : "MISSED"},
                     {"file size KiB", Fixed(size / 1024.0, 1), Fixed(FileSize(bare) / 1024.0, 1), "",
                      "<= 300", size >= 0 && size <= kSizeTarget ? "met" : "MISSED"}})
                  .c_str());

  JsonObject startup, memory, sizes;
  startup.Add("pairs", rounds).Add("qn3_ms_median", mq).Add("bare_ms_median", mb).Add("ratio", startRatio)
      .Add("target_ratio", kStartupTarget).Add("met", startRatio <= kStartupTarget).Add("qn3_ms", qn3Ms)
      .Add("bare_ms", bareMs);
  memory.Add("qn3_peak_working_set_kib", pq).Add("bare_peak_working_set_kib", pb).Add("ratio", memRatio)
      .Add("target_ratio", kMemoryTarget).Add("met", memRatio > 0 && memRatio <= kMemoryTarget);
  sizes.Add("qn3_exe_bytes", static_cast<int64_t>(size)).Add("bare_exe_bytes", static_cast<int64_t>(FileSize(bare)))
      .Add("target_bytes", static_cast<int64_t>(kSizeTarget)).Add("met", size >= 0 && size <= kSizeTarget);
  JsonObject all;
  all.AddRaw("startup", startup.Text()).AddRaw("memory", memory.Text()).AddRaw("size", sizes.Text());
  return WriteTextFile(out, all.Text() + "\n") ? 0 : 1;
}

// One Refresh as the user's click: BM_CLICK sent from outside returns after
// the click handler has refilled the list.
double RefreshOnce(HWND button, HWND combo, int expected) {
  DWORD_PTR result;
  double t0 = Now();
  if (!SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, kReadyTimeoutMs, &result)) Fail("Refresh hung");
  double ms = (Now() - t0) * 1000;
  LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  if (count != expected) {
    std::fprintf(stderr, "qn3bench: the list holds %ld names, not %d\n", static_cast<long>(count), expected);
    std::exit(1);
  }
  return ms;
}

int Refresh(int rounds, const std::string& out) {
  const int sizes[] = {10, 1000, 10000};
  if (!SetNames(sizes[0])) Fail("cannot write the names file");
  Program p;
  if (!p.Start(Folder() + "\\qn3.exe", Folder())) Fail("cannot start qn3.exe");
  if (!p.WaitReady({kMainClass, kCmbNamespace}, kReadyTimeoutMs)) Fail("qn3.exe not ready in time");
  HWND button = GetDlgItem(p.Window(), kBtnRefresh), combo = GetDlgItem(p.Window(), kCmbNamespace);
  if (!button || !IsWindowEnabled(button)) Fail("Refresh is not enabled");

  // The runtime reads its names file at each refresh, so one program sees
  // every size in turn; the first round warms up and is not counted.
  std::vector<std::vector<double>> ms(std::size(sizes));
  for (int r = 0; r <= rounds; ++r) {
    for (size_t s = 0; s < std::size(sizes); ++s) {
      if (!SetNames(sizes[s])) Fail("cannot write the names file");
      double t = RefreshOnce(button, combo, sizes[s]);
      if (r > 0) ms[s].push_back(t);
    }
  }
  p.Close();

  std::vector<double> medians;
  for (auto& m : ms) medians.push_back(Median(m));
  double growth = Ratio(medians[2], medians[1]);
  bool fastEnough = medians[2] <= kRefreshTargetMs, linear = growth > 0 && growth <= kRefreshGrowthTarget;

  std::vector<std::vector<std::string>> rows{{"namespaces", "median ms", "us per name"}};
  std::vector<std::string> json;
  for (size_t s = 0; s < std::size(sizes); ++s) {
    rows.push_back({std::to_string(sizes[s]), Fixed(medians[s], 2), Fixed(medians[s] * 1000 / sizes[s], 2)});
    json.push_back(JsonObject().Add("namespaces", sizes[s]).Add("ms_median", medians[s]).Add("ms", ms[s]).Text());
  }
  std::printf("Refresh (%d rounds, BM_CLICK round trip from outside)\n%s", rounds, Table(rows).c_str());
  std::printf("10000 names: %s ms (target <= 100: %s); 10000 / 1000 = %s (target <= 11: %s)\n\n",
              Fixed(medians[2], 2).c_str(), fastEnough ? "met" : "MISSED", Fixed(growth, 2).c_str(),
              linear ? "met" : "MISSED");

  JsonObject refresh;
  refresh.Add("rounds", rounds).AddRaw("sizes", JsonArray(json)).Add("ms_10000", medians[2])
      .Add("target_ms_10000", kRefreshTargetMs).Add("ratio_10000_1000", growth)
      .Add("target_ratio_10000_1000", kRefreshGrowthTarget).Add("met", fastEnough && linear);
  JsonObject all;
  all.AddRaw("refresh", refresh.Text());
  return WriteTextFile(out, all.Text() + "\n") ? 0 : 1;
}

int Pair(const std::string& a, const char* classA, const std::string& b, const char* classB, int rounds) {
  const ReadyCondition readyA{classA, 0}, readyB{classB, 0};
  StartOnce(a, readyA);
  StartOnce(b, readyB);
  std::vector<double> msA, msB, peakA, peakB;
  for (int i = 0; i < rounds; ++i) {
    Run ra = StartOnce(a, readyA), rb = StartOnce(b, readyB);
    msA.push_back(ra.ms);
    msB.push_back(rb.ms);
    peakA.push_back(ra.peak / 1024.0);
    peakB.push_back(rb.peak / 1024.0);
  }
  std::printf("%s\n", Table({{"program", "median ms", "peak working set KiB"},
                             {a, Fixed(Median(msA), 1), Fixed(Median(peakA), 0)},
                             {b, Fixed(Median(msB), 1), Fixed(Median(peakB), 0)},
                             {"ratio", Fixed(Ratio(Median(msA), Median(msB)), 3),
                              Fixed(Ratio(Median(peakA), Median(peakB)), 3)}})
                           .c_str());
  return 0;
}

}  // namespace
}  // namespace qn3::bench

int main(int argc, char** argv) {
  using namespace qn3::bench;
  if (argc == 7 && std::string(argv[1]) == "pair") return Pair(argv[2], argv[3], argv[4], argv[5], std::atoi(argv[6]));
  if (argc != 4) {
    std::fprintf(stderr, "usage: qn3bench startup|refresh ROUNDS OUT.json | pair A.exe CLASS B.exe CLASS ROUNDS\n");
    return 2;
  }
  int rounds = std::atoi(argv[2]);
  if (rounds < 1) rounds = 1;
  // The stand-in runtime of every program started here lists this file.
  SetEnvironmentVariableA("HXSTANDIN_NAMESPACES", NamesPath().c_str());
  std::string mode = argv[1];
  if (mode == "startup") return Startup(rounds, argv[3]);
  if (mode == "refresh") return Refresh(rounds, argv[3]);
  std::fprintf(stderr, "qn3bench: unknown benchmark %s\n", argv[1]);
  return 2;
}
