#include "tests/app/PeImage.h"

#include <algorithm>

namespace qn3::pe {
namespace {

// Reads stay inside the file: every out-of-range read gives nothing.
struct Bytes {
  const std::vector<unsigned char>& b;
  bool ok = true;

  uint32_t Get(size_t at, int width) {
    if (at + width > b.size() || at + width < at) {
      ok = false;
      return 0;
    }
    uint32_t v = 0;
    for (int i = width - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
  }
  uint16_t U16(size_t at) { return static_cast<uint16_t>(Get(at, 2)); }
  uint32_t U32(size_t at) { return Get(at, 4); }
};

struct Section {
  uint32_t rva, size, raw;
};

std::optional<size_t> Offset(const std::vector<Section>& sections, uint32_t rva) {
  for (const Section& s : sections) {
    if (rva >= s.rva && rva - s.rva < s.size) return s.raw + (rva - s.rva);
  }
  return std::nullopt;
}

std::string CString(Bytes& in, size_t at) {
  std::string s;
  for (unsigned char c; (c = static_cast<unsigned char>(in.Get(at, 1))) != 0 && in.ok; ++at) s += static_cast<char>(c);
  return s;
}

std::string Utf16(Bytes& in, size_t at, size_t units) {
  std::string s;
  for (size_t i = 0; i < units && in.ok; ++i) {
    uint16_t u = in.U16(at + 2 * i);
    s += u < 128 ? static_cast<char>(u) : '?';
  }
  return s;
}

// A DLL's lookup table: one entry per function, the top bit set for an
// import by ordinal, else the address of a hint and the name.
std::vector<ImportedFunction> ReadThunks(Bytes& in, const std::vector<Section>& sections, uint32_t rva, bool wide) {
  std::vector<ImportedFunction> functions;
  const size_t width = wide ? 8 : 4;
  auto at = Offset(sections, rva);
  for (size_t i = 0; at && in.ok && i < 65536; ++i, *at += width) {
    const uint64_t entry = wide ? in.U32(*at) | uint64_t{in.U32(*at + 4)} << 32 : in.U32(*at);
    if (entry == 0) break;
    const bool byOrdinal = wide ? (entry >> 63) != 0 : (entry >> 31) != 0;
    if (byOrdinal) {
      functions.push_back({"", static_cast<uint16_t>(entry & 0xFFFF)});
    } else if (auto hint = Offset(sections, static_cast<uint32_t>(entry))) {
      functions.push_back({CString(in, *hint + 2), 0});
    }
  }
  return functions;
}

void ReadImports(Bytes& in, const std::vector<Section>& sections, uint32_t rva, Image& image) {
  const bool wide = image.magic == 0x20B;
  auto at = Offset(sections, rva);
  for (size_t d = 0; at && in.ok && d < 4096; ++d, *at += 20) {
    uint32_t name = in.U32(*at + 12);
    if (name == 0) break;
    auto n = Offset(sections, name);
    if (!n) continue;
    // The lookup table, or where a linker left none, the address table.
    const uint32_t lookup = in.U32(*at) ? in.U32(*at) : in.U32(*at + 16);
    image.imports.push_back({CString(in, *n), ReadThunks(in, sections, lookup, wide)});
  }
}

// Resources are a tree of type, name and language; only the data matter.
void ReadResources(Bytes& in, const std::vector<Section>& sections, uint32_t rva, Image& image) {
  auto base = Offset(sections, rva);
  if (!base) return;
  auto label = [&](uint32_t id) {
    if (!(id & 0x80000000u)) return std::string(1, '#').append(std::to_string(id));
    size_t at = *base + (id & 0x7FFFFFFFu);
    return Utf16(in, at + 2, in.U16(at));
  };
  auto entries = [&](uint32_t dir, auto&& each) {
    size_t at = *base + dir;
    unsigned n = in.U16(at + 12) + in.U16(at + 14);
    for (unsigned i = 0; i < n && in.ok && i < 4096; ++i) each(in.U32(at + 16 + 8 * i), in.U32(at + 20 + 8 * i));
  };
  auto sub = [](uint32_t e) { return e & 0x7FFFFFFFu; };
  entries(0, [&](uint32_t type, uint32_t typeDir) {
    entries(sub(typeDir), [&](uint32_t name, uint32_t nameDir) {
      entries(sub(nameDir), [&](uint32_t, uint32_t leaf) {
        size_t entry = *base + leaf;
        auto data = Offset(sections, in.U32(entry));
        uint32_t size = in.U32(entry + 4);
        if (!data || *data + size > in.b.size()) return;
        image.resources.push_back({label(type), label(name),
                                   std::vector<unsigned char>(in.b.begin() + *data, in.b.begin() + *data + size)});
      });
    });
  });
}

size_t Align4(size_t v) { return (v + 3) & ~size_t{3}; }

std::optional<VersionBlock> Block(Bytes& in, size_t at, size_t end, int depth) {
  size_t length = in.U16(at), valueLength = in.U16(at + 2), type = in.U16(at + 4);
  if (!in.ok || length < 6 || at + length > end || depth > 8) return std::nullopt;
  VersionBlock block;
  size_t p = at + 6;
  for (uint16_t u; (u = in.U16(p)) != 0 && in.ok; p += 2) block.key += u < 128 ? static_cast<char>(u) : '?';
  p = Align4(p + 2);
  if (p > at + length) return std::nullopt;
  size_t valueBytes = type == 1 ? 2 * valueLength : valueLength;
  if (p + valueBytes > at + length) valueBytes = 0;
  block.value.assign(in.b.begin() + p, in.b.begin() + p + valueBytes);
  if (type == 1) block.text = Utf16(in, p, valueLength ? valueLength - 1 : 0);
  for (p = Align4(p + valueBytes); p + 6 <= at + length;) {
    size_t childLength = in.U16(p);
    auto child = Block(in, p, at + length, depth + 1);
    if (!child) break;
    block.children.push_back(std::move(*child));
    p = Align4(p + childLength);
  }
  return in.ok ? std::optional(block) : std::nullopt;
}

}  // namespace

std::optional<Image> ReadImage(const std::vector<unsigned char>& file) {
  Bytes in{file};
  if (in.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  size_t pe = in.U32(0x3C);
  if (in.U32(pe) != 0x4550) return std::nullopt;  // "PE\0\0"
  Image image;
  image.machine = in.U16(pe + 4);
  unsigned count = in.U16(pe + 6);
  size_t optional = pe + 24, optionalSize = in.U16(pe + 20);
  image.magic = in.U16(optional);
  image.subsystem = in.U16(optional + 68);
  size_t dirs = optional + (image.magic == 0x20B ? 112 : 96);
  std::vector<Section> sections;
  for (unsigned i = 0; i < count && in.ok; ++i) {
    size_t s = optional + optionalSize + 40 * i;
    sections.push_back({in.U32(s + 12), std::max(in.U32(s + 8), in.U32(s + 16)), in.U32(s + 20)});
  }
  ReadImports(in, sections, in.U32(dirs + 8), image);
  ReadResources(in, sections, in.U32(dirs + 16), image);
  return in.ok ? std::optional(image) : std::nullopt;
}

std::optional<VersionBlock> ReadVersionBlock(const std::vector<unsigned char>& data) {
  Bytes in{data};
  return Block(in, 0, data.size(), 0);
}

}  // namespace qn3::pe
