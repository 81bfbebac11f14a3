// A stand-in main window for the settings tests: named Form1, owning the
// main window's component names, recording what the settings do to it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/Ids.h"
#include "base/Text.h"
#include "settings/uAppState.h"
#include "settings/uPrefs.h"

namespace qn3::test {

class TTestHost : public IPrefsHost {
public:
  TTestHost() : form(nullptr, "TForm1", ids::kMainFormName) {
    for (const char* name : ids::kMainComponentNames)
      controls.push_back(std::make_unique<TNamedComponent>(&form, "TControl", name));
  }
  TComponent& HostComponent() override { return form; }
  bool IsOpenWindowName(std::string_view name) const override {
    for (const std::string& w : openWindows)
      if (SameTextAscii(w, name)) return true;
    return false;
  }
  int WindowLeft() const override { return left; }
  int WindowTop() const override { return top; }
  int WindowWidth() const override { return width; }
  int WindowHeight() const override { return height; }
  void SetWindowTop(int v) override { top = v, calls.push_back("top"); }
  void SetWindowLeft(int v) override { left = v, calls.push_back("left"); }
  std::string ViewerText() const override { return viewer; }
  void SetViewerText(const std::string& v) override { viewer = v, calls.push_back("viewer"); }
  std::string ParamsText() const override { return params; }
  void SetParamsText(const std::string& v) override { params = v, calls.push_back("params"); }

  WindowNameTest OpenWindows() const {
    return [this](std::string_view n) { return IsOpenWindowName(n); };
  }

  TNamedComponent form;
  std::vector<std::unique_ptr<TNamedComponent>> controls;
  std::vector<std::string> openWindows{"Form1"};
  std::vector<std::string> calls;
  int left = 196, top = 117, width = 363, height = 139;
  std::string viewer = "designed.exe", params = "designed params";
};

}  // namespace qn3::test
