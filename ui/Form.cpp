#include "ui/Form.h"

#include <utility>

#include "base/Displays.h"
#include "base/Exception.h"

namespace qn3::ui {
namespace {

// Posted to a form to destroy it from the message loop.
constexpr UINT kReleaseMessage = WM_APP + 0x100;

// WM_DPICHANGED, sent from Windows 8.1 on to a window whose DPI changed;
// WM_GETDPISCALEDSIZE, asked before it from Windows 10 1703 on.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;

TRect ToRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

RECT OuterRect(HWND hwnd) {
  RECT r{};
  if (IsIconic(hwnd)) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd, &wp);
    // The restored place is in workspace coordinates: a taskbar at the top
    // or the left would shift it by its size.
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) return wp.rcNormalPosition;
    const TRect s = WorkspaceToScreen(ToRect(wp.rcNormalPosition), {ToRect(info.rcMonitor), ToRect(info.rcWork)});
    return {s.left, s.top, s.right, s.bottom};
  }
  GetWindowRect(hwnd, &r);
  return r;
}

}  // namespace

TForm::TForm(TApplication& app, std::string className, TComponent* owner)
    : TComponent(owner), app_(app), className_(std::move(className)), dpi_(app.ScreenDpi()) {}

TForm::~TForm() { DestroyHandle(); }

void TForm::RegisterWindowClass(const FormStyle& style) const {
  WNDCLASSEXA wc{};
  if (GetClassInfoExA(app_.Instance(), style.windowClass, &wc)) return;
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = app_.Instance();
  wc.hIcon = style.iconResource ? LoadIconA(app_.Instance(), style.iconResource) : nullptr;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = style.windowClass;
  if (!RegisterClassExA(&wc)) throw Exception("Cannot register the window class");
}

void TForm::CreateHandle(const FormStyle& style) {
  RegisterWindowClass(style);
  // Only a top-level window can own; a handle that is gone would fail the
  // creation.
  const bool owned = style.owner && IsWindow(style.owner);
  HWND owner = owned ? GetAncestor(style.owner, GA_ROOT) : app_.Handle();
  dpi_ = owned ? app_.WindowDpi(owner) : app_.ScreenDpi();
  frameStyle_ = style.style;
  frameExStyle_ = style.exStyle;
  designClient_ = {style.clientWidth, style.clientHeight};
  fontFace_ = style.fontFace;
  fontCharset_ = style.fontCharset;
  font_ = MakeFontAt(dpi_);
  POINT at{Scale(style.left), Scale(style.top)};
  RECT ownerRect{};
  if (owned && GetWindowRect(owner, &ownerRect)) at = {ownerRect.left, ownerRect.top};
  RECT r{0, 0, Scale(style.clientWidth), Scale(style.clientHeight)};
  app_.PerDpi().AdjustWindowRect(style.style, style.exStyle, static_cast<UINT>(dpi_.Value()), r);
  HWND hwnd = CreateWindowExA(style.exStyle, style.windowClass, style.caption.c_str(), style.style, at.x, at.y,
                              r.right - r.left, r.bottom - r.top, owner, nullptr, app_.Instance(), this);
  if (!hwnd) throw Exception("Cannot create the window");
  app_.AddForm(this);
  // The system draws the window at the DPI of the monitor it is on: a form
  // of its own is laid out there too, an owned one keeps its owner's. The
  // frame is the drawn one either way.
  const UINT drawn = app_.PerDpi().WindowDpi(hwnd);
  if (drawn && static_cast<int>(drawn) != dpi_.Value()) {
    if (!owned) {
      dpi_ = Dpi(static_cast<int>(drawn));
      font_ = MakeFontAt(dpi_);
    }
    PlaceClient(at.x, at.y, Scale(style.clientWidth), Scale(style.clientHeight));
  }
}

FontHandle TForm::MakeFontAt(const Dpi& dpi) const {
  return FontHandle(CreateFontA(-dpi.Scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, fontCharset_, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, fontFace_));
}

void TForm::DestroyHandle() {
  if (handle_) DestroyWindow(handle_.get());
}

LRESULT CALLBACK TForm::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    form->handle_.reset(hwnd);
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!form) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == kReleaseMessage) {
    delete form;
    return 0;
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    form->handle_.release();
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  try {
    return form->HandleMessage(msg, wp, lp);
  } catch (const std::exception& e) {
    form->app_.HandleException(e);
  } catch (...) {
    form->app_.HandleUnknownException();
  }
  return 0;
}

LRESULT TForm::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcA(Handle(), msg, wp, lp); }

LRESULT TForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (LRESULT result = 0; app_.MainForm() == this && MainFormMessage(msg, wp, lp, result)) return result;
  switch (msg) {
    case WM_COMMAND:
      OnCommandMessage(wp, lp);
      return 0;
    case DM_GETDEFID: {
      // What Enter presses: a focused push button takes it for itself, as
      // in a dialog; anywhere else the form's default control does.
      const int focused = FocusedPushButton();
      const int id = focused ? focused : defaultId_;
      return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case WM_ACTIVATE:
      OnActivate(wp);
      if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) return 0;
      break;
    case WM_SIZE:
      // The form's own tools follow the controls' rectangles.
      tooltips_.UpdateRects(Handle());
      break;
    case WM_DRAWITEM:
      if (TComboBox* combo = ComboBoxOf(reinterpret_cast<const DRAWITEMSTRUCT*>(lp)->hwndItem)) {
        combo->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return TRUE;
      }
      break;
    case kGetDpiScaledSize:
      // The size a fresh start there has: the system then suggests it.
      *reinterpret_cast<SIZE*>(lp) = WindowSizeAt(Dpi(static_cast<int>(wp)));
      return TRUE;
    case kDpiChanged:
      OnDpiChanged(wp, reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      if (!destroying_) {
        destroying_ = true;
        app_.RemoveForm(this);
        FormDestroy();
      }
      return 0;
    default:
      break;
  }
  return DefaultHandler(msg, wp, lp);
}

TComboBox* TForm::ComboBoxOf(HWND control) const {
  for (TComponent* component : Components())
    if (auto* combo = dynamic_cast<TComboBox*>(component); combo && combo->Handle() == control) return combo;
  return nullptr;
}

void TForm::OnCommandMessage(WPARAM wp, LPARAM lp) {
  const int id = LOWORD(wp);
  if (HIWORD(wp) == CBN_DROPDOWN)
    if (TComboBox* combo = ComboBoxOf(reinterpret_cast<HWND>(lp)))
      combo->FitDroppedWidth(app_.PerDpi(), static_cast<UINT>(dpi_.Value()));
  if (id == IDCANCEL && !lp) {  // Escape through dialog navigation
    if (cancelId_) OnCommand(cancelId_, BN_CLICKED, Child(cancelId_));
    else if (modal_) modalResult_ = IDCANCEL;
    return;
  }
  OnCommand(id, HIWORD(wp), reinterpret_cast<HWND>(lp));
}

void TForm::OnActivate(WPARAM wp) {
  if (LOWORD(wp) == WA_INACTIVE) {
    // The focus goes when the form is deactivated; a dialog gives it back
    // on reactivation, and so does the form.
    HWND focus = GetFocus();
    if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
  } else if (!HIWORD(wp)) {
    RestoreFocus();
  }
}

void TForm::OnDpiChanged(WPARAM wp, const RECT* suggested) {
  // The suggested rectangle's corner is where the system wants the window
  // on the new monitor. Its size is the one WM_GETDPISCALEDSIZE answered,
  // where the system asks; elsewhere it is the old one scaled, a few pixels
  // off the layout's own, which wins.
  const Dpi dpi(HIWORD(wp));
  if (suggested) ChangeDpi(dpi, suggested->left, suggested->top);
  else ChangeDpi(dpi, Left(), Top());
}

int TForm::FocusedPushButton() const {
  HWND focus = GetFocus();
  if (!focus || !IsChild(Handle(), focus)) return 0;
  const LRESULT code = SendMessageA(focus, WM_GETDLGCODE, 0, 0);
  return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ? GetDlgCtrlID(focus) : 0;
}

void TForm::RestoreFocus() {
  HWND focus = GetFocus();
  if (focus && IsChild(Handle(), focus)) return;
  // The control focused at deactivation, if it can still take the focus;
  // else the first tab stop.
  HWND target = lastFocus_;
  if (!target || !IsWindow(target) || !IsChild(Handle(), target) || !IsWindowVisible(target) ||
      !IsWindowEnabled(target))
    target = GetNextDlgTabItem(Handle(), nullptr, FALSE);
  if (target) SetFocus(target);
}

int TForm::Left() const { return OuterRect(Handle()).left; }
int TForm::Top() const { return OuterRect(Handle()).top; }
int TForm::Width() const {
  RECT r = OuterRect(Handle());
  return r.right - r.left;
}
int TForm::Height() const {
  RECT r = OuterRect(Handle());
  return r.bottom - r.top;
}

void TForm::SetBounds(int left, int top, int width, int height) {
  // A window already there is not moved again: under Wine each move is a
  // round trip to the X server, and the settings load sets the place the
  // window mostly has already, one coordinate at a time.
  RECT now{};
  GetWindowRect(Handle(), &now);
  if (now.left == left && now.top == top && now.right - now.left == width && now.bottom - now.top == height) return;
  SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::PlaceClient(int left, int top, int clientWidth, int clientHeight) {
  RECT r{0, 0, clientWidth, clientHeight};
  const UINT drawn = app_.PerDpi().WindowDpi(Handle());
  const UINT frameDpi = drawn ? drawn : static_cast<UINT>(app_.ScreenDpi().Value());
  app_.PerDpi().AdjustWindowRect(frameStyle_, frameExStyle_, frameDpi, r);
  SetBounds(left, top, r.right - r.left, r.bottom - r.top);
}

void TForm::FitClient() {
  const SIZE client = ClientSizeAt(dpi_);
  PlaceClient(Left(), Top(), client.cx, client.cy);
}

SIZE TForm::WindowSizeAt(const Dpi& dpi) const {
  const SIZE client = ClientSizeAt(dpi);
  RECT r{0, 0, client.cx, client.cy};
  app_.PerDpi().AdjustWindowRect(frameStyle_, frameExStyle_, static_cast<UINT>(dpi.Value()), r);
  return {r.right - r.left, r.bottom - r.top};
}

int TForm::FrameHeightAt(const Dpi& dpi) const {
  RECT r{0, 0, 0, 0};
  app_.PerDpi().AdjustWindowRect(frameStyle_, frameExStyle_, static_cast<UINT>(dpi.Value()), r);
  return r.bottom - r.top;
}

SIZE TForm::ClientSizeAt(const Dpi& dpi) const { return {dpi.Scale(designClient_.cx), dpi.Scale(designClient_.cy)}; }

void TForm::ChangeDpi(const Dpi& dpi, int left, int top) {
  dpi_ = dpi;
  // The old font stays selected into the controls until each has the new one.
  FontHandle old = std::exchange(font_, MakeFontAt(dpi_));
  layout_.Relay(dpi_, font_.get());
  ControlsRescaled();
  const SIZE client = ClientSizeAt(dpi_);
  PlaceClient(left, top, client.cx, client.cy);
  tooltips_.UpdateRects(Handle());
}

void TForm::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void TForm::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void TForm::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void TForm::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

std::string TForm::Caption() const { return WindowText(Handle()); }

void TForm::SetCaption(const std::string& caption) { SetWindowTextA(Handle(), caption.c_str()); }

void TForm::FirstShow() {
  if (std::exchange(shownOnce_, true)) return;
  try {
    FormShow();
  } catch (const std::exception& e) {
    // The rest of the handler is skipped; the window shows all the same.
    app_.HandleException(e);
  } catch (...) {
    app_.HandleUnknownException();
  }
}

void TForm::Show(bool activate) {
  FirstShow();
  if (!Handle()) return;
  ShowWindow(Handle(), activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
  if (activate) SetForegroundWindow(Handle());
}

bool TForm::Visible() const { return Handle() && IsWindowVisible(Handle()); }

void TForm::Close() {
  if (modal_) {
    if (!modalResult_) modalResult_ = IDCANCEL;
  } else if (app_.MainForm() == this) {
    // The program ends when the loop ends; the window is destroyed after it.
    ShowWindow(Handle(), SW_HIDE);
    PostQuitMessage(0);
  } else {
    DestroyHandle();
  }
}

int TForm::ShowModal() {
  modal_ = true;
  modalResult_ = 0;
  {
    ModalScope scope(Handle());
    Show();
    while (modalResult_ == 0 && Handle())
      if (!app_.ProcessMessage()) break;
    // Hidden while the others are still disabled, the form would hand the
    // activation to the next enabled window: another program's.
    scope.EnableAgain();
    if (Handle()) ShowWindow(Handle(), SW_HIDE);
  }
  modal_ = false;
  return modalResult_ ? modalResult_ : IDCANCEL;
}

void TForm::Release() {
  if (Handle()) PostMessageA(Handle(), kReleaseMessage, 0, 0);
  else delete this;
}

}  // namespace qn3::ui
