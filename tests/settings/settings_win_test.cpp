// The settings location and the file operations on Windows: the real
// application-data folder of the prefix, share modes, and saves that fail.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/AnsiText.h"
#include "base/Text.h"
#include "settings/uAppState.h"
#include "settings/uPrefs.h"
#include "settings/uSpecialFld.h"
#include "tests/settings/TestHost.h"

namespace qn3 {
namespace {

std::string AppData() {
  std::string folder;
  EXPECT_TRUE(GetSpecialFolderPath(kCsidlAppData, folder));
  return folder;
}

std::string ReadAll(const std::string& path) {
  std::string bytes;
  return ReadSettingsFile(path, bytes) ? bytes : "<unreadable>";
}

void WriteAll(const std::string& path, const std::string& bytes) {
  ASSERT_TRUE(WriteSettingsFile(path, bytes)) << path;
}

bool IsDir(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(full);
      else DeleteFileA(full.c_str());
    } while (FindNextFileA(h, &data));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

TEST(SpecialFolder, AppDataHasNoTrailingBackslash) {
  std::string folder = AppData();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(IsDir(folder));
}

TEST(SettingsFileLocator, NamesTheFileAfterTheProgramInTheUsersFolder) {
  const std::string sub = "\\QN3LocatorTest\\Inner\\";
  const std::string root = AppData() + "\\QN3LocatorTest";
  RemoveTree(root);
  struct {
    const char* program;
    const char* name;
  } cases[] = {{"C:\\Tools\\qn3.exe", "qn3.dat"}, {"C:\\Tools\\tool.exe", "tool.dat"},
               {"C:\\Tools\\tool", "tool.dat"}, {"C:\\Tools\\my.tool.exe", "my.tool.dat"},
               {"C:\\dot.dir\\tool", "tool.dat"}, {"D:tool.exe", "tool.dat"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    EXPECT_EQ(SettingsFileLocator(sub, c.program, ".dat"), AppData() + sub + c.name);
  }
  EXPECT_TRUE(IsDir(root + "\\Inner"));  // both missing sub-folders were created
  RemoveTree(root);
}

TEST(SettingsFileLocator, FallsBackBesideTheProgramWhenTheFolderCannotBeMade) {
  const std::string root = AppData() + "\\QN3LocatorBlocked";
  RemoveTree(root);
  ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  WriteAll(root + "\\file", "a file where a folder should go");
  EXPECT_EQ(SettingsFileLocator("\\QN3LocatorBlocked\\file\\QN3\\", "C:\\Tools\\my.tool.exe", ".dat"),
            "C:\\Tools\\my.tool.dat");
  EXPECT_EQ(SettingsFileLocator("\\QN3LocatorBlocked\\file\\QN3\\", "C:\\Tools\\tool", ".dat"), "C:\\Tools\\tool.dat");
  RemoveTree(root);
}

// The user's formats set the thread's code page; the ANSI functions use the
// system's. Japanese formats on a Western system make them differ: in 932,
// "\xE9\\" would be one character and hide the folder separator.
TEST(SystemCodePage, TextFollowsItWhenTheThreadsDiffers) {
  const LCID saved = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), SORT_DEFAULT)));
  ASSERT_EQ(GetACP(), 1252u);
  ASSERT_TRUE(IsDBCSLeadByteEx(CP_THREAD_ACP, 0xE9)) << "the thread's code page is not 932";
  const std::string program = "C:\\Tools\\Caf\xE9\\qn3.exe";
  EXPECT_EQ(AnsiToUtf16("Caf\xE9"), u"Caf\u00E9");
  EXPECT_EQ(Utf16ToAnsi(u"Caf\u00E9"), "Caf\xE9");
  EXPECT_EQ(TitleFromProgramPath(program, IsAnsiLeadByte, [](std::string_view t) { return std::string(t); }), "qn3");
  EXPECT_EQ(SettingsFileLocator("\\QN3CodePageTest\\", program, ".dat"), AppData() + "\\QN3CodePageTest\\qn3.dat");
  RemoveTree(AppData() + "\\QN3CodePageTest");
  SetThreadLocale(saved);
}

class SettingsFiles : public ::testing::Test {
protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "qn3-settings-test";
    RemoveTree(dir);
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    path = dir + "\\qn3.dat";
  }
  void TearDown() override { RemoveTree(dir); }
  // Names in the folder besides the settings file: leftovers of a save.
  int OtherFiles() const {
    WIN32_FIND_DATAA data;
    int n = 0;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do n += std::string(data.cFileName) != "." && std::string(data.cFileName) != ".." &&
            std::string(data.cFileName) != "qn3.dat";
    while (FindNextFileA(h, &data));
    FindClose(h);
    return n;
  }
  std::string dir, path;
};

TEST_F(SettingsFiles, SaveReplacesTheFileWhole) {
  WriteAll(path, std::string(10000, 'x'));
  WriteAll(path, "short");
  EXPECT_EQ(ReadAll(path), "short");
  EXPECT_EQ(OtherFiles(), 0);
}

TEST_F(SettingsFiles, LoadLetsOthersReadButNotWrite) {
  WriteAll(path, "object TPrefs\r\nend\r\n");
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadAll(path), "object TPrefs\r\nend\r\n");  // a reader beside us is fine
  CloseHandle(reader);
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadAll(path), "<unreadable>");  // one that may write is not
  CloseHandle(writer);
}

TEST_F(SettingsFiles, ALockedTargetKeepsTheOldFileByteForByte) {
  const std::string old = "object TPrefs\r\n  Left = 1\r\nend\r\n";
  WriteAll(path, old);
  HANDLE lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteSettingsFile(path, "new text"));
  CloseHandle(lock);
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(OtherFiles(), 0);  // the new file was removed again
}

TEST_F(SettingsFiles, ATargetThatCannotBeReplacedFailsAndLeavesNothing) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  EXPECT_FALSE(WriteSettingsFile(path, "new text"));
  EXPECT_TRUE(IsDir(path));
  EXPECT_EQ(OtherFiles(), 0);
  EXPECT_FALSE(WriteSettingsFile(dir + "\\no such folder\\qn3.dat", "x"));
}

TEST_F(SettingsFiles, SaveAndLoadOfAComponentNeverThrow) {
  struct TBad : TComponent {
    std::string ClassName() const override { return "TBad"; }
    const std::vector<TPropInfo>& PublishedProperties() const override {
      static const std::vector<TPropInfo> table = {{"Boom", TPropType::String, false, 0, true, nullptr, nullptr,
                                                    [](const TComponent&) -> std::string { throw 1; }, nullptr}};
      return table;
    }
  } bad;
  EXPECT_FALSE(SaveComponentToFile(bad, path));
  EXPECT_EQ(ReadAll(path), "<unreadable>");  // nothing was created
  EXPECT_FALSE(LoadComponentFromFile(bad, dir + "\\missing.dat", nullptr));
}

TEST(Displays, OnlyAPlaceOnNoDisplayAtAllIsRefused) {
  const RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_TRUE(IntersectsSomeDisplay(work.left + 10, work.top + 10, 363, 139));
  EXPECT_TRUE(IntersectsSomeDisplay(work.left - 300, work.top + 10, 363, 139));  // partly off-screen
  EXPECT_TRUE(IntersectsSomeDisplay(work.right - 1, work.bottom - 1, 363, 139));
  EXPECT_FALSE(IntersectsSomeDisplay(work.right, work.top, 363, 139));
  EXPECT_FALSE(IntersectsSomeDisplay(-30000, -30000, 363, 139));
  EXPECT_FALSE(IntersectsSomeDisplay(work.left - 363, work.top, 363, 139));
}

struct TOffScreenPrefs : TPrefs {
  using TPrefs::TPrefs;
  std::string ProgramPath() const override { return "C:\\nowhere\\qn3_offscreen_test.exe"; }
};

TEST(Displays, APositionOnNoDisplayIsNotAppliedButTheTextsAre) {
  struct {
    int left, top;
    bool moves;
  } cases[] = {{-30000, 95, false}, {-300, 95, true}, {240, 180, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.left);
    test::TTestHost host;
    TOffScreenPrefs prefs(host, "\\Tarvik\\QN3\\", ".dat");
    WriteAll(prefs.GetFileName(), "object TPrefs\r\n  Left = " + std::to_string(c.left) + "\r\n  Top = " +
                                      std::to_string(c.top) + "\r\n  Viewer = 'v'\r\nend\r\n");
    EXPECT_TRUE(prefs.Load());
    EXPECT_EQ(host.left, c.moves ? c.left : 196);
    EXPECT_EQ(host.top, c.moves ? c.top : 117);
    EXPECT_EQ(host.viewer, "v");
    EXPECT_EQ(host.params, "");
    DeleteFileA(prefs.GetFileName().c_str());
  }
}

}  // namespace
}  // namespace qn3
