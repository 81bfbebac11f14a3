// TPrefs: what the program remembers between runs (the main window's left
// and top, the viewer path and the parameter template), moved between the
// settings file and the window that owns it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Component.h"
#include "settings/uPrefsBase.h"

namespace qn3 {

// What the preferences object needs of the window that owns it.
class IPrefsHost {
public:
  virtual ~IPrefsHost() = default;
  virtual TComponent& HostComponent() = 0;          // the main window as owner ("Form1"), owns the controls' names
  virtual bool IsOpenWindowName(std::string_view name) const = 0; // the application's open windows, letter case ignored
  virtual int WindowLeft() const = 0;               // restored (normal) outer position, screen pixels
  virtual int WindowTop() const = 0;
  virtual int WindowWidth() const = 0;              // outer size, for the off-screen check
  virtual int WindowHeight() const = 0;
  virtual void SetWindowTop(int top) = 0;
  virtual void SetWindowLeft(int left) = 0;
  virtual std::string ViewerText() const = 0;       // EditExe
  virtual void SetViewerText(const std::string& text) = 0;
  virtual std::string ParamsText() const = 0;       // EditParams
  virtual void SetParamsText(const std::string& text) = 0;
};

class TPrefs : public TPrefsBase {
public:
  TPrefs(IPrefsHost& host, std::string subFolder, std::string ext);

  std::string ClassName() const override { return "TPrefs"; }
  const std::vector<TPropInfo>& PublishedProperties() const override;

  // A successful load moves the window (top, then left) unless that
  // position lies wholly off every display, then fills both fields.
  bool Load() override;
  // Takes the window's position and both fields as they stand, then saves.
  bool Save() override;

  int32_t Left() const { return left_; }
  void SetLeft(int32_t v) { left_ = v; }
  int32_t Top() const { return top_; }
  void SetTop(int32_t v) { top_ = v; }
  const std::string& Viewer() const { return viewer_; }
  void SetViewer(std::string v) { viewer_ = std::move(v); }
  const std::string& Params() const { return params_; }
  void SetParams(std::string v) { params_ = std::move(v); }

protected:
  bool IsOpenWindowName(std::string_view name) const override;

private:
  IPrefsHost& host_;
  int32_t left_ = 100;
  int32_t top_ = 100;
  std::string viewer_;
  std::string params_;
};

// True when the rectangle overlaps some display, the taskbar's part
// included (always true where the platform has no displays to ask, or none
// answers).
bool IntersectsSomeDisplay(int left, int top, int width, int height);

}  // namespace qn3
