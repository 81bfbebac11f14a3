// The taskbar's previews of the program, from Windows 7 on: the thumbnail,
// Peek and the Alt+Tab preview show the window that owns the taskbar
// button, which is the hidden application window. Asked for its pictures,
// it hands over a rendering of the main form instead. The functions come
// from the system folder's dwmapi.dll at run time; where they are missing
// nothing changes, and a failing call leaves the preview as the system
// makes it.
#pragma once

#include <windows.h>

#include "base/SystemLibrary.h"
#include "ui/Handles.h"

namespace qn3::ui {

// The window as it is now, its frame included, in a 32-bit top-down DIB
// section with opaque alpha: scaled with good filtering to fit within
// maxSize, keeping its aspect ratio, or at its own size when maxSize is
// empty. Null when it cannot be rendered.
BitmapHandle RenderWindow(HWND window, SIZE maxSize = {});

class TaskbarPreview {
public:
  // Asks the system for the pictures of the application window; false
  // where it cannot (before Windows 7).
  bool Enable(HWND appWindow);
  // WM_DWMSENDICONICTHUMBNAIL, its largest size in lParam (width in the
  // high word, height in the low one).
  void SendThumbnail(HWND appWindow, HWND form, LPARAM maxSize) const;
  // WM_DWMSENDICONICLIVEPREVIEWBITMAP: the form at full size, where it
  // stands.
  void SendLivePreview(HWND appWindow, HWND form) const;
  // What the form shows has changed: the system asks again.
  void Invalidate(HWND appWindow) const;

private:
  LibraryHandle dwmapi_;
  HRESULT(WINAPI* setAttribute_)(HWND, DWORD, LPCVOID, DWORD) = nullptr;
  HRESULT(WINAPI* setThumbnail_)(HWND, HBITMAP, DWORD) = nullptr;
  HRESULT(WINAPI* setLivePreview_)(HWND, HBITMAP, POINT*, DWORD) = nullptr;
  HRESULT(WINAPI* invalidate_)(HWND) = nullptr;
};

}  // namespace qn3::ui
