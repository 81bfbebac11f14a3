// The stand-in runtime as the catalogue tests drive it: hxstandin.dll
// loaded from beside the test program, its class object registered for
// the walker's class, its test exports, and a fixture that proves after
// every test that no object or string it handed out is still alive.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace qn3::test {

class Standin {
public:
  // Loads the DLL from the given path; empty means beside the test program.
  explicit Standin(const std::wstring& path = {});

  bool Loaded() const { return module_ != nullptr; }
  HMODULE Module() const { return module_; }
  HRESULT Configure(const char* faultText) const { return configure_(faultText); }
  HRESULT SetNames(const char* utf8Names) const { return setNames_(utf8Names); }
  long LiveObjects() const { return liveObjects_(); }
  long LiveStrings() const { return liveStrings_(); }
  std::string CallLog() const;
  void ClearLog() const { clearLog_(); }
  HRESULT GetClassObject(REFIID iid, void** object) const;

  // Makes CoCreateInstance in this apartment find this DLL's class object.
  HRESULT RegisterClass();
  void RevokeClass();

  static std::wstring ProgramFolder();

private:
  HMODULE module_ = nullptr;
  HRESULT(WINAPI* configure_)(const char*) = nullptr;
  HRESULT(WINAPI* setNames_)(const char*) = nullptr;
  LONG(WINAPI* liveObjects_)() = nullptr;
  LONG(WINAPI* liveStrings_)() = nullptr;
  LONG(WINAPI* callLog_)(char*, LONG) = nullptr;
  void(WINAPI* clearLog_)() = nullptr;
  HRESULT(WINAPI* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  DWORD cookie_ = 0;
};

// The DLL beside the test program; loaded once, it stays.
Standin& TheStandin();

// COM initialised, the stand-in registered and well-behaved with no names.
class StandinTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  Standin& standin = TheStandin();
  bool comInitialised_ = false;
};

}  // namespace qn3::test
