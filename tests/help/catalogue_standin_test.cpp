// The stand-in itself: what the catalogue tests rely on must hold, above
// all that its counts really see objects released and strings freed.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <fstream>

#include "base/Exception.h"
#include "base/Strings.h"
#include "help/MSHelpServices_TLB.h"
#include "help/uHelpCatalogue.h"
#include "tests/help/catalogue_standin.h"

namespace qn3::test {
namespace {

using Names = std::vector<std::string>;

ComRef<IHxWalker> CreateDirect(const Standin& standin, HRESULT* result = nullptr) {
  ComRef<IClassFactory> factory;
  ComRef<IHxWalker> walker;
  HRESULT hr = standin.GetClassObject(IID_IClassFactory, factory.PutVoid());
  if (SUCCEEDED(hr)) hr = factory->CreateInstance(nullptr, IID_IHxWalker, walker.PutVoid());
  if (result) *result = hr;
  return walker;
}

using StandinCounts = StandinTest;

TEST_F(StandinCounts, SeeObjectsReleasedAndStringsFreed) {
  ASSERT_EQ(S_OK, standin.SetNames("only\n"));
  ComRef<IHxWalker> walker = CreateDirect(standin);
  ASSERT_TRUE(walker);
  ComRef<IHxNamespaceList> list;
  ASSERT_EQ(S_OK, walker->lpVtbl->GetNamespaceList(walker.Get(), 0, list.Put()));
  ComRef<IHxNamespace> item;
  ASSERT_EQ(S_OK, list->lpVtbl->GetItem(list.Get(), 1, item.Put()));
  BSTR name = nullptr;
  ASSERT_EQ(S_OK, item->lpVtbl->GetName(item.Get(), &name));
  EXPECT_STREQ(L"only", name);
  EXPECT_EQ(3, standin.LiveObjects());
  EXPECT_EQ(1, standin.LiveStrings());

  // A plain SysFreeString from outside is what the count must notice.
  SysFreeString(name);
  EXPECT_EQ(0, standin.LiveStrings());
  item.Reset();
  list.Reset();
  EXPECT_EQ(1, standin.LiveObjects());
  walker.Reset();
  EXPECT_EQ(0, standin.LiveObjects());
}

TEST_F(StandinCounts, SeeTheErrorObjectAndItsStrings) {
  ASSERT_EQ(S_OK, standin.Configure("fail=list:80004005:Broken"));
  ComRef<IHxWalker> walker = CreateDirect(standin);
  ASSERT_TRUE(walker);
  ComRef<IHxNamespaceList> list;
  EXPECT_EQ(E_FAIL, walker->lpVtbl->GetNamespaceList(walker.Get(), 0, list.Put()));
  EXPECT_FALSE(list);
  walker.Reset();
  // The thread holds the error object until someone takes it.
  EXPECT_EQ(1, standin.LiveObjects());
  ComRef<IErrorInfo> info;
  ASSERT_EQ(S_OK, GetErrorInfo(0, info.Put()));
  BSTR description = nullptr;
  ASSERT_EQ(S_OK, info->GetDescription(&description));
  EXPECT_STREQ(L"Broken", description);
  EXPECT_EQ(1, standin.LiveStrings());
  SysFreeString(description);
  info.Reset();
  EXPECT_EQ(0, standin.LiveObjects());
  EXPECT_EQ(0, standin.LiveStrings());
}

TEST_F(StandinCounts, WalkerInterfaceAndDispatchSlots) {
  ComRef<IHxWalker> walker = CreateDirect(standin);
  ASSERT_TRUE(walker);
  ComRef<IUnknown> other;
  EXPECT_EQ(S_OK, walker->lpVtbl->unknown.QueryInterface(walker.Get(), IID_IDispatch, other.PutVoid()));
  EXPECT_EQ(E_NOINTERFACE, walker->lpVtbl->unknown.QueryInterface(walker.Get(), IID_IErrorInfo, other.PutVoid()));
  UINT count = 0;
  EXPECT_EQ(E_NOTIMPL, walker->lpVtbl->dispatch.GetTypeInfoCount(walker.Get(), &count));
  // Only the input the program passes is modelled.
  ComRef<IHxNamespaceList> list;
  EXPECT_EQ(E_INVALIDARG, walker->lpVtbl->GetNamespaceList(walker.Get(), 1, list.Put()));
  EXPECT_FALSE(list);
  other.Reset();
  walker.Reset();

  ASSERT_EQ(S_OK, standin.Configure("nowalker"));
  HRESULT hr = S_OK;
  EXPECT_FALSE(CreateDirect(standin, &hr));
  EXPECT_EQ(E_NOINTERFACE, hr);
}

TEST_F(StandinCounts, ItemsOutsideTheNamesAreRefused) {
  ASSERT_EQ(S_OK, standin.SetNames("a\n"));
  ASSERT_EQ(S_OK, standin.Configure("count=2"));
  TStringList list;
  EXPECT_THROW(EnumHelpNamespaces(list), EOleException);
  EXPECT_EQ((Names{"a"}), list.Items());
}

TEST_F(StandinCounts, MalformedFaultTextIsRefused) {
  EXPECT_EQ(E_INVALIDARG, standin.Configure("fail=sometimes"));
  // From the environment it makes creation fail instead.
  ASSERT_EQ(S_OK, standin.Configure(nullptr));
  SetEnvironmentVariableW(L"HXSTANDIN_FAULT", L"fail=sometimes");
  HRESULT hr = S_OK;
  EXPECT_FALSE(CreateDirect(standin, &hr));
  EXPECT_EQ(E_INVALIDARG, hr);
  SetEnvironmentVariableW(L"HXSTANDIN_FAULT", L"null=list");
  standin.ClearLog();
  TStringList list;
  EXPECT_FALSE(EnumHelpNamespaces(list));
  EXPECT_EQ("create list:0 ~walker", standin.CallLog());
  SetEnvironmentVariableW(L"HXSTANDIN_FAULT", nullptr);
}

// A private folder for one test, removed with what it holds.
class TempFolder {
public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"hxstandin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(GetTickCount()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    for (const std::wstring& f : files_) DeleteFileW((path_ + f).c_str());
    RemoveDirectoryW(path_.c_str());
  }
  const std::wstring& Path() const { return path_; }
  std::wstring Write(const std::wstring& name, const std::string& bytes) {
    HANDLE h = CreateFileW((path_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    files_.push_back(name);
    return path_ + name;
  }
  void Keep(const std::wstring& name) { files_.push_back(name); }

private:
  std::wstring path_;
  std::vector<std::wstring> files_;
};

class StandinNamesFile : public StandinTest {
protected:
  void SetUp() override {
    StandinTest::SetUp();
    ASSERT_EQ(S_OK, standin.SetNames(nullptr));
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"HXSTANDIN_NAMESPACES", nullptr);
    StandinTest::TearDown();
  }
  TempFolder folder;
};

TEST_F(StandinNamesFile, EnvironmentNamesAFileToRead) {
  std::wstring path = folder.Write(L"names.txt", "\xEF\xBB\xBFone\r\ntwo\n\nfour\r\n");
  SetEnvironmentVariableW(L"HXSTANDIN_NAMESPACES", path.c_str());
  TStringList list;
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"one", "two", "", "four"}), list.Items());
}

TEST_F(StandinNamesFile, AMissingFileMeansNoNamespaces) {
  SetEnvironmentVariableW(L"HXSTANDIN_NAMESPACES", (folder.Path() + L"absent.txt").c_str());
  TStringList list;
  EXPECT_TRUE(IsHelpApiAvailable());
  EXPECT_FALSE(EnumHelpNamespaces(list));
  EXPECT_EQ(0, list.Count());
}

TEST_F(StandinNamesFile, ByDefaultTheFileBesideTheDll) {
  // A copy of the DLL in a folder of its own, with and without the file.
  std::wstring copy = folder.Path() + L"hxstandin.dll";
  ASSERT_TRUE(CopyFileW((Standin::ProgramFolder() + L"hxstandin.dll").c_str(), copy.c_str(), FALSE));
  folder.Keep(L"hxstandin.dll");
  Standin other(copy);
  ASSERT_TRUE(other.Loaded());
  ASSERT_NE(other.Module(), standin.Module());
  standin.RevokeClass();
  ASSERT_EQ(S_OK, other.RegisterClass());

  TStringList list;
  EXPECT_FALSE(EnumHelpNamespaces(list));
  folder.Write(L"namespaces.txt", "Beside.One\nBeside.Two\n");
  EXPECT_TRUE(EnumHelpNamespaces(list));
  EXPECT_EQ((Names{"Beside.One", "Beside.Two"}), list.Items());
  // Never asked for, the call log is not kept: it would grow with every
  // refresh of a program left open.
  EXPECT_EQ("", other.CallLog());

  other.RevokeClass();
  EXPECT_EQ(0, other.LiveObjects());
  FreeLibrary(other.Module());
}

// Registration into a private stand-in for HKEY_CLASSES_ROOT, so the
// prefix's own registration stays as the test run set it up.
class StandinRegistration : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(TheStandin().Loaded());
    key_ = L"Software\\qn3-test\\classes-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &root_, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CLASSES_ROOT, root_));
    Bind("DllRegisterServer", register_);
    Bind("DllUnregisterServer", unregister_);
    ASSERT_TRUE(register_ && unregister_);
  }
  void TearDown() override {
    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    if (root_) RegCloseKey(root_);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
  }
  template <class Fn>
  void Bind(const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(TheStandin().Module(), name)));
  }
  std::wstring Value(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    if (RegGetValueW(root_, kServer, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"<none>";
    return value;
  }

  static constexpr const wchar_t* kServer = L"CLSID\\{314111F0-A502-11D2-BBCA-00C04F8EC294}\\InprocServer32";
  std::wstring key_;
  HKEY root_ = nullptr;
  HRESULT(WINAPI* register_)() = nullptr;
  HRESULT(WINAPI* unregister_)() = nullptr;
};

TEST_F(StandinRegistration, WritesAndRemovesTheInProcessServer) {
  wchar_t dll[MAX_PATH];
  DWORD n = GetModuleFileNameW(TheStandin().Module(), dll, MAX_PATH);
  ASSERT_EQ(S_OK, register_());
  EXPECT_EQ(std::wstring(dll, n), Value(nullptr));
  EXPECT_EQ(L"Apartment", Value(L"ThreadingModel"));
  ASSERT_EQ(S_OK, unregister_());
  EXPECT_EQ(L"<none>", Value(nullptr));
  // Nothing to remove is no failure.
  EXPECT_EQ(S_OK, unregister_());
}

TEST_F(StandinRegistration, LeavesAnotherServersRegistrationAlone) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root_, kServer, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
  const wchar_t other[] = L"C:\\elsewhere\\runtime.dll";
  RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(other), sizeof other);
  RegCloseKey(key);
  EXPECT_EQ(S_OK, unregister_());
  EXPECT_EQ(other, Value(nullptr));
}

}  // namespace
}  // namespace qn3::test
