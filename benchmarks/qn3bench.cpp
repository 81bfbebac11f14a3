// qn3bench: the start-up, memory and refresh benchmarks, run under Wine by
// scripts/bench.sh in the bench tree's prefix with the stand-in runtime
// registered. Paired measurements alternate A B A B so that drift on a noisy
// machine hits both sides alike; the figures are medians.
//
//   qn3bench startup ROUNDS OUT.json   qn3.exe against bare.exe and floor.exe
//   qn3bench refresh ROUNDS OUT.json   Refresh with 10, 1000, 10000 names,
//                                     descriptions and collection paths
//   qn3bench memory ROUNDS OUT.json    memory after ROUNDS refreshes of 100 names
//   qn3bench open ROUNDS OUT.json      qn3.exe /open NAME until the viewer runs
//   qn3bench compare ROUNDS OUT.json EXE EXE...   start-up and memory of any
//                                     programs against the first, for finding
//                                     where start-up goes (scripts/bench-pieces.sh)
//
// Each prints a table and writes its figures as one JSON object.
#include <windows.h>
#include <psapi.h>

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
constexpr char kFloorClass[] = "QN3Bench.Floor";
constexpr int kCmbNamespace = 101;
constexpr int kBtnRefresh = 102;
constexpr DWORD kReadyTimeoutMs = 60000;

constexpr double kStartupTarget = 1.2;
constexpr double kMemoryTarget = 1.2;
// Against the floor, both start-up and memory.
constexpr double kFloorTarget = 1.05;
// The bound the native tests hold the shipped qn3.exe to.
constexpr long long kSizeTarget = QN3_EXE_SIZE_BOUND;
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

// One side of a start-up comparison: its runs' times and peaks.
struct Series {
  std::vector<double> ms, peakKib;
  void Add(const Run& run) {
    ms.push_back(run.ms);
    peakKib.push_back(run.peak / 1024.0);
  }
  double Ms() const { return Median(ms); }
  double PeakKib() const { return Median(peakKib); }
  std::string MinMs() const { return Fixed(*std::min_element(ms.begin(), ms.end()), 1); }
  std::string MaxMs() const { return Fixed(*std::max_element(ms.begin(), ms.end()), 1); }
};

// qn3.exe against one yardstick, in pairs of its own.
struct Comparison {
  const char* name;  // "bare" or "floor"
  double startupTarget, memoryTarget;
  Series qn3, other;
  double StartRatio() const { return Ratio(qn3.Ms(), other.Ms()); }
  // The median of the pairs' own ratios: less moved by load that changes
  // from one pair to the next.
  double PairRatio() const { return Median(Ratios(qn3.ms, other.ms)); }
  double MemRatio() const { return Ratio(qn3.PeakKib(), other.PeakKib()); }
  bool StartMet() const { return StartRatio() > 0 && StartRatio() <= startupTarget; }
  bool MemMet() const { return MemRatio() > 0 && MemRatio() <= memoryTarget; }
};

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

void AddStartup(const Comparison& c, JsonObject& o) {
  std::string other = c.name;
  o.Add("qn3_ms_median", c.qn3.Ms()).Add(other + "_ms_median", c.other.Ms()).Add("ratio", c.StartRatio())
      .Add("ratio_per_pair_median", c.PairRatio()).Add("target_ratio", c.startupTarget).Add("met", c.StartMet()).Add("qn3_ms", c.qn3.ms)
      .Add(other + "_ms", c.other.ms);
}

void AddMemory(const Comparison& c, JsonObject& o) {
  std::string other = c.name;
  o.Add("qn3_peak_working_set_kib", c.qn3.PeakKib()).Add(other + "_peak_working_set_kib", c.other.PeakKib())
      .Add("ratio", c.MemRatio()).Add("target_ratio", c.memoryTarget).Add("met", c.MemMet());
}

int Startup(int rounds, const std::string& out) {
  if (!SetNames(10)) Fail("cannot write the names file");
  const std::string qn3 = Folder() + "\\qn3.exe", bare = Folder() + "\\bare.exe", floor = Folder() + "\\floor.exe";
  const ReadyCondition qn3Ready{kMainClass, kCmbNamespace}, bareReady{kBareClass, 0},
      floorReady{kFloorClass, kCmbNamespace};
  // One unmeasured round first: the first start of each loads its files.
  StartOnce(qn3, qn3Ready);
  StartOnce(bare, bareReady);
  StartOnce(floor, floorReady);
  Comparison withBare{"bare", kStartupTarget, kMemoryTarget, {}, {}}, withFloor{"floor", kFloorTarget, kFloorTarget, {}, {}};
  // qn3 bare qn3 floor, round after round: each yardstick has its own pairs.
  for (int i = 0; i < rounds; ++i) {
    withBare.qn3.Add(StartOnce(qn3, qn3Ready));
    withBare.other.Add(StartOnce(bare, bareReady));
    withFloor.qn3.Add(StartOnce(qn3, qn3Ready));
    withFloor.other.Add(StartOnce(floor, floorReady));
  }
  long long size = FileSize(qn3);
  bool sizeMet = size >= 0 && size <= kSizeTarget;

  std::vector<std::vector<std::string>> times{{"pair", "qn3 median ms", "other median ms", "other min..max ms",
                                               "ratio", "per pair", "target", "result"}},
      peaks{{"pair", "qn3 KiB", "other KiB", "ratio", "target", "result"}};
  for (const Comparison* c : {&withBare, &withFloor}) {
    std::string pair = std::string("qn3 / ") + c->name;
    times.push_back({pair, Fixed(c->qn3.Ms(), 1), Fixed(c->other.Ms(), 1), c->other.MinMs() + ".." + c->other.MaxMs(),
                     Fixed(c->StartRatio(), 3), Fixed(c->PairRatio(), 3), "<= " + Fixed(c->startupTarget, 2),
                     Verdict(c->StartMet())});
    peaks.push_back({pair, Fixed(c->qn3.PeakKib(), 0), Fixed(c->other.PeakKib(), 0), Fixed(c->MemRatio(), 3),
                     "<= " + Fixed(c->memoryTarget, 2), Verdict(c->MemMet())});
  }
  std::printf("Start-up (%d pairs with each, CreateProcess until the window is shown, filled and idle)\n%s\n", rounds,
              Table(times).c_str());
  std::printf("Peak working set (medians of the same runs)\n%s\n", Table(peaks).c_str());
  std::printf("qn3.exe file size, stripped: %s KiB (target <= %s: %s)\n\n", Fixed(size / 1024.0, 1).c_str(),
              Fixed(kSizeTarget / 1024.0, 0).c_str(), Verdict(sizeMet));

  // The bare figures keep their flat keys; the floor's are an object of
  // their own beside them, with the same keys.
  JsonObject startup, memory, sizes, startupFloor, memoryFloor;
  startup.Add("pairs", rounds);
  AddStartup(withBare, startup);
  AddStartup(withFloor, startupFloor);
  startup.AddRaw("floor", startupFloor.Text());
  AddMemory(withBare, memory);
  AddMemory(withFloor, memoryFloor);
  memory.AddRaw("floor", memoryFloor.Text());
  sizes.Add("qn3_exe_bytes", static_cast<int64_t>(size)).Add("bare_exe_bytes", static_cast<int64_t>(FileSize(bare)))
      .Add("floor_exe_bytes", static_cast<int64_t>(FileSize(floor)))
      .Add("target_bytes", static_cast<int64_t>(kSizeTarget)).Add("met", sizeMet);
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

// The program's memory after Refresh upon Refresh of the same names, as a
// launcher left open for weeks pays it: the working set read from outside
// after warming up and after the rounds. (Wine reports no private bytes of
// another process; its working set is the process's resident memory.)
size_t WorkingSet(HANDLE process) {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  return GetProcessMemoryInfo(process, &pmc, sizeof pmc) ? pmc.WorkingSetSize : 0;
}

int RefreshMemory(int rounds, const std::string& out) {
  constexpr int kNames = 100, kWarmUp = 100;
  constexpr double kGrowthTargetKib = 300;
  if (!SetNames(kNames)) Fail("cannot write the names file");
  Program p;
  if (!p.Start(Folder() + "\\qn3.exe", Folder())) Fail("cannot start qn3.exe");
  if (!p.WaitReady({kMainClass, kCmbNamespace}, kReadyTimeoutMs)) Fail("qn3.exe not ready in time");
  HWND button = GetDlgItem(p.Window(), kBtnRefresh), combo = GetDlgItem(p.Window(), kCmbNamespace);
  if (!button || !IsWindowEnabled(button)) Fail("Refresh is not enabled");
  for (int i = 0; i < kWarmUp; ++i) RefreshOnce(button, combo, kNames);
  const double before = WorkingSet(p.Process()) / 1024.0;
  for (int i = 0; i < rounds; ++i) RefreshOnce(button, combo, kNames);
  const double after = WorkingSet(p.Process()) / 1024.0;
  p.Close();
  const double growth = after - before;
  const bool met = before > 0 && growth <= kGrowthTargetKib;
  std::printf("Memory over %d refreshes of %d namespaces with descriptions and collection paths, after %d to warm up\n",
              rounds, kNames, kWarmUp);
  std::printf("working set %s KiB, then %s KiB: %+.0f KiB, %s bytes per namespace per refresh (target <= %s KiB: %s)\n\n",
              Fixed(before, 0).c_str(), Fixed(after, 0).c_str(), growth,
              Fixed(growth * 1024 / (static_cast<double>(rounds) * kNames), 1).c_str(), Fixed(kGrowthTargetKib, 0).c_str(),
              Verdict(met));
  JsonObject memory;
  memory.Add("rounds", rounds).Add("namespaces", kNames).Add("working_set_kib_before", before)
      .Add("working_set_kib_after", after).Add("growth_kib", growth).Add("target_growth_kib", kGrowthTargetKib)
      .Add("met", met);
  JsonObject all;
  all.AddRaw("refresh_memory", memory.Text());
  return WriteTextFile(out, all.Text() + "\n") ? 0 : 1;
}

// qn3.exe /open NAME, from CreateProcess until the viewer it starts has run
// its first line (the stand-in viewer appends its start to QN3_VIEWER_LOG
// and exits), and until qn3.exe has ended; and, for comparison, the viewer
// started directly. The file is polled every millisecond.
struct OpenRun {
  double viewerMs = 0, exitMs = 0;
};

OpenRun OpenOnce(std::string command, const std::string& viewerLog) {
  DeleteFileA(viewerLog.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION pi{};
  const double t0 = Now();
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(), &startup, &pi))
    Fail(("cannot start " + command).c_str());
  CloseHandle(pi.hThread);
  OpenRun run;
  WIN32_FILE_ATTRIBUTE_DATA log{};
  while (!GetFileAttributesExA(viewerLog.c_str(), GetFileExInfoStandard, &log) || log.nFileSizeLow == 0) {
    if ((Now() - t0) * 1000 > kReadyTimeoutMs) Fail("the viewer did not start");
    Sleep(1);
  }
  run.viewerMs = (Now() - t0) * 1000;
  if (WaitForSingleObject(pi.hProcess, kReadyTimeoutMs) != WAIT_OBJECT_0) Fail(("no end: " + command).c_str());
  run.exitMs = (Now() - t0) * 1000;
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  if (code != 0) Fail(("failed: " + command).c_str());
  return run;
}

std::string MinToMax(const std::vector<double>& ms) {
  return Fixed(*std::min_element(ms.begin(), ms.end()), 1) + ".." + Fixed(*std::max_element(ms.begin(), ms.end()), 1);
}

int OpenFromCommandLine(int rounds, const std::string& out) {
  if (!SetNames(10)) Fail("cannot write the names file");
  const std::string name = "Bench.Collection.000001", viewerLog = Folder() + "\\bench-viewer.log";
  SetEnvironmentVariableA("QN3_VIEWER_LOG", viewerLog.c_str());
  const std::string open = "\"" + Folder() + "\\qn3.exe\" /open \"" + name + "\"",
                    alone = "\"" + Folder() + "\\viewer-standin.exe\" /helpcol ms-help://" + name;
  OpenOnce(open, viewerLog);  // loads the files, not counted
  OpenOnce(alone, viewerLog);
  std::vector<double> viewer, exit, direct;
  for (int i = 0; i < rounds; ++i) {
    const OpenRun run = OpenOnce(open, viewerLog);
    viewer.push_back(run.viewerMs);
    exit.push_back(run.exitMs);
    direct.push_back(OpenOnce(alone, viewerLog).viewerMs);
  }
  DeleteFileA(viewerLog.c_str());
  std::vector<std::vector<std::string>> rows{{"from CreateProcess of", "until", "median ms", "min..max ms"},
                                             {"qn3.exe /open", "the viewer runs", Fixed(Median(viewer), 1), MinToMax(viewer)},
                                             {"qn3.exe /open", "qn3.exe has ended", Fixed(Median(exit), 1), MinToMax(exit)},
                                             {"the viewer itself", "it runs", Fixed(Median(direct), 1), MinToMax(direct)}};
  std::printf("qn3.exe /open NAME (%d rounds, alternating with the viewer alone)\n%s\n", rounds, Table(rows).c_str());
  JsonObject result;
  result.Add("rounds", rounds).Add("viewer_ms_median", Median(viewer)).Add("exit_ms_median", Median(exit))
      .Add("viewer_alone_ms_median", Median(direct)).Add("viewer_ms", viewer).Add("exit_ms", exit)
      .Add("viewer_alone_ms", direct);
  JsonObject all;
  all.AddRaw("open", result.Text());
  return WriteTextFile(out, all.Text() + "\n") ? 0 : 1;
}

// A program of a comparison: "EXE" or "EXE=CLASS,COMBO". Without a class,
// bare*.exe is ready as the bare window, floor*.exe as the floor and every
// other program as qn3.exe: its main window shown with the list filled.
struct Contender {
  std::string exe, windowClass;
  int comboId;
  Series runs;
};

Contender ParseContender(const std::string& text) {
  size_t eq = text.find('=');
  std::string exe = text.substr(0, eq);
  if (exe.find(':') == std::string::npos && exe[0] != '\\') exe = Folder() + "\\" + exe;
  if (eq != std::string::npos) {
    std::string rest = text.substr(eq + 1);
    size_t comma = rest.find(',');
    return {exe, rest.substr(0, comma), comma == std::string::npos ? 0 : std::atoi(rest.c_str() + comma + 1), {}};
  }
  std::string name = exe.substr(exe.find_last_of("\\/") + 1);
  CharLowerA(name.data());
  if (name.rfind("bare", 0) == 0) return {exe, kBareClass, 0, {}};
  if (name.rfind("floor", 0) == 0) return {exe, kFloorClass, kCmbNamespace, {}};
  return {exe, kMainClass, kCmbNamespace, {}};
}

// Every program once per round, round after round; the first is the one the
// others are measured against.
int Compare(int rounds, const std::string& out, const std::vector<std::string>& contenders) {
  if (!SetNames(10)) Fail("cannot write the names file");
  std::vector<Contender> all;
  for (const std::string& text : contenders) all.push_back(ParseContender(text));
  for (Contender& c : all) StartOnce(c.exe, {c.windowClass.c_str(), c.comboId});
  // Each round starts one program later, so none always follows the same one.
  for (int i = 0; i < rounds; ++i)
    for (size_t k = 0; k < all.size(); ++k) {
      Contender& c = all[(i + k) % all.size()];
      c.runs.Add(StartOnce(c.exe, {c.windowClass.c_str(), c.comboId}));
    }

  const Series& first = all.front().runs;
  std::vector<std::vector<std::string>> rows{
      {"program", "median ms", "ms saved", "ms saved per round", "peak KiB", "MiB saved", "first / this ms",
       "per round", "first / this KiB"}};
  std::vector<std::string> json;
  for (const Contender& c : all) {
    const Series& r = c.runs;
    std::string name = c.exe.rfind(Folder() + "\\", 0) == 0 ? c.exe.substr(Folder().size() + 1) : c.exe;
    rows.push_back({name, Fixed(r.Ms(), 1), Fixed(first.Ms() - r.Ms(), 1), Fixed(Median(Differences(first.ms, r.ms)), 1),
                    Fixed(r.PeakKib(), 0), Fixed((first.PeakKib() - r.PeakKib()) / 1024, 2),
                    Fixed(Ratio(first.Ms(), r.Ms()), 3), Fixed(Median(Ratios(first.ms, r.ms)), 3),
                    Fixed(Ratio(first.PeakKib(), r.PeakKib()), 3)});
    json.push_back(JsonObject()
                       .Add("program", name)
                       .Add("ms_median", r.Ms())
                       .Add("ms_saved", first.Ms() - r.Ms())
                       .Add("peak_working_set_kib", r.PeakKib())
                       .Add("kib_saved", first.PeakKib() - r.PeakKib())
                       .Add("ms_saved_per_round_median", Median(Differences(first.ms, r.ms)))
                       .Add("ratio_per_round_median", Median(Ratios(first.ms, r.ms)))
                       .Add("ms", r.ms)
                       .Add("peak_kib", r.peakKib)
                       .Text());
  }
  std::printf("Start-up, %d rounds, each program once per round\n%s\n", rounds, Table(rows).c_str());
  JsonObject o;
  o.Add("rounds", rounds).AddRaw("programs", JsonArray(json));
  return WriteTextFile(out, o.Text() + "\n") ? 0 : 1;
}

}  // namespace
}  // namespace qn3::bench

int main(int argc, char** argv) {
  using namespace qn3::bench;
  std::string mode = argc > 1 ? argv[1] : "";
  if (argc < 4 || (mode == "compare" ? argc < 6 : argc != 4)) {
    std::fprintf(stderr, "usage: qn3bench startup|refresh|memory|open ROUNDS OUT.json | compare ROUNDS OUT.json EXE EXE...\n");
    return 2;
  }
  int rounds = std::atoi(argv[2]);
  if (rounds < 1) rounds = 1;
  // The stand-in runtime of every program started here lists this file.
  SetEnvironmentVariableA("HXSTANDIN_NAMESPACES", NamesPath().c_str());
  if (mode == "startup") return Startup(rounds, argv[3]);
  if (mode == "refresh") return Refresh(rounds, argv[3]);
  if (mode == "memory") return RefreshMemory(rounds, argv[3]);
  if (mode == "open") return OpenFromCommandLine(rounds, argv[3]);
  if (mode == "compare") return Compare(rounds, argv[3], std::vector<std::string>(argv + 4, argv + argc));
  std::fprintf(stderr, "qn3bench: unknown benchmark %s\n", argv[1]);
  return 2;
}
