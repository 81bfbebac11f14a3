// The About box of the real program: opened from the main window, centred
// on it, showing the program's texts and icon, the company name as a link
// that hands the maker's address to the system's handler, closed by Escape
// and opened anew by a second press.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "about/uAbout.h"
#include "app/Ids.h"
#include "tests/e2e/about_handler.h"
#include "tests/e2e/driver/Driver.h"

namespace qn3::e2e {
namespace {

constexpr COLORREF kNavy = RGB(0, 0, 128);

HWND WaitAbout(const App& app, HWND other = nullptr) {
  HWND found = nullptr;
  WaitFor([&] {
    found = FindVisible(app.pid(), ids::kAboutWindowClass);
    return found && found != other;
  });
  return found != other ? found : nullptr;
}

HWND AboutControl(HWND about, int id) {
  return id == ids::kBtnOk || id == ids::kGroupBox1 ? Control(about, id)
                                                     : Control(Control(about, ids::kGroupBox1), id);
}

// Expected top-left of a dialog centred on a window, halving toward zero.
POINT Centred(const RECT& on, const RECT& dialog) {
  const long w = dialog.right - dialog.left, h = dialog.bottom - dialog.top;
  return {on.left + (on.right - on.left - w) / 2, on.top + (on.bottom - on.top - h) / 2};
}

struct PixelCount {
  int navy = 0;
  int widestNavyRow = 0;
  int notFace = 0;
};

// What the control shows on screen right now.
PixelCount CountPixels(HWND control) {
  PixelCount count;
  const RECT r = WindowRectOf(control);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  HDC screen = GetDC(nullptr);
  for (long y = r.top; y < r.bottom; ++y) {
    int row = 0;
    for (long x = r.left; x < r.right; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      if (c == kNavy) ++count.navy, ++row;
      if (c != face) ++count.notFace;
    }
    count.widestNavyRow = std::max(count.widestNavyRow, row);
  }
  ReleaseDC(nullptr, screen);
  return count;
}


void ExpectCentredOnMain(HWND main, HWND about) {
  const RECT m = WindowRectOf(main), a = WindowRectOf(about);
  const POINT p = Centred(m, a);
  EXPECT_EQ(a.left, p.x);
  EXPECT_EQ(a.top, p.y);
}

class AboutBox : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(app_.started());
    main_ = app_.Main();
    ASSERT_NE(main_, nullptr);
    // Without the Help runtime the program tells so once; the About box
    // does not depend on it, so the notice is put away first.
    ASSERT_TRUE(app_.Sync());
    for (HWND box : app_.Dialogs()) {
      const MessageBoxInfo info = ReadMessageBox(box);
      if (info.caption == "Information" && !info.button_ids.empty())
        PostClick(Control(box, info.button_ids.front()));
      WaitFor([&] { return !IsWindowVisible(box); });
    }
  }

  HWND Open(HWND other = nullptr) {
    PostClick(app_.MainControl(ids::kBtnAbout));
    return WaitAbout(app_, other);
  }

  App app_;
  HWND main_ = nullptr;
};

TEST_F(AboutBox, ShowsTheProgramsTextsAndIconCentredOnTheMainWindow) {
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(TextOf(about), "About");
  ExpectCentredOnMain(main_, about);
  const RECT client = ClientRectOf(about);
  EXPECT_EQ(client.right, 230);  // every caption fits: the designed width
  EXPECT_EQ(client.bottom, 133);

  EXPECT_EQ(TextOf(AboutControl(about, ids::kLblProduct)), "QN3 Helper");
  EXPECT_EQ(TextOf(AboutControl(about, ids::kLblVersion)), "Version 1.1.0.40");
  EXPECT_EQ(TextOf(AboutControl(about, ids::kLblCopyright)), "Copyright \xA9 2026 Tarvik");
  EXPECT_EQ(TextOf(AboutControl(about, ids::kLblCompany)), "Tarvik");
  EXPECT_EQ(TextOf(AboutControl(about, ids::kBtnOk)), "OK");

  HWND image = AboutControl(about, ids::kImage);
  DWORD_PTR icon = 0;
  SendMessageTimeoutA(image, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &icon);
  EXPECT_NE(icon, 0u);
  EXPECT_GT(CountPixels(image).notFace, 200);  // the 32 x 32 icon is drawn
  SaveScreenshot(about, "about");
}

TEST_F(AboutBox, CompanyIsALinkThatHandsTheAddressToTheShell) {
  UrlHandlerStandIn handler(BuildDir() + "\\about-url-log.exe");
  ASSERT_TRUE(handler.Registered());
  HWND about = Open();
  ASSERT_NE(about, nullptr);
  HWND company = AboutControl(about, ids::kLblCompany);
  ASSERT_TRUE(app_.Sync());

  // Navy text with an underline: one row of navy spans most of the text.
  const PixelCount link = CountPixels(company);
  EXPECT_GT(link.navy, 20);
  EXPECT_GE(link.widestNavyRow, 25);
  EXPECT_EQ(CountPixels(AboutControl(about, ids::kLblProduct)).navy, 0);

  PostMessageA(company, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
  PostMessageA(company, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
  EXPECT_TRUE(WaitFor([&] { return handler.Log().find("https://tarvik.example/qn3/") != std::string::npos; }))
      << handler.Log();
  // The dialog stays open after the click.
  EXPECT_TRUE(IsWindowVisible(about));

  // By keyboard: Tab reaches the link, and Enter on it does what a click
  // does, once however long it is held.
  ASSERT_TRUE(app_.Sync());
  ASSERT_TRUE(handler.WaitIdle());
  handler.ClearLog();
  ASSERT_TRUE(BringToForeground(about)) << "the handler may have taken the foreground";
  ASSERT_TRUE(TabTo(app_.thread(), company));
  ASSERT_TRUE(PressKey(app_.thread(), VK_RETURN, 2));
  EXPECT_TRUE(WaitFor([&] { return handler.Log().find("https://tarvik.example/qn3/") != std::string::npos; }))
      << handler.Log();
  ASSERT_TRUE(app_.Sync());
  ASSERT_TRUE(handler.WaitIdle());
  const std::string log = handler.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
  EXPECT_TRUE(IsWindowVisible(about)) << "Enter on the link does not close the box";
}

TEST_F(AboutBox, EscapeClosesAndASecondPressOpensANewOneCentredAgain) {
  // Another program's window open behind the main window: closing the box
  // must hand the foreground back to the main window, not to it.
  ForeignWindow other;
  ASSERT_NE(other.handle(), nullptr);
  ASSERT_TRUE(BringToForeground(main_));
  HWND first = Open();
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(app_.Sync());
  ASSERT_TRUE(PressKey(app_.thread(), VK_ESCAPE));
  // Released through the message loop: the window is destroyed, not hidden.
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(first); }));
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(main_) != FALSE; }));
  ASSERT_TRUE(app_.Sync());
  EXPECT_EQ(GetForegroundWindow(), main_);
  EXPECT_EQ(FocusOf(app_.thread()), app_.MainControl(ids::kBtnAbout)) << "the focus comes back too";

  // Move the main window, so "centred again" means centred on its new place.
  const RECT m = WindowRectOf(main_);
  SetWindowPos(main_, nullptr, m.left + 40, m.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(app_.Sync());
  HWND second = Open();
  ASSERT_NE(second, nullptr);
  ExpectCentredOnMain(main_, second);
  EXPECT_FALSE(IsWindowEnabled(main_));  // modal: the main window takes no input

  // Enter on the focused OK closes it the same way.
  ASSERT_TRUE(app_.Sync());
  ASSERT_EQ(FocusOf(app_.thread()), AboutControl(second, ids::kBtnOk));
  ASSERT_TRUE(PressKey(app_.thread(), VK_RETURN));
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(second); }));
  ASSERT_TRUE(app_.Sync());
  EXPECT_EQ(GetForegroundWindow(), main_);
}

// Every way the program is minimised, crossed with every way it is brought
// back, with nothing open and with the About box open: the main window
// comes back in its normal state, with the modal window, if any, in front.
// The routes go through the application window, which carries the taskbar
// button, or through the main window itself, as another program may.
// (SetWindowPlacement ends in the same, but Wine refuses it on another
// process's window.)
struct Windows {
  HWND main, app, other;  // other: another program's
};

struct Route {
  const char* name;
  void (*act)(const Windows& w);
};

const Route kMinimiseRoutes[] = {
    {"its minimise button", [](const Windows& w) { PostMessageA(w.main, WM_SYSCOMMAND, SC_MINIMIZE, 0); }},
    {"SW_MINIMIZE on the main window", [](const Windows& w) { ShowWindow(w.main, SW_MINIMIZE); }},
    {"SW_MINIMIZE on the application window", [](const Windows& w) { ShowWindow(w.app, SW_MINIMIZE); }},
};

const Route kRestoreRoutes[] = {
    {"SC_RESTORE", [](const Windows& w) { PostMessageA(w.app, WM_SYSCOMMAND, SC_RESTORE, 0); }},
    {"SW_RESTORE", [](const Windows& w) { ShowWindow(w.app, SW_RESTORE); }},
    // Alt+Tab from another program's window.
    {"activation", [](const Windows& w) { BringToForeground(w.other) && SetForegroundWindow(w.app); }},
};

TEST_F(AboutBox, EveryRouteBackFromEveryMinimiseShowsTheProgramWithItsModalWindowInFront) {
  HWND appWindow = app_.AppWindow();
  ASSERT_NE(appWindow, nullptr);
  ForeignWindow other;
  ASSERT_NE(other.handle(), nullptr);
  const Windows windows{main_, appWindow, other.handle()};
  HWND about = nullptr;
  for (bool withAbout : {false, true}) {
    if (withAbout) {
      about = Open();
      ASSERT_NE(about, nullptr);
      EXPECT_EQ(GetWindow(about, GW_OWNER), main_);
    }
    for (const Route& minimise : kMinimiseRoutes) {
      for (const Route& restore : kRestoreRoutes) {
        SCOPED_TRACE(std::string(minimise.name) + ", then " + restore.name + (withAbout ? ", About open" : ""));
        ASSERT_TRUE(app_.Sync());
        minimise.act(windows);
        // The main window hidden in its normal state, whatever was minimised.
        EXPECT_TRUE(WaitFor([&] {
          return IsIconic(appWindow) && !IsWindowVisible(main_) && !IsIconic(main_) &&
                 !(about && IsWindowVisible(about));
        }));
        restore.act(windows);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(main_) && !IsIconic(main_) && !IsIconic(appWindow); }));
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == (about ? about : main_); }));
        EXPECT_TRUE(!about || IsWindowVisible(about));
      }
    }
  }
  // A maximised or restored window elsewhere tells this one so; the program
  // stays minimised.
  ShowWindow(appWindow, SW_MINIMIZE);
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(main_); }));
  SendMessageTimeoutA(appWindow, WM_SIZE, SIZE_MAXSHOW, 0, SMTO_NORMAL, 5000, nullptr);
  ASSERT_TRUE(app_.Sync());
  EXPECT_FALSE(IsWindowVisible(main_));
  EXPECT_FALSE(IsWindowVisible(about));
  ShowWindow(appWindow, SW_RESTORE);
  EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(about) && GetForegroundWindow() == about; }));
  ASSERT_TRUE(PressKey(app_.thread(), VK_ESCAPE));
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));
}

}  // namespace
}  // namespace qn3::e2e
