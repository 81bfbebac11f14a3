// 8-bit text in the ANSI code page and its UTF-16 form. On Windows this is
// the system's ANSI code page, the one CreateProcessA, the file functions
// and window texts use (not the thread's, which follows the user's formats
// and may differ); the native build uses Windows-1252, fixed, so its
// results are reproducible.
#pragma once

#include <string>
#include <string_view>

namespace qn3 {

std::u16string AnsiToUtf16(std::string_view text);
// Characters the code page lacks become the code page's default character.
std::string Utf16ToAnsi(std::u16string_view text);
// True when the byte begins a double-byte character in that code page.
bool IsAnsiLeadByte(unsigned char byte);

}  // namespace qn3
