#include "ui/TaskbarPreview.h"

#include <algorithm>

#include "base/Displays.h"

namespace qn3::ui {
namespace {

constexpr DWORD kForceIconicRepresentation = 7;  // DWMWA_FORCE_ICONIC_REPRESENTATION
constexpr DWORD kHasIconicBitmap = 10;           // DWMWA_HAS_ICONIC_BITMAP

// A memory DC with a bitmap selected into it while it lives.
class MemoryDC {
public:
  explicit MemoryDC(HBITMAP bitmap) : dc_(CreateCompatibleDC(nullptr)), old_(dc_ ? SelectObject(dc_, bitmap) : nullptr) {}
  ~MemoryDC() {
    if (!dc_) return;
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC get() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ old_;
};

// A 32-bit top-down DIB section of that size; its pixels through bits.
BitmapHandle MakeDib(SIZE size, DWORD*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size.cx;
  info.bmiHeader.biHeight = -size.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  BitmapHandle bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
  bits = static_cast<DWORD*>(pixels);
  return bitmap;
}

// The window as it paints itself into a picture of its own size: its frame
// (WM_PRINT), its client area (WM_ERASEBKGND, WM_PRINTCLIENT), then each
// visible child over it at its place, bottom of the z-order first. Every
// Windows from 2000 on answers these, also for a window hidden with the
// minimised program; the children are done here, each in a picture of its
// own, as not every system's WM_PRINT does them.
BitmapHandle Paint(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  const SIZE size{outer.right - outer.left, outer.bottom - outer.top};
  DWORD* bits = nullptr;
  BitmapHandle picture = size.cx > 0 && size.cy > 0 ? MakeDib(size, bits) : BitmapHandle();
  MemoryDC dc(picture.get());
  if (!picture || !dc.get()) return {};
  POINT client{0, 0};
  ClientToScreen(window, &client);
  SendMessageA(window, WM_PRINT, reinterpret_cast<WPARAM>(dc.get()), PRF_NONCLIENT);
  SetViewportOrgEx(dc.get(), client.x - outer.left, client.y - outer.top, nullptr);
  SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.get()), 0);
  SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
  SetViewportOrgEx(dc.get(), 0, 0, nullptr);
  for (HWND child = GetWindow(GetWindow(window, GW_CHILD), GW_HWNDLAST); child; child = GetWindow(child, GW_HWNDPREV)) {
    if (!(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) continue;
    const BitmapHandle part = Paint(child);
    MemoryDC from(part.get());
    RECT r{};
    if (!part || !from.get() || !GetWindowRect(child, &r)) continue;
    BitBlt(dc.get(), r.left - outer.left, r.top - outer.top, r.right - r.left, r.bottom - r.top, from.get(), 0, 0,
           SRCCOPY);
  }
  return picture;
}

// Within the largest size, the aspect ratio kept; never larger than it was.
SIZE FitWithin(SIZE size, SIZE largest) {
  if (size.cx <= largest.cx && size.cy <= largest.cy) return size;
  if (static_cast<long long>(size.cx) * largest.cy >= static_cast<long long>(size.cy) * largest.cx)
    return {largest.cx, std::max(1, MulDiv(size.cy, largest.cx, size.cx))};
  return {std::max(1, MulDiv(size.cx, largest.cy, size.cy)), largest.cy};
}

// GDI leaves the alpha byte 0, which the system would show as transparent.
void MakeOpaque(DWORD* bits, SIZE size) {
  GdiFlush();
  for (long i = 0, n = size.cx * size.cy; i < n; ++i) bits[i] |= 0xFF000000u;
}

// The top-left corner of the window's client area, where it would be when
// restored if it is minimised.
POINT ClientOrigin(HWND window) {
  POINT origin{0, 0};
  if (!IsIconic(window)) {
    ClientToScreen(window, &origin);
    return origin;
  }
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(window, &placement);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const RECT& n = placement.rcNormalPosition;
  TRect place{n.left, n.top, n.right, n.bottom};
  if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
    const RECT &m = info.rcMonitor, &w = info.rcWork;
    place = WorkspaceToScreen(place, {{m.left, m.top, m.right, m.bottom}, {w.left, w.top, w.right, w.bottom}});
  }
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)));
  return {place.left - frame.left, place.top - frame.top};
}

}  // namespace

BitmapHandle RenderWindow(HWND window, SIZE maxSize) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top) return {};
  const SIZE full{r.right - r.left, r.bottom - r.top};
  BitmapHandle whole = Paint(window);
  DIBSECTION dib{};
  if (!whole || GetObjectA(whole.get(), sizeof dib, &dib) != sizeof dib) return {};
  auto* fullBits = static_cast<DWORD*>(dib.dsBm.bmBits);
  const SIZE size = maxSize.cx > 0 && maxSize.cy > 0 ? FitWithin(full, maxSize) : full;
  if (size.cx == full.cx && size.cy == full.cy) {
    MakeOpaque(fullBits, full);
    return whole;
  }
  DWORD* bits = nullptr;
  BitmapHandle scaled = MakeDib(size, bits);
  if (!scaled) return {};
  {
    MemoryDC from(whole.get()), to(scaled.get());
    if (!from.get() || !to.get()) return {};
    SetStretchBltMode(to.get(), HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr);
    StretchBlt(to.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, full.cx, full.cy, SRCCOPY);
  }
  MakeOpaque(bits, size);
  return scaled;
}

bool TaskbarPreview::Enable(HWND appWindow) {
  dwmapi_ = LoadSystemLibrary("dwmapi.dll");
  setAttribute_ = dwmapi_.Find<decltype(setAttribute_)>("DwmSetWindowAttribute");
  setThumbnail_ = dwmapi_.Find<decltype(setThumbnail_)>("DwmSetIconicThumbnail");
  setLivePreview_ = dwmapi_.Find<decltype(setLivePreview_)>("DwmSetIconicLivePreviewBitmap");
  invalidate_ = dwmapi_.Find<decltype(invalidate_)>("DwmInvalidateIconicBitmaps");
  // Windows 7 on has all four; Vista only the first.
  if (!setAttribute_ || !setThumbnail_ || !setLivePreview_ || !invalidate_) {
    *this = {};
    return false;
  }
  const BOOL on = TRUE;
  setAttribute_(appWindow, kForceIconicRepresentation, &on, sizeof on);
  setAttribute_(appWindow, kHasIconicBitmap, &on, sizeof on);
  return true;
}

void TaskbarPreview::SendThumbnail(HWND appWindow, HWND form, LPARAM maxSize) const {
  if (!setThumbnail_) return;
  const BitmapHandle picture = RenderWindow(form, {HIWORD(maxSize), LOWORD(maxSize)});
  // The system takes a copy.
  if (picture) setThumbnail_(appWindow, picture.get(), 0);
}

void TaskbarPreview::SendLivePreview(HWND appWindow, HWND form) const {
  if (!setLivePreview_) return;
  const BitmapHandle picture = RenderWindow(form);
  RECT r{};
  if (!picture || !GetWindowRect(form, &r)) return;
  const POINT origin = ClientOrigin(appWindow);
  POINT offset{r.left - origin.x, r.top - origin.y};
  setLivePreview_(appWindow, picture.get(), &offset, 0);
}

void TaskbarPreview::Invalidate(HWND appWindow) const {
  if (invalidate_) invalidate_(appWindow);
}

}  // namespace qn3::ui
