// The About dialog inside this process: placement, widening through the
// anchors, link look, icon ownership and release, and the shell hand-over.
// A thread timer looks at the dialog while its modal show runs, then
// closes it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "about/uAbout.h"
#include "about/uDlgUtils.h"
#include "tests/e2e/about_handler.h"
#include "ui/Application.h"

namespace qn3 {
namespace {

ui::TApplication& App() {
  static ui::TApplication app(GetModuleHandleA(nullptr));
  return app;
}

std::string BuildFile(const char* name) {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

// What the dialog looked like while it was shown.
struct Seen {
  HWND window = nullptr;
  RECT outer{}, client{};
  RECT product{}, company{}, group{}, ok{};  // in their parents' client coordinates
  std::string productText, versionText, companyText, copyrightText;
  LOGFONTA dialogFont{}, companyFont{};
  bool handOverCompany = false;
  HICON icon = nullptr;
};

RECT InParent(HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string Text(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

LOGFONTA FontOf(HWND window) {
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

Seen* seen = nullptr;

void CALLBACK Inspect(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA(ids::kAboutWindowClass, nullptr);
  if (!dialog || !IsWindowVisible(dialog)) return;
  KillTimer(nullptr, timer);
  Seen& s = *seen;
  s.window = dialog;
  GetWindowRect(dialog, &s.outer);
  GetClientRect(dialog, &s.client);
  HWND group = GetDlgItem(dialog, ids::kGroupBox1);
  HWND company = GetDlgItem(group, ids::kLblCompany);
  s.group = InParent(group);
  s.ok = InParent(GetDlgItem(dialog, ids::kBtnOk));
  s.product = InParent(GetDlgItem(group, ids::kLblProduct));
  s.company = InParent(company);
  s.productText = Text(GetDlgItem(group, ids::kLblProduct));
  s.versionText = Text(GetDlgItem(group, ids::kLblVersion));
  s.copyrightText = Text(GetDlgItem(group, ids::kLblCopyright));
  s.companyText = Text(company);
  s.dialogFont = FontOf(GetDlgItem(group, ids::kLblProduct));  // labels carry the dialog font
  s.companyFont = FontOf(company);
  s.icon = reinterpret_cast<HICON>(SendMessageA(GetDlgItem(group, ids::kImage), STM_GETICON, 0, 0));
  SetCursor(LoadCursor(nullptr, IDC_ARROW));
  SendMessageA(company, WM_SETCURSOR, reinterpret_cast<WPARAM>(company), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  s.handOverCompany = GetCursor() == LoadCursor(nullptr, IDC_HAND);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

// Shows the dialog once and returns what it looked like.
Seen Show(const std::function<bool()>& show, bool& result) {
  Seen s;
  seen = &s;
  SetTimer(nullptr, 0, 20, Inspect);
  result = show();
  seen = nullptr;
  return s;
}

// Runs the message loop until the window is gone.
bool PumpUntilDestroyed(HWND window) {
  for (int i = 0; i < 200 && IsWindow(window); ++i) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
  return !IsWindow(window);
}

int WidthInDialogFont(const std::string& text) {
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return size.cx;
}

// A plain window to centre on.
struct OwnerWindow {
  explicit OwnerWindow(RECT r)
      : handle(CreateWindowExA(0, "STATIC", "owner", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                               nullptr, nullptr, nullptr, nullptr)) {}
  ~OwnerWindow() { DestroyWindow(handle); }
  HWND handle;
};

TDlgOptionsAbout Texts(std::string product, std::string url) {
  TDlgOptionsAbout o;
  o.Product = std::move(product);
  o.Version = "1.1.0.40";
  o.Copyright = "Copyright \xA9 2026 Tarvik";
  o.Company = "Tarvik";
  o.Url = std::move(url);
  return o;
}

TEST(AboutDialog, WidensByTheLargestOverflowAndKeepsTheCentredLeftEdge) {
  OwnerWindow owner({100, 50, 500, 350});
  struct Case {
    const char* product;
  };
  for (const Case& c : {Case{"QN3 Helper"}, Case{"QN3 Helper, a product name far too long to fit"}}) {
    const int overflow = std::max(0, WidthInDialogFont(c.product) - 144);
    const TDlgOptionsAbout options = Texts(c.product, "");
    bool result = false;
    const Seen s = Show([&] { return TFrmAbout::ShowAboutDialog(App(), {owner.handle, poMainFormCenter, 0, 0}, options); },
                        result);
    ASSERT_TRUE(result);
    ASSERT_NE(s.window, nullptr) << c.product;
    EXPECT_EQ(s.client.right, 230 + overflow) << c.product;
    EXPECT_EQ(s.client.bottom, 133);
    EXPECT_EQ(s.product.right - s.product.left, 144 + overflow);
    EXPECT_EQ(s.company.right - s.company.left, 144 + overflow);
    EXPECT_EQ(s.group.right - s.group.left, 212 + overflow);
    EXPECT_EQ(s.ok.left, 147 + overflow);
    EXPECT_EQ(s.ok.top, 105);
    // Centred at the designed width, then grown to the right.
    const int designedWidth = s.outer.right - s.outer.left - overflow;
    EXPECT_EQ(s.outer.left, 100 + (400 - designedWidth) / 2);
    EXPECT_EQ(s.outer.top, 50 + (300 - (s.outer.bottom - s.outer.top)) / 2);
    EXPECT_TRUE(PumpUntilDestroyed(s.window));
  }
}

TEST(AboutDialog, LinkLookOnlyWithAnAddress) {
  for (const char* url : {"https://tarvik.example/qn3/", ""}) {
    const TDlgOptionsAbout options = Texts("QN3 Helper", url);
    bool result = false;
    const Seen s = Show([&] { return TFrmAbout::ShowAboutDialog(App(), {nullptr, poScreenCenter, 0, 0}, options); },
                        result);
    ASSERT_NE(s.window, nullptr);
    const bool link = *url != 0;
    EXPECT_EQ(s.companyFont.lfUnderline != 0, link) << url;
    EXPECT_EQ(s.companyFont.lfWeight, s.dialogFont.lfWeight);
    EXPECT_EQ(s.companyFont.lfItalic, s.dialogFont.lfItalic);
    EXPECT_EQ(s.companyFont.lfHeight, s.dialogFont.lfHeight);
    EXPECT_STREQ(s.companyFont.lfFaceName, "Tahoma");
    EXPECT_EQ(s.handOverCompany, link) << url;
    EXPECT_TRUE(PumpUntilDestroyed(s.window));
  }
}

TEST(AboutDialog, ImageOwnsTheIconUntilTheQueuedReleaseDestroysIt) {
  e2e::UrlHandlerStandIn handler(BuildFile("about-url-log.exe"));
  TDlgOptionsAbout options = Texts("QN3 Helper", "https://tarvik.example/qn3/");
  options.Icon = CopyIcon(LoadIcon(nullptr, IDI_APPLICATION));
  ASSERT_NE(options.Icon, nullptr);
  bool result = false;
  const Seen s = Show([&] { return TFrmAbout::ShowAboutDialog(App(), {nullptr, poScreenCenter, 0, 0}, options); },
                      result);
  EXPECT_TRUE(result);
  EXPECT_EQ(s.icon, options.Icon);
  // The release is queued: the window outlives the call, then goes.
  EXPECT_TRUE(IsWindow(s.window));
  // The queued dialog no longer refers to the record: a late click is ignored.
  HWND company = GetDlgItem(GetDlgItem(s.window, ids::kGroupBox1), ids::kLblCompany);
  SendMessageA(s.window, WM_COMMAND, MAKEWPARAM(ids::kLblCompany, STN_CLICKED), reinterpret_cast<LPARAM>(company));
  Sleep(300);
  EXPECT_EQ(handler.Log(), "");
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(options.Icon, &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  EXPECT_TRUE(PumpUntilDestroyed(s.window));
  EXPECT_FALSE(GetIconInfo(options.Icon, &info));
}

TEST(AboutDialog, PlacementModes) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  struct Case {
    const char* name;
    DialogPlacement placement;
    bool screenCentred;
    POINT designed;
  };
  // An owner that is no window leaves mode 6 to the show, which centres
  // (there is no main form here, so on the screen) and clamps at 0.
  for (const Case& c : {Case{"unreadable owner", {reinterpret_cast<HWND>(0x7ff0), poMainFormCenter, -500, -500}, true, {}},
                        Case{"screen", {nullptr, poScreenCenter, -500, -500}, true, {}},
                        Case{"designed", {nullptr, poDesigned, 300, 200}, false, {300, 200}}}) {
    const TDlgOptionsAbout options = Texts("QN3 Helper", "");
    bool result = false;
    const Seen s = Show([&] { return TFrmAbout::ShowAboutDialog(App(), c.placement, options); }, result);
    ASSERT_NE(s.window, nullptr) << c.name;
    const ScreenPoint expected =
        c.screenCentred ? CenteredOriginOnScreen({0, 0, cx, cy}, s.outer.right - s.outer.left, s.outer.bottom - s.outer.top)
                        : ScreenPoint{c.designed.x, c.designed.y};
    EXPECT_EQ(s.outer.left, expected.x) << c.name;
    EXPECT_EQ(s.outer.top, expected.y) << c.name;
    EXPECT_TRUE(PumpUntilDestroyed(s.window));
  }
}

TEST(AboutDialog, CenterOnWindowSetsDesignedOrChangesNothing) {
  auto* dialog = new TFrmAbout(App(), nullptr);
  dialog->SetBounds(10, 20, 237, 160);
  dialog->SetPosition(poMainFormCenter);
  CenterOnWindow(reinterpret_cast<HWND>(0x7ff0), *dialog);
  EXPECT_EQ(dialog->Position(), poMainFormCenter);
  EXPECT_EQ(dialog->Left(), 10);
  EXPECT_EQ(dialog->Top(), 20);
  {
    OwnerWindow owner({100, 50, 200, 150});
    CenterOnWindow(owner.handle, *dialog);
  }
  EXPECT_EQ(dialog->Position(), poDesigned);
  EXPECT_EQ(dialog->Left(), 32);
  EXPECT_EQ(dialog->Top(), 20);
  EXPECT_EQ(dialog->Width(), 237);
  EXPECT_EQ(dialog->Height(), 160);
  delete dialog;
}

TEST(AboutDialog, ForFilesWithAndWithoutVersionTexts) {
  struct Case {
    std::string file;
    const char *product, *version, *company;
  };
  const std::string own = BuildFile("qn3.exe");
  for (const Case& c : {Case{own, "QN3 Helper", "Version 1.1.0.40", "Tarvik"},
                        // Its FileVersion is not found, so nothing else is read.
                        Case{BuildFile("about_no_translation.exe"), "", "Version ", ""},
                        Case{BuildFile("about_dialog_test.exe"), "", "Version ", ""}}) {
    if (GetFileAttributesA(c.file.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
    bool result = false;
    const Seen s = Show([&] { return TFrmAbout::ShowAboutFor(App(), {nullptr, poScreenCenter, 0, 0}, c.file); }, result);
    EXPECT_TRUE(result) << c.file;
    EXPECT_EQ(s.productText, c.product) << c.file;
    EXPECT_EQ(s.versionText, c.version) << c.file;
    EXPECT_EQ(s.companyText, c.company) << c.file;
    EXPECT_EQ(s.companyFont.lfUnderline != 0, *c.company != 0);
    EXPECT_EQ(s.icon != nullptr, c.file == own) << c.file;
    EXPECT_TRUE(PumpUntilDestroyed(s.window));
  }
}

TEST(ShellOpen, AcceptedOnlyWhenTheShellHasAHandler) {
  e2e::UrlHandlerStandIn handler(BuildFile("about-url-log.exe"));
  ASSERT_TRUE(handler.Registered());
  const std::string unknown = BuildFile("about_unknown.qn3x");
  if (FILE* f = std::fopen(unknown.c_str(), "wb")) std::fclose(f);
  struct Case {
    std::string file;
    bool accepted;
  };
  for (const Case& c : {Case{"https://tarvik.example/qn3/", true},
                        Case{BuildFile("no such folder\\no such file.txt"), false},
                        Case{unknown, false}}) {
    EXPECT_EQ(ShellOpenDocument(c.file, ""), c.accepted) << c.file;
  }
  for (int i = 0; i < 200 && handler.Log().empty(); ++i) Sleep(25);
  EXPECT_NE(handler.Log().find("https://tarvik.example/qn3/"), std::string::npos) << handler.Log();
  DeleteFileA(unknown.c_str());
}

}  // namespace
}  // namespace qn3
