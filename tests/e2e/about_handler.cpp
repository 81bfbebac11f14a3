#include "tests/e2e/about_handler.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

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

bool IsRunning(const std::string& image) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool running = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !running; more = Process32Next(snapshot, &entry))
    running = _stricmp(entry.szExeFile, image.c_str()) == 0;
  CloseHandle(snapshot);
  return running;
}

}  // namespace

UrlHandlerStandIn::UrlHandlerStandIn(const std::string& program)
    : log_(program.substr(0, program.find_last_of('\\') + 1) + "about-url-log.txt"),
      image_(program.substr(program.find_last_of('\\') + 1)) {
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

bool UrlHandlerStandIn::WaitIdle() const {
  for (int polls = 0; polls < 1500; ++polls) {  // 15 s
    if (!IsRunning(image_)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace qn3::e2e
