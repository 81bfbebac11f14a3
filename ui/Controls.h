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

// The drop-down list: items, each with a description, and the selection.
// As TStrings it is what the catalogue fills; filling does not repaint per
// item. Made owner-drawn, its dropped list shows each item's description in
// a second column; the item texts, and so the closed field, stay the names.
class TComboBox final : public TControl, public TStrings {
public:
  using TControl::TControl;
  using TStrings::Add;
  void Clear() override;
  void Add(const std::string& text, const std::string& description) override;
  int Count() const override;
  int ItemIndex() const;
  void SetItemIndex(int index);  // an index beyond the list selects nothing
  std::string Item(int index) const;  // empty when the index names no item
  std::string Description(int index) const;  // likewise
  void BeginUpdate();
  void EndUpdate();

  // WM_DRAWITEM of an owner-drawn list.
  void DrawItem(const DRAWITEMSTRUCT& item);
  // Before the list drops: wide enough for both columns, at most as wide
  // as the work area of its monitor; its frame and scroll bar at the DPI
  // the list is drawn at.
  void FitDroppedWidth(const DpiFunctions& perDpi, UINT dpi);

private:
  struct Columns {
    HFONT font;  // measured in
    int pad, nameWidth, gap, descriptionWidth;
  };
  // Measured once per filling, in the list's font.
  const Columns& MeasureColumns();

  int updating_ = 0;
  std::vector<std::string> descriptions_;
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
