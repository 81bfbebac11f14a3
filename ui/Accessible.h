// What a screen reader is told of a control beyond what the control says
// of itself, through the system's annotation service. It is reached
// through COM only, so nothing is imported for it: a system without it
// tells nothing more.
#pragma once

#include <windows.h>

#include <string>

namespace qn3::ui {

// The control's accessible description; an empty text takes ours away
// again. Failures are ignored.
void SetAccessibleDescription(HWND control, const std::wstring& text) noexcept;

}  // namespace qn3::ui
