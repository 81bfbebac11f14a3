// The texts of failed COM calls. The portable part holds the trimming rules
// and the "OLE error" fallback; on Windows the unit also builds the system
// message for an HRESULT and raises EOleSysError and EOleException.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"

namespace qn3 {

// An error object's description made fit for a message: blanks, control
// characters and periods come off the end; a double-byte last character
// always stays.
std::string TrimOleDescription(std::string_view text, LeadByteTest isLeadByte);

// A system message without its closing period and line break, byte by byte.
std::string TrimSystemMessage(std::string_view text);

// "OLE error 8007000E": the code as 8 upper-case hexadecimal digits.
std::string OleErrorFallback(uint32_t code);

// The system message for a code, or "" when there is none.
using SystemMessageFn = std::string (*)(uint32_t code);

// Message of an EOleSysError: the system message, else the fallback.
std::string OleSysErrorMessage(uint32_t code, SystemMessageFn systemMessage);

// Message of an EOleException: the trimmed description, else the
// EOleSysError message. The system message is only looked up when needed.
std::string OleExceptionMessage(std::string_view description, uint32_t code, SystemMessageFn systemMessage,
                                LeadByteTest isLeadByte);

#ifdef _WIN32
// FormatMessageA's text for the code, trimmed; "" when it has none or the
// text does not fit 256 bytes.
std::string SystemMessage(uint32_t code);

// EOleSysError for the code, help context 0.
[[noreturn]] void RaiseOleSysError(long code);

// EOleException for a failed call, from the thread's error object when
// there is one (which this takes and releases).
[[noreturn]] void RaiseOleException(long code);
#endif

}  // namespace qn3
