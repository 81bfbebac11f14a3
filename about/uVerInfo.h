// Reads one named text from the version resource of a program file: the
// value of a key in the string table that the file's first translation
// names. Nothing is cached; every call reads the file's block anew.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qn3 {

// The keys the reader knows, by index.
enum class TVersionKey : uint8_t {
  CompanyName,
  FileDescription,
  FileVersion,
  InternalName,
  LegalCopyright,
  LegalTrademarks,
  OriginalFilename,
  ProductName,
  ProductVersion,
  Comments,
  PrivateBuild,
  SpecialBuild,
  OleSelfRegister,
  Url,
};

inline constexpr int kVersionKeyCount = 14;

// The key names as looked up in the resource, indexed by ordinal.
inline constexpr const char* kVersionKeyNames[kVersionKeyCount] = {
    "CompanyName",     "FileDescription", "FileVersion",    "InternalName", "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName",   "ProductVersion", "Comments",
    "PrivateBuild",    "SpecialBuild",    "OleSelfRegister", "Url"};

// The table a file without a usable translation list is searched under.
inline constexpr char kNoTranslation[] = "00000000";

// Eight upper-case hex digits: language, then code page.
std::string TranslationText(uint16_t language, uint16_t codePage);

// "\StringFileInfo\<translation>\<key>\"; the trailing backslash adds no
// component for the platform's lookup.
std::string StringPath(std::string_view translation, std::string_view keyName);

// The three platform operations the lookup needs, so the lookup rules can
// run against any source of version blocks.
struct VersionInfoApi {
  // Bytes of the file's version block; 0 when it has none or is unreadable.
  uint32_t (*blockSize)(const char* fileName);
  // Copies the block into the buffer of that size; false on failure.
  bool (*readBlock)(const char* fileName, uint32_t size, void* block);
  // Finds the entry at the path; value points into the block.
  bool (*query)(const void* block, const char* path, const void** value, uint32_t* length);
};

// True when the key was found; value then holds a copy of its text. On
// false value is empty: it is emptied before anything else happens. Only
// running out of memory for the block is raised.
bool GetVersionStringWith(const VersionInfoApi& api, const std::string& fileName,
                          std::string_view keyName, std::string& value);

#ifdef _WIN32
// The lookup on real files, through the ANSI version-information functions.
const VersionInfoApi& Win32VersionInfoApi();
bool GetVersionString(const std::string& fileName, std::string_view keyName, std::string& value);
bool GetVersionItem(const std::string& fileName, TVersionKey key, std::string& value);
#endif

}  // namespace qn3
