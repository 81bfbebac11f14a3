#include "app/Unit1.h"

#include <algorithm>
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
#include "ui/Accessible.h"
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
constexpr wchar_t kCollectionMissingMark[] = L"(collection missing)";
constexpr char16_t kCollectionMissingNote[] = u"Collection file missing: ";
// A hint of at most this many characters fits a screen.
constexpr size_t kHintMax = 1000;

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::wstring Wide(const std::string& ansi) {
  const std::u16string text = AnsiToUtf16(ansi);
  return std::wstring(text.begin(), text.end());
}

// Starts this program on the namespace: titled with its description, else
// its name; the name as the tooltip.
TJumpTask OpenTask(const std::string& name, const std::wstring& description) {
  return {description.empty() ? Wide(name) : description,
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

  CmbNamespace->SetMissingMark(kCollectionMissingMark);
  for (ui::TControl* label : {Label1.get(), Label2.get(), Label3.get()}) GrowLabelToText(*label);
  BtnRefresh->SetEnabled(false);
  BtnOpen->SetEnabled(false);
  AddTooltip(*BtnRefresh, "Reload Html Help2 namespaces");
  AddTooltip(*BtnOpen, "Open namespace content");
  AddTooltip(*BtnAuto, "Locate Html Help2 default viewer (dexplorer.exe)");
  AddTooltip(*BtnBrowse, "Locate Html Help2 viewer program");
}

void TForm1::FormCreate() {
  Checks = std::make_unique<FileChecks>(
      [window = Handle()] { return PostMessageA(window, ids::kCollectionsChecked, 0, 0) != FALSE; });
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

void TForm1::FormDestroy() {
  // Checks still running end on their own and tell nobody.
  Checks.reset();
  if (Annotated) ui::SetAccessibleDescription(CmbNamespace->Handle(), {});
  SavePrefs();
}

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
    case ids::kCollectionsChecked:
      CollectionsChecked();
      return 0;
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
  // No answer about the old list may land on the new one while it fills
  // (a runtime in another process has COM dispatch messages meanwhile).
  Checks->Start({});
  bool found;
  try {
    ui::ComboUpdate update(*CmbNamespace);
    found = EnumHelpNamespaces(*CmbNamespace);
  } catch (...) {
    // The names read so far, none of them selected.
    CheckCollections();
    UpdateListHint();
    throw;
  }
  if (found) {
    CmbNamespace->SetItemIndex(index == -1 ? 0 : index);
    BtnOpen->SetEnabled(true);
    BtnRefresh->SetEnabled(true);
  }
  CheckCollections();
  UpdateListHint();
  App().PreviewChanged();
  UpdateJumpList();
  return found;
}

void TForm1::CheckCollections() {
  std::vector<std::pair<size_t, std::wstring>> files;
  for (int i = 0, n = CmbNamespace->Count(); i < n; ++i)
    if (std::wstring file = CmbNamespace->File(i); !file.empty()) files.emplace_back(i, std::move(file));
  Checks->Start(std::move(files));
}

void TForm1::CollectionsChecked() {
  if (!Checks) return;
  const std::vector<size_t> missing = Checks->TakeMissing();
  if (missing.empty()) return;
  CmbNamespace->SetFilesMissing(missing);
  const int index = CmbNamespace->ItemIndex();
  if (index >= 0 && std::find(missing.begin(), missing.end(), static_cast<size_t>(index)) != missing.end()) {
    UpdateListHint();
    App().PreviewChanged();
  }
}

void TForm1::UpdateListHint() {
  const std::wstring hint = ListHint();
  AddTooltip(*CmbNamespace, hint);
  // The service is loaded only once there is something to say.
  if (hint.empty() && !Annotated) return;
  ui::SetAccessibleDescription(CmbNamespace->Handle(), hint);
  Annotated = !hint.empty();
}

std::wstring TForm1::ListHint() const {
  const int index = CmbNamespace->ItemIndex();
  std::u16string hint = U16(CmbNamespace->Description(index));
  if (CmbNamespace->FileMissing(index)) {
    // The note always shows; the description gives way to it.
    const std::u16string note = kCollectionMissingNote + OneLine(U16(CmbNamespace->File(index)));
    if (!hint.empty()) hint = CutWithEllipsis(hint, kHintMax - std::min(kHintMax, note.size() + 2)) + u"\r\n";
    hint += note;
  }
  hint = CutWithEllipsis(hint, kHintMax);
  return std::wstring(hint.begin(), hint.end());
}

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
