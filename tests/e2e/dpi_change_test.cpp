// The real qn3.exe moved onto monitors of other DPIs. Windows tells a
// per-monitor aware window so with WM_DPICHANGED; Wine never sends it, so
// the test does, as Windows would: from 10 1703 on it first asks
// WM_GETDPISCALEDSIZE and suggests the size answered, before that it
// suggests the old size scaled. With either, after each step, 96 -> 144 ->
// 192 -> 96, the program is laid out as a fresh start at that DPI, to the
// pixel: every control of the main window, its client area collapsed and
// expanded, and the About box and the confirmation it opens then; the
// About box and the confirmation moved there alone while open are too, and
// the size each window answers is a fresh start's. A disabled button's hint
// is found on its new rectangle, and the settings keep the window's place
// in screen pixels.
//
// The fresh starts at 144 and 192 DPI run in prefixes of their own (see
// highdpi.cmake) and leave their measures in the build tree; the steps run
// in the 96-DPI prefix, whose fresh start they measure themselves. Which
// part runs is chosen by the prefix's DPI.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "about/uAbout.h"
#include "app/Ids.h"
#include "tests/e2e/driver/Driver.h"
#include "ui/MessageBox.h"

namespace qn3::e2e {
namespace {

// Every figure, by name.
using Measures = std::map<std::string, long>;

struct Named {
  int id;
  const char* name;
};

constexpr Named kMainControls[] = {
    {ids::kLabel1, "Label1"},         {ids::kCmbNamespace, "CmbNamespace"}, {ids::kBtnRefresh, "BtnRefresh"},
    {ids::kBtnOpen, "BtnOpen"},       {ids::kBtnOptions, "BtnOptions"},     {ids::kBtnAbout, "BtnAbout"},
    {ids::kBevel1, "Bevel1"},         {ids::kLabel2, "Label2"},             {ids::kEditExe, "EditExe"},
    {ids::kLabel3, "Label3"},         {ids::kEditParams, "EditParams"},     {ids::kBtnAuto, "BtnAuto"},
    {ids::kBtnBrowse, "BtnBrowse"},
};
constexpr Named kAboutControls[] = {{ids::kBtnOk, "About.BtnOk"}, {ids::kGroupBox1, "About.GroupBox1"}};
constexpr Named kAboutGroupControls[] = {
    {ids::kImage, "About.Image"},           {ids::kLblProduct, "About.LblProduct"},
    {ids::kLblVersion, "About.LblVersion"}, {ids::kLblCopyright, "About.LblCopyright"},
    {ids::kLblCompany, "About.LblCompany"},
};

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

std::string RecordPath(int dpi) { return BuildDir() + "\\e2e-dpi-fresh-" + std::to_string(dpi) + ".txt"; }

bool Save(const Measures& measures, const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const auto& [name, value] : measures) out << name << ' ' << value << '\n';
  return static_cast<bool>(out.flush());
}

std::optional<Measures> Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Measures measures;
  std::string name;
  long value = 0;
  while (in >> name >> value) measures[name] = value;
  return measures;
}

void Put(Measures& m, const std::string& name, const RECT& r) {
  m[name + ".left"] = r.left;
  m[name + ".top"] = r.top;
  m[name + ".width"] = r.right - r.left;
  m[name + ".height"] = r.bottom - r.top;
}

// Every figure of `fresh` whose name starts with `part`. A window's outer
// size is compared only when asked for by name: Wine draws every frame at
// its prefix's DPI.
void ExpectSameLayout(const Measures& got, const Measures& fresh, const std::string& part = "") {
  for (const auto& [name, value] : fresh) {
    if (name.compare(0, part.size(), part) != 0) continue;
    if (name.starts_with("Window.") && !part.starts_with("Window.")) continue;
    const auto it = got.find(name);
    if (it == got.end()) ADD_FAILURE() << name << " not measured";
    else EXPECT_EQ(it->second, value) << name;
  }
}

// The client area, and the whole window's size.
void PutClient(Measures& m, const std::string& name, HWND window) {
  const RECT client = ClientRectOf(window), outer = WindowRectOf(window);
  m[name + ".clientWidth"] = client.right;
  m[name + ".clientHeight"] = client.bottom;
  m["Window." + name + ".width"] = outer.right - outer.left;
  m["Window." + name + ".height"] = outer.bottom - outer.top;
}

// How the system moves a window onto a monitor of DPI `to`.
struct Move {
  int from, to;
  bool ask;  // Windows 10 1703 on: the size comes from WM_GETDPISCALEDSIZE
};

// The window's answer to WM_GETDPISCALEDSIZE, as its measures, when it
// gives one.
Measures Answer(App& app, HWND window, const std::string& name, int dpi) {
  Measures m;
  if (const auto size = AskDpiScaledSize(app.process(), window, dpi)) {
    m["Window." + name + ".width"] = size->cx;
    m["Window." + name + ".height"] = size->cy;
  }
  return m;
}

// The system's suggestion: where the move left the window; the size it
// answered, else its size scaled in proportion.
RECT Suggested(App& app, HWND window, const Move& move) {
  const RECT r = WindowRectOf(window);
  const int left = r.left + 10, top = r.top + 20;
  SIZE size{MulDiv(r.right - r.left, move.to, move.from), MulDiv(r.bottom - r.top, move.to, move.from)};
  if (move.ask)
    if (const auto answered = AskDpiScaledSize(app.process(), window, move.to)) size = *answered;
  return {left, top, left + size.cx, top + size.cy};
}

// Moves the window as the system would. It stays at the suggested corner;
// its size is its own, which is the answered one where the system draws
// the frame at the new DPI (Wine keeps the prefix's).
void MoveWindowTo(App& app, HWND window, const Move& move) {
  const RECT suggested = Suggested(app, window, move);
  EXPECT_TRUE(SendDpiChanged(app.process(), window, move.to, suggested));
  const RECT after = WindowRectOf(window);
  EXPECT_EQ(after.left, suggested.left);
  EXPECT_EQ(after.top, suggested.top);
}

// With a move, the open box is moved onto a monitor of that DPI first; its
// answer is recorded too.
void MeasureAbout(App& app, HWND main, Measures& m, const Move* move = nullptr) {
  PostClick(Control(main, ids::kBtnAbout));
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = FindVisible(app.pid(), ids::kAboutWindowClass)) != nullptr; }));
  if (move) {
    if (move->ask) {
      for (const auto& [name, value] : Answer(app, about, "About", move->to)) m["Answer." + name] = value;
    }
    MoveWindowTo(app, about, *move);
  }
  PutClient(m, "About", about);
  for (const Named& c : kAboutControls) Put(m, c.name, RectInParent(Control(about, c.id)));
  HWND group = Control(about, ids::kGroupBox1);
  for (const Named& c : kAboutGroupControls) Put(m, c.name, RectInParent(Control(group, c.id)));
  PostClick(Control(about, ids::kBtnOk));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }));
}

// On the main window's monitor, inside its work area: at the design offset
// from the main window wherever that fits.
void ExpectPlacedFromMain(HWND main, const RECT& box, int dpi) {
  const RECT window = WindowRectOf(main);
  const int left = window.left + MulDiv(20, dpi, 96), top = window.top + MulDiv(70, dpi, 96);
  const TRect placed =
      KeepInside({left, top, left + box.right - box.left, top + box.bottom - box.top}, WorkAreaOf(main));
  EXPECT_EQ(box.left, placed.left);
  EXPECT_EQ(box.top, placed.top);
}

// With a move, the open box is moved onto a monitor of that DPI first; its
// answer is recorded too.
void MeasureConfirmation(App& app, HWND main, Measures& m, int dpi, const Move* move = nullptr) {
  PostClick(Control(main, ids::kBtnAuto));
  const auto question = app.WaitMessageBox("Warning");
  ASSERT_TRUE(question.has_value());
  ExpectPlacedFromMain(main, question->rect, dpi);
  if (move) {
    if (move->ask) {
      for (const auto& [name, value] : Answer(app, question->window, "Confirmation", move->to))
        m["Answer." + name] = value;
    }
    MoveWindowTo(app, question->window, *move);
  }
  PutClient(m, "Confirmation", question->window);
  Put(m, "Confirmation.text", RectInParent(Control(question->window, ids::kMsgText)));
  Put(m, "Confirmation.icon", RectInParent(Control(question->window, ids::kMsgIcon)));
  for (size_t i = 0; i < question->buttons.size(); ++i) {
    Put(m, "Confirmation.button" + std::to_string(i), RectInParent(Control(question->window, question->button_ids[i])));
    if (question->buttons[i] == "&No") PostClick(Control(question->window, question->button_ids[i]));
  }
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(question->window); }));
}

// The layout as it is now at that DPI; opens and closes the panel and the
// boxes.
Measures Measure(App& app, int dpi) {
  Measures m;
  HWND main = app.Main();
  for (const Named& c : kMainControls) Put(m, c.name, RectInParent(Control(main, c.id)));
  m["CmbNamespace.itemHeight"] =
      static_cast<long>(SendMessageA(Control(main, ids::kCmbNamespace), CB_GETITEMHEIGHT, 0, 0));
  PutClient(m, "Collapsed", main);
  HWND options = Control(main, ids::kBtnOptions);
  EXPECT_TRUE(Click(options));
  PutClient(m, "Expanded", main);
  EXPECT_TRUE(Click(options));
  MeasureAbout(app, main, m);
  MeasureConfirmation(app, main, m, dpi);
  return m;
}

// The main window's answers at the DPI, collapsed and expanded.
Measures MainAnswers(App& app, HWND main, int dpi) {
  Measures m = Answer(app, main, "Collapsed", dpi);
  HWND options = Control(main, ids::kBtnOptions);
  EXPECT_TRUE(Click(options));
  const Measures expanded = Answer(app, main, "Expanded", dpi);
  m.insert(expanded.begin(), expanded.end());
  EXPECT_TRUE(Click(options));
  return m;
}

// Without the runtime the notice shows once and Refresh and Open stay
// disabled, so their hints come from the form's tools, by rectangle.
HWND StartWithoutRuntime(App& app) {
  EXPECT_TRUE(app.started());
  HWND main = app.Main();
  EXPECT_NE(main, nullptr) << "no main window";
  EXPECT_TRUE(app.Sync());
  const auto notice = app.WaitMessageBox("Information");
  EXPECT_TRUE(notice.has_value());
  if (!notice || notice->button_ids.empty()) return nullptr;
  PostClick(Control(notice->window, notice->button_ids.front()));
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(notice->window); }));
  return main;
}

class DpiChange : public testing::Test {
protected:
  static void SetUpTestSuite() {
    // Unaware, this process would be shown every rectangle at 96 DPI.
    SetProcessDPIAware();
  }
};

TEST_F(DpiChange, FreshStartIsRecorded) {
  const int dpi = ScreenDpi();
  if (dpi == 96) GTEST_SKIP() << "the steps measure the fresh start at 96 DPI themselves";
  const std::string path = RecordPath(dpi);
  DeleteFileA(path.c_str());
  App app(WithoutRuntime());
  ASSERT_NE(StartWithoutRuntime(app), nullptr);
  const Measures fresh = Measure(app, dpi);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(Save(fresh, path)) << path;
}

// Windows 10 1703 on, and 8.1 to 10 1607.
class DpiSteps : public DpiChange, public testing::WithParamInterface<bool> {};

TEST_P(DpiSteps, EachStepIsLaidOutAsAFreshStartThere) {
  if (ScreenDpi() != 96) GTEST_SKIP() << "the steps run in the 96-DPI prefix";
  const bool ask = GetParam();
  std::map<int, Measures> fresh;
  for (int dpi : {144, 192}) {
    auto measures = Load(RecordPath(dpi));
    ASSERT_TRUE(measures.has_value()) << "no fresh start measured at " << dpi
                                      << " DPI: e2e_dpi_change_test.fresh" << dpi << " runs first";
    fresh[dpi] = *measures;
  }
  App app(WithoutRuntime());
  HWND main = StartWithoutRuntime(app);
  ASSERT_NE(main, nullptr);
  fresh[96] = Measure(app, 96);
  ASSERT_FALSE(HasFailure());

  int from = 96;
  for (int to : {144, 192, 96}) {
    SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + " DPI");
    const Move move{from, to, ask};
    // The About box and the confirmation open alone on the new monitor,
    // their owner still on the old.
    Measures alone;
    MeasureAbout(app, main, alone, &move);
    MeasureConfirmation(app, main, alone, from, &move);
    ExpectSameLayout(alone, fresh[to], "About.");
    ExpectSameLayout(alone, fresh[to], "Confirmation.");
    if (ask) {
      // Each window answers the size of a fresh start there.
      Measures answers = MainAnswers(app, main, to);
      for (const auto& [name, value] : alone)
        if (name.starts_with("Answer.")) answers[name.substr(7)] = value;
      for (const char* part : {"Window.Collapsed.", "Window.Expanded.", "Window.About.", "Window.Confirmation."})
        ExpectSameLayout(answers, fresh[to], part);
      // And takes that size where its frame is drawn at the new DPI: here
      // only at the prefix's own.
      if (to == ScreenDpi()) ExpectSameLayout(alone, answers, "Window.Confirmation.");
    }

    MoveWindowTo(app, main, move);
    ASSERT_TRUE(app.Sync());
    if (from == 96 && to == 144 && !ask) SaveScreenshot(main, "qn3-moved-96-to-144dpi");
    ExpectSameLayout(Measure(app, to), fresh[to]);
    EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnOpen)), "Open namespace content");
    from = to;
  }

  const RECT last = WindowRectOf(main);
  ASSERT_TRUE(app.Close().has_value());
  const auto saved = ReadSettings();
  ASSERT_TRUE(saved.has_value());
  EXPECT_NE(saved->find("  Left = " + std::to_string(last.left) + "\r\n  Top = " + std::to_string(last.top) + "\r\n"),
            std::string::npos)
      << *saved;
}

INSTANTIATE_TEST_SUITE_P(Windows, DpiSteps, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Asked" : "Scaled"; });

}  // namespace
}  // namespace qn3::e2e
