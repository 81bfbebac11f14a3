#include "ui/Dpi.h"

#include <windows.h>

namespace qn3::ui {

Dpi Dpi::System() {
#ifdef QN3_BENCH_WITHOUT_DPI_QUERY
  return Dpi(96);
#endif
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return Dpi(dpi);
}

int Dpi::Scale(int designPixels) const { return dpi_ == 96 ? designPixels : MulDiv(designPixels, dpi_, 96); }

}  // namespace qn3::ui
