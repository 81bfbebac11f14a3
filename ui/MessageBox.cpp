#include "ui/MessageBox.h"

#include <algorithm>
#include <vector>

#include "ui/Form.h"
#include "ui/Handles.h"

namespace qn3::ui {
namespace {

struct ButtonSpec {
  unsigned flag;
  int id;
  const char* caption;
};
constexpr ButtonSpec kButtons[] = {{mbYes, IDYES, "&Yes"}, {mbNo, IDNO, "&No"}, {mbOK, IDOK, "OK"}};

struct BoxContext {
  TApplication& app;
  Dpi dpi;  // the owner's
  MsgKind kind;
  const std::string& text;
  unsigned buttons;
  int left, top;
  FontHandle font;
};

int DefaultId(unsigned buttons) { return (buttons & mbOK) ? IDOK : (buttons & mbYes) ? IDYES : 0; }
int CancelId(unsigned buttons) { return (buttons & mbNo) ? IDNO : (buttons & mbOK) ? IDOK : 0; }

HFONT MessageFont(const DpiFunctions& functions, const Dpi& dpi) {
  LOGFONTA font{};
  if (functions.MessageFont(static_cast<UINT>(dpi.Value()), font)) return CreateFontIndirectA(&font);
  return CreateFontA(-dpi.Scale(11), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
}

HWND AddChild(HWND dlg, const char* cls, const char* text, DWORD style, int id, RECT r, HFONT font) {
  HWND h = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
  if (h) SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return h;
}

void LayOut(HWND dlg, BoxContext& box) {
  const DpiFunctions& functions = box.app.PerDpi();
  const Dpi& dpi = box.dpi;
  const auto dpiValue = static_cast<UINT>(dpi.Value());
  box.font.reset(MessageFont(functions, dpi));
  SetWindowTextA(dlg, box.kind == MsgKind::Warning ? "Warning" : "Information");

  const int margin = dpi.Scale(8), gap = dpi.Scale(10), buttonW = dpi.Scale(75), buttonH = dpi.Scale(25),
            buttonGap = dpi.Scale(6);
  const int iconW = functions.SystemMetric(SM_CXICON, dpiValue), iconH = functions.SystemMetric(SM_CYICON, dpiValue);

  RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
  {
    ScreenDC dc;
    HGDIOBJ old = SelectObject(dc.get(), box.font.get());
    DrawTextA(dc.get(), box.text.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc.get(), old);
  }
  const int textW = textRect.right, textH = textRect.bottom;

  std::vector<const ButtonSpec*> shown;
  for (const ButtonSpec& b : kButtons)
    if (box.buttons & b.flag) shown.push_back(&b);
  const int buttonsW = static_cast<int>(shown.size()) * buttonW + std::max(0, static_cast<int>(shown.size()) - 1) * buttonGap;

  const int textLeft = margin + iconW + gap;
  const int clientW = std::max(textLeft + textW + margin, buttonsW + 2 * margin);
  const int bodyH = std::max(iconH, textH);
  const int buttonTop = margin + bodyH + dpi.Scale(12);
  const int clientH = buttonTop + buttonH + margin;

  HICON icon = LoadIconA(nullptr, box.kind == MsgKind::Warning ? IDI_EXCLAMATION : IDI_ASTERISK);
  // The stock icon comes at the system DPI's size; from XP on it is drawn
  // to the size laid out for the box's DPI.
  HWND iconCtl = AddChild(dlg, "STATIC", "", SS_ICON | SS_REALSIZECONTROL, ids::kMsgIcon,
                          {margin, margin, margin + iconW, margin + iconH}, box.font.get());
  SendMessageA(iconCtl, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  int textTop = margin + std::max(0, (iconH - textH) / 2);
  AddChild(dlg, "STATIC", box.text.c_str(), SS_LEFT | SS_NOPREFIX, ids::kMsgText,
           {textLeft, textTop, textLeft + textW, textTop + textH}, box.font.get());

  const int defaultId = DefaultId(box.buttons);
  int x = (clientW - buttonsW) / 2;
  HWND focus = nullptr;
  for (const ButtonSpec* b : shown) {
    DWORD style = WS_TABSTOP | (b->id == defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND h = AddChild(dlg, "BUTTON", b->caption, style, b->id, {x, buttonTop, x + buttonW, buttonTop + buttonH},
                      box.font.get());
    if (b->id == defaultId) focus = h;
    x += buttonW + buttonGap;
  }
  if (defaultId) SendMessageA(dlg, DM_SETDEFID, static_cast<WPARAM>(defaultId), 0);
  if (!CancelId(box.buttons)) EnableMenuItem(GetSystemMenu(dlg, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);

  // The frame is the one the system draws the box with.
  RECT outer{0, 0, clientW, clientH};
  const UINT drawn = functions.WindowDpi(dlg);
  functions.AdjustWindowRect(static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)),
                             static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)),
                             drawn ? drawn : static_cast<UINT>(box.app.ScreenDpi().Value()), outer);
  const int w = outer.right - outer.left, h = outer.bottom - outer.top;
  int left = (GetSystemMetrics(SM_CXSCREEN) - w) / 2, top = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
  if (box.left >= 0) left = box.left;
  if (box.top >= 0) top = box.top;
  SetWindowPos(dlg, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  if (focus) SetFocus(focus);
}

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* box = reinterpret_cast<BoxContext*>(GetWindowLongPtrA(dlg, DWLP_USER));
  try {
    switch (msg) {
      case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        LayOut(dlg, *reinterpret_cast<BoxContext*>(lp));
        return FALSE;  // focus is set on the default button
      case WM_COMMAND: {
        int id = LOWORD(wp);
        if (id == IDCANCEL) id = box ? CancelId(box->buttons) : 0;
        if (id == IDYES || id == IDNO || id == IDOK) EndDialog(dlg, id);
        return TRUE;
      }
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

}  // namespace

int MessageDlgPos(TApplication& app, HWND owner, MsgKind kind, const std::string& text, unsigned buttons, int left,
                  int top) {
  EmptyTemplate tpl{};
  tpl.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  owner = owner && IsWindow(owner) ? GetAncestor(owner, GA_ROOT) : app.Handle();
  BoxContext box{app, app.WindowDpi(owner), kind, text, buttons, left, top, {}};
  ModalScope modal(owner);
  INT_PTR r = DialogBoxIndirectParamA(app.Instance(), &tpl.head, owner, BoxProc, reinterpret_cast<LPARAM>(&box));
  return r > 0 ? static_cast<int>(r) : (CancelId(buttons) ? CancelId(buttons) : DefaultId(buttons));
}

}  // namespace qn3::ui
