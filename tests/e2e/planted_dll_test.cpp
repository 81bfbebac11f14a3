// The program run from a folder where DLLs of system names were left beside
// it, as a browser leaves files in a Downloads folder. Each is started with
// the loader's order of Windows, the program's folder before the system's
// (Wine's per-program "native,builtin" override), through one whole
// session: none of them may run, and the About box reads the system's
// version texts. Once as Wine has it, which narrows the search, and once as
// Vista, where the program loads the system's DLLs up front instead.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "about/uAbout.h"
#include "app/Ids.h"
#include "base/DllSearch.h"
#include "tests/app/PeImage.h"
#include "tests/e2e/driver/Driver.h"

namespace qn3::e2e {
namespace {

// Loaded by the program or by the system on its behalf, from Windows 7 to
// 11, and the DLLs loaded up front where the search is not narrowed, which
// Wine's system folder has (userenv, apphelp, oleacc): a copy here catches
// one loaded by bare name. Not uxtheme: Wine's own comctl32 imports it, so
// Wine loads it before the program's first line, which says nothing of
// Windows; nor setupapi, a known DLL.
const char* const kPlanted[] = {"comdlg32", "dwmapi",   "propsys", "profapi", "cryptbase", "windows.storage",
                                "textshaping", "comctl32", "version", "userenv", "apphelp",   "oleacc"};
// Wine's own user32 imports version.dll, so a planted one runs in every
// process before its first line; Windows' user32 does not. Its marker says
// nothing, and the About box's texts tell whether the program reads the
// system's version.dll or the planted one.
const std::set<std::string> kLoadedByWine = {"version"};

// The known DLLs of Windows 7 to 11, always taken from the system folder.
// A planted copy of one breaks Wine itself, which says nothing of Windows.
const std::set<std::string> kKnownDlls = {
    "advapi32", "clbcatq", "comdlg32", "difxapi", "gdi32",  "imagehlp", "imm32",   "kernel32",
    "msctf",    "msvcrt",  "normaliz", "nsi",     "ole32",  "oleaut32", "psapi",   "rpcrt4",
    "sechost",  "setupapi", "shell32", "shlwapi", "user32", "wldap32",  "ws2_32"};

const char* const kPrograms[] = {"qn3.exe", "qn3prefs.exe"};

// The Windows that Wine acts for each program (its per-program "Version"):
// as Wine has it (8.0: 7 SP1, with the narrowing), and Vista, which
// reports 6.0.
struct Pass {
  const char* name;
  const char* version;  // null: Wine's own
  bool preloads;        // the program loads kDllsLoadedByName up front
};
const Pass kPasses[] = {{"WineDefault", nullptr, false}, {"Vista", "vista", true}};
void PrintTo(const Pass& pass, std::ostream* out) { *out << pass.name; }

// Wine's load order for one program, by its file name.
std::string OverridesKey(const char* program) { return std::string("Software\\Wine\\AppDefaults\\") + program; }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// The table, and every DLL the program imports that is no known DLL.
std::set<std::string> PlantedNames() {
  std::set<std::string> names(std::begin(kPlanted), std::end(kPlanted));
  std::ifstream in(ProgramPath(), std::ios::binary);
  const std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), {}};
  const auto image = pe::ReadImage(file);
  EXPECT_TRUE(image) << ProgramPath();
  if (!image) return names;
  for (const pe::ImportedDll& dll : image->imports) {
    std::string name = Lower(dll.name);
    if (name.size() > 4 && name.ends_with(".dll")) name.resize(name.size() - 4);
    if (!kKnownDlls.contains(name)) names.insert(name);
  }
  return names;
}

std::string SystemFolder() {
  char path[MAX_PATH];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  return n && n < MAX_PATH ? std::string(path, n) : std::string();
}

// The lower-case full paths of the DLLs loaded in a process.
std::set<std::string> ModulesOf(DWORD pid) {
  std::set<std::string> paths;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return paths;
  MODULEENTRY32 module{};
  module.dwSize = sizeof(module);
  for (BOOL more = Module32First(snapshot, &module); more; more = Module32Next(snapshot, &module))
    paths.insert(Lower(module.szExePath));
  CloseHandle(snapshot);
  return paths;
}

std::vector<std::string> FilesIn(const std::string& pattern) {
  std::vector<std::string> found;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return found;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.emplace_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  return found;
}

class PlantedDll : public testing::TestWithParam<Pass> {
protected:
  void SetUp() override {
    if (const char* version = GetParam().version)
      for (const char* program : kPrograms) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, OverridesKey(program).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                       static_cast<DWORD>(std::string(version).size() + 1));
        RegCloseKey(key);
      }
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const std::string& file : FilesIn(folder_ + "\\*")) DeleteFileA((folder_ + "\\" + file).c_str());
    for (const char* program : kPrograms)
      ASSERT_TRUE(CopyFileA((BuildDir() + "\\" + program).c_str(), (folder_ + "\\" + program).c_str(), FALSE));
    for (const std::string& name : PlantedNames()) {
      ASSERT_TRUE(CopyFileA((BuildDir() + "\\planted.dll").c_str(), (folder_ + "\\" + name + ".dll").c_str(), FALSE));
      for (const char* program : kPrograms) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (OverridesKey(program) + "\\DllOverrides").c_str(), 0, nullptr,
                                  0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        RegCloseKey(key);
      }
    }
    std::ofstream(names_, std::ios::binary) << "Alpha\r\nBeta\r\n";
    options_.env = {{"HXSTANDIN_NAMESPACES", names_}};
    options_.unset_env = {"HXSTANDIN_FAULT"};
    options_.program = folder_ + "\\qn3.exe";
    options_.current_dir = folder_;
  }
  void TearDown() override {
    DeleteFileA(names_.c_str());
    for (const char* program : kPrograms) RegDeleteTreeA(HKEY_CURRENT_USER, OverridesKey(program).c_str());
  }

  // The markers the planted DLLs left: the names of those that ran.
  std::vector<std::string> Ran() const {
    std::vector<std::string> ran = FilesIn(folder_ + "\\*.ran");
    std::erase_if(ran, [](const std::string& file) { return kLoadedByWine.contains(file.substr(0, file.size() - 8)); });
    return ran;
  }

  const std::string folder_ = BuildDir() + "\\planted";
  const std::string names_ = BuildDir() + "\\e2e-planted-namespaces.txt";
  LaunchOptions options_;
};

TEST_P(PlantedDll, NoneRunsThroughASession) {
  {
    App app(options_);
    ASSERT_TRUE(app.started());
    HWND main = app.Main();
    ASSERT_NE(main, nullptr) << "no window; ran: " << testing::PrintToString(Ran());
    if (GetParam().preloads) {
      const std::set<std::string> loaded = ModulesOf(app.pid());
      for (const char* dll : kDllsLoadedByName) {
        const std::string path = Lower(SystemFolder() + "\\" + dll);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;  // not on this system
        EXPECT_TRUE(loaded.contains(path)) << dll << " not loaded from the system folder when the window shows";
      }
    }
    ASSERT_TRUE(app.Sync());
    const std::vector<std::string> names = {"Alpha", "Beta"};
    EXPECT_EQ(ComboItems(app.MainControl(ids::kCmbNamespace)), names);
    ASSERT_TRUE(Click(app.MainControl(ids::kBtnRefresh)));
    EXPECT_EQ(ComboItems(app.MainControl(ids::kCmbNamespace)), names);
    ASSERT_TRUE(Click(app.MainControl(ids::kBtnOptions)));

    PostClick(app.MainControl(ids::kBtnBrowse));
    HWND open = app.WaitDialog("Open");
    EXPECT_NE(open, nullptr) << "no file-open dialog";
    if (open) PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(open) || !IsWindowVisible(open); }));

    PostClick(app.MainControl(ids::kBtnAbout));
    HWND about = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (about = FindVisible(app.pid(), ids::kAboutWindowClass)) != nullptr; }));
    EXPECT_EQ(TextOf(Control(Control(about, ids::kGroupBox1), ids::kLblVersion)), "Version 1.1.0.40");
    PostClick(Control(about, ids::kBtnOk));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(about); }));
    ASSERT_TRUE(app.Close().has_value());
  }
  LaunchOptions prefs = options_;
  prefs.program = folder_ + "\\qn3prefs.exe";
  prefs.arguments = "--help";
  App checker(prefs);
  ASSERT_TRUE(checker.started());
  EXPECT_EQ(checker.WaitExit(), 0u);
  EXPECT_EQ(Ran(), std::vector<std::string>{}) << "planted DLLs that ran, by their markers";
}

INSTANTIATE_TEST_SUITE_P(Windows, PlantedDll, testing::ValuesIn(kPasses),
                         [](const testing::TestParamInfo<Pass>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qn3::e2e
