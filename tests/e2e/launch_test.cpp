// The real qn3.exe under Wine: Open starts the viewer (the stand-in, which
// logs how it was started), the first show fills empty viewer fields from
// the registered viewer, and the "dexplore.exe" button asks before it does.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/Ids.h"
#include "base/Displays.h"
#include "tests/e2e/driver/Driver.h"
#include "tests/help/launch_support.h"

namespace {

using namespace qn3::e2e;
namespace ids = qn3::ids;
namespace lt = qn3::test;

constexpr char kTemplate[] = "/helpcol ms-help://$NAMESPACE$";
constexpr char kInstalled[] = "C:\\Program Files\\Help Viewer\\dexplore.exe";
constexpr char kQuestion[] =
    "Viewer location and parameters will be overwritten\rwith default 'dexplore.exe' values. Are you sure?";

bool SamePath(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

std::string SettingsText(const std::string& viewer, const std::string& params, int left = 240, int top = 180) {
  return "object TPrefs\r\n  Left = " + std::to_string(left) + "\r\n  Top = " + std::to_string(top) +
         "\r\n  Viewer = " + Quoted(viewer) + "\r\n  Params = " + Quoted(params) + "\r\nend\r\n";
}

// The value "AppID" of HKCR\AppID\dexplore.exe, put back as it was.
class AppIdValue {
public:
  AppIdValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExA(key, "AppID", nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
      saved_.assign(size, '\0');
      had_ = RegQueryValueExA(key, "AppID", nullptr, &type_, reinterpret_cast<BYTE*>(saved_.data()), &size) ==
             ERROR_SUCCESS;
      saved_.resize(size);
    }
    RegCloseKey(key);
  }
  ~AppIdValue() { Restore(); }
  AppIdValue(const AppIdValue&) = delete;
  AppIdValue& operator=(const AppIdValue&) = delete;

  bool Registered() const { return had_; }
  bool Restore() const { return had_ && Set(type_, saved_); }
  bool Set(DWORD type, const std::string& bytes) const {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return false;
    LONG rc = RegSetValueExA(key, "AppID", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
  }
  bool SetNumber(DWORD value) const {
    return Set(REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value)));
  }

private:
  static constexpr char kKey[] = "AppID\\dexplore.exe";
  DWORD type_ = 0;
  std::string saved_;
  bool had_ = false;
};

HWND ButtonOf(const MessageBoxInfo& box, int id) { return GetDlgItem(box.window, id); }

class LaunchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(GetFileAttributesA(kInstalled), INVALID_FILE_ATTRIBUTES) << "the test prefix has no viewer installed";
    ASSERT_TRUE(appId_.Registered()) << "the test prefix has no viewer registered";
    ASSERT_TRUE(lt::WriteWholeFile(names_, "Alpha\r\nBeta\r\n"));
  }

  LaunchOptions Options(std::optional<std::string> settings) const {
    LaunchOptions options;
    options.env.emplace_back("HXSTANDIN_NAMESPACES", names_);
    options.env.emplace_back("QN3_VIEWER_LOG", log_.Path());
    options.unset_env.push_back("HXSTANDIN_FAULT");
    options.settings = std::move(settings);
    return options;
  }

  // Waits for the main window and for its first show to be handled.
  HWND Start(App& app) {
    EXPECT_TRUE(app.started());
    HWND main = app.Main();
    EXPECT_NE(main, nullptr) << "no main window";
    EXPECT_TRUE(app.Sync());
    return main;
  }

  static std::string Field(App& app, int id) { return TextOf(app.MainControl(id)); }

  // Presses the "dexplore.exe" button and waits for the confirmation box.
  static std::optional<MessageBoxInfo> AskToOverwrite(App& app) {
    PostClick(app.MainControl(ids::kBtnAuto));
    return app.WaitMessageBox("Warning");
  }

  static bool Gone(const MessageBoxInfo& box) {
    return WaitFor([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
  }

  AppIdValue appId_;
  lt::ScratchDir dir_{"qn3-e2e-launch"};
  std::string names_ = dir_.Path() + "\\namespaces.txt";
  lt::ViewerLog log_{dir_.Path()};
};

TEST_F(LaunchTest, OpenStartsTheViewerForTheSelectedNamespace) {
  const std::string viewer = lt::StandinViewer();
  App app(Options(SettingsText(" " + viewer + " ", std::string("  ") + kTemplate + " ")));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(SelectComboItem(app.MainControl(ids::kCmbNamespace), 1));

  ASSERT_TRUE(Click(app.MainControl(ids::kBtnOpen)));
  auto started = log_.WaitFor(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(SamePath(started[0].module, viewer)) << started[0].module;
  EXPECT_EQ(started[0].commandLine, viewer + " /helpcol ms-help://Beta");
  EXPECT_EQ(started[0].startup, "flags=0x41 show=1");

  // An edit counts at the next press, unsaved; each press starts one more.
  SetWindowTextA(app.MainControl(ids::kEditParams), "/x $namespace$ $NAMESPACE$");
  ASSERT_TRUE(Click(app.MainControl(ids::kBtnOpen)));
  ASSERT_TRUE(Click(app.MainControl(ids::kBtnOpen)));
  started = log_.WaitFor(3);
  ASSERT_EQ(started.size(), 3u);
  EXPECT_EQ(started[1].commandLine, viewer + " /x Beta $NAMESPACE$");
  EXPECT_EQ(started[2].commandLine, viewer + " /x Beta $NAMESPACE$");
  EXPECT_TRUE(app.Dialogs().empty());
}

TEST_F(LaunchTest, EnterPressesOpenUnlessAnotherButtonHasTheFocus) {
  const std::string viewer = lt::StandinViewer();
  App app(Options(SettingsText(viewer, kTemplate)));
  ASSERT_NE(Start(app), nullptr);
  // The focus comes by Tab, or by a click that presses the button once.
  // Each row that opens nothing comes before one that opens, so a viewer
  // started by mistake shows up in the count.
  const struct {
    int focus;
    bool click, opens;
  } rows[] = {{ids::kCmbNamespace, false, true}, {ids::kBtnRefresh, true, false}, {ids::kBtnOpen, false, true},
              {ids::kBtnOptions, true, false},   {ids::kBtnRefresh, false, false}, {ids::kEditParams, false, true}};
  size_t opened = 0, names = 2;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.focus);
    HWND control = app.MainControl(row.focus);
    if (row.click) {
      ASSERT_TRUE(Click(control));
    }
    ASSERT_TRUE(TabTo(app.thread(), control));
    ++names;  // one name more each time, so that a Refresh by Enter shows
    std::string file = "Alpha\r\n";
    for (size_t i = 1; i < names; ++i) file += "More\r\n";
    ASSERT_TRUE(lt::WriteWholeFile(names_, file));
    const size_t listed = ComboItems(app.MainControl(ids::kCmbNamespace)).size();
    ASSERT_TRUE(PressKey(app.thread(), VK_RETURN));
    ASSERT_TRUE(app.Sync());
    EXPECT_EQ(ComboItems(app.MainControl(ids::kCmbNamespace)).size(), row.focus == ids::kBtnRefresh ? names : listed);
    opened += row.opens;
    auto started = log_.WaitFor(opened);
    ASSERT_EQ(started.size(), opened);
    if (row.opens) {
      EXPECT_EQ(started.back().commandLine, viewer + " /helpcol ms-help://Alpha");
    }
  }
  EXPECT_EQ(TextOf(app.MainControl(ids::kBtnOptions)), "Options >") << "pressed by the click, then by Enter";
}

TEST_F(LaunchTest, FirstShowFillsAnEmptyViewerFieldFromTheRegistry) {
  const struct {
    const char* what;
    std::optional<std::string> settings;
  } cases[] = {
      {"no settings file", std::nullopt},
      {"empty viewer", SettingsText("", "/custom $NAMESPACE$")},
      {"viewer of blanks only", SettingsText("   ", "/custom $NAMESPACE$")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    App app(Options(c.settings));
    ASSERT_NE(Start(app), nullptr);
    EXPECT_EQ(Field(app, ids::kEditExe), kInstalled);
    EXPECT_EQ(Field(app, ids::kEditParams), kTemplate);
    EXPECT_TRUE(app.Dialogs().empty());
  }
}

TEST_F(LaunchTest, FirstShowLeavesASavedViewerAloneWithoutLookingItUp) {
  // A lookup would report this value; none may happen.
  ASSERT_TRUE(appId_.SetNumber(7));
  App app(Options(SettingsText("C:\\Tools\\v.exe", "/custom")));
  ASSERT_NE(Start(app), nullptr);
  EXPECT_TRUE(app.Dialogs().empty());
  EXPECT_EQ(Field(app, ids::kEditExe), "C:\\Tools\\v.exe");
  EXPECT_EQ(Field(app, ids::kEditParams), "/custom");
}

TEST_F(LaunchTest, TheConfirmationBoxAndEveryWayOfSayingNo) {
  const struct {
    const char* what;
    void (*answer)(App&, const MessageBoxInfo&);
  } cases[] = {
      {"No button", [](App&, const MessageBoxInfo& box) { Click(ButtonOf(box, IDNO)); }},
      {"Escape", [](App& app, const MessageBoxInfo&) { PressKey(app.thread(), VK_ESCAPE); }},
      {"close box", [](App&, const MessageBoxInfo& box) { PostMessageA(box.window, WM_CLOSE, 0, 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // With nothing registered the first show leaves the viewer empty; the
    // registration is back before the button is pressed.
    ASSERT_TRUE(appId_.Set(REG_SZ, std::string(1, '\0')));
    App app(Options(SettingsText("", "/custom $NAMESPACE$")));
    HWND main = Start(app);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(Field(app, ids::kEditExe), "");
    ASSERT_TRUE(appId_.Restore());

    auto box = AskToOverwrite(app);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text, kQuestion);
    EXPECT_EQ(box->buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(box->button_ids, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box->default_id, IDYES);
    EXPECT_EQ(box->icon, StockIcon::kWarning) << ToString(box->icon);
    const RECT window = WindowRectOf(main);
    EXPECT_EQ(box->rect.left, window.left + 20);
    EXPECT_EQ(box->rect.top, window.top + 70);

    c.answer(app, *box);
    ASSERT_TRUE(Gone(*box));
    ASSERT_TRUE(app.Sync());
    EXPECT_EQ(Field(app, ids::kEditExe), "");
    EXPECT_EQ(Field(app, ids::kEditParams), "/custom $NAMESPACE$");
    EXPECT_TRUE(app.Dialogs().empty());
  }
}

TEST_F(LaunchTest, YesOverwritesBothFields) {
  App app(Options(SettingsText("C:\\Tools\\v.exe", "/custom $NAMESPACE$")));
  ASSERT_NE(Start(app), nullptr);
  auto box = AskToOverwrite(app);
  ASSERT_TRUE(box);
  // Yes is the default button.
  ASSERT_TRUE(PressKey(app.thread(), VK_RETURN));
  ASSERT_TRUE(Gone(*box));
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(Field(app, ids::kEditExe), kInstalled);
  EXPECT_EQ(Field(app, ids::kEditParams), kTemplate);
  EXPECT_TRUE(app.Dialogs().empty());
}

TEST_F(LaunchTest, ABoxStaysOnTheFormsMonitorInsideItsWorkArea) {
  // Under Xvfb one monitor stands in for a virtual screen with negative
  // coordinates: a form partly left of or above it.
  const struct {
    int left, top;
  } cases[] = {{100, 150}, {-200, 150}, {100, -120}};
  App app(Options(SettingsText("C:\\Tools\\v.exe", "/custom")));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.left) + ", " + std::to_string(c.top));
    // Moved as a user drags it: the box follows where the window is now.
    ASSERT_TRUE(SetWindowPos(main, nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(app.Sync());
    auto box = AskToOverwrite(app);
    ASSERT_TRUE(box);
    // The design offset wherever that fits, else just inside.
    const RECT& r = box->rect;
    const qn3::TRect wanted{c.left + 20, c.top + 70, c.left + 20 + r.right - r.left, c.top + 70 + r.bottom - r.top};
    const qn3::TRect work = WorkAreaOf(main), placed = qn3::KeepInside(wanted, work);
    EXPECT_EQ(r.left, placed.left);
    EXPECT_EQ(r.top, placed.top);
    EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom);
    Click(ButtonOf(*box, IDNO));
    ASSERT_TRUE(Gone(*box));
  }
  EXPECT_EQ(Field(app, ids::kEditExe), "C:\\Tools\\v.exe");
}

TEST_F(LaunchTest, AppIdStoredAsANumberIsReported) {
  ASSERT_TRUE(appId_.SetNumber(7));
  App app(Options(SettingsText("", "/custom")));

  // At first show: the report, captioned with the title of that moment,
  // and the rest of the first show skipped, the title included.
  auto report = app.WaitMessageBox();
  ASSERT_TRUE(report);
  EXPECT_EQ(report->text, "Invalid data type for 'AppID'");
  EXPECT_EQ(report->buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(report->icon, StockIcon::kError) << ToString(report->icon);
  const std::string title = app.AppTitle();
  EXPECT_EQ(report->caption, title);
  Click(ButtonOf(*report, IDOK));
  ASSERT_TRUE(Gone(*report));
  ASSERT_NE(app.Main(), nullptr) << "the window shows all the same";
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(app.AppTitle(), title);
  EXPECT_EQ(title.find("Alpha"), std::string::npos) << title;
  EXPECT_EQ(Field(app, ids::kEditExe), "");
  EXPECT_EQ(Field(app, ids::kEditParams), "/custom");
  EXPECT_TRUE(app.Dialogs().empty());

  // After Yes on the button: the same report; the fields stay.
  auto box = AskToOverwrite(app);
  ASSERT_TRUE(box);
  Click(ButtonOf(*box, IDYES));
  ASSERT_TRUE(Gone(*box));
  report = app.WaitMessageBox();
  ASSERT_TRUE(report);
  EXPECT_EQ(report->text, "Invalid data type for 'AppID'");
  EXPECT_EQ(report->caption, app.AppTitle());
  Click(ButtonOf(*report, IDOK));
  ASSERT_TRUE(Gone(*report));
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(Field(app, ids::kEditExe), "");
  EXPECT_EQ(Field(app, ids::kEditParams), "/custom");
}

// Waits for the program to end; its exit code, and whether a window of its
// own was seen on screen meanwhile.
std::pair<std::optional<DWORD>, bool> WaitExitUnseen(App& app) {
  bool seen = false;
  WaitFor([&] {
    seen = seen || FindVisible(app.pid(), nullptr) != nullptr;
    return !app.Running();
  });
  return {app.WaitExit(std::chrono::milliseconds(0)), seen};
}

TEST_F(LaunchTest, OpenFromTheCommandLineStartsTheViewerWithoutTheWindow) {
  const std::string viewer = lt::StandinViewer();
  const struct {
    const char* arguments;
    std::optional<std::string> settings;
    std::string started;
  } cases[] = {
      {"/open Beta", SettingsText(viewer, "/x $NAMESPACE$"), viewer + " /x Beta"},
      // No viewer yet: the registered one, as at a first start.
      {"-OPEN \"Beta\"", std::nullopt, std::string("\"") + kInstalled + "\" /helpcol ms-help://Beta"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const size_t before = log_.Lines().size();
    LaunchOptions options = Options(c.settings);
    options.arguments = c.arguments;
    App app(options);
    const auto [code, seen] = WaitExitUnseen(app);
    ASSERT_TRUE(code) << "still running";
    EXPECT_EQ(*code, 0u);
    EXPECT_FALSE(seen) << "a window showed";
    const auto started = log_.WaitFor(before + 1);
    ASSERT_EQ(started.size(), before + 1);
    EXPECT_EQ(started.back().commandLine, c.started);
    // Neither read for a position nor written: as it was, or still absent.
    EXPECT_EQ(ReadSettings(), c.settings);
  }
}

TEST_F(LaunchTest, OpenFromTheCommandLineReportsAFailureInOneBox) {
  const std::string settings = SettingsText(lt::StandinViewer(), kTemplate);
  const struct {
    const char* arguments;
    const char* says;
    StockIcon icon;
    DWORD code;
  } cases[] = {
      {"/open NoSuch", "\"NoSuch\"", StockIcon::kError, 1},
      {"/open \"Viewer Gone\"", "\"Viewer Gone\"", StockIcon::kError, 1},
      {"/?", "/open NAME", StockIcon::kInformation, 2},
      {"-open", "/open NAME", StockIcon::kInformation, 2},
  };
  ASSERT_TRUE(lt::WriteWholeFile(names_, "Alpha\r\nBeta\r\nViewer Gone\r\n"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    // The one namespace whose viewer cannot start is opened with a viewer
    // that does not exist.
    const bool gone = std::string(c.arguments).find("Gone") != std::string::npos;
    const std::string text = gone ? SettingsText("C:\\No Such\\viewer.exe", kTemplate) : settings;
    LaunchOptions options = Options(text);
    options.arguments = c.arguments;
    App app(options);
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_NE(box->text.find(c.says), std::string::npos) << box->text;
    EXPECT_EQ(box->icon, c.icon) << ToString(box->icon);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    POINT mouse{};
    GetCursorPos(&mouse);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(mouse, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_TRUE(box->rect.left >= work.left && box->rect.top >= work.top && box->rect.right <= work.right &&
                box->rect.bottom <= work.bottom)
        << "on the monitor under the mouse";
    EXPECT_EQ(FindVisible(app.pid(), qn3::ids::kMainWindowClass), nullptr);
    Click(ButtonOf(*box, IDOK));
    ASSERT_TRUE(Gone(*box));
    const auto [code, seen] = WaitExitUnseen(app);
    ASSERT_TRUE(code) << "still running";
    EXPECT_EQ(*code, c.code);
    EXPECT_FALSE(seen) << "a second window showed";
    EXPECT_TRUE(log_.Lines().empty()) << "nothing started";
    EXPECT_EQ(ReadSettings(), text);
  }
}

// With the filled-in default below C:\Program Files, a C:\Program.exe
// would be the first program tried for the unquoted path.
TEST_F(LaunchTest, APlantedProgramExeIsNotStarted) {
  lt::PlantedViewer planted("C:\\Program.exe");
  ASSERT_TRUE(planted.Ok());
  App app(Options(std::nullopt));
  ASSERT_NE(Start(app), nullptr);
  ASSERT_EQ(Field(app, ids::kEditExe), kInstalled);
  ASSERT_TRUE(Click(app.MainControl(ids::kBtnOpen)));
  auto started = log_.WaitFor(1);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_TRUE(SamePath(started[0].module, kInstalled)) << started[0].module;
  EXPECT_EQ(started[0].commandLine, std::string("\"") + kInstalled + "\" /helpcol ms-help://Alpha");
}

}  // namespace
