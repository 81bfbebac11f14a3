#include "settings/uPrefsBase.h"

#include "settings/uAppState.h"

namespace qn3 {

TPrefsBase::TPrefsBase(TComponent* owner, std::string subFolder, std::string ext)
    : TComponent(owner), subFolder_(std::move(subFolder)), ext_(std::move(ext)) {}

bool TPrefsBase::IsOpenWindowName(std::string_view) const { return false; }

std::string TPrefsBase::ProgramPath() const { return ProgramFilePath(); }

const std::string& TPrefsBase::GetFileName() {
  if (fileName_.empty()) fileName_ = SettingsFileLocator(subFolder_, ProgramPath(), ext_);
  return fileName_;
}

bool TPrefsBase::Load() {
  try {
    const std::string& path = GetFileName();
    if (!SettingsFileExists(path)) return false;
    bool ok = LoadComponentFromFile(*this, path, [this](std::string_view n) { return IsOpenWindowName(n); });
    if (!ok) loadFailed_ = true;
    return ok;
  } catch (...) {
    return false;
  }
}

bool TPrefsBase::Save() {
  try {
    const std::string& path = GetFileName();
    if (loadFailed_ && SettingsFileExists(path)) {
      // The person's hand edits must survive this save somewhere.
      if (!CopySettingsFile(path, path + ".bad")) return false;
      loadFailed_ = false;
    }
    // The path is fixed for the run, but its folder may have been removed
    // since it was located.
    ForceFileFolder(path);
    return SaveComponentToFile(*this, path);
  } catch (...) {
    return false;
  }
}

}  // namespace qn3
