// The Help 2 runtime's registry walker as this program binds to it: the
// class and interface identifiers, the three dual interfaces as plain
// tables of operations (only the slots we call are typed), and the creator
// CoHxRegistryWalker. The tables are ours; no type library is imported.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <cstdint>

#include "help/uComRef.h"

namespace qn3 {

// {314111F0-A502-11D2-BBCA-00C04F8EC294}
inline constexpr GUID CLSID_HxRegistryWalker = {0x314111F0, 0xA502, 0x11D2, {0xBB, 0xCA, 0x00, 0xC0, 0x4F, 0x8E, 0xC2, 0x94}};
// {314111EF-A502-11D2-BBCA-00C04F8EC294}
inline constexpr GUID IID_IHxWalker = {0x314111EF, 0xA502, 0x11D2, {0xBB, 0xCA, 0x00, 0xC0, 0x4F, 0x8E, 0xC2, 0x94}};

struct IHxWalker;
struct IHxNamespaceList;
struct IHxNamespace;

// Slots 0-2 of every COM interface.
template <class Self>
struct UnknownSlots {
  HRESULT(STDMETHODCALLTYPE* QueryInterface)(Self* self, REFIID iid, void** object);
  ULONG(STDMETHODCALLTYPE* AddRef)(Self* self);
  ULONG(STDMETHODCALLTYPE* Release)(Self* self);
};

// Slots 3-6 of a dual interface; we never call them.
template <class Self>
struct DispatchSlots {
  HRESULT(STDMETHODCALLTYPE* GetTypeInfoCount)(Self* self, UINT* count);
  HRESULT(STDMETHODCALLTYPE* GetTypeInfo)(Self* self, UINT index, LCID locale, ITypeInfo** info);
  HRESULT(STDMETHODCALLTYPE* GetIDsOfNames)(Self* self, REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids);
  HRESULT(STDMETHODCALLTYPE* Invoke)(Self* self, DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* info, UINT* argError);
};

// A slot this program does not use; its signature belongs to the runtime.
using UnusedSlot = void*;

struct IHxWalkerVtbl {
  UnknownSlots<IHxWalker> unknown;
  DispatchSlots<IHxWalker> dispatch;
  // 7: the registered namespaces. The input is the runtime's; we pass 0.
  HRESULT(STDMETHODCALLTYPE* GetNamespaceList)(IHxWalker* self, uint32_t reserved, IHxNamespaceList** list);
};

struct IHxNamespaceListVtbl {
  UnknownSlots<IHxNamespaceList> unknown;
  DispatchSlots<IHxNamespaceList> dispatch;
  UnusedSlot slot7;
  // 8: the namespace at a position counted from 1.
  HRESULT(STDMETHODCALLTYPE* GetItem)(IHxNamespaceList* self, LONG index, IHxNamespace** item);
  UnusedSlot slot9;
  UnusedSlot slot10;
  // 11: how many namespaces the list holds.
  HRESULT(STDMETHODCALLTYPE* GetCount)(IHxNamespaceList* self, LONG* count);
};

// The namespace properties this program asks for (HxRegNamespacePropId).
inline constexpr int32_t HxRegNamespaceCollection = 3;   // the path of the collection file
inline constexpr int32_t HxRegNamespaceDescription = 4;  // the text given at registration

struct IHxNamespaceVtbl {
  UnknownSlots<IHxNamespace> unknown;
  DispatchSlots<IHxNamespace> dispatch;
  // 7: the namespace name; the caller frees it.
  HRESULT(STDMETHODCALLTYPE* GetName)(IHxNamespace* self, BSTR* name);
  // 8: one of the namespace's properties; the caller clears the VARIANT.
  HRESULT(STDMETHODCALLTYPE* GetProperty)(IHxNamespace* self, int32_t property, VARIANT* value);
};

struct IHxWalker {
  const IHxWalkerVtbl* lpVtbl;
};
struct IHxNamespaceList {
  const IHxNamespaceListVtbl* lpVtbl;
};
struct IHxNamespace {
  const IHxNamespaceVtbl* lpVtbl;
};

// The runtime's tables are fixed; a slot out of place calls the wrong code.
inline constexpr size_t kSlot = sizeof(void*);
static_assert(offsetof(IHxWalkerVtbl, dispatch) == 3 * kSlot);
static_assert(offsetof(IHxWalkerVtbl, GetNamespaceList) == 7 * kSlot);
static_assert(offsetof(IHxNamespaceListVtbl, GetItem) == 8 * kSlot);
static_assert(offsetof(IHxNamespaceListVtbl, GetCount) == 11 * kSlot);
static_assert(offsetof(IHxNamespaceVtbl, GetName) == 7 * kSlot);
static_assert(offsetof(IHxNamespaceVtbl, GetProperty) == 8 * kSlot);

class CoHxRegistryWalker {
public:
  // Creates an HxRegistryWalker and returns its walker interface, which is
  // null when the runtime handed out no object. Raises EOleSysError when
  // creation fails, EIntfCastError when the object lacks the interface.
  static ComRef<IHxWalker> Create();
};

}  // namespace qn3
