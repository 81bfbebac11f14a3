#include "about/uIconLoader.h"

#include <shellapi.h>

namespace qn3 {

bool TIconLoader::LoadFromFile(const std::string& fileName, UINT index) {
  HICON icon = ExtractIconA(instance_, fileName.c_str(), index);
  // 1 means "not an executable or icon file": no icon, and nothing to destroy.
  handle_ = reinterpret_cast<UINT_PTR>(icon) == 1 ? nullptr : icon;
  return HasIcon();
}

}  // namespace qn3
