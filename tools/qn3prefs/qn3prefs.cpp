// qn3prefs: tells a person who edits a settings file what the program will
// make of it, and writes the file that the program would save. It runs the
// program's own reader and writer and reads no settings of its own.
#include <cstdio>
#include <string>
#include <vector>

#include "app/uWindowlessHost.h"
#include "base/AnsiText.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "settings/uAppState.h"
#include "settings/uPrefs.h"
#include "tools/qn3prefs/Utf8.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "base/SystemLibrary.h"
#endif

namespace qn3 {
namespace {

constexpr char kUsage[] =
    "Usage:\n"
    "  qn3prefs read FILE\n"
    "      Loads FILE as the program does at start and prints seven lines:\n"
    "      'status: ok' or 'status: failed: MESSAGE', then Name, Tag, Left, Top,\n"
    "      Viewer and Params as the settings object then holds them (texts in\n"
    "      the file's notation on one line). Exit 0 loaded, 1 refused, 2 FILE\n"
    "      unreadable or wrong arguments.\n"
    "  qn3prefs write --left N --top N [--viewer TEXT] [--params TEXT] [--tag N] [--name NAME]\n"
    "      Writes to standard output the bytes the program would save for these\n"
    "      values (TEXT in UTF-8). Exit 0, or 2 for wrong arguments.\n"
    "  qn3prefs --help\n";

constexpr char kSubFolder[] = "\\Tarvik\\QN3\\";
constexpr char kExt[] = ".dat";

bool ParseInt32(const std::string& s, int32_t& value) {
  size_t i = (!s.empty() && s[0] == '-') ? 1 : 0;
  if (i == s.size() || s.size() - i > 10) return false;
  int64_t v = 0;
  for (size_t k = i; k < s.size(); ++k) {
    if (s[k] < '0' || s[k] > '9') return false;
    v = v * 10 + (s[k] - '0');
  }
  if (i == 1) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int32_t>(v);
  return true;
}

bool Utf8ToAnsi(const std::string& utf8, std::string& ansi) {
  std::u16string wide;
  if (!Utf8ToUtf16(utf8, wide)) return false;
  ansi = Utf16ToAnsi(wide);
  return true;
}

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

int Read(const std::string& fileUtf8) {
  std::string path, bytes;
  if (!Utf8ToAnsi(fileUtf8, path) || !ReadSettingsFile(path, bytes)) {
    std::fprintf(stderr, "qn3prefs: cannot read %s\n", fileUtf8.c_str());
    return 2;
  }
  TWindowlessHost host;
  TPrefs prefs(host, kSubFolder, kExt);
  std::string message;
  bool ok = TextToComponent(
      bytes, [&host](std::string_view name) { return host.IsOpenWindowName(name); }, prefs, &message);
  std::string out = ok ? "status: ok\n" : "status: failed: " + message + "\n";
  out += "Name: " + prefs.Name() + "\n";
  out += "Tag: " + std::to_string(prefs.Tag()) + "\n";
  out += "Left: " + std::to_string(prefs.Left()) + "\n";
  out += "Top: " + std::to_string(prefs.Top()) + "\n";
  out += "Viewer: " + TextValueNotation(prefs.Viewer()) + "\n";
  out += "Params: " + TextValueNotation(prefs.Params()) + "\n";
  std::fwrite(out.data(), 1, out.size(), stdout);
  return ok ? 0 : 1;
}

int Write(const std::vector<std::string>& args) {
  TWindowlessHost host;
  TPrefs prefs(host, kSubFolder, kExt);
  bool haveLeft = false, haveTop = false;
  for (size_t i = 1; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Usage();
    const std::string& option = args[i];
    const std::string& value = args[i + 1];
    int32_t number = 0;
    std::string text;
    if (option == "--left" || option == "--top" || option == "--tag") {
      if (!ParseInt32(value, number)) return Usage();
      if (option == "--left") prefs.SetLeft(number), haveLeft = true;
      if (option == "--top") prefs.SetTop(number), haveTop = true;
      if (option == "--tag") prefs.SetTag(number);
    } else if (option == "--viewer" || option == "--params") {
      if (!Utf8ToAnsi(value, text)) return Usage();
      if (option == "--viewer") prefs.SetViewer(text);
      else prefs.SetParams(text);
    } else if (option == "--name") {
      try {
        prefs.SetName(value);
      } catch (const Exception& e) {
        std::fprintf(stderr, "qn3prefs: %s\n", e.what());
        return 2;
      }
    } else {
      return Usage();
    }
  }
  if (!haveLeft || !haveTop) return Usage();
  std::string text;
  if (!ComponentToText(prefs, text)) return 2;
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}

int Run(const std::vector<std::string>& args) {
#ifdef _WIN32
  // The bytes go out exactly as formed, CR LF included.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (args.size() == 1 && args[0] == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (args.size() == 2 && args[0] == "read") return Read(args[1]);
  if (!args.empty() && args[0] == "write") return Write(args);
  return Usage();
}

}  // namespace
}  // namespace qn3

#ifdef _WIN32
// Wide arguments, so that TEXT reaches the tool as the person typed it.
int wmain(int argc, wchar_t** argv) {
  // Before anything can load a DLL: none may come from the program's folder.
  qn3::NarrowDllSearch();
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(qn3::Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(argv[i]))));
  return qn3::Run(args);
}
#else
int main(int argc, char** argv) { return qn3::Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
