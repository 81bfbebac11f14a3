// The preferences object against a stand-in window and real files: in the
// XDG folder of a scratch directory natively, in the prefix's application
// data under Wine. Each test names its own program file, so its own file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "tests/settings/TestHost.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qn3 {
namespace {

using test::TTestHost;

std::string ReadAll(const std::string& path) {
  std::string bytes;
  if (!ReadSettingsFile(path, bytes)) return "<missing>";
  return bytes;
}

void WriteAll(const std::string& path, const std::string& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A TPrefs whose program file is named after the running test.
class TTestPrefs : public TPrefs {
public:
  using TPrefs::TPrefs;
  std::string ProgramPath() const override {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
#ifdef _WIN32
    return "C:\\nowhere\\" + name + ".exe";
#else
    return "/nowhere/" + name;
#endif
  }
};

class PrefsFiles : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
#ifndef _WIN32
    static char dir[] = "/tmp/qn3-prefs-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    setenv("XDG_CONFIG_HOME", dir, 1);
#endif
  }
  void SetUp() override {
    path = TTestPrefs(host, kSub, ".dat").GetFileName();
    std::remove(path.c_str());
    std::remove((path + ".bad").c_str());
  }
  void TearDown() override {
    std::remove(path.c_str());
    std::remove((path + ".bad").c_str());
  }

  static constexpr char kSub[] = "\\Tarvik\\QN3\\";
  TTestHost host;
  std::string path;
};

TEST_F(PrefsFiles, FirstRunLoadsNothingAndSavesTheWindowUntrimmed) {
  const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  EXPECT_NE(path.find("Tarvik"), std::string::npos);
  EXPECT_EQ(path.substr(path.size() - name.size() - 4), name + ".dat");
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_FALSE(prefs.Load());
  EXPECT_TRUE(host.calls.empty());
  host.left = 240, host.top = 180, host.viewer = " C:\\v.exe ", host.params = "";
  EXPECT_TRUE(prefs.Save());
  EXPECT_EQ(ReadAll(path), "object TPrefs\r\n  Left = 240\r\n  Top = 180\r\n  Viewer = ' C:\\v.exe '\r\nend\r\n");
  EXPECT_EQ(ReadAll(path + ".bad"), "<missing>");
}

TEST_F(PrefsFiles, LoadMovesTheWindowTopFirstThenFillsTheFields) {
  WriteAll(path, "object TPrefs\r\n  Top = 95\r\n  Left = 240\r\n  Params = 'p'\r\nend\r\n");
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_TRUE(prefs.Load());
  EXPECT_EQ(host.calls, (std::vector<std::string>{"top", "left", "viewer", "params"}));
  EXPECT_EQ(host.left, 240);
  EXPECT_EQ(host.top, 95);
  EXPECT_EQ(host.viewer, "");  // no Viewer line: the constructed empty text
  EXPECT_EQ(host.params, "p");
}

TEST_F(PrefsFiles, MissingPositionLinesMoveTheWindowTo100) {
  WriteAll(path, "object TPrefs\r\nend\r\n");
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_TRUE(prefs.Load());
  EXPECT_EQ(host.left, 100);
  EXPECT_EQ(host.top, 100);
}

TEST_F(PrefsFiles, FailedLoadAppliesNothingAndKeepsTheFileAsBad) {
  const std::string edited = "object TPrefs\r\n  Top = 5\r\n  Width = 3\r\nend\r\n";
  WriteAll(path, edited);
  WriteAll(path + ".bad", "older copy");
  {
    TTestPrefs prefs(host, kSub, ".dat");
    EXPECT_FALSE(prefs.Load());
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(prefs.Top(), 5);  // read before the failing line, overwritten by the save
    EXPECT_TRUE(prefs.Save());
    EXPECT_EQ(ReadAll(path + ".bad"), edited);
    EXPECT_EQ(ReadAll(path), "object TPrefs\r\n  Left = 196\r\n  Top = 117\r\n  Viewer = 'designed.exe'\r\n"
                             "  Params = 'designed params'\r\nend\r\n");
    // A second save replaces the good file only.
    host.left = 1;
    EXPECT_TRUE(prefs.Save());
    EXPECT_EQ(ReadAll(path + ".bad"), edited);
  }
  // The next run loads the file it saved and keeps no new copy.
  TTestPrefs next(host, kSub, ".dat");
  EXPECT_TRUE(next.Load());
  EXPECT_TRUE(next.Save());
  EXPECT_EQ(ReadAll(path + ".bad"), edited);
}

TEST_F(PrefsFiles, HandEditedNameAndTagAreWrittenAgain) {
  WriteAll(path, "object Form1: TPrefs\r\n  Tag = 7\r\n  Left = 1\r\nend\r\n");
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_TRUE(prefs.Load());
  host.left = 10, host.top = 20, host.viewer = host.params = "";
  EXPECT_TRUE(prefs.Save());
  EXPECT_EQ(ReadAll(path), "object Form1_1: TPrefs\r\n  Tag = 7\r\n  Left = 10\r\n  Top = 20\r\nend\r\n");
}

TEST_F(PrefsFiles, NoCopyAsBadMeansNoSave) {
  const std::string edited = "object TPrefs\r\n  Width = 3\r\nend\r\n";
  WriteAll(path, edited);
  std::filesystem::create_directory(path + ".bad");  // a copy cannot go there
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_FALSE(prefs.Load());
  EXPECT_FALSE(prefs.Save());
  EXPECT_EQ(ReadAll(path), edited);
  std::filesystem::remove(path + ".bad");
}

TEST_F(PrefsFiles, SaveMakesAgainTheFolderRemovedDuringTheRun) {
  // A folder of its own: others use the program's.
  TTestPrefs prefs(host, "\\Tarvik\\QN3Removed\\Inner\\", ".dat");
  const std::filesystem::path file = prefs.GetFileName();
  const std::filesystem::path root = file.parent_path().parent_path();
  ASSERT_EQ(root.filename(), "QN3Removed");
  std::filesystem::remove_all(root);
  EXPECT_TRUE(prefs.Save());
  EXPECT_NE(ReadAll(file.string()), "<missing>");
  std::filesystem::remove_all(root);
}

#ifndef _WIN32
TEST_F(PrefsFiles, OneRunKeepsTheFirstPathItLocated) {
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_FALSE(prefs.Load());
  // The per-user folder changes between start and exit.
  std::string before = std::getenv("XDG_CONFIG_HOME");
  char other[] = "/tmp/qn3-prefs-other-XXXXXX";
  ASSERT_NE(mkdtemp(other), nullptr);
  setenv("XDG_CONFIG_HOME", other, 1);
  EXPECT_TRUE(prefs.Save());
  setenv("XDG_CONFIG_HOME", before.c_str(), 1);
  EXPECT_EQ(prefs.GetFileName(), path);
  EXPECT_NE(ReadAll(path), "<missing>");
}

TEST_F(PrefsFiles, UnwritableFolderFailsTheSaveQuietly) {
  WriteAll(path, "object TPrefs\r\n  Left = 3\r\nend\r\n");
  TTestPrefs prefs(host, kSub, ".dat");
  EXPECT_TRUE(prefs.Load());
  std::string dir = path.substr(0, path.rfind('/'));
  ASSERT_EQ(::chmod(dir.c_str(), 0500), 0);
  bool saved = prefs.Save();
  ::chmod(dir.c_str(), 0700);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(path), "object TPrefs\r\n  Left = 3\r\nend\r\n");
}
#endif

}  // namespace
}  // namespace qn3
