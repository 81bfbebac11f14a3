// Dialog placement: where a caller wants a dialog (DialogPlacement with its
// TPosition mode), the centring of a dialog on a window, and the anchor rule
// that moves or stretches a control when its parent's size changes.
#pragma once

#include <cstdint>
#include <span>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qn3 {

// Window placement modes.
enum TPosition : uint8_t {
  poDesigned = 0,  // left and top as set
  poDefault = 1,
  poDefaultPosOnly = 2,
  poDefaultSizeOnly = 3,
  poScreenCenter = 4,
  poDesktopCenter = 5,
  poMainFormCenter = 6,
  poOwnerFormCenter = 7,
};

// The modes that place the dialog in the middle of something when shown.
constexpr bool Centres(TPosition position) {
  return position == poScreenCenter || position == poDesktopCenter || position == poMainFormCenter ||
         position == poOwnerFormCenter;
}

struct ScreenRect {
  int32_t left, top, right, bottom;
};

struct ScreenPoint {
  int32_t x, y;
};

// Top-left corner that centres a box of that outer size on the rectangle.
// Halves round toward zero; the result may lie off screen, even negative.
ScreenPoint CenteredOrigin(const ScreenRect& on, int32_t width, int32_t height);

// The same with coordinates below 0 raised to 0, for the centring the
// placement modes do when a dialog is shown.
ScreenPoint CenteredOriginOnScreen(const ScreenRect& on, int32_t width, int32_t height);

// Which parent edges a control keeps its distance to.
enum TAnchor : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct Bounds {
  int left, top, width, height;
};

// A control's bounds after its parent grew by dx, dy: anchored to both
// edges of an axis it stretches, to the far edge only it moves, otherwise it
// stays.
Bounds Anchored(const Bounds& bounds, uint8_t anchors, int dx, int dy);

// A caption's one-line width and the width of the label that shows it.
struct CaptionFit {
  int textWidth;
  int labelWidth;
};

// How much wider the widest-overflowing label must become; 0 when all fit.
int CaptionOverflow(std::span<const CaptionFit> captions);

}  // namespace qn3

#ifdef _WIN32
#include "ui/Form.h"

namespace qn3 {

// Where the dialog goes: Owner owns it and is the window to centre on for
// mode 6.
struct DialogPlacement {
  HWND Owner;
  TPosition Position;
  int32_t Left;
  int32_t Top;
};

// A form that carries a placement mode and is placed by it when shown
// modally.
class TDialogForm : public ui::TForm {
public:
  using ui::TForm::TForm;
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  // Places the form by its mode, then shows it modally.
  int ShowPlacedModal();

private:
  void ApplyPosition();
  TPosition position_ = poDesigned;
};

// Centres the dialog on the window's outer rectangle and sets its mode to
// poDesigned; changes nothing when the rectangle cannot be read.
void CenterOnWindow(HWND window, TDialogForm& dialog);

}  // namespace qn3
#endif
