#include "ui/Accessible.h"

#include <oleacc.h>

#include "help/uComRef.h"

namespace qn3::ui {
namespace {

// Our own copies: the SDK keeps these in a GUID library of oleacc.
// {B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}
constexpr CLSID kAccPropServices = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
// {6E26E776-04F0-495D-80E4-3330352E3169}
constexpr IID kIAccPropServices = {0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
// PROPID_ACC_DESCRIPTION, {4D48DFE4-BD3F-491F-A648-492D6F20C588}
constexpr MSAAPROPID kDescription = {0x4D48DFE4, 0xBD3F, 0x491F, {0xA6, 0x48, 0x49, 0x2D, 0x6F, 0x20, 0xC5, 0x88}};

}  // namespace

void SetAccessibleDescription(HWND control, const std::wstring& text) noexcept {
  ComRef<IAccPropServices> services;
  if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices, services.PutVoid()))) {
    services.Forget();
    return;
  }
  if (!services) return;
  const auto client = static_cast<DWORD>(OBJID_CLIENT);
  if (text.empty())
    services->ClearHwndProps(control, client, CHILDID_SELF, &kDescription, 1);
  else
    services->SetHwndPropStr(control, client, CHILDID_SELF, kDescription, text.c_str());
}

}  // namespace qn3::ui
