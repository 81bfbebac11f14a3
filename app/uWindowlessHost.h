// The main window as the settings see it at start, for a program run
// without it: named Form1, owning its controls' names and the only open
// window, so a settings file reads as it does at a normal start. It keeps
// the two texts that a load gives it, and has no position.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/Ids.h"
#include "base/Text.h"
#include "settings/uPrefs.h"

namespace qn3 {

class TWindowlessHost final : public IPrefsHost {
public:
  // The texts the window's two fields hold before a load.
  explicit TWindowlessHost(std::string viewer = {}, std::string params = {})
      : form_(nullptr, "TForm1", ids::kMainFormName), viewer_(std::move(viewer)), params_(std::move(params)) {
    for (const char* name : ids::kMainComponentNames)
      controls_.push_back(std::make_unique<TNamedComponent>(&form_, "TControl", name));
  }
  TComponent& HostComponent() override { return form_; }
  bool IsOpenWindowName(std::string_view name) const override { return SameTextAscii(name, form_.Name()); }
  int WindowLeft() const override { return 0; }
  int WindowTop() const override { return 0; }
  int WindowWidth() const override { return 0; }
  int WindowHeight() const override { return 0; }
  void SetWindowTop(int) override {}
  void SetWindowLeft(int) override {}
  std::string ViewerText() const override { return viewer_; }
  void SetViewerText(const std::string& text) override { viewer_ = text; }
  std::string ParamsText() const override { return params_; }
  void SetParamsText(const std::string& text) override { params_ = text; }

private:
  TNamedComponent form_;
  std::vector<std::unique_ptr<TNamedComponent>> controls_;
  std::string viewer_, params_;
};

}  // namespace qn3
