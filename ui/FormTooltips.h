// A form's hints: one tooltip window owned by the form, with a tool on each
// hinted control and one on the form over the control's rectangle, so the
// hint shows whether the control is enabled or not.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/Controls.h"

namespace qn3::ui {

class FormTooltips {
public:
  // The control must live as long as the form. Added again, the control's
  // hint is replaced. A long hint wraps at half the width of the work area
  // of the form's monitor.
  void Add(HWND form, HINSTANCE instance, const TControl& control, const std::wstring& hint);
  // The form's tools follow the controls' rectangles.
  void UpdateRects(HWND form) const;
  // A message of the form or its controls, from the message loop: the
  // mouse's go to the tooltip.
  void Relay(const MSG& message) const;

private:
  HWND tooltip_ = nullptr;  // destroyed with the form that owns it
  std::vector<const TControl*> tooled_;
};

}  // namespace qn3::ui
