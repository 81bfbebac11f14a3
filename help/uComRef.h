// Owners for COM interface pointers and BSTRs. Put() empties the owner and
// hands out the address for a call's output; after a failed call Forget()
// drops whatever the callee left there without releasing or freeing it,
// because a failing callee promises nothing about its outputs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>
#include <utility>

namespace qn3 {

template <class T>
class ComRef {
public:
  ComRef() = default;
  explicit ComRef(T* adopted) : p_(adopted) {}
  ComRef(ComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) ReleaseOf(p);
  }
  T** Put() {
    Reset();
    return &p_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Forget() { p_ = nullptr; }

private:
  // Our own plain interface tables carry their IUnknown slots in lpVtbl;
  // interfaces from the Windows headers are C++ classes.
  static void ReleaseOf(T* p) {
    if constexpr (requires { p->lpVtbl->unknown.Release(p); })
      p->lpVtbl->unknown.Release(p);
    else
      p->Release();
  }

  T* p_ = nullptr;
};

class BstrRef {
public:
  BstrRef() = default;
  BstrRef(const BstrRef&) = delete;
  BstrRef& operator=(const BstrRef&) = delete;
  ~BstrRef() { Reset(); }

  BSTR Get() const { return s_; }
  // The whole string, embedded nulls included; empty for a null BSTR.
  std::u16string_view View() const {
    return s_ ? std::u16string_view(reinterpret_cast<const char16_t*>(s_), SysStringLen(s_)) : std::u16string_view();
  }

  void Reset() {
    if (BSTR s = std::exchange(s_, nullptr)) SysFreeString(s);
  }
  BSTR* Put() {
    Reset();
    return &s_;
  }
  void Forget() { s_ = nullptr; }

private:
  BSTR s_ = nullptr;
};

}  // namespace qn3
