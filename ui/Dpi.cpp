#include "ui/Dpi.h"

#include <windows.h>

namespace qn3::ui {

Dpi Dpi::System() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return Dpi(dpi);
}

int Dpi::Scale(int designPixels) const { return dpi_ == 96 ? designPixels : MulDiv(designPixels, dpi_, 96); }

}  // namespace qn3::ui
