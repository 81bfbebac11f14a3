#include "help/uOleMessages.h"


namespace qn3 {

std::string TrimOleDescription(std::string_view text, LeadByteTest isLeadByte) {
  while (!text.empty()) {
    if (text.size() - LastCharStart(text, isLeadByte) > 1) break;
    unsigned char last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.') break;
    text.remove_suffix(1);
  }
  return std::string(text);
}

std::string TrimSystemMessage(std::string_view text) {
  while (!text.empty()) {
    unsigned char last = static_cast<unsigned char>(text.back());
    if (last > ' ' && last != '.') break;
    text.remove_suffix(1);
  }
  return std::string(text);
}

std::string OleErrorFallback(uint32_t code) {
  // Hex by hand: printf would link in a formatting engine of 25 KB.
  static const char kHex[] = "0123456789ABCDEF";
  std::string text = "OLE error ";
  for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(code >> shift) & 0xF];
  return text;
}

std::string OleSysErrorMessage(uint32_t code, SystemMessageFn systemMessage) {
  std::string message = systemMessage ? systemMessage(code) : std::string();
  return message.empty() ? OleErrorFallback(code) : message;
}

std::string OleExceptionMessage(std::string_view description, uint32_t code, SystemMessageFn systemMessage,
                                LeadByteTest isLeadByte) {
  std::string message = TrimOleDescription(description, isLeadByte);
  return message.empty() ? OleSysErrorMessage(code, systemMessage) : message;
}

}  // namespace qn3
