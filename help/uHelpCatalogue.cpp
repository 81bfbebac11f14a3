#include "help/uHelpCatalogue.h"

#include <cstdint>

#include "base/AnsiText.h"
#include "help/MSHelpServices_TLB.h"
#include "help/uOleMessages.h"

namespace qn3 {
namespace {

// A failed call's output is the callee's business: drop it unused.
template <class Output>
void Check(HRESULT hr, Output& output) {
  if (SUCCEEDED(hr)) return;
  output.Forget();
  RaiseOleException(hr);
}

void Check(HRESULT hr) {
  if (FAILED(hr)) RaiseOleException(hr);
}

// A text property of the namespace as it came, or "" when the runtime has
// none to give: a failed call, an answer that is no string. A failure's
// error object is taken off the thread, so the next call's check cannot
// take it for its own; a failed call's output is the callee's business.
std::u16string ReadTextProperty(IHxNamespace* item, int32_t property) {
  VARIANT value;
  VariantInit(&value);
  if (FAILED(item->lpVtbl->GetProperty(item, property, &value))) {
    ComRef<IErrorInfo> stale;
    if (GetErrorInfo(0, stale.Put()) != S_OK) stale.Forget();
    return {};
  }
  std::u16string text;
  if (value.vt == VT_BSTR && value.bstrVal)
    text.assign(reinterpret_cast<const char16_t*>(value.bstrVal), SysStringLen(value.bstrVal));
  VariantClear(&value);
  return text;
}

}  // namespace

bool IsHelpApiAvailable() noexcept {
  try {
    return static_cast<bool>(CoHxRegistryWalker::Create());
  } catch (...) {
    return false;
  }
}

bool EnumHelpNamespaces(TStrings& list) {
  list.Clear();
  // Declared in this order so that unwinding frees the name first, then
  // the namespace object, the list and the walker.
  ComRef<IHxWalker> walker = CoHxRegistryWalker::Create();
  ComRef<IHxNamespaceList> namespaces;
  ComRef<IHxNamespace> item;
  BstrRef name;

  // The runtime does not hand out a null walker after a successful
  // creation; if it does, there is nothing to call.
  if (!walker) RaiseOleSysError(E_POINTER);
  Check(walker->lpVtbl->GetNamespaceList(walker.Get(), 0, namespaces.Put()), namespaces);
  if (!namespaces) return list.Count() > 0;

  LONG count = 0;
  Check(namespaces->lpVtbl->GetCount(namespaces.Get(), &count));
  // A 64-bit index so that a count of the largest LONG cannot overflow it.
  for (int64_t i = 1; i <= count; ++i) {
    Check(namespaces->lpVtbl->GetItem(namespaces.Get(), static_cast<LONG>(i), item.Put()), item);
    if (!item) RaiseOleSysError(E_POINTER);
    Check(item->lpVtbl->GetName(item.Get(), name.Put()), name);
    list.Add(Utf16ToAnsi(name.View()), {ReadTextProperty(item.Get(), HxRegNamespaceDescription),
                                        ReadTextProperty(item.Get(), HxRegNamespaceCollection)});
  }
  return list.Count() > 0;
}

}  // namespace qn3
