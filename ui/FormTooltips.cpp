#include "ui/FormTooltips.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>

namespace qn3::ui {
namespace {

// A tool as comctl32 5.81 (Windows 2000) knows it, without lpReserved:
// version 6 takes this size too, version 5 refuses the larger one.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lParam) + sizeof(LPARAM);    // TTTOOLINFOA_V2_SIZE
constexpr UINT kToolInfoSizeW = offsetof(TOOLINFOW, lParam) + sizeof(LPARAM);   // TTTOOLINFOW_V2_SIZE

// Half the work area of the window's monitor: a long hint wraps there
// rather than running off the screen.
int HintWidthFor(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) return -1;
  return std::max(1, static_cast<int>(info.rcWork.right - info.rcWork.left) / 2);
}

}  // namespace

void FormTooltips::Add(HWND form, HINSTANCE instance, const TControl& control, const std::wstring& hint) {
  if (!tooltip_) {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr, instance,
                               nullptr);
    if (!tooltip_) return;
  }
  // The mouse over an enabled control reaches the control, over a disabled
  // one the form: one tool on each. The tooltip keeps its own copy of the
  // text; an empty text shows no tip. The mouse is relayed from the message
  // loop rather than by subclassing: a subclassed list or form would pay on
  // every message, thousands of them when a long list is filled or emptied.
  // The wide messages: a hint may hold any script, whatever the code page.
  const bool known = std::find(tooled_.begin(), tooled_.end(), &control) != tooled_.end();
  const UINT message = known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW;
  SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, HintWidthFor(form));
  TOOLINFOW ti{};
  ti.cbSize = kToolInfoSizeW;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = form;
  ti.uId = reinterpret_cast<UINT_PTR>(control.Handle());
  ti.lpszText = const_cast<wchar_t*>(hint.c_str());
  SendMessageW(tooltip_, message, 0, reinterpret_cast<LPARAM>(&ti));
  ti.uFlags = 0;
  ti.uId = static_cast<UINT_PTR>(control.Id());
  ti.rect = control.BoundsInParent();
  SendMessageW(tooltip_, message, 0, reinterpret_cast<LPARAM>(&ti));
  if (!known) tooled_.push_back(&control);
}

void FormTooltips::UpdateRects(HWND form) const {
  for (const TControl* control : tooled_) {
    TOOLINFOA ti{};
    ti.cbSize = kToolInfoSize;
    ti.hwnd = form;
    ti.uId = static_cast<UINT_PTR>(control->Id());
    ti.rect = control->BoundsInParent();
    SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void FormTooltips::Relay(const MSG& message) const {
  if (!tooltip_) return;
  switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
      break;
    default:
      break;
  }
}

}  // namespace qn3::ui
