// oleacc-standin.dll: the annotation service as the program uses it,
// served in place of the system's: Wine's own only reports the calls it
// does not carry out, so tests point the service's class at this DLL for
// the time they need it and read what was asked. With OLEACC_STANDIN_LOG
// set, each SetHwndPropStr appends "SetHwndPropStr HWND OBJECT CHILD
// PROPERTY TEXT" to that file and each ClearHwndProps "ClearHwndProps HWND
// OBJECT CHILD PROPERTY"; TEXT is UTF-16 with every character outside
// printable ASCII, and the backslash, written as \uXXXX. Every call
// answers S_OK, the rest E_NOTIMPL.
#include <windows.h>
#include <oleacc.h>

#include <atomic>
#include <cstdio>
#include <string>

namespace {

std::atomic<long> g_objects{0};

// {B5F8350B-0548-48B1-A6EE-88BD00B4A5E7}
constexpr CLSID kAccPropServices = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
// {6E26E776-04F0-495D-80E4-3330352E3169}
constexpr IID kIAccPropServices = {0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};

void Log(const std::string& line) {
  char path[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA("OLEACC_STANDIN_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Target(HWND hwnd, DWORD object, DWORD child, const GUID& property) {
  char text[128];
  std::snprintf(text, sizeof text, "%p %ld %lu {%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<void*>(hwnd), static_cast<long>(object), child, property.Data1, property.Data2,
                property.Data3, property.Data4[0], property.Data4[1], property.Data4[2], property.Data4[3],
                property.Data4[4], property.Data4[5], property.Data4[6], property.Data4[7]);
  return text;
}

class Services final : public IAccPropServices {
public:
  Services() { ++g_objects; }
  ~Services() { --g_objects; }

  HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == kIAccPropServices) {
      *object = static_cast<IAccPropServices*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG WINAPI AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG WINAPI Release() override {
    const long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID property, LPCWSTR str) override {
    std::string line = "SetHwndPropStr " + Target(hwnd, object, child, property) + " ";
    for (const wchar_t* c = str; c && *c; ++c) {
      if (*c >= 32 && *c < 127 && *c != L'\\') {
        line += static_cast<char>(*c);
      } else {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(*c));
        line += escape;
      }
    }
    Log(line + "\n");
    return S_OK;
  }
  HRESULT WINAPI ClearHwndProps(HWND hwnd, DWORD object, DWORD child, const MSAAPROPID* properties,
                                int count) override {
    for (int i = 0; properties && i < count; ++i) Log("ClearHwndProps " + Target(hwnd, object, child, properties[i]) + "\n");
    return S_OK;
  }

  HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override { return E_NOTIMPL; }

private:
  std::atomic<long> refs_{1};
};

class Factory final : public IClassFactory {
public:
  HRESULT WINAPI QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // One static object.
  ULONG WINAPI AddRef() override { return 2; }
  ULONG WINAPI Release() override { return 1; }
  HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* services = new Services;
    const HRESULT hr = services->QueryInterface(iid, object);
    services->Release();
    return hr;
  }
  HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != kAccPropServices) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, object);
}

__declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

}  // extern "C"
