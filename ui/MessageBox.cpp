#include "ui/MessageBox.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/Displays.h"
#include "ui/Form.h"
#include "ui/Handles.h"

namespace qn3::ui {
namespace {

// WM_DPICHANGED, sent from Windows 8.1 on to a window whose DPI changed;
// WM_GETDPISCALEDSIZE, asked before it from Windows 10 1703 on.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kGetDpiScaledSize = 0x02E4;

struct ButtonSpec {
  unsigned flag;
  int id;
  const char* caption;
};
constexpr ButtonSpec kButtons[] = {{mbYes, IDYES, "&Yes"}, {mbNo, IDNO, "&No"}, {mbOK, IDOK, "OK"}};

// The DPI the box was last asked its size at, and the work area it was
// laid out for then.
struct AskedSize {
  Dpi dpi;
  TRect work;
};

struct BoxContext {
  TApplication& app;
  HWND owner;
  HMONITOR monitor;  // where it opens
  Dpi dpi;  // the owner's, then the box's own monitor's
  MsgKind kind;
  const std::string& text;
  unsigned buttons;
  std::optional<POINT> at;
  FontHandle font;
  std::optional<AskedSize> asked;
};

// Where everything goes, in pixels at the box's DPI.
struct BoxLayout {
  int margin, textLeft, textTop, buttonTop, buttonW, buttonH, buttonGap;
  int iconW, iconH, textW, textH;
  SIZE client;
};

const char* Caption(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return "Warning";
    case MsgKind::Error: return "Error";
    default: return "Information";
  }
}

LPCSTR StockIcon(MsgKind kind) {
  switch (kind) {
    case MsgKind::Warning: return IDI_EXCLAMATION;
    case MsgKind::Error: return IDI_HAND;
    default: return IDI_ASTERISK;
  }
}

int DefaultId(unsigned buttons) { return (buttons & mbOK) ? IDOK : (buttons & mbYes) ? IDYES : 0; }
int CancelId(unsigned buttons) { return (buttons & mbNo) ? IDNO : (buttons & mbOK) ? IDOK : 0; }

std::vector<const ButtonSpec*> ShownButtons(unsigned buttons) {
  std::vector<const ButtonSpec*> shown;
  for (const ButtonSpec& b : kButtons)
    if (buttons & b.flag) shown.push_back(&b);
  return shown;
}

HFONT MessageFont(const DpiFunctions& functions, const Dpi& dpi) {
  LOGFONTA font{};
  if (functions.MessageFont(static_cast<UINT>(dpi.Value()), font)) return CreateFontIndirectA(&font);
  return CreateFontA(-dpi.Scale(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
}

TRect WorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info))
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
}

RECT TextRect(const BoxContext& box, HFONT font, int wrapWidth) {
  RECT r{0, 0, wrapWidth, 0};
  ScreenDC dc;
  HGDIOBJ old = SelectObject(dc.get(), font);
  DrawTextA(dc.get(), box.text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc.get(), old);
  return r;
}

// At a DPI, in the message font made for it; the text wraps at half the
// work area's width.
BoxLayout Measure(const BoxContext& box, const Dpi& dpi, HFONT font, const TRect& work) {
  const auto dpiValue = static_cast<UINT>(dpi.Value());
  const DpiFunctions& functions = box.app.PerDpi();
  BoxLayout m{};
  m.margin = dpi.Scale(8);
  m.buttonW = dpi.Scale(75);
  m.buttonH = dpi.Scale(25);
  m.buttonGap = dpi.Scale(6);
  m.iconW = functions.SystemMetric(SM_CXICON, dpiValue);
  m.iconH = functions.SystemMetric(SM_CYICON, dpiValue);
  const RECT text = TextRect(box, font, (work.right - work.left) / 2);
  m.textW = text.right;
  m.textH = text.bottom;
  const int shown = static_cast<int>(ShownButtons(box.buttons).size());
  const int buttonsW = shown * m.buttonW + std::max(0, shown - 1) * m.buttonGap;
  m.textLeft = m.margin + m.iconW + dpi.Scale(10);
  m.textTop = m.margin + std::max(0, (m.iconH - m.textH) / 2);
  m.buttonTop = m.margin + std::max(m.iconH, m.textH) + dpi.Scale(12);
  m.client = {std::max(m.textLeft + m.textW + m.margin, buttonsW + 2 * m.margin), m.buttonTop + m.buttonH + m.margin};
  return m;
}

// Makes the child, or moves the one there and gives it the font.
HWND PlaceChild(HWND dlg, const char* cls, const char* text, DWORD style, int id, RECT r, HFONT font) {
  if (HWND h = GetDlgItem(dlg, id)) {
    SetWindowPos(h, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return h;
  }
  HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  if (h) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

void PlaceControls(HWND dlg, const BoxContext& box, const BoxLayout& m) {
  HFONT font = box.font.get();
  // The stock icon comes at the system DPI's size; from XP on it is drawn
  // to the size laid out for the box's DPI.
  HWND icon = PlaceChild(dlg, "STATIC", "", SS_ICON | SS_REALSIZECONTROL, ids::kMsgIcon,
                         {m.margin, m.margin, m.margin + m.iconW, m.margin + m.iconH}, font);
  SendMessageA(icon, STM_SETICON,
               reinterpret_cast<WPARAM>(LoadIconA(nullptr, StockIcon(box.kind))), 0);
  PlaceChild(dlg, "STATIC", box.text.c_str(), SS_LEFT | SS_NOPREFIX, ids::kMsgText,
             {m.textLeft, m.textTop, m.textLeft + m.textW, m.textTop + m.textH}, font);
  const std::vector<const ButtonSpec*> shown = ShownButtons(box.buttons);
  const int count = static_cast<int>(shown.size());
  int x = (m.client.cx - (count * m.buttonW + std::max(0, count - 1) * m.buttonGap)) / 2;
  for (const ButtonSpec* b : shown) {
    const DWORD style = WS_TABSTOP | (b->id == DefaultId(box.buttons) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    PlaceChild(dlg, "BUTTON", b->caption, style, b->id, {x, m.buttonTop, x + m.buttonW, m.buttonTop + m.buttonH}, font);
    x += m.buttonW + m.buttonGap;
  }
}

// The box's outer size around its client area, with a frame drawn at that DPI.
SIZE OuterSize(HWND dlg, const BoxContext& box, SIZE client, UINT frameDpi) {
  RECT outer{0, 0, client.cx, client.cy};
  box.app.PerDpi().AdjustWindowRect(static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)),
                                    static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)), frameDpi, outer);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

// Lays the box out at its DPI for the monitor whose work area is given;
// its outer size, with the frame the system draws it with.
SIZE LayOut(HWND dlg, BoxContext& box, const TRect& work) {
  box.font.reset(MessageFont(box.app.PerDpi(), box.dpi));
  const BoxLayout m = Measure(box, box.dpi, box.font.get(), work);
  PlaceControls(dlg, box, m);
  const UINT drawn = box.app.PerDpi().WindowDpi(dlg);
  return OuterSize(dlg, box, m.client, drawn ? drawn : static_cast<UINT>(box.app.ScreenDpi().Value()));
}

// The monitor the box is going to: while the user drags it, the one under
// the cursor; otherwise the one it is on.
HMONITOR TargetMonitor(HWND dlg) {
  POINT cursor{};
  if (GetCapture() == dlg && GetCursorPos(&cursor)) return MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
  return MonitorFromWindow(dlg, MONITOR_DEFAULTTONEAREST);
}

// WM_GETDPISCALEDSIZE: the outer size that the layout gives at the new DPI,
// with the frame drawn there; the work area is kept for WM_DPICHANGED, so
// that it applies the same size. Nothing is changed yet.
SIZE ScaledSize(HWND dlg, BoxContext& box, const Dpi& dpi) {
  const TRect work = WorkArea(TargetMonitor(dlg));
  box.asked = AskedSize{dpi, work};
  const FontHandle font(MessageFont(box.app.PerDpi(), dpi));
  const BoxLayout m = Measure(box, dpi, font.get(), work);
  return OuterSize(dlg, box, m.client, static_cast<UINT>(dpi.Value()));
}

void InitBox(HWND dlg, BoxContext& box) {
  box.app.PerDpi().KeepDialogLayout(dlg);
  SetWindowTextA(dlg, Caption(box.kind));
  // On its monitor: at the requested place, else centred on its work area;
  // then inside the work area.
  const TRect work = WorkArea(box.monitor);
  const SIZE size = LayOut(dlg, box, work);
  POINT at{work.left + (work.right - work.left - size.cx) / 2, work.top + (work.bottom - work.top - size.cy) / 2};
  if (box.at) at = *box.at;
  const TRect placed = KeepInside({at.x, at.y, at.x + size.cx, at.y + size.cy}, work);
  SetWindowPos(dlg, nullptr, placed.left, placed.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  const int defaultId = DefaultId(box.buttons);
  if (defaultId) SendMessageA(dlg, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
  if (!CancelId(box.buttons)) EnableMenuItem(GetSystemMenu(dlg, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  if (HWND focus = defaultId ? GetDlgItem(dlg, defaultId) : nullptr) SetFocus(focus);
}

// Moved onto a monitor of another DPI: laid out as if opened there, at the
// corner the system suggests, for the work area its size was asked for
// (then the size is the one answered, where the system draws the frame at
// the new DPI), else for the monitor of the suggested rectangle.
void ChangeDpi(HWND dlg, BoxContext& box, WPARAM wp, const RECT* suggested) {
  RECT r{};
  if (suggested) r = *suggested;
  else GetWindowRect(dlg, &r);
  box.dpi = Dpi(HIWORD(wp));
  const std::optional<AskedSize> asked = std::exchange(box.asked, std::nullopt);
  const TRect work = asked && asked->dpi == box.dpi ? asked->work
                                                    : WorkArea(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST));
  const SIZE size = LayOut(dlg, box, work);
  SetWindowPos(dlg, nullptr, r.left, r.top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* box = reinterpret_cast<BoxContext*>(GetWindowLongPtrA(dlg, DWLP_USER));
  try {
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        InitBox(dlg, *reinterpret_cast<BoxContext*>(lp));
        return FALSE;  // focus is set on the default button
      case WM_COMMAND: {
        int id = LOWORD(wp);
        if (id == IDCANCEL) id = box ? CancelId(box->buttons) : 0;
        if (id == IDYES || id == IDNO || id == IDOK) EndDialog(dlg, id);
        return TRUE;
      }
      case kGetDpiScaledSize:
        // A dialog procedure answers through DWLP_MSGRESULT.
        if (!box) return FALSE;
        *reinterpret_cast<SIZE*>(lp) = ScaledSize(dlg, *box, Dpi(static_cast<int>(wp)));
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, TRUE);
        return TRUE;
      case kDpiChanged:
        if (!box) return FALSE;
        ChangeDpi(dlg, *box, wp, reinterpret_cast<const RECT*>(lp));
        return TRUE;
      default:
        return FALSE;
    }
  } catch (const std::exception& e) {
    if (box) box->app.HandleException(e);
  } catch (...) {
    if (box) box->app.HandleUnknownException();
  }
  return FALSE;
}

// An empty dialog template: the controls are made in pixels at run time.
struct alignas(4) EmptyTemplate {
  DLGTEMPLATE head;
  WORD menu = 0, windowClass = 0, title = 0;
};

int ShowBox(TApplication& app, HWND owner, HMONITOR monitor, MsgKind kind, const std::string& text, unsigned buttons,
            std::optional<POINT> at) {
  EmptyTemplate tpl{};
  tpl.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  BoxContext box{app, owner, monitor, app.WindowDpi(owner), kind, text, buttons, at, {}, {}};
  ModalScope modal(owner);
  INT_PTR r = DialogBoxIndirectParamA(app.Instance(), &tpl.head, owner, BoxProc, reinterpret_cast<LPARAM>(&box));
  return r > 0 ? static_cast<int>(r) : (CancelId(buttons) ? CancelId(buttons) : DefaultId(buttons));
}

}  // namespace

int MessageDlgPos(TApplication& app, HWND owner, MsgKind kind, const std::string& text, unsigned buttons,
                  std::optional<POINT> at) {
  owner = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : app.Handle();
  return ShowBox(app, owner, MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), kind, text, buttons, at);
}

int MessageDlgUnderMouse(TApplication& app, MsgKind kind, const std::string& text, unsigned buttons) {
  POINT mouse{0, 0};
  GetCursorPos(&mouse);
  return ShowBox(app, app.Handle(), MonitorFromPoint(mouse, MONITOR_DEFAULTTOPRIMARY), kind, text, buttons, {});
}

}  // namespace qn3::ui
