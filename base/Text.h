// Small rules on 8-bit text shared by several units: trimming, and the
// period that the general error report appends.
#pragma once

#include <string>
#include <string_view>

namespace qn3 {

// Removes every character of code 32 or less from both ends.
std::string Trim(std::string_view text);

// Tells whether a byte begins a double-byte character in the code page.
using LeadByteTest = bool (*)(unsigned char);

// The report text: one "." appended when the last character's code is above
// that of "." (for a double-byte last character its first byte decides).
std::string WithClosingPeriod(std::string_view message, LeadByteTest isLeadByte);

// Byte index of the start of the character that holds the last byte.
size_t LastCharStart(std::string_view text, LeadByteTest isLeadByte);

// ASCII-only case-insensitive comparison, as identifiers are compared.
bool SameTextAscii(std::string_view a, std::string_view b);

}  // namespace qn3
