#include "settings/uPrefs.h"

namespace qn3 {
namespace {

const TPrefs& AsPrefs(const TComponent& c) { return static_cast<const TPrefs&>(c); }
TPrefs& AsPrefs(TComponent& c) { return static_cast<TPrefs&>(c); }

}  // namespace

TPrefs::TPrefs(IPrefsHost& host, std::string subFolder, std::string ext)
    : TPrefsBase(&host.HostComponent(), std::move(subFolder), std::move(ext)), host_(host) {}

const std::vector<TPropInfo>& TPrefs::PublishedProperties() const {
  static const std::vector<TPropInfo> table = [this] {
    std::vector<TPropInfo> t = TPrefsBase::PublishedProperties();
    t.push_back({"Left", TPropType::Integer, false, 0, true, [](const TComponent& c) { return AsPrefs(c).Left(); },
                 [](TComponent& c, int32_t v) { AsPrefs(c).SetLeft(v); }, nullptr, nullptr});
    t.push_back({"Top", TPropType::Integer, false, 0, true, [](const TComponent& c) { return AsPrefs(c).Top(); },
                 [](TComponent& c, int32_t v) { AsPrefs(c).SetTop(v); }, nullptr, nullptr});
    t.push_back({"Viewer", TPropType::String, false, 0, true, nullptr, nullptr,
                 [](const TComponent& c) { return AsPrefs(c).Viewer(); },
                 [](TComponent& c, const std::string& v) { AsPrefs(c).SetViewer(v); }});
    t.push_back({"Params", TPropType::String, false, 0, true, nullptr, nullptr,
                 [](const TComponent& c) { return AsPrefs(c).Params(); },
                 [](TComponent& c, const std::string& v) { AsPrefs(c).SetParams(v); }});
    return t;
  }();
  return table;
}

bool TPrefs::IsOpenWindowName(std::string_view name) const { return host_.IsOpenWindowName(name); }

bool TPrefs::Load() {
  try {
    if (!TPrefsBase::Load()) return false;
    // A position on a display that is gone would leave the window unreachable.
    if (IntersectsSomeDisplay(left_, top_, host_.WindowWidth(), host_.WindowHeight())) {
      host_.SetWindowTop(top_);
      host_.SetWindowLeft(left_);
    }
    host_.SetViewerText(viewer_);
    host_.SetParamsText(params_);
    return true;
  } catch (...) {
    return false;
  }
}

bool TPrefs::Save() {
  try {
    top_ = host_.WindowTop();
    left_ = host_.WindowLeft();
    viewer_ = host_.ViewerText();
    params_ = host_.ParamsText();
  } catch (...) {
    return false;
  }
  return TPrefsBase::Save();
}

}  // namespace qn3
