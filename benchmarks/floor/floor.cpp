// The floor for start-up time and memory: a window that loads everything
// qn3.exe must load before its window shows, and runs none of our code.
// Built with the same toolchain and flags as qn3.exe, and with the same
// manifest (common controls 6, DPI awareness) and icon:
//   - the common controls, the Tahoma font on the same 13 controls and one
//     tooltip control holding the four hints (each on its button and on the
//     form by the button's rectangle);
//   - COM, the Help runtime's registry walker created with the same
//     context, and its names listed into the drop-down list, so that it is
//     ready by the same test as qn3.exe (shown, list filled, idle); each
//     name is a BSTR, so oleaut32 is in use;
//   - the shell's application-data folder lookup.
// It writes no file and reads no settings: that is our own work.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <oleauto.h>
#include <shlobj.h>

#include "help/MSHelpServices_TLB.h"

// Two variants, for measuring what the floor leaves out (never the floor):
// QN3_FLOOR_WITH_CXX_RUNTIME starts what qn3.exe's C++ runtime starts (the
// exception tables and unwinder, a guarded local static, so winpthreads,
// the heap through operator new); QN3_FLOOR_WITH_DIALOG_DLLS imports the
// DLLs that only the file-open dialog and the About box use.
#ifdef QN3_FLOOR_WITH_CXX_RUNTIME
#include <exception>
#include <string>
#endif
#ifdef QN3_FLOOR_WITH_DIALOG_DLLS
#include <commdlg.h>
#endif

namespace {

// The main window's design (96 DPI) and the ids the benchmark looks for.
constexpr char kClass[] = "QN3Bench.Floor";
constexpr int kCombo = 101;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

struct Child {
  const char* cls;
  const char* text;
  DWORD style;
  DWORD exStyle;
  int id, x, y, w, h;
};

constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kLabel = SS_LEFTNOWORDWRAP;
constexpr DWORD kEdit = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr Child kChildren[] = {
    {"STATIC", "Namespace:", kLabel, 0, 110, 16, 16, 59, 13},
    {"COMBOBOX", "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, kCombo, 16, 32, 317, 21 + 8 * 13 + 2},
    {"BUTTON", "Refresh", kButton, 0, 102, 15, 64, 75, 25},
    {"BUTTON", "Open", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 103, 96, 64, 75, 25},
    {"BUTTON", "Options >", kButton, 0, 104, 177, 64, 75, 25},
    {"BUTTON", "About", kButton, 0, 105, 258, 64, 75, 25},
    {"STATIC", "", SS_ETCHEDHORZ, 0, 113, 16, 100, 317, 2},
    {"STATIC", "Viewer program:", kLabel, 0, 111, 16, 113, 79, 13},
    {"EDIT", "", kEdit, WS_EX_CLIENTEDGE, 106, 16, 129, 317, 21},
    {"STATIC", "Parameters:", kLabel, 0, 112, 16, 156, 59, 13},
    {"EDIT", "/helpcol ms-help://$NAMESPACE$", kEdit, WS_EX_CLIENTEDGE, 107, 16, 172, 317, 21},
    {"BUTTON", "dexplore.exe", kButton, 0, 108, 177, 203, 75, 25},
    {"BUTTON", "Browse...", kButton, 0, 109, 258, 203, 75, 25},
};

struct Hint {
  int id;
  const char* text;
};
constexpr Hint kHints[] = {{102, "Reload Html Help2 namespaces"},
                           {103, "Open namespace content"},
                           {108, "Locate Html Help2 default viewer (dexplorer.exe)"},
                           {109, "Locate Html Help2 viewer program"}};

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void AddTooltips(HWND hwnd, HINSTANCE instance) {
  HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, instance,
                             nullptr);
  for (const Hint& h : kHints) {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;  // as qn3.exe: the size every comctl32 takes
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = hwnd;
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd, h.id));
    ti.lpszText = const_cast<char*>(h.text);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    // As qn3.exe: a second tool on the form by the button's rectangle, for
    // the hint of a disabled button.
    ti.uFlags = TTF_SUBCLASS;
    ti.uId = static_cast<UINT_PTR>(h.id);
    GetWindowRect(GetDlgItem(hwnd, h.id), &ti.rect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&ti.rect), 2);
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

// The runtime's names into the list, through the walker's plain tables.
void ListNames(HWND combo) {
  IUnknown* unknown = nullptr;
  if (FAILED(CoCreateInstance(qn3::CLSID_HxRegistryWalker, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IUnknown, reinterpret_cast<void**>(&unknown))))
    return;
  qn3::IHxWalker* walker = nullptr;
  qn3::IHxNamespaceList* list = nullptr;
  if (SUCCEEDED(unknown->QueryInterface(qn3::IID_IHxWalker, reinterpret_cast<void**>(&walker))) &&
      SUCCEEDED(walker->lpVtbl->GetNamespaceList(walker, 0, &list)) && list) {
    LONG count = 0;
    list->lpVtbl->GetCount(list, &count);
    for (LONG i = 1; i <= count; ++i) {
      qn3::IHxNamespace* item = nullptr;
      BSTR name = nullptr;
      if (FAILED(list->lpVtbl->GetItem(list, i, &item)) || !item) break;
      if (SUCCEEDED(item->lpVtbl->GetName(item, &name))) {
        char text[512];
        int n = WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        if (n > 0) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SysFreeString(name);
      }
      item->lpVtbl->unknown.Release(item);
    }
    list->lpVtbl->unknown.Release(list);
  }
  if (walker) walker->lpVtbl->unknown.Release(walker);
  unknown->Release();
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

#ifdef QN3_FLOOR_WITH_CXX_RUNTIME
const std::string& Title() {
  static const std::string title(GetCommandLineA());
  return title;
}

// The library's own throw, as qn3.exe has it (base/LibraryThrows.cpp).
void CxxRuntime() {
  try {
    if (Title().empty()) (void)Title().at(1);
  } catch (const std::exception&) {
  }
}
#endif

#ifdef QN3_FLOOR_WITH_DIALOG_DLLS
void DialogDlls() {
  static volatile bool never = false;
  if (!never) return;
  OPENFILENAMEA ofn{};
  GetOpenFileNameA(&ofn);
  GetFileVersionInfoSizeA("", nullptr);
}
#endif

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
#ifdef QN3_FLOOR_WITH_CXX_RUNTIME
  CxxRuntime();
#endif
#ifdef QN3_FLOOR_WITH_DIALOG_DLLS
  DialogDlls();
#endif
  HRESULT com = CoInitialize(nullptr);

  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, "MAINICON");
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassExA(&wc)) return 1;
  HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
  RECT r{0, 0, 347, 100};
  AdjustWindowRectEx(&r, kStyle, FALSE, WS_EX_CONTROLPARENT);
  HWND hwnd = CreateWindowExA(WS_EX_CONTROLPARENT, kClass, "Floor", kStyle, 196, 117, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  for (const Child& c : kChildren) {
    HWND h = CreateWindowExA(c.exStyle, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, hwnd,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  AddTooltips(hwnd, instance);

  char folder[MAX_PATH];
  SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
  ListNames(GetDlgItem(hwnd, kCombo));

  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetForegroundWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(hwnd, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(font);
  if (SUCCEEDED(com)) CoUninitialize();
  return static_cast<int>(msg.wParam);
}
