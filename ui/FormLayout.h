// How a form's controls follow their 96-DPI design: each control's design
// rectangle and the way it fits, applied when it is made and again, in the
// same order, whenever the form is laid out at another DPI.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/Controls.h"
#include "ui/Dpi.h"

namespace qn3::ui {

enum class Fit : uint8_t {
  Exact,       // the scaled rectangle
  DropDown,    // the closed box at the design height, items at theirs
  Etched,      // the size given, not the one it takes when made
  GrowToText,  // a label at least as wide as its text
};

class FormLayout {
public:
  // The rectangle a control is made with: a drop-down list's window
  // includes its list part.
  static DesignRect Outline(DesignRect design, Fit fit, int itemHeight);

  // Records a control just made at its outline and brings it to its fit.
  void Add(HWND control, DesignRect design, Fit fit, int itemHeight, const Dpi& dpi, HFONT font);
  // A label from now on at least as wide as its text, at every DPI.
  void GrowToText(HWND label, const Dpi& dpi, HFONT font);
  // Every control at its design rectangle for the DPI, with the font.
  void Relay(const Dpi& dpi, HFONT font) const;
  // The design rectangle of a control laid out here; null when it is not.
  const DesignRect* DesignOf(HWND control) const;

private:
  struct Laid {
    HWND handle;
    DesignRect design;
    Fit fit;
    int itemHeight;  // DropDown only
  };
  static void ApplyFit(const Laid& control, const Dpi& dpi, HFONT font);

  std::vector<Laid> laid_;  // in creation order
};

}  // namespace qn3::ui
