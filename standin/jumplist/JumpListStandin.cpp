// jumplist-standin.dll: the shell's side of the taskbar's jump list, as the
// program calls it: the destination list (CLSID_DestinationList), the
// object collection (CLSID_EnumerableObjectCollection) and the shell link
// with its property store (CLSID_ShellLink). Wine's list answers E_NOTIMPL,
// its link keeps no title and it has no collection, so a test registers
// this DLL for the three classes while it runs and reads what was asked.
//
// With JUMPLIST_STANDIN_LOG set, each call of the list appends a line to
// that file, in UTF-8:
//   BeginList
//   AppendCategory TAB category TAB result, then for each object of it
//   item TAB title TAB path TAB arguments TAB icon path,index TAB tooltip
//   CommitList, AbortList, or the name of any other call
// JUMPLIST_STANDIN_SLOTS is BeginList's slot count (10 without it), and
// JUMPLIST_STANDIN_REMOVED the arguments of the links the user removed,
// separated by "|". As on Windows, AppendCategory refuses a category that
// holds a removed link with E_ACCESSDENIED.
#undef NTDDI_VERSION
#define NTDDI_VERSION 0x06010000
#include <windows.h>
#include <shobjidl.h>
#include <propsys.h>
#include <propkey.h>

#include <string>
#include <vector>

namespace {

LONG g_objects = 0;

std::wstring Env(const wchar_t* name) {
  wchar_t value[4096];
  const DWORD n = GetEnvironmentVariableW(name, value, 4096);
  return n > 0 && n < 4096 ? std::wstring(value, n) : std::wstring();
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// One write in append mode per line.
void Log(const std::wstring& line) {
  const std::wstring path = Env(L"JUMPLIST_STANDIN_LOG");
  if (path.empty()) return;
  const std::string bytes = Utf8(line) + "\n";
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

HRESULT CopyOut(const std::wstring& text, LPWSTR out, int size) {
  if (!out || size <= 0) return E_INVALIDARG;
  lstrcpynW(out, text.c_str(), size);
  return S_OK;
}

// Reference counting and QueryInterface over the interfaces listed.
template <class Self, class... Interfaces>
class Object : public Interfaces... {
public:
  Object() { InterlockedIncrement(&g_objects); }
  virtual ~Object() { InterlockedDecrement(&g_objects); }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown) *out = static_cast<IUnknown*>(static_cast<typename First<Interfaces...>::Type*>(this));
    else (void)((Match<Interfaces>(iid, out)) || ...);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }

private:
  template <class T, class...>
  struct First {
    using Type = T;
  };
  template <class I>
  bool Match(REFIID iid, void** out) {
    if (iid != __uuidof(I) && !static_cast<Self*>(this)->AlsoAnswers(iid, __uuidof(I))) return false;
    *out = static_cast<I*>(this);
    return true;
  }
  LONG refs_ = 1;
};

class Link final : public Object<Link, IShellLinkW, IPropertyStore> {
public:
  bool AlsoAnswers(REFIID, REFIID) const { return false; }
  // IShellLinkW
  HRESULT STDMETHODCALLTYPE GetPath(LPWSTR file, int size, WIN32_FIND_DATAW*, DWORD) override {
    return CopyOut(path_, file, size);
  }
  HRESULT STDMETHODCALLTYPE GetIDList(PIDLIST_ABSOLUTE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetDescription(LPWSTR name, int size) override { return CopyOut(tooltip_, name, size); }
  HRESULT STDMETHODCALLTYPE SetDescription(LPCWSTR name) override { return Set(tooltip_, name); }
  HRESULT STDMETHODCALLTYPE GetWorkingDirectory(LPWSTR, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetWorkingDirectory(LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetArguments(LPWSTR args, int size) override { return CopyOut(arguments_, args, size); }
  HRESULT STDMETHODCALLTYPE SetArguments(LPCWSTR args) override { return Set(arguments_, args); }
  HRESULT STDMETHODCALLTYPE GetHotkey(WORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHotkey(WORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetShowCmd(int*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetShowCmd(int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIconLocation(LPWSTR path, int size, int* index) override {
    if (index) *index = iconIndex_;
    return CopyOut(icon_, path, size);
  }
  HRESULT STDMETHODCALLTYPE SetIconLocation(LPCWSTR path, int index) override {
    iconIndex_ = index;
    return Set(icon_, path);
  }
  HRESULT STDMETHODCALLTYPE SetRelativePath(LPCWSTR, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Resolve(HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPath(LPCWSTR file) override { return Set(path_, file); }
  // IPropertyStore: the title is the one property kept.
  HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) override {
    if (!count) return E_POINTER;
    *count = hasTitle_ ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAt(DWORD, PROPERTYKEY*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetValue(REFPROPERTYKEY key, PROPVARIANT* value) override {
    if (!value) return E_POINTER;
    PropVariantInit(value);
    if (key != PKEY_Title || !hasTitle_) return S_OK;
    const size_t bytes = (title_.size() + 1) * sizeof(wchar_t);
    value->pwszVal = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!value->pwszVal) return E_OUTOFMEMORY;
    CopyMemory(value->pwszVal, title_.c_str(), bytes);
    value->vt = VT_LPWSTR;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetValue(REFPROPERTYKEY key, REFPROPVARIANT value) override {
    if (key != PKEY_Title) return S_OK;
    if (value.vt != VT_LPWSTR || !value.pwszVal) return E_INVALIDARG;
    title_ = value.pwszVal;
    hasTitle_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Commit() override { return S_OK; }

private:
  static HRESULT Set(std::wstring& field, LPCWSTR text) {
    if (!text) return E_INVALIDARG;
    field = text;
    return S_OK;
  }
  std::wstring path_, arguments_, icon_, tooltip_, title_;
  int iconIndex_ = 0;
  bool hasTitle_ = false;
};

class Collection final : public Object<Collection, IObjectCollection> {
public:
  ~Collection() override { Clear(); }
  // IObjectCollection derives from IObjectArray.
  bool AlsoAnswers(REFIID iid, REFIID) const { return iid == IID_IObjectArray; }
  HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = static_cast<UINT>(items_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetAt(UINT index, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return index < items_.size() ? items_[index]->QueryInterface(iid, out) : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE AddObject(IUnknown* item) override {
    if (!item) return E_INVALIDARG;
    item->AddRef();
    items_.push_back(item);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddFromArray(IObjectArray*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveObjectAt(UINT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clear() override {
    for (IUnknown* item : items_) item->Release();
    items_.clear();
    return S_OK;
  }

private:
  std::vector<IUnknown*> items_;
};

// Link fields as the log shows them.
std::wstring Describe(IUnknown* item) {
  IShellLinkW* link = nullptr;
  if (FAILED(item->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&link)))) return L"item\t(not a link)";
  wchar_t path[1024] = {}, args[1024] = {}, icon[1024] = {}, tip[1024] = {};
  int index = 0;
  link->GetPath(path, 1024, nullptr, 0);
  link->GetArguments(args, 1024);
  link->GetIconLocation(icon, 1024, &index);
  link->GetDescription(tip, 1024);
  std::wstring title;
  IPropertyStore* store = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPropertyStore, reinterpret_cast<void**>(&store)))) {
    PROPVARIANT value;
    PropVariantInit(&value);
    if (SUCCEEDED(store->GetValue(PKEY_Title, &value)) && value.vt == VT_LPWSTR) title = value.pwszVal;
    PropVariantClear(&value);
    store->Release();
  }
  link->Release();
  return L"item\t" + title + L"\t" + path + L"\t" + args + L"\t" + icon + L"," + std::to_wstring(index) + L"\t" + tip;
}

std::wstring Arguments(IUnknown* item) {
  IShellLinkW* link = nullptr;
  wchar_t args[1024] = {};
  if (FAILED(item->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&link)))) return {};
  link->GetArguments(args, 1024);
  link->Release();
  return args;
}

class StandinList final : public Object<StandinList, ICustomDestinationList> {
public:
  bool AlsoAnswers(REFIID, REFIID) const { return false; }
  HRESULT STDMETHODCALLTYPE SetAppID(LPCWSTR id) override {
    Log(L"SetAppID\t" + std::wstring(id ? id : L""));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE BeginList(UINT* slots, REFIID iid, void** removed) override {
    Log(L"BeginList");
    if (!slots || !removed) return E_POINTER;
    const std::wstring count = Env(L"JUMPLIST_STANDIN_SLOTS");
    *slots = count.empty() ? 10 : static_cast<UINT>(_wtoi(count.c_str()));
    return Removed(iid, removed);
  }
  HRESULT STDMETHODCALLTYPE AppendCategory(LPCWSTR category, IObjectArray* items) override {
    UINT count = 0;
    if (!category || !items || FAILED(items->GetCount(&count))) return E_INVALIDARG;
    std::vector<std::wstring> lines;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
      IUnknown* item = nullptr;
      if (FAILED(items->GetAt(i, IID_IUnknown, reinterpret_cast<void**>(&item)))) return E_INVALIDARG;
      for (const std::wstring& gone : RemovedArguments())
        if (Arguments(item) == gone) result = E_ACCESSDENIED;
      lines.push_back(Describe(item));
      item->Release();
    }
    Log(L"AppendCategory\t" + std::wstring(category) + (result == S_OK ? L"\tS_OK" : L"\tE_ACCESSDENIED"));
    for (const std::wstring& line : lines) Log(line);
    return result;
  }
  HRESULT STDMETHODCALLTYPE AppendKnownCategory(KNOWNDESTCATEGORY) override {
    Log(L"AppendKnownCategory");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AddUserTasks(IObjectArray*) override {
    Log(L"AddUserTasks");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CommitList() override {
    Log(L"CommitList");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetRemovedDestinations(REFIID iid, void** removed) override {
    Log(L"GetRemovedDestinations");
    return Removed(iid, removed);
  }
  HRESULT STDMETHODCALLTYPE DeleteList(LPCWSTR) override {
    Log(L"DeleteList");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE AbortList() override {
    Log(L"AbortList");
    return S_OK;
  }

private:
  static std::vector<std::wstring> RemovedArguments() {
    std::vector<std::wstring> all;
    const std::wstring text = Env(L"JUMPLIST_STANDIN_REMOVED");
    for (size_t start = 0; !text.empty() && start <= text.size();) {
      const size_t bar = text.find(L'|', start);
      all.push_back(text.substr(start, bar == std::wstring::npos ? std::wstring::npos : bar - start));
      if (bar == std::wstring::npos) break;
      start = bar + 1;
    }
    return all;
  }
  static HRESULT Removed(REFIID iid, void** out) {
    Collection* removed = new Collection;
    for (const std::wstring& args : RemovedArguments()) {
      Link* link = new Link;
      link->SetArguments(args.c_str());
      removed->AddObject(static_cast<IShellLinkW*>(link));
      link->Release();
    }
    const HRESULT hr = removed->QueryInterface(iid, out);
    removed->Release();
    return hr;
  }
};

template <class T>
class Factory final : public Object<Factory<T>, IClassFactory> {
public:
  bool AlsoAnswers(REFIID, REFIID) const { return false; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    T* object = new T;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

template <class T>
HRESULT FactoryFor(REFIID iid, void** out) {
  auto* factory = new Factory<T>;
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

}  // namespace

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (clsid == CLSID_DestinationList) return FactoryFor<StandinList>(iid, out);
  if (clsid == CLSID_EnumerableObjectCollection) return FactoryFor<Collection>(iid, out);
  if (clsid == CLSID_ShellLink) return FactoryFor<Link>(iid, out);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT WINAPI DllCanUnloadNow() { return g_objects == 0 ? S_OK : S_FALSE; }

}  // extern "C"
