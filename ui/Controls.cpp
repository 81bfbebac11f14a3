#include "ui/Controls.h"

#include <algorithm>
#include <new>
#include <string_view>

#include "base/AnsiText.h"
#include "base/Text.h"

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

namespace {

// UTF-16 as the wide functions take it.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
const wchar_t* WideChars(std::u16string_view text) { return reinterpret_cast<const wchar_t*>(text.data()); }
std::wstring Wide(std::u16string_view text) { return std::wstring(WideChars(text), text.size()); }

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }

// The space before and after a text, and between the columns, from the
// font, so it follows the DPI.
int PadOf(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return std::max(1, static_cast<int>(metrics.tmAveCharWidth) / 2);
}

int GapOf(int pad) { return 4 * pad; }

int TextWidth(HDC dc, std::u16string_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, WideChars(text), static_cast<int>(text.size()), &size);
  return size.cx;
}

void DrawLine(HDC dc, std::u16string_view text, RECT& rect) {
  DrawTextW(dc, WideChars(text), static_cast<int>(text.size()), &rect,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
}

// The dropped list's own window; null when it cannot be had. Documented
// from Vista on, though older systems have it: looked up, not imported.
HWND DroppedListOf(HWND combo) {
  using GetInfoFn = BOOL(WINAPI*)(HWND, COMBOBOXINFO*);
  static const auto getInfo = reinterpret_cast<GetInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetComboBoxInfo")));
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return getInfo && getInfo(combo, &info) ? info.hwndList : nullptr;
}

}  // namespace

void TComboBox::Clear() {
  SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
  entries_.clear();
  missing_ = 0;
  columns_.reset();
}

void TComboBox::Add(const std::string& text, ItemDetails details) {
  // The file as the system reads a path: up to its first NUL.
  if (const size_t nul = details.file.find(u'\0'); nul != std::u16string::npos) details.file.resize(nul);
  entries_.push_back({OneLine(std::move(details.description)), std::move(details.file)});
  LRESULT r = SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (r == CB_ERR || r == CB_ERRSPACE) {
    entries_.pop_back();
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

std::wstring TComboBox::Description(int index) const {
  return index >= 0 && index < static_cast<int>(entries_.size()) ? Wide(entries_[static_cast<size_t>(index)].description)
                                                                  : std::wstring();
}

std::wstring TComboBox::File(int index) const {
  return index >= 0 && index < static_cast<int>(entries_.size()) ? Wide(entries_[static_cast<size_t>(index)].file)
                                                                  : std::wstring();
}

bool TComboBox::FileMissing(int index) const {
  return index >= 0 && index < static_cast<int>(entries_.size()) && entries_[static_cast<size_t>(index)].missing;
}

std::u16string TComboBox::ShownItem(int index) const { return OneLine(AnsiToUtf16(Item(index))); }

void TComboBox::BeginUpdate() {
  if (updating_++ == 0) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TComboBox::EndUpdate() {
  if (--updating_ == 0) {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

void TComboBox::SetMissingMark(const std::wstring& mark) {
  mark_.assign(mark.begin(), mark.end());
  columns_.reset();
}

void TComboBox::SetFilesMissing(const std::vector<size_t>& indexes) {
  bool changed = false;
  for (size_t i : indexes) {
    if (i >= entries_.size() || entries_[i].missing) continue;
    entries_[i].missing = true;
    ++missing_;
    changed = true;
  }
  if (!changed) return;
  InvalidateRect(Handle(), nullptr, FALSE);
  if (HWND list = DroppedListOf(Handle())) InvalidateRect(list, nullptr, FALSE);
}

const TComboBox::Columns& TComboBox::MeasureColumns() {
  const HFONT font = FontOf(Handle());
  if (columns_ && columns_->font == font) return *columns_;
  HDC dc = GetDC(Handle());
  const HGDIOBJ old = SelectObject(dc, font);
  const int pad = PadOf(dc);
  Columns c{font, pad, 0, GapOf(pad), 0, TextWidth(dc, mark_ + u"  ")};
  for (int i = 0, n = Count(); i < n; ++i) {
    c.nameWidth = std::max(c.nameWidth, TextWidth(dc, ShownItem(i)));
    c.descriptionWidth = std::max(c.descriptionWidth, TextWidth(dc, entries_[static_cast<size_t>(i)].description));
  }
  SelectObject(dc, old);
  ReleaseDC(Handle(), dc);
  columns_ = c;
  return *columns_;
}

void TComboBox::FitDroppedWidth(const DpiFunctions& perDpi, UINT dpi) {
  const Columns& c = MeasureColumns();
  const int names = c.pad + c.nameWidth + c.pad + perDpi.SystemMetric(SM_CXVSCROLL, dpi) +
                    2 * perDpi.SystemMetric(SM_CXEDGE, dpi);
  const int second = c.descriptionWidth + (missing_ > 0 ? c.markWidth : 0);
  int width = second > 0 ? names + c.gap + second : names;
  // The list drops at the field's left edge; the description column gives
  // way (DrawItem cuts it with an ellipsis), the names never do.
  RECT field{};
  GetWindowRect(Handle(), &field);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(MonitorFromWindow(Handle(), MONITOR_DEFAULTTONEAREST), &info))
    width = std::min(width, std::max(names, static_cast<int>(info.rcWork.right - std::max(field.left, info.rcWork.left))));
  SendMessageA(Handle(), CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

void TComboBox::DrawItem(const DRAWITEMSTRUCT& item) {
  const HDC dc = item.hDC;
  const bool selected = item.itemState & ODS_SELECTED, field = item.itemState & ODS_COMBOBOXEDIT;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int index = static_cast<int>(item.itemID);
  if (index >= 0 && index < static_cast<int>(entries_.size())) {
    const Entry& entry = entries_[static_cast<size_t>(index)];
    const HGDIOBJ old = SelectObject(dc, FontOf(Handle()));
    SetBkMode(dc, TRANSPARENT);
    // The closed field shows the name, the list the description too, after
    // the widest name; a missing file's mark comes first in that column.
    std::u16string second = field ? std::u16string() : entry.description;
    if (entry.missing) second = second.empty() ? mark_ : mark_ + u"  " + second;
    const std::u16string name = ShownItem(index);
    const int pad = PadOf(dc);
    RECT nameRect = item.rcItem;
    nameRect.left += pad;
    nameRect.right -= pad;
    if (!second.empty())
      nameRect.right = std::min(nameRect.right, nameRect.left + (field ? TextWidth(dc, name) : MeasureColumns().nameWidth));
    const int text = item.itemState & ODS_DISABLED ? COLOR_GRAYTEXT
                     : selected                    ? COLOR_HIGHLIGHTTEXT
                     : entry.missing               ? COLOR_GRAYTEXT
                                                   : COLOR_WINDOWTEXT;
    SetTextColor(dc, GetSysColor(text));
    DrawLine(dc, name, nameRect);
    if (!second.empty()) {
      RECT rest = item.rcItem;
      rest.left = nameRect.right + GapOf(pad);
      rest.right -= pad;
      SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
      DrawLine(dc, second, rest);
    }
    SelectObject(dc, old);
  }
  if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) DrawFocusRect(dc, &item.rcItem);
}

}  // namespace qn3::ui
