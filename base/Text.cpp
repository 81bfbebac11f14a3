#include "base/Text.h"

namespace qn3 {

std::string Trim(std::string_view text) {
  size_t first = 0, last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return std::string(text.substr(first, last - first));
}

size_t CharLength(std::string_view text, size_t i, LeadByteTest isLeadByte) {
  return isLeadByte && isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

size_t LastCharStart(std::string_view text, LeadByteTest isLeadByte) {
  // Walk from the start: only a forward scan knows lead from trail bytes.
  size_t i = 0, start = 0;
  while (i < text.size()) {
    start = i;
    i += CharLength(text, i, isLeadByte);
  }
  return start;
}

size_t FindLastOf(std::string_view text, std::string_view chars, LeadByteTest isLeadByte) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i, isLeadByte)) {
    size_t n = CharLength(text, i, isLeadByte);
    if (n == 1 && chars.find(text[i]) != std::string_view::npos) found = i;
  }
  return found;
}

std::string TitleFromProgramPath(std::string_view path, LeadByteTest isLeadByte, LowerCaseFn lower) {
  size_t slash = FindLastOf(path, "\\/:", isLeadByte);
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  // A dot is below every trail byte of the double-byte code pages.
  name = name.substr(0, name.find('.'));
  if (name.empty()) return {};
  size_t first = CharLength(name, 0, isLeadByte);
  return std::string(name.substr(0, first)) + lower(name.substr(first));
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

std::u16string OneLine(std::u16string text) {
  if (const size_t nul = text.find(u'\0'); nul != std::u16string::npos) text.resize(nul);
  for (char16_t& c : text)
    if (c < 32 || c == 127) c = u' ';
  return text;
}

std::u16string CutWithEllipsis(std::u16string_view text, size_t max) {
  if (text.size() <= max) return std::u16string(text);
  if (max == 0) return {};
  size_t keep = max - 1;
  if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
  return std::u16string(text.substr(0, keep)) + u'\u2026';
}

}  // namespace qn3
