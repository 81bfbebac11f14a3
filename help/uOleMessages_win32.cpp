#include <windows.h>
#include <oleauto.h>

#include "base/AnsiText.h"
#include "base/Exception.h"
#include "help/uComRef.h"
#include "help/uOleMessages.h"

namespace qn3 {
namespace {

std::string ToAnsi(const BstrRef& text) { return Utf16ToAnsi(text.View()); }

// One read of the error object. A read that fails leaves its output to the
// callee, so it counts as empty and is not freed.
template <class Read>
std::string ReadText(IErrorInfo* info, Read read) {
  BstrRef text;
  if (FAILED((info->*read)(text.Put()))) {
    text.Forget();
    return {};
  }
  return ToAnsi(text);
}

}  // namespace

std::string SystemMessage(uint32_t code) {
  char buffer[256];
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, code, 0,
      buffer, sizeof buffer, nullptr);
  if (length == 0 || length >= sizeof buffer) return {};
  return TrimSystemMessage(std::string_view(buffer, length));
}

void RaiseOleSysError(long code) {
  uint32_t value = static_cast<uint32_t>(code);
  throw EOleSysError(OleSysErrorMessage(value, SystemMessage), value, 0);
}

void RaiseOleException(long code) {
  uint32_t value = static_cast<uint32_t>(code);
  std::string source, description, helpFile;
  DWORD helpContext = 0;
  ComRef<IErrorInfo> info;
  HRESULT hr = GetErrorInfo(0, info.Put());
  if (hr != S_OK) info.Forget();
  if (hr == S_OK && info) {
    source = ReadText(info.Get(), &IErrorInfo::GetSource);
    description = ReadText(info.Get(), &IErrorInfo::GetDescription);
    helpFile = ReadText(info.Get(), &IErrorInfo::GetHelpFile);
    if (FAILED(info->GetHelpContext(&helpContext))) helpContext = 0;
  }
  throw EOleException(OleExceptionMessage(description, value, SystemMessage, IsAnsiLeadByte), value,
                      std::move(source), std::move(helpFile), static_cast<int32_t>(helpContext));
}

}  // namespace qn3
