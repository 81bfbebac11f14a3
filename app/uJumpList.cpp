#include "app/uJumpList.h"

// The jump list's interfaces are declared for Windows 7 on. They are
// reached through CoCreateInstance only, so nothing newer is imported.
#undef NTDDI_VERSION
#define NTDDI_VERSION 0x06010000
#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>
#include <propsys.h>
#include <propkey.h>

#include <algorithm>

#include "help/uComRef.h"

namespace qn3 {
namespace {

template <class T>
ComRef<T> Create(REFCLSID clsid, REFIID iid) {
  ComRef<T> object;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.PutVoid()))) object.Forget();
  return object;
}

std::wstring ProgramPathW() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) return path.substr(0, n);
    path.resize(path.size() * 2);
  }
}

// The arguments of the links the user removed from the list; adding one
// of them again would fail the whole category.
std::vector<std::wstring> RemovedArguments(IObjectArray* removed) {
  std::vector<std::wstring> arguments;
  UINT count = 0;
  if (!removed || FAILED(removed->GetCount(&count))) return arguments;
  for (UINT i = 0; i < count; ++i) {
    ComRef<IShellLinkW> link;
    wchar_t text[INFOTIPSIZE] = {};
    if (FAILED(removed->GetAt(i, IID_IShellLinkW, link.PutVoid()))) link.Forget();
    else if (SUCCEEDED(link->GetArguments(text, INFOTIPSIZE))) arguments.emplace_back(text);
  }
  return arguments;
}

ComRef<IShellLinkW> MakeLink(const std::wstring& program, const TJumpTask& task) {
  ComRef<IShellLinkW> link = Create<IShellLinkW>(CLSID_ShellLink, IID_IShellLinkW);
  ComRef<IPropertyStore> store;
  if (!link || FAILED(link->SetPath(program.c_str())) || FAILED(link->SetArguments(task.arguments.c_str())) ||
      FAILED(link->SetIconLocation(program.c_str(), 0)) || FAILED(link->SetDescription(task.tooltip.c_str())))
    return {};
  if (FAILED(link->QueryInterface(IID_IPropertyStore, store.PutVoid()))) {
    store.Forget();
    return {};
  }
  // The store copies the value, so the text stays ours and needs no
  // PropVariantClear (propsys is not among the program's imports).
  PROPVARIANT title{};
  title.vt = VT_LPWSTR;
  title.pwszVal = const_cast<wchar_t*>(task.title.c_str());
  if (FAILED(store->SetValue(PKEY_Title, title)) || FAILED(store->Commit())) return {};
  return link;
}

}  // namespace

void TJumpList::Update(const std::vector<TJumpTask>& tasks) {
  if (!available_ || (built_ && *built_ == tasks)) return;
  if (Build(tasks)) built_ = tasks;
}

bool TJumpList::Build(const std::vector<TJumpTask>& tasks) {
  ComRef<ICustomDestinationList> list = Create<ICustomDestinationList>(CLSID_DestinationList, IID_ICustomDestinationList);
  UINT slots = 0;
  ComRef<IObjectArray> removed;
  // Vista and older have no such class; a system that has one but will not
  // begin a list will not later either.
  if (!list || FAILED(list->BeginList(&slots, IID_IObjectArray, removed.PutVoid()))) {
    removed.Forget();
    available_ = false;
    return false;
  }
  ComRef<IObjectCollection> items = Create<IObjectCollection>(CLSID_EnumerableObjectCollection, IID_IObjectCollection);
  const std::vector<std::wstring> gone = RemovedArguments(removed.Get());
  const std::wstring program = ProgramPathW();
  UINT added = 0;
  bool ok = static_cast<bool>(items);
  for (auto task = tasks.begin(); ok && task != tasks.end() && added < slots; ++task) {
    if (std::find(gone.begin(), gone.end(), task->arguments) != gone.end()) continue;
    ComRef<IShellLinkW> link = MakeLink(program, *task);
    ok = link && SUCCEEDED(items->AddObject(link.Get()));
    added += ok;
  }
  // Without a task the category goes: the list is committed empty.
  ComRef<IObjectArray> array;
  if (ok && added > 0) {
    if (FAILED(items->QueryInterface(IID_IObjectArray, array.PutVoid()))) array.Forget();
    ok = array && SUCCEEDED(list->AppendCategory(category_.c_str(), array.Get()));
  }
  if (ok && SUCCEEDED(list->CommitList())) return true;
  list->AbortList();
  return false;
}

}  // namespace qn3
