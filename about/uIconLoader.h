// TIconLoader: takes an icon handle from a file. It never destroys a
// handle; whoever takes Handle() owns it and destroys it with DestroyIcon.
#pragma once

#include <windows.h>

#include <string>

namespace qn3 {

class TIconLoader {
public:
  explicit TIconLoader(HINSTANCE instance) : instance_(instance) {}
  TIconLoader(const TIconLoader&) = delete;
  TIconLoader& operator=(const TIconLoader&) = delete;

  // Takes the icon at that index of the file, replacing (not destroying)
  // any earlier handle; returns HasIcon().
  bool LoadFromFile(const std::string& fileName, UINT index);

  HINSTANCE Instance() const { return instance_; }
  HICON Handle() const { return handle_; }
  bool HasIcon() const { return handle_ != nullptr; }

private:
  HINSTANCE instance_;
  HICON handle_ = nullptr;
};

}  // namespace qn3
