#include "tests/help/catalogue_standin.h"

#include <objbase.h>

#include "help/MSHelpServices_TLB.h"

namespace qn3::test {

std::wstring Standin::ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

template <class Fn>
static void Bind(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

Standin::Standin(const std::wstring& path) {
  module_ = LoadLibraryW((path.empty() ? ProgramFolder() + L"hxstandin.dll" : path).c_str());
  if (!module_) return;
  Bind(module_, "HxStandinConfigure", configure_);
  Bind(module_, "HxStandinSetNames", setNames_);
  Bind(module_, "HxStandinLiveObjects", liveObjects_);
  Bind(module_, "HxStandinLiveStrings", liveStrings_);
  Bind(module_, "HxStandinCallLog", callLog_);
  Bind(module_, "HxStandinClearLog", clearLog_);
  Bind(module_, "DllGetClassObject", getClassObject_);
  if (!configure_ || !setNames_ || !liveObjects_ || !liveStrings_ || !callLog_ || !clearLog_ || !getClassObject_)
    module_ = nullptr;
}

std::string Standin::CallLog() const {
  std::string log(static_cast<size_t>(callLog_(nullptr, 0)) + 1, '\0');
  log.resize(static_cast<size_t>(callLog_(log.data(), static_cast<LONG>(log.size()))));
  return log;
}

HRESULT Standin::GetClassObject(REFIID iid, void** object) const {
  return getClassObject_(CLSID_HxRegistryWalker, iid, object);
}

HRESULT Standin::RegisterClass() {
  IUnknown* factory = nullptr;
  HRESULT hr = GetClassObject(IID_IUnknown, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = CoRegisterClassObject(CLSID_HxRegistryWalker, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  factory->Release();
  return hr;
}

void Standin::RevokeClass() {
  if (cookie_) CoRevokeClassObject(cookie_);
  cookie_ = 0;
}

Standin& TheStandin() {
  static Standin standin;
  return standin;
}

void StandinTest::SetUp() {
  ASSERT_TRUE(standin.Loaded()) << "hxstandin.dll not found beside the test program";
  comInitialised_ = SUCCEEDED(CoInitialize(nullptr));
  ASSERT_TRUE(comInitialised_);
  ASSERT_EQ(S_OK, standin.Configure(""));
  ASSERT_EQ(S_OK, standin.SetNames(""));
  ASSERT_EQ(S_OK, standin.RegisterClass());
  standin.ClearLog();
}

void StandinTest::TearDown() {
  if (standin.Loaded()) {
    standin.RevokeClass();
    EXPECT_EQ(0, standin.LiveObjects()) << "objects left alive; calls: " << standin.CallLog();
    EXPECT_EQ(0, standin.LiveStrings()) << "strings left unfreed; calls: " << standin.CallLog();
    standin.Configure(nullptr);
    standin.SetNames(nullptr);
  }
  if (comInitialised_) CoUninitialize();
}

}  // namespace qn3::test
