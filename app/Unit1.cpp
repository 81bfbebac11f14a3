#include "app/Unit1.h"

#include <utility>

#include "about/uAbout.h"
#include "app/Ids.h"
#include "app/uStartRequest.h"
#include "base/AnsiText.h"
#include "base/Text.h"
#include "help/uCommandLine.h"
#include "help/uDefaultViewer.h"
#include "help/uHelpCatalogue.h"
#include "help/uOpenNamespace.h"
#include "ui/MessageBox.h"
#include "ui/OpenDialog.h"

namespace qn3 {
namespace {

constexpr char kCaption[] = "QN3 Helper 1.1";
constexpr char kOptionsCollapsed[] = "Options >";
constexpr char kOptionsExpanded[] = "Options <";
constexpr char kNoRuntimeNotice[] = "Html Help2 API is not available or corrupted.";
constexpr char kOverwriteQuestion[] =
    "Viewer location and parameters will be overwritten\rwith default 'dexplore.exe' values. Are you sure?";
constexpr char kBrowseFilter[] = "Program files (*.exe)\0*.exe\0All files (*.*)\0*.*\0";
constexpr ui::DesignRect kBrowseRect{258, 203, 75, 25};

std::wstring Wide(const std::string& ansi) {
  const std::u16string text = AnsiToUtf16(ansi);
  return std::wstring(text.begin(), text.end());
}

// Starts this program on the namespace: titled with its description, else
// its name; the name as the tooltip.
TJumpTask OpenTask(const std::string& name, const std::string& description) {
  return {Wide(description.empty() ? name : description),
          Wide(std::string(kOpenSwitch) + " " + QuoteArgument(name, IsAnsiLeadByte)), Wide(name)};
}

}  // namespace

TForm1::TForm1(ui::TApplication& app) : TForm(app, "TForm1") { SetName(ids::kMainFormName); }

TForm1::~TForm1() { DestroyHandle(); }

void TForm1::Create() {
  ui::FormStyle style{ids::kMainWindowClass,
                      kCaption,
                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                      WS_EX_CONTROLPARENT,
                      196,
                      117,
                      347,
                      100,
                      "Tahoma",
                      ANSI_CHARSET,
                      "MAINICON"};
  CreateHandle(style);
  CreateControls();
  FormCreate();
}

void TForm1::CreateControls() {
  // Created in tab order; labels and the separator take no focus.
  Label1 = AddLabel("Label1", ids::kLabel1, {16, 16, 59, 13}, "Namespace:");
  CmbNamespace = AddDropDownList("CmbNamespace", ids::kCmbNamespace, {16, 32, 317, 21}, 13);
  BtnRefresh = AddButton("BtnRefresh", ids::kBtnRefresh, {15, 64, 75, 25}, "Refresh");
  BtnOpen = AddButton("BtnOpen", ids::kBtnOpen, {96, 64, 75, 25}, "Open", true);
  BtnOptions = AddButton("BtnOptions", ids::kBtnOptions, {177, 64, 75, 25}, kOptionsCollapsed);
  BtnAbout = AddButton("BtnAbout", ids::kBtnAbout, {258, 64, 75, 25}, "About");
  Bevel1 = AddBevel("Bevel1", ids::kBevel1, {16, 100, 317, 2});
  Label2 = AddLabel("Label2", ids::kLabel2, {16, 113, 79, 13}, "Viewer program:");
  EditExe = AddEdit("EditExe", ids::kEditExe, {16, 129, 317, 21}, "");
  Label3 = AddLabel("Label3", ids::kLabel3, {16, 156, 59, 13}, "Parameters:");
  EditParams = AddEdit("EditParams", ids::kEditParams, {16, 172, 317, 21}, kDefaultParams);
  BtnAuto = AddButton("BtnAuto", ids::kBtnAuto, {177, 203, 75, 25}, "dexplore.exe");
  BtnBrowse = AddButton("BtnBrowse", ids::kBtnBrowse, kBrowseRect, "Browse...");
  OpenDlg = std::make_unique<TNamedComponent>(this, "TOpenDialog", "OpenDlg");

  for (ui::TControl* label : {Label1.get(), Label2.get(), Label3.get()}) GrowLabelToText(*label);
  BtnRefresh->SetEnabled(false);
  BtnOpen->SetEnabled(false);
  AddTooltip(*BtnRefresh, "Reload Html Help2 namespaces");
  AddTooltip(*BtnOpen, "Open namespace content");
  AddTooltip(*BtnAuto, "Locate Html Help2 default viewer (dexplorer.exe)");
  AddTooltip(*BtnBrowse, "Locate Html Help2 viewer program");
}

void TForm1::FormCreate() {
  ApiAvailable = IsHelpApiAvailable();
  Prefs = std::make_unique<TPrefs>(*this, "\\Tarvik\\QN3\\", ".dat");
  Prefs->Load();
}

void TForm1::FormShow() {
  OptionsCaptions[0] = BtnOptions->Text();
  OptionsCaptions[1] = kOptionsExpanded;
  if (ApiAvailable) {
    RefreshNamespaces();
    if (Trim(EditExe->Text()).empty()) ApplyDefaultViewer();
    UpdateTitle();
  }
  PostMessageA(Handle(), ids::kDeferredNotice, 0, 0);
}

void TForm1::FormPainted() {
  Painted = true;
  UpdateJumpList();
}

void TForm1::FormDestroy() { SavePrefs(); }

SIZE TForm1::ClientSizeAt(const ui::Dpi& dpi) const {
  SIZE client = TForm::ClientSizeAt(dpi);
  // Expanded, the window ends 43 design pixels below Browse, its frame
  // included, as designed.
  if (Expanded)
    client.cy = dpi.Scale(kBrowseRect.top) + dpi.Scale(kBrowseRect.height) + dpi.Scale(43) - FrameHeightAt(dpi);
  return client;
}

void TForm1::SavePrefs() {
  // Once: the object goes with the save, so whichever of the session's end
  // and the destruction comes second finds nothing to do.
  if (!Prefs) return;
  Prefs->Save();
  Prefs.reset();
}

LRESULT TForm1::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case ids::kDeferredNotice:
      // Started minimised, the program tells once its window has appeared.
      if (Visible()) DeferredNotice();
      else noticeWaits_ = true;
      return 0;
    case WM_SHOWWINDOW:
      if (wp && std::exchange(noticeWaits_, false)) PostMessageA(Handle(), ids::kDeferredNotice, 0, 0);
      return TForm::HandleMessage(msg, wp, lp);
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The system ends the process after this, without destroying the window.
      if (wp) SavePrefs();
      return 0;
    default:
      return TForm::HandleMessage(msg, wp, lp);
  }
}

void TForm1::OnCommand(int id, int code, HWND) {
  if (id == ids::kCmbNamespace) {
    if (code == CBN_SELCHANGE) CmbNamespaceChange();
    return;
  }
  if (id == ids::kEditExe || id == ids::kEditParams) {
    if (code == EN_CHANGE) App().PreviewChanged();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case ids::kBtnRefresh: BtnRefreshClick(); break;
    case ids::kBtnOpen: BtnOpenClick(); break;
    case ids::kBtnOptions: BtnOptionsClick(); break;
    case ids::kBtnAbout: BtnAboutClick(); break;
    case ids::kBtnAuto: BtnAutoClick(); break;
    case ids::kBtnBrowse: BtnBrowseClick(); break;
    default: break;
  }
}

void TForm1::DeferredNotice() {
  if (ApiAvailable) return;
  ui::MessageDlgPos(App(), Handle(), ui::MsgKind::Information, kNoRuntimeNotice, ui::mbOK,
                    POINT{Left() + Scale(35), Top() + Scale(70)});
}

bool TForm1::RefreshNamespaces() {
  int index = CmbNamespace->ItemIndex();
  bool found;
  try {
    ui::ComboUpdate update(*CmbNamespace);
    found = EnumHelpNamespaces(*CmbNamespace);
  } catch (...) {
    UpdateListHint();  // the names read so far, none of them selected
    throw;
  }
  if (found) {
    CmbNamespace->SetItemIndex(index == -1 ? 0 : index);
    BtnOpen->SetEnabled(true);
    BtnRefresh->SetEnabled(true);
  }
  UpdateListHint();
  App().PreviewChanged();
  UpdateJumpList();
  return found;
}

void TForm1::UpdateListHint() { AddTooltip(*CmbNamespace, CmbNamespace->Description(CmbNamespace->ItemIndex())); }

void TForm1::UpdateJumpList() {
  if (!Painted || !JumpList.Available()) return;
  std::vector<TJumpTask> tasks;
  for (int i = 0; i < CmbNamespace->Count(); ++i)
    tasks.push_back(OpenTask(CmbNamespace->Item(i), CmbNamespace->Description(i)));
  JumpList.Update(tasks);
}

void TForm1::UpdateTitle() {
  int index = CmbNamespace->ItemIndex();
  if (CmbNamespace->Count() > 0 && index >= 0) App().SetTitle(CmbNamespace->Item(index) + " - " + Caption());
}

void TForm1::BtnRefreshClick() { RefreshNamespaces(); }

void TForm1::CmbNamespaceChange() {
  UpdateTitle();
  UpdateListHint();
  App().PreviewChanged();
}

void TForm1::BtnOptionsClick() {
  Expanded = !Expanded;
  FitClient();
  BtnOptions->SetText(OptionsCaptions[Expanded]);
}

void TForm1::BtnBrowseClick() {
  std::string file(32768, '\0');
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = Handle();
  ofn.lpstrFilter = kBrowseFilter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  // The current folder stays where it was: on Windows 2000 it is searched
  // for DLLs before the system folder.
  ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_NOCHANGEDIR;
  if (!ui::ShowOpenDialog(ofn)) return;
  file.resize(file.find('\0'));
  EditExe->SetText(file);
}

void TForm1::BtnOpenClick() {
  std::string ns = CmbNamespace->Item(CmbNamespace->ItemIndex());
  OpenNamespace(ns, EditExe->Text(), EditParams->Text());
}

void TForm1::ApplyDefaultViewer() {
  std::string path;
  if (!LocateDefaultViewer(path)) return;
  EditExe->SetText(path);
  EditParams->SetText(kDefaultParams);
}

void TForm1::BtnAutoClick() {
  int answer = ui::MessageDlgPos(App(), Handle(), ui::MsgKind::Warning, kOverwriteQuestion, ui::mbYes | ui::mbNo,
                                 POINT{Left() + Scale(20), Top() + Scale(70)});
  if (answer == IDYES) ApplyDefaultViewer();
}

void TForm1::BtnAboutClick() {
  DialogPlacement placement{};
  placement.Owner = Handle();
  placement.Position = poMainFormCenter;
  TFrmAbout::ShowAbout(App(), placement);
}

}  // namespace qn3
