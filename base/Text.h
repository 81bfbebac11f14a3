// Small rules on 8-bit text shared by several units: trimming, the period
// that the general error report appends, the search for path separators
// and the initial application title, all by characters of the code page;
// and how UTF-16 text from outside is shown.
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

// Bytes of the character that starts at i: 2 for a lead byte with a byte
// after it, else 1.
size_t CharLength(std::string_view text, size_t i, LeadByteTest isLeadByte);

// Byte index of the start of the character that holds the last byte.
size_t LastCharStart(std::string_view text, LeadByteTest isLeadByte);

// Byte index of the last character of text that is one of the single-byte
// characters in chars, or npos. A trail byte of a double-byte character
// never counts, though it may equal "\\".
size_t FindLastOf(std::string_view text, std::string_view chars, LeadByteTest isLeadByte);

// A lower-case copy in the code page, whole characters only.
using LowerCaseFn = std::string (*)(std::string_view);

// The initial application title: the program file's name without folder
// (after the last "\\", "/" or ":"), cut at its first dot, every character
// after the first in lower case.
std::string TitleFromProgramPath(std::string_view path, LeadByteTest isLeadByte, LowerCaseFn lower);

// ASCII-only case-insensitive comparison, as identifiers are compared.
bool SameTextAscii(std::string_view a, std::string_view b);

// A text from outside as one line on screen: it ends at its first NUL, and
// every other control character (below 32, and 127) shows as one space.
// Moved in, the text is changed where it lies.
std::u16string OneLine(std::u16string text);

// At most max characters: a longer text keeps its first max - 1 and ends
// in an ellipsis (U+2026), never between the halves of a surrogate pair.
std::u16string CutWithEllipsis(std::u16string_view text, size_t max);

}  // namespace qn3
