// The About box: TFrmAbout shows a program file's first icon and four texts
// of its version resource, with the company name as a link to the maker's
// web address. Each request builds a new dialog, shows it modally once and
// releases it through the message loop.
#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "about/uDlgUtils.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "ui/Handles.h"

namespace qn3::ids {

// The About box's class and controls; tests find them by these.
inline constexpr char kAboutWindowClass[] = "QN3Helper.About";

enum AboutControl : int {
  kBtnOk = 201,
  kGroupBox1 = 202,
  kImage = 203,
  kLblProduct = 204,
  kLblVersion = 205,
  kLblCopyright = 206,
  kLblCompany = 207,
};

}  // namespace qn3::ids

namespace qn3 {

// What the dialog shows. Icon is not owned: it passes to the dialog's image.
struct TDlgOptionsAbout {
  HICON Icon = nullptr;
  std::string Product;
  std::string Version;
  std::string Copyright;
  std::string Company;
  std::string Url;
};

class TFrmAbout final : public TDialogForm {
public:
  // The About box for the running program's own file.
  static bool ShowAbout(ui::TApplication& app, const DialogPlacement& placement);
  // The About box for any file.
  static bool ShowAboutFor(ui::TApplication& app, const DialogPlacement& placement,
                           const std::string& fileName);
  // Builds, places and shows the dialog. False when an error occurred after
  // the dialog was created; errors while creating it propagate.
  static bool ShowAboutDialog(ui::TApplication& app, const DialogPlacement& placement,
                              const TDlgOptionsAbout& options);

  // Owned by the window given (null: the application window).
  TFrmAbout(ui::TApplication& app, HWND owner);
  ~TFrmAbout() override;

protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(int id, int code, HWND control) override;
  void FormShow() override;
  void ControlsRescaled() override;
  SIZE ClientSizeAt(const ui::Dpi& dpi) const override;

private:
  struct AnchoredControl {
    const ui::TControl* control;
    Bounds designed;  // real pixels, as laid out for the form's DPI
    uint8_t anchors;
  };

  void FormCreate();
  void BtnOkClick();
  void LblCompanyClick();
  // The image takes the handle and destroys it with the dialog.
  void SetIcon(HICON icon);
  void ShowAsLink();
  void SetLinkFont();
  void Anchor(const ui::TControl& control, uint8_t anchors);
  // The anchored controls' places and the client size they are designed for
  // are the ones they have now.
  void TakeDesignedPlaces();
  void ApplyAnchors();
  // How much wider the form must be at that DPI for every caption to fit
  // its label.
  int CaptionOverflowAt(const ui::Dpi& dpi) const;
  // ShowModal with an error of FormShow raised here instead of reported.
  void ShowModalRaising();

  std::unique_ptr<ui::TControl> BtnOk, GroupBox1, Image, LblCopyright, LblCompany, LblVersion, LblProduct;
  const TDlgOptionsAbout* FOptions = nullptr;

  ui::IconHandle icon_;
  ui::FontHandle linkFont_;
  bool isLink_ = false;
  std::vector<AnchoredControl> anchored_;
  SIZE designedClient_{};
  std::exception_ptr showError_;
};

// Opens a file or address with the shell's Open verb; true when the shell
// accepted it. The folder is passed only for a file that exists.
bool ShellOpenDocument(const std::string& fileName, const std::string& parameters);

}  // namespace qn3
