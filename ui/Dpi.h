// DPI scaling: the design is in pixels at 96 DPI; every coordinate, size
// and font height is scaled by the system DPI / 96 (exact at 96).
#pragma once

namespace qn3::ui {

class Dpi {
public:
  explicit Dpi(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}
  static Dpi System();  // the screen's logical DPI
  int Value() const { return dpi_; }
  // Rounds half away from zero, the same way everywhere.
  int Scale(int designPixels) const;

private:
  int dpi_;
};

}  // namespace qn3::ui
