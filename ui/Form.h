// The form base: one top-level window with one window procedure, child
// controls laid out from a 96-DPI design at the window's own DPI (again
// whenever that changes; ui/FormLayout), a font, tooltips
// (ui/FormTooltips), modal showing and release through the message loop.
// Every message handler runs inside a catch that hands errors to the
// application's general error report.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Component.h"
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/FormLayout.h"
#include "ui/FormTooltips.h"
#include "ui/Handles.h"

namespace qn3::ui {

// How a form's window looks; sizes are the 96-DPI design.
struct FormStyle {
  const char* windowClass;
  std::string caption;
  DWORD style;    // WS_* of the frame
  DWORD exStyle;  // WS_EX_*
  int left, top;  // outer position
  int clientWidth, clientHeight;
  const char* fontFace;  // font height is -11 design pixels (8 points at 96 DPI)
  BYTE fontCharset;
  const char* iconResource;  // class icon, or null
  // The window that owns the form, which keeps it above itself and brings
  // it forward when clicked while disabled; null: the application window.
  // An owned form is made at its owner's DPI, at its owner's top-left
  // corner (so on its monitor) rather than at left, top: its caller places it.
  HWND owner = nullptr;
};

class TForm : public TComponent {
public:
  TForm(TApplication& app, std::string className, TComponent* owner = nullptr);
  ~TForm() override;

  std::string ClassName() const override { return className_; }
  TApplication& App() const { return app_; }
  HWND Handle() const { return handle_.get(); }
  // The DPI the form is laid out at.
  const Dpi& FormDpi() const { return dpi_; }
  int Scale(int designPixels) const { return FormDpi().Scale(designPixels); }
  HFONT Font() const { return font_.get(); }

  // Outer rectangle in screen coordinates (the restored one when minimised).
  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int left);
  void SetTop(int top);
  void SetHeight(int height);
  void SetWidth(int width);
  void SetBounds(int left, int top, int width, int height);
  // Sizes the window around a client area of that size, its outer top-left
  // corner at left, top; the frame is the one the system draws.
  void PlaceClient(int left, int top, int clientWidth, int clientHeight);
  // Sizes the window to the client size the layout needs, keeping its place.
  void FitClient();
  // The outer size of a fresh start at that DPI, in the form's state now.
  SIZE WindowSizeAt(const Dpi& dpi) const;

  std::string Caption() const;
  void SetCaption(const std::string& caption);

  // Runs the first-show handler, once.
  void FirstShow();
  // Runs the first-show handler (once), then shows the window in its normal
  // state: activated, or leaving the foreground to the window that has it.
  void Show(bool activate = true);
  bool Visible() const;
  // Closes the form: a modal form ends its modal show, others are destroyed.
  void Close();

  // Shows the form modally; returns its modal result (IDCANCEL on close).
  int ShowModal();
  void SetModalResult(int result) { modalResult_ = result; }
  // Queues the form's destruction on the message loop; the form must have
  // been created with new, and the caller must not touch it afterwards.
  void Release();

  // The control that Enter presses (0: none).
  void SetDefaultControl(int id) { defaultId_ = id; }
  // The control that Escape presses (0: Escape closes a modal form).
  void SetCancelControl(int id) { cancelId_ = id; }

  // The main form, once, after its first paint: work that should not
  // delay the start goes here.
  virtual void FormPainted() {}

  // From the message loop, a message to the form or one of its controls.
  void RelayToTooltips(const MSG& message) const { tooltips_.Relay(message); }

  // The form's child by identifier.
  HWND Child(int id) const { return GetDlgItem(Handle(), id); }

  // Destroys the window, running FormDestroy. Derived forms call it in their
  // destructor, so the handler still sees them whole.
  void DestroyHandle();

protected:
  void CreateHandle(const FormStyle& style);

  // Control factories: the design rectangle is scaled; the control gets the
  // form's font, is a named component of the form and gets the next tab stop
  // in creation order when it takes focus.
  // Labels do not wrap unless asked; extraStyle adds SS_* flags (SS_NOTIFY
  // for a label that takes clicks).
  std::unique_ptr<TControl> AddLabel(std::string_view name, int id, DesignRect r, const std::string& text,
                                     HWND parent = nullptr, bool wordWrap = false, DWORD extraStyle = 0);
  std::unique_ptr<TControl> AddButton(std::string_view name, int id, DesignRect r, const std::string& text,
                                      bool isDefault = false, HWND parent = nullptr);
  std::unique_ptr<TControl> AddEdit(std::string_view name, int id, DesignRect r, const std::string& text);
  // Owner-drawn: each item's description beside its name when dropped.
  std::unique_ptr<TComboBox> AddDropDownList(std::string_view name, int id, DesignRect r, int itemHeight);
  std::unique_ptr<TControl> AddBevel(std::string_view name, int id, DesignRect r);
  std::unique_ptr<TControl> AddGroupBox(std::string_view name, int id, DesignRect r);
  std::unique_ptr<TControl> AddImage(std::string_view name, int id, DesignRect r, HWND parent);
  // The hint shows whether the control is enabled or not; an empty one
  // shows nothing. Set again, it replaces the control's hint.
  void AddTooltip(const TControl& control, const std::string& hint);
  void AddTooltip(const TControl& control, const std::wstring& hint);
  // Away from 96 DPI, widens a single-line label whose text does not fit its
  // scaled width (font metrics do not scale exactly); never narrows it. The
  // label does so again at every new DPI.
  void GrowLabelToText(const TControl& label);

  // Height of the caption and the frame around the client area at a DPI.
  int FrameHeightAt(const Dpi& dpi) const;
  // The form's font at a DPI.
  FontHandle MakeFontAt(const Dpi& dpi) const;
  const FormLayout& Layout() const { return layout_; }
  // Lays the form out afresh at another DPI, as if it had been made there,
  // the window's outer top-left corner at left, top.
  void ChangeDpi(const Dpi& dpi, int left, int top);
  // For ChangeDpi: every control has its new font and its rectangle from
  // the design; the window has its old size yet.
  virtual void ControlsRescaled() {}
  // The client size the form's state needs at a DPI, as a fresh start there
  // lays it out.
  virtual SIZE ClientSizeAt(const Dpi& dpi) const;

  // Message handling; errors may propagate, the base catches them.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
  virtual void OnCommand(int id, int code, HWND control) { (void)id, (void)code, (void)control; }
  virtual void FormShow() {}
  virtual void FormDestroy() {}
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void RegisterWindowClass(const FormStyle& style) const;
  void OnCommandMessage(WPARAM wp, LPARAM lp);
  // One of the form's drop-down lists by its window; null when none is.
  TComboBox* ComboBoxOf(HWND control) const;
  void OnActivate(WPARAM wp);
  // The main form's own messages (ui/FormMain.cpp); true when handled,
  // with the result.
  bool MainFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  void OnDpiChanged(WPARAM wp, const RECT* suggested);
  // The identifier of the focused child when it is a push button, else 0.
  int FocusedPushButton() const;
  void RestoreFocus();

  HWND CreateChild(const char* cls, int id, DesignRect r, const std::string& text, DWORD style, DWORD exStyle,
                   HWND parent, Fit fit = Fit::Exact, int itemHeight = 0);

  TApplication& app_;
  std::string className_;
  WindowHandle handle_;
  Dpi dpi_;
  // From the form's style, to lay it out again.
  DWORD frameStyle_ = 0, frameExStyle_ = 0;
  SIZE designClient_{};
  const char* fontFace_ = nullptr;
  BYTE fontCharset_ = DEFAULT_CHARSET;
  FontHandle font_;
  FormLayout layout_;  // every control the factories made
  FormTooltips tooltips_;
  HWND lastFocus_ = nullptr;  // focused child at the last deactivation
  bool shownOnce_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
  int defaultId_ = 0;
  int cancelId_ = 0;
  bool destroying_ = false;
  bool unminimizing_ = false;  // shown out of the minimised state, kept hidden
};

}  // namespace qn3::ui
