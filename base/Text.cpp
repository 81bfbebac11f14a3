#include "base/Text.h"

namespace qn3 {

std::string Trim(std::string_view text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return std::string(text.substr(first, last - first));
}

size_t LastCharStart(std::string_view text, LeadByteTest isLeadByte) {
  // Walk from the start: only a forward scan knows lead from trail bytes.
  size_t i = 0, start = 0;
  while (i < text.size()) {
    start = i;
    i += (isLeadByte && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
  }
  return start;
}

std::string WithClosingPeriod(std::string_view message, LeadByteTest isLeadByte) {
  std::string result(message);
  if (result.empty()) return result;
  unsigned char decisive = static_cast<unsigned char>(result[LastCharStart(result, isLeadByte)]);
  if (decisive > '.') result += '.';
  return result;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

}  // namespace qn3
