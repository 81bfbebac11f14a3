// The stand-in Help 2 runtime: an in-process COM server whose walker,
// namespace list and namespace objects have the runtime's table layout.
// It lists the names of a names file and, for tests, fails or misbehaves
// as a fault text tells it, logs the calls it gets and counts the objects
// and strings it handed out that are still alive. standin/README.md has
// the details.
#include <windows.h>
#include <objidl.h>
#include <oleauto.h>
#include <olectl.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "help/MSHelpServices_TLB.h"
#include "standin/hxstandin/StandinConfig.h"

namespace qn3::hxstandin {
namespace {

// What a DLL server cannot avoid: its module, its counts and the settings
// its exports change.
HINSTANCE g_module = nullptr;
std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

struct Settings {
  std::mutex lock;
  bool faultSet = false;
  std::string fault;
  bool namesSet = false;
  std::string names;
  // The call log is kept only once a test has asked for it: a program that
  // never reads it, left open for weeks, would hold every call it made.
  bool logging = false;
  std::string log;
};
// Never destroyed: the malloc spy logs frees that other DLLs make while
// the process ends, after our static objects would be gone.
Settings& TheSettings() {
  static Settings* settings = new Settings;
  return *settings;
}

void Log(const std::string& token) {
  Settings& s = TheSettings();
  std::lock_guard guard(s.lock);
  if (!s.logging) return;
  if (!s.log.empty()) s.log += ' ';
  s.log += token;
}

std::string Utf16ToUtf8(const wchar_t* text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

bool ReadEnvironment(const wchar_t* name, std::wstring& value) {
  DWORD n = GetEnvironmentVariableW(name, nullptr, 0);
  if (n == 0) return false;
  value.assign(n, L'\0');
  n = GetEnvironmentVariableW(name, value.data(), n);
  value.resize(n);
  return true;
}

std::wstring ModuleFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(g_module, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

// The file's bytes; nothing when it cannot be read.
std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

// ---- Strings handed out, tracked through the task allocator ----------
//
// A BSTR comes from the task allocator and goes back to it in
// SysFreeString. A malloc spy sees both ends, so the stand-in knows which
// of its strings are still alive, whoever frees them.
class StringSpy final : public IMallocSpy {
public:
  bool Start() {
    std::lock_guard guard(lock_);
    if (state_ == State::Unknown) {
      // Cached strings would never reach the allocator's free.
      using NoCacheFn = void(WINAPI*)();
      if (HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll"))
        if (auto noCache = reinterpret_cast<NoCacheFn>(GetProcAddress(oleaut, "SetOaNoCache"))) noCache();
      state_ = SUCCEEDED(CoRegisterMallocSpy(this)) ? State::Running : State::Unavailable;
      // Our code is called on every allocation from now on: stay loaded.
      if (state_ == State::Running) {
        HMODULE self;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&g_module), &self);
      }
    }
    return state_ == State::Running;
  }

  BSTR Allocate(std::u16string_view text, const std::string& label) {
    Start();
    BSTR s = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
    if (!s) return nullptr;
    std::lock_guard guard(lock_);
    // The block is this thread's last one, and the string lies just in it.
    auto* block = static_cast<char*>(lastBlock_);
    auto* start = reinterpret_cast<char*>(s);
    if (block && start >= block && start - block <= 16)
      live_[block] = label;
    else
      state_ = State::Unavailable;
    return s;
  }

  long Live() {
    std::lock_guard guard(lock_);
    return state_ == State::Running ? static_cast<long>(live_.size()) : -1;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMallocSpy) {
      *object = static_cast<IMallocSpy*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* block) override {
    lastBlock_ = block;
    return block;
  }
  void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override {
    std::string label;
    {
      std::lock_guard guard(lock_);
      auto it = live_.find(block);
      if (it == live_.end()) return block;
      label = std::move(it->second);
      live_.erase(it);
    }
    Log("free:" + label);
    return block;
  }
  void STDMETHODCALLTYPE PostFree(BOOL) override {}
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock, BOOL) override {
    *newBlock = block;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override { return block; }
  void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}

private:
  enum class State { Unknown, Running, Unavailable };
  // Recursive: the allocator may call back while this thread holds it.
  std::recursive_mutex lock_;
  State state_ = State::Unknown;
  static thread_local void* lastBlock_;
  std::map<void*, std::string> live_;
};

// Never destroyed, for the same reason as the settings: once registered,
// the spy sees every task-allocator call until the process is gone.
thread_local void* StringSpy::lastBlock_ = nullptr;

StringSpy& Spy() {
  static StringSpy* spy = new StringSpy;
  return *spy;
}

// ---- What one walker sees ---------------------------------------------

struct Snapshot {
  FaultPlan plan;
  std::vector<NamespaceEntry> names;
};
using SnapshotPtr = std::shared_ptr<const Snapshot>;

// The settings at the moment a walker is created; null when the fault
// text is malformed.
SnapshotPtr TakeSnapshot() {
  std::string fault, names;
  bool namesSet;
  {
    Settings& s = TheSettings();
    std::lock_guard guard(s.lock);
    fault = s.fault;
    if (!s.faultSet) {
      std::wstring value;
      fault = ReadEnvironment(L"HXSTANDIN_FAULT", value) ? Utf16ToUtf8(value.c_str()) : std::string();
    }
    namesSet = s.namesSet;
    names = s.names;
  }
  auto snapshot = std::make_shared<Snapshot>();
  std::optional<FaultPlan> plan = ParseFaultPlan(fault, nullptr);
  if (!plan) return nullptr;
  snapshot->plan = std::move(*plan);
  if (!namesSet) {
    std::wstring path;
    if (!ReadEnvironment(L"HXSTANDIN_NAMESPACES", path)) path = ModuleFolder() + L"namespaces.txt";
    names = ReadFileBytes(path);
  }
  snapshot->names = ParseNames(names);
  return snapshot;
}

// ---- Error objects ----------------------------------------------------

class ErrorObject final : public IErrorInfo {
public:
  ErrorObject(const FaultPlan& plan, std::u16string description)
      : description_(std::move(description)), source_(plan.source), helpFile_(plan.helpFile),
        helpContext_(plan.helpContext) {
    ++g_liveObjects;
  }
  ~ErrorObject() {
    Log("~error");
    --g_liveObjects;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IErrorInfo) {
      *object = static_cast<IErrorInfo*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    long left = --refs_;
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
    if (!guid) return E_POINTER;
    *guid = GUID_NULL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* text) override { return Hand(source_, text); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* text) override { return Hand(description_, text); }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* text) override { return Hand(helpFile_, text); }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* context) override {
    if (!context) return E_POINTER;
    *context = helpContext_;
    return S_OK;
  }

private:
  static HRESULT Hand(const std::u16string& value, BSTR* text) {
    if (!text) return E_POINTER;
    *text = Spy().Allocate(value, "error");
    return *text ? S_OK : E_OUTOFMEMORY;
  }

  std::atomic<long> refs_{1};
  std::u16string description_, source_, helpFile_;
  DWORD helpContext_;
};

// A failing call: its error object (or none) for the thread, its code back.
HRESULT Fail(const Failure& failure, const FaultPlan& plan) {
  if (failure.withErrorObject) {
    auto* error = new ErrorObject(plan, failure.description);
    SetErrorInfo(0, error);
    error->Release();
  } else {
    SetErrorInfo(0, nullptr);
  }
  return static_cast<HRESULT>(failure.code);
}

template <class T>
T* Poison() {
  // Kernel space on 32-bit Windows: any use of it faults at once.
  return reinterpret_cast<T*>(static_cast<uintptr_t>(0xDEADBEE0u));
}

// ---- The three objects ------------------------------------------------

template <class Self>
HRESULT STDMETHODCALLTYPE NoTypeInfoCount(Self*, UINT*) {
  return E_NOTIMPL;
}
template <class Self>
HRESULT STDMETHODCALLTYPE NoTypeInfo(Self*, UINT, LCID, ITypeInfo**) {
  return E_NOTIMPL;
}
template <class Self>
HRESULT STDMETHODCALLTYPE NoIDsOfNames(Self*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}
template <class Self>
HRESULT STDMETHODCALLTYPE NoInvoke(Self*, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}
template <class Self>
constexpr DispatchSlots<Self> kNoDispatch = {NoTypeInfoCount<Self>, NoTypeInfo<Self>, NoIDsOfNames<Self>,
                                             NoInvoke<Self>};

HRESULT STDMETHODCALLTYPE NotImplemented(void*) { return E_NOTIMPL; }
// Slots we do not model; they answer E_NOTIMPL to a call with no inputs.
const UnusedSlot kUnused = reinterpret_cast<UnusedSlot>(&NotImplemented);

// The reference counting all three share. Object derives from the plain
// interface struct, so its table pointer comes first.
template <class Object, class Interface>
struct Counted : Interface {
  long refs = 1;
  SnapshotPtr snapshot;

  explicit Counted(SnapshotPtr s) : snapshot(std::move(s)) { ++g_liveObjects; }
  ~Counted() { --g_liveObjects; }
  const FaultPlan& Plan() const { return snapshot->plan; }

  static ULONG STDMETHODCALLTYPE AddRef(Interface* self) { return ++static_cast<Object*>(self)->refs; }
  static ULONG STDMETHODCALLTYPE Release(Interface* self) {
    auto* object = static_cast<Object*>(self);
    long left = --object->refs;
    if (left == 0) delete object;
    return static_cast<ULONG>(left);
  }
  // IUnknown and IDispatch; the walker adds its own interface.
  static HRESULT STDMETHODCALLTYPE QueryInterface(Interface* self, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || static_cast<Object*>(self)->Offers(iid)) {
      *object = self;
      AddRef(self);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  bool Offers(REFIID) const { return false; }
};

struct Namespace : Counted<Namespace, IHxNamespace> {
  int32_t index;

  Namespace(SnapshotPtr s, int32_t i);
  ~Namespace() { Log("~ns:" + std::to_string(index)); }

  static HRESULT STDMETHODCALLTYPE GetName(IHxNamespace* self, BSTR* name) {
    auto* ns = static_cast<Namespace*>(self);
    Log("name:" + std::to_string(ns->index));
    if (!name) return E_POINTER;
    const FaultPlan& plan = ns->Plan();
    if (const Failure* f = plan.FailureFor(Op::Name, ns->index)) {
      *name = plan.poison ? Poison<OLECHAR>() : nullptr;
      return Fail(*f, plan);
    }
    *name = nullptr;
    if (plan.nullNames.Has(ns->index)) return static_cast<HRESULT>(plan.successCode);
    *name = Spy().Allocate(ns->Entry().name, std::to_string(ns->index));
    return *name ? static_cast<HRESULT>(plan.successCode) : E_OUTOFMEMORY;
  }

  // The description (its string labelled dN) and the collection path
  // (cN), which a line without one lacks.
  static HRESULT STDMETHODCALLTYPE GetProperty(IHxNamespace* self, int32_t property, VARIANT* value) {
    auto* ns = static_cast<Namespace*>(self);
    Log("property:" + std::to_string(ns->index) + ":" + std::to_string(property));
    if (!value) return E_POINTER;
    const FaultPlan& plan = ns->Plan();
    if (const Failure* f = plan.FailureFor(Op::Property, ns->index)) {
      value->vt = VT_EMPTY;
      if (plan.poison) value->vt = VT_BSTR, value->bstrVal = Poison<OLECHAR>();
      return Fail(*f, plan);
    }
    VariantInit(value);
    const NamespaceEntry& entry = ns->Entry();
    const std::u16string* text = property == qn3::HxRegNamespaceDescription ? &entry.description
                                 : property == qn3::HxRegNamespaceCollection && entry.collection
                                     ? &*entry.collection
                                     : nullptr;
    if (!text) return E_INVALIDARG;
    if (plan.nullProperties.Has(ns->index)) return static_cast<HRESULT>(plan.successCode);
    const char* label = property == qn3::HxRegNamespaceDescription ? "d" : "c";
    value->bstrVal = Spy().Allocate(*text, label + std::to_string(ns->index));
    if (!value->bstrVal) return E_OUTOFMEMORY;
    value->vt = VT_BSTR;
    return static_cast<HRESULT>(plan.successCode);
  }

  const NamespaceEntry& Entry() const { return snapshot->names[static_cast<size_t>(index - 1)]; }
};

const IHxNamespaceVtbl kNamespaceTable = {
    {Namespace::QueryInterface, Namespace::AddRef, Namespace::Release}, kNoDispatch<IHxNamespace>,
    Namespace::GetName, Namespace::GetProperty};

Namespace::Namespace(SnapshotPtr s, int32_t i) : Counted(std::move(s)), index(i) { lpVtbl = &kNamespaceTable; }

struct NamespaceList : Counted<NamespaceList, IHxNamespaceList> {
  explicit NamespaceList(SnapshotPtr s);
  ~NamespaceList() { Log("~list"); }

  static HRESULT STDMETHODCALLTYPE GetItem(IHxNamespaceList* self, LONG index, IHxNamespace** item) {
    auto* list = static_cast<NamespaceList*>(self);
    Log("item:" + std::to_string(index));
    if (!item) return E_POINTER;
    const FaultPlan& plan = list->Plan();
    if (const Failure* f = plan.FailureFor(Op::Item, index)) {
      *item = plan.poison ? Poison<IHxNamespace>() : nullptr;
      return Fail(*f, plan);
    }
    *item = nullptr;
    if (plan.nullItems.Has(index)) return static_cast<HRESULT>(plan.successCode);
    if (index < 1 || static_cast<size_t>(index) > list->snapshot->names.size()) return E_INVALIDARG;
    *item = new Namespace(list->snapshot, index);
    return static_cast<HRESULT>(plan.successCode);
  }

  static HRESULT STDMETHODCALLTYPE GetCount(IHxNamespaceList* self, LONG* count) {
    auto* list = static_cast<NamespaceList*>(self);
    Log("count");
    if (!count) return E_POINTER;
    const FaultPlan& plan = list->Plan();
    if (const Failure* f = plan.FailureFor(Op::Count, 0)) {
      // A count the caller must not believe.
      *count = plan.poison ? 3 : 0;
      return Fail(*f, plan);
    }
    *count = plan.count.value_or(static_cast<LONG>(list->snapshot->names.size()));
    return static_cast<HRESULT>(plan.successCode);
  }
};

const IHxNamespaceListVtbl kListTable = {
    {NamespaceList::QueryInterface, NamespaceList::AddRef, NamespaceList::Release},
    kNoDispatch<IHxNamespaceList>,
    kUnused,
    NamespaceList::GetItem,
    kUnused,
    kUnused,
    NamespaceList::GetCount};

NamespaceList::NamespaceList(SnapshotPtr s) : Counted(std::move(s)) { lpVtbl = &kListTable; }

struct Walker : Counted<Walker, IHxWalker> {
  explicit Walker(SnapshotPtr s);
  ~Walker() { Log("~walker"); }
  bool Offers(REFIID iid) const { return iid == IID_IHxWalker && !Plan().noWalker; }

  static HRESULT STDMETHODCALLTYPE GetNamespaceList(IHxWalker* self, uint32_t reserved, IHxNamespaceList** list) {
    auto* walker = static_cast<Walker*>(self);
    Log("list:" + std::to_string(reserved));
    if (!list) return E_POINTER;
    const FaultPlan& plan = walker->Plan();
    if (const Failure* f = plan.FailureFor(Op::List, 0)) {
      *list = plan.poison ? Poison<IHxNamespaceList>() : nullptr;
      return Fail(*f, plan);
    }
    *list = nullptr;
    // The only input we model is the one the program passes.
    if (reserved != 0) return E_INVALIDARG;
    if (plan.nullList) return static_cast<HRESULT>(plan.successCode);
    *list = new NamespaceList(walker->snapshot);
    return static_cast<HRESULT>(plan.successCode);
  }
};

const IHxWalkerVtbl kWalkerTable = {{Walker::QueryInterface, Walker::AddRef, Walker::Release},
                                        kNoDispatch<IHxWalker>, Walker::GetNamespaceList};

Walker::Walker(SnapshotPtr s) : Counted(std::move(s)) { lpVtbl = &kWalkerTable; }

// ---- Class object -----------------------------------------------------

class Factory final : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // One static object: its references keep the server, not the object.
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++g_serverLocks + 1); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--g_serverLocks + 1); }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    Log("create");
    SnapshotPtr snapshot = TakeSnapshot();
    if (!snapshot) return E_INVALIDARG;
    const FaultPlan& plan = snapshot->plan;
    if (const Failure* f = plan.FailureFor(Op::Create, 0)) return static_cast<HRESULT>(f->code);
    HRESULT ok = static_cast<HRESULT>(plan.successCode);
    if (plan.nullObject) return ok;
    auto* walker = new Walker(snapshot);
    HRESULT hr = Walker::QueryInterface(walker, iid, object);
    Walker::Release(walker);
    return FAILED(hr) ? hr : ok;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock)
      ++g_serverLocks;
    else
      --g_serverLocks;
    return S_OK;
  }
};

Factory& TheFactory() {
  static Factory factory;
  return factory;
}

constexpr wchar_t kClassKey[] = L"CLSID\\{314111F0-A502-11D2-BBCA-00C04F8EC294}";
constexpr wchar_t kServerKey[] = L"CLSID\\{314111F0-A502-11D2-BBCA-00C04F8EC294}\\InprocServer32";

std::wstring ModulePath() {
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(g_module, path, static_cast<DWORD>(std::size(path)));
  return std::wstring(path, n);
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value) {
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WriteKey(const wchar_t* path, const wchar_t* name, const std::wstring& value,
              const wchar_t* name2 = nullptr, const std::wstring& value2 = {}) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = SetString(key, name, value) && (!name2 || SetString(key, name2, value2));
  RegCloseKey(key);
  return ok;
}

// The registered server path, or "" when there is none.
std::wstring RegisteredServer() {
  wchar_t value[MAX_PATH * 4] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, kServerKey, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return {};
  return value;
}

}  // namespace
}  // namespace qn3::hxstandin

using namespace qn3::hxstandin;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != qn3::CLSID_HxRegistryWalker) return CLASS_E_CLASSNOTAVAILABLE;
  Spy().Start();
  return TheFactory().QueryInterface(iid, object);
}

HRESULT WINAPI DllCanUnloadNow() { return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE; }

HRESULT WINAPI DllRegisterServer() {
  std::wstring path = ModulePath();
  if (!WriteKey(kClassKey, nullptr, L"HxRegistryWalker") ||
      !WriteKey(kServerKey, nullptr, path, L"ThreadingModel", L"Apartment"))
    return SELFREG_E_CLASS;
  return S_OK;
}

HRESULT WINAPI DllUnregisterServer() {
  // Leave a registration alone that names some other server.
  std::wstring registered = RegisteredServer();
  if (!registered.empty() && lstrcmpiW(registered.c_str(), ModulePath().c_str()) != 0) return S_OK;
  LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

HRESULT WINAPI HxStandinConfigure(const char* faultText) {
  if (faultText && !ParseFaultPlan(faultText, nullptr)) return E_INVALIDARG;
  Settings& s = TheSettings();
  std::lock_guard guard(s.lock);
  s.faultSet = faultText != nullptr;
  s.fault = faultText ? faultText : "";
  return S_OK;
}

HRESULT WINAPI HxStandinSetNames(const char* utf8Names) {
  Settings& s = TheSettings();
  std::lock_guard guard(s.lock);
  s.namesSet = utf8Names != nullptr;
  s.names = utf8Names ? utf8Names : "";
  return S_OK;
}

LONG WINAPI HxStandinLiveObjects() { return g_liveObjects; }

LONG WINAPI HxStandinLiveStrings() {
  Spy().Start();
  return Spy().Live();
}

LONG WINAPI HxStandinCallLog(char* buffer, LONG size) {
  Settings& s = TheSettings();
  std::lock_guard guard(s.lock);
  if (buffer && size > 0) {
    size_t n = std::min(s.log.size(), static_cast<size_t>(size - 1));
    s.log.copy(buffer, n);
    buffer[n] = '\0';
  }
  return static_cast<LONG>(s.log.size());
}

void WINAPI HxStandinClearLog() {
  Settings& s = TheSettings();
  std::lock_guard guard(s.lock);
  s.log.clear();
  s.logging = true;
}

}  // extern "C"
