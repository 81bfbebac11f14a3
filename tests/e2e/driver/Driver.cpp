#include "tests/e2e/driver/Driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <future>
#include <map>
#include <thread>

#include "app/Ids.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace qn3::e2e {
namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr milliseconds kPoll{10};

// A sent message that gives up when the program does not answer.
bool Send(HWND window, UINT message, WPARAM w, LPARAM l, DWORD_PTR* result = nullptr) {
  DWORD_PTR r = 0;
  const bool ok = SendMessageTimeoutA(window, message, w, l, SMTO_NORMAL, kSendTimeoutMs, &r) != 0;
  if (result) *result = r;
  return ok;
}

LRESULT SendValue(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0, LRESULT fail = -1) {
  DWORD_PTR r = 0;
  return Send(window, message, w, l, &r) ? static_cast<LRESULT>(r) : fail;
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Case-blind key for environment variables, as Windows compares them.
std::string EnvKey(const std::string& name) {
  std::string key = name;
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

// The environment block for the program: ours, with the requested changes,
// sorted as Windows expects.
std::string BuildEnvironment(const LaunchOptions& options) {
  std::map<std::string, std::string> vars;  // key -> "Name=Value"
  if (char* block = GetEnvironmentStringsA()) {
    for (const char* p = block; *p; p += std::strlen(p) + 1) {
      const std::string entry = p;
      const size_t eq = entry.find('=', 1);  // "=C:=C:\" entries start with '='
      if (eq == std::string::npos) continue;
      vars[EnvKey(entry.substr(0, eq))] = entry;
    }
    FreeEnvironmentStringsA(block);
  }
  for (const auto& name : options.unset_env) vars.erase(EnvKey(name));
  for (const auto& [name, value] : options.env) vars[EnvKey(name)] = name + "=" + value;
  std::string out;
  for (const auto& [key, entry] : vars) {
    out += entry;
    out.push_back('\0');
  }
  out.push_back('\0');
  return out;
}

bool CreateFolders(const std::string& file) {
  for (size_t pos = file.find('\\', 3); pos != std::string::npos; pos = file.find('\\', pos + 1)) {
    const std::string dir = file.substr(0, pos);
    if (!CreateDirectoryA(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return true;
}

struct EnumState {
  DWORD pid;
  const char* cls;
  std::vector<HWND>* out;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<EnumState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == state->pid && (!state->cls || ClassOf(window) == state->cls)) state->out->push_back(window);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

// A screen-compatible 32-bit bitmap we can read pixel by pixel.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  DWORD* bits = nullptr;
  int width = 0, height = 0;

  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    void* p = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<DWORD*>(p);
    if (bitmap) old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    if (old) SelectObject(dc, old);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  bool ok() const { return bits != nullptr; }
  DWORD at(int x, int y) const { return bits[y * width + x] & 0xFFFFFF; }
};

int ChannelDistance(DWORD a, DWORD b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  }
  return d;
}

LRESULT CALLBACK ForeignWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, w, l);
}

}  // namespace

bool WaitFor(const std::function<bool()>& done, milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return done();
    std::this_thread::sleep_for(kPoll);
  }
}

std::string BuildDir() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  const size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
}

std::string ProgramPath() { return BuildDir() + "\\qn3.exe"; }

std::string SettingsPath() {
  char folder[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK) return {};
  return std::string(folder) + "\\Tarvik\\QN3\\qn3.dat";
}

bool DeleteSettings() {
  const std::string path = SettingsPath();
  if (path.empty()) return false;
  DeleteFileA(path.c_str());
  return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

bool WriteSettings(const std::string& text) {
  const std::string path = SettingsPath();
  if (path.empty() || !CreateFolders(path)) return false;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  return CloseHandle(file) && ok;
}

std::optional<std::string> ReadSettings() {
  const std::string path = SettingsPath();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string out;
  char buffer[4096];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0) out.append(buffer, got);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return out;
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  const int n = GetClassNameA(window, name, sizeof name);
  return std::string(name, n > 0 ? n : 0);
}

std::string TextOf(HWND window) {
  const LRESULT length = SendValue(window, WM_GETTEXTLENGTH);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT got = SendValue(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), 0);
  text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
  return text;
}

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ClientRectOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

RECT RectInParent(HWND child) {
  RECT r = WindowRectOf(child);
  MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND Control(HWND parent, int id) { return parent ? GetDlgItem(parent, id) : nullptr; }

std::vector<HWND> TopLevelWindows(DWORD pid, const char* cls) {
  std::vector<HWND> out;
  EnumState state{pid, cls, &out};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&state));
  return out;
}

HWND FindVisible(DWORD pid, const char* cls, const char* text) {
  for (HWND window : TopLevelWindows(pid, cls)) {
    if (IsWindowVisible(window) && (!text || TextOf(window) == text)) return window;
  }
  return nullptr;
}

std::vector<std::string> ComboItems(HWND combo) {
  // Wide messages: Wine hands a cross-process ANSI CB_GETLBTEXT back in
  // UTF-16, which would cut every item after its first character.
  std::vector<std::string> items;
  const LRESULT count = SendValue(combo, CB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXTLEN, i, 0, SMTO_NORMAL, kSendTimeoutMs, &length) ||
        static_cast<LRESULT>(length) < 0) {
      length = 0;
    }
    std::wstring wide(length + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL,
                             kSendTimeoutMs, &got) ||
        static_cast<LRESULT>(got) < 0) {
      got = 0;
    }
    wide.resize(std::min<size_t>(got, length));
    items.push_back(Narrow(wide));
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(SendValue(combo, CB_GETCURSEL, 0, 0, CB_ERR)); }

bool SelectComboItem(HWND combo, int index) {
  if (SendValue(combo, CB_SETCURSEL, index, 0, CB_ERR) != index) return false;
  const int id = GetDlgCtrlID(combo);
  return Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

bool Click(HWND button) { return button && Send(button, BM_CLICK, 0, 0); }

void PostClick(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus ? info.hwndFocus : info.hwndActive;
}

bool PressKey(DWORD thread, UINT vk, int repeats) {
  HWND target = FocusOf(thread);
  if (!target) return false;
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM held = down | (1 << 30);  // the key was down before
  const LPARAM up = held | (static_cast<LPARAM>(1) << 31);
  bool ok = PostMessageA(target, WM_KEYDOWN, vk, down);
  for (int i = 0; i < repeats; ++i) ok = ok && PostMessageA(target, WM_KEYDOWN, vk, held);
  return ok && PostMessageA(target, WM_KEYUP, vk, up);
}

namespace {

void MoveMouse(POINT to) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>((to.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = static_cast<LONG>((to.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

}  // namespace

std::string HoverTooltip(DWORD pid, HWND control, milliseconds timeout) {
  const std::optional<TipShown> tip = HoverTip(pid, control, timeout);
  return tip ? Narrow(tip->text) : std::string();
}

std::optional<TipShown> HoverTip(DWORD pid, HWND control, milliseconds timeout) {
  const RECT r = WindowRectOf(control);
  const POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  // Tooltips start on movement inside the tool: arrive, then move a little.
  MoveMouse({middle.x - 3, middle.y});
  std::this_thread::sleep_for(milliseconds(50));
  MoveMouse(middle);
  HWND tip = nullptr;
  WaitFor([&] { return (tip = FindVisible(pid, TOOLTIPS_CLASSA)) != nullptr; }, timeout);
  std::optional<TipShown> shown;
  if (tip) {
    // The tooltip's window text is its tip, in the tooltip's own UTF-16.
    std::wstring text(static_cast<size_t>(std::max<LRESULT>(SendValue(tip, WM_GETTEXTLENGTH), 0)) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(tip, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 5000,
                             &got))
      got = 0;
    text.resize(std::min<size_t>(got, text.size() - 1));
    shown = TipShown{text, WindowRectOf(tip)};
  }
  MoveMouse({0, GetSystemMetrics(SM_CYSCREEN) - 1});
  if (tip) WaitFor([&] { return !IsWindowVisible(tip); }, milliseconds(5000));
  return shown;
}

namespace {

// WM_DPICHANGED, Windows 8.1 on; WM_GETDPISCALEDSIZE, Windows 10 1703 on.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;

// Memory in another process, freed with the object.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, SIZE_T size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  void* address() const { return address_; }
  bool Write(const void* data, SIZE_T size) const {
    SIZE_T written = 0;
    return address_ && WriteProcessMemory(process_, address_, data, size, &written) && written == size;
  }
  bool Read(void* data, SIZE_T size) const {
    SIZE_T read = 0;
    return address_ && ReadProcessMemory(process_, address_, data, size, &read) && read == size;
  }

 private:
  HANDLE process_;
  void* address_;
};

}  // namespace

TRect WorkAreaOf(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

std::optional<SIZE> AskDpiScaledSize(HANDLE process, HWND window, int dpi) {
  const RECT r = WindowRectOf(window);
  SIZE size{r.right - r.left, r.bottom - r.top};
  RemoteMemory remote(process, sizeof size);
  DWORD_PTR answered = 0;
  if (!remote.Write(&size, sizeof size) ||
      !Send(window, kGetDpiScaledSize, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(remote.address()),
            &answered) ||
      !answered || !remote.Read(&size, sizeof size))
    return std::nullopt;
  return size;
}

bool SendDpiChanged(HANDLE process, HWND window, int dpi, const RECT& suggested) {
  RemoteMemory rect(process, sizeof suggested);
  if (!rect.Write(&suggested, sizeof suggested)) return false;
  const auto value = static_cast<WORD>(dpi);
  return Send(window, kDpiChanged, MAKEWPARAM(value, value), reinterpret_cast<LPARAM>(rect.address()));
}

bool TabTo(DWORD thread, HWND control) {
  for (int i = 0; i < 16 && FocusOf(thread) != control; ++i) {
    if (!PressKey(thread, VK_TAB)) return false;
    const HWND before = FocusOf(thread);
    WaitFor([&] { return FocusOf(thread) != before; }, milliseconds(2000));
  }
  return FocusOf(thread) == control;
}

ForeignWindow::ForeignWindow() {
  std::promise<HWND> created;
  std::future<HWND> window = created.get_future();
  thread_ = std::thread([created = std::move(created)]() mutable {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ForeignWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QN3E2E.Foreign";
    RegisterClassA(&wc);  // fails harmlessly when a former one registered it
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 150, 150,
                                400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    created.set_value(hwnd);
    if (!hwnd) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  });
  window_ = window.get();
  if (window_) BringToForeground(window_);
}

ForeignWindow::~ForeignWindow() {
  if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
  thread_.join();
}

bool BringToForeground(HWND window) {
  SetForegroundWindow(window);
  return WaitFor([&] { return GetForegroundWindow() == window; });
}

const char* ToString(StockIcon icon) {
  switch (icon) {
    case StockIcon::kNone: return "none";
    case StockIcon::kInformation: return "information";
    case StockIcon::kWarning: return "warning";
    case StockIcon::kError: return "error";
    case StockIcon::kQuestion: return "question";
    case StockIcon::kOther: return "other";
  }
  return "?";
}

StockIcon IconOf(HWND control) {
  if (!control || !IsWindowVisible(control)) return StockIcon::kNone;
  const RECT r = WindowRectOf(control);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int size = GetSystemMetrics(SM_CXICON);
  if (w < size || h < size) return StockIcon::kOther;
  Canvas shot(w, h);
  if (!shot.ok()) return StockIcon::kOther;
  HDC screen = GetDC(nullptr);
  BitBlt(shot.dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ReleaseDC(nullptr, screen);

  // Where the control puts the icon: its top-left, or centred.
  const POINT origins[] = {{0, 0}, {(w - size) / 2, (h - size) / 2}};
  const std::pair<StockIcon, LPCSTR> stock[] = {{StockIcon::kInformation, IDI_INFORMATION},
                                                {StockIcon::kWarning, IDI_WARNING},
                                                {StockIcon::kError, IDI_ERROR},
                                                {StockIcon::kQuestion, IDI_QUESTION}};
  const DWORD background = shot.at(w - 1, h - 1);
  StockIcon best = StockIcon::kOther;
  int best_misses = size * size / 20;  // at most 5 % of the pixels may differ
  bool any_ink = false;
  for (const auto& [kind, id] : stock) {
    HICON icon = LoadIconA(nullptr, id);  // shared: never destroyed
    for (const POINT& at : origins) {
      Canvas drawn(size, size);
      if (!drawn.ok()) continue;
      for (int i = 0; i < size * size; ++i) drawn.bits[i] = background;
      DrawIconEx(drawn.dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
      int misses = 0;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          const DWORD seen = shot.at(at.x + x, at.y + y);
          if (seen != background) any_ink = true;
          if (ChannelDistance(seen, drawn.at(x, y)) > 48) ++misses;
        }
      }
      if (misses < best_misses) {
        best_misses = misses;
        best = kind;
      }
    }
  }
  return any_ink ? best : StockIcon::kNone;
}

MessageBoxInfo ReadMessageBox(HWND dialog) {
  MessageBoxInfo info;
  info.window = dialog;
  info.caption = TextOf(dialog);
  info.rect = WindowRectOf(dialog);
  // Ours uses 301/302; the system box uses 0xFFFF for its text.
  HWND text = Control(dialog, ids::kMsgText);
  if (!text) text = Control(dialog, 0xFFFF);
  HWND icon = Control(dialog, ids::kMsgIcon);
  std::vector<std::pair<LONG, HWND>> buttons;
  for (HWND child : Children(dialog)) {
    if (GetParent(child) != dialog) continue;
    const std::string cls = ClassOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (_stricmp(cls.c_str(), "Button") == 0) {
      if (IsWindowVisible(child)) buttons.emplace_back(WindowRectOf(child).left, child);
    } else if (_stricmp(cls.c_str(), "Static") == 0) {
      const LONG kind = style & SS_TYPEMASK;
      if (kind == SS_ICON) {
        if (!icon) icon = child;
      } else if (!text && !TextOf(child).empty()) {
        text = child;
      }
    }
  }
  std::sort(buttons.begin(), buttons.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [left, button] : buttons) {
    info.buttons.push_back(TextOf(button));
    info.button_ids.push_back(GetDlgCtrlID(button));
  }
  if (text) info.text = TextOf(text);
  const LRESULT def = SendValue(dialog, DM_GETDEFID, 0, 0, 0);
  if (HIWORD(def) == DC_HASDEFID) {
    info.default_id = LOWORD(def);
  } else {
    for (const auto& [left, button] : buttons) {
      if ((GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) info.default_id = GetDlgCtrlID(button);
    }
  }
  info.icon = IconOf(icon);
  return info;
}

App::App(const LaunchOptions& options) {
  if (options.delete_settings) DeleteSettings();
  if (options.settings) WriteSettings(*options.settings);
  const std::string program = options.program.empty() ? ProgramPath() : options.program;
  const std::string dir = options.current_dir.empty() ? BuildDir() : options.current_dir;
  std::string command = "\"" + program + "\"";
  if (!options.arguments.empty()) command += " " + options.arguments;
  std::string environment = BuildEnvironment(options);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (options.show) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = *options.show;
  }
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                      dir.c_str(), &startup, &info)) {
    std::fprintf(stderr, "e2e: cannot start %s: error %lu\n", program.c_str(), GetLastError());
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  thread_id_ = info.dwThreadId;
}

App::~App() {
  if (!process_) return;
  if (Running()) {
    // A modal box would keep the window from closing cleanly; a test that
    // leaves one open does not care about the rest of the program's run.
    if (!Dialogs().empty() || !Close(milliseconds(10000))) Kill();
  }
  CloseHandle(process_);
}

HWND App::Main(milliseconds timeout) {
  if (main_ && IsWindow(main_)) return main_;
  main_ = nullptr;
  WaitFor([&] { return (main_ = FindVisible(pid_, ids::kMainWindowClass)) != nullptr || !Running(); },
          timeout);
  return main_;
}

HWND App::AnyMain() {
  if (HWND main = Main(milliseconds(0))) return main;
  const auto windows = TopLevelWindows(pid_, ids::kMainWindowClass);
  return windows.empty() ? nullptr : windows.front();
}

LaunchOptions WithoutRuntime() {
  LaunchOptions options;
  options.env.emplace_back("HXSTANDIN_FAULT", "fail=create:0x80040154");
  return options;
}

HWND App::AppWindow() {
  const auto windows = TopLevelWindows(pid_, ids::kAppWindowClass);
  return windows.empty() ? nullptr : windows.front();
}

std::string App::AppTitle() {
  HWND window = AppWindow();
  return window ? TextOf(window) : std::string();
}

std::vector<HWND> App::Dialogs() {
  std::vector<HWND> out;
  for (HWND window : TopLevelWindows(pid_, "#32770")) {
    if (IsWindowVisible(window)) out.push_back(window);
  }
  return out;
}

HWND App::WaitDialog(const char* caption, milliseconds timeout) {
  HWND found = nullptr;
  WaitFor([&] { return (found = FindVisible(pid_, "#32770", caption)) != nullptr || !Running(); }, timeout);
  return found;
}

std::optional<MessageBoxInfo> App::WaitMessageBox(const char* caption, milliseconds timeout) {
  HWND dialog = WaitDialog(caption, timeout);
  if (!dialog) return std::nullopt;
  // The box is visible before its buttons are all in place; read it once
  // its layout has settled (it has a button).
  WaitFor([&] { return !ReadMessageBox(dialog).buttons.empty(); }, milliseconds(2000));
  return ReadMessageBox(dialog);
}

bool App::Fence(milliseconds timeout) {
  // A posted message is handled in queue order, so once the edit sees our
  // posted flag change, everything posted before it has been handled. The
  // program does not use the edit's modified flag; it is restored after.
  HWND edit = Control(AnyMain(), ids::kEditExe);  // also while it is hidden
  if (!edit) return false;
  const LRESULT before = SendValue(edit, EM_GETMODIFY, 0, 0, 0);
  const bool want = !before;
  PostMessageA(edit, EM_SETMODIFY, want, 0);
  const bool ok = WaitFor([&] { return (SendValue(edit, EM_GETMODIFY, 0, 0, before) != 0) == want; }, timeout);
  Send(edit, EM_SETMODIFY, before, 0);
  return ok;
}

bool App::Sync(milliseconds timeout) {
  // The first fence ends the work already queued; what those handlers
  // posted is behind it, so the second fence ends that too.
  return Fence(timeout) && Fence(timeout);
}

bool App::Running() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> App::WaitExit(milliseconds timeout) {
  if (!process_) return std::nullopt;
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

std::optional<DWORD> App::Close(milliseconds timeout) {
  if (!Running()) return WaitExit(milliseconds(0));
  if (HWND main = AnyMain()) PostMessageA(main, WM_CLOSE, 0, 0);
  return WaitExit(timeout);
}

void App::Kill() {
  if (!Running()) return;
  TerminateProcess(process_, 255);
  WaitForSingleObject(process_, 10000);
}

void SaveScreenshot(HWND window, const char* name) {
  char dir[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("QN3_SCREENSHOT_DIR", dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  const RECT r = WindowRectOf(window);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  std::string pixels(stride * h, '\0');
  GetDIBits(memory, bitmap, 0, h, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  const std::string path = std::string(dir) + "\\" + name + ".bmp";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info, sizeof info, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
  }
}

}  // namespace qn3::e2e
