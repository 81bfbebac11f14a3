#include "ui/FormLayout.h"

#include <string>

#include "ui/Handles.h"

namespace qn3::ui {
namespace {

RECT BoundsInParent(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void FitDropDown(HWND h, DesignRect design, int itemHeight, const Dpi& dpi) {
  // The closed box is brought to its design height through the selection
  // field's height.
  RECT closed{};
  GetWindowRect(h, &closed);
  const int delta = dpi.Scale(design.height) - (closed.bottom - closed.top);
  if (delta != 0) {
    const LRESULT field = SendMessageA(h, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + delta);
  }
  SendMessageA(h, CB_SETITEMHEIGHT, 0, dpi.Scale(itemHeight));
}

void FitToText(HWND h, const Dpi& dpi, HFONT font) {
  // The design widths are those of the 96-DPI font.
  if (dpi.Value() == 96) return;
  const std::string text = WindowText(h);
  RECT need{0, 0, 0, 0};
  {
    ScreenDC dc;
    HGDIOBJ old = SelectObject(dc.get(), font);
    DrawTextA(dc.get(), text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc.get(), old);
  }
  const RECT r = BoundsInParent(h);
  if (need.right > r.right - r.left)
    SetWindowPos(h, nullptr, r.left, r.top, need.right, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

DesignRect FormLayout::Outline(DesignRect design, Fit fit, int itemHeight) {
  if (fit == Fit::DropDown) return {design.left, design.top, design.width, design.height + 8 * itemHeight + 2};
  return design;
}

void FormLayout::Add(HWND control, DesignRect design, Fit fit, int itemHeight, const Dpi& dpi, HFONT font) {
  laid_.push_back({control, design, fit, itemHeight});
  ApplyFit(laid_.back(), dpi, font);
}

void FormLayout::GrowToText(HWND label, const Dpi& dpi, HFONT font) {
  for (Laid& control : laid_) {
    if (control.handle != label) continue;
    control.fit = Fit::GrowToText;
    ApplyFit(control, dpi, font);
  }
}

void FormLayout::Relay(const Dpi& dpi, HFONT font) const {
  // In the order of a creation at this DPI: the rectangle, the font, the fit.
  for (const Laid& control : laid_) {
    const DesignRect r = Outline(control.design, control.fit, control.itemHeight);
    SetWindowPos(control.handle, nullptr, dpi.Scale(r.left), dpi.Scale(r.top), dpi.Scale(r.width),
                 dpi.Scale(r.height), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(control.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ApplyFit(control, dpi, font);
  }
}

const DesignRect* FormLayout::DesignOf(HWND control) const {
  for (const Laid& laid : laid_)
    if (laid.handle == control) return &laid.design;
  return nullptr;
}

void FormLayout::ApplyFit(const Laid& control, const Dpi& dpi, HFONT font) {
  switch (control.fit) {
    case Fit::DropDown:
      FitDropDown(control.handle, control.design, control.itemHeight, dpi);
      break;
    case Fit::Etched:
      // An etched line takes a size of its own when created (2 high and
      // wider at 144 DPI); it keeps the one it is given afterwards.
      SetWindowPos(control.handle, nullptr, 0, 0, dpi.Scale(control.design.width), dpi.Scale(control.design.height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case Fit::GrowToText:
      FitToText(control.handle, dpi, font);
      break;
    case Fit::Exact:
      break;
  }
}

}  // namespace qn3::ui
