// A small reader of Windows program files (PE), enough to check a built
// program without running it: its header, the DLLs it imports, its
// resources and the blocks of a version resource.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qn3::pe {

struct Resource {
  std::string type;  // "#16" for a numbered type, else its name
  std::string name;
  std::vector<unsigned char> data;
};

// One function a program imports: by name, or by ordinal when the name is
// empty.
struct ImportedFunction {
  std::string name;
  uint16_t ordinal = 0;
};

struct ImportedDll {
  std::string name;
  std::vector<ImportedFunction> functions;
};

struct Image {
  uint16_t machine = 0;    // 0x14C i386, 0x8664 x86-64
  uint16_t magic = 0;      // 0x10B PE32, 0x20B PE32+
  uint16_t subsystem = 0;  // 2 GUI, 3 console
  std::vector<ImportedDll> imports;
  std::vector<Resource> resources;
};

// The image of a file; nothing when it is not a well-formed PE file.
std::optional<Image> ReadImage(const std::vector<unsigned char>& file);

// One block of a version resource: its key, its value as text (UTF-16
// narrowed; string values only) and its children.
struct VersionBlock {
  std::string key;
  std::string text;
  std::vector<unsigned char> value;
  std::vector<VersionBlock> children;
};

std::optional<VersionBlock> ReadVersionBlock(const std::vector<unsigned char>& data);

}  // namespace qn3::pe
