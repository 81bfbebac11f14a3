// Stands in for the system's web browser in the test prefix: appends its
// command line to about-url-log.txt beside itself and ends at once.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char path[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string log(path, n);
  log = log.substr(0, log.find_last_of('\\') + 1) + "about-url-log.txt";
  FILE* f = std::fopen(log.c_str(), "ab");
  if (!f) return 1;
  std::fprintf(f, "%s\n", GetCommandLineA());
  std::fclose(f);
  return 0;
}
