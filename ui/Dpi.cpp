#include "ui/Dpi.h"

#include <cstddef>
#include <cstring>

namespace qn3::ui {
namespace {

// The metrics as Windows 2000 and XP know them, without Vista's padded
// border width: they refuse any other size, and every later Windows takes it.
constexpr UINT kNonClientMetricsSizeA = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
// The per-DPI call came with Windows 10 1607 and asks for the whole size.
constexpr UINT kNonClientMetricsSizeW = sizeof(NONCLIENTMETRICSW);

constexpr int kDialogDpiDisableAll = 1;  // DDC_DISABLE_ALL

template <typename Function>
void Find(HMODULE module, const char* name, Function& function) {
  function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The per-DPI metrics exist in the wide form only; the face name is all
// that differs from the ANSI font.
void ToAnsi(const LOGFONTW& wide, LOGFONTA& font) {
  static_assert(offsetof(LOGFONTA, lfFaceName) == offsetof(LOGFONTW, lfFaceName));
  std::memcpy(&font, &wide, offsetof(LOGFONTA, lfFaceName));
  if (!WideCharToMultiByte(CP_ACP, 0, wide.lfFaceName, -1, font.lfFaceName, LF_FACESIZE, nullptr, nullptr))
    font.lfFaceName[0] = '\0';
}

}  // namespace

Dpi Dpi::System() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return Dpi(dpi);
}

int Dpi::Scale(int designPixels) const { return dpi_ == 96 ? designPixels : MulDiv(designPixels, dpi_, 96); }

DpiFunctions::DpiFunctions() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return;
  Find(user32, "GetDpiForWindow", getDpiForWindow_);
  Find(user32, "AdjustWindowRectExForDpi", adjustWindowRectExForDpi_);
  Find(user32, "GetSystemMetricsForDpi", getSystemMetricsForDpi_);
  Find(user32, "SystemParametersInfoForDpi", systemParametersInfoForDpi_);
  Find(user32, "SetDialogDpiChangeBehavior", setDialogDpiChangeBehavior_);
}

UINT DpiFunctions::WindowDpi(HWND window) const {
  return getDpiForWindow_ && window ? getDpiForWindow_(window) : 0;
}

void DpiFunctions::AdjustWindowRect(DWORD style, DWORD exStyle, UINT dpi, RECT& rect) const {
  if (!adjustWindowRectExForDpi_ || !adjustWindowRectExForDpi_(&rect, style, FALSE, exStyle, dpi))
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

int DpiFunctions::SystemMetric(int index, UINT dpi) const {
  return getSystemMetricsForDpi_ ? getSystemMetricsForDpi_(index, dpi) : GetSystemMetrics(index);
}

void DpiFunctions::KeepDialogLayout(HWND dialog) const {
  if (setDialogDpiChangeBehavior_) setDialogDpiChangeBehavior_(dialog, kDialogDpiDisableAll, kDialogDpiDisableAll);
}

bool DpiFunctions::MessageFont(UINT dpi, LOGFONTA& font) const {
  if (systemParametersInfoForDpi_) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = kNonClientMetricsSizeW;
    if (systemParametersInfoForDpi_(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSizeW, &metrics, 0, dpi)) {
      ToAnsi(metrics.lfMessageFont, font);
      return true;
    }
  }
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSizeA;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSizeA, &metrics, 0)) return false;
  font = metrics.lfMessageFont;
  return true;
}

}  // namespace qn3::ui
