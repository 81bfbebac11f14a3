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

void TComboBox::Clear() {
  SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
  descriptions_.clear();
  columns_.reset();
}

void TComboBox::Add(const std::string& text, const std::string& description) {
  descriptions_.push_back(description);
  LRESULT r = SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (r == CB_ERR || r == CB_ERRSPACE) {
    descriptions_.pop_back();
    throw std::bad_alloc();
  }
  columns_.reset();
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

std::string TComboBox::Description(int index) const {
  return index >= 0 && index < static_cast<int>(descriptions_.size()) ? descriptions_[static_cast<size_t>(index)]
                                                                        : std::string();
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

namespace {

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }

// The space before and after a text, and between the columns, from the
// font, so it follows the DPI.
int PadOf(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return std::max(1, static_cast<int>(metrics.tmAveCharWidth) / 2);
}

int TextWidth(HDC dc, const std::string& text) {
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

}  // namespace

const TComboBox::Columns& TComboBox::MeasureColumns() {
  const HFONT font = FontOf(Handle());
  if (columns_ && columns_->font == font) return *columns_;
  HDC dc = GetDC(Handle());
  const HGDIOBJ old = SelectObject(dc, font);
  const int pad = PadOf(dc);
  Columns c{font, pad, 0, 4 * pad, 0};
  for (int i = 0, n = Count(); i < n; ++i) {
    c.nameWidth = std::max(c.nameWidth, TextWidth(dc, Item(i)));
    c.descriptionWidth = std::max(c.descriptionWidth, TextWidth(dc, descriptions_[static_cast<size_t>(i)]));
  }
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  columns_ = c;
  return *columns_;
}

void TComboBox::FitDroppedWidth(const DpiFunctions& perDpi, UINT dpi) {
  const Columns& c = MeasureColumns();
  int width = c.pad + c.nameWidth + c.pad + perDpi.SystemMetric(SM_CXVSCROLL, dpi) +
              2 * perDpi.SystemMetric(SM_CXEDGE, dpi);
  if (c.descriptionWidth > 0) width += c.gap + c.descriptionWidth;
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &info))
    width = std::min(width, static_cast<int>(info.rcWork.right - info.rcWork.left));
  SendMessageA(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

void TComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const bool selected = item.itemState & ODS_SELECTED, field = item.itemState & ODS_COMBOBOXEDIT;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int index = static_cast<int>(item.itemID);
  if (index >= 0) {
    const HGDIOBJ old = SelectObject(dc, FontOf(Handle()));
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    // The closed field shows the name only; the list the description too,
    // after the widest name.
    const int pad = PadOf(dc);
    RECT name = item.rcItem;
    name.left += pad;
    name.right -= pad;
    const std::string description = field ? std::string() : Description(index);
    if (!description.empty()) name.right = std::min(name.right, name.left + MeasureColumns().nameWidth);
    const int text = item.itemState & ODS_DISABLED ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT;
    SetTextColor(dc, GetSysColor(text));
    DrawTextA(dc, Item(index).c_str(), -1, &name, format);
    if (!description.empty()) {
      RECT rest = item.rcItem;
      rest.left = name.right + MeasureColumns().gap;
      rest.right -= pad;
      SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
      DrawTextA(dc, description.c_str(), -1, &rest, format);
    }
    SelectObject(dc, old);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
}

}  // namespace qn3::ui
