#include "ui/Application.h"

#include <objbase.h>

#include <algorithm>
#include <utility>

#include "base/AnsiText.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "ui/Form.h"

namespace qn3::ui {

std::string ProgramPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

namespace {

// Posted once the main form has painted: set up the taskbar previews, and
// let the form do what waited for its first paint.
constexpr UINT kEnablePreview = WM_APP + 1;
// Sent by the system when it shows the taskbar previews (Windows 7 on).
constexpr UINT kSendIconicThumbnail = 0x0323;    // WM_DWMSENDICONICTHUMBNAIL
constexpr UINT kSendIconicLivePreview = 0x0326;  // WM_DWMSENDICONICLIVEPREVIEWBITMAP

enum class StartState { Normal, NoActivate, Minimized };

StartState StartStateOf(int showCmd) {
  switch (showCmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
      return StartState::Minimized;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
      return StartState::NoActivate;
    default:
      return StartState::Normal;
  }
}

std::string LowerCaseAnsi(std::string_view text) {
  std::string copy(text);
  if (!copy.empty()) CharLowerBuffA(copy.data(), static_cast<DWORD>(copy.size()));
  return copy;
}

}  // namespace

TApplication::TApplication(HINSTANCE instance) : instance_(instance), dpi_(Dpi::System()) {
  // Bit 31 clear is success, S_FALSE included; a failure is left to the
  // runtime probe, which then answers false.
  comInitialized_ = SUCCEEDED(CoInitialize(nullptr));

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = LoadIconA(instance_, "MAINICON");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = ids::kAppWindowClass;
  RegisterClassExA(&wc);
  // A zero-sized popup with a caption: invisible, yet it owns the taskbar
  // button and its text, apart from the main window's caption.
  int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  std::string title = TitleFromProgramPath(ProgramPath(), IsAnsiLeadByte, LowerCaseAnsi);
  handle_ = CreateWindowExA(0, ids::kAppWindowClass, title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                            nullptr, nullptr, instance_, this);
}

TApplication::~TApplication() {
  if (handle_) DestroyWindow(handle_);
  if (comInitialized_) CoUninitialize();
}

Dpi TApplication::WindowDpi(HWND window) const {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (!root) return dpi_;
  for (const TForm* form : forms_)
    if (form->Handle() == root) return form->FormDpi();
  const UINT dpi = perDpi_.WindowDpi(root);
  return dpi ? Dpi(static_cast<int>(dpi)) : dpi_;
}

std::string TApplication::Title() const { return WindowText(handle_); }

void TApplication::SetTitle(const std::string& title) {
  if (title != Title()) SetWindowTextA(handle_, title.c_str());
}

void TApplication::Run(TForm& mainForm, int showCmd) {
  mainForm_ = &mainForm;
  const StartState start = StartStateOf(showCmd);
  if (start == StartState::Minimized) {
    // As if the user had minimised it at once, which activates nothing: the
    // button minimised, the form hidden at its place until the restore.
    HideForms();
    ShowWindow(handle_, SW_SHOWMINNOACTIVE);
    mainForm.FirstShow();
    // The hidden form never paints; the previews show it all the same.
    MainFormPainted();
  } else {
    ShowWindow(handle_, SW_SHOWNOACTIVATE);
    mainForm.Show(start == StartState::Normal);
  }
  while (ProcessMessage()) {
  }
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
    if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));  // let outer loops end too
    return false;
  }
  // The mouse goes to the form's hints; Tab, Enter and Escape go through
  // dialog navigation of our own forms.
  HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  const auto form = std::find_if(forms_.begin(), forms_.end(), [&](TForm* f) { return root && f->Handle() == root; });
  bool navigated = false;
  if (form != forms_.end()) {
    (*form)->RelayToTooltips(msg);
    navigated = IsDialogMessageA(root, &msg) != FALSE;
  }
  if (!navigated) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  FocusMayHaveMoved();
  return true;
}

void TApplication::FocusMayHaveMoved() {
  // Whatever moved it (a click, Tab, a box that closed, an activation), the
  // focus shows in the main form's picture. Seen here once per change; the
  // focus that leaves a form hidden with the program shows nowhere.
  HWND focus = GetFocus();
  if (focus == focus_) return;
  focus_ = focus;
  if (mainForm_ && mainForm_->Visible()) PreviewChanged();
}

void TApplication::AddForm(TForm* form) { forms_.push_back(form); }

void TApplication::RemoveForm(TForm* form) {
  std::erase(forms_, form);
  if (mainForm_ == form) mainForm_ = nullptr;
}

bool TApplication::IsOpenWindowName(std::string_view name) const {
  return std::any_of(forms_.begin(), forms_.end(), [&](TForm* f) { return SameTextAscii(f->Name(), name); });
}

void TApplication::HandleException(const std::exception& error) noexcept {
  try {
    ShowErrorBox(ErrorMessage(error));
  } catch (...) {
    // Nothing sensible is left to do when the report itself fails.
  }
}

void TApplication::HandleUnknownException() noexcept {
  try {
    ShowErrorBox("Unknown error");
  } catch (...) {
  }
}

void TApplication::ShowErrorBox(const std::string& message) noexcept {
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  std::string text = WithClosingPeriod(message, IsAnsiLeadByte);
  std::string caption = Title();
  ModalScope modal(handle_);
  MessageBoxA(handle_, text.c_str(), caption.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::MainFormPainted() {
  if (std::exchange(previewAsked_, true)) return;
  PostMessageA(handle_, kEnablePreview, 0, 0);
}

void TApplication::PreviewChanged() const { preview_.Invalidate(handle_); }

void TApplication::Minimize() {
  HideForms();
  ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::HideForms() {
  if (!mainForm_) return;
  // The About box and the message boxes are owned by the main form, not by
  // this window; they go with it even when the system hid the form first.
  // Hiding the active form may hand the activation to this window, which
  // is no request to restore.
  const bool wasHiding = std::exchange(hiding_, true);
  ShowOwnedPopups(mainForm_->Handle(), FALSE);
  ShowWindow(mainForm_->Handle(), SW_HIDE);
  hiding_ = wasHiding;
  formsHidden_ = true;
}

void TApplication::ShowForms() {
  if (!formsHidden_) return;
  formsHidden_ = false;
  if (!mainForm_) return;
  // A form minimised by another route is shown in its normal state.
  ShowWindow(mainForm_->Handle(), IsIconic(mainForm_->Handle()) ? SW_SHOWNORMAL : SW_SHOW);
  ShowOwnedPopups(mainForm_->Handle(), TRUE);
  if (HWND front = FrontWindow()) SetForegroundWindow(front);
}

namespace {

bool TakesActivation(HWND hwnd) { return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd); }

// Through the chain of owners: the root owner that GetAncestor names stops
// at a window that is no popup, as the main form is.
bool OwnedBy(HWND hwnd, HWND owner) {
  for (int depth = 0; hwnd && depth < 16; ++depth)
    if ((hwnd = GetWindow(hwnd, GW_OWNER)) == owner) return true;
  return false;
}

struct FrontSearch {
  HWND app;
  HWND found;
};

BOOL CALLBACK FindFront(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<FrontSearch*>(lp);
  if (!TakesActivation(hwnd) || !OwnedBy(hwnd, search->app)) return TRUE;
  search->found = hwnd;
  return FALSE;
}

}  // namespace

HWND TApplication::FrontWindow() const {
  // The last active window that this one owns, directly or not: the modal
  // window while one is open. Activating this window itself overwrites
  // that record, as Wine does even while it is disabled; then the window
  // that takes input is found, since a modal window disables all others.
  HWND popup = GetLastActivePopup(handle_);
  if (popup != handle_ && TakesActivation(popup)) return popup;
  FrontSearch search{handle_, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindFront, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

LRESULT CALLBACK TApplication::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
    static_cast<TApplication*>(cs->lpCreateParams)->handle_ = hwnd;
  }
  auto* app = reinterpret_cast<TApplication*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!app) return DefWindowProcA(hwnd, msg, wp, lp);
  try {
    return app->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    app->HandleException(e);
  } catch (...) {
    app->HandleUnknownException();
  }
  return 0;
}

LRESULT TApplication::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      // Every route to minimise or restore the program ends here: the
      // system menu, a taskbar click, ShowWindow or SetWindowPlacement.
      // SIZE_MAXHIDE and SIZE_MAXSHOW tell of other windows.
      if (wp == SIZE_MINIMIZED) HideForms();
      else if (wp == SIZE_RESTORED || wp == SIZE_MAXIMIZED) ShowForms();
      break;
    case WM_SYSCOMMAND:
      // Also while a modal window has this one disabled: the taskbar
      // button brings the program back with its modal window.
      if ((wp & 0xFFF0) == SC_RESTORE && IsIconic(handle_)) {
        ShowWindow(handle_, SW_RESTORE);
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Activated while minimised (Alt+Tab, another program): a restore,
      // once the activation is done. Otherwise a taskbar click: hand it on.
      if (LOWORD(wp) == WA_INACTIVE) return 0;
      if (IsIconic(handle_)) {
        if (!hiding_) PostMessageA(handle_, WM_SYSCOMMAND, SC_RESTORE, 0);
      } else if (HWND front = FrontWindow()) {
        SetActiveWindow(front);
      }
      return 0;
    case WM_CLOSE:
      if (mainForm_) mainForm_->Close();
      return 0;
    case kEnablePreview:
      preview_.Enable(handle_);
      if (mainForm_) mainForm_->FormPainted();
      return 0;
    // What the taskbar shows of the program is the main form, also while a
    // modal window of ours is open over it.
    case kSendIconicThumbnail:
      if (mainForm_) preview_.SendThumbnail(handle_, mainForm_->Handle(), lp);
      return 0;
    case kSendIconicLivePreview:
      if (mainForm_) preview_.SendLivePreview(handle_, mainForm_->Handle());
      return 0;
    default:
      break;
  }
  return DefWindowProcA(handle_, msg, wp, lp);
}

namespace {

struct DisableContext {
  HWND except;
  std::vector<HWND>* disabled;
};

BOOL CALLBACK DisableOne(HWND hwnd, LPARAM lp) {
  auto* context = reinterpret_cast<DisableContext*>(lp);
  if (hwnd != context->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    context->disabled->push_back(hwnd);
    EnableWindow(hwnd, FALSE);
  }
  return TRUE;
}

}  // namespace

ModalScope::ModalScope(HWND except) : active_(GetActiveWindow()), focus_(GetFocus()) {
  DisableContext context{except, &disabled_};
  EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&context));
}

void ModalScope::EnableAgain() {
  for (HWND hwnd : disabled_)
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  disabled_.clear();
}

ModalScope::~ModalScope() {
  EnableAgain();
  // The foreground, not only the thread's active window: the system may
  // have activated another program's window meanwhile.
  if (active_ && IsWindow(active_)) SetForegroundWindow(active_);
  if (focus_ && IsWindow(focus_)) SetFocus(focus_);
}

}  // namespace qn3::ui
