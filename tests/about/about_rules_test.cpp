// The About box's rules that need no window: version lookup against a
// scripted block, centring, anchors and the widening overflow.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "about/uDlgUtils.h"
#include "about/uVerInfo.h"

namespace qn3 {
namespace {

TEST(VersionText, TranslationIsEightUpperCaseDigits) {
  struct Case {
    uint16_t language, codePage;
    const char* text;
  };
  for (const Case& c : {Case{0x0409, 0x04E4, "040904E4"}, Case{0, 0, "00000000"},
                        Case{0xabcd, 0xef01, "ABCDEF01"}, Case{0x0007, 0x04b0, "000704B0"}}) {
    EXPECT_EQ(TranslationText(c.language, c.codePage), c.text);
  }
}

TEST(VersionText, StringPathEndsWithBackslash) {
  EXPECT_EQ(StringPath("040904E4", "Url"), "\\StringFileInfo\\040904E4\\Url\\");
}

TEST(VersionText, KeysTheAboutBoxReadsSitAtTheirIndex) {
  EXPECT_STREQ(kVersionKeyNames[static_cast<int>(TVersionKey::CompanyName)], "CompanyName");
  EXPECT_STREQ(kVersionKeyNames[static_cast<int>(TVersionKey::FileVersion)], "FileVersion");
  EXPECT_STREQ(kVersionKeyNames[static_cast<int>(TVersionKey::LegalCopyright)], "LegalCopyright");
  EXPECT_STREQ(kVersionKeyNames[static_cast<int>(TVersionKey::ProductName)], "ProductName");
  EXPECT_STREQ(kVersionKeyNames[static_cast<int>(TVersionKey::Url)], "Url");
  EXPECT_EQ(static_cast<int>(TVersionKey::Url), kVersionKeyCount - 1);
}

// A scripted version block: entries name a place in the block (or a null or
// foreign pointer) and the length the platform would report.
constexpr long kNull = -1;
constexpr long kForeign = -2;
struct Entry {
  long offset;
  uint32_t length;
};
struct FakeFile {
  std::vector<unsigned char> bytes;
  bool readOk = true;
  std::map<std::string, Entry> entries;
  std::vector<std::string> asked;
};
FakeFile* fake = nullptr;
char foreign[] = "not in the block";

const VersionInfoApi kFakeApi{
    [](const char*) { return static_cast<uint32_t>(fake->bytes.size()); },
    [](const char*, uint32_t size, void* block) {
      if (!fake->readOk) return false;
      std::memcpy(block, fake->bytes.data(), size);
      return true;
    },
    [](const void* block, const char* path, const void** value, uint32_t* length) {
      fake->asked.push_back(path);
      auto it = fake->entries.find(path);
      if (it == fake->entries.end()) return false;
      const Entry& e = it->second;
      *value = e.offset == kNull      ? nullptr
               : e.offset == kForeign ? static_cast<const void*>(foreign)
                                      : static_cast<const unsigned char*>(block) + e.offset;
      *length = e.length;
      return true;
    }};

constexpr char kTranslation[] = "\\VarFileInfo\\Translation";
constexpr char kUrlPath[] = "\\StringFileInfo\\040904E4\\Url\\";

// Bytes 0..3: translation 0409/04E4; from 4: "Tarvik\0"; then unterminated "ABC".
FakeFile OwnFile() {
  FakeFile f;
  f.bytes = {0x09, 0x04, 0xE4, 0x04, 'T', 'a', 'r', 'v', 'i', 'k', 0, 'A', 'B', 'C'};
  f.entries[kTranslation] = {0, 4};
  f.entries[kUrlPath] = {4, 7};
  return f;
}

struct LookupCase {
  const char* name;
  void (*change)(FakeFile&);
  bool found;
  const char* value;
};

class Lookup : public testing::TestWithParam<LookupCase> {};

TEST_P(Lookup, ResultAndValue) {
  FakeFile f = OwnFile();
  GetParam().change(f);
  fake = &f;
  std::string value = "old text";
  EXPECT_EQ(GetVersionStringWith(kFakeApi, "x.exe", "Url", value), GetParam().found);
  EXPECT_EQ(value, GetParam().value);
  fake = nullptr;
}

INSTANTIATE_TEST_SUITE_P(
    VersionLookup, Lookup,
    testing::Values(
        LookupCase{"Found", [](FakeFile&) {}, true, "Tarvik"},
        LookupCase{"NoBlock", [](FakeFile& f) { f.bytes.clear(); }, false, ""},
        LookupCase{"ReadFails", [](FakeFile& f) { f.readOk = false; }, false, ""},
        LookupCase{"KeyMissing", [](FakeFile& f) { f.entries.erase(kUrlPath); }, false, ""},
        // Without a usable translation the table 00000000 is searched.
        LookupCase{"NoTranslation", [](FakeFile& f) { f.entries.erase(kTranslation); }, false, ""},
        LookupCase{"TranslationTooShort", [](FakeFile& f) { f.entries[kTranslation].length = 2; },
                   false, ""},
        LookupCase{"TranslationNull", [](FakeFile& f) { f.entries[kTranslation].offset = kNull; },
                   false, ""},
        LookupCase{"TranslationAtBlockEnd",
                   [](FakeFile& f) { f.entries[kTranslation] = {12, 4}; }, false, ""},
        LookupCase{"ValueNull", [](FakeFile& f) { f.entries[kUrlPath].offset = kNull; }, false, ""},
        LookupCase{"ValueOutsideBlock", [](FakeFile& f) { f.entries[kUrlPath].offset = kForeign; },
                   false, ""},
        // A length in characters is shorter than a double-byte text's bytes.
        LookupCase{"ReportedLengthNotLookedAt", [](FakeFile& f) { f.entries[kUrlPath].length = 3; },
                   true, "Tarvik"},
        LookupCase{"EmptyValue", [](FakeFile& f) { f.entries[kUrlPath] = {10, 0}; }, true, ""},
        // The unterminated tail with a length that runs past the block.
        LookupCase{"UnterminatedAtBlockEnd", [](FakeFile& f) { f.entries[kUrlPath] = {11, 100}; },
                   true, "ABC"}),
    [](const testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

TEST(VersionLookupPaths, WithoutTranslationTheZeroTableIsAsked) {
  FakeFile f = OwnFile();
  f.entries.erase(kTranslation);
  f.entries["\\StringFileInfo\\00000000\\Url\\"] = {4, 7};
  fake = &f;
  std::string value;
  EXPECT_TRUE(GetVersionStringWith(kFakeApi, "x.exe", "Url", value));
  EXPECT_EQ(value, "Tarvik");
  EXPECT_EQ(f.asked.back(), "\\StringFileInfo\\00000000\\Url\\");
  fake = nullptr;
}

TEST(Centring, HalvesTowardZeroWithoutClamping) {
  struct Case {
    ScreenRect on;
    int width, height;
    ScreenPoint raw, onScreen;
  };
  for (const Case& c : {
           Case{{100, 50, 200, 150}, 237, 160, {32, 20}, {32, 20}},
           Case{{0, 0, 101, 101}, 50, 50, {25, 25}, {25, 25}},
           Case{{0, 0, 100, 100}, 237, 161, {-68, -30}, {0, 0}},
           Case{{196, 117, 549, 240}, 236, 162, {254, 98}, {254, 98}},
       }) {
    const ScreenPoint raw = CenteredOrigin(c.on, c.width, c.height);
    EXPECT_EQ(raw.x, c.raw.x);
    EXPECT_EQ(raw.y, c.raw.y);
    const ScreenPoint clamped = CenteredOriginOnScreen(c.on, c.width, c.height);
    EXPECT_EQ(clamped.x, c.onScreen.x);
    EXPECT_EQ(clamped.y, c.onScreen.y);
  }
}

TEST(Anchors, StretchMoveOrStay) {
  struct Case {
    Bounds before;
    uint8_t anchors;
    Bounds after;
  };
  const int all = akLeft | akTop | akRight | akBottom;
  for (const Case& c : {
           Case{{57, 14, 144, 13}, akLeft | akTop | akRight, {57, 14, 180, 13}},
           Case{{147, 105, 75, 23}, akRight | akBottom, {183, 105, 75, 23}},
           Case{{9, 10, 212, 89}, static_cast<uint8_t>(all), {9, 10, 248, 89}},
           Case{{13, 19, 32, 32}, akLeft | akTop, {13, 19, 32, 32}},
       }) {
    const Bounds b = Anchored(c.before, c.anchors, 36, 0);
    EXPECT_EQ(b.left, c.after.left);
    EXPECT_EQ(b.top, c.after.top);
    EXPECT_EQ(b.width, c.after.width);
    EXPECT_EQ(b.height, c.after.height);
  }
  const Bounds grown = Anchored({147, 105, 75, 23}, akRight | akBottom, 0, 10);
  EXPECT_EQ(grown.top, 115);
}

TEST(Widening, LargestOverflowOnly) {
  const CaptionFit product180[] = {{180, 144}, {90, 144}, {120, 144}, {40, 144}};
  EXPECT_EQ(CaptionOverflow(product180), 36);
  const CaptionFit allFit[] = {{144, 144}, {10, 144}, {0, 144}, {143, 144}};
  EXPECT_EQ(CaptionOverflow(allFit), 0);
  const CaptionFit two[] = {{150, 144}, {200, 144}};
  EXPECT_EQ(CaptionOverflow(two), 56);
}

}  // namespace
}  // namespace qn3
