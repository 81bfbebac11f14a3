// Fuzz target for the settings reader: any bytes, read into a TPrefs as the
// program reads its file. Whatever the object then holds, loaded whole or
// in part, must write out and read back to the same values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/settings/TestHost.h"

namespace {

void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "settings fuzz: %s\n%s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qn3;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  test::TTestHost host;
  TPrefs prefs(host, "", "");
  TextToComponent(text, host.OpenWindows(), prefs);

  std::string written;
  if (!ComponentToText(prefs, written)) Fail("the object cannot be written", prefs.Name());
  for (unsigned char c : written)
    if (c > 127 || (c < 32 && c != '\r' && c != '\n')) Fail("the text is not 7-bit ASCII", written);

  test::TTestHost other;
  TPrefs copy(other, "", "");
  std::string message;
  if (!TextToComponent(written, nullptr, copy, &message)) Fail(message.c_str(), written);
  if (copy.Name() != prefs.Name() || copy.Tag() != prefs.Tag() || copy.Left() != prefs.Left() ||
      copy.Top() != prefs.Top() || copy.Viewer() != prefs.Viewer() || copy.Params() != prefs.Params())
    Fail("the values did not read back", written);
  return 0;
}
