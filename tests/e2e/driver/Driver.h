// Drives the real qn3.exe from outside its process: starts it with a known
// settings state, finds its windows by class and process, reads control
// texts, rectangles, states and list items, presses buttons and keys, reads
// message boxes, and makes sure the program never outlives the test.
//
// Every wait polls a condition against a timeout; nothing waits a fixed
// time. Messages to the program go through timeouts, so a hung program
// fails a test instead of hanging it.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/Displays.h"

namespace qn3::e2e {

using std::chrono::milliseconds;
inline constexpr milliseconds kTimeout{15000};

// Polls `done` until it gives true or `timeout` passes; returns its last answer.
bool WaitFor(const std::function<bool()>& done, milliseconds timeout = kTimeout);

// The folder of the running test program: the top of the build tree, where
// qn3.exe and the stand-ins lie. No trailing backslash.
std::string BuildDir();
std::string ProgramPath();  // BuildDir() + "\qn3.exe"

// The program's settings file, %APPDATA%\Tarvik\QN3\qn3.dat.
std::string SettingsPath();
// Removes the settings file; true when it is gone afterwards.
bool DeleteSettings();
// Writes `text` as the settings file, creating its folders.
bool WriteSettings(const std::string& text);
// The settings file's bytes, or nullopt when it cannot be read.
std::optional<std::string> ReadSettings();

// --- Window queries (any process) ---------------------------------------
std::string ClassOf(HWND window);
std::string TextOf(HWND window);             // WM_GETTEXT
RECT WindowRectOf(HWND window);              // screen coordinates
// With QN3_SCREENSHOT_DIR set (a Windows path), saves the window as it is
// on screen there as NAME.bmp; the README's pictures come from here.
void SaveScreenshot(HWND window, const char* name);
RECT ClientRectOf(HWND window);              // client coordinates: left = top = 0
RECT RectInParent(HWND child);               // in the parent's client coordinates
HWND Control(HWND parent, int id);
std::vector<HWND> TopLevelWindows(DWORD pid, const char* cls = nullptr);
// Visible top-level windows of `pid` with class `cls` (any when null) and
// caption `text` (any when null).
HWND FindVisible(DWORD pid, const char* cls, const char* text = nullptr);

// --- Combo boxes ----------------------------------------------------------
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Selects as a user pick does: the selection changes and the parent gets
// CBN_SELCHANGE. Returns after the parent handled it.
bool SelectComboItem(HWND combo, int index);

// --- Input ----------------------------------------------------------------
// Presses a button and returns after its click handler ran. A click that
// opens a modal box would block until the box closes: use PostClick.
bool Click(HWND button);
void PostClick(HWND button);
// The window that has the keyboard focus in GUI thread `thread`.
HWND FocusOf(DWORD thread);
// Posts a key press (down and up) to the focused window of `thread`, as the
// keyboard would deliver it, so dialog navigation (Enter, Escape) applies;
// held down for `repeats` auto-repeats.
bool PressKey(DWORD thread, UINT vk, int repeats = 0);

// Moves the mouse over the middle of `control`, as the user would, and
// waits for a tooltip of process `pid` to show; its text, or empty when
// none shows. The mouse is moved away again afterwards.
std::string HoverTooltip(DWORD pid, HWND control, milliseconds timeout = milliseconds(5000));
// The same, with the tip's text in UTF-16 and its screen rectangle; nothing
// when no tip shows.
struct TipShown {
  std::wstring text;
  RECT rect;
};
std::optional<TipShown> HoverTip(DWORD pid, HWND control, milliseconds timeout = milliseconds(5000));

// Moves focus with Tab presses, as the user would, until `control` has it;
// false when it never does.
bool TabTo(DWORD thread, HWND control);

// --- Monitors -------------------------------------------------------------
// The work area of the monitor the window is on.
TRect WorkAreaOf(HWND window);
// Sends WM_DPICHANGED as Windows does when the window is moved onto a
// monitor of that DPI. The suggested rectangle is read by the receiver in
// its own memory, so it is written there first. True once it was handled.
bool SendDpiChanged(HANDLE process, HWND window, int dpi, const RECT& suggested);
// Asks WM_GETDPISCALEDSIZE as Windows 10 1703 and later do before that:
// the window's size at that DPI, or nothing when it leaves it to the system.
std::optional<SIZE> AskDpiScaledSize(HANDLE process, HWND window, int dpi);

// --- Another program ------------------------------------------------------
// A top-level window on a thread of the test with a message loop of its
// own: to the program under test, another program's window.
class ForeignWindow {
 public:
  ForeignWindow();   // shown, in the foreground
  ~ForeignWindow();  // closed, its thread ended
  ForeignWindow(const ForeignWindow&) = delete;
  ForeignWindow& operator=(const ForeignWindow&) = delete;
  HWND handle() const { return window_; }

 private:
  std::thread thread_;
  HWND window_ = nullptr;
};

// Activates a window as Alt+Tab does; true once it is in the foreground.
bool BringToForeground(HWND window);

// --- Message boxes --------------------------------------------------------
enum class StockIcon { kNone, kInformation, kWarning, kError, kQuestion, kOther };

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  std::vector<std::string> buttons;  // captions, left to right
  std::vector<int> button_ids;       // in the same order
  int default_id = 0;                // 0 when no default button
  RECT rect{};                       // screen coordinates
  StockIcon icon = StockIcon::kNone;
};

// Reads a dialog: the program's own message box (text id 301, icon id 302)
// or the system message box.
MessageBoxInfo ReadMessageBox(HWND dialog);
// Which stock icon the icon control shows, by comparing what is on screen
// with each stock icon drawn the same way.
StockIcon IconOf(HWND icon_control);
const char* ToString(StockIcon icon);

// --- The program under test ----------------------------------------------
struct LaunchOptions {
  std::vector<std::pair<std::string, std::string>> env;  // set for the program
  std::vector<std::string> unset_env;                     // removed for the program
  bool delete_settings = true;                            // start from defaults
  std::optional<std::string> settings;                    // written after deleting
  std::string program;                                    // default ProgramPath()
  std::string current_dir;                                // default BuildDir()
  std::string arguments;                                  // after the program's name
  std::optional<WORD> show;                               // STARTUPINFO's, with STARTF_USESHOWWINDOW
};

// The stand-in runtime's class cannot be created: what a machine without
// the Help runtime sees.
LaunchOptions WithoutRuntime();

class App {
 public:
  explicit App(const LaunchOptions& options = {});
  ~App();  // closes the program, terminating it when it does not end
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  DWORD thread() const { return thread_id_; }
  HANDLE process() const { return process_; }

  // The visible main window; waits for it. Null on timeout.
  HWND Main(milliseconds timeout = kTimeout);
  // The main window, visible or not, without waiting; null before it exists.
  HWND AnyMain();
  HWND MainControl(int id) { return Control(Main(), id); }
  // The hidden application window and its text, the application title.
  HWND AppWindow();
  std::string AppTitle();

  // A visible dialog (#32770) of the program with this caption (any when
  // null). Null on timeout.
  HWND WaitDialog(const char* caption = nullptr, milliseconds timeout = kTimeout);
  std::optional<MessageBoxInfo> WaitMessageBox(const char* caption = nullptr,
                                               milliseconds timeout = kTimeout);
  // The program's visible dialogs right now.
  std::vector<HWND> Dialogs();
  // Waits until the program's message loop has handled everything that was
  // posted before this call, including messages posted by what those
  // handlers did. Anything they opened (a modal box) is open afterwards.
  bool Sync(milliseconds timeout = kTimeout);

  bool Running() const;
  // Waits for the program to end; its exit code on success.
  std::optional<DWORD> WaitExit(milliseconds timeout = kTimeout);
  // Closes the main window as the close box does and waits for the end.
  std::optional<DWORD> Close(milliseconds timeout = kTimeout);
  void Kill();

 private:
  bool Fence(milliseconds timeout);

  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  DWORD thread_id_ = 0;
  HWND main_ = nullptr;
};

}  // namespace qn3::e2e
