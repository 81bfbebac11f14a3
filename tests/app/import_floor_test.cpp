// The shipped programs start on Windows 2000 SP4: every function they
// import is in the checked-in table of what each Windows exports, and none
// needs a newer one. The rules first, on made-up imports; then the files.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/app/ImportFloor.h"

namespace qn3::pe {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<FloorRow> Table() {
  std::vector<std::string> errors;
  auto rows = ParseFloorTable(ReadText(QN3_IMPORT_FLOOR_TABLE), errors);
  for (const std::string& e : errors) ADD_FAILURE() << e;
  return rows;
}

// The folder of the shipped programs; QN3_SHIPPED_DIR points it at others.
std::string ShippedDir() {
  const char* dir = std::getenv("QN3_SHIPPED_DIR");
  return dir && *dir ? dir : QN3_SHIPPED_DIR;
}

TEST(ImportFloor, TheRulesOnMadeUpImports) {
  const std::vector<FloorRow> table = {
      {"kernel32.dll", "GetProcAddress", Windows::NT4, 0, "sdk"},
      {"kernel32.dll", "GetFileSizeEx", Windows::W2000, 0, "sdk"},
      {"kernel32.dll", "GetTickCount64", Windows::Vista, 0, "doc"},
      {"comctl32.dll", "SetWindowSubclass", Windows::XP, 410, "doc+exports"},
  };
  struct {
    const char* dll;
    const char* function;  // empty: by ordinal
    uint16_t ordinal;
    const char* violation;  // empty: none
  } cases[] = {
      {"KERNEL32.dll", "GetProcAddress", 0, ""},
      {"kernel32.dll", "GetFileSizeEx", 0, ""},
      {"kernel32.dll", "GetTickCount64", 0, "kernel32.dll GetTickCount64: needs Windows Vista"},
      {"kernel32.dll", "GetTickCount", 0, "kernel32.dll GetTickCount: not in the table"},
      {"user32.dll", "GetProcAddress", 0, "user32.dll GetProcAddress: not in the table"},
      {"comctl32.dll", "SetWindowSubclass", 0,
       "comctl32.dll SetWindowSubclass: by name, which Windows 2000 exports by ordinal 410 only"},
      {"COMCTL32.DLL", "", 410, ""},
      {"comctl32.dll", "", 411, "comctl32.dll ordinal 411: not in the table"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.dll) + " " + c.function + " " + std::to_string(c.ordinal));
    const std::vector<ImportedDll> imports = {{c.dll, {{c.function, c.ordinal}}}};
    const std::vector<std::string> found = FloorViolations(imports, table);
    if (*c.violation) EXPECT_EQ(found, std::vector<std::string>{c.violation});
    else EXPECT_TRUE(found.empty()) << found.front();
  }
}

TEST(ImportFloor, EveryRowOfTheTableIsWellFormed) {
  std::vector<std::string> errors;
  const auto rows = ParseFloorTable(ReadText(QN3_IMPORT_FLOOR_TABLE), errors);
  EXPECT_GT(rows.size(), 100u);
  EXPECT_EQ(errors, std::vector<std::string>{});
  std::vector<std::string> bad;
  ParseFloorTable("user32.dll ShowWindow NT4 - sdk\nuser32.dll ShowWindow 2003 - sdk\nuser32.dll X NT4 0 sdk\n"
                  "user32.dll Y XP\n",
                  bad);
  EXPECT_EQ(bad.size(), 3u);
}

class ShippedProgram : public testing::TestWithParam<const char*> {};

TEST_P(ShippedProgram, ImportsNothingWindows2000Lacks) {
  const std::string path = ShippedDir() + "/" + GetParam();
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (std::getenv("QN3_REQUIRE_ARTEFACT")) FAIL() << "no " << path;
    GTEST_SKIP() << "no " << path << ": build the win32 tree first";
  }
  const std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), {}};
  const auto image = ReadImage(file);
  ASSERT_TRUE(image) << "not a PE file";
  size_t functions = 0;
  for (const ImportedDll& dll : image->imports) functions += dll.functions.size();
  EXPECT_GT(functions, 20u);  // the reader found the import tables
  for (const std::string& v : FloorViolations(image->imports, Table())) ADD_FAILURE() << path << ": " << v;
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedProgram, testing::Values("qn3.exe", "qn3prefs.exe"),
                         [](const auto& info) { return std::string(info.param).substr(0, std::string(info.param).find('.')); });

}  // namespace
}  // namespace qn3::pe
