// DPI scaling: the design is in pixels at 96 DPI; every coordinate, size
// and font height is scaled by the DPI of the window it belongs to / 96
// (exact at 96). DpiFunctions finds the system's per-DPI functions at run
// time and stands in for them with the system-DPI ones where it lacks them.
#pragma once

#include <windows.h>

namespace qn3::ui {

class Dpi {
public:
  explicit Dpi(int dpi) : dpi_(dpi > 0 ? dpi : 96) {}
  static Dpi System();  // the screen's logical DPI, the system DPI
  int Value() const { return dpi_; }
  // Rounds half away from zero, the same way everywhere.
  int Scale(int designPixels) const;
  bool operator==(const Dpi&) const = default;

private:
  int dpi_;
};

// The functions that know a DPI other than the system's, from Windows 10
// 1607 on. Before that a window is always at the system DPI (the process
// is system aware there), so the system-DPI functions answer the same.
// Found in user32, which the program imports anyway: nothing to load.
class DpiFunctions {
public:
  DpiFunctions();
  DpiFunctions(const DpiFunctions&) = delete;
  DpiFunctions& operator=(const DpiFunctions&) = delete;

  // The DPI the system draws the window at; 0 when it cannot tell.
  UINT WindowDpi(HWND window) const;
  // AdjustWindowRectEx for a frame drawn at that DPI (no menu).
  void AdjustWindowRect(DWORD style, DWORD exStyle, UINT dpi, RECT& rect) const;
  int SystemMetric(int index, UINT dpi) const;
  // The message box font at that DPI; false when it cannot be read.
  bool MessageFont(UINT dpi, LOGFONTA& font) const;
  // Keeps the dialog manager from rescaling a dialog of ours that moves to
  // a monitor of another DPI (Windows 10 1703 on): it lays itself out.
  void KeepDialogLayout(HWND dialog) const;

private:
  UINT(WINAPI* getDpiForWindow_)(HWND) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi_)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  int(WINAPI* getSystemMetricsForDpi_)(int, UINT) = nullptr;
  BOOL(WINAPI* systemParametersInfoForDpi_)(UINT, UINT, void*, UINT, UINT) = nullptr;
  BOOL(WINAPI* setDialogDpiChangeBehavior_)(HWND, int, int) = nullptr;
};

}  // namespace qn3::ui
