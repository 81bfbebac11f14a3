#include "ui/Form.h"

#include <commctrl.h>

#include <cstddef>
#include <utility>

#include "base/Displays.h"
#include "base/Exception.h"

namespace qn3::ui {
namespace {

// A tool as comctl32 5.81 (Windows 2000) knows it, without lpReserved:
// version 6 takes this size too, version 5 refuses the larger one.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);  // TTTOOLINFOA_V2_SIZE

// Posted to a form to destroy it from the message loop.
constexpr UINT kReleaseMessage = WM_APP + 0x100;

// WM_DPICHANGED, sent from Windows 8.1 on to a window whose DPI changed.
constexpr UINT kDpiChanged = 0x02E0;

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(hwnd, text.data(), n + 1);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return text;
}

RECT BoundsInParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

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

void TForm::CreateHandle(const FormStyle& style) {
  WNDCLASSEXA wc{};
  if (!GetClassInfoExA(app_.Instance(), style.windowClass, &wc)) {
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
  font_ = MakeFont();
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
      font_ = MakeFont();
    }
    PlaceClient(at.x, at.y, Scale(style.clientWidth), Scale(style.clientHeight));
  }
}

FontHandle TForm::MakeFont() const {
  return FontHandle(CreateFontA(-Scale(11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, fontCharset_, OUT_DEFAULT_PRECIS,
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
  switch (msg) {
    case WM_COMMAND: {
      int id = LOWORD(wp);
      if (id == IDCANCEL && !lp) {  // Escape through dialog navigation
        if (cancelId_) OnCommand(cancelId_, BN_CLICKED, Child(cancelId_));
        else if (modal_) modalResult_ = IDCANCEL;
        return 0;
      }
      OnCommand(id, HIWORD(wp), reinterpret_cast<HWND>(lp));
      return 0;
    }
    case DM_GETDEFID: {
      // What Enter presses: a focused push button takes it for itself, as
      // in a dialog; anywhere else the form's default control does.
      const int focused = FocusedPushButton();
      const int id = focused ? focused : defaultId_;
      return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE) {
        // The focus goes when the form is deactivated; a dialog gives it
        // back on reactivation, and so does the form.
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (!HIWORD(wp)) {
        RestoreFocus();
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_MINIMIZE && app_.MainForm() == this) {
        app_.Minimize();
        return 0;
      }
      break;
    case WM_SIZE:
      // The form's own tools follow the controls' rectangles.
      UpdateTooltipRects();
      break;
    case kDpiChanged: {
      // The suggested rectangle is the old one scaled by the system, a few
      // pixels off the layout's own size; its corner is where the system
      // wants the window on the new monitor.
      const auto* suggested = reinterpret_cast<const RECT*>(lp);
      const Dpi dpi(HIWORD(wp));
      if (suggested) ChangeDpi(dpi, suggested->left, suggested->top);
      else ChangeDpi(dpi, Left(), Top());
      return 0;
    }
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
  const SIZE client = LaidOutClientSize();
  PlaceClient(Left(), Top(), client.cx, client.cy);
}

int TForm::FrameHeight() const {
  RECT r{0, 0, 0, 0};
  app_.PerDpi().AdjustWindowRect(frameStyle_, frameExStyle_, static_cast<UINT>(dpi_.Value()), r);
  return r.bottom - r.top;
}

SIZE TForm::LaidOutClientSize() const { return {Scale(designClient_.cx), Scale(designClient_.cy)}; }

void TForm::ChangeDpi(const Dpi& dpi, int left, int top) {
  dpi_ = dpi;
  // The old font stays selected into the controls until each has the new one.
  FontHandle old = std::exchange(font_, MakeFont());
  for (const Laid& control : laid_) Relay(control);
  ControlsRescaled();
  const SIZE client = LaidOutClientSize();
  PlaceClient(left, top, client.cx, client.cy);
  UpdateTooltipRects();
}

void TForm::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
void TForm::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
void TForm::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void TForm::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

std::string TForm::Caption() const { return WindowText(Handle()); }

void TForm::SetCaption(const std::string& caption) { SetWindowTextA(Handle(), caption.c_str()); }

void TForm::Show() {
  if (!shownOnce_) {
    shownOnce_ = true;
    try {
      FormShow();
    } catch (const std::exception& e) {
      // The rest of the handler is skipped; the window shows all the same.
      app_.HandleException(e);
    } catch (...) {
      app_.HandleUnknownException();
    }
  }
  if (!Handle()) return;
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());
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

HWND TForm::CreateChild(const char* cls, int id, DesignRect r, const std::string& text, DWORD style, DWORD exStyle,
                        HWND parent, Fit fit, int itemHeight) {
  Laid control{nullptr, r, fit, itemHeight};
  const DesignRect made = Outline(control);
  control.handle = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Scale(made.left),
                                   Scale(made.top), Scale(made.width), Scale(made.height), parent ? parent : Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app_.Instance(), nullptr);
  if (!control.handle) throw Exception("Cannot create a control");
  SendMessageA(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  laid_.push_back(control);
  ApplyFit(control);
  return control.handle;
}

DesignRect TForm::Outline(const Laid& control) const {
  const DesignRect& r = control.design;
  // A drop-down list's window height includes the list part.
  if (control.fit == Fit::DropDown) return {r.left, r.top, r.width, r.height + 8 * control.itemHeight + 2};
  return r;
}

void TForm::ApplyFit(const Laid& control) const {
  const HWND h = control.handle;
  switch (control.fit) {
    case Fit::DropDown: {
      // The closed box is brought to its design height through the
      // selection field's height.
      RECT closed{};
      GetWindowRect(h, &closed);
      const int delta = Scale(control.design.height) - (closed.bottom - closed.top);
      if (delta != 0) {
        const LRESULT field = SendMessageA(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + delta);
      }
      SendMessageA(h, CB_SETITEMHEIGHT, 0, Scale(control.itemHeight));
      break;
    }
    case Fit::Etched:
      // An etched line takes a size of its own when created (2 high and
      // wider at 144 DPI); it keeps the one it is given afterwards.
      SetWindowPos(h, nullptr, 0, 0, Scale(control.design.width), Scale(control.design.height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case Fit::GrowToText: {
      // The design widths are those of the 96-DPI font.
      if (FormDpi().Value() == 96) break;
      const std::string text = WindowText(h);
      RECT need{0, 0, 0, 0};
      {
        ScreenDC dc;
        HGDIOBJ old = SelectObject(dc.get(), font_.get());
        DrawTextA(dc.get(), text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc.get(), old);
      }
      const RECT r = BoundsInParent(h);
      if (need.right > r.right - r.left)
        SetWindowPos(h, nullptr, r.left, r.top, need.right, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case Fit::Exact:
      break;
  }
}

void TForm::Relay(const Laid& control) const {
  // In the order of a creation at this DPI: the rectangle, the font, the fit.
  const DesignRect r = Outline(control);
  SetWindowPos(control.handle, nullptr, Scale(r.left), Scale(r.top), Scale(r.width), Scale(r.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  ApplyFit(control);
}

std::unique_ptr<TControl> TForm::AddLabel(std::string_view name, int id, DesignRect r, const std::string& text,
                                          HWND parent, bool wordWrap, DWORD extraStyle) {
  DWORD style = (wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | extraStyle;
  return std::make_unique<TControl>(this, "TLabel", name, CreateChild("STATIC", id, r, text, style, 0, parent));
}

std::unique_ptr<TControl> TForm::AddButton(std::string_view name, int id, DesignRect r, const std::string& text,
                                           bool isDefault, HWND parent) {
  DWORD style = WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  if (isDefault) SetDefaultControl(id);
  return std::make_unique<TControl>(this, "TButton", name, CreateChild("BUTTON", id, r, text, style, 0, parent));
}

std::unique_ptr<TControl> TForm::AddEdit(std::string_view name, int id, DesignRect r, const std::string& text) {
  HWND h = CreateChild("EDIT", id, r, text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, nullptr);
  return std::make_unique<TControl>(this, "TEdit", name, h);
}

std::unique_ptr<TComboBox> TForm::AddDropDownList(std::string_view name, int id, DesignRect r, int itemHeight) {
  HWND h = CreateChild("COMBOBOX", id, r, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, nullptr, Fit::DropDown,
                       itemHeight);
  return std::make_unique<TComboBox>(this, "TComboBox", name, h);
}

std::unique_ptr<TControl> TForm::AddBevel(std::string_view name, int id, DesignRect r) {
  HWND h = CreateChild("STATIC", id, r, "", SS_ETCHEDHORZ, 0, nullptr, Fit::Etched);
  return std::make_unique<TControl>(this, "TBevel", name, h);
}

std::unique_ptr<TControl> TForm::AddGroupBox(std::string_view name, int id, DesignRect r) {
  return std::make_unique<TControl>(this, "TGroupBox", name,
                                    CreateChild("BUTTON", id, r, "", BS_GROUPBOX | WS_GROUP, 0, nullptr));
}

std::unique_ptr<TControl> TForm::AddImage(std::string_view name, int id, DesignRect r, HWND parent) {
  // The icon is drawn to the image's laid-out size (from XP on): a file's
  // icon comes at the system DPI's size, the form may be at another DPI.
  HWND h = CreateChild("STATIC", id, r, "", SS_ICON | SS_REALSIZEIMAGE | SS_REALSIZECONTROL, 0, parent);
  return std::make_unique<TControl>(this, "TImage", name, h);
}

void TForm::GrowLabelToText(const TControl& label) {
  for (Laid& control : laid_) {
    if (control.handle != label.Handle()) continue;
    control.fit = Fit::GrowToText;
    ApplyFit(control);
  }
}

void TForm::AddTooltip(const TControl& control, const std::string& hint) {
  if (!tooltip_) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                               app_.Instance(), nullptr);  // owned by the form: destroyed with it
    if (!tooltip_) return;
  }
  // The mouse over an enabled control reaches the control, over a disabled
  // one the form: one tool on each, so the hint shows in both states.
  TOOLINFOA ti{};
  ti.cbSize = kToolInfoSize;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(control.Handle());
  ti.lpszText = const_cast<char*>(hint.c_str());
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  ti.uFlags = TTF_SUBCLASS;
  ti.uId = static_cast<UINT_PTR>(control.Id());
  ti.rect = control.BoundsInParent();
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  tooled_.push_back(&control);
}

void TForm::UpdateTooltipRects() {
  for (const TControl* control : tooled_) {
    TOOLINFOA ti{};
    ti.cbSize = kToolInfoSize;
    ti.hwnd = Handle();
    ti.uId = static_cast<UINT_PTR>(control->Id());
    ti.rect = control->BoundsInParent();
    SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

}  // namespace qn3::ui
