// RAII owners for the GDI and window handles the windowing layer creates.
#pragma once

#include <windows.h>

#include <utility>

namespace qn3::ui {

template <typename H, typename Deleter>
class UniqueHandle {
public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) { reset(); h_ = std::exchange(o.h_, H{}); }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  H get() const { return h_; }
  H release() { return std::exchange(h_, H{}); }
  void reset(H h = H{}) {
    if (h_) Deleter{}(h_);
    h_ = h;
  }
  explicit operator bool() const { return h_ != H{}; }

private:
  H h_{};
};

struct GdiObjectDeleter {
  void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct IconDeleter {
  void operator()(HICON h) const { DestroyIcon(h); }
};
struct WindowDeleter {
  void operator()(HWND h) const { DestroyWindow(h); }
};

using FontHandle = UniqueHandle<HFONT, GdiObjectDeleter>;
using BitmapHandle = UniqueHandle<HBITMAP, GdiObjectDeleter>;
using IconHandle = UniqueHandle<HICON, IconDeleter>;
using WindowHandle = UniqueHandle<HWND, WindowDeleter>;

// A screen DC for measuring, released on scope exit.
class ScreenDC {
public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ~ScreenDC() { if (dc_) ReleaseDC(nullptr, dc_); }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC get() const { return dc_; }

private:
  HDC dc_;
};

}  // namespace qn3::ui
