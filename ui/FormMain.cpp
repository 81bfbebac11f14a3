// The main form's part in the program's state: it is minimised and restored
// with the taskbar button, whatever route a minimise takes, and it is the
// picture the taskbar shows of the program.
#include "ui/Form.h"

namespace qn3::ui {
namespace {

// Posted to the main form minimised by another route, once it is hidden.
constexpr UINT kUnminimize = WM_APP + 0x101;

}  // namespace

bool TForm::MainFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_SYSCOMMAND:
      // Its own minimise button minimises the program.
      if ((wp & 0xFFF0) != SC_MINIMIZE) return false;
      app_.Minimize();
      result = 0;
      return true;
    case WM_SIZE:
      // A minimise by another route (another program, SetWindowPlacement)
      // minimises the program instead, and the form is put back to its
      // normal state, hidden, once the system is done minimising it.
      if (wp != SIZE_MINIMIZED) {
        app_.PreviewChanged();
      } else {
        app_.Minimize();
        PostMessageA(Handle(), kUnminimize, 0, 0);
      }
      return false;
    case kUnminimize:
      if (IsIconic(Handle()) && !IsWindowVisible(Handle())) {
        unminimizing_ = true;
        ShowWindow(Handle(), SW_SHOWNOACTIVATE);
        unminimizing_ = false;
      }
      result = 0;
      return true;
    case WM_WINDOWPOSCHANGING:
      // Out of the minimised state, the form stays hidden with the program.
      if (unminimizing_) reinterpret_cast<WINDOWPOS*>(lp)->flags &= ~SWP_SHOWWINDOW;
      return false;
    case WM_MOVE:
      app_.PreviewChanged();
      return false;
    case WM_PAINT:
      result = DefaultHandler(msg, wp, lp);
      app_.MainFormPainted();
      return true;
    default:
      return false;
  }
}

}  // namespace qn3::ui
