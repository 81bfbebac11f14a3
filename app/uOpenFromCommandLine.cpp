#include "app/uOpenFromCommandLine.h"

#include <objbase.h>

#include <algorithm>
#include <string>

#include "app/uWindowlessHost.h"
#include "base/AnsiText.h"
#include "base/Exception.h"
#include "base/Text.h"
#include "help/uCommandLine.h"
#include "help/uDefaultViewer.h"
#include "help/uHelpCatalogue.h"
#include "help/uOleMessages.h"
#include "help/uOpenNamespace.h"
#include "settings/uPrefs.h"
#include "ui/Application.h"
#include "ui/MessageBox.h"

namespace qn3 {
namespace {

struct TViewer {
  std::string exe, params;
};

// The two fields as the window would hold them after its settings load:
// empty and the default template without a settings file.
TViewer SavedViewer() {
  TWindowlessHost host("", kDefaultParams);
  TPrefs prefs(host, "\\Tarvik\\QN3\\", ".dat");
  prefs.Load();
  return {host.ViewerText(), host.ParamsText()};
}

std::string LaunchError(int code) {
  std::string message = code > 0 ? SystemMessage(static_cast<uint32_t>(code)) : std::string();
  return message.empty() ? "error " + std::to_string(code) : message;
}

// Why the namespace could not be opened; empty once the viewer started.
std::string Open(const std::string& name) {
  if (!IsHelpApiAvailable()) return "Html Help2 API is not available or corrupted";
  TStringList list;
  try {
    EnumHelpNamespaces(list);
  } catch (const std::exception& e) {
    return "the namespaces cannot be read: " + ErrorMessage(e);
  }
  const auto& names = list.Items();
  if (std::find(names.begin(), names.end(), name) == names.end()) return "no namespace of that name is registered";
  TViewer viewer = SavedViewer();
  // As at the window's first show: the registered viewer, without asking.
  if (Trim(viewer.exe).empty()) {
    try {
      std::string path;
      if (LocateDefaultViewer(path)) viewer = {path, kDefaultParams};
    } catch (const std::exception& e) {
      return "the default viewer cannot be found: " + ErrorMessage(e);
    }
  }
  if (Trim(viewer.exe).empty()) return "no viewer program is set, and none is registered";
  int error = 0;
  if (OpenNamespace(name, viewer.exe, viewer.params, &error)) return {};
  return "the viewer \"" + Trim(viewer.exe) + "\" cannot be started: " + LaunchError(error);
}

std::string UsageText() {
  const std::string path = ui::ProgramPath();
  const size_t slash = FindLastOf(path, "\\/:", IsAnsiLeadByte);
  const std::string program = slash == std::string::npos ? path : path.substr(slash + 1);
  return "Usage: " + program + " [/open NAME]\r\n\r\n" +
         "/open NAME opens the Html Help2 namespace NAME in the viewer set in the options, "
         "without the program's window. -open does the same. A NAME with blanks goes in quotation marks.\r\n\r\n"
         "Without arguments the program starts with its window.";
}

// COM for the thread while it lives, as the application object has it:
// a failure is left to the runtime probe.
class ComScope {
public:
  ComScope() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialized_) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

private:
  bool initialized_;
};

// The application object, and its window, only for a box to show.
int Report(HINSTANCE instance, ui::MsgKind kind, const std::string& text, int exitCode) {
  ui::TApplication app(instance);
  ui::MessageDlgUnderMouse(app, kind, text, ui::mbOK);
  return exitCode;
}

}  // namespace

int RunStartRequest(HINSTANCE instance, const TStartRequest& request) {
  if (request.kind != TStartKind::Open) return Report(instance, ui::MsgKind::Information, UsageText(), kExitUsage);
  std::string why;
  {
    ComScope com;
    why = Open(request.name);
  }
  if (why.empty()) return kExitOpened;
  const std::string text = "Cannot open the namespace \"" + request.name + "\": " + why;
  return Report(instance, ui::MsgKind::Error, WithClosingPeriod(text, IsAnsiLeadByte), kExitOpenFailed);
}

}  // namespace qn3
