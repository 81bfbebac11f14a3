#include "base/Exception.h"

#include <new>

namespace qn3 {

std::string ErrorMessage(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Out of memory";
  return e.what();
}

}  // namespace qn3
