// Version lookups and icon loading on real files: the built program, a
// binary without a translation list, and a plain text file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "about/uIconLoader.h"
#include "about/uVerInfo.h"

namespace qn3 {
namespace {

// Every program of the build sits beside this test.
std::string BuildFile(const char* name) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

std::string TextFile() {
  std::string path = BuildFile("about_plain.txt");
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fputs("not a program\r\n", f);
    std::fclose(f);
  }
  return path;
}

class ProgramFile : public testing::Test {
protected:
  void SetUp() override {
    if (GetFileAttributesA(exe_.c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "qn3.exe is not built in this tree";
  }
  const std::string exe_ = BuildFile("qn3.exe");
};

TEST_F(ProgramFile, OwnKeysAsThePropertiesShowThem) {
  struct Case {
    TVersionKey key;
    const char* value;
  };
  for (const Case& c : {Case{TVersionKey::FileVersion, "1.1.0.40"},
                        Case{TVersionKey::ProductName, "QN3 Helper"},
                        Case{TVersionKey::CompanyName, "Tarvik"},
                        Case{TVersionKey::LegalCopyright, "Copyright \xA9 2026 Tarvik"},
                        Case{TVersionKey::InternalName, "qn3"},
                        Case{TVersionKey::OriginalFilename, "qn3.exe"},
                        Case{TVersionKey::ProductVersion, "1.1.0.0"},
                        // Stored as "URL": names are matched without regard to case.
                        Case{TVersionKey::Url, "https://tarvik.example/qn3/"}}) {
    std::string value;
    EXPECT_TRUE(GetVersionItem(exe_, c.key, value)) << kVersionKeyNames[static_cast<int>(c.key)];
    EXPECT_EQ(value, c.value);
  }
}

TEST_F(ProgramFile, EmptyAndMissingKeys) {
  std::string value = "old";
  EXPECT_TRUE(GetVersionItem(exe_, TVersionKey::LegalTrademarks, value));
  EXPECT_EQ(value, "");
  value = "old";
  EXPECT_FALSE(GetVersionItem(exe_, TVersionKey::SpecialBuild, value));
  EXPECT_EQ(value, "");
}

TEST_F(ProgramFile, TranslationNamesTheWesternTable) {
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(exe_.c_str(), &unused);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(exe_.c_str(), 0, size, block.data()));
  void* entry = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &entry, &length));
  ASSERT_GE(length, 4u);
  const auto* pair = static_cast<const WORD*>(entry);
  EXPECT_EQ(TranslationText(pair[0], pair[1]), "040904E4");
}

TEST_F(ProgramFile, HasItsIcon) {
  TIconLoader loader(GetModuleHandleA(nullptr));
  EXPECT_TRUE(loader.LoadFromFile(exe_, 0));
  HICON icon = loader.Handle();
  ASSERT_NE(icon, nullptr);
  // A second load replaces the handle without destroying the first.
  EXPECT_TRUE(loader.LoadFromFile(exe_, 0));
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  DestroyIcon(loader.Handle());
}

TEST(ForeignFiles, LookupsFailWithEmptyValue) {
  struct Case {
    std::string file;
    const char* key;
  };
  for (const Case& c : {Case{TextFile(), "FileVersion"},
                        Case{BuildFile("no such file.exe"), "FileVersion"},
                        // Its table is 040904E4, but without a translation
                        // list only 00000000 is searched.
                        Case{BuildFile("about_no_translation.exe"), "FileVersion"},
                        Case{BuildFile("about_no_translation.exe"), "ProductName"}}) {
    std::string value = "old text";
    EXPECT_FALSE(GetVersionString(c.file, c.key, value)) << c.file << " " << c.key;
    EXPECT_EQ(value, "");
  }
}

TEST(ForeignFiles, UntranslatedTableIsThereButNotSearched) {
  // The table exists under its own name, so a failed lookup above comes from
  // the missing translation list and not from a broken fixture.
  const std::string file = BuildFile("about_no_translation.exe");
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &unused);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));
  void* entry = nullptr;
  UINT length = 0;
  EXPECT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\FileVersion", &entry, &length));
  EXPECT_FALSE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &entry, &length));
}

TEST(ForeignFiles, NoIcon) {
  for (const std::string& file : {TextFile(), BuildFile("about_no_translation.exe")}) {
    TIconLoader loader(GetModuleHandleA(nullptr));
    EXPECT_FALSE(loader.LoadFromFile(file, 0)) << file;
    EXPECT_EQ(loader.Handle(), nullptr);
  }
}

}  // namespace
}  // namespace qn3
