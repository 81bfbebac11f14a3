// The shipped program, checked as a file without running it: what kind of
// program it is and that it carries its version, manifest and main icon.
// What it imports is checked against the import floor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/app/PeImage.h"

namespace qn3::pe {
namespace {

const Resource* Find(const Image& image, const std::string& type, const std::string& name = "") {
  for (const Resource& r : image.resources) {
    if (r.type == type && (name.empty() || r.name == name)) return &r;
  }
  return nullptr;
}

const VersionBlock* Child(const VersionBlock& block, const std::string& key) {
  for (const VersionBlock& c : block.children) {
    if (c.key == key) return &c;
  }
  return nullptr;
}

class ShippedExe : public testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("QN3_SHIPPED_DIR");
    const std::string path = std::string(dir && *dir ? dir : QN3_SHIPPED_DIR) + "/qn3.exe";
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      if (std::getenv("QN3_REQUIRE_ARTEFACT")) FAIL() << "no " << path;
      GTEST_SKIP() << "no " << path << ": build the win32 tree first";
    }
    std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), {}};
    fileSize = file.size();
    auto read = ReadImage(file);
    ASSERT_TRUE(read) << "not a PE file";
    image = *read;
  }
  Image image;
  size_t fileSize = 0;
};

TEST_F(ShippedExe, IsA32BitWindowsGuiProgram) {
  EXPECT_EQ(image.machine, 0x14C);  // i386
  EXPECT_EQ(image.magic, 0x10B);    // PE32
  EXPECT_EQ(image.subsystem, 2);    // Windows GUI
}

// The bound is set in one place, the top of the build; above it this fails
// with the figure.
TEST_F(ShippedExe, StaysWithinItsSizeBound) {
  EXPECT_LE(fileSize, size_t{QN3_EXE_SIZE_BOUND})
      << "qn3.exe is " << fileSize << " bytes (" << fileSize / 1024.0 << " KiB), over its bound of "
      << QN3_EXE_SIZE_BOUND << " bytes (" << QN3_EXE_SIZE_BOUND / 1024.0 << " KiB)";
}

TEST_F(ShippedExe, CarriesItsVersion) {
  const Resource* version = Find(image, "#16");
  ASSERT_NE(version, nullptr);
  auto root = ReadVersionBlock(version->data);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->key, "VS_VERSION_INFO");
  // VS_FIXEDFILEINFO: signature, structure version, file version MS and LS.
  ASSERT_GE(root->value.size(), 16u);
  auto u32 = [&](size_t at) {
    return root->value[at] | root->value[at + 1] << 8 | root->value[at + 2] << 16 | uint32_t{root->value[at + 3]} << 24;
  };
  EXPECT_EQ(u32(0), 0xFEEF04BDu);
  EXPECT_EQ(u32(8), 0x00010001u);   // 1.1
  EXPECT_EQ(u32(12), 0x00000028u);  // 0.40
  const VersionBlock* strings = Child(*root, "StringFileInfo");
  ASSERT_NE(strings, nullptr);
  const VersionBlock* table = Child(*strings, "040904E4");
  ASSERT_NE(table, nullptr);
  const VersionBlock* fileVersion = Child(*table, "FileVersion");
  ASSERT_NE(fileVersion, nullptr);
  EXPECT_EQ(fileVersion->text, "1.1.0.40");
}

TEST_F(ShippedExe, CarriesTheX86ManifestAndTheMainIcon) {
  const Resource* manifest = Find(image, "#24", "#1");
  ASSERT_NE(manifest, nullptr);
  std::string text(manifest->data.begin(), manifest->data.end());
  // Its own identity and the common controls it asks for, both x86.
  size_t first = text.find("processorArchitecture=\"x86\"");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(text.find("processorArchitecture=\"x86\"", first + 1), std::string::npos);
  EXPECT_EQ(text.find("amd64"), std::string::npos);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  // System aware up to Windows 10 1511; per-monitor v2 from 1703 on, and
  // System again on 1607, which would take a list without a value it knows
  // as unaware and stretch the whole window.
  EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos);
  EXPECT_NE(text.find(">PerMonitorV2, System</dpiAwareness>"), std::string::npos);
  EXPECT_NE(Find(image, "#14", "MAINICON"), nullptr);
}

}  // namespace
}  // namespace qn3::pe
