#include "tests/e2e/about_handler.h"

#include <cstdio>

namespace qn3::e2e {

namespace {

constexpr char kCommandKey[] = "https\\shell\\open\\command";

std::optional<std::string> ReadDefault(HKEY key) {
  char value[2048];
  DWORD size = sizeof value, type = 0;
  if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return std::nullopt;
  return std::string(value, size > 0 ? size - 1 : 0);
}

bool WriteDefault(const std::string& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kCommandKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace

UrlHandlerStandIn::UrlHandlerStandIn(const std::string& program)
    : log_(program.substr(0, program.find_last_of('\\') + 1) + "about-url-log.txt") {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kCommandKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    previous_ = ReadDefault(key);
    RegCloseKey(key);
  }
  ClearLog();
  registered_ = WriteDefault("\"" + program + "\" \"%1\"");
}

UrlHandlerStandIn::~UrlHandlerStandIn() {
  if (registered_ && previous_) WriteDefault(*previous_);
  ClearLog();
}

std::string UrlHandlerStandIn::Log() const {
  std::string text;
  if (FILE* f = std::fopen(log_.c_str(), "rb")) {
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
    std::fclose(f);
  }
  return text;
}

void UrlHandlerStandIn::ClearLog() const { DeleteFileA(log_.c_str()); }

}  // namespace qn3::e2e
