// The program's start: the application object, the main window, the
// message loop; then the window is destroyed and COM uninitialised. A
// command line with arguments takes another road, without the window.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/Unit1.h"
#include "app/uOpenFromCommandLine.h"
#include "app/uStartRequest.h"
#include "base/AnsiText.h"
#include "base/SystemLibrary.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCmd) {
  // Before anything can load a DLL: none may come from the program's folder.
  qn3::NarrowDllSearch();
  // Comctl32 before version 6 does not know the standard classes' flag; the
  // tooltips it has either way.
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  if (!InitCommonControlsEx(&icc)) {
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
  }
  const qn3::TStartRequest request = qn3::ParseStartRequest(GetCommandLineA(), qn3::IsAnsiLeadByte);
  if (request.kind != qn3::TStartKind::Window) return qn3::RunStartRequest(instance, request);
  qn3::ui::TApplication app(instance);
  {
    auto form = std::make_unique<qn3::TForm1>(app);
    try {
      form->Create();
    } catch (const std::exception& e) {
      app.HandleException(e);
      if (!form->Handle()) return 1;
    }
    app.Run(*form, showCmd);
  }  // FormDestroy runs here, before COM is uninitialised
  return 0;
}
