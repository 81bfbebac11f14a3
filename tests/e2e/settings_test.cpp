// The real qn3.exe under Wine and its settings file: what the first run
// writes, the position and texts that the next run takes back, and files
// that it refuses.
#include <gtest/gtest.h>

#include <string>

#include "app/Ids.h"
#include "tests/e2e/driver/Driver.h"

namespace {

using namespace qn3::e2e;
namespace ids = qn3::ids;

// The file's notation for a plain ASCII text without apostrophes: quoted,
// and over 64 characters on lines of its own, 64 a line.
std::string PlainValue(const std::string& text) {
  if (text.size() <= 64) return "'" + text + "'";
  std::string out = "\r\n    ";
  for (size_t i = 0; i < text.size(); i += 64) {
    if (i > 0) out += " +\r\n    ";
    out += "'" + text.substr(i, 64) + "'";
  }
  return out;
}

bool IsPlain(const std::string& text) {
  for (unsigned char c : text)
    if (c < 32 || c > 127 || c == '\'') return false;
  return true;
}

std::string Prefs(int left, int top, const std::string& viewer = {}, const std::string& params = {}) {
  std::string text = "object TPrefs\r\n  Left = " + std::to_string(left) + "\r\n  Top = " + std::to_string(top) +
                     "\r\n";
  if (!viewer.empty()) text += "  Viewer = " + PlainValue(viewer) + "\r\n";
  if (!params.empty()) text += "  Params = " + PlainValue(params) + "\r\n";
  return text + "end\r\n";
}

void SetText(HWND control, const std::string& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000,
                      &result);
}

void MoveTo(HWND window, int left, int top) {
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(WaitFor([&] { return WindowRectOf(window).left == left && WindowRectOf(window).top == top; }));
}

class SettingsTest : public ::testing::Test {
protected:
  void TearDown() override {
    DeleteSettings();
    DeleteFileA((SettingsPath() + ".bad").c_str());
  }

  // Starts the program and waits for its first show.
  HWND Start(App& app) {
    EXPECT_TRUE(app.started());
    HWND main = app.Main();
    EXPECT_NE(main, nullptr) << "no main window";
    EXPECT_TRUE(app.Sync());
    return main;
  }

  struct TFields {
    std::string viewer, params;
  };
  TFields Fields(App& app) { return {TextOf(app.MainControl(ids::kEditExe)), TextOf(app.MainControl(ids::kEditParams))}; }
};

TEST_F(SettingsTest, FirstRunWritesThePositionAndBothTextsByteForByte) {
  App app;
  HWND main = Start(app);
  RECT r = WindowRectOf(main);
  EXPECT_EQ(r.left, 196);
  EXPECT_EQ(r.top, 117);
  TFields f = Fields(app);
  ASSERT_FALSE(f.viewer.empty()) << "the first show fills the viewer from the registry";
  ASSERT_TRUE(IsPlain(f.viewer) && IsPlain(f.params)) << f.viewer << " " << f.params;
  ASSERT_TRUE(app.Close().has_value());
  EXPECT_EQ(ReadSettings().value_or("<none>"), Prefs(196, 117, f.viewer, f.params));
}

TEST_F(SettingsTest, TheSessionsEndSavesOnceAsClosingDoes) {
  App app;
  HWND main = Start(app);
  SetText(app.MainControl(ids::kEditExe), "C:\\Session\\v.exe");
  const TFields f = Fields(app);
  for (HWND window : {main, app.AppWindow()}) {
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
    EXPECT_EQ(answer, 1u) << "the session may end";
  }
  for (HWND window : {main, app.AppWindow()}) {
    ASSERT_TRUE(SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, nullptr));
  }
  // The system would end the process now, without a window's destruction.
  EXPECT_EQ(ReadSettings().value_or("<none>"), Prefs(196, 117, f.viewer, f.params));
  // If the destruction comes all the same, it does not save again.
  SetText(app.MainControl(ids::kEditExe), "C:\\Later\\v.exe");
  ASSERT_TRUE(app.Close().has_value());
  EXPECT_EQ(ReadSettings().value_or("<none>"), Prefs(196, 117, f.viewer, f.params));
}

TEST_F(SettingsTest, AMovedWindowReopensWhereItWas) {
  for (POINT place : {POINT{300, 200}, POINT{-100, 50}}) {  // the second partly off-screen
    SCOPED_TRACE(place.x);
    {
      App app;
      HWND main = Start(app);
      MoveTo(main, place.x, place.y);
      ASSERT_TRUE(app.Close().has_value());
    }
    std::string saved = ReadSettings().value_or("");
    EXPECT_NE(saved.find("  Left = " + std::to_string(place.x) + "\r\n  Top = " + std::to_string(place.y) + "\r\n"),
              std::string::npos)
        << saved;
    LaunchOptions keep;
    keep.delete_settings = false;
    App again(keep);
    RECT r = WindowRectOf(Start(again));
    EXPECT_EQ(r.left, place.x);
    EXPECT_EQ(r.top, place.y);
  }
}

TEST_F(SettingsTest, APositionOnNoDisplayKeepsTheDesignedPlaceButTakesTheTexts) {
  LaunchOptions options;
  options.settings = Prefs(-30000, -30000, "C:\\Other\\viewer.exe", "/x $NAMESPACE$");
  App app(options);
  RECT r = WindowRectOf(Start(app));
  EXPECT_EQ(r.left, 196);
  EXPECT_EQ(r.top, 117);
  EXPECT_EQ(Fields(app).viewer, "C:\\Other\\viewer.exe");
  EXPECT_EQ(Fields(app).params, "/x $NAMESPACE$");
}

TEST_F(SettingsTest, AWindowMinimisedAtExitSavesItsRestoredPlace) {
  App app;
  HWND main = Start(app);
  MoveTo(main, 320, 210);
  // Minimised from outside, the window goes with the program's button.
  ShowWindow(main, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return IsIconic(app.AppWindow()) && !IsWindowVisible(main); }));
  ASSERT_TRUE(app.Close().has_value());
  std::string saved = ReadSettings().value_or("");
  EXPECT_NE(saved.find("  Left = 320\r\n  Top = 210\r\n"), std::string::npos) << saved;
}

// Started as a shortcut set to run minimised, or by a launcher that keeps
// the foreground, starts it: the saved place holds all the same. Minimised,
// the program is in the state a minimise leaves it in, and the notice of
// the missing runtime waits for the window.
TEST_F(SettingsTest, TheShowStateItIsStartedWithKeepsTheSavedPlace) {
  struct Row {
    WORD show;
    bool minimised, activates;
  };
  for (const Row& row : {Row{SW_SHOWMINNOACTIVE, true, false}, Row{SW_SHOWNOACTIVATE, false, false},
                         Row{SW_SHOWMAXIMIZED, false, true}}) {
    SCOPED_TRACE(row.show);
    ForeignWindow other;
    ASSERT_NE(other.handle(), nullptr);
    LaunchOptions options = row.minimised ? WithoutRuntime() : LaunchOptions{};
    options.settings = Prefs(300, 200);
    options.show = row.show;
    App app(options);
    ASSERT_TRUE(app.started());
    HWND main = nullptr;
    if (row.minimised) {
      ASSERT_TRUE(WaitFor([&] { return (main = app.AnyMain()) && IsIconic(app.AppWindow()); }))
          << "the taskbar's window is not minimised";
      ASSERT_TRUE(app.Sync());
      EXPECT_FALSE(IsWindowVisible(main));
      EXPECT_TRUE(app.Dialogs().empty()) << "no notice while minimised";
      EXPECT_EQ(GetForegroundWindow(), other.handle());
      PostMessageA(app.AppWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);  // the taskbar button
      ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main); }));
      const auto notice = app.WaitMessageBox("Information");
      ASSERT_TRUE(notice.has_value()) << "the notice comes with the window";
      ASSERT_FALSE(notice->button_ids.empty());
      PostClick(Control(notice->window, notice->button_ids.front()));
      ASSERT_TRUE(WaitFor([&] { return !IsWindow(notice->window); }));
      EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
    } else {
      main = Start(app);
      EXPECT_EQ(GetForegroundWindow(), row.activates ? main : other.handle());
      EXPECT_FALSE(IsZoomed(main));
    }
    const RECT r = WindowRectOf(main);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 200);
    ASSERT_TRUE(app.Close().has_value());
    EXPECT_NE(ReadSettings().value_or("").find("  Left = 300\r\n  Top = 200\r\n"), std::string::npos);
  }
}

TEST_F(SettingsTest, EmptiedFieldsAreLeftOutAndRefilledAtTheNextStart) {
  TFields designed;
  {
    App app;
    Start(app);
    designed = Fields(app);
    SetText(app.MainControl(ids::kEditExe), "");
    SetText(app.MainControl(ids::kEditParams), "");
    ASSERT_TRUE(app.Close().has_value());
  }
  EXPECT_EQ(ReadSettings().value_or("<none>"), Prefs(196, 117));
  LaunchOptions keep;
  keep.delete_settings = false;
  App again(keep);
  Start(again);
  EXPECT_EQ(Fields(again).viewer, designed.viewer);
  EXPECT_EQ(Fields(again).params, designed.params);
}

TEST_F(SettingsTest, AFileNamingAnUnknownPropertyAppliesNothingAndIsKeptAsBad) {
  const std::string edited =
      "object TPrefs\r\n  Left = 300\r\n  Top = 200\r\n  Viewer = 'C:\\Mine\\v.exe'\r\n  Width = 3\r\nend\r\n";
  LaunchOptions options;
  options.settings = edited;
  App app(options);
  HWND main = Start(app);
  RECT r = WindowRectOf(main);
  EXPECT_EQ(r.left, 196);
  EXPECT_EQ(r.top, 117);
  TFields f = Fields(app);
  EXPECT_NE(f.viewer, "C:\\Mine\\v.exe");
  ASSERT_TRUE(app.Close().has_value());
  HANDLE bad = CreateFileA((SettingsPath() + ".bad").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           0, nullptr);
  ASSERT_NE(bad, INVALID_HANDLE_VALUE) << "the refused file was not kept";
  char buffer[512];
  DWORD n = 0;
  ReadFile(bad, buffer, sizeof buffer, &n, nullptr);
  CloseHandle(bad);
  EXPECT_EQ(std::string(buffer, n), edited);
  EXPECT_EQ(ReadSettings().value_or("<none>"), Prefs(196, 117, f.viewer, f.params));
}

}  // namespace
