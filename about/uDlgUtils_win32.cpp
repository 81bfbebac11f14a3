#include "about/uDlgUtils.h"

namespace qn3 {

namespace {

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool OuterRect(HWND window, ScreenRect& rect) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return false;
  rect = ToScreenRect(r);
  return true;
}

ScreenRect PrimaryScreen() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

ScreenRect Desktop() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

}  // namespace

void CenterOnWindow(HWND window, TDialogForm& dialog) {
  ScreenRect on{};
  if (!OuterRect(window, on)) return;
  dialog.SetPosition(poDesigned);
  const int width = dialog.Width(), height = dialog.Height();
  const ScreenPoint origin = CenteredOrigin(on, width, height);
  dialog.SetBounds(origin.x, origin.y, width, height);
}

void TDialogForm::ApplyPosition() {
  ScreenRect on{};
  switch (position_) {
    case poScreenCenter:
      on = PrimaryScreen();
      break;
    case poDesktopCenter:
      on = Desktop();
      break;
    case poMainFormCenter:
    case poOwnerFormCenter: {
      // Both centre on the main window, which owns our dialogs.
      ui::TForm* main = App().MainForm();
      if (!main || !OuterRect(main->Handle(), on)) on = PrimaryScreen();
      break;
    }
    default:
      // Designed keeps its place; the default modes apply only when a
      // window is created, which has happened already.
      return;
  }
  const ScreenPoint origin = CenteredOriginOnScreen(on, Width(), Height());
  SetBounds(origin.x, origin.y, Width(), Height());
}

int TDialogForm::ShowPlacedModal() {
  ApplyPosition();
  return ShowModal();
}

}  // namespace qn3
