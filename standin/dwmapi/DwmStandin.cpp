// dwmapi-standin.dll: the taskbar previews' side of the desktop window
// manager, as the program calls it. Wine's own answers S_OK and draws
// nothing, so tests put this one in its place and read what was asked:
// with DWMAPI_STANDIN_LOG set, each call appends a line to that file. Every
// call answers S_OK.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

void Log(const char* format, ...) {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("DWMAPI_STANDIN_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  char line[256];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (length <= 0) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(std::min<size_t>(length, sizeof line - 1)), &written, nullptr);
  CloseHandle(file);
}

// "WIDTHxHEIGHT BITS" of a bitmap handed over.
struct Shape {
  long width = 0, height = 0;
  int bits = 0;
};

Shape ShapeOf(HBITMAP bitmap) {
  BITMAP b{};
  if (!bitmap || !GetObjectA(bitmap, sizeof b, &b)) return {};
  return {b.bmWidth, b.bmHeight, b.bmBitsPixel};
}

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT WINAPI DwmSetWindowAttribute(HWND window, DWORD attribute, LPCVOID value, DWORD size) {
  const BOOL on = value && size == sizeof(BOOL) ? *static_cast<const BOOL*>(value) : -1;
  Log("DwmSetWindowAttribute %p %lu %d\n", static_cast<void*>(window), attribute, on);
  return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DwmSetIconicThumbnail(HWND window, HBITMAP bitmap, DWORD flags) {
  const Shape s = ShapeOf(bitmap);
  Log("DwmSetIconicThumbnail %p %ldx%ld %d %lu\n", static_cast<void*>(window), s.width, s.height, s.bits, flags);
  return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DwmSetIconicLivePreviewBitmap(HWND window, HBITMAP bitmap, POINT* client,
                                                                     DWORD flags) {
  const Shape s = ShapeOf(bitmap);
  Log("DwmSetIconicLivePreviewBitmap %p %ldx%ld %d %ld,%ld %lu\n", static_cast<void*>(window), s.width, s.height,
      s.bits, client ? client->x : 0L, client ? client->y : 0L, flags);
  return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DwmInvalidateIconicBitmaps(HWND window) {
  Log("DwmInvalidateIconicBitmaps %p\n", static_cast<void*>(window));
  return S_OK;
}

}  // extern "C"
