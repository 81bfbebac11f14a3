#include "ui/OpenDialog.h"

#include "ui/Handles.h"

namespace qn3::ui {
namespace {

struct LibraryDeleter {
  void operator()(HMODULE h) const { FreeLibrary(h); }
};

}  // namespace

bool ShowOpenDialog(OPENFILENAMEA& ofn) {
  // Kept until the program ends: the shell objects of one showing may stay
  // in use after it.
  static const UniqueHandle<HMODULE, LibraryDeleter> comdlg(LoadLibraryA("comdlg32.dll"));
  using Show = BOOL(WINAPI*)(LPOPENFILENAMEA);
  static const auto show =
      comdlg ? reinterpret_cast<Show>(reinterpret_cast<void*>(GetProcAddress(comdlg.get(), "GetOpenFileNameA")))
             : nullptr;
  return show && show(&ofn);
}

}  // namespace qn3::ui
