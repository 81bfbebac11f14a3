// The main window's class and control identifiers. Tests drive the real
// program from outside by these, so they are fixed. The application
// window, the message box and the About box declare theirs in their units.
#pragma once

namespace qn3::ids {

inline constexpr char kMainWindowClass[] = "QN3Helper.Main";

// Main window controls.
enum MainControl : int {
  kCmbNamespace = 101,
  kBtnRefresh = 102,
  kBtnOpen = 103,
  kBtnOptions = 104,
  kBtnAbout = 105,
  kEditExe = 106,
  kEditParams = 107,
  kBtnAuto = 108,
  kBtnBrowse = 109,
  kLabel1 = 110,
  kLabel2 = 111,
  kLabel3 = 112,
  kBevel1 = 113,
};

// The deferred notice that the main window posts to itself at first show.
inline constexpr unsigned kDeferredNotice = 0x0400 + 10;  // WM_USER + 10
// Posted to the main window when collection files were found missing.
inline constexpr unsigned kCollectionsChecked = 0x0400 + 11;

}  // namespace qn3::ids

namespace qn3::ids {

// Names of the components the main window owns, in creation order; the
// settings reader refuses a header name that one of them bears.
inline constexpr const char* kMainComponentNames[] = {
    "Label1", "CmbNamespace", "BtnRefresh", "BtnOpen", "BtnOptions", "BtnAbout", "Bevel1",
    "Label2", "EditExe", "Label3", "EditParams", "BtnAuto", "BtnBrowse", "OpenDlg"};
inline constexpr char kMainFormName[] = "Form1";

}  // namespace qn3::ids
