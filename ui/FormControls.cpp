// The form's control factories: each control made at its design rectangle
// for the form's DPI, with the form's font, and recorded in its layout.
#include "ui/Form.h"

#include "base/AnsiText.h"
#include "base/Exception.h"

namespace qn3::ui {

HWND TForm::CreateChild(const char* cls, int id, DesignRect r, const std::string& text, DWORD style, DWORD exStyle,
                        HWND parent, Fit fit, int itemHeight) {
  const DesignRect made = FormLayout::Outline(r, fit, itemHeight);
  HWND h = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Scale(made.left),
                           Scale(made.top), Scale(made.width), Scale(made.height), parent ? parent : Handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), app_.Instance(), nullptr);
  if (!h) throw Exception("Cannot create a control");
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  layout_.Add(h, r, fit, itemHeight, dpi_, font_.get());
  return h;
}

std::unique_ptr<TControl> TForm::AddLabel(std::string_view name, int id, DesignRect r, const std::string& text,
                                          HWND parent, bool wordWrap, DWORD extraStyle) {
  DWORD style = (wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | extraStyle;
  return std::make_unique<TControl>(this, "TLabel", name, CreateChild("STATIC", id, r, text, style, 0, parent));
}

std::unique_ptr<TControl> TForm::AddButton(std::string_view name, int id, DesignRect r, const std::string& text,
                                           bool isDefault, HWND parent) {
  DWORD style = WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  if (isDefault) SetDefaultControl(id);
  return std::make_unique<TControl>(this, "TButton", name, CreateChild("BUTTON", id, r, text, style, 0, parent));
}

std::unique_ptr<TControl> TForm::AddEdit(std::string_view name, int id, DesignRect r, const std::string& text) {
  HWND h = CreateChild("EDIT", id, r, text, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, nullptr);
  return std::make_unique<TControl>(this, "TEdit", name, h);
}

std::unique_ptr<TComboBox> TForm::AddDropDownList(std::string_view name, int id, DesignRect r, int itemHeight) {
  HWND h = CreateChild("COMBOBOX", id, r, "",
                       WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0, nullptr,
                       Fit::DropDown, itemHeight);
  return std::make_unique<TComboBox>(this, "TComboBox", name, h);
}

std::unique_ptr<TControl> TForm::AddBevel(std::string_view name, int id, DesignRect r) {
  HWND h = CreateChild("STATIC", id, r, "", SS_ETCHEDHORZ, 0, nullptr, Fit::Etched);
  return std::make_unique<TControl>(this, "TBevel", name, h);
}

std::unique_ptr<TControl> TForm::AddGroupBox(std::string_view name, int id, DesignRect r) {
  return std::make_unique<TControl>(this, "TGroupBox", name,
                                    CreateChild("BUTTON", id, r, "", BS_GROUPBOX | WS_GROUP, 0, nullptr));
}

std::unique_ptr<TControl> TForm::AddImage(std::string_view name, int id, DesignRect r, HWND parent) {
  // The icon is drawn to the image's laid-out size (from XP on): a file's
  // icon comes at the system DPI's size, the form may be at another DPI.
  HWND h = CreateChild("STATIC", id, r, "", SS_ICON | SS_REALSIZEIMAGE | SS_REALSIZECONTROL, 0, parent);
  return std::make_unique<TControl>(this, "TImage", name, h);
}

void TForm::GrowLabelToText(const TControl& label) { layout_.GrowToText(label.Handle(), dpi_, font_.get()); }

void TForm::AddTooltip(const TControl& control, const std::string& hint) {
  const std::u16string wide = AnsiToUtf16(hint);
  AddTooltip(control, std::wstring(wide.begin(), wide.end()));
}

void TForm::AddTooltip(const TControl& control, const std::wstring& hint) {
  tooltips_.Add(Handle(), app_.Instance(), control, hint);
}

}  // namespace qn3::ui
