// TPrefsBase: a component that knows where its settings file lives and
// loads and saves its published properties there.
#pragma once

#include <string>
#include <string_view>

#include "base/Component.h"

namespace qn3 {

class TPrefsBase : public TComponent {
public:
  TPrefsBase(TComponent* owner, std::string subFolder, std::string ext);

  std::string ClassName() const override { return "TPrefsBase"; }
  const std::string& SubFolder() const { return subFolder_; }
  const std::string& Ext() const { return ext_; }

  // False when there is no settings file or it does not load; values read
  // before a failing line stay in the object.
  virtual bool Load();
  // False when the file cannot be written; the old file then stays as it
  // was. A folder removed since the path was located is made again. A file
  // that this object failed to load is first copied to "<file>.bad", and is
  // not replaced when that copy fails.
  virtual bool Save();

  // The settings file path, located on first use and kept, so that one run
  // tests, reads and writes the same file.
  const std::string& GetFileName();

protected:
  // The header rename consults the application's open windows.
  virtual bool IsOpenWindowName(std::string_view name) const;
  virtual std::string ProgramPath() const;

private:
  std::string subFolder_;
  std::string ext_;
  std::string fileName_;
  bool loadFailed_ = false;
};

}  // namespace qn3
