#include "ui/OpenDialog.h"

#include "base/SystemLibrary.h"

namespace qn3::ui {

bool ShowOpenDialog(OPENFILENAMEA& ofn) {
  // Kept until the program ends: the shell objects of one showing may stay
  // in use after it.
  static const LibraryHandle comdlg = LoadSystemLibrary("comdlg32.dll");
  using Show = BOOL(WINAPI*)(LPOPENFILENAMEA);
  static const auto show = comdlg.Find<Show>("GetOpenFileNameA");
  return show && show(&ofn);
}

}  // namespace qn3::ui
