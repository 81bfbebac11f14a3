#include "about/uAbout.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "about/uIconLoader.h"
#include "about/uVerInfo.h"
#include "base/AnsiText.h"
#include "base/Exception.h"
#include "base/Text.h"

namespace qn3 {

namespace {

constexpr COLORREF kNavy = 0x800000;  // 0x00BBGGRR

class WindowDC {
public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

private:
  HWND hwnd_;
  HDC dc_;
};

// Controls are subclassed through the window procedure, as every Windows
// has it: comctl32 exports its subclass helpers by name only from version 6
// on. The control's own procedure is kept in its user data, which buttons
// and labels leave to their owner.
bool Subclass(HWND window, WNDPROC procedure) {
  const LONG_PTR original = GetWindowLongPtrA(window, GWLP_WNDPROC);
  if (!original) return false;
  SetWindowLongPtrA(window, GWLP_USERDATA, original);
  return SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)) != 0;
}

// The control's own procedure, put back as the control goes.
LRESULT CallOriginal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  return CallWindowProcA(original, hwnd, msg, wp, lp);
}

// The labels sit in the group box, which would swallow their notifications
// and colour requests; it hands them on to the dialog.
LRESULT CALLBACK ForwardToForm(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND || msg == WM_CTLCOLORSTATIC) return SendMessageA(GetParent(hwnd), msg, wp, lp);
  return CallOriginal(hwnd, msg, wp, lp);
}

// The link as a keyboard user needs it: a tab stop that shows its focus and
// opens on Enter or Space as on a click. No SysLink: Windows 2000 has none.
// The keys' characters are the same codes as the keys.
bool IsLinkKey(WPARAM key) { return key == VK_RETURN || key == VK_SPACE; }

LRESULT CALLBACK LinkByKeyboard(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter and Space are the link's, not the dialog's.
      const auto* key = reinterpret_cast<const MSG*>(lp);
      const LRESULT code = CallOriginal(hwnd, msg, wp, lp);
      if (key && (key->message == WM_KEYDOWN || key->message == WM_CHAR) && IsLinkKey(key->wParam))
        return code | DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (!IsLinkKey(wp)) break;
      // One open per press: a held key's repeats (bit 30 set) do nothing.
      if (lp & (1 << 30)) return 0;
      SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED),
                   reinterpret_cast<LPARAM>(hwnd));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:  // the keyboard cues shown or hidden
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case WM_PAINT: {
      const LRESULT painted = CallOriginal(hwnd, msg, wp, lp);
      // The focus shows as on the buttons: not while the cues are hidden.
      if (GetFocus() == hwnd && !(SendMessageA(hwnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
        const WindowDC dc(hwnd);
        RECT r{};
        if (dc.get() && GetClientRect(hwnd, &r)) DrawFocusRect(dc.get(), &r);
      }
      return painted;
    }
    default:
      break;
  }
  return CallOriginal(hwnd, msg, wp, lp);
}

class FindHandle {
public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
  HANDLE h_;
};

bool FileExists(const std::string& fileName) {
  WIN32_FIND_DATAA data;
  return FindHandle(FindFirstFileA(fileName.c_str(), &data)).valid();
}

}  // namespace

bool ShellOpenDocument(const std::string& fileName, const std::string& parameters) {
  std::string directory;
  if (FileExists(fileName)) directory = fileName.substr(0, FindLastOf(fileName, "\\:", IsAnsiLeadByte) + 1);
  const HINSTANCE r = ShellExecuteA(GetActiveWindow(), "Open", fileName.c_str(), parameters.c_str(),
                                    directory.c_str(), SW_SHOWNORMAL);
  return reinterpret_cast<UINT_PTR>(r) > 32;
}

bool TFrmAbout::ShowAbout(ui::TApplication& app, const DialogPlacement& placement) {
  return ShowAboutFor(app, placement, ui::ProgramPath());
}

bool TFrmAbout::ShowAboutFor(ui::TApplication& app, const DialogPlacement& placement,
                             const std::string& fileName) {
  TDlgOptionsAbout options;
  if (GetVersionItem(fileName, TVersionKey::FileVersion, options.Version)) {
    GetVersionItem(fileName, TVersionKey::ProductName, options.Product);
    GetVersionItem(fileName, TVersionKey::CompanyName, options.Company);
    GetVersionItem(fileName, TVersionKey::LegalCopyright, options.Copyright);
    GetVersionItem(fileName, TVersionKey::Url, options.Url);
  }
  TIconLoader loader(app.Instance());
  loader.LoadFromFile(fileName, 0);
  options.Icon = loader.Handle();
  try {
    return ShowAboutDialog(app, placement, options);
  } catch (...) {
    // Only an error before the dialog existed gets here, so the icon was
    // never handed over.
    if (options.Icon) DestroyIcon(options.Icon);
    throw;
  }
}

bool TFrmAbout::ShowAboutDialog(ui::TApplication& app, const DialogPlacement& placement,
                                const TDlgOptionsAbout& options) {
  bool result = true;
  auto* dialog = new TFrmAbout(app, placement.Owner);
  try {
    dialog->SetIcon(options.Icon);
    // A centring mode places the box itself. Sent to the given corner first,
    // the box would pass over whatever monitor (and DPI) is there.
    if (!Centres(placement.Position)) {
      dialog->SetTop(placement.Top);
      dialog->SetLeft(placement.Left);
    }
    dialog->SetPosition(placement.Position);
    if (dialog->Position() == poMainFormCenter) CenterOnWindow(placement.Owner, *dialog);
    dialog->FOptions = &options;
    if (!options.Url.empty()) dialog->ShowAsLink();
    dialog->LblCompany->SetText(options.Company);
    dialog->LblProduct->SetText(options.Product);
    dialog->LblCopyright->SetText(options.Copyright);
    dialog->LblVersion->SetText("Version " + options.Version);
    dialog->ShowModalRaising();
  } catch (...) {
    result = false;
  }
  // The queued dialog must not point at a record that is gone by then.
  dialog->FOptions = nullptr;
  dialog->Release();
  return result;
}

TFrmAbout::TFrmAbout(ui::TApplication& app, HWND owner) : TDialogForm(app, "TFrmAbout") {
  SetName("FrmAbout");
  CreateHandle({ids::kAboutWindowClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 194,
                117, 230, 133, "Tahoma", DEFAULT_CHARSET, nullptr, owner});
  BtnOk = AddButton("BtnOk", ids::kBtnOk, {147, 105, 75, 23}, "");
  GroupBox1 = AddGroupBox("GroupBox1", ids::kGroupBox1, {9, 10, 212, 89});
  const HWND box = GroupBox1->Handle();
  Image = AddImage("Image", ids::kImage, {13, 19, 32, 32}, box);
  // Version texts come from any file: an "&" in them is text, not a mnemonic.
  LblCopyright = AddLabel("LblCopyright", ids::kLblCopyright, {57, 48, 144, 13}, "", box, false, SS_NOPREFIX);
  LblCompany = AddLabel("LblCompany", ids::kLblCompany, {57, 65, 144, 14}, "", box, true,
                        SS_NOPREFIX | SS_NOTIFY);
  LblVersion = AddLabel("LblVersion", ids::kLblVersion, {57, 31, 144, 13}, "", box, false, SS_NOPREFIX);
  LblProduct = AddLabel("LblProduct", ids::kLblProduct, {57, 14, 144, 13}, "", box, false, SS_NOPREFIX);
  SetCancelControl(ids::kBtnOk);
  if (!Subclass(box, ForwardToForm)) throw Exception("Cannot create the About box");

  Anchor(*BtnOk, akRight | akBottom);
  Anchor(*GroupBox1, akLeft | akTop | akRight | akBottom);
  Anchor(*Image, akLeft | akTop);
  for (const auto* label : {&LblCopyright, &LblCompany, &LblVersion, &LblProduct})
    Anchor(**label, akLeft | akTop | akRight);
  TakeDesignedPlaces();
  FormCreate();
}

TFrmAbout::~TFrmAbout() {
  // The window goes first, while the icon and the link font it shows live.
  DestroyHandle();
}

void TFrmAbout::FormCreate() {
  SetCaption("About");
  BtnOk->SetText("OK");
}

void TFrmAbout::Anchor(const ui::TControl& control, uint8_t anchors) {
  anchored_.push_back({&control, {}, anchors});
}

void TFrmAbout::TakeDesignedPlaces() {
  for (AnchoredControl& c : anchored_) {
    const RECT r = c.control->BoundsInParent();
    c.designed = {r.left, r.top, r.right - r.left, r.bottom - r.top};
  }
  designedClient_ = TForm::ClientSizeAt(FormDpi());
}

void TFrmAbout::ApplyAnchors() {
  RECT client{};
  if (anchored_.empty() || !GetClientRect(Handle(), &client)) return;
  const int dx = client.right - designedClient_.cx, dy = client.bottom - designedClient_.cy;
  for (const AnchoredControl& c : anchored_) {
    const Bounds b = Anchored(c.designed, c.anchors, dx, dy);
    SetWindowPos(c.control->Handle(), nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TFrmAbout::SetIcon(HICON icon) {
  icon_.reset(icon);
  if (icon) SendMessageA(Image->Handle(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void TFrmAbout::ShowAsLink() {
  SetLinkFont();
  isLink_ = true;
  // A tab stop inside the group box, which the dialog navigation enters.
  const HWND link = LblCompany->Handle(), box = GroupBox1->Handle();
  if (!Subclass(link, LinkByKeyboard)) throw Exception("Cannot make the link");
  SetWindowLongPtrA(link, GWL_STYLE, GetWindowLongPtrA(link, GWL_STYLE) | WS_TABSTOP);
  SetWindowLongPtrA(box, GWL_EXSTYLE, GetWindowLongPtrA(box, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
}

void TFrmAbout::SetLinkFont() {
  LOGFONTA font{};
  if (!GetObjectA(Font(), sizeof font, &font)) throw Exception("Cannot read the dialog font");
  font.lfUnderline = TRUE;
  ui::FontHandle link(CreateFontIndirectA(&font));
  if (!link) throw Exception("Cannot create the link font");
  SendMessageA(LblCompany->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(link.get()), TRUE);
  // The label no longer uses the old one.
  linkFont_ = std::move(link);
}

void TFrmAbout::ShowModalRaising() {
  ShowPlacedModal();
  if (showError_) std::rethrow_exception(std::exchange(showError_, nullptr));
}

void TFrmAbout::FormShow() {
  // Raised later from ShowModalRaising: the caller turns it into false
  // instead of the general error report.
  try {
    const int overflow = CaptionOverflowAt(FormDpi());
    if (overflow > 0) SetWidth(Width() + overflow);
  } catch (...) {
    showError_ = std::current_exception();
    Close();
  }
}

int TFrmAbout::CaptionOverflowAt(const ui::Dpi& dpi) const {
  // In the dialog's font at that DPI, against the labels' widths there.
  const ui::FontHandle other = dpi == FormDpi() ? ui::FontHandle() : MakeFontAt(dpi);
  WindowDC dc(Handle());
  if (!dc.get()) throw Exception("Cannot measure the About box texts");
  const HGDIOBJ old = SelectObject(dc.get(), other ? other.get() : Font());
  std::vector<CaptionFit> fits;
  for (TComponent* component : Components()) {
    auto* label = dynamic_cast<ui::TControl*>(component);
    const ui::DesignRect* design = label ? Layout().DesignOf(label->Handle()) : nullptr;
    if (!design || label->ClassName() != "TLabel") continue;
    const std::string caption = label->Text();
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size);
    fits.push_back({size.cx, dpi.Scale(design->width)});
  }
  SelectObject(dc.get(), old);
  return CaptionOverflow(fits);
}

void TFrmAbout::ControlsRescaled() {
  // The link's underlined font follows the form's new one; the anchors
  // start again from the design at the new DPI.
  if (isLink_) SetLinkFont();
  TakeDesignedPlaces();
}

SIZE TFrmAbout::ClientSizeAt(const ui::Dpi& dpi) const {
  // As FormShow widens it, the labels at their design widths.
  SIZE client = TForm::ClientSizeAt(dpi);
  client.cx += std::max(0, CaptionOverflowAt(dpi));
  return client;
}

LRESULT TFrmAbout::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wp);
      const bool link = isLink_ && LblCompany && reinterpret_cast<HWND>(lp) == LblCompany->Handle();
      SetBkMode(dc, OPAQUE);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      SetTextColor(dc, link ? kNavy : GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (isLink_ && LblCompany && reinterpret_cast<HWND>(wp) == LblCompany->Handle()) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_SIZE:
      ApplyAnchors();
      break;
    default:
      break;
  }
  return TDialogForm::HandleMessage(msg, wp, lp);
}

void TFrmAbout::OnCommand(int id, int code, HWND control) {
  (void)control;
  // IDOK: Enter with the focus on no button.
  if ((id == ids::kBtnOk && code == BN_CLICKED) || id == IDOK) BtnOkClick();
  else if (id == ids::kLblCompany && code == STN_CLICKED) LblCompanyClick();
}

void TFrmAbout::BtnOkClick() { Close(); }

void TFrmAbout::LblCompanyClick() {
  if (FOptions && !FOptions->Url.empty()) ShellOpenDocument(FOptions->Url, "");
}

}  // namespace qn3
