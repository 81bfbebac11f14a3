#include "settings/uSpecialFld.h"

#include <windows.h>
#include <shlobj.h>

namespace qn3 {

bool GetSpecialFolderPath(int csidl, std::string& path) {
  char buffer[MAX_PATH] = {};
  if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer) != S_OK) return false;
  path = buffer;
  return true;
}

}  // namespace qn3
