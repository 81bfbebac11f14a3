// Finding the default viewer: every outcome of the lookup over a private
// registry tree that stands in for HKEY_CLASSES_ROOT, the file-existence
// test, and the registration the test prefix holds.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/Exception.h"
#include "help/uDefaultViewer.h"
#include "tests/help/launch_support.h"

namespace qn3 {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;

// A value to write: its type and raw bytes.
struct RegData {
  DWORD type;
  std::string bytes;
};
RegData Sz(const std::string& text) { return {REG_SZ, text + '\0'}; }
RegData ExpandSz(const std::string& text) { return {REG_EXPAND_SZ, text + '\0'}; }
RegData Dword(DWORD v) { return {REG_DWORD, std::string(reinterpret_cast<const char*>(&v), sizeof(v))}; }

// A registry tree below HKCU, deleted afterwards.
class PrivateRoot {
public:
  PrivateRoot() : path_("Software\\Qn3LaunchTest-" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr);
  }
  ~PrivateRoot() {
    if (root_) RegCloseKey(root_);
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
  }
  PrivateRoot(const PrivateRoot&) = delete;
  PrivateRoot& operator=(const PrivateRoot&) = delete;
  HKEY Get() const { return root_; }
  void Clear() const { RegDeleteTreeA(root_, nullptr); }

  // Creates the key; with data, also sets the value name to it.
  bool Put(const std::string& key, const char* name, const std::optional<RegData>& data) const {
    HKEY h = nullptr;
    if (RegCreateKeyExA(root_, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
      return false;
    LONG rc = ERROR_SUCCESS;
    if (data)
      rc = RegSetValueExA(h, name, 0, data->type, reinterpret_cast<const BYTE*>(data->bytes.data()),
                          static_cast<DWORD>(data->bytes.size()));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
  }

private:
  std::string path_;
  HKEY root_ = nullptr;
};

bool SetLastWriteYear(const std::string& path, WORD year) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = 6;
  st.wDay = 1;
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) return false;
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = SetFileTime(h, nullptr, nullptr, &ft) != FALSE;
  CloseHandle(h);
  return ok;
}

// Scratch files: a@ in a text stands for the scratch folder.
class ViewerFiles : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string& d = dir_.Path();
    ASSERT_TRUE(WriteWholeFile(d + "\\v.exe", "x"));
    ASSERT_TRUE(CreateDirectoryA((d + "\\two words").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(d + "\\two words\\v w.exe", "x"));
    ASSERT_TRUE(CreateDirectoryA((d + "\\folder.exe").c_str(), nullptr));
    // A folder literally named like an environment reference.
    ASSERT_TRUE(CreateDirectoryA((d + "\\%QN3LT%").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(d + "\\%QN3LT%\\v.exe", "x"));
    ASSERT_TRUE(WriteWholeFile(d + "\\old.exe", "x"));
    ASSERT_TRUE(SetLastWriteYear(d + "\\old.exe", 1975));
    SetEnvironmentVariableA("QN3LT", "two words");
  }
  void TearDown() override { SetEnvironmentVariableA("QN3LT", nullptr); }

  std::string At(const std::string& text) const {
    std::string s = text;
    for (size_t at; (at = s.find('@')) != std::string::npos;) s.replace(at, 1, dir_.Path());
    return s;
  }

  ScratchDir dir_{"qn3-launch-files"};
};

TEST_F(ViewerFiles, ExistenceTest) {
  const struct {
    const char* path;
    bool exists;
  } cases[] = {
      {"@\\v.exe", true},
      {"@\\two words\\v w.exe", true},
      {"@\\missing.exe", false},
      {"@\\folder.exe", false},
      {"@", false},
      // Wildcards would match v.exe as a pattern.
      {"@\\*.exe", false},
      {"@\\?.exe", false},
      {"@\\v.ex?", false},
      // No DOS date and time before 1980.
      {"@\\old.exe", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(FileExistsForViewer(At(c.path)), c.exists) << At(c.path);
}

constexpr char kAppIdKey[] = "AppID\\dexplore.exe";
constexpr char kId[] = "{11111111-2222-3333-4444-555555555555}";
const std::string kServerKey = std::string("CLSID\\") + kId + "\\LocalServer32";

struct LookupCase {
  const char* what;
  bool appIdKey;
  std::optional<RegData> appId;
  bool serverKey;
  std::optional<RegData> server;
  const char* found;  // the path found, null when nothing is
  const char* error = nullptr;  // the registry error's message, if one
};

TEST_F(ViewerFiles, LookupOutcomes) {
  const LookupCase cases[] = {
      {"plain path", true, Sz(kId), true, Sz("@\\v.exe"), "@\\v.exe"},
      {"quoted path, quotes removed", true, Sz(kId), true, Sz("\"@\\two words\\v w.exe\""), "@\\two words\\v w.exe"},
      {"quotes anywhere removed", true, Sz(kId), true, Sz("@\\\"v\".exe\""), "@\\v.exe"},
      {"path with arguments names no file", true, Sz(kId), true, Sz("\"@\\v.exe\" /automation"), nullptr},
      {"REG_EXPAND_SZ taken literally", true, Sz(kId), true, ExpandSz("@\\%QN3LT%\\v.exe"), "@\\%QN3LT%\\v.exe"},
      {"REG_EXPAND_SZ not expanded", true, Sz(kId), true, ExpandSz("@\\%QN3LT%\\v w.exe"), nullptr},
      {"text ends at its first NUL", true, Sz(std::string(kId) + '\0' + "junk"), true, Sz("@\\v.exe"), "@\\v.exe"},
      {"text without a closing NUL", true, RegData{REG_SZ, kId}, true, RegData{REG_SZ, "@\\v.exe"}, "@\\v.exe"},
      {"missing file", true, Sz(kId), true, Sz("@\\missing.exe"), nullptr},
      {"folder", true, Sz(kId), true, Sz("@\\folder.exe"), nullptr},
      {"wildcard path", true, Sz(kId), true, Sz("@\\*.exe"), nullptr},
      {"file from before 1980", true, Sz(kId), true, Sz("@\\old.exe"), nullptr},
      {"no AppID key", false, std::nullopt, true, Sz("@\\v.exe"), nullptr},
      {"no AppID value", true, std::nullopt, true, Sz("@\\v.exe"), nullptr},
      {"empty AppID", true, Sz(""), true, Sz("@\\v.exe"), nullptr},
      {"AppID of zero bytes", true, RegData{REG_SZ, ""}, true, Sz("@\\v.exe"), nullptr},
      {"AppID names no CLSID key", true, Sz("{00000000-0000-0000-0000-000000000000}"), true, Sz("@\\v.exe"),
       nullptr},
      {"no LocalServer32 key", true, Sz(kId), false, std::nullopt, nullptr},
      {"no default value", true, Sz(kId), true, std::nullopt, nullptr},
      {"AppID as a number", true, Dword(7), true, Sz("@\\v.exe"), nullptr, "Invalid data type for 'AppID'"},
      {"AppID as binary", true, RegData{REG_BINARY, "ab"}, true, Sz("@\\v.exe"), nullptr,
       "Invalid data type for 'AppID'"},
      {"default value as a number", true, Sz(kId), true, Dword(1), nullptr, "Invalid data type for ''"},
  };
  PrivateRoot root;
  ASSERT_NE(root.Get(), nullptr);
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(c.what);
    root.Clear();
    if (c.appIdKey) {
      ASSERT_TRUE(root.Put(kAppIdKey, "AppID", c.appId));
    }
    std::optional<RegData> server;
    if (c.server) server = RegData{c.server->type, At(c.server->bytes)};
    if (c.serverKey) {
      ASSERT_TRUE(root.Put(kServerKey, nullptr, server));
    }

    std::string path = "left over";
    if (c.error) {
      try {
        LocateDefaultViewerUnder(root.Get(), path);
        ADD_FAILURE() << "no registry error";
      } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), c.error);
      }
      EXPECT_EQ(path, "");
    } else {
      EXPECT_EQ(LocateDefaultViewerUnder(root.Get(), path), c.found != nullptr);
      EXPECT_EQ(path, c.found ? At(c.found) : "");
    }
  }
}

// The reader alone: existence of a value of any type, the empty text for
// what is missing, and no key open after closing.
TEST(RegistryReader, ReadsTextValuesOfOneKey) {
  PrivateRoot root;
  ASSERT_TRUE(root.Put("K", "s", Sz("text")));
  ASSERT_TRUE(root.Put("K", "e", ExpandSz("%PATH%")));
  ASSERT_TRUE(root.Put("K", "n", Dword(3)));
  ASSERT_TRUE(root.Put("K", "z", RegData{REG_SZ, ""}));
  TRegistryReader reader(root.Get());
  EXPECT_FALSE(reader.OpenKeyReadOnly("Missing"));
  ASSERT_TRUE(reader.OpenKeyReadOnly("K"));
  EXPECT_TRUE(reader.ValueExists("n"));
  EXPECT_TRUE(reader.ValueExists("z"));
  EXPECT_FALSE(reader.ValueExists("absent"));
  EXPECT_EQ(reader.ReadString("s"), "text");
  EXPECT_EQ(reader.ReadString("e"), "%PATH%");
  EXPECT_EQ(reader.ReadString("z"), "");
  EXPECT_EQ(reader.ReadString("absent"), "");
  EXPECT_EQ(reader.ReadString(""), "");
  EXPECT_THROW(reader.ReadString("n"), ERegistryException);
  reader.CloseKey();
  EXPECT_FALSE(reader.ValueExists("s"));
}

// The test prefix registers the stand-in viewer as the real one is found.
TEST(LocateDefaultViewer, FindsTheRegisteredViewerOfThePrefix) {
  const std::string installed = "C:\\Program Files\\Help Viewer\\dexplore.exe";
  if (!FileExistsForViewer(installed)) GTEST_SKIP() << "no viewer installed in this prefix";
  std::string path = "left over";
  ASSERT_TRUE(LocateDefaultViewer(path));
  EXPECT_EQ(path, installed);
}

}  // namespace
}  // namespace qn3
