// The import floor: which Windows first exports each function a shipped
// program imports, from a checked-in table, and the imports that Windows
// 2000 SP4 could not resolve.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/app/PeImage.h"

namespace qn3::pe {

// Windows versions in release order; the floor is Windows 2000.
enum class Windows { NT4, W2000, XP, Vista, W7, W8, W10 };

struct FloorRow {
  std::string dll;       // lower case
  std::string function;
  Windows byName;        // the oldest Windows whose DLL exports it by name
  uint16_t ordinal2000;  // the ordinal Windows 2000 exports it by, when only so; else 0
  std::string source;    // where that fact comes from
};

// The rows of the table text. A line that is not a row is reported in
// errors, with its number.
std::vector<FloorRow> ParseFloorTable(std::string_view text, std::vector<std::string>& errors);

// One message for each import that the table does not know, that needs a
// Windows newer than 2000, or that is by name where 2000 has it by ordinal
// only.
std::vector<std::string> FloorViolations(const std::vector<ImportedDll>& imports, const std::vector<FloorRow>& table);

}  // namespace qn3::pe
