// The real qn3.exe under Wine: the main window's layout, the namespace list
// and its refresh, the application title, the options panel, the notice for
// a missing Help runtime and the general error report for a failing one.
// The stand-in runtime lists the names file named by HXSTANDIN_NAMESPACES
// and misbehaves as HXSTANDIN_FAULT says (standin/README.md).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Ids.h"
#include "tests/e2e/driver/Driver.h"

namespace {

using namespace qn3::e2e;
namespace ids = qn3::ids;

constexpr char kCaption[] = "QN3 Helper 1.1";
constexpr char kNotice[] = "Html Help2 API is not available or corrupted.";

// The names the stand-in lists for one test, in a file of the test's own.
class NamesFile {
 public:
  NamesFile() : path_(BuildDir() + "\\e2e-main-window-namespaces.txt") {}
  ~NamesFile() { DeleteFileA(path_.c_str()); }
  NamesFile(const NamesFile&) = delete;
  NamesFile& operator=(const NamesFile&) = delete;

  const std::string& path() const { return path_; }

  // UTF-8, one name a line.
  void Write(const std::vector<std::string>& names) const {
    std::string text;
    for (const auto& name : names) text += name + "\r\n";
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, text.size());
  }

 private:
  std::string path_;
};

LaunchOptions WithRuntime(const NamesFile& names, const std::string& fault = {}) {
  LaunchOptions options;
  options.env.emplace_back("HXSTANDIN_NAMESPACES", names.path());
  if (fault.empty()) {
    options.unset_env.push_back("HXSTANDIN_FAULT");
  } else {
    options.env.emplace_back("HXSTANDIN_FAULT", fault);
  }
  return options;
}

// UTF-8 to the ANSI code page the program lists names in.
std::string Ansi(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string out(wide.size() * 2, '\0');
  out.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                 static_cast<int>(out.size()), nullptr, nullptr));
  return out;
}

int Height(const RECT& r) { return r.bottom - r.top; }

HWND ActiveWindowOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(thread, &info) ? info.hwndActive : nullptr;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the test prefix must run at 96 DPI";
  }

  // Starts the program and waits for its window and its first show.
  HWND Start(App& app) {
    EXPECT_TRUE(app.started());
    HWND main = app.Main();
    EXPECT_NE(main, nullptr) << "no main window";
    EXPECT_TRUE(app.Sync());
    return main;
  }

  NamesFile names_;
};

TEST_F(MainWindowTest, LayoutTextsAndStatesAtDesignSize) {
  names_.Write({});
  App app(WithRuntime(names_));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);

  EXPECT_EQ(TextOf(main), kCaption);
  const RECT window = WindowRectOf(main);
  EXPECT_EQ(window.left, 196);
  EXPECT_EQ(window.top, 117);
  const RECT client = ClientRectOf(main);
  EXPECT_EQ(client.right, 347);
  EXPECT_EQ(client.bottom, 100);
  const LONG style = GetWindowLongA(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the border must not be sizeable";

  struct Row {
    int id;
    const char* cls;
    const char* text;
    RECT bounds;  // left, top, width, height
    bool enabled;
  };
  const Row rows[] = {
      {ids::kLabel1, "Static", "Namespace:", {16, 16, 59, 13}, true},
      {ids::kCmbNamespace, "ComboBox", "", {16, 32, 317, 21}, true},
      {ids::kBtnRefresh, "Button", "Refresh", {15, 64, 75, 25}, false},
      {ids::kBtnOpen, "Button", "Open", {96, 64, 75, 25}, false},
      {ids::kBtnOptions, "Button", "Options >", {177, 64, 75, 25}, true},
      {ids::kBtnAbout, "Button", "About", {258, 64, 75, 25}, true},
      {ids::kBevel1, nullptr, "", {16, 100, 317, 2}, true},
      {ids::kLabel2, "Static", "Viewer program:", {16, 113, 79, 13}, true},
      {ids::kEditExe, "Edit", nullptr, {16, 129, 317, 21}, true},
      {ids::kLabel3, "Static", "Parameters:", {16, 156, 59, 13}, true},
      {ids::kEditParams, "Edit", "/helpcol ms-help://$NAMESPACE$", {16, 172, 317, 21}, true},
      {ids::kBtnAuto, "Button", "dexplore.exe", {177, 203, 75, 25}, true},
      {ids::kBtnBrowse, "Button", "Browse...", {258, 203, 75, 25}, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("control " + std::to_string(row.id));
    HWND control = Control(main, row.id);
    ASSERT_NE(control, nullptr);
    if (row.cls) {
      EXPECT_STRCASEEQ(ClassOf(control).c_str(), row.cls);
    }
    if (row.text) {
      EXPECT_EQ(TextOf(control), row.text);
    }
    const RECT r = RectInParent(control);
    EXPECT_EQ(r.left, row.bounds.left);
    EXPECT_EQ(r.top, row.bounds.top);
    EXPECT_EQ(r.right - r.left, row.bounds.right);
    EXPECT_EQ(r.bottom - r.top, row.bounds.bottom);
    EXPECT_EQ(IsWindowEnabled(control) != 0, row.enabled);
  }

  HWND combo = Control(main, ids::kCmbNamespace);
  EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & 3, CBS_DROPDOWNLIST) << "the list takes no typing";
  EXPECT_EQ(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0), 13);
  EXPECT_EQ(GetWindowLongA(Control(main, ids::kBtnOpen), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON)
      << "Enter presses Open";

  // Tab order: the focusable controls in sequence.
  std::vector<int> tab_order;
  for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) tab_order.push_back(GetDlgCtrlID(child));
  }
  const std::vector<int> expected_order = {ids::kCmbNamespace, ids::kBtnRefresh, ids::kBtnOpen,
                                           ids::kBtnOptions,   ids::kBtnAbout,   ids::kEditExe,
                                           ids::kEditParams,   ids::kBtnAuto,    ids::kBtnBrowse};
  EXPECT_EQ(tab_order, expected_order);
}

// A stand-in DLL of the build folder registered as the server of some COM
// classes while it lives, each registration put back afterwards; the DLL
// logs what it is asked to the file its variable names.
class ServerStandIn {
 public:
  struct Server {
    const char* key;
    // Wine's own DLL that serves it (in the system folder), and with which
    // threading model; null: no one does.
    const char* wineDll;
    const char* wineModel;
    bool existed = false;
    std::string saved = {}, model = {};
  };
  ServerStandIn(const char* dll, const char* log, const char* logVariable, std::vector<Server> servers)
      : log_(BuildDir() + "\\" + log), dll_(BuildDir() + "\\" + dll), variable_(logVariable), servers_(std::move(servers)) {
    DeleteFileA(log_.c_str());
    installed_ = true;
    for (Server& s : servers_) {
      s.existed = Read(s.key, nullptr, s.saved) && !SameText(s.saved, dll_) && Read(s.key, "ThreadingModel", s.model);
      if (!s.existed && s.wineDll) s.existed = true, s.saved = SystemFolder() + "\\" + s.wineDll, s.model = s.wineModel;
      installed_ = installed_ && Write(s.key, dll_, "Apartment");
    }
  }
  ~ServerStandIn() {
    for (const Server& s : servers_) {
      if (s.existed) Write(s.key, s.saved, s.model);
      else RegDeleteKeyA(HKEY_CLASSES_ROOT, s.key), RegDeleteKeyA(HKEY_CLASSES_ROOT, Parent(s.key).c_str());
    }
    DeleteFileA(log_.c_str());
  }
  ServerStandIn(const ServerStandIn&) = delete;
  ServerStandIn& operator=(const ServerStandIn&) = delete;

  bool Installed() const { return installed_; }
  void Into(LaunchOptions& options) const { options.env.emplace_back(variable_, log_); }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  static bool SameText(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }
  static std::string Parent(const std::string& key) { return key.substr(0, key.rfind('\\')); }
  static std::string SystemFolder() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
  }
  static bool Read(const char* key, const char* name, std::string& value) {
    char text[MAX_PATH * 2] = {};
    DWORD size = sizeof text - 1;
    if (RegGetValueA(HKEY_CLASSES_ROOT, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return false;
    value = text;
    return true;
  }
  static bool Set(HKEY key, const char* name, const std::string& value) {
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  }
  static bool Write(const char* key, const std::string& server, const std::string& model) {
    HKEY k = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) != ERROR_SUCCESS)
      return false;
    const bool ok = Set(k, nullptr, server) && Set(k, "ThreadingModel", model);
    RegCloseKey(k);
    return ok;
  }

  std::string log_, dll_;
  const char* variable_;
  std::vector<Server> servers_;
  bool installed_ = false;
};

// The annotation service's class served by oleacc-standin.dll: Wine's own
// only reports each call it does not carry out.
class AnnotationStandIn final : public ServerStandIn {
 public:
  AnnotationStandIn()
      : ServerStandIn("oleacc-standin.dll", "e2e-oleacc.txt", "OLEACC_STANDIN_LOG",
                      {{"CLSID\\{B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}\\InprocServer32", "oleacc.dll", "Apartment"}}) {}
  // The accessible descriptions so far, oldest first: the text of each
  // SetHwndPropStr, "" for a ClearHwndProps.
  std::vector<std::wstring> Descriptions() const {
    std::vector<std::wstring> out;
    for (const std::string& line : Lines()) {
      const size_t text = line.find("} ");
      if (line.rfind("ClearHwndProps ", 0) == 0) out.emplace_back();
      if (line.rfind("SetHwndPropStr ", 0) != 0 || text == std::string::npos) continue;
      std::wstring decoded;
      for (size_t i = text + 2; i < line.size(); ++i) {
        if (line.compare(i, 2, "\\u") == 0 && i + 6 <= line.size()) {
          decoded += static_cast<wchar_t>(std::stoul(line.substr(i + 2, 4), nullptr, 16));
          i += 5;
        } else {
          decoded += static_cast<wchar_t>(line[i]);
        }
      }
      out.push_back(decoded);
    }
    return out;
  }
  std::wstring Last() const {
    const auto all = Descriptions();
    return all.empty() ? L"(none)" : all.back();
  }
};

TEST_F(MainWindowTest, ListsNamespacesInCatalogueOrderAndTitleFollowsSelection) {
  const std::vector<std::string> listed = {"Zeta.Last", "Alpha", "",     "Caf\xC3\xA9.Reference", "beta",
                                           "Ja.Docs",   "Tabbed", "Long", "Gone"};
  // The names file gives some a description after a tab, and a collection
  // file after another.
  const std::string zeta = "The last of them all, with a description far wider than the list is";
  const std::string japanese = "Visual Studio 2008 \xE3\x83\x89\xE3\x82\xAD\xE3\x83\xA5\xE3\x83\xA1\xE3\x83\xB3\xE3\x83\x88";
  std::string longText;
  for (int i = 0; i < 2000; ++i) longText += "word ";
  names_.Write({listed[0] + "\t" + zeta, listed[1], listed[2], listed[3] + "\tCaf\xC3\xA9 guide", listed[4],
                listed[5] + "\t" + japanese, listed[6] + "\tBefore\tafter\t" + ProgramPath(), listed[7] + "\t" + longText,
                listed[8] + "\tRemoved documentation\tC:\\nowhere\\gone.HxC"});
  AnnotationStandIn annotations;
  ASSERT_TRUE(annotations.Installed());
  LaunchOptions options = WithRuntime(names_);
  annotations.Into(options);
  App app(options);
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);

  std::vector<std::string> expected;
  for (const auto& name : listed) expected.push_back(Ansi(name));
  HWND combo = Control(main, ids::kCmbNamespace);
  EXPECT_EQ(ComboItems(combo), expected) << "neither sorted nor filtered; the names alone";
  // The hint is the selected namespace's description, and so is what a
  // screen reader reads; the dropped list grows to show it.
  EXPECT_EQ(HoverTooltip(app.pid(), combo), zeta);
  EXPECT_EQ(annotations.Descriptions(), std::vector<std::wstring>{std::wstring(zeta.begin(), zeta.end())});
  ASSERT_TRUE(SendMessageTimeoutA(combo, CB_SHOWDROPDOWN, TRUE, 0, SMTO_NORMAL, 5000, nullptr));
  EXPECT_GT(SendMessageA(combo, CB_GETDROPPEDWIDTH, 0, 0), WindowRectOf(combo).right - WindowRectOf(combo).left);
  SendMessageTimeoutA(combo, CB_SHOWDROPDOWN, FALSE, 0, SMTO_NORMAL, 5000, nullptr);
  EXPECT_EQ(ComboSelection(combo), 0);
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kBtnOpen)));
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kBtnRefresh)));
  EXPECT_EQ(app.AppTitle(), "Zeta.Last - QN3 Helper 1.1");
  EXPECT_EQ(TextOf(main), kCaption) << "the window caption stays";

  ASSERT_TRUE(SelectComboItem(combo, 3));
  EXPECT_EQ(app.AppTitle(), Ansi("Caf\xC3\xA9.Reference - QN3 Helper 1.1"));
  EXPECT_EQ(HoverTooltip(app.pid(), combo), Ansi("Caf\xC3\xA9 guide"));
  EXPECT_EQ(annotations.Last(), L"Caf\u00E9 guide");
  ASSERT_TRUE(SelectComboItem(combo, 2));
  EXPECT_EQ(app.AppTitle(), " - QN3 Helper 1.1") << "an empty name is a name";
  EXPECT_EQ(HoverTooltip(app.pid(), combo, std::chrono::milliseconds(1500)), "") << "no description, no hint";
  EXPECT_EQ(annotations.Last(), L"") << "nor an annotation";

  // Any script, whatever the code page, as registered.
  ASSERT_TRUE(SelectComboItem(combo, 5));
  std::optional<TipShown> tip = HoverTip(app.pid(), combo);
  ASSERT_TRUE(tip.has_value());
  EXPECT_EQ(tip->text, L"Visual Studio 2008 \u30C9\u30AD\u30E5\u30E1\u30F3\u30C8");
  EXPECT_EQ(annotations.Last(), tip->text);
  // A tab shows as a space; a collection file that is there is not marked.
  ASSERT_TRUE(SelectComboItem(combo, 6));
  tip = HoverTip(app.pid(), combo);
  ASSERT_TRUE(tip.has_value());
  EXPECT_EQ(tip->text, L"Before after");
  // A very long description wraps within the screen and is cut.
  ASSERT_TRUE(SelectComboItem(combo, 7));
  tip = HoverTip(app.pid(), combo);
  ASSERT_TRUE(tip.has_value());
  const qn3::TRect work = WorkAreaOf(main);
  EXPECT_LE(tip->rect.right - tip->rect.left, work.right - work.left);
  EXPECT_LE(tip->rect.bottom - tip->rect.top, work.bottom - work.top);
  ASSERT_FALSE(tip->text.empty());
  EXPECT_EQ(tip->text.back(), L'\u2026');
  // A collection file that is gone is named, once its check has answered.
  ASSERT_TRUE(SelectComboItem(combo, 8));
  const std::wstring gone = L"Removed documentation\r\nCollection file missing: C:\\nowhere\\gone.HxC";
  EXPECT_TRUE(WaitFor([&] { return annotations.Last() == gone; })) << "read aloud";
  tip = HoverTip(app.pid(), combo);
  ASSERT_TRUE(tip.has_value());
  EXPECT_EQ(tip->text, gone);
  EXPECT_TRUE(app.Dialogs().empty());
  EXPECT_EQ(app.Close(), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, RefreshKeepsTheSelectedIndexAndLeavesTheTitle) {
  names_.Write({"Alpha", "Beta", "Gamma"});
  App app(WithRuntime(names_));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  HWND combo = Control(main, ids::kCmbNamespace);
  ASSERT_TRUE(SelectComboItem(combo, 1));
  ASSERT_EQ(app.AppTitle(), "Beta - QN3 Helper 1.1");

  names_.Write({"One", "Two", "Three", "Four"});
  ASSERT_TRUE(Click(Control(main, ids::kBtnRefresh)));
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"One", "Two", "Three", "Four"}));
  EXPECT_EQ(ComboSelection(combo), 1);
  EXPECT_EQ(app.AppTitle(), "Beta - QN3 Helper 1.1") << "a refresh does not update the title";
}

TEST_F(MainWindowTest, RefreshToAShorterListLeavesNothingSelected) {
  names_.Write({"Alpha", "Beta"});
  App app(WithRuntime(names_));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  HWND combo = Control(main, ids::kCmbNamespace);
  ASSERT_TRUE(SelectComboItem(combo, 1));

  names_.Write({"Alpha"});
  ASSERT_TRUE(Click(Control(main, ids::kBtnRefresh)));
  EXPECT_EQ(ComboItems(combo), std::vector<std::string>{"Alpha"});
  EXPECT_EQ(ComboSelection(combo), -1);
  EXPECT_EQ(app.AppTitle(), "Beta - QN3 Helper 1.1");

  // A refresh that finds nothing empties the list; the buttons stay enabled.
  names_.Write({});
  ASSERT_TRUE(Click(Control(main, ids::kBtnRefresh)));
  EXPECT_TRUE(ComboItems(combo).empty());
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kBtnRefresh)));
  EXPECT_TRUE(IsWindowEnabled(Control(main, ids::kBtnOpen)));
  EXPECT_TRUE(app.Dialogs().empty());
}

TEST_F(MainWindowTest, OptionsExpandsAndCollapsesThePanel) {
  names_.Write({"Alpha"});
  App app(WithRuntime(names_));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  HWND options = Control(main, ids::kBtnOptions);
  const int collapsed = Height(WindowRectOf(main));

  ASSERT_TRUE(Click(options));
  EXPECT_EQ(Height(WindowRectOf(main)), 203 + 25 + 43);
  EXPECT_EQ(TextOf(options), "Options <");
  RECT browse = WindowRectOf(Control(main, ids::kBtnBrowse));
  RECT client = ClientRectOf(main);
  MapWindowPoints(main, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_LE(browse.bottom, client.bottom) << "the expanded panel shows Browse";

  // The panel's buttons show their hints.
  EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnAuto)), "Locate Html Help2 default viewer (dexplorer.exe)");
  EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnBrowse)), "Locate Html Help2 viewer program");
  EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnRefresh)), "Reload Html Help2 namespaces");

  // The focus in a field of the panel survives a switch to another program
  // and back, as in a dialog.
  HWND params = Control(main, ids::kEditParams);
  ASSERT_TRUE(TabTo(app.thread(), params));
  {
    ForeignWindow other;
    ASSERT_NE(other.handle(), nullptr);
    ASSERT_TRUE(BringToForeground(main));
  }
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(FocusOf(app.thread()), params);

  // Browse opens the file dialog, whose DLL is loaded only now; cancelled,
  // it leaves the viewer field as it was.
  HWND exe = Control(main, ids::kEditExe);
  const std::string viewer = TextOf(exe);
  PostClick(Control(main, ids::kBtnBrowse));
  HWND dialog = app.WaitDialog();
  ASSERT_NE(dialog, nullptr) << "no file dialog";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  ASSERT_TRUE(app.Sync());
  EXPECT_EQ(TextOf(exe), viewer);

  ASSERT_TRUE(Click(options));
  EXPECT_EQ(Height(WindowRectOf(main)), collapsed);
  EXPECT_EQ(TextOf(options), "Options >");
  EXPECT_EQ(ClientRectOf(main).bottom, 100);
  EXPECT_EQ(app.Close(), std::optional<DWORD>(0)) << "ends cleanly after the dialog";
}

TEST_F(MainWindowTest, MissingRuntimeIsNoticedOnceBesideTheWindow) {
  App app(WithoutRuntime());
  HWND main = app.Main();
  ASSERT_NE(main, nullptr);

  auto box = app.WaitMessageBox("Information");
  ASSERT_TRUE(box.has_value()) << "no notice";
  EXPECT_EQ(box->text, kNotice);
  EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(box->default_id, IDOK);
  EXPECT_EQ(box->icon, StockIcon::kInformation) << ToString(box->icon);
  const RECT window = WindowRectOf(main);
  EXPECT_EQ(box->rect.left, window.left + 35);
  EXPECT_EQ(box->rect.top, window.top + 70);
  EXPECT_TRUE(IsWindowVisible(main)) << "the notice comes after the window";

  ASSERT_FALSE(box->button_ids.empty());
  PostClick(Control(box->window, box->button_ids.front()));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box->window); }));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(app.Dialogs().empty()) << "the notice shows once";

  HWND combo = Control(main, ids::kCmbNamespace);
  EXPECT_TRUE(ComboItems(combo).empty());
  EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kBtnRefresh)));
  EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kBtnOpen)));
  EXPECT_EQ(app.AppTitle(), "qn3") << "the program file's name, cut at the dot";

  // The disabled buttons show their hints all the same.
  EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnRefresh)), "Reload Html Help2 namespaces");
  EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnOpen)), "Open namespace content");
  EXPECT_EQ(HoverTooltip(app.pid(), Control(main, ids::kBtnAbout), std::chrono::milliseconds(1500)), "")
      << "About has no hint";

  // The window stays usable.
  ASSERT_TRUE(Click(Control(main, ids::kBtnOptions)));
  EXPECT_EQ(TextOf(Control(main, ids::kBtnOptions)), "Options <");
  EXPECT_EQ(app.Close(), std::optional<DWORD>(0));
}

TEST_F(MainWindowTest, RuntimeWithoutNamespacesKeepsButtonsDisabledAndShowsNoNotice) {
  struct Case {
    const char* what;
    bool file;
    std::string fault;
  };
  const Case cases[] = {
      {"no names file", false, ""},
      {"count of zero", true, "count=0"},
      {"negative count", true, "count=-3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.file) {
      names_.Write({"Alpha", "Beta"});
    } else {
      DeleteFileA(names_.path().c_str());
    }
    App app(WithRuntime(names_, c.fault));
    HWND main = Start(app);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(app.Dialogs().empty()) << "no notice when the runtime is there";
    EXPECT_TRUE(ComboItems(Control(main, ids::kCmbNamespace)).empty());
    EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kBtnRefresh)));
    EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kBtnOpen)));
    EXPECT_EQ(app.AppTitle(), "qn3");
  }
}

TEST_F(MainWindowTest, TitleBeforeAnyUpdateComesFromTheProgramFileName) {
  // A copy of the program under another name; it keeps settings named
  // after itself, which go with it.
  struct Copy {
    std::string exe = BuildDir() + "\\E2E.Title.EXE";
    std::string settings = SettingsPath().substr(0, SettingsPath().find_last_of('\\')) + "\\E2E.Title.dat";
    ~Copy() {
      DeleteFileA(exe.c_str());
      DeleteFileA(settings.c_str());
    }
  } copy;
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), copy.exe.c_str(), FALSE));
  names_.Write({});
  LaunchOptions options = WithRuntime(names_);
  options.program = copy.exe;
  App app(options);
  ASSERT_NE(Start(app), nullptr);
  EXPECT_EQ(app.AppTitle(), "E2e");
  EXPECT_EQ(app.Close(), std::optional<DWORD>(0));
}

// A failure inside the first show's refresh reaches the general error
// report: the message gains a period unless it ends in a code of "." or
// below, the caption is the application title, and the names read before
// the failure stay listed.
TEST_F(MainWindowTest, FailingFirstRefreshIsReportedAndTheProgramKeepsRunning) {
  struct Case {
    const char* description;
    const char* shown;
  };
  const Case cases[] = {
      {"Namespace registry damaged", "Namespace registry damaged."},
      {"Cannot read item 2:", "Cannot read item 2:."},
      {"Item 2 failed.", "Item 2 failed."},
      {"Gone (really)", "Gone (really)"},
      {"Stop!", "Stop!"},
  };
  names_.Write({"Alpha", "Beta", "Gamma"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.description);
    App app(WithRuntime(names_, std::string("fail=item@2:0x80004005:") + c.description));
    // The report may come before the window is visible: it fails its show.
    auto box = app.WaitMessageBox();
    ASSERT_TRUE(box.has_value()) << "no error report";
    EXPECT_EQ(box->caption, "qn3") << "the title was never updated";
    EXPECT_EQ(box->text, c.shown);
    EXPECT_EQ(box->buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box->icon, StockIcon::kError) << ToString(box->icon);

    PostClick(Control(box->window, box->button_ids.front()));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box->window); }));
    HWND main = app.Main();
    ASSERT_NE(main, nullptr) << "the window still shows";
    ASSERT_TRUE(app.Sync());
    EXPECT_TRUE(app.Dialogs().empty()) << "the rest of the first show is skipped";
    EXPECT_EQ(ComboItems(Control(main, ids::kCmbNamespace)), std::vector<std::string>{"Alpha"});
    EXPECT_FALSE(IsWindowEnabled(Control(main, ids::kBtnOpen)));
    EXPECT_EQ(app.AppTitle(), "qn3");
    EXPECT_TRUE(Click(Control(main, ids::kBtnOptions))) << "the program keeps running";
  }
}

TEST_F(MainWindowTest, FailingRefreshClickIsReportedOverADisabledWindow) {
  names_.Write({"Alpha", "Beta"});
  App app(WithRuntime(names_, "fail=item@3:0x80004005:Third namespace unreadable"));
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  HWND combo = Control(main, ids::kCmbNamespace);
  ASSERT_TRUE(SelectComboItem(combo, 1));
  ASSERT_EQ(app.AppTitle(), "Beta - QN3 Helper 1.1");

  names_.Write({"Alpha", "Beta", "Gamma"});
  PostClick(Control(main, ids::kBtnRefresh));
  auto box = app.WaitMessageBox();
  ASSERT_TRUE(box.has_value()) << "no error report";
  EXPECT_EQ(box->caption, "Beta - QN3 Helper 1.1") << "the caption is the title at that moment";
  EXPECT_EQ(box->text, "Third namespace unreadable.");
  EXPECT_EQ(box->icon, StockIcon::kError) << ToString(box->icon);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the other windows are disabled while the report shows";

  ASSERT_TRUE(PressKey(app.thread(), VK_RETURN));
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box->window); }));
  ASSERT_TRUE(app.Sync());
  EXPECT_TRUE(IsWindowEnabled(main));
  EXPECT_EQ(ActiveWindowOf(app.thread()), main) << "activation comes back";
  EXPECT_EQ(ComboItems(combo), (std::vector<std::string>{"Alpha", "Beta"}));
  EXPECT_TRUE(app.Dialogs().empty());

  // Still running: the next refresh fails the same way.
  PostClick(Control(main, ids::kBtnRefresh));
  box = app.WaitMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, "Third namespace unreadable.");
}

// The stand-in dwmapi in the system folder's place, for qn3.exe alone,
// while it lives: Wine's own answers every call and draws nothing, the
// stand-in logs what it was asked.
class DwmStandIn {
 public:
  DwmStandIn() : log_(BuildDir() + "\\e2e-dwmapi.txt") {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    dll_ = std::string(system) + "\\dwmapi.dll";
    MoveFileExA(dll_.c_str(), (dll_ + ".e2e-saved").c_str(), MOVEFILE_REPLACE_EXISTING);
    installed_ = CopyFileA((BuildDir() + "\\dwmapi-standin.dll").c_str(), dll_.c_str(), FALSE) &&
                 RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key_,
                                 nullptr) == ERROR_SUCCESS &&
                 RegSetValueExA(key_, "dwmapi", 0, REG_SZ, reinterpret_cast<const BYTE*>("native"), 7) == ERROR_SUCCESS;
    DeleteFileA(log_.c_str());
  }
  ~DwmStandIn() {
    if (key_) {
      RegDeleteValueA(key_, "dwmapi");
      RegCloseKey(key_);
    }
    DeleteFileA(dll_.c_str());
    MoveFileExA((dll_ + ".e2e-saved").c_str(), dll_.c_str(), MOVEFILE_REPLACE_EXISTING);
    DeleteFileA(log_.c_str());
  }
  DwmStandIn(const DwmStandIn&) = delete;
  DwmStandIn& operator=(const DwmStandIn&) = delete;

  bool Installed() const { return installed_; }
  void Into(LaunchOptions& options) const { options.env.emplace_back("DWMAPI_STANDIN_LOG", log_); }
  // The calls of the function so far, each as its logged words after the name.
  std::vector<std::vector<std::string>> Calls(const std::string& function) const {
    std::vector<std::vector<std::string>> calls;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) {
      std::istringstream words(line);
      std::string name;
      if (!(words >> name) || name != function) continue;
      calls.emplace_back(std::istream_iterator<std::string>(words), std::istream_iterator<std::string>());
    }
    return calls;
  }

 private:
  static constexpr char kOverrides[] = "Software\\Wine\\AppDefaults\\qn3.exe\\DllOverrides";
  std::string log_, dll_;
  HKEY key_ = nullptr;
  bool installed_ = false;
};

unsigned long long Hex(const std::string& word) { return std::stoull(word, nullptr, 16); }

// The stand-in jump list in the prefix while it lives: the destination
// list, the object collection and the shell link served by
// jumplist-standin.dll, which logs what it was asked; then each class's
// registration as it was (a stand-in left by a run that died is Wine's
// shell32 again).
class JumpListStandIn final : public ServerStandIn {
 public:
  JumpListStandIn()
      : ServerStandIn("jumplist-standin.dll", "e2e-jumplist.txt", "JUMPLIST_STANDIN_LOG",
                      {{"CLSID\\{77F10CF0-3DB5-4966-B520-B7C54FD35ED6}\\InprocServer32", "shell32.dll", "Apartment"},
                       {"CLSID\\{2D3468C1-36A7-43B6-AC24-D3F02FD9607A}\\InprocServer32", nullptr, nullptr},
                       {"CLSID\\{00021401-0000-0000-C000-000000000046}\\InprocServer32", "shell32.dll", "Both"}}) {}
};

// The taskbar shows the hidden application window, which carries the
// button: from Windows 7 on it asks for pictures of its own once the main
// window has been shown, and hands one over for each request.
TEST_F(MainWindowTest, TheTaskbarPreviewsComeFromTheApplicationWindow) {
  constexpr UINT kSendIconicThumbnail = 0x0323, kSendIconicLivePreview = 0x0326;
  DwmStandIn dwm;
  ASSERT_TRUE(dwm.Installed());
  names_.Write({"Alpha"});
  LaunchOptions options = WithRuntime(names_);
  dwm.Into(options);
  App app(options);
  HWND main = Start(app);
  ASSERT_NE(main, nullptr);
  const auto appWindow = reinterpret_cast<uintptr_t>(app.AppWindow());
  std::set<std::string> attributes;  // the ones set to TRUE
  for (const auto& call : dwm.Calls("DwmSetWindowAttribute")) {
    ASSERT_EQ(call.size(), 3u);
    EXPECT_EQ(Hex(call[0]), appWindow);
    if (call[2] == "1") attributes.insert(call[1]);
  }
  EXPECT_EQ(attributes, (std::set<std::string>{"7", "10"})) << "forced iconic, with a bitmap of its own";

  SendMessageTimeoutA(app.AppWindow(), kSendIconicThumbnail, 0, MAKELPARAM(120, 200), SMTO_NORMAL, 5000, nullptr);
  SendMessageTimeoutA(app.AppWindow(), kSendIconicLivePreview, 0, 0, SMTO_NORMAL, 5000, nullptr);
  ASSERT_TRUE(app.Sync());
  // The main window, wider than high: 200 wide, in its proportions; the
  // live preview at its own size.
  const RECT r = WindowRectOf(main);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const auto thumbnails = dwm.Calls("DwmSetIconicThumbnail");
  ASSERT_EQ(thumbnails.size(), 1u);
  EXPECT_EQ(Hex(thumbnails[0][0]), appWindow);
  EXPECT_EQ(thumbnails[0][1], "200x" + std::to_string(MulDiv(h, 200, w)));
  EXPECT_EQ(thumbnails[0][2], "32");
  const auto previews = dwm.Calls("DwmSetIconicLivePreviewBitmap");
  ASSERT_EQ(previews.size(), 1u);
  EXPECT_EQ(previews[0][1], std::to_string(w) + "x" + std::to_string(h));

  // A new viewer text and a focus move each change the picture: the
  // system is told to ask again.
  const auto invalidations = [&] { return dwm.Calls("DwmInvalidateIconicBitmaps").size(); };
  size_t before = invalidations();
  SendMessageTimeoutA(Control(main, ids::kEditExe), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\Other\\v.exe"),
                      SMTO_NORMAL, 5000, nullptr);
  ASSERT_TRUE(app.Sync());
  EXPECT_GT(invalidations(), before) << "after the text changed";
  before = invalidations();
  ASSERT_TRUE(PressKey(app.thread(), VK_TAB));
  ASSERT_TRUE(app.Sync());
  EXPECT_GT(invalidations(), before) << "after the focus moved";
}

// Once the window has painted, the jump list's one category holds every
// namespace in order, each opening it with this program; a refresh that
// changes the names builds it again, one that changes nothing does not.
// Links the user removed stay out, and the list holds no more than its
// slots.
TEST_F(MainWindowTest, TheJumpListOffersEveryNamespace) {
  JumpListStandIn jump;
  ASSERT_TRUE(jump.Installed());
  names_.Write({"Alpha", "Beta\tThe second \"book\""});
  LaunchOptions options = WithRuntime(names_);
  jump.Into(options);
  const std::string program = ProgramPath();
  const auto item = [&](const std::string& title, const std::string& name) {
    return "item\t" + title + "\t" + program + "\t/open \"" + name + "\"\t" + program + ",0\t" + name;
  };
  const auto build = [&](std::vector<std::string> items) {
    items.insert(items.begin(), {"BeginList", "AppendCategory\tNamespaces\tS_OK"});
    items.push_back("CommitList");
    return items;
  };
  std::vector<std::string> expected = build({item("Alpha", "Alpha"), item("The second \"book\"", "Beta")});
  {
    App app(options);
    HWND main = Start(app);
    ASSERT_NE(main, nullptr);
    WaitFor([&] { return jump.Lines().size() >= expected.size(); });
    EXPECT_EQ(jump.Lines(), expected);

    names_.Write({"Alpha", "Beta\tThe second \"book\"", "Gamma"});
    ASSERT_TRUE(Click(Control(main, ids::kBtnRefresh)));
    const auto rebuilt =
        build({item("Alpha", "Alpha"), item("The second \"book\"", "Beta"), item("Gamma", "Gamma")});
    expected.insert(expected.end(), rebuilt.begin(), rebuilt.end());
    EXPECT_EQ(jump.Lines(), expected);

    ASSERT_TRUE(Click(Control(main, ids::kBtnRefresh)));
    ASSERT_TRUE(app.Sync());
    EXPECT_EQ(jump.Lines(), expected) << "nothing changed, nothing built";
  }
  options.env.emplace_back("JUMPLIST_STANDIN_REMOVED", "/open \"Beta\"");
  options.env.emplace_back("JUMPLIST_STANDIN_SLOTS", "2");
  names_.Write({"Alpha", "Beta", "Gamma", "Delta"});
  App app(options);
  ASSERT_NE(Start(app), nullptr);
  const auto trimmed = build({item("Alpha", "Alpha"), item("Gamma", "Gamma")});
  expected.insert(expected.end(), trimmed.begin(), trimmed.end());
  WaitFor([&] { return jump.Lines().size() >= expected.size(); });
  EXPECT_EQ(jump.Lines(), expected);
}

}  // namespace
