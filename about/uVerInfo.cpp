#include "about/uVerInfo.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace qn3 {

namespace {

// Lengths and pointers come from the platform, which for a foreign file may
// describe a broken block; nothing outside the block is ever read.
bool InBlock(const std::vector<unsigned char>& block, const void* p, size_t bytes) {
  const auto begin = reinterpret_cast<uintptr_t>(block.data());
  const auto end = begin + block.size();
  const auto at = reinterpret_cast<uintptr_t>(p);
  return at >= begin && at <= end && end - at >= bytes;
}

}  // namespace

std::string TranslationText(uint16_t language, uint16_t codePage) {
  // Hex by hand: printf would link in a formatting engine of 25 KB.
  static const char kHex[] = "0123456789ABCDEF";
  const uint32_t both = static_cast<uint32_t>(language) << 16 | codePage;
  std::string text;
  for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(both >> shift) & 0xF];
  return text;
}

std::string StringPath(std::string_view translation, std::string_view keyName) {
  std::string path = "\\StringFileInfo\\";
  path.append(translation).append("\\").append(keyName).append("\\");
  return path;
}

bool GetVersionStringWith(const VersionInfoApi& api, const std::string& fileName,
                          std::string_view keyName, std::string& value) {
  value.clear();
  std::string translation = kNoTranslation;

  const uint32_t size = api.blockSize(fileName.c_str());
  if (size == 0) return false;
  std::vector<unsigned char> block(size);  // zero-filled, freed on every way out
  if (!api.readBlock(fileName.c_str(), size, block.data())) return false;

  const void* entry = nullptr;
  uint32_t length = 0;
  if (api.query(block.data(), "\\VarFileInfo\\Translation", &entry, &length) && entry != nullptr &&
      length >= 4 && InBlock(block, entry, 4)) {
    unsigned char pair[4];
    std::memcpy(pair, entry, sizeof pair);
    translation = TranslationText(static_cast<uint16_t>(pair[0] | pair[1] << 8),
                                  static_cast<uint16_t>(pair[2] | pair[3] << 8));
  }

  const void* text = nullptr;
  length = 0;
  if (!api.query(block.data(), StringPath(translation, keyName).c_str(), &text, &length) ||
      text == nullptr || !InBlock(block, text, 0))
    return false;

  // The reported length counts characters, fewer than the bytes of a
  // double-byte text: the text runs to its NUL, bounded by the block only.
  const auto* first = static_cast<const char*>(text);
  const size_t room = block.data() + block.size() - static_cast<const unsigned char*>(text);
  const void* nul = std::memchr(first, 0, room);
  value.assign(first, nul ? static_cast<const char*>(nul) - first : room);
  return true;
}

}  // namespace qn3
