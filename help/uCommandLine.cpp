#include "help/uCommandLine.h"

namespace qn3 {

namespace {

constexpr size_t kPlaceholderLen = sizeof(kNamespacePlaceholder) - 1;

// Start of the first occurrence of needle in hay that begins on a character
// boundary, or npos. Only a forward walk tells lead bytes from trail bytes.
size_t FindOnCharBoundary(std::string_view hay, std::string_view needle, LeadByteTest isLeadByte) {
  for (size_t i = 0; i + needle.size() <= hay.size();) {
    if (hay.compare(i, needle.size(), needle) == 0) return i;
    bool lead = isLeadByte && isLeadByte(static_cast<unsigned char>(hay[i])) && i + 1 < hay.size();
    i += lead ? 2 : 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::string ReplaceNamespacePlaceholder(std::string_view templ, std::string_view ns, UpperCaseFn upper,
                                        LeadByteTest isLeadByte) {
  if (templ.empty()) return {};
  std::string upperTempl = upper(templ);
  std::string upperPlaceholder = upper(kNamespacePlaceholder);
  // Positions found in the copy index the template, so a copy of another
  // length cannot be trusted; then only the exact spelling is matched.
  if (upperTempl.size() != templ.size()) upperTempl = std::string(templ);
  if (upperPlaceholder.size() != kPlaceholderLen) upperPlaceholder = kNamespacePlaceholder;

  size_t at = FindOnCharBoundary(upperTempl, upperPlaceholder, isLeadByte);
  if (at == std::string_view::npos) return std::string(templ);
  std::string result(templ.substr(0, at));
  result += ns;
  result += templ.substr(at + kPlaceholderLen);
  return result;
}

std::string BuildCommandLine(std::string_view viewerText, std::string_view paramsText, std::string_view ns,
                             const CommandLinePlatform& platform) {
  std::string viewer = Trim(viewerText);
  if (viewer.empty()) return {};
  bool needsQuotes = viewer.find(' ') != std::string::npos && viewer.find('"') == std::string::npos &&
                     platform.fileExists && platform.fileExists(viewer);
  std::string line = needsQuotes ? '"' + viewer + '"' : viewer;
  line += ' ';
  line += ReplaceNamespacePlaceholder(Trim(paramsText), ns, platform.upper, platform.isLeadByte);
  return line;
}

}  // namespace qn3
