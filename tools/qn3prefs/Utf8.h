// UTF-8 for the checker's command line, which the 8-bit code page cannot
// carry whole.
#pragma once

#include <string>
#include <string_view>

namespace qn3 {

// False for malformed UTF-8 (overlong forms, surrogates, beyond U+10FFFF).
bool Utf8ToUtf16(std::string_view text, std::u16string& out);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace qn3
