// Thin wrappers for the child controls a form creates: each is a named
// component of its form and knows its window handle.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/Component.h"
#include "base/Strings.h"
#include "ui/Dpi.h"

namespace qn3::ui {

// A window's text, whatever its length.
std::string WindowText(HWND window);

// A rectangle in the 96-DPI design: left, top, width, height.
struct DesignRect {
  int left, top, width, height;
};

class TControl : public TNamedComponent {
public:
  TControl(TComponent* owner, std::string className, std::string_view name, HWND handle);
  HWND Handle() const { return handle_; }
  int Id() const;
  std::string Text() const;
  void SetText(const std::string& text);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  // Bounds in the parent's client coordinates, in real pixels.
  RECT BoundsInParent() const;
  void SetBoundsInParent(int left, int top, int width, int height);

private:
  HWND handle_;
};

// The drop-down list: items, each with a description and a file, and the
// selection. As TStrings it is what the catalogue fills; filling does not
// repaint per item. Made owner-drawn, its dropped list shows each item's
// description in a second column; the item texts, and so the closed field,
// stay the names. An item whose file is missing is drawn in the disabled
// text colour with a mark.
class TComboBox final : public TControl, public TStrings {
public:
  using TControl::TControl;
  using TStrings::Add;
  void Clear() override;
  void Add(const std::string& text, ItemDetails details) override;
  int Count() const override;
  int ItemIndex() const;
  void SetItemIndex(int index);  // an index beyond the list selects nothing
  std::string Item(int index) const;  // empty when the index names no item
  // The description as shown: one line (base/Text.h OneLine).
  std::wstring Description(int index) const;  // empty when the index names no item
  std::wstring File(int index) const;         // likewise
  bool FileMissing(int index) const;
  void BeginUpdate();
  void EndUpdate();

  // What a missing file's item shows beside its name, e.g. "(file missing)".
  void SetMissingMark(const std::wstring& mark);
  // Marks the items' files missing and repaints, dropped or not.
  void SetFilesMissing(const std::vector<size_t>& indexes);

  // WM_DRAWITEM of an owner-drawn list.
  void DrawItem(const DRAWITEMSTRUCT& item);
  // Before the list drops: wide enough for both columns, within the work
  // area of its monitor from where it drops, but never narrower than the
  // names need; its frame and scroll bar at the DPI the list is drawn at.
  void FitDroppedWidth(const DpiFunctions& perDpi, UINT dpi);

private:
  // UTF-16 as it came, moved in: the wide functions take it as it is.
  struct Entry {
    std::u16string description, file;
    bool missing = false;
  };
  struct Columns {
    HFONT font;  // measured in
    int pad, nameWidth, gap, descriptionWidth, markWidth;
  };
  // Measured once per filling, in the list's font.
  const Columns& MeasureColumns();
  // The item's text as drawn: one line.
  std::u16string ShownItem(int index) const;

  int updating_ = 0;
  std::vector<Entry> entries_;
  size_t missing_ = 0;  // entries marked
  std::u16string mark_;
  std::optional<Columns> columns_;
};

// Keeps a combo box from repainting while it is filled.
class ComboUpdate {
public:
  explicit ComboUpdate(TComboBox& combo) : combo_(combo) { combo_.BeginUpdate(); }
  ~ComboUpdate() { combo_.EndUpdate(); }
  ComboUpdate(const ComboUpdate&) = delete;
  ComboUpdate& operator=(const ComboUpdate&) = delete;

private:
  TComboBox& combo_;
};

}  // namespace qn3::ui
