// The main window: the namespace list and its refresh, the application
// title that follows the selection, the collapsible options panel, Browse,
// Open, the default viewer, About, and the settings it loads and saves.
#pragma once

#include <memory>
#include <string>

#include "app/uJumpList.h"
#include "base/FileChecks.h"
#include "settings/uPrefs.h"
#include "ui/Form.h"

namespace qn3 {

class TForm1 final : public ui::TForm, public IPrefsHost {
public:
  explicit TForm1(ui::TApplication& app);
  ~TForm1() override;

  // Creates the window and its controls, then runs FormCreate.
  void Create();

  // IPrefsHost
  TComponent& HostComponent() override { return *this; }
  bool IsOpenWindowName(std::string_view name) const override { return App().IsOpenWindowName(name); }
  int WindowLeft() const override { return Left(); }
  int WindowTop() const override { return Top(); }
  int WindowWidth() const override { return Width(); }
  int WindowHeight() const override { return Height(); }
  void SetWindowTop(int top) override { SetTop(top); }
  void SetWindowLeft(int left) override { SetLeft(left); }
  std::string ViewerText() const override { return EditExe->Text(); }
  void SetViewerText(const std::string& text) override { EditExe->SetText(text); }
  std::string ParamsText() const override { return EditParams->Text(); }
  void SetParamsText(const std::string& text) override { EditParams->SetText(text); }

protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(int id, int code, HWND control) override;
  void FormShow() override;
  void FormPainted() override;
  void FormDestroy() override;
  SIZE ClientSizeAt(const ui::Dpi& dpi) const override;

private:
  void CreateControls();
  void FormCreate();
  void BtnRefreshClick();
  void BtnOpenClick();
  void BtnOptionsClick();
  void BtnBrowseClick();
  void BtnAboutClick();
  void BtnAutoClick();
  void CmbNamespaceChange();
  void DeferredNotice();
  void SavePrefs();

  bool RefreshNamespaces();
  // The list's files are checked off the window's thread; the answers come
  // back as a posted message.
  void CheckCollections();
  void CollectionsChecked();
  void UpdateTitle();
  // The list's hint and its accessible description: the selected
  // namespace's description, and which collection file is missing.
  void UpdateListHint();
  // The jump list offers every namespace listed; not before the first paint.
  void UpdateJumpList();
  std::wstring ListHint() const;
  void ApplyDefaultViewer();

  bool ApiAvailable = false;
  std::unique_ptr<TPrefs> Prefs;
  std::unique_ptr<FileChecks> Checks;
  bool Annotated = false;  // the list has an accessible description of ours
  std::string OptionsCaptions[2];
  bool Expanded = false;
  bool noticeWaits_ = false;  // for the window to appear
  bool Painted = false;
  TJumpList JumpList{L"Namespaces"};

  std::unique_ptr<ui::TControl> Label1;
  std::unique_ptr<ui::TComboBox> CmbNamespace;
  std::unique_ptr<ui::TControl> BtnRefresh, BtnOpen, BtnOptions, BtnAbout;
  std::unique_ptr<ui::TControl> Bevel1, Label2, EditExe, Label3, EditParams, BtnAuto, BtnBrowse;
  std::unique_ptr<TNamedComponent> OpenDlg;
};

}  // namespace qn3
