#include "ui/Controls.h"

#include <algorithm>
#include <new>

namespace qn3::ui {

std::string WindowText(HWND window) {
  int n = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

TControl::TControl(TComponent* owner, std::string className, std::string_view name, HWND handle)
    : TNamedComponent(owner, std::move(className), name), handle_(handle) {}

int TControl::Id() const { return GetDlgCtrlID(handle_); }

std::string TControl::Text() const { return WindowText(handle_); }

void TControl::SetText(const std::string& text) { SetWindowTextA(handle_, text.c_str()); }

bool TControl::Enabled() const { return IsWindowEnabled(handle_) != FALSE; }

void TControl::SetEnabled(bool enabled) { EnableWindow(handle_, enabled ? TRUE : FALSE); }

RECT TControl::BoundsInParent() const {
  RECT r{};
  GetWindowRect(handle_, &r);
  MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TControl::SetBoundsInParent(int left, int top, int width, int height) {
  SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBox::Clear() { SendMessageA(Handle(), CB_RESETCONTENT, 0, 0); }

void TComboBox::Add(const std::string& text) {
  LRESULT r = SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (r == CB_ERR || r == CB_ERRSPACE) throw std::bad_alloc();
}

int TComboBox::Count() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBox::SetItemIndex(int index) { SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

std::string TComboBox::Item(int index) const {
  LRESULT n = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (index < 0 || n == CB_ERR) return {};
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(n == CB_ERR ? 0 : static_cast<size_t>(n));
  return text;
}

void TComboBox::BeginUpdate() {
  if (updating_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TComboBox::EndUpdate() {
  if (--updating_ == 0) {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

}  // namespace qn3::ui
