// The modal message box: a kind (caption and stock icon), a text, a set of
// buttons standing Yes, No, OK, and a position. Our own dialog, because the
// stock one cannot make Escape answer No.
#pragma once

#include <optional>
#include <string>

#include "ui/Application.h"

namespace qn3::ids {

// The box's text and icon controls; its buttons carry IDYES, IDNO, IDOK.
enum MessageBoxControl : int {
  kMsgText = 301,
  kMsgIcon = 302,
};

}  // namespace qn3::ids

namespace qn3::ui {

enum class MsgKind { Warning, Information, Error };

enum MsgButtons : unsigned {
  mbYes = 1,
  mbNo = 2,
  mbOK = 4,
};

// Returns IDYES, IDNO or IDOK. The default button is OK if present, else Yes;
// Escape and the close box give No if present, else OK. The box is owned by
// the window given (the application window when that is null or gone), on
// its monitor: its outer top-left corner at `at`, else centred on the
// monitor's work area, then moved just enough to lie inside that work area.
// It is laid out at the owner's DPI, and again at the new one when it moves
// onto a monitor of another.
int MessageDlgPos(TApplication& app, HWND owner, MsgKind kind, const std::string& text, unsigned buttons,
                  std::optional<POINT> at);

// The same box for a program that shows no window of its own: owned by the
// application window, centred on the work area of the monitor under the
// mouse, where the person who started the program is looking.
int MessageDlgUnderMouse(TApplication& app, MsgKind kind, const std::string& text, unsigned buttons);

}  // namespace qn3::ui
