// File and folder calls of the host build, for the checker tool and tests.
// The per-user folder is the XDG configuration folder; there are no share
// modes, and rename() gives the one-step replace.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/uAppState.h"

namespace qn3 {
namespace fs = std::filesystem;

namespace {

std::string ConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  return {};
}

// "name.ext" with the extension replaced; the name is after the last "/".
std::string SettingsName(const std::string& programPath, const std::string& ext) {
  std::string name = programPath.substr(programPath.find_last_of('/') + 1);
  size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name + ext;
}

}  // namespace

std::string SettingsFileLocator(const std::string& subFolder, const std::string& programPath, const std::string& ext) {
  std::string name = SettingsName(programPath, ext);
  std::string base = ConfigFolder();
  if (!base.empty()) {
    std::string dir = base + subFolder;
    for (char& c : dir)
      if (c == '\\') c = '/';
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (fs::is_directory(dir, ec)) return dir + (dir.back() == '/' ? "" : "/") + name;
  }
  size_t slash = programPath.find_last_of('/');
  return (slash == std::string::npos ? std::string() : programPath.substr(0, slash + 1)) + name;
}

std::string ProgramFilePath() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("qn3prefs") : p.string();
}

bool ReadSettingsFile(const std::string& path, std::string& bytes) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  bytes.clear();
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteSettingsFile(const std::string& path, std::string_view bytes) {
  std::string temp = path + ".new" + std::to_string(::getpid());
  FILE* f = std::fopen(temp.c_str(), "wbx");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(::fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temp.c_str());
  return ok;
}

bool ForceFileFolder(const std::string& path) {
  fs::path dir = fs::path(path).parent_path();
  std::error_code ec;
  if (dir.empty()) return true;
  fs::create_directories(dir, ec);
  return fs::is_directory(dir, ec);
}

bool SettingsFileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec) && !fs::is_directory(path, ec);
}

bool CopySettingsFile(const std::string& path, const std::string& copyPath) {
  std::error_code ec;
  return fs::copy_file(path, copyPath, fs::copy_options::overwrite_existing, ec) && !ec;
}

}  // namespace qn3
