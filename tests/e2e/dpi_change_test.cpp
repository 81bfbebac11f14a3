// The real qn3.exe moved onto monitors of other DPIs. Windows tells a
// per-monitor aware window so with WM_DPICHANGED; Wine never sends it, so
// the test does, as Windows would. After each step, 96 -> 144 -> 192 -> 96,
// the program is laid out as a fresh start at that DPI, to the pixel: every
// control of the main window, its client area collapsed and expanded, and
// the About box and the confirmation it opens then; the About box moved
// there alone while open is too. A disabled button's hint is found on its
// new rectangle, and the settings keep the window's place in screen pixels.
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

void PutClient(Measures& m, const std::string& name, HWND window) {
  const RECT client = ClientRectOf(window);
  m[name + ".clientWidth"] = client.right;
  m[name + ".clientHeight"] = client.bottom;
}

// The system's suggestion for a window moved onto a monitor of DPI `to`:
// where the move left it, its size scaled in proportion.
RECT Suggested(HWND window, int from, int to) {
  const RECT r = WindowRectOf(window);
  const int left = r.left + 10, top = r.top + 20;
  return {left, top, left + MulDiv(r.right - r.left, to, from), top + MulDiv(r.bottom - r.top, to, from)};
}

// With moveTo, the open box is moved onto a monitor of that DPI first.
void MeasureAbout(App& app, HWND main, Measures& m, int from = 0, int moveTo = 0) {
  PostClick(Control(main, ids::kBtnAbout));
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = FindVisible(app.pid(), ids::kAboutWindowClass)) != nullptr; }));
  if (moveTo) {
    const RECT suggested = Suggested(about, from, moveTo);
    EXPECT_TRUE(SendDpiChanged(app.process(), about, moveTo, suggested));
    const RECT after = WindowRectOf(about);
    EXPECT_EQ(after.left, suggested.left);
    EXPECT_EQ(after.top, suggested.top);
  }
  PutClient(m, "About", about);
  for (const Named& c : kAboutControls) Put(m, c.name, RectInParent(Control(about, c.id)));
  HWND group = Control(about, ids::kGroupBox1);
  for (const Named& c : kAboutGroupControls) Put(m, c.name, RectInParent(Control(group, c.id)));
  PostClick(Control(about, ids::kBtnOk));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(about); }));
}

void MeasureConfirmation(App& app, HWND main, Measures& m) {
  PostClick(Control(main, ids::kBtnAuto));
  const auto question = app.WaitMessageBox("Warning");
  ASSERT_TRUE(question.has_value());
  const RECT window = WindowRectOf(main);
  m["Confirmation.fromMainLeft"] = question->rect.left - window.left;
  m["Confirmation.fromMainTop"] = question->rect.top - window.top;
  PutClient(m, "Confirmation", question->window);
  Put(m, "Confirmation.text", RectInParent(Control(question->window, ids::kMsgText)));
  Put(m, "Confirmation.icon", RectInParent(Control(question->window, ids::kMsgIcon)));
  for (size_t i = 0; i < question->buttons.size(); ++i) {
    Put(m, "Confirmation.button" + std::to_string(i), RectInParent(Control(question->window, question->button_ids[i])));
    if (question->buttons[i] == "&No") PostClick(Control(question->window, question->button_ids[i]));
  }
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(question->window); }));
}

// The layout as it is now; opens and closes the panel and the boxes.
Measures Measure(App& app) {
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
  MeasureConfirmation(app, main, m);
  return m;
}

// Every figure of `fresh` whose name starts with `part`.
void ExpectSameLayout(const Measures& got, const Measures& fresh, const std::string& part = "") {
  for (const auto& [name, value] : fresh) {
    if (name.compare(0, part.size(), part) != 0) continue;
    const auto it = got.find(name);
    if (it == got.end()) ADD_FAILURE() << name << " not measured";
    else EXPECT_EQ(it->second, value) << name;
  }
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
  const Measures fresh = Measure(app);
  ASSERT_FALSE(HasFailure());
  ASSERT_TRUE(Save(fresh, path)) << path;
}

TEST_F(DpiChange, EachStepIsLaidOutAsAFreshStartThere) {
  if (ScreenDpi() != 96) GTEST_SKIP() << "the steps run in the 96-DPI prefix";
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
  fresh[96] = Measure(app);
  ASSERT_FALSE(HasFailure());

  int from = 96;
  for (int to : {144, 192, 96}) {
    SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to) + " DPI");
    // The About box open alone on the new monitor, its owner still on the old.
    Measures alone;
    MeasureAbout(app, main, alone, from, to);
    ExpectSameLayout(alone, fresh[to], "About.");

    const RECT suggested = Suggested(main, from, to);
    ASSERT_TRUE(SendDpiChanged(app.process(), main, to, suggested));
    ASSERT_TRUE(app.Sync());
    const RECT after = WindowRectOf(main);
    EXPECT_EQ(after.left, suggested.left);
    EXPECT_EQ(after.top, suggested.top);
    if (from == 96 && to == 144) SaveScreenshot(main, "qn3-moved-96-to-144dpi");
    ExpectSameLayout(Measure(app), fresh[to]);
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

}  // namespace
}  // namespace qn3::e2e
