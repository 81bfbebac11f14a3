#include "help/MSHelpServices_TLB.h"

#include "base/Exception.h"
#include "help/uOleMessages.h"

namespace qn3 {

ComRef<IHxWalker> CoHxRegistryWalker::Create() {
  ComRef<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(CLSID_HxRegistryWalker, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                __uuidof(IUnknown), unknown.PutVoid());
  if (FAILED(hr)) {
    unknown.Forget();
    RaiseOleSysError(hr);
  }
  ComRef<IHxWalker> walker;
  if (!unknown) return walker;
  hr = unknown->QueryInterface(IID_IHxWalker, walker.PutVoid());
  if (FAILED(hr)) {
    walker.Forget();
    throw EIntfCastError("Interface not supported");
  }
  return walker;
}

}  // namespace qn3
