// The shell's special folders by CSIDL number.
#pragma once

#include <string>

namespace qn3 {

inline constexpr int kCsidlAppData = 0x1A;  // the roaming per-user application-data folder

// The folder's current path, without a trailing backslash. True only when
// the shell answers S_OK.
bool GetSpecialFolderPath(int csidl, std::string& path);

}  // namespace qn3
